#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

"""Measures the web build in each browser engine the web tests drive (tests/web/engines.py; a
measurement, never a pass or a fail): the frames per second the page keeps while a stroke is drawn,
the time from the release of `c` to the convolved canvas on the page (median of several), the CPU
time the browser's processes take while the page sits idle against a blank page's, the frame rates
again with two busy processes beside the browser (against bench/least_frame.html's, and with where
the machine's time goes, by perf when installed), and the benchmarks built with emcc (bench/web.html beside them in BENCH-FOLDER) as medians and ratios to
BM_CanvasCopy's in the same run. In Chromium, also where the page's time goes while `i` and `c`
run, from the DevTools profiler.
Usage: web_measure.py PAGE-FOLDER BENCH-FOLDER [ENGINE...] [-- BENCHMARK-ARGUMENT...]"""

import collections
import contextlib
import csv
import functools
import http.server
import math
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path
from urllib.parse import quote

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / 'tests' / 'web'))
import engines  # noqa: E402  (found beside the web tests)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise TimeoutError('gave up after %d s' % seconds)
        time.sleep(0.05)


def benchmarks(engine, url, arguments):
    """The benchmarks' medians, each with its ratio to BM_CanvasCopy's."""
    engine.navigate(url + '?' + quote(' '.join(arguments + ['--benchmark_format=csv'])))
    output = lambda: engine.script("return document.getElementById('output').textContent;")  # noqa: E731
    status = lambda: engine.script("return document.getElementById('status').textContent;")  # noqa: E731
    wait_for(lambda: status().startswith('ended'), 600)
    medians = {row[0][:-len('_median')]: (float(row[2]), row[4]) for row in csv.reader(output().splitlines())
               if row and row[0].endswith('_median')}
    for name, (median, unit) in medians.items():
        print('%-16s %-10s %11.1f %-2s %9.2fx' % (name, engine.name, median, unit,
                                                  median / medians['BM_CanvasCopy'][0]))


def processes_below(root):
    """Every process descended from `root`, found through /proc."""
    parents = collections.defaultdict(list)
    for entry in Path('/proc').iterdir():
        try:
            fields = (entry / 'stat').read_text().rsplit(')', 1)[1].split()
            parents[int(fields[1])].append(int(entry.name))
        except (ValueError, OSError):
            continue
    found, waiting = [], [root]
    while waiting:
        for child in parents.get(waiting.pop(), []):
            found.append(child)
            waiting.append(child)
    return found


