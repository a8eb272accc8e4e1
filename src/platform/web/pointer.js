// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// Mouse, touch and pen on the canvas: one path, Pointer Events, handed to the browser's SDL as the
// mouse events it understands (sdl_listeners.js says what the page leans on inside it).
var smearwell = window.smearwell || {};

// `page` gives the canvas, listen(target, type, handler, capture) and running().
smearwell.followPointers = function (page) {
  'use strict';
  var canvas = page.canvas;
  var listen = page.listen;

  // SDL hears the browser's own mouse, touch and wheel events on the canvas no more: it counts the
  // scroll twice for touch, takes the pointer leaving for a release, and cancels the wheel. The
  // page hands it mouse events instead.
  smearwell.sdlListeners.filter(function (list) { return list.target === 'canvas'; })[0].types.forEach(function (type) {
    listen(window, type, function (event) {
      if (event.isTrusted && event.target === canvas) event.stopImmediatePropagation();
    }, true);
  });
  // Where an event puts the brush's top-left corner, in canvas pixels, at any scroll, zoom and size
  // of the canvas on the page. The mouse puts it at the pointer, as on the desktop, where the brush
  // itself is the cursor and shows where it will paint; a finger hides that, and a pen's tip is its
  // cursor, so they put the brush's centre under their point (Smearwell says where the centre is).
  var centre = 0;
  function pixelAt(event) {
    var box = canvas.getBoundingClientRect();
    var shift = event.pointerType === 'touch' || event.pointerType === 'pen' ? centre : 0;
    return { x: Math.floor((event.clientX - box.left) * canvas.width / box.width) - shift,
             y: Math.floor((event.clientY - box.top) * canvas.height / box.height) - shift };
  }
  // Every position a move reports, in order: the browser hands the page one move a frame and keeps
  // those in between in getCoalescedEvents(). SDL gets each, and Smearwell paints a held stroke
  // through each (events.cpp), as the desktop program does reading the pointer many times a frame.
  // A move made up by a script has no such list, or an empty one: it stands for itself.
  function positionsOf(event) {
    var moves = event.getCoalescedEvents ? event.getCoalescedEvents() : [];
    return (moves.length ? moves : [event]).map(pixelAt);
  }
  // SDL takes pageX and pageY, and when it reads its queue turns them into canvas pixels by the
  // layout of that moment, dropping the fraction: the middle of the pixel by that layout gives
  // the pixel, wherever the page has moved since.
  function middle(pixel) {
    return pixel < 0 ? pixel - 0.5 : pixel + 0.5;
  }
  function handToSDL(type, at) {
    var event = new MouseEvent(type, { button: 0, cancelable: true });
    Object.defineProperties(event, {
      pageX: { get: function () {
        var box = canvas.getBoundingClientRect();
        return window.scrollX + box.left + middle(at.x) * box.width / canvas.width;
      } },
      pageY: { get: function () {
        var box = canvas.getBoundingClientRect();
        return window.scrollY + box.top + middle(at.y) * box.height / canvas.height;
      } },
    });
    canvas.dispatchEvent(event);
  }
  // The pointer that holds the stroke keeps the canvas (pointer capture) until it comes up, as a
  // desktop window keeps the mouse: the stroke goes on outside the canvas. Its moves and its
  // release are followed on the whole window all the same, for input that drops the capture: a
  // move that does not name the held button (as WebDriver's moves after the press's own action
  // call) makes Chromium drop it. Another finger, or another button, changes nothing.
  // A stroke whose end never arrives would keep every other pointer from painting: it ends where it
  // was last painted once its end can no longer come (the page hidden or left for another window,
  // its pointer cancelled or its capture lost with no button held), and when a press says so. A
  // primary pointer's press tells that no other pointer of its kind is down, so a stroke of its kind
  // is over; a mouse's or a pen's press is a hand meant to paint, and takes the stroke from a finger
  // (a touchscreen laptop). A second finger, or a finger beside a pen, paints nothing.
  var stroke = null;
  function takesOver(event) {
    return event.isPrimary && (event.pointerType === stroke.type || stroke.type === 'touch');
  }
  listen(canvas, 'pointerdown', function (event) {
    // No press's default action (a focus that scrolls, a selection), but for a pen's: WebKit drops
    // every later event of a pen whose press's default action was prevented.
    if (event.pointerType !== 'pen') event.preventDefault();
    if (event.button !== 0 || (stroke && !takesOver(event))) return;
    if (stroke) endStroke(null);
    canvas.focus({ preventScroll: true });
    try {
      canvas.setPointerCapture(event.pointerId);
    } catch (error) {  // a pointer the browser does not know (made up by a script): the window hears it
      if (error.name !== 'NotFoundError') throw error;
    }
    stroke = { id: event.pointerId, type: event.pointerType, at: pixelAt(event) };
    handToSDL('mousemove', stroke.at);
    handToSDL('mousedown', stroke.at);
  });
  // Up where it comes up; otherwise (cancelled, up unseen, or no longer able to come up) where it
  // was last: WebKit moves the pointer, with no button, to somewhere else as its window is minimised.
  function endStroke(event) {
    var at = event && event.type === 'pointerup' ? pixelAt(event) : stroke.at;
    stroke = null;
    handToSDL('mousemove', at);
    handToSDL('mouseup', at);
  }
  listen(window, 'pointermove', function (event) {
    if (over.has(event.pointerId)) over.set(event.pointerId, pixelAt(event));
    if (stroke ? event.pointerId !== stroke.id : event.target !== canvas || !event.isPrimary) return;
    if (stroke && !(event.buttons & 1)) {
      endStroke(event);
      return;
    }
    positionsOf(event).forEach(function (at) {
      if (stroke) stroke.at = at;
      handToSDL('mousemove', at);
    });
  }, true);
  ['pointerup', 'pointercancel'].forEach(function (type) {
    listen(window, type, function (event) {
      if (stroke && event.pointerId === stroke.id) endStroke(event);
    }, true);
  });
  listen(canvas, 'lostpointercapture', function (event) {
    if (stroke && event.pointerId === stroke.id && !(event.buttons & 1)) endStroke(null);
  });
  function endStrokeHere() {
    if (stroke) endStroke(null);
  }
  listen(window, 'blur', endStrokeHere);
  listen(document, 'visibilitychange', function () {
    if (document.hidden) endStrokeHere();
  });
  // Which pointers are over the canvas, and where each last was: the browser's SDL does not follow
  // that, and Smearwell hides its brush while none is (web.cpp). Each pointer comes and goes on its
  // own: a finger that lifts, and so leaves, takes the brush back to the mouse still over the canvas.
  var over = new Map();
  function cross(event, now) {
    if (!event.isPrimary) return;
    var before = over.size > 0;
    if (now) over.set(event.pointerId, pixelAt(event)); else over.delete(event.pointerId);
    if (!now && over.size && !stroke) handToSDL('mousemove', Array.from(over.values()).pop());
    if (before === over.size > 0) return;
    Module.pointerOverCanvas = !before;
    if (page.running()) Module._smearwell_pointer_crossed(before ? 0 : 1);
  }
  listen(canvas, 'pointerenter', function (event) { cross(event, true); });
  listen(canvas, 'pointerleave', function (event) { cross(event, false); });
  listen(canvas, 'contextmenu', function (event) { event.preventDefault(); });  // the right button paints nothing

  // Smearwell has started: it hears where the pointer is, and says where the brush's centre is.
  return function started() {
    centre = Module._smearwell_brush_centre();
    Module._smearwell_pointer_crossed(over.size ? 1 : 0);
  };
};
