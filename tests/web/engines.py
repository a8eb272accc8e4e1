# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""The browser engines the web tests and measurements drive, behind one small interface: navigate,
run a script, perform W3C input actions (pointer moves, presses and releases of a mouse, a finger
or a pen, and keys), take a screenshot, read the console. Input goes through each engine's own
input pipeline, never as events made up in the page:
  - Chromium: chromedriver (WebDriver);
  - WebKitGTK: WebKitWebDriver with its MiniBrowser, in a private Xvfb (WebDriver);
  - Firefox ESR: WebDriver BiDi, spoken by puppeteer-core in tests/web/firefox.js (Debian has no
    geckodriver), installed with `npm ci` into NODE_MODULES (build/web-node/node_modules)."""

import json
import os
import subprocess
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.remote.command import Command
from selenium.webdriver.webkitgtk.service import Service as WebKitService

ESCAPE = '\ue00c'  # the W3C key value
MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
NODE_MODULES = Path(os.environ.get('SMEARWELL_NODE_MODULES', 'build/web-node/node_modules'))


def pointer(kind, steps):
    """One W3C pointer action source: steps are ('move', x, y), ('down',), ('up',) or
    ('pause', ms), with x and y in CSS pixels of the viewport; kind is mouse, touch or pen."""
    actions = []
    for step in steps:
        if step[0] == 'move':
            actions.append({'type': 'pointerMove', 'x': step[1], 'y': step[2], 'duration': 0, 'origin': 'viewport'})
        elif step[0] == 'pause':
            actions.append({'type': 'pause', 'duration': step[1]})
        else:
            actions.append({'type': 'pointer' + step[0].capitalize(), 'button': 0})
    return {'type': 'pointer', 'id': kind, 'parameters': {'pointerType': kind}, 'actions': actions}


def keys(steps):
    """One W3C key action source: steps are ('down', key) or ('up', key)."""
    return {'type': 'key', 'id': 'keyboard',
            'actions': [{'type': 'key' + step.capitalize(), 'value': key} for step, key in steps]}


class Selenium:
    """What the two WebDriver engines share."""
    cannot = {}  # kind of input -> why this engine's driver cannot play it

    def navigate(self, url):
        self.driver.get(url)

    def script(self, body, *args):
        return self.driver.execute_script(body, *args)

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

    def console(self):
        return [entry['message'] for entry in self.driver.get_log('browser')]

    def installability_errors(self):
        """Why the browser would not offer to install the page (none: it would)."""
        errors = self.driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
        return ['%s %s' % (error['errorId'], error['errorArguments']) for error in errors]


class WebKitGTK(Selenium):
    name = 'WebKitGTK'
    cannot = {'touch': "WebKitWebDriver plays a touch pointer's actions as a mouse's (pointerType mouse)"}

    def __init__(self, width, height):
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', '%dx%dx24' % (width + 200, height + 200),
                                      '-nolisten', 'tcp'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = ':' + self.xvfb.stdout.readline().decode().strip()
        options = webdriver.WebKitGTKOptions()
        options.binary_location = MINIBROWSER
        options.add_argument('--automation')
        self.service = WebKitService('/usr/bin/WebKitWebDriver', env=dict(os.environ, DISPLAY=display))
        self.service.start()
        try:
            self.driver = webdriver.Remote(self.service.service_url, options=options)
            self.driver.set_window_rect(0, 0, width, height)
        except Exception:
            self.quit()
            raise
        self.version = self.driver.capabilities['browserVersion']

    def console(self):
        return None  # WebKitWebDriver has no log endpoint, and MiniBrowser keeps the console to itself

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
    cannot = {}

    def __init__(self, width, height):
        self.process = subprocess.Popen(
            ['node', str(Path(__file__).with_name('firefox.js')), str(width), str(height)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
            env=dict(os.environ, NODE_PATH=str(NODE_MODULES.resolve()), PUPPETEER_SKIP_DOWNLOAD='1'))
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

    def navigate(self, url):
        self.call('navigate', url=url)

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
