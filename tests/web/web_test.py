#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The web build in three browser engines (Chromium, WebKitGTK, Firefox ESR: tests/web/engines.py),
with input through each browser's own input pipeline, compared pixel for pixel and line for line
with what the same input gives the desktop program in Xvfb (smearwell_replay plays each script
there, once for every engine that gives it the same input).

Usage: web_test.py PAGE-FOLDER REPLAY-PROGRAM EVIDENCE-FOLDER [ENGINE...] [CASE...]
(no engine named: all three; no case named: all). On a failure the evidence folder keeps, per case,
the desktop's pictures (PPM), and in the engine's own folder the page's pictures, a screenshot of
the page and the browser's console where the engine gives one. Every case also fails on a warning
or an error in the console, where the engine gives one; a case an engine cannot play says so, and
why, and runs in the others."""

import base64
import functools
import hashlib
import http.server
import math
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

import engines

WIDTH, HEIGHT = 800, 600

# Scripts in smearwell_replay's language. Strokes run along straight lines, with `shot` (which
# waits for the picture to settle) at each corner: where a pass samples the pointer between two
# points of a straight line changes no pixel, on the desktop or in the browser.
CASES = {
    'StartUp': 'move 300 200\nshot',
    'BrushHiddenWhileThePointerIsAway': 'move 300 200\nshot\nmove 860 200\nshot\nmove 500 300\nshot',
    'StrokeRunsFromPressToRelease': 'move 100 300\nshot\ndown\nmove 200 300\nshot\nmove 200 400\nshot\n'
                                    'move 350 250\nshot\nup\nmove 600 100\nshot',
    'StrokeLeavesAndReentersTheCanvas': 'move 700 200\nshot\ndown\nmove 790 200\nshot\nmove 860 200\nshot\n'
                                        'move 860 300\nshot\nmove 700 300\nshot\nup\nmove 500 500\nshot',
    'Invert': 'move 100 300\nshot\ndown\nmove 300 300\nshot\nup\nkey i\nshot',
    'ConvolvePrintsItsColumn': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\nkey c\nshot',
    'InvertThenConvolveAtOnce': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\nkey i\nkey c\nshot',
    'EscapeEndsIt': 'move 100 300\nshot\nkey Escape',
}
# The same input where users meet the page: a laptop's window, a scrolled page, a finger, a pen, a
# phone, the focus elsewhere. Lines starting `page` are played to the page alone (what only a page
# has, or checks of it); lines starting `desktop` to the desktop program alone.
CASES.update({
    'LaptopWindowFirstStrokeBeforeTheFocus': CASES['ConvolvePrintsItsColumn'] + '\npage in-view canvas status output'
                                             '\npage one-to-one\nkey Escape\npage in-view status',
    'TouchStrokeOnAScrolledPage': CASES['StrokeRunsFromPressToRelease'].replace('400\nshot', '400\nshot\npage finger 600 500'),
    'PenStrokeInALaptopWindow': CASES['StrokeLeavesAndReentersTheCanvas'],
    # The finger presses where the brush it centres is still on the window: the desktop gets no press
    # left of its window.
    'PhoneTouchAndKeyButtons': 'page in-view canvas keys\n' + CASES['InvertThenConvolveAtOnce'].replace('key c', 'shot\nkey c')
                               .replace('move 10 300', 'move 20 300') + '\nkey Escape',
    'KeyHeldWhileTheFocusMovesActsOnce': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\npress c\npage click help\n'
                                         'desktop move 860 200\nrelease c\nshot',
    'StrokeEndsWhenThePageIsLeft': 'move 100 300\nshot\ndown\nmove 300 300\nshot\npage leave\ndesktop up\n'
                                   'move 300 450\nshot\npage up\nmove 500 500\nshot',
    'TabLeavesTheCanvas': 'move 100 300\nshot\npage tab\npage says Tab to it, or use the\npage key i\nshot\n'
                          'page shift-tab\nkey i\nshot\npage shift-tab\npage key i\nshot',
    'WholeRunWithACleanConsole': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\nkey i\nshot\nkey c\nshot\nkey Escape',
    'StartWithoutItsWasm': '',
    'StartFromAFile': '',
    'KeyRepeatingWhileTheFocusIsAwayActsOnce': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\npress c\n'
                                               'page click help\ndesktop release c\nmove 500 500\ndown\nup\nshot\n'
                                               'page repeat c\npage repeat c\npage repeat c\npage release c\nshot',
    'KeyButtonThenTheKeyboard': 'move 100 300\nshot\ndown\nmove 300 300\nshot\nup\nbutton i\nshot\nkey i\nshot',
    'PhoneHeldSideways': 'page in-view canvas keys status\n' + CASES['StrokeRunsFromPressToRelease'] + '\nkey i\nshot',
    'LaptopPageZoomedTo150': 'page in-view canvas keys status\n' + CASES['StrokeRunsFromPressToRelease'],
    'EveryScreenAndZoom': 'page fits 320x480 480x320 390x844 844x390 1366x650 1366x650@1.5 1366x650@2 '
                          '1366x650@0.5 2560x1440 1440x2560 2560x1440@2 320x480@0.5 1920x1080@1.25',
})
# Strokes at a hand's pace and with more than one kind of pointer. `moves` is a quick curve, a move
# every 4 ms, faster than frames; `pointer` changes the kind of pointer that plays the lines after it.
CIRCLE = ' '.join('%d %d' % (round(400 + 120 * math.cos(math.tau * k / 75)),  # 0.3 s around, back where it began
                             round(300 + 120 * math.sin(math.tau * k / 75))) for k in range(1, 76))
CASES.update({
    'QuickCircleThroughEveryMove': 'move 520 300\nshot\ndown\nmoves ' + CIRCLE + '\nup\nshot',
    'TapPaintsUnderTheFinger': 'move 400 300\ndown\nup\nshot',
    'FingerStrokeThenTheMouseShowsTheBrush': 'move 300 200\nshot\npointer touch\nmove 100 400\ndown\nmove 250 450\nup\n'
                                             'pointer mouse\nshot\nmove 500 300\nshot',
    'MousePressWhileAFingerIsDownPaints': 'pointer touch\nmove 100 450\ndown\nmove 200 450\ndesktop up\npointer mouse\n'
                                          'move 300 300\ndown\nmove 450 300\nup\nshot\npointer touch\npage up',
    # A finger's press whose end never comes (made up in the page: no driver loses one), then the mouse.
    'TouchWithoutAnEndBlocksNoStroke': 'page lost-touch 150 150\ndesktop move 140 140\ndesktop down\ndesktop up\n'
                                       'move 300 300\ndown\nmove 450 300\nup\nshot',
})
# What differs from the default setting: the 1000x1000 window, the canvas given the keyboard focus
# first (as the X tests give the window focus), a mouse, the keys on the keyboard.
SETTINGS = {
    'LaptopWindowFirstStrokeBeforeTheFocus': {'viewport': (1366, 650), 'focus': False},
    'TouchStrokeOnAScrolledPage': {'viewport': (700, 750), 'scroll': 50, 'pointer': 'touch'},
    'PenStrokeInALaptopWindow': {'viewport': (1366, 650), 'focus': False, 'pointer': 'pen'},
    'PhoneTouchAndKeyButtons': {'viewport': (390, 844), 'focus': False, 'pointer': 'touch', 'keys': 'buttons'},
    # The page says, where the canvas would be, that it could not start, and what to do.
    'StartWithoutItsWasm': {'fails': 'smearwell.wasm', 'says': 'Check your connection, then reload the page.'},
    'StartFromAFile': {'fails': 'file', 'says': 'python3 -m http.server'},
    'PhoneHeldSideways': {'viewport': (844, 390), 'focus': False, 'pointer': 'touch', 'keys': 'buttons'},
    # A 1366x650 page area at 150 % zoom: 911x433 CSS pixels, 1.5 device pixels each.
    'LaptopPageZoomedTo150': {'viewport': (911, 433), 'zoom': 1.5, 'focus': False},
    'KeyRepeatingWhileTheFocusIsAwayActsOnce': {'needs': ['blur', 'key repeat']},
    # What of an engine's, beyond a mouse and keys, a case needs.
    'KeyHeldWhileTheFocusMovesActsOnce': {'needs': ['blur']},
    'TabLeavesTheCanvas': {'needs': ['tab out of the page']},
    'TapPaintsUnderTheFinger': {'pointer': 'touch'},
    'FingerStrokeThenTheMouseShowsTheBrush': {'needs': ['touch']},
    'MousePressWhileAFingerIsDownPaints': {'needs': ['touch']},
}

KEYS = {'Escape': engines.ESCAPE, 'Tab': '\ue004', 'Shift': '\ue008'}  # W3C key values
AWAY = 'move 860 200'  # the desktop's pointer outside the window, as a finger off the screen
CENTRE = 10  # the brush's centre from its corner: a finger and a pen paint under their point


# After one visit the page starts, and paints as Invert does, with the server gone: from what its
# service worker kept. Once the server is back, a new release is what the page shows.
OFFLINE = 'StartsOfflineAfterOneVisit'
CASES[OFFLINE] = CASES['Invert']
NEW_RELEASE = '<p id="released-again"></p>'
# Two releases in sibling folders of one site, each visited once: both start offline.
SIBLINGS = 'TwoReleasesInSiblingFoldersStartOffline'
CASES[SIBLINGS] = CASES['Invert']
# A public network's sign-in page answers every address with 200 and HTML while the page is visited
# again: the page still starts offline afterwards, from its own files.
SIGN_IN = 'ASignInPageIsNeverKept'
CASES[SIGN_IN] = CASES['Invert']


# Counts, in the page, the pointer moves that reach it and the positions they hold.
COUNT_MOVES = ("window.smearwellMoves = {events: 0, positions: 0}; addEventListener('pointermove', function (event) {"
               '  smearwellMoves.events += 1;'
               '  smearwellMoves.positions += Math.max(1, event.getCoalescedEvents().length); }, true);')


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if getattr(self.server, 'signing_in', False):
            self.send_response(200)
            self.send_header('Content-Type', 'text/html')
            self.end_headers()
            self.wfile.write(b'<!DOCTYPE html><title>Sign in</title><p>Sign in to use this network.</p>')
        else:
            super().do_GET()

    def end_headers(self):
        # Browsers keep nothing of the page unasked (Firefox would start it from its HTTP cache
        # with the server gone): what starts offline, the service worker kept.
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()


def serve(folder, port=0):
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def stop(server):
    server.shutdown()
    server.server_close()


def read_ppm(path):
    data = path.read_bytes()
    header_end = 0
    for _ in range(3):  # "P6", "W H", "255", each ending in a newline
        header_end = data.index(b'\n', header_end) + 1
    return data[header_end:]


def write_ppm(path, rgb):
    path.write_bytes(b'P6\n%d %d\n255\n' % (WIDTH, HEIGHT) + rgb)


class Page:
    def __init__(self, engine, url, setting):
        self.engine, self.setting = engine, setting
        engine.viewport(*(setting.get('viewport') or (1000, 1000)), setting.get('zoom', 1))
        # The last case left the pointer over the canvas: a page loaded under a pointer that does not
        # move gets no event from it in every engine, so the pointer starts outside.
        engine.perform(engines.pointer('mouse', [('move', 0, 0)]))
        engine.navigate(url)
        self.wait_for(lambda: 'running' in self.status() or 'ended' in self.status() or 'could not' in self.status())
        if setting.get('focus', True):
            engine.script("document.getElementById('canvas').focus({preventScroll: true});")
        if setting.get('scroll'):  # with the wheel, away from the canvas
            engine.perform(engines.wheel(0, 0, setting['scroll']))
            self.wait_for(lambda: engine.script('return scrollY;') == setting['scroll'], 5.0)
        # Where the canvas is before any input: a user aims there.
        self.box = self.box_of('#canvas')
        self.pointer = setting.get('pointer', 'mouse')
        self.aimed, self.down = (0, 0), False

    def aim(self, x, y):
        """The whole CSS pixel nearest to the middle of canvas pixel (x, y), where the pointer goes, and
        the canvas pixel it is over, where the input lands: (x, y) where the canvas is not scaled."""
        left, top, width, height = self.box
        page_x, page_y = math.floor(left + (x + 0.5) * width / WIDTH), math.floor(top + (y + 0.5) * height / HEIGHT)
        return (page_x, page_y), (math.floor((page_x - left) * WIDTH / width),
                                  math.floor((page_y - top) * HEIGHT / height))

    def desktop_script(self, lines):
        """The same input as the desktop program gets it: where it lands on this page, the brush's corner
        for a mouse and its centre for a finger or a pen; a finger that is up is away from the window, and
        the mouse is where it was once the page has it again."""
        script, down, landed, kind, mouse = [], False, (0, 0), self.pointer, None
        for line in lines:
            command, *words = line.split() or ['']
            if command in ('move', 'moves'):
                for x, y in zip(words[::2], words[1::2]):
                    landed = self.aim(int(x), int(y))[1]
                    if kind == 'mouse':
                        mouse = landed
                    else:
                        landed = (landed[0] - CENTRE, landed[1] - CENTRE)
                    script.append('move %d %d' % landed if down or kind != 'touch' else AWAY)
                    # The desktop reads the pointer once a pass: each quick move is held until a pass
                    # has surely seen it on a busy machine.
                    script += ['pause 25'] if command == 'moves' else []
            elif command == 'pointer':
                kind = words[0]
                script += ['move %d %d' % mouse] if kind == 'mouse' and mouse else []
            elif command in ('down', 'up') and kind == 'touch':
                script += ['move %d %d' % landed, 'down'] if command == 'down' else ['up', AWAY]
            elif command == 'desktop':
                script.append(' '.join(words))
            elif command == 'button':  # the pointer goes to the button, off the canvas
                script += [AWAY, 'key ' + words[0]]
            elif command != 'page':
                script.append(line)
            down = {'down': True, 'up': False}.get(command, down)
        return script

    def box_of(self, selector):
        return self.engine.script('var r = document.querySelector(arguments[0]).getBoundingClientRect();'
                                  'return [r.left, r.top, r.width, r.height];', selector)

    def pointer_do(self, *steps):
        self.engine.perform(engines.pointer(self.pointer, list(steps)))

    def tap(self, selector):
        """A click, or a touch or pen's tap, in the middle of the element `selector` picks."""
        left, top, width, height = self.box_of(selector)
        x, y = int(left + width / 2), int(top + height / 2)
        if self.pointer == 'touch':
            self.engine.touch('touchStart', {0: (x, y)})
            self.engine.touch('touchEnd', {0: (x, y)})
        else:
            self.pointer_do(('move', x, y), ('down',), ('up',))

    def wait_for(self, condition, seconds=10.0):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                raise AssertionError('timed out; page status: ' + self.status())
            time.sleep(0.05)

    def status(self):
        return self.engine.script("return document.getElementById('status').textContent;")

    def output(self):
        return self.engine.script("return document.getElementById('output').textContent;")

    def pixels(self):
        rgba = base64.b64decode(self.engine.script("""
            var data = document.getElementById('canvas').getContext('2d').getImageData(0, 0, 800, 600).data;
            var text = '';
            for (var i = 0; i < data.length; i += 32768)
              text += String.fromCharCode.apply(null, data.subarray(i, i + 32768));
            return btoa(text);"""))
        return bytes(value for index, value in enumerate(rgba) if index % 4 != 3)

    def settled(self):
        shot = self.pixels()
        while True:
            time.sleep(0.2)
            again = self.pixels()
            if again == shot:
                return shot
            shot = again

    def play(self, line):
        """Plays one script line; a check among the page's own lines returns what is wrong, if anything."""
        command, *words = line.split()
        if command == 'page':
            return self.play_on_page_only(words[0], words[1:])
        if command == 'move':
            self.aimed = self.aim(int(words[0]), int(words[1]))[0]
            if self.pointer != 'touch':
                self.pointer_do(('move',) + self.aimed)
            elif self.down:  # a finger does not hover
                self.engine.touch('touchMove', {0: self.aimed})
        elif command in ('down', 'up'):
            self.down = command == 'down'
            if self.pointer == 'touch':
                self.engine.touch('touchStart' if self.down else 'touchEnd', {0: self.aimed})
            else:
                self.pointer_do((command,))
        elif command == 'button' or command == 'key' and self.setting.get('keys') == 'buttons':
            self.tap('#keys [data-key="%s"]' % words[0])
        elif command in ('key', 'press', 'release'):
            key = KEYS.get(words[0], words[0])
            self.engine.perform(engines.keys(([] if command == 'release' else [('down', key)]) +
                                             ([] if command == 'press' else [('up', key)])))
        elif command == 'moves':  # with the left button held
            points = [self.aim(int(x), int(y))[0] for x, y in zip(words[::2], words[1::2])]
            self.engine.script(COUNT_MOVES)
            quick_moves = getattr(self.engine, 'quick_moves', None)  # else the driver waits for each move
            if quick_moves:
                quick_moves(points, 4)
            else:
                self.pointer_do(*[step for point in points for step in (('move',) + point, ('pause', 4))])
            self.wait_for(lambda: self.engine.script('return smearwellMoves.positions;') >= len(points), 5.0)
            self.aimed, events = points[-1], self.engine.script('return smearwellMoves.events;')
            if quick_moves and events >= len(points):
                return '%s folded none of %d quick moves into a frame' % (self.engine.name, events)
        elif command == 'pointer':
            self.pointer = words[0]
        elif command == 'pause':
            time.sleep(int(words[0]) / 1000)
        else:
            raise ValueError('not a script command: ' + line)
        return None

    def play_on_page_only(self, command, words):
        engine = self.engine
        if command == 'leave':  # to another tab and back: the page loses the focus and is hidden
            engine.leave()
        elif command in ('tab', 'shift-tab'):
            shift = [('down', KEYS['Shift'])] if command == 'shift-tab' else []
            engine.perform(engines.keys(shift + [('down', KEYS['Tab']), ('up', KEYS['Tab'])] +
                                        [('up', key) for _, key in shift]))
        elif command == 'click':
            self.tap('#' + words[0])
        elif command == 'repeat':  # pressed again while held: the key's auto-repeat
            engine.repeat_key(words[0])
        elif command == 'fits':  # canvas, buttons and status all in view at each WIDTHxHEIGHT[@ZOOM]
            wrong = []
            for size in words:
                width, height, zoom = (float(n) for n in (size.replace('@', 'x') + ('' if '@' in size else 'x1')).split('x'))
                try:
                    engine.viewport(round(width / zoom), round(height / zoom), zoom)
                except RuntimeError as error:  # a window kept larger by the browser
                    print('  (%s: %s not checked there: %s)' % (engine.name, size, error))
                    continue
                wrong += [size + ': ' + what for what in filter(None, [self.play_on_page_only('in-view', ['canvas', 'keys', 'status'])])]
            engine.viewport(*(self.setting.get('viewport') or (1000, 1000)), self.setting.get('zoom', 1))
            return '; '.join(wrong) or None
        elif command == 'finger':  # a second finger taps while the first holds its stroke
            second = {1: self.aim(int(words[0]), int(words[1]))[0]}
            engine.touch('touchStart', {0: self.aimed, **second})
            engine.touch('touchEnd', second)
        elif command == 'lost-touch':  # a finger's press, on the canvas, whose end never comes
            engine.script("document.getElementById('canvas').dispatchEvent(new PointerEvent('pointerdown', {"
                          "  pointerId: 4242, pointerType: 'touch', isPrimary: true, button: 0, buttons: 1,"
                          "  clientX: arguments[0], clientY: arguments[1], bubbles: true, cancelable: true}));",
                          *self.aim(int(words[0]), int(words[1]))[0])
        elif command == 'says':
            text = ' '.join(words)
            if text not in engine.script('return document.body.innerText;'):
                return 'the page does not say %r' % text
        elif command == 'in-view':  # whole in the viewport, and a box that scrolls shows its end
            for name in words:
                if not engine.script(
                        'var e = document.getElementById(arguments[0]), r = e.getBoundingClientRect();'
                        'return r.width > 0 && r.top >= 0 && r.left >= 0 && r.bottom <= innerHeight &&'
                        '  r.right <= innerWidth && e.scrollHeight - e.scrollTop - e.clientHeight <= 1;', name):
                    return '#%s is not all in view' % name
        elif command == 'one-to-one':
            if self.box_of('#canvas')[2:] != [WIDTH, HEIGHT]:
                return 'the canvas is not one CSS pixel a canvas pixel'
        else:
            return self.play(' '.join([command] + words))
        return None


