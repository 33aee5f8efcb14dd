// The page in headless Chromium beside a static page of the same text:
// first drawn dialog, key to painted frame, layouts per key, the main
// thread's work while idle, and what a first visit downloads.
// usage: node page_bench.js FOLDER   (FOLDER holds index.html and its parts)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serveFolder } = require('../tests/web/static_server.js');

const folder = process.argv[2];
const kStatic = '<!doctype html><meta charset="utf-8"><title>RGB &lt;-&gt; HSV</title><body style="font:13px Tahoma">' +
  '<p>RGB &lt;-&gt; HSV ×</p><p>RGB color: <input value="255"><input value="255"><input value="255"> ' +
  '<button disabled>Select...</button></p><p>HSV color: <input value="0"><input value="0"><input value="255"></p>' +
  '<p>(c) 2026 the rgbhsv developers</p>';
const served = { offline: false, requests: [], downloads: {}, bytes: 0 };

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const p90 = (xs) => [...xs].sort((a, b) => a - b)[Math.min(xs.length - 1, Math.floor(xs.length * 0.9))];
const idle = () => document.body.dataset.idle === 'yes';

async function firstDialog(browser, url, runs) {
  const page = [], still = [];
  for (let i = 0; i < runs; i++) {
    const context = await browser.createBrowserContext();
    const tab = await context.newPage();
    await tab.goto(url);
    await tab.waitForFunction(() => document.body.dataset.firstFrame && document.body.dataset.idle === 'yes');
    page.push(await tab.evaluate(() => Number(document.body.dataset.firstFrame)));
    await tab.goto(url.replace(/\/$/, '/static.html'));
    still.push(await tab.evaluate(() => new Promise((done) => new PerformanceObserver((list) => {
      const paint = list.getEntries().find((e) => e.name === 'first-contentful-paint');
      if (paint) done(paint.startTime);
    }).observe({ type: 'paint', buffered: true }))));
    await context.close();
  }
  return [median(page), median(still)];
}

// Key press to the frame that shows its answer: the time from the key's
// dispatch to the animation frame after the program is idle again.
async function keys(browser, url) {
  const tab = await browser.newPage();
  await tab.goto(url);
  await tab.waitForFunction(() => document.body.dataset.firstFrame && document.body.dataset.idle === 'yes');
  const cdp = await tab.createCDPSession();
  await cdp.send('Performance.enable');
  const metrics = async () => Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
  const times = [];
  const before = await metrics();
  const sequence = ['Tab', '1', '2', '8', 'Backspace', 'Backspace', '9', 'Tab', '3', '0', '0', 'Home', 'Delete'];
  for (let round = 0; round < 4; round++)
    for (const key of sequence) {
      const took = await tab.evaluate((key) => new Promise((done) => {
        const start = performance.now();
        document.body.dataset.idle = 'no';
        const options = { key, bubbles: true, cancelable: true };
        document.dispatchEvent(new KeyboardEvent('keydown', options));
        const wait = () => document.body.dataset.idle === 'yes' ?
          requestAnimationFrame(() => done(performance.now() - start)) : setTimeout(wait, 0);
        wait();
      }), key);
      times.push(took);
    }
  const after = await metrics();
  const layouts = (after.LayoutCount - before.LayoutCount) / times.length;
  await new Promise((done) => setTimeout(done, 1000));
  const quiet = await metrics();
  await new Promise((done) => setTimeout(done, 10000));
  const end = await metrics();
  const busy = (end.TaskDuration - quiet.TaskDuration) / (end.Timestamp - quiet.Timestamp);
  await tab.close();
  return { median: median(times), p90: p90(times), layouts, busy };
}

(async () => {
  const server = await serveFolder(folder, served, { '/static.html': kStatic });
  const url = 'http://127.0.0.1:' + server.address().port + '/';
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                           args: ['--no-sandbox', '--disable-extensions', '--no-first-run'] });
  // A first visit, until the worker has installed.
  const visit = await browser.createBrowserContext();
  const tab = await visit.newPage();
  await tab.goto(url);
  await tab.evaluate(() => navigator.serviceWorker.ready);
  await new Promise((done) => setTimeout(done, 500));
  const counts = { ...served.downloads };
  if (process.env.BENCH_VERBOSE) console.error(counts);
  const fetched = Object.values(counts).reduce((sum, n) => sum + n, 0);
  const bytes = served.bytes;
  const files = Object.keys(counts).length;
  await visit.close();

  const [page, still] = await firstDialog(browser, url, 5);
  const key = await keys(browser, url);
  await browser.close();
  server.close();
  const size = fs.statSync(path.join(folder, 'index.html')).size;
  console.log(`index.html                     ${(size / 1024).toFixed(0)} KB (goal: at most 240)`);
  console.log(`first visit                    ${fetched} downloads of ${files} files, ${(bytes / 1024).toFixed(0)} KB`);
  console.log(`first drawn dialog             ${page.toFixed(0)} ms; a static page of its text ${still.toFixed(0)} ms ` +
              `(${(page / still).toFixed(2)} times; goal: at most 1.5), median of 5`);
  console.log(`key to painted frame           ${key.median.toFixed(1)} ms median, ${key.p90.toFixed(1)} ms p90 ` +
              `(goal: p90 within 16), ${key.layouts.toFixed(1)} layouts a key (goal: 1)`);
  console.log(`idle, the page's main thread   ${(key.busy * 100).toFixed(2)}% of a core over 10 s (goal: 0)`);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
