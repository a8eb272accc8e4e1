// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// Drives Debian's Firefox ESR over WebDriver BiDi for the web tests (tests/web/engines.py): one
// JSON command a line on standard input, one JSON answer a line on standard output ({value} or
// {error}). Input actions go to the browser as BiDi's input.performActions, which Firefox plays
// through its own input pipeline. Usage: node firefox.js WIDTH HEIGHT (puppeteer-core found through
// NODE_PATH; it never downloads a browser).
'use strict';
const puppeteer = require('puppeteer-core');
const readline = require('readline');

async function main() {
  const [width, height] = process.argv.slice(2).map(Number);
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', protocol: 'webDriverBiDi', headless: true,
    defaultViewport: {width, height, deviceScaleFactor: 1},
  });
  const page = (await browser.pages())[0] || await browser.newPage();
  page.setDefaultTimeout(600000);  // the benchmarks' page loads only once they have all run
  let messages = [];
  // Levels named as Chromium's WebDriver names them.
  const levels = {error: 'SEVERE', assert: 'SEVERE', warn: 'WARNING'};
  page.on('console', message => messages.push({level: levels[message.type()] || 'INFO', message: message.text()}));
  page.on('pageerror', error => messages.push({level: 'SEVERE', message: 'uncaught: ' + error.message}));
  const commands = {
    version: async () => (await browser.version()).replace(/^firefox\//, ''),
    viewport: async ({width, height, scale}) => { await page.setViewport({width, height, deviceScaleFactor: scale}); },
    navigate: async ({url}) => { await page.goto(url); },
    // To another tab and back: the page loses the focus and is hidden, then shown again.
    leave: async () => { await (await browser.newPage()).close(); await page.bringToFront(); },
    // The body of a function, as WebDriver's Execute Script takes it, called with the arguments.
    script: ({body, args}) => page.evaluate('(function () {' + body + '\n}).apply(null, ' + JSON.stringify(args) + ')'),
    perform: ({actions}) => page.mainFrame().browsingContext.performActions(actions),
    screenshot: async ({path}) => { await page.screenshot({path}); },
    console: () => { const lines = messages; messages = []; return lines; },
    quit: () => {},
  };
  for await (const line of readline.createInterface({input: process.stdin})) {
    const command = JSON.parse(line);
    let answer;
    try {
      answer = {value: await commands[command.do](command)};
    } catch (error) {
      answer = {error: String(error && error.message || error)};
    }
    process.stdout.write(JSON.stringify(answer) + '\n');
    if (command.do === 'quit') break;
  }
  await browser.close();
  process.exit(0);  // readline would keep it waiting for more
}

main().catch(error => { process.stderr.write(String(error && error.stack || error) + '\n'); process.exit(1); });
