// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// What the page leans on inside the browser's SDL (Emscripten's library_sdl.js), in one place:
// - SDL_Init and SDL_SetVideoMode add SDL.receiveEvent as a listener for the types below, on the
//   canvas (mouse, touch, wheel; capturing), on Module.keyboardListeningElement (keys), on the
//   window and on the document, and never remove it: once Smearwell has ended every move would
//   still be queued, up to SDL's 10,000 events and a warning at each one after;
// - it queues what it hears and turns it into SDL events when the program reads its queue, taking a
//   mouse event's pageX and pageY to canvas pixels by the layout of that moment;
// - SDL_GetMouseState gives the position of the last mouse event read from the queue;
// - it calls SDL.flushEventsToHandler after queueing each event: web.cpp resumes the main loop,
//   paused at rest, from there;
// - a surface locked once and never unlocked is not copied from or to its canvas element again
//   (SDL counts locks): web.cpp keeps the canvas's pixels in memory that way.
// The page takes these lists to keep the browser's own pointer events from SDL (pointer.js) and to
// remove SDL's listeners however Smearwell ends (page.js); the web tests take them to check that
// none is left.
var smearwell = window.smearwell || {};

smearwell.sdlListeners = [
  { target: 'canvas', capture: true,
    types: ['mousedown', 'mouseup', 'mousemove', 'mouseout', 'touchstart', 'touchmove', 'touchend',
            'wheel', 'mousewheel', 'DOMMouseScroll'] },
  { target: 'keyboard', capture: false, types: ['keydown', 'keyup', 'keypress'] },
  { target: 'window', capture: false, types: ['focus', 'blur', 'unload'] },
  { target: 'document', capture: false, types: ['visibilitychange'] },
];

// Every listener SDL added; nothing when SDL never started.
smearwell.removeSdlListeners = function () {
  if (typeof SDL !== 'object' || !SDL.receiveEvent) return;
  var targets = { canvas: Module.canvas, keyboard: Module.keyboardListeningElement || document, window: window,
                  document: document };
  smearwell.sdlListeners.forEach(function (list) {
    list.types.forEach(function (type) { targets[list.target].removeEventListener(type, SDL.receiveEvent, list.capture); });
  });
};
