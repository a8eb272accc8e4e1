// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The keyboard and the key buttons. Keys reach Smearwell (the browser's SDL listens to the canvas:
// Module.keyboardListeningElement) while the canvas has the keyboard focus.
var smearwell = window.smearwell || {};

// `page` gives the canvas, the key buttons, listen(target, type, handler, capture) and focusChanged().
smearwell.followKeys = function (page) {
  'use strict';
  var canvas = page.canvas;
  var listen = page.listen;

  // Tab and Shift+Tab move the focus on, as everywhere: SDL would cancel them.
  listen(window, 'keydown', function (event) {
    if (event.key === 'Tab' && event.target === canvas) event.stopImmediatePropagation();
  }, true);
  function sendKey(type, key, code) {
    canvas.dispatchEvent(new KeyboardEvent(type, { key: key, keyCode: code, which: code, bubbles: true,
                                                   cancelable: true }));
  }
  // A key still held when the focus leaves the canvas is released there, as a desktop library
  // releases the keys of a window that loses the keyboard: its real release goes elsewhere.
  var held = new Map();  // keyCode: key
  listen(canvas, 'keydown', function (event) { held.set(event.keyCode, event.key); });
  listen(canvas, 'keyup', function (event) { held.delete(event.keyCode); });
  listen(canvas, 'blur', function () {
    Array.from(held).forEach(function (key) { sendKey('keyup', key[1], key[0]); });
    page.focusChanged();
  });
  listen(canvas, 'focus', page.focusChanged);
  // The buttons press and release their key, as the keyboard does.
  page.keyButtons.forEach(function (button) {
    listen(button, 'click', function () {
      sendKey('keydown', button.dataset.key, Number(button.dataset.code));
      sendKey('keyup', button.dataset.key, Number(button.dataset.code));
    });
  });
};
