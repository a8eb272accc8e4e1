# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The browser engines the web tests and measurements drive, behind one small interface: size the
viewport, navigate, run a script, perform W3C input actions (pointer moves, presses and releases of
a mouse, a finger or a pen, wheels and keys), touch with fingers, leave the page for another tab
and come back, take a screenshot, read the console; in Chromium, send quick moves that it folds into
frames. Input goes through each engine's own input pipeline, never as events made up in the page:
  - Chromium: chromedriver (WebDriver);
  - WebKitGTK: WebKitWebDriver with its MiniBrowser, in a private Xvfb (WebDriver);
  - Firefox ESR: WebDriver BiDi, spoken by puppeteer-core in tests/web/firefox.js (Debian has no
    geckodriver), installed with `npm ci` into NODE_MODULES (build/web-node/node_modules)."""

import json
import os
import socket
import struct
import subprocess
import time
import urllib.request
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.remote.command import Command
from selenium.webdriver.webkitgtk.service import Service as WebKitService

ESCAPE = '\ue00c'  # the W3C key value
MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
NODE_MODULES = Path(os.environ.get('SMEARWELL_NODE_MODULES', 'build/web-node/node_modules'))


def pointer(kind, steps):
    """One W3C pointer action source: steps are ('move', x, y[, ms]), ('down',), ('up',) or
    ('pause', ms), with x and y in CSS pixels of the viewport; kind is mouse, touch or pen."""
    actions = []
    for step in steps:
        if step[0] == 'move':
            actions.append({'type': 'pointerMove', 'x': step[1], 'y': step[2], 'duration': (step + (0,))[3],
                            'origin': 'viewport'})
        elif step[0] == 'pause':
            actions.append({'type': 'pause', 'duration': step[1]})
        else:
            actions.append({'type': 'pointer' + step[0].capitalize(), 'button': 0})
    return {'type': 'pointer', 'id': kind, 'parameters': {'pointerType': kind}, 'actions': actions}


def wheel(x, y, delta_y):
    """One W3C wheel action source: the wheel turned by delta_y CSS pixels with the pointer at x, y."""
    return {'type': 'wheel', 'id': 'wheel', 'actions': [
        {'type': 'scroll', 'x': x, 'y': y, 'deltaX': 0, 'deltaY': delta_y, 'duration': 0, 'origin': 'viewport'}]}


def keys(steps):
    """One W3C key action source: steps are ('down', key) or ('up', key)."""
    return {'type': 'key', 'id': 'keyboard',
            'actions': [{'type': 'key' + step.capitalize(), 'value': key} for step, key in steps]}


class Selenium:
    """What the two WebDriver engines share."""
    cannot = {}  # kind of input -> why this engine's driver cannot play it

    def viewport(self, width, height, scale=1):
        """The window sized so that its viewport is width x height CSS pixels, at `scale` device pixels a
        CSS pixel where the engine can (a browser's zoom; WebKitGTK's driver cannot, and lays the page
        out alike at one). A window takes its new size in its own time (MiniBrowser's after the call
        returns): each try waits for it."""
        inner = lambda: self.driver.execute_script('return [innerWidth, innerHeight];')  # noqa: E731
        for _ in range(5):
            now = inner()
            if now == [width, height]:
                return
            outer = self.driver.get_window_size()
            self.driver.set_window_size(outer['width'] + width - now[0], outer['height'] + height - now[1])
            deadline = time.monotonic() + 2
            while inner() == now and time.monotonic() < deadline:
                time.sleep(0.05)
        raise RuntimeError('a viewport of %dx%d CSS pixels asked, %dx%d given' % (width, height, *inner()))

    def navigate(self, url):
        self.driver.get(url)

    def script(self, body, *args):
        return self.driver.execute_script(body, *args)

    def leave(self):
        """To another tab and back: the page loses the focus and is hidden, then shown again."""
        this = self.driver.current_window_handle
        self.driver.switch_to.new_window('tab')
        self.driver.close()
        self.driver.switch_to.window(this)

    def listeners_left(self):
        return None  # this engine cannot tell

    def repeat_key(self, key):
        """The key, held, pressed again as its auto-repeat does: a W3C keyDown of a key already down."""
        self.perform(keys([('down', key)]))

    def perform(self, *sources):
        self.driver.execute(Command.W3C_ACTIONS, {'actions': list(sources)})

    def screenshot(self, path):
        self.driver.save_screenshot(str(path))

    def installability_errors(self):
        return None  # this engine does not tell

    def quit(self):
        self.driver.quit()


class Chromium(Selenium):
    name = 'Chromium'

    def __init__(self, width, height):
        options = webdriver.ChromeOptions()
        for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage',
                         '--window-size=%d,%d' % (width, height), '--force-device-scale-factor=1'):
            options.add_argument(argument)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=ChromeService('/usr/bin/chromedriver'), options=options)
        self.version = self.driver.capabilities['browserVersion']

    def viewport(self, width, height, scale=1):
        if scale == 1:
            self.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
            super().viewport(width, height)
        else:
            self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                'width': width, 'height': height, 'deviceScaleFactor': scale, 'mobile': False})

    def repeat_key(self, key):
        """Through the DevTools protocol: chromedriver's keyDown of a key already down is no repeat."""
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {'type': 'keyDown', 'key': key, 'text': key,
                                                               'windowsVirtualKeyCode': ord(key.upper()),
                                                               'autoRepeat': True})

    def console(self):
        """The console's messages since the last call, each with its level (INFO, WARNING, SEVERE)."""
        return [{'level': entry['level'], 'message': entry['message']} for entry in self.driver.get_log('browser')]

    def touch(self, kind, fingers):
        """Fingers ({id: (x, y)}) that touch (touchStart), move or lift (touchEnd), through the DevTools
        protocol: Chromium's WebDriver loses a finger between two action calls."""
        self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': kind, 'touchPoints': [{'id': id, 'x': x, 'y': y} for id, (x, y) in fingers.items()]})

    def quick_moves(self, points, every_ms):
        """Mouse moves with the left button held, one every every_ms, sent through the DevTools protocol
        without waiting for each to be handled, as a fast mouse gives them: Chromium folds them into frames
        and keeps those between in getCoalescedEvents(). chromedriver would wait for each (some 20 ms)."""
        address = self.driver.capabilities['goog:chromeOptions']['debuggerAddress']
        with urllib.request.urlopen('http://%s/json' % address) as answer:
            url = next(target['webSocketDebuggerUrl'] for target in json.load(answer) if target['type'] == 'page')
        host, path = url[len('ws://'):].split('/', 1)
        with socket.create_connection(tuple(host.split(':'))) as connection:
            connection.sendall(b'GET /%s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
                               b'Sec-WebSocket-Key: c21lYXJ3ZWxsIHRlc3RzIQ==\r\nSec-WebSocket-Version: 13\r\n\r\n'
                               % (path.encode(), host.encode()))
            reply = connection.makefile('rb')
            while reply.readline() not in (b'\r\n', b''):  # the handshake's answer
                pass
            start = time.monotonic()
            for number, (x, y) in enumerate(points):
                time.sleep(max(0.0, start + number * every_ms / 1000 - time.monotonic()))
                move = json.dumps({'id': number, 'method': 'Input.dispatchMouseEvent', 'params': {
                    'type': 'mouseMoved', 'x': x, 'y': y, 'button': 'left', 'buttons': 1}}).encode()
                # One text frame, its length in 16 bits, masked (as a client's must be) by zeros.
                connection.sendall(struct.pack('!BBH4x', 0x81, 0xfe, len(move)) + move)
            for _ in points:  # an answer a move, each a short text frame
                reply.read(reply.read(2)[1])

    def listeners_left(self):
        """The input listeners on the canvas, the document and the window (DevTools' getEventListeners): SDL's
        (the page's list of them) and the page's own."""
        expression = ("var sdl = smearwell.sdlListeners.flatMap(list => list.types);"
                      "[['canvas', document.getElementById('canvas')], ['document', document], ['window', window]]"
                      ".flatMap(([name, target]) => Object.entries(getEventListeners(target))"
                      ".filter(([type]) => sdl.includes(type) || /^(pointer(?!lock)|key|focus|blur)/.test(type))"
                      ".map(([type, list]) => name + ' ' + type + ' x' + list.length))")
        return self.driver.execute_cdp_cmd('Runtime.evaluate', {'expression': expression, 'includeCommandLineAPI': True,
                                                                'returnByValue': True})['result']['value']

    def installability_errors(self):
        """Why the browser would not offer to install the page (none: it would)."""
        errors = self.driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
        return ['%s %s' % (error['errorId'], error['errorArguments']) for error in errors]


