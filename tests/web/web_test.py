#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The web build in headless Chromium, driven over WebDriver with input through the browser's own
input pipeline, compared pixel for pixel and line for line with what the same input gives the
desktop program in Xvfb (smearwell_replay plays each script there).

Usage: web_test.py PAGE-FOLDER REPLAY-PROGRAM EVIDENCE-FOLDER [CASE...]
On a failure the evidence folder keeps, per case, both pictures (PPM), a screenshot of the page and
the browser's console. Every case also fails on a warning or an error in the console."""

import functools
import http.server
import math
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
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
# The same input where users meet the page: a laptop's window, a scrolled page, a finger, a pen, a
# phone, the focus elsewhere. Lines starting `page` are played to the page alone (what only a page
# has, or checks of it); lines starting `desktop` to the desktop program alone.
CASES.update({
    'LaptopWindowFirstStrokeBeforeTheFocus': CASES['ConvolvePrintsItsColumn'] + '\npage in-view canvas status output'
                                             '\npage one-to-one\nkey Escape\npage in-view status',
    'TouchStrokeOnAScrolledPage': CASES['StrokeRunsFromPressToRelease'].replace('400\nshot', '400\nshot\npage finger 600 500'),
    'PenStrokeInALaptopWindow': CASES['StrokeLeavesAndReentersTheCanvas'],
    'PhoneTouchAndKeyButtons': 'page in-view canvas keys\n' + CASES['InvertThenConvolveAtOnce'].replace('key c', 'shot\nkey c')
                               + '\nkey Escape',
    'KeyHeldWhileTheFocusMovesActsOnce': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\npress c\npage click help\n'
                                         'desktop move 860 200\nrelease c\nshot',
    'StrokeEndsWhenThePageIsLeft': 'move 100 300\nshot\ndown\nmove 300 300\nshot\npage leave\ndesktop up\n'
                                   'move 300 450\nshot\npage up\nmove 500 500\nshot',
    'TabLeavesTheCanvas': 'move 100 300\nshot\npage tab\npage says click the canvas, or Tab to it\npage key i\nshot\n'
                          'page shift-tab\nkey i\nshot\npage shift-tab\npage key i\nshot',
    'WholeRunWithACleanConsole': 'move 10 300\nshot\ndown\nmove 300 300\nshot\nup\nkey i\nshot\nkey c\nshot\nkey Escape',
    'StartWithoutItsWasm': '',
    'StartFromAFile': '',
})
# What differs from the default setting: the 1000x1000 window, the canvas given the keyboard focus
# first (as the X tests give the window focus), a mouse, the keys on the keyboard.
SETTINGS = {
    'LaptopWindowFirstStrokeBeforeTheFocus': {'viewport': (1366, 650), 'focus': False},
    'TouchStrokeOnAScrolledPage': {'viewport': (1000, 600), 'scroll': 150, 'pointer': 'touch'},
    'PenStrokeInALaptopWindow': {'viewport': (1366, 650), 'focus': False, 'pointer': 'pen'},
    'PhoneTouchAndKeyButtons': {'viewport': (390, 844), 'focus': False, 'pointer': 'touch', 'keys': 'buttons'},
    'StartWithoutItsWasm': {'fails': 'smearwell.wasm'},  # the page says it could not start, and names this
    'StartFromAFile': {'fails': 'web server'},
}

KEYS = {'Escape': Keys.ESCAPE}
POINTERS = {'mouse': interaction.POINTER_MOUSE, 'touch': interaction.POINTER_TOUCH, 'pen': interaction.POINTER_PEN}
AWAY = 'move 860 200'  # the desktop's pointer outside the window, as a finger off the screen


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def size_viewport(driver, viewport):
    """The window made the size that gives `viewport` (CSS pixels), or the default window for None."""
    driver.set_window_size(*(viewport or (1000, 1000)))
    if viewport:
        inner = driver.execute_script('return [innerWidth, innerHeight];')
        driver.set_window_size(2 * viewport[0] - inner[0], 2 * viewport[1] - inner[1])


# What is read through Chromium's own means (and Page.touch): another engine answers None, cannot tell.
def console_entries(driver):
    """The browser console's messages since the last call."""
    return driver.get_log('browser') if hasattr(driver, 'execute_cdp_cmd') else None


