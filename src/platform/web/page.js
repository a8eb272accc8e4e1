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
  var message = document.getElementById('message');
  var keyButtons = document.querySelectorAll('#keys button');
  var listening = new AbortController();  // every listener of the page's goes when Smearwell ends
  var running = false;
  var lastError = '';

  function say(text) {
    statusLine.textContent = text;
  }
  // The hint is for those with a keyboard: a finger or a pen on a touch screen has the buttons.
  var keyboardLikely = !matchMedia('(hover: none) and (pointer: coarse)').matches;
  function showHint() {
    hint.hidden = !running || !keyboardLikely || document.activeElement === canvas;
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

  // SDL makes a 2D context for every surface and reads it back at its first lock (the program keeps
  // the canvas and the brush locked from then on: web.cpp): the browser warns of a read-back from a
  // context not asked for it.
  var getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    return getContext.call(this, type, type === '2d' ? Object.assign({ willReadFrequently: true }, attributes)
                                                     : attributes);
  };

  // The page runs only its own files (index.html's Content-Security-Policy): anything else it
  // tried is said in the console, where every browser shows it.
  page.listen(document, 'securitypolicyviolation', function (event) {
    console.error('Content-Security-Policy: ' + event.violatedDirective + ' refused ' + event.blockedURI);
  });

  var pointerStarted = smearwell.followPointers(page);
  smearwell.followKeys(page);
  page.listen(window, 'pointerdown', function (event) {
    keyboardLikely = event.pointerType === 'mouse';
    showHint();
  }, true);
  page.listen(window, 'keydown', function () {
    keyboardLikely = true;
  }, true);

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
  // What went wrong, in the canvas's place, in words for someone who only opened a link or unpacked
  // the zip: a heading, then what to do. The technical detail goes to the console.
  function showMessage(heading, whatToDo, detail) {
    var title = document.createElement('h2');
    title.textContent = heading;
    message.replaceChildren(title);
    whatToDo.forEach(function (text) {
      var paragraph = document.createElement('p');
      paragraph.textContent = text;
      message.append(paragraph);
    });
    canvas.hidden = true;
    message.hidden = false;
    if (detail) console.error('Smearwell: ' + detail);
  }
  // The help, the buttons and the printed lines are for a Smearwell that runs.
  function couldNotStart(heading, whatToDo, detail) {
    stop('Smearwell could not start.');
    ['keys', 'help', 'output'].forEach(function (id) { document.getElementById(id).hidden = true; });
    showMessage(heading, whatToDo, detail);
  }
  var ifItHappensAgain = 'If it happens again, the site is missing part of Smearwell: tell whoever runs it.';

  if (location.protocol === 'file:') {
    couldNotStart('Smearwell does not start from a file on your computer', [
      'Browsers run its program only from a web address, not from a page opened as a file.',
      'To use the files on your own computer, serve their folder with any web server: for example, run ' +
      '"python3 -m http.server" in that folder, then open http://127.0.0.1:8000/ in your browser.']);
  } else if (typeof WebAssembly !== 'object') {
    couldNotStart('This browser cannot run Smearwell', [
      'It does not run WebAssembly, or has it switched off.',
      'Open this page in a current browser, or switch WebAssembly back on.']);
  } else {
    var script = document.createElement('script');
    script.src = 'smearwell.js';
    script.onerror = function () {
      couldNotStart('Smearwell could not be loaded', [
        'Part of the page did not arrive. Check your connection, then reload the page.', ifItHappensAgain],
        'smearwell.js could not be loaded');
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
        stop('Smearwell stopped on an error.');
        showMessage('Smearwell stopped on an error', ['Reload the page to start it again.'], String(what));
      } else {
        couldNotStart('Smearwell could not be loaded', [
          'Its program did not arrive whole. Check your connection, then reload the page.', ifItHappensAgain],
          'smearwell.wasm could not be loaded or run: ' + what);
      }
    },
    onExit: function (code) {
      if (code === 0) {
        stop('Smearwell has ended. Reload the page to start it again.');
      } else {
        couldNotStart('Smearwell could not start in this browser', [
          'Reload the page to try again. If it happens again, try another browser.'],
          (lastError || 'no reason given') + ' (exit status ' + code + ')');
      }
    },
  };
})();
