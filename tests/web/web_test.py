#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The web build in three browser engines (Chromium, WebKitGTK, Firefox ESR: tests/web/engines.py),
with input through each browser's own input pipeline, compared pixel for pixel and line for line
with what the same input gives the desktop program in Xvfb (smearwell_replay plays each script
there, once for all engines).

Usage: web_test.py PAGE-FOLDER REPLAY-PROGRAM EVIDENCE-FOLDER [ENGINE...] [CASE...]
(no engine named: all three; no case named: all). On a failure the evidence folder keeps, per case,
the desktop's pictures (PPM), and in the engine's own folder the page's pictures, a screenshot of
the page and the browser's console where the engine gives one."""

import base64
import functools
import http.server
import math
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

KEYS = {'Escape': engines.ESCAPE}

# After one visit the page starts, and paints as Invert does, with the server gone: from what its
# service worker kept. Once the server is back, a new release is what the page shows.
OFFLINE = 'StartsOfflineAfterOneVisit'
NEW_RELEASE = '<p id="released-again"></p>'



class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

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


def read_ppm(path):
    data = path.read_bytes()
    header_end = 0
    for _ in range(3):  # "P6", "W H", "255", each ending in a newline
        header_end = data.index(b'\n', header_end) + 1
    return data[header_end:]


def write_ppm(path, rgb):
    path.write_bytes(b'P6\n%d %d\n255\n' % (WIDTH, HEIGHT) + rgb)


class Page:
    def __init__(self, engine, url):
        self.engine = engine
        self.pointer_kind = 'mouse'  # or touch or pen: what `move`, `down` and `up` play with
        # The last case left the pointer over the canvas: a page loaded under a pointer that does not
        # move gets no event from it in every engine, so the pointer starts outside.
        engine.perform(engines.pointer('mouse', [('move', 0, 0)]))
        engine.navigate(url)
        self.wait_for(lambda: 'running' in self.status() or 'ended' in self.status() or 'could not' in self.status())
        left, top = engine.script("var r = document.getElementById('canvas').getBoundingClientRect();"
                                  " return [r.left, r.top];")
        # The pointer sits on whole CSS pixels: aim at the first whole pixel inside the canvas.
        self.left, self.top = math.ceil(left), math.ceil(top)
        engine.script("document.getElementById('canvas').focus();")  # as the X tests give the window focus

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
        command, *words = line.split()
        if command == 'pointer':
            self.pointer_kind = words[0]
        elif command == 'move':
            self.engine.perform(engines.pointer(self.pointer_kind,
                                                [('move', self.left + int(words[0]), self.top + int(words[1]))]))
        elif command in ('down', 'up'):
            self.engine.perform(engines.pointer(self.pointer_kind, [(command,)]))
        elif command in ('key', 'press', 'release'):
            key = KEYS.get(words[0], words[0])
            self.engine.perform(engines.keys(([] if command == 'release' else [('down', key)]) +
                                             ([] if command == 'press' else [('up', key)])))
        elif command == 'pause':
            time.sleep(int(words[0]) / 1000)
        else:
            raise ValueError('not a script command: ' + line)