def listeners_left(driver):
    """The input listeners on the canvas, the document and the window (DevTools' getEventListeners)."""
    if not hasattr(driver, 'execute_cdp_cmd'):
        return None
    expression = ("[['canvas', document.getElementById('canvas')], ['document', document], ['window', window]]"
                  ".flatMap(([name, target]) => Object.entries(getEventListeners(target))"
                  ".filter(([type]) => /^(mouse|pointer(?!lock)|touch|key|wheel|DOMMouseScroll|focus|blur|visibility|unload)/"
                  ".test(type)).map(([type, list]) => name + ' ' + type + ' x' + list.length))")
    return driver.execute_cdp_cmd('Runtime.evaluate', {'expression': expression, 'includeCommandLineAPI': True,
                                                       'returnByValue': True})['result']['value']


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
    def __init__(self, driver, url, setting):
        self.driver, self.setting = driver, setting
        size_viewport(driver, setting.get('viewport'))
        driver.get(url)
        self.wait_for(lambda: 'running' in self.status() or 'ended' in self.status() or 'could not' in self.status())
        self.canvas = driver.find_element('id', 'canvas')
        if setting.get('focus', True):
            driver.execute_script('arguments[0].focus({preventScroll: true});', self.canvas)
        if setting.get('scroll'):  # with the wheel, away from the canvas
            ActionChains(driver).scroll_by_amount(0, setting['scroll']).perform()
            self.wait_for(lambda: driver.execute_script('return scrollY;') == setting['scroll'], 5.0)
        # Where the canvas is before any input: a user aims there.
        self.box = driver.execute_script('var r = arguments[0].getBoundingClientRect();'
                                         'return [r.left, r.top, r.width, r.height];', self.canvas)
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
        """The same input as the desktop program gets it: where it lands on this page; a finger that is
        up is away from the window."""
        script, down, landed = [], False, (0, 0)
        for line in lines:
            command, *words = line.split() or ['']
            if command == 'move':
                landed = self.aim(int(words[0]), int(words[1]))[1]
                script.append('move %d %d' % landed if down or self.pointer != 'touch' else AWAY)
            elif command in ('down', 'up') and self.pointer == 'touch':
                script += ['move %d %d' % landed, 'down'] if command == 'down' else ['up', AWAY]
            elif command == 'desktop':
                script.append(' '.join(words))
            elif command != 'page':
                script.append(line)
            down = {'down': True, 'up': False}.get(command, down)
        return script

    def pointer_actions(self):
        return ActionBuilder(self.driver, mouse=PointerInput(POINTERS[self.pointer], self.pointer), duration=0)

    def touch(self, kind, fingers):
        """Fingers (id: position) that touch, move or lift, through DevTools: Chromium's WebDriver loses
        a finger between two action calls, and a shot in the middle of a stroke needs two."""
        self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': kind, 'touchPoints': [{'id': id, 'x': x, 'y': y} for id, (x, y) in fingers.items()]})

    def tap(self, element):
        """A click, or a touch or pen's tap, in the middle of `element`."""
        x, y = self.driver.execute_script('var r = arguments[0].getBoundingClientRect();'
                                          'return [r.left + r.width / 2, r.top + r.height / 2];', element)
        if self.pointer == 'touch':
            self.touch('touchStart', {0: (int(x), int(y))})
            self.touch('touchEnd', {0: (int(x), int(y))})
            return
        actions = self.pointer_actions()
        actions.pointer_action.move_to_location(int(x), int(y))
        actions.pointer_action.pointer_down()
        actions.pointer_action.pointer_up()
        actions.perform()

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
        """Plays one script line; a check among the page's own lines returns what is wrong, if anything."""
        command, *words = line.split()
        actions = self.pointer_actions()
        if command == 'page':
            return self.play_on_page_only(words[0], words[1:])
        if command == 'move':
            self.aimed = self.aim(int(words[0]), int(words[1]))[0]
            if self.pointer != 'touch':
                actions.pointer_action.move_to_location(*self.aimed)
                actions.perform()
            elif self.down:  # a finger does not hover
                self.touch('touchMove', {0: self.aimed})
        elif command in ('down', 'up'):
            self.down = command == 'down'
            if self.pointer == 'touch':
                self.touch('touchStart' if self.down else 'touchEnd', {0: self.aimed})
                return None
            (actions.pointer_action.pointer_down if self.down else actions.pointer_action.pointer_up)()
            actions.perform()
        elif command == 'key' and self.setting.get('keys') == 'buttons':
            self.tap(self.driver.find_element('css selector', '#keys [data-key="%s"]' % words[0]))
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
        return None

    def play_on_page_only(self, command, words):
        driver = self.driver
        if command == 'leave':  # to another tab and back: the page loses the focus and is hidden
            this = driver.current_window_handle
            driver.switch_to.new_window('tab')
            driver.close()
            driver.switch_to.window(this)
        elif command in ('tab', 'shift-tab'):
            chain = ActionChains(driver, duration=0)
            if command == 'shift-tab':
                chain.key_down(Keys.SHIFT)
            chain.key_down(Keys.TAB).key_up(Keys.TAB)
            if command == 'shift-tab':
                chain.key_up(Keys.SHIFT)
            chain.perform()
        elif command == 'click':
            self.tap(driver.find_element('id', words[0]))
        elif command == 'finger':  # a second finger taps while the first holds its stroke
            second = {1: self.aim(int(words[0]), int(words[1]))[0]}
            self.touch('touchStart', {0: self.aimed, **second})
            self.touch('touchEnd', second)
        elif command == 'says':
            text = ' '.join(words)
            if text not in driver.find_element('tag name', 'body').text:
                return 'the page does not say %r' % text
        elif command == 'in-view':  # whole in the viewport, and a box that scrolls shows its end
            for name in words:
                if not driver.execute_script(
                        'var e = document.getElementById(arguments[0]), r = e.getBoundingClientRect();'
                        'return r.width > 0 && r.top >= 0 && r.left >= 0 && r.bottom <= innerHeight &&'
                        '  r.right <= innerWidth && e.scrollHeight - e.scrollTop - e.clientHeight <= 1;', name):
                    return '#%s is not all in view' % name
        elif command == 'one-to-one':
            if driver.execute_script('var r = arguments[0].getBoundingClientRect(); return [r.width, r.height];',
                                     self.canvas) != [WIDTH, HEIGHT]:
                return 'the canvas is not one CSS pixel a canvas pixel'
        else:
            return self.play(' '.join([command] + words))
        return None