def difference(actual, expected):
    wrong = [i // 3 for i in range(0, len(expected), 3) if actual[i:i + 3] != expected[i:i + 3]]
    listed = ', '.join('(%d,%d): %s not %s' % (p % WIDTH, p // WIDTH, actual[3 * p:3 * p + 3].hex(),
                                               expected[3 * p:3 * p + 3].hex()) for p in wrong[:5])
    return '%d pixels differ: %s' % (len(wrong), listed)


def play_on_the_desktop(name, lines, replay, evidence):
    """The desktop's pictures, printed lines and status for the input the page gets (an engine that
    lays the page out alike gives the same): their files' prefix."""
    text = '\n'.join(lines) + '\n'
    prefix = evidence / ('%s-desktop-%s' % (name, hashlib.sha1(text.encode()).hexdigest()[:8]))
    if not prefix.with_suffix('.status').exists():
        script_file = prefix.with_suffix('.txt')
        script_file.write_text(text)
        subprocess.run([replay, str(script_file), str(prefix)], check=True, timeout=120)
    return prefix


def run_case(name, script, page, replay, evidence, web_evidence):
    """Returns the failures of one case: the script played on the desktop, then in the page."""
    if 'fails' in page.setting:  # the page said that it could not start (Page waits 10 s for that)
        shown = page.engine.script(
            "var m = document.getElementById('message'), r = m.getBoundingClientRect(), s = getComputedStyle(m);"
            "return [m.hidden ? '' : m.innerText, r.width, r.height, document.getElementById('canvas').hidden,"
            "        s.color !== s.backgroundColor && s.backgroundColor !== getComputedStyle(document.body).backgroundColor];")
        text, width, height, canvas_hidden, stands_out = shown
        return [what for what, wrong in [
            ('the message does not say %r: %r' % (page.setting['says'], text), page.setting['says'] not in text),
            ('the message is not in the canvas\'s place (%sx%s)' % (width, height),
             not canvas_hidden or not width or abs(width * 3 - height * 4) > 4),
            ('the message does not stand out from the page', not stands_out),
            ('the status line says %r' % page.status(), 'could not start' not in page.status()),
            ('#message is not all in view', page.play_on_page_only('in-view', ['message']))] if wrong]
    lines = script.splitlines()
    desktop = play_on_the_desktop(name, page.desktop_script(lines), replay, evidence)
    failures, shots = [], 0
    for line in lines:
        if line.startswith('desktop '):
            continue
        if line != 'shot':
            failures += filter(None, [page.play(line)])
            continue
        shots += 1
        expected = read_ppm(Path('%s-%d.ppm' % (desktop, shots)))
        actual = page.settled()
        if actual != expected:
            write_ppm(web_evidence / ('%s-web-%d.ppm' % (name, shots)), actual)
            failures.append('picture %d: %s' % (shots, difference(actual, expected)))
    desktop_output = desktop.with_suffix('.out').read_text()
    page.wait_for(lambda: len(page.output()) >= len(desktop_output), 5.0)
    if page.output() != desktop_output:
        failures.append('printed %r, the desktop %r' % (page.output()[-300:], desktop_output[-300:]))
    desktop_status = desktop.with_suffix('.status').read_text().strip()
    if desktop_status == '0':  # it ended: the page says so, and takes no more input
        page.wait_for(lambda: 'has ended' in page.status(), 5.0)
        before = page.pixels()
        page.play('key i')
        time.sleep(0.3)
        if page.pixels() != before:
            failures.append('the canvas changed after the end: ' + difference(page.pixels(), before))
        left = page.engine.listeners_left()
        if left:
            failures.append('input listeners left after the end: ' + ', '.join(left))
    elif 'running' not in page.status():
        failures.append('page says %r, the desktop program is %s' % (page.status(), desktop_status))
    return failures


def run_offline(name, script, engine, page_folder, replay, evidence, web_evidence):
    with tempfile.TemporaryDirectory() as folder:  # a new origin (port), and a page to release again
        shutil.copytree(page_folder, folder, dirs_exist_ok=True)
        server = serve(folder)
        url = 'http://127.0.0.1:%d/index.html' % server.server_port
        try:
            page = Page(engine, url, {})
            page.wait_for(lambda: engine.script('return !!navigator.serviceWorker.controller;'))
            failures = ['not installable: ' + error for error in engine.installability_errors() or []]
        finally:
            stop(server)
        failures += run_case(name, script, Page(engine, url, {}), replay, evidence, web_evidence)
        index = Path(folder, 'index.html')
        index.write_text(index.read_text().replace('</body>', NEW_RELEASE + '</body>'))
        server = serve(folder, server.server_port)
        try:
            Page(engine, url, {})  # started, so that no file of it is still on its way when the server stops
            if not engine.script("return !!document.getElementById('released-again');"):
                failures.append('online again, the page is still the old release')
        finally:
            stop(server)
    return failures


def visit_until_kept(engine, url):
    """A first visit, until the page's service worker has kept its files and controls the page."""
    Page(engine, url, {}).wait_for(lambda: engine.script('return !!navigator.serviceWorker.controller;'))


def run_siblings(name, script, engine, page_folder, replay, evidence, web_evidence):
    with tempfile.TemporaryDirectory() as root:
        for folder in ('a', 'b'):
            shutil.copytree(page_folder, Path(root, folder))
        worker = Path(root, 'b', 'service-worker.js')  # b holds the next release: its version's last number up
        worker.write_text(re.sub(r"(\d+\.\d+\.)(\d+)'", lambda m: '%s%d\'' % (m.group(1), int(m.group(2)) + 1),
                                 worker.read_text(), count=1))
        server = serve(root)
        urls = ['http://127.0.0.1:%d/%s/index.html' % (server.server_port, folder) for folder in ('a', 'b')]
        try:
            for url in urls:
                visit_until_kept(engine, url)
        finally:
            stop(server)
        return [failure for url in urls
                for failure in run_case(name, script, Page(engine, url, {}), replay, evidence, web_evidence)]


def run_signing_in(name, script, engine, page_folder, replay, evidence, web_evidence):
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(page_folder, folder, dirs_exist_ok=True)
        server = serve(folder)
        url = 'http://127.0.0.1:%d/index.html' % server.server_port
        try:
            visit_until_kept(engine, url)
            server.signing_in = True
            engine.navigate(url)
            # The sign-in page asks for the program, as a page that starts Smearwell would.
            engine.script("return fetch('smearwell.wasm').then(response => response.arrayBuffer());")
        finally:
            stop(server)
        return run_case(name, script, Page(engine, url, {}), replay, evidence, web_evidence)


def needs(setting):
    """What of an engine's a case needs beyond a mouse and keys."""
    return ({setting['pointer']} if setting.get('pointer', 'mouse') != 'mouse' else set()) | set(setting.get('needs', ()))


def run_engine(engine, page_folder, urls, cases, replay, evidence):
    """Plays every case in one engine; returns how many ran, failed and did not apply there."""
    web_evidence = evidence / engine.name
    web_evidence.mkdir(exist_ok=True)
    ran = failed = skipped = 0
    for name, script in cases.items():
        ran += 1
        setting = SETTINGS.get(name, {})
        cannot = [engine.cannot[need] for need in needs(setting) if need in engine.cannot]
        if cannot:
            skipped += 1
            print('[ SKIPPED  ] Web.%s in %s: does not apply there: %s' % (name, engine.name, '; '.join(cannot)))
            continue
        engine.console()  # what earlier cases left
        try:
            if name in (OFFLINE, SIBLINGS, SIGN_IN):
                run = {OFFLINE: run_offline, SIBLINGS: run_siblings, SIGN_IN: run_signing_in}[name]
                failures = run(name, script, engine, page_folder, replay, evidence, web_evidence)
            else:
                page = Page(engine, urls.get(setting.get('fails'), urls[None]), setting)
                failures = run_case(name, script, page, replay, evidence, web_evidence)
        except Exception as error:  # a broken case is reported like a failed one, and the rest run
            failures = ['%s: %s' % (type(error).__name__, error)]
        console = engine.console()
        if 'fails' not in setting:
            failures += ['console: ' + entry['message'] for entry in console or []
                         if entry['level'] in ('WARNING', 'SEVERE')][:5]
        if failures:
            failed += 1
            engine.screenshot(web_evidence / (name + '-page.png'))
            (web_evidence / (name + '-console.txt')).write_text(
                '(this engine gives no console)' if console is None else
                '\n'.join(entry['message'] for entry in console))
            print('[  FAILED  ] Web.%s in %s\n  %s' % (name, engine.name, '\n  '.join(failures)))
        else:
            print('[       OK ] Web.%s in %s' % (name, engine.name))
    return ran, failed, skipped


def main():
    page_folder, replay, evidence = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    chosen = [engines.ENGINES[name] for name in sys.argv[4:] if name in engines.ENGINES] or engines.ENGINES.values()
    cases = {name: script for name, script in CASES.items()
             if name in sys.argv[4:] or not set(sys.argv[4:]) - set(engines.ENGINES)}
    evidence.mkdir(parents=True, exist_ok=True)
    server = serve(page_folder)
    # The page served without its program, and opened as a file.
    without_wasm = evidence / 'page-without-wasm'
    shutil.rmtree(without_wasm, ignore_errors=True)
    shutil.copytree(page_folder, without_wasm, ignore=shutil.ignore_patterns('*.wasm'))
    other_server = serve(without_wasm)
    urls = {None: 'http://127.0.0.1:%d/index.html' % server.server_port,
            'smearwell.wasm': 'http://127.0.0.1:%d/index.html' % other_server.server_port,
            'file': (page_folder / 'index.html').resolve().as_uri()}
    all_failed = 0
    try:
        for kind in chosen:
            engine = kind(1000, 1000)
            try:
                ran, failed, skipped = run_engine(engine, page_folder, urls, cases, replay, evidence)
            finally:
                engine.quit()
            all_failed += failed
            print('web tests in %s %s: %d ran, %d failed%s%s' % (
                engine.name, engine.version, ran, failed, ', %d skipped' % skipped if skipped else '',
                '; evidence in %s' % (evidence / engine.name) if failed else ''))
    finally:
        stop(server)
        stop(other_server)
    return 1 if all_failed else 0


if __name__ == '__main__':
    sys.exit(main())