class WebKitGTK(Selenium):
    name = 'WebKitGTK'
    cannot = {'touch': "WebKitWebDriver plays a touch pointer's actions as a mouse's (pointerType mouse)",
              'tab out of the page': "MiniBrowser under WebKitWebDriver keeps the focus in the page when Shift+Tab"
                                     " leaves its first element, where a browser moves it to its own controls",
              'key repeat': "WebKitWebDriver sends nothing for a keyDown of a key already down"}

    def __init__(self, width, height):
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', '2600x2600x24',
                                      '-nolisten', 'tcp'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = ':' + self.xvfb.stdout.readline().decode().strip()
        options = webdriver.WebKitGTKOptions()
        options.binary_location = MINIBROWSER
        options.add_argument('--automation')
        self.service = WebKitService('/usr/bin/WebKitWebDriver', env=dict(os.environ, DISPLAY=display))
        self.service.start()
        try:
            self.driver = webdriver.Remote(self.service.service_url, options=options)
            self.viewport(width, height)
        except Exception:
            self.quit()
            raise
        self.version = self.driver.capabilities['browserVersion']

    def console(self):
        return None  # WebKitWebDriver has no log endpoint, and MiniBrowser keeps the console to itself

    def leave(self):
        """Minimised and shown again: a new tab is another MiniBrowser window, which the page is not told
        of, while minimising hides the page and takes its focus."""
        rect = self.driver.get_window_rect()
        self.driver.minimize_window()
        self.driver.set_window_rect(**rect)

    def quit(self):
        try:
            if hasattr(self, 'driver'):
                self.driver.quit()
        finally:
            self.service.stop()
            self.xvfb.kill()
            self.xvfb.wait()


