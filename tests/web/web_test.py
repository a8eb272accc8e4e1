#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The web build in headless Chromium, driven over WebDriver with input through the browser's own
input pipeline, compared pixel for pixel and line for line with what the same input gives the
desktop program in Xvfb (smearwell_replay plays each script there).

Usage: web_test.py PAGE-FOLDER REPLAY-PROGRAM EVIDENCE-FOLDER [CASE...]
On a failure the evidence folder keeps, per case, both pictures (PPM), a screenshot of the page and
the browser's console."""

import functools
import http.server
import math
import subprocess
import sys
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

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

KEYS = {'Escape': Keys.ESCAPE}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser():
    options = webdriver.ChromeOptions()
    for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--window-size=1000,1000',
                     '--force-device-scale-factor=1'):
        options.add_argument(argument)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def read_ppm(path):
    data = path.read_bytes()
    header_end = 0
    for _ in range(3):  # "P6", "W H", "255", each ending in a newline
        header_end = data.index(b'\n', header_end) + 1
    return data[header_end:]


def write_ppm(path, rgb):
    path.write_bytes(b'P6\n%d %d\n255\n' % (WIDTH, HEIGHT) + rgb)


class Page:
    def __init__(self, driver, url):
        self.driver = driver
        driver.get(url)
        self.wait_for(lambda: 'running' in self.status() or 'ended' in self.status() or 'could not' in self.status())
        self.canvas = driver.find_element('id', 'canvas')
        left, top = driver.execute_script('var r = arguments[0].getBoundingClientRect(); return [r.left, r.top];',
                                          self.canvas)
        # The pointer sits on whole CSS pixels: aim at the first whole pixel inside the canvas.
        self.left, self.top = math.ceil(left), math.ceil(top)
        driver.execute_script('arguments[0].focus();', self.canvas)  # as the X tests give the window focus

    def wait_for(self, condition, seconds=10.0):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                raise AssertionError('timed out; page status: ' + self.status())
            time.sleep(0.05)

    def status(self):
        return self.driver.find_element('id', 'status').text

    def output(self):
        return self.driver.execute_script("return document.getElementById('output').textContent;")

    def pixels(self):
        rgba = self.driver.execute_script(
            'return Array.from(arguments[0].getContext("2d").getImageData(0, 0, 800, 600).data);', self.canvas)
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
        actions = ActionBuilder(self.driver, duration=0)
        if command == 'move':
            actions.pointer_action.move_to_location(self.left + int(words[0]), self.top + int(words[1]))
            actions.perform()
        elif command in ('down', 'up'):
            (actions.pointer_action.pointer_down if command == 'down' else actions.pointer_action.pointer_up)()
            actions.perform()
        elif command in ('key', 'press', 'release'):
            key = KEYS.get(words[0], words[0])
            chain = ActionChains(self.driver, duration=0)
            if command != 'release':
                chain.key_down(key)
            if command != 'press':
                chain.key_up(key)
            chain.perform()
        elif command == 'pause':
            time.sleep(int(words[0]) / 1000)
        else:
            raise ValueError('not a script command: ' + line)


def difference(actual, expected):
    wrong = [i // 3 for i in range(0, len(expected), 3) if actual[i:i + 3] != expected[i:i + 3]]
    listed = ', '.join('(%d,%d): %s not %s' % (p % WIDTH, p // WIDTH, actual[3 * p:3 * p + 3].hex(),
                                               expected[3 * p:3 * p + 3].hex()) for p in wrong[:5])
    return '%d pixels differ: %s' % (len(wrong), listed)


def run_case(name, script, page, replay, evidence):
    """Returns the failures of one case: the script played on the desktop, then in the page."""
    script_file = evidence / (name + '.txt')
    script_file.write_text(script + '\n')
    subprocess.run([replay, str(script_file), str(evidence / (name + '-desktop'))], check=True, timeout=120)
    failures, shots = [], 0
    for line in script.splitlines():
        if line != 'shot':
            page.play(line)
            continue
        shots += 1
        expected = read_ppm(evidence / ('%s-desktop-%d.ppm' % (name, shots)))
        actual = page.settled()
        if actual != expected:
            write_ppm(evidence / ('%s-web-%d.ppm' % (name, shots)), actual)
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


def main():
    page_folder, replay, evidence = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    evidence.mkdir(parents=True, exist_ok=True)
    server = serve(page_folder)
    url = 'http://127.0.0.1:%d/index.html' % server.server_port
    driver = browser()
    ran = failed = 0
    try:
        for name, script in CASES.items():
            if len(sys.argv) > 4 and name not in sys.argv[4:]:
                continue
            ran += 1
            page = Page(driver, url)
            try:
                failures = run_case(name, script, page, replay, evidence)
            except Exception as error:  # a broken case is reported like a failed one, and the rest run
                failures = ['%s: %s' % (type(error).__name__, error)]
            if failures:
                failed += 1
                driver.save_screenshot(str(evidence / (name + '-page.png')))
                (evidence / (name + '-console.txt')).write_text(
                    '\n'.join(entry['message'] for entry in driver.get_log('browser')))
                print('[  FAILED  ] Web.%s\n  %s' % (name, '\n  '.join(failures)))
            else:
                print('[       OK ] Web.%s' % name)
    finally:
        driver.quit()
        server.shutdown()
    print('web tests: %d ran, %d failed%s' % (ran, failed, '; evidence in %s' % evidence if failed else ''))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
