#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""Measures the web build in headless Chromium (a measurement, never a pass or a fail): the frames
per second the page keeps while a stroke is drawn, and the time from the release of `c` to the
convolved canvas on the page (median of several). With BENCH-FOLDER (bench/web.html beside the
benchmarks built with emcc), runs those too, with the arguments given after it, and prints their
output. Usage: web_measure.py PAGE-FOLDER [BENCH-FOLDER BENCHMARK-ARGUMENT...]"""

import functools
import http.server
import math
import statistics
import sys
import threading
import time
from urllib.parse import quote

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def run_benchmarks(driver, folder, arguments):
    server = serve(folder)
    try:
        driver.get('http://127.0.0.1:%d/web.html?%s' % (server.server_port, quote(' '.join(arguments))))
        while not driver.find_element('id', 'status').text.startswith('ended'):
            time.sleep(0.5)
        print(driver.execute_script("return document.getElementById('output').textContent;"), end='')
    finally:
        server.shutdown()


def main():
    server = serve(sys.argv[1])
    options = webdriver.ChromeOptions()
    for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--window-size=1000,1000'):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        if len(sys.argv) > 2:
            run_benchmarks(driver, sys.argv[2], sys.argv[3:])
        driver.get('http://127.0.0.1:%d/index.html' % server.server_port)
        time.sleep(2)
        canvas = driver.find_element('id', 'canvas')
        left, top = driver.execute_script('var r = arguments[0].getBoundingClientRect(); return [r.left, r.top];',
                                          canvas)
        left, top = math.ceil(left), math.ceil(top)
        # Frames the page shows, counted by the page itself, while a stroke circles for 3 seconds.
        driver.execute_script('window.frames_seen = 0; (function count() { window.frames_seen++;'
                              ' requestAnimationFrame(count); })();')
        actions = ActionBuilder(driver, duration=16)
        actions.pointer_action.move_to_location(left + 400, top + 150)
        actions.pointer_action.pointer_down()
        steps = 180
        for step in range(1, steps + 1):
            angle = 2 * math.pi * step / 60
            actions.pointer_action.move_to_location(left + int(400 + 150 * math.sin(angle)),
                                                    top + int(300 - 150 * math.cos(angle)))
        actions.pointer_action.pointer_up()
        before = driver.execute_script('return [window.frames_seen, performance.now()];')
        actions.perform()
        after = driver.execute_script('return [window.frames_seen, performance.now()];')
        fps = (after[0] - before[0]) / ((after[1] - before[1]) / 1000)
        print('drawing: %.1f frames per second over %.1f s (%d pointer moves)' % (fps, (after[1] - before[1]) / 1000,
                                                                                  steps))
        # From the release of `c` to the convolved canvas on the page: the page notes the release,
        # then looks at the canvas's corner every frame; the convolution blackens the frame, which
        # the invert before it has made white.
        driver.execute_script("""
            window.released = 0; window.shown = 0;
            window.addEventListener('keyup', function (e) { if (e.key === 'c') window.released = performance.now(); }, true);
            (function look() {
              var corner = arguments[0];
              if (window.released && !window.shown &&
                  document.getElementById('canvas').getContext('2d').getImageData(0, 0, 1, 1).data[0] === 0)
                window.shown = performance.now();
              requestAnimationFrame(look);
            })();""")
        latencies = []
        for _ in range(9):
            ActionChains(driver, duration=0).key_down('i').key_up('i').perform()
            time.sleep(0.3)
            driver.execute_script('window.released = 0; window.shown = 0;')
            ActionChains(driver, duration=0).key_down('c').key_up('c').perform()
            time.sleep(0.5)
            released, shown = driver.execute_script('return [window.released, window.shown];')
            latencies.append(shown - released)
        print('c: %.1f ms median from release to the convolved canvas on the page (of %s)' %
              (statistics.median(latencies), ', '.join('%.1f' % value for value in latencies)))
    finally:
        driver.quit()
        server.shutdown()


if __name__ == '__main__':
    main()