def difference(actual, expected):
    wrong = [i // 3 for i in range(0, len(expected), 3) if actual[i:i + 3] != expected[i:i + 3]]
    listed = ', '.join('(%d,%d): %s not %s' % (p % WIDTH, p // WIDTH, actual[3 * p:3 * p + 3].hex(),
                                               expected[3 * p:3 * p + 3].hex()) for p in wrong[:5])
    return '%d pixels differ: %s' % (len(wrong), listed)


def play_on_the_desktop(name, script, replay, evidence):
    script_file = evidence / (name + '.txt')
    # The desktop has one pointer: a touch or a pen stroke is a mouse's there.
    script_file.write_text(''.join(line + '\n' for line in script.splitlines() if not line.startswith('pointer ')))
    subprocess.run([replay, str(script_file), str(evidence / (name + '-desktop'))], check=True, timeout=120)


def run_case(name, script, page, evidence, web_evidence):
    """Returns the failures of one case in the page, against what the desktop showed and printed."""
    failures, shots = [], 0
    for line in script.splitlines():
        if line != 'shot':
            page.play(line)
            continue
        shots += 1
        expected = read_ppm(evidence / ('%s-desktop-%d.ppm' % (name, shots)))
        actual = page.settled()
        if actual != expected:
            write_ppm(web_evidence / ('%s-web-%d.ppm' % (name, shots)), actual)
            failures.append('picture %d: %s' % (shots, difference(actual, expected)))
    desktop_output = (evidence / (name + '-desktop.out')).read_text()
    page.wait_for(lambda: len(page.output()) >= len(desktop_output), 5.0)
    if page.output() != desktop_output:
        failures.append('printed %r, the desktop %r' % (page.output()[-300:], desktop_output[-300:]))
    desktop_status = (evidence / (name + '-desktop.status')).read_text().strip()
    if desktop_status == '0':  # it ended: the page says so, and takes no more input
        page.wait_for(lambda: 'has ended' in page.status(), 5.0)
        before = page.pixels()
        page.play('key i')
        time.sleep(0.3)
        if page.pixels() != before:
            failures.append('the canvas changed after the end: ' + difference(page.pixels(), before))
    elif 'running' not in page.status():
        failures.append('page says %r, the desktop program is %s' % (page.status(), desktop_status))
    return failures


def stop(server):
    server.shutdown()
    server.server_close()


def run_offline(name, script, engine, page_folder, evidence, web_evidence):
    with tempfile.TemporaryDirectory() as folder:  # a new origin (port), and a page to release again
        shutil.copytree(page_folder, folder, dirs_exist_ok=True)
        server = serve(folder)
        url = 'http://127.0.0.1:%d/index.html' % server.server_port
        try:
            page = Page(engine, url)
            page.wait_for(lambda: engine.script('return !!navigator.serviceWorker.controller;'))
            failures = ['not installable: ' + error for error in engine.installability_errors() or []]
        finally:
            stop(server)
        failures += run_case(name, script, Page(engine, url), evidence, web_evidence)
        index = Path(folder, 'index.html')
        index.write_text(index.read_text().replace('</body>', NEW_RELEASE + '</body>'))
        server = serve(folder, server.server_port)
        try:
            engine.navigate(url)
            if not engine.script("return !!document.getElementById('released-again');"):
                failures.append('online again, the page is still the old release')
        finally:
            stop(server)
    return failures


def run_engine(engine, page_folder, url, cases, evidence):
    """Plays every case in one engine; returns how many ran, failed and did not apply there."""
    web_evidence = evidence / engine.name
    web_evidence.mkdir(exist_ok=True)
    ran = failed = skipped = 0
    for name, script in cases.items():
        ran += 1
        kind = next((kind for kind in engine.cannot if 'pointer ' + kind in script), None)
        if kind:
            skipped += 1
            print('[ SKIPPED  ] Web.%s in %s: does not apply there: %s' % (name, engine.name, engine.cannot[kind]))
            continue
        try:
            if name == OFFLINE:
                failures = run_offline(name, script, engine, page_folder, evidence, web_evidence)
            else:
                failures = run_case(name, script, Page(engine, url), evidence, web_evidence)
        except Exception as error:  # a broken case is reported like a failed one, and the rest run
            failures = ['%s: %s' % (type(error).__name__, error)]
        if failures:
            failed += 1
            engine.screenshot(web_evidence / (name + '-page.png'))
            console = engine.console()
            (web_evidence / (name + '-console.txt')).write_text(
                '(this engine gives no console)' if console is None else '\n'.join(entry['message'] for entry in console))
            print('[  FAILED  ] Web.%s in %s\n  %s' % (name, engine.name, '\n  '.join(failures)))
        else:
            print('[       OK ] Web.%s in %s' % (name, engine.name))
        engine.console()  # what the next case's page logs starts afresh
    return ran, failed, skipped


def main():
    page_folder, replay, evidence = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    chosen = [engines.ENGINES[name] for name in sys.argv[4:] if name in engines.ENGINES] or engines.ENGINES.values()
    cases = {name: script for name, script in dict(CASES, **{OFFLINE: CASES['Invert']}).items()
             if name in sys.argv[4:] or not set(sys.argv[4:]) - set(engines.ENGINES)}
    evidence.mkdir(parents=True, exist_ok=True)
    for name, script in cases.items():
        play_on_the_desktop(name, script, replay, evidence)
    server = serve(page_folder)
    url = 'http://127.0.0.1:%d/index.html' % server.server_port
    all_failed = 0
    try:
        for kind in chosen:
            engine = kind(1000, 1000)
            try:
                ran, failed, skipped = run_engine(engine, page_folder, url, cases, evidence)
            finally:
                engine.quit()
            all_failed += failed
            print('web tests in %s %s: %d ran, %d failed%s%s' % (
                engine.name, engine.version, ran, failed, ', %d skipped' % skipped if skipped else '',
                '; evidence in %s' % (evidence / engine.name) if failed else ''))
    finally:
        stop(server)
    return 1 if all_failed else 0


if __name__ == '__main__':
    sys.exit(main())