def cpu_seconds(pids):
    """User and system time of `pids` so far (those that ended meanwhile count as nothing)."""
    total = 0
    for pid in pids:
        try:
            fields = Path('/proc/%d/stat' % pid).read_text().rsplit(')', 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except (OSError, IndexError, ValueError):
            continue
    return total / os.sysconf('SC_CLK_TCK')


def browser_load(seconds=10):
    """The share of one core that the browser's processes (every process this script started: the
    driver, the browser, and WebKitGTK's X server) take over `seconds`, the page left alone."""
    time.sleep(2)  # what the navigation itself costs is over
    pids = processes_below(os.getpid())
    before = cpu_seconds(pids)
    time.sleep(seconds)
    return 100 * (cpu_seconds(pids) - before) / seconds


def idle_cost(engine, url):
    """The browser's CPU time over 10 s: a blank page, the page at rest, and the page after Escape."""
    engine.navigate('about:blank')
    blank = browser_load()
    open_page(engine, url)
    at_rest = browser_load()
    engine.perform(engines.keys([('down', engines.ESCAPE), ('up', engines.ESCAPE)]))
    wait_for(lambda: 'ended' in engine.script("return document.getElementById('status').textContent;"), 10)
    ended = browser_load()
    print('idle: %.1f %% of a core over 10 s at rest (a blank page %.1f %%, the page after Escape %.1f %%)' %
          (at_rest, blank, ended))


def open_page(engine, url):
    """The page running, its canvas focused; the canvas's top-left corner in the viewport."""
    engine.navigate(url)
    wait_for(lambda: 'running' in engine.script("return document.getElementById('status').textContent;"), 20)
    left, top = engine.script("var canvas = document.getElementById('canvas'); canvas.focus();"
                              " var r = canvas.getBoundingClientRect(); return [r.left, r.top];")
    return math.ceil(left), math.ceil(top)


def frame_rates(engine, left, top, watch=contextlib.nullcontext):
    """Frames per second the page shows, counted by the page itself: left alone for 3 seconds, then
    while a stroke circles for 3 seconds (inside `watch`)."""
    engine.script('if (!window.frames_seen) { window.frames_seen = 0; (function count() { window.frames_seen++;'
                  ' requestAnimationFrame(count); })(); }')
    before = engine.script('return [window.frames_seen, performance.now()];')
    time.sleep(3)
    after = engine.script('return [window.frames_seen, performance.now()];')
    idle = (after[0] - before[0]) / ((after[1] - before[1]) / 1000)
    steps = [('move', left + 400, top + 150), ('down',)]
    for step in range(1, 181):
        angle = 2 * math.pi * step / 60
        steps.append(('move', left + int(400 + 150 * math.sin(angle)), top + int(300 - 150 * math.cos(angle)), 16))
    before = engine.script('return [window.frames_seen, performance.now()];')
    with watch():
        engine.perform(engines.pointer('mouse', steps + [('up',)]))
    after = engine.script('return [window.frames_seen, performance.now()];')
    seconds = (after[1] - before[1]) / 1000
    return idle, (after[0] - before[0]) / seconds, seconds


@contextlib.contextmanager
def two_busy_processes():
    busy = [subprocess.Popen([sys.executable, '-c', 'while True: pass']) for _ in range(2)]
    try:
        yield
    finally:
        for process in busy:
            process.kill()
            process.wait()


@contextlib.contextmanager
def cpu_by_thread(found):
    """Where the machine's CPU time goes meanwhile, by thread name, from perf's samples of every
    core (when perf is there): a line added to `found`."""
    if not shutil.which('perf'):
        yield
        return
    with tempfile.TemporaryDirectory() as folder:
        data = os.path.join(folder, 'perf.data')
        perf = subprocess.Popen(['perf', 'record', '-a', '-e', 'cpu-clock', '-F', '499', '-o', data],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)  # sampling
        try:
            yield
        finally:
            perf.send_signal(signal.SIGINT)
            perf.wait()
            report = subprocess.run(['perf', 'report', '-i', data, '--stdio', '--sort', 'comm', '-q'],
                                    capture_output=True, text=True).stdout
            shares = [line.split(None, 1) for line in report.splitlines() if line.strip()]
            found.append("  the machine's CPU time while drawing, by thread (perf): " +
                         ', '.join('%s %s' % (name.strip(), share) for share, name in shares[:9]))


def under_load(engine, url, least_url):
    """The frame rates again with two busy processes beside the browser, against a page that changes
    next to nothing in a frame: what the browser itself takes for a frame that shows a change."""
    profile = []
    with two_busy_processes():
        idle, drawing, seconds = frame_rates(engine, *open_page(engine, url), watch=lambda: cpu_by_thread(profile))
        least = frame_rates(engine, *open_page(engine, least_url))[1]
    print('two busy processes beside: %.1f frames per second idle, %.1f drawing (over %.1f s); %.1f drawing'
          ' on a page that changes a 4-pixel square a frame (bench/least_frame.html)' % (idle, drawing, seconds, least))
    print(*profile, sep='\n')


def page(engine, url):
    """Frames per second while drawing, and from `c`'s release to the convolved canvas."""
    left, top = open_page(engine, url)
    idle, drawing, seconds = frame_rates(engine, left, top)
    print('drawing: %.1f frames per second over %.1f s (180 pointer moves); idle %.1f' % (drawing, seconds, idle))
    # From the release of `c` to the convolved canvas on the page: the page notes the release,
    # then looks at the canvas's corner every frame; the convolution blackens the frame, which
    # the invert before it has made white. It looks once the frame's animation callbacks have all
    # run (a task queued from its own): what they drew is what the frame shows, whether the
    # program's callback came before this one or after.
    engine.script("""
        window.released = 0; window.shown = 0;
        window.addEventListener('keyup', function (e) { if (e.key === 'c') window.released = performance.now(); }, true);
        var context = document.getElementById('canvas').getContext('2d');
        function look() {
          if (window.released && !window.shown && context.getImageData(0, 0, 1, 1).data[0] === 0)
            window.shown = performance.now();
        }
        (function eachFrame() {
          setTimeout(look, 0);
          requestAnimationFrame(eachFrame);
        })();""")
    corner = "return document.getElementById('canvas').getContext('2d').getImageData(0, 0, 1, 1).data[0];"
    latencies = []
    for _ in range(9):
        engine.perform(engines.keys([('down', 'i'), ('up', 'i')]))
        wait_for(lambda: engine.script(corner) == 255, 10)
        engine.script('window.released = 0; window.shown = 0;')
        engine.perform(engines.keys([('down', 'c'), ('up', 'c')]))
        wait_for(lambda: engine.script('return window.shown;'), 10)
        released, shown = engine.script('return [window.released, window.shown];')
        latencies.append(shown - released)
    print('c: %.1f ms median from release to the convolved canvas on the page (of %s)' %
          (statistics.median(latencies), ', '.join('%.1f' % value for value in latencies)))


def profile(engine, url):
    """Chromium: where a freshly loaded page spends its time while `i` and `c` run, by self time."""
    engine.navigate(url)
    wait_for(lambda: 'running' in engine.script("return document.getElementById('status').textContent;"), 20)
    engine.script("document.getElementById('canvas').focus();")
    engine.driver.execute_cdp_cmd('Profiler.enable', {})
    engine.driver.execute_cdp_cmd('Profiler.start', {})
    for _ in range(5):
        for key in 'ic':
            engine.perform(engines.keys([('down', key), ('up', key)]))
            time.sleep(0.3)  # a person's pace: the page's own frames in between are part of what is measured
    nodes = engine.driver.execute_cdp_cmd('Profiler.stop', {})['profile']['nodes']
    hits = collections.Counter()
    for node in nodes:
        frame = node['callFrame']
        name = frame['functionName'] or '(anonymous)'
        if frame['url'].endswith('.wasm') or name.startswith('wasm-function'):
            name = "the program's own code (wasm)"
        hits[name] += node.get('hitCount', 0)
    busy = sum(count for name, count in hits.items() if name != '(idle)')
    print('where the page spends the time it is not idle while i and c run (DevTools profiler, self time): ' +
          ', '.join('%s %.0f%%' % (name, 100 * count / busy) for name, count in hits.most_common(12)
                    if name != '(idle)' and count))


def main():
    page_folder, bench_folder = sys.argv[1], sys.argv[2]
    rest = sys.argv[3:]
    arguments = rest[rest.index('--') + 1:] if '--' in rest else []
    chosen = [engines.ENGINES[name] for name in rest[:rest.index('--')] if '--' in rest] or \
        [engines.ENGINES[name] for name in rest if name in engines.ENGINES] or engines.ENGINES.values()
    page_server, bench_server = serve(page_folder), serve(bench_folder)
    try:
        for kind in chosen:
            engine = kind(1000, 1000)
            try:
                print('%s %s:' % (engine.name, engine.version))
                benchmarks(engine, 'http://127.0.0.1:%d/web.html' % bench_server.server_port, arguments)
                page(engine, 'http://127.0.0.1:%d/index.html' % page_server.server_port)
                under_load(engine, 'http://127.0.0.1:%d/index.html' % page_server.server_port,
                           'http://127.0.0.1:%d/least_frame.html' % bench_server.server_port)
                idle_cost(engine, 'http://127.0.0.1:%d/index.html' % page_server.server_port)
                if isinstance(engine, engines.Chromium):
                    profile(engine, 'http://127.0.0.1:%d/index.html' % page_server.server_port)
            finally:
                engine.quit()
    finally:
        page_server.shutdown()
        bench_server.shutdown()


if __name__ == '__main__':
    main()
