// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The page's start-up and status: starts Smearwell (smearwell.js, which takes its settings from
// Module), shows what it prints, and says in words whether it is loading, running, has ended or
// could not start. Input is pointer.js's and keys.js's.
var smearwell = window.smearwell || {};

var Module = (function () {
  'use strict';
  var canvas = document.getElementById('canvas');
  var output = document.getElementById('output');
  var printed = document.getElementById('printed');
  var statusLine = document.getElementById('status');  // not "status": the window has one
  var hint = document.getElementById('hint');
  var keyButtons = document.querySelectorAll('#keys button');
  var listening = new AbortController();  // every listener of the page's goes when Smearwell ends
  var running = false;
  var lastError = '';

  function say(text) {
    statusLine.textContent = text;
  }
  function showHint() {
    hint.hidden = !running || document.activeElement === canvas;
  }
  var page = {
    canvas: canvas,
    keyButtons: keyButtons,
    listen: function (target, type, handler, capture) {
      target.addEventListener(type, handler, { capture: !!capture, signal: listening.signal });
    },
    running: function () { return running; },
    focusChanged: showHint,
  };

  // Lines are gathered and shown once a frame, in the box and in one console message: the
  // convolution prints 598 at once, and a console message a line would take longer than the
  // convolution itself. A screen reader hears how many, not each line.
  var pending = '';
  var lines = 0;
  function show(text) {
    if (!pending) {
      requestAnimationFrame(function () {
        output.append(pending);
        console.log(pending.slice(0, -1));
        printed.textContent = lines + (lines === 1 ? ' line' : ' lines') + ' printed';
        pending = '';
        lines = 0;
        output.scrollTop = output.scrollHeight;
      });
    }
    pending += text + '\n';
    lines += 1;
  }

  // SDL makes a 2D context for every surface and reads it back at each lock (i, c): the browser
  // keeps such a canvas where reading it back is cheap when asked, and warns when not asked.
  var getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    return getContext.call(this, type, type === '2d' ? Object.assign({ willReadFrequently: true }, attributes)
                                                     : attributes);
  };

  var pointerStarted = smearwell.followPointers(page);
  smearwell.followKeys(page);

  // Smearwell is over, or never began: the page takes no more input, SDL hears nothing more, and
  // the page says why.
  function stop(text) {
    running = false;
    listening.abort();
    smearwell.removeSdlListeners();
    keyButtons.forEach(function (button) { button.disabled = true; });
    canvas.removeAttribute('tabindex');
    canvas.blur();
    canvas.style.cursor = 'auto';
    showHint();
    say(text);
  }
  function couldNotStart(why, whatToDo) {
    stop('Smearwell could not start: ' + why + '. ' + whatToDo);
  }

  if (location.protocol === 'file:') {
    couldNotStart('browsers do not run WebAssembly from a page opened as a file',
                  'Open it through a web server instead: ./scripts/web serve, or any static web host.');
  } else if (typeof WebAssembly !== 'object') {
    couldNotStart('this browser does not run WebAssembly, or has it switched off',
                  'Open the page in a current browser with WebAssembly on.');
  } else {
    var script = document.createElement('script');
    script.src = 'smearwell.js';
    script.onerror = function () {
      couldNotStart('smearwell.js could not be loaded', 'Check that it is on the server beside this page, then reload.');
    };
    document.body.append(script);
  }

  return {
    canvas: canvas,
    keyboardListeningElement: canvas,
    print: show,
    printErr: function (text) {
      console.error(text);
      lastError = text;
    },
    onRuntimeInitialized: function () {
      running = true;
      keyButtons.forEach(function (button) { button.disabled = false; });
      pointerStarted();
      say('Smearwell is running.');
      showHint();
    },
    onAbort: function (what) {
      if (running) {
        stop('Smearwell stopped on an error (' + what + '). Reload the page to start it again.');
      } else {
        couldNotStart('its program, smearwell.wasm, could not be loaded or run (' + what + ')',
                      'Check that smearwell.wasm is on the server beside this page, served as application/wasm, then reload.');
      }
    },
    onExit: function (code) {
      if (code === 0) {
        stop('Smearwell has ended. Reload the page to start it again.');
      } else {
        couldNotStart(lastError || 'status ' + code, 'The browser console says more. Reload the page to try again.');
      }
    },
  };
})();
