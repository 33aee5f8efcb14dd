// The page in a real headless Chromium: serves build/web/index.html on
// 127.0.0.1, runs the shared dialog scenarios in it with real key presses,
// reads the six fields and the swatch's colour back from the page, and
// prints the same report lines as scenario_host. Also checks the beep of
// "300 becomes 255" and notes the page's load time on standard error.
// usage: node browser_test.js PAGE SCENARIOS [SCREENSHOT_DIR]
//   SCENARIOS: lines "name<TAB>script", as scenario_host --scripts prints them
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [page_file, scenarios_file, screenshots] = process.argv.slice(2);
const html = fs.readFileSync(page_file);
const scenarios = fs.readFileSync(scenarios_file, 'utf8').trim().split('\n').map((line) => line.split('\t'));

function serve() {
  const server = http.createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    response.end(html);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The page has handled everything sent to it: the program waits for input,
// or it has ended.
const settled = () => document.body.dataset.idle === 'yes' || document.body.dataset.ended !== undefined;

function readDialog() {
  const fields = [];
  for (const row of document.querySelectorAll('#grid .row')) {
    let field = null, end = -1;
    for (const span of row.querySelectorAll('span')) {
      const x = Number(span.dataset.x);
      if (!span.classList.contains('field')) {
        field = null;
        continue;
      }
      if (!field || x !== end) fields.push(field = { text: '' });
      field.text += span.textContent;
      end = x + [...span.textContent].length;
    }
  }
  const swatch = document.querySelector('#grid .content');
  const rgb = swatch ? getComputedStyle(swatch).backgroundColor.match(/\d+/g).map(Number) : [0, 0, 0];
  return { fields: fields.map((f) => f.text.trim()), swatch: rgb, beeps: Number(document.body.dataset.beeps || 0) };
}

// A fresh page, once the program waits for its first key; returns how long
// after navigation the dialog was first drawn.
async function load(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.firstFrame && document.body.dataset.idle === 'yes');
  return page.evaluate(() => Number(document.body.dataset.firstFrame));
}

// One word of a scenario that is not "report": keys, as a person presses them.
async function play(page, word) {
  if (word === 'tab') await page.keyboard.press('Tab');
  else if (word === 'btab') {
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
  } else if (word === 'bs') await page.keyboard.press('Backspace');
  else if (word === 'esc') await page.keyboard.press('Escape');
  else for (const digit of word) await page.keyboard.press(digit);
  await page.waitForFunction(settled);
}

async function run() {
  const server = await serve();
  const url = 'http://127.0.0.1:' + server.address().port + '/';
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'rgbhsv-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--user-data-dir=' + profile],
  });
  let failures = 0;
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 640 });
    for (const [name, script] of scenarios) {
      const loaded = await load(page, url);
      process.stderr.write(`${name}: first dialog drawn ${loaded.toFixed(0)} ms after navigation\n`);
      let reports = 0, beeps = 0;
      for (const word of script.split(' ')) {
        if (word === 'report') {
          const dialog = await page.evaluate(readDialog);
          const [r, g, b] = dialog.swatch;
          const colour = (r | g << 8 | b << 16).toString(16).padStart(6, '0');
          const rows = dialog.fields.slice(0, 3).join(' ') + ' / ' + dialog.fields.slice(3, 6).join(' ');
          console.log(`${name}, report ${++reports}: ${rows}, swatch ${colour}`);
          beeps = dialog.beeps;
        } else {
          await play(page, word);
        }
      }
      const status = await page.evaluate(() => document.body.dataset.ended);
      console.log(`${name}: exit ${status === undefined ? 'none' : status}`);
      if (name === '300 becomes 255' && beeps !== 1) {
        process.stderr.write(`FAIL - 300 becomes 255: ${beeps} beeps, expected 1\n`);
        failures++;
      }
    }
    if (screenshots) {
      for (const [label, width, height, scale] of [['desktop', 1024, 640, 1], ['phone', 390, 844, 2]]) {
        await page.setViewport({ width, height, deviceScaleFactor: scale, isMobile: label === 'phone' });
        await load(page, url);
        for (const word of 'tab tab 0 btab 200'.split(' ')) await play(page, word);
        await page.screenshot({ path: path.join(screenshots, `screen-web-${label}.png`) });
      }
    }
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  process.exitCode = failures ? 1 : 0;
}

run().catch((error) => {
  process.stderr.write(String(error.stack || error) + '\n');
  process.exitCode = 1;
});
