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
  // A key still held when the focus leaves the canvas, or the page is hidden, is released there, as a
  // desktop library releases the keys of a window that loses the keyboard: its real release goes
  // elsewhere. Should it still be held when the focus comes back, its auto-repeat presses and its
  // real release belong to the keystroke that has already acted, and SDL hears none of them; a new
  // press of it (not a repeat) is a new keystroke.
  var held = new Map();  // keyCode: key
  var releasedAway = new Set();  // keyCodes
  listen(window, 'keydown', function (event) {
    if (event.target !== canvas || !releasedAway.has(event.keyCode)) return;
    if (event.repeat) {
      event.stopImmediatePropagation();
      event.preventDefault();
    } else {
      releasedAway.delete(event.keyCode);
    }
  }, true);
  listen(window, 'keyup', function (event) {
    if (event.target === canvas && releasedAway.delete(event.keyCode)) event.stopImmediatePropagation();
  }, true);
  listen(canvas, 'keydown', function (event) { held.set(event.keyCode, event.key); });
  listen(canvas, 'keyup', function (event) { held.delete(event.keyCode); });
  function releaseHeldKeys() {
    held.forEach(function (key, code) {
      sendKey('keyup', key, code);
      releasedAway.add(code);
    });
  }
  listen(canvas, 'blur', function () {
    releaseHeldKeys();
    page.focusChanged();
  });
  listen(document, 'visibilitychange', function () {
    if (document.hidden) releaseHeldKeys();
  });
  listen(canvas, 'focus', page.focusChanged);
  // The buttons press and release their key, as the keyboard does, and give the keyboard focus back
  // to the canvas, so that the keys go on working after a click on a button.
  page.keyButtons.forEach(function (button) {
    listen(button, 'click', function () {
      canvas.focus({ preventScroll: true });
      sendKey('keydown', button.dataset.key, Number(button.dataset.code));
      sendKey('keyup', button.dataset.key, Number(button.dataset.code));
    });
  });
};
