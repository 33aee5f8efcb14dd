// The page in headless Chromium at RATIO device pixels to the CSS pixel,
// given the keys of STEPS (JSON: a list of steps, each keys as xdotool
// names them): after start-up and after each step, the whole screen as
// OUT-<step>.png, and a line "step x y width height" for the dialog in
// device pixels. The caret stands still (reduced motion), as it does in
// the Windows build the pictures are held to.
// usage: node page_pixels.js PAGE RATIO STEPS OUT
'use strict';
const path = require('path');
const puppeteer = require('puppeteer-core');

const [page_file, ratio, steps_json, out] = process.argv.slice(2);
const kNames = { Tab: 'Tab', BackSpace: 'Backspace', Left: 'ArrowLeft', Right: 'ArrowRight', Home: 'Home', End: 'End',
                 shift: 'Shift', ctrl: 'Control' };

const idle = () => document.body.dataset.idle === 'yes';

async function press(page, key) {
  const parts = key.split('+').map((k) => kNames[k] || k);
  const main = parts.pop();
  for (const m of parts) await page.keyboard.down(m);
  await page.keyboard.press(main);
  for (const m of parts.reverse()) await page.keyboard.up(m);
  await page.waitForFunction(idle);
}

async function run() {
  const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
                                           args: ['--no-sandbox', '--disable-gpu', '--force-color-profile=srgb'] });
  try {
    const page = await browser.newPage();
    await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
    await page.setViewport({ width: 900, height: 500, deviceScaleFactor: Number(ratio) });
    await page.goto('file://' + path.resolve(page_file));
    await page.waitForFunction(() => document.body.dataset.firstFrame && document.body.dataset.idle === 'yes');
    const steps = JSON.parse(steps_json);
    for (let i = 0; i < steps.length; i++) {
      for (const key of steps[i].split(' ').filter((k) => k)) await press(page, key);
      // The dialog at the canvas's top left, as many device pixels as it has.
      const box = await page.evaluate((r) => {
        const canvas = document.getElementById('screen'), b = canvas.getBoundingClientRect();
        return [b.left, b.top].map((v) => Math.round(v * r)).concat(canvas.dataset.dialog.split(' ').map(Number));
      }, Number(ratio));
      await page.screenshot({ path: `${out}-${i}.png` });
      console.log(`${i} ${box.join(' ')}`);
    }
  } finally {
    await browser.close();
  }
}

run().catch((error) => {
  process.stderr.write(String(error.stack || error) + '\n');
  process.exitCode = 1;
});