def difference(actual, expected):
    wrong = [i // 3 for i in range(0, len(expected), 3) if actual[i:i + 3] != expected[i:i + 3]]
    listed = ', '.join('(%d,%d): %s not %s' % (p % WIDTH, p // WIDTH, actual[3 * p:3 * p + 3].hex(),
                                               expected[3 * p:3 * p + 3].hex()) for p in wrong[:5])
    return '%d pixels differ: %s' % (len(wrong), listed)


def run_case(name, script, page, replay, evidence):
    """Returns the failures of one case: the script played on the desktop, then in the page."""
    if 'fails' in page.setting:  # the page said that it could not start (Page waits 10 s for that)
        return [] if page.setting['fails'] in page.status() else ['the page says: %s' % page.status()]
    lines = script.splitlines()
    script_file = evidence / (name + '.txt')
    script_file.write_text('\n'.join(page.desktop_script(lines)) + '\n')
    subprocess.run([replay, str(script_file), str(evidence / (name + '-desktop'))], check=True, timeout=120)
    failures, shots = [], 0
    for line in lines:
        if line.startswith('desktop '):
            continue
        if line != 'shot':
            failures += filter(None, [page.play(line)])
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
        left = listeners_left(page.driver)
        if left:
            failures.append('input listeners left after the end: ' + ', '.join(left))
    elif 'running' not in page.status():
        failures.append('page says %r, the desktop program is %s' % (page.status(), desktop_status))
    return failures


def main():
    page_folder, replay, evidence = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    evidence.mkdir(parents=True, exist_ok=True)
    server = serve(page_folder)
    url = 'http://127.0.0.1:%d/index.html' % server.server_port
    # The page served without its program, and opened as a file.
    without_wasm = evidence / 'page-without-wasm'
    shutil.rmtree(without_wasm, ignore_errors=True)
    shutil.copytree(page_folder, without_wasm, ignore=shutil.ignore_patterns('*.wasm'))
    other_server = serve(without_wasm)
    urls = {'smearwell.wasm': 'http://127.0.0.1:%d/index.html' % other_server.server_port,
            'web server': (page_folder / 'index.html').resolve().as_uri()}
    driver = browser()
    ran = failed = 0
    try:
        for name, script in CASES.items():
            if len(sys.argv) > 4 and name not in sys.argv[4:]:
                continue
            ran += 1
            setting = SETTINGS.get(name, {})
            console_entries(driver)  # what earlier cases left
            try:
                page = Page(driver, urls.get(setting.get('fails'), url), setting)
                failures = run_case(name, script, page, replay, evidence)
            except Exception as error:  # a broken case is reported like a failed one, and the rest run
                failures = ['%s: %s' % (type(error).__name__, error)]
            console = console_entries(driver)
            if 'fails' not in setting:
                failures += ['console: ' + entry['message'] for entry in console or []
                             if entry['level'] in ('WARNING', 'SEVERE')][:5]
            if failures:
                failed += 1
                driver.save_screenshot(str(evidence / (name + '-page.png')))
                (evidence / (name + '-console.txt')).write_text('\n'.join(entry['message'] for entry in console or []))
                print('[  FAILED  ] Web.%s\n  %s' % (name, '\n  '.join(failures)))
            else:
                print('[       OK ] Web.%s' % name)
    finally:
        driver.quit()
        server.shutdown()
        other_server.shutdown()
    print('web tests: %d ran, %d failed%s' % (ran, failed, '; evidence in %s' % evidence if failed else ''))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