class Firefox:
    """Firefox ESR through tests/web/firefox.js, one JSON command a line each way."""
    name = 'Firefox'
    cannot = {'pen': "Firefox's WebDriver BiDi has no pen (input.performActions: \"Unimplemented pointerMove for"
                     " pointerType pen\")",
              'blur': "headless Firefox never has the system's focus (document.hasFocus() is false, even after BiDi's"
                      " browsingContext.activate), and so fires no focus or blur events in the page"}

    def __init__(self, width, height):
        self.process = subprocess.Popen(
            ['node', str(Path(__file__).with_name('firefox.js')), str(width), str(height)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
            env=dict(os.environ, NODE_PATH=str(NODE_MODULES.resolve()), PUPPETEER_SKIP_DOWNLOAD='1'))
        self.fingers = set()  # those down
        self.version = self.call('version')

    def call(self, command, **arguments):
        self.process.stdin.write(json.dumps(dict(arguments, do=command)) + '\n')
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise RuntimeError('the Firefox driver ended (status %s)' % self.process.wait())
        answer = json.loads(line)
        if 'error' in answer:
            raise RuntimeError('Firefox: ' + answer['error'])
        return answer.get('value')

    def viewport(self, width, height, scale=1):
        self.call('viewport', width=width, height=height, scale=scale)

    def navigate(self, url):
        self.call('navigate', url=url)

    def leave(self):
        self.call('leave')

    def touch(self, kind, fingers):
        """As Chromium's, a W3C touch pointer a finger, which BiDi keeps down between calls: touchStart
        puts down the fingers not down yet, touchEnd lifts those given."""
        sources = []
        for id, (x, y) in fingers.items():
            steps = [('move', x, y)]
            if kind == 'touchStart' and id not in self.fingers:
                steps.append(('down',))
            elif kind == 'touchEnd':
                steps.append(('up',))
            sources.append(dict(pointer('touch', steps), id='finger%d' % id))
        self.perform(*sources)
        self.fingers = (self.fingers | set(fingers)) if kind == 'touchStart' else \
            (self.fingers - set(fingers)) if kind == 'touchEnd' else self.fingers

    def listeners_left(self):
        return None  # Firefox cannot tell

    def repeat_key(self, key):
        self.perform(keys([('down', key)]))

    def script(self, body, *args):
        return self.call('script', body=body, args=list(args))

    def perform(self, *sources):
        self.call('perform', actions=list(sources))

    def screenshot(self, path):
        self.call('screenshot', path=str(Path(path).resolve()))

    def console(self):
        return self.call('console')

    def installability_errors(self):
        return None  # Firefox does not install pages on the desktop

    def quit(self):
        try:
            self.call('quit')
        finally:
            self.process.wait(timeout=30)


ENGINES = {engine.name: engine for engine in (Chromium, WebKitGTK, Firefox)}
