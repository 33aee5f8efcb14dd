// The page in a real headless Chromium: serves build/web/index.html on
// 127.0.0.1, runs the shared dialog scenarios in it with real key presses,
// reads the six fields and the swatch's colour back from the page, and
// prints the same report lines as scenario_host. Also checks the beep of
// "300 becomes 255" and notes the page's load time on standard error. Then
// plays the key session, every key an edit field answers (the clipboard's
// through the browser's own), and holds the page's fields, focus and
// selection after each key to what the Windows build showed.
// usage: node browser_test.js PAGE SCENARIOS SESSION EXPECTED [SCREENSHOT_DIR]
//   SCENARIOS: lines "name<TAB>script", as scenario_host --scripts prints them
//   SESSION: a key session's script (scenario_host --random); EXPECTED: its
//   trace from Windows, tests/key_session.trace
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serveFolder } = require('./static_server.js');

const [page_file, scenarios_file, session_file, expected_file, screenshots] = process.argv.slice(2);
const scenarios = fs.readFileSync(scenarios_file, 'utf8').trim().split('\n').map((line) => line.split('\t'));

// The page's folder, served; `served` says what was asked and sent.
const served = { offline: false, requests: [], downloads: {}, bytes: 0 };
const serve = () => serveFolder(path.dirname(page_file), served);

// The page has handled everything sent to it: the program waits for input,
// or it has ended.
const settled = () => document.body.dataset.idle === 'yes' || document.body.dataset.ended !== undefined;

// What the page shows, read in the page: each field's text, focus and
// selection as its accessible twin has them; the swatch's colour as the
// canvas shows it, at the middle of its box; the beeps so far. (What the
// canvas shows of the fields is held to Windows's own pixels by
// page_pixels_test.sh.)
function readPage() {
  const fields = [...document.querySelectorAll('#access input')].map((input) => ({
    text: input.value, focused: document.activeElement === input, selection: [input.selectionStart, input.selectionEnd],
  }));
  const canvas = document.getElementById('screen');
  const swatch = document.querySelector('#access [role=img]');
  let rgb = [0, 0, 0];
  if (swatch && canvas.width) {
    const box = canvas.getBoundingClientRect(), at = swatch.getBoundingClientRect();
    const unit = box.width / canvas.width;
    const x = Math.floor(((at.left + at.right) / 2 - box.left) / unit), y = Math.floor(((at.top + at.bottom) / 2 - box.top) / unit);
    rgb = [...canvas.getContext('2d').getImageData(x, y, 1, 1).data.slice(0, 3)];
  }
  return { fields, swatch: rgb, beeps: Number(document.body.dataset.beeps || 0) };
}

// The six fields' numbers, the swatch and the beeps.
async function readDialog(page) {
  const shown = await page.evaluate(readPage);
  return { fields: shown.fields.map((f) => f.text.trim()), swatch: shown.swatch, beeps: shown.beeps };
}

// The six fields, the focused field and its selection, as the probe reads
// them from Windows.
async function readState(page) {
  const { fields } = await page.evaluate(readPage);
  let focus = 0, sel = '0-0';
  fields.forEach((f, i) => {
    if (!f.focused) return;
    focus = 1003 + i;
    sel = `${f.selection[0]}-${f.selection[1]}`;
  });
  const texts = fields.map((f) => f.text.trim());
  return `${texts.slice(0, 3).join(' ')} / ${texts.slice(3, 6).join(' ')} | focus ${focus} sel ${sel}`;
}

// One word of a key session: keys with their modifiers, as a person presses
// them; a paste key as the browser pastes; "clip=" as another program's copy.
const kSessionKeys = { tab: 'Tab', btab: 'Tab', bs: 'Backspace', left: 'ArrowLeft', right: 'ArrowRight',
                       up: 'ArrowUp', down: 'ArrowDown', home: 'Home', end: 'End', del: 'Delete', ins: 'Insert' };
async function playSessionWord(page, word) {
  if (word.startsWith('clip=')) {
    await page.evaluate((text) => navigator.clipboard.writeText(text), word.slice(5));
    return;
  }
  const dash = word.indexOf('-');
  const prefix = dash > 0 ? word.slice(0, dash) : '';
  const name = dash > 0 ? word.slice(dash + 1) : word;
  const held = [];
  if (prefix.includes('c')) held.push('Control');
  if (prefix.includes('a')) held.push('Alt');
  if (prefix.includes('s') || name === 'btab') held.push('Shift');
  const paste = (held.includes('Control') && name === 'v') || (held.includes('Shift') && name === 'ins' && !held.includes('Control'));
  for (const m of held) await page.keyboard.down(m);
  await page.keyboard.press(kSessionKeys[name] || name, paste ? { commands: ['paste'] } : {});
  for (const m of held.reverse()) await page.keyboard.up(m);
  await page.waitForFunction(settled);
}

async function playSession(page, url) {
  const script = fs.readFileSync(session_file, 'utf8').trim().split(' ');
  const expected = fs.readFileSync(expected_file, 'utf8').trim().split('\n').map((l) => l.replace(/^\d+: /, ''));
  await load(page, url);
  await page.evaluate(() => navigator.clipboard.writeText(''));
  for (let n = 0; n <= script.length; n++) {
    if (n > 0) await playSessionWord(page, script[n - 1]);
    const seen = await readState(page);
    if (seen !== expected[n]) {
      process.stderr.write(`FAIL - the key session, after key ${n} (${n ? script[n - 1] : 'start'}):\n` +
                           `  Windows: ${expected[n]}\n  page:    ${seen}\n`);
      return 1;
    }
  }
  process.stderr.write(`ok   - the page's key session agrees with Windows after each of ${script.length} keys\n`);
  // Getting a number out: Tab, Ctrl+C puts green's text on the browser's clipboard.
  await load(page, url);
  for (const word of ['tab', 'c-c']) await playSessionWord(page, word);
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  if (copied !== '255') {
    process.stderr.write(`FAIL - Tab, Ctrl+C left '${copied}' on the clipboard, not green's 255\n`);
    return 1;
  }
  return 0;
}

// What a screen reader finds, read from Chromium's accessibility tree: the
// dialog, its six named fields with the numbers shown, the focus, the greyed
// button, the labels, the swatch by its colour, nothing of the drawing; and
// after each key, the same numbers as the dialog shows, and the beep said.
async function accessibility(page, url) {
  const kNames = ['Red, RGB color', 'Green, RGB color', 'Blue, RGB color', 'Hue, HSV color', 'Saturation, HSV color',
                  'Value, HSV color'];
  const flat = async () => {
    const out = [];
    const walk = (node) => {
      out.push(node);
      for (const child of node.children || []) walk(child);
    };
    walk(await page.accessibility.snapshot({ interestingOnly: false }));
    return out;
  };
  const problems = [];
  const expect = (ok, what) => ok || problems.push(what);
  const checkTree = async (when) => {
    const nodes = await flat();
    const shown = (await readDialog(page)).fields;
    const fields = nodes.filter((n) => n.role === 'textbox');
    expect(fields.map((n) => n.name).join('|') === kNames.join('|'), `${when}: field names ${fields.map((n) => n.name)}`);
    expect(fields.map((n) => n.value).join(' ') === shown.join(' '),
           `${when}: field values ${fields.map((n) => n.value).join(' ')}, the dialog shows ${shown.join(' ')}`);
    return nodes;
  };
  await load(page, url);
  let nodes = await checkTree('at start');
  expect(nodes.some((n) => n.role === 'dialog' && n.name === 'RGB <-> HSV'), 'no dialog named "RGB <-> HSV"');
  expect(nodes.filter((n) => n.role === 'textbox').map((n) => n.value).join(' ') === '255 255 255 0 0 255',
         'the fields do not start at 255 255 255 / 0 0 255');
  expect(nodes.some((n) => n.role === 'textbox' && n.focused && n.name === kNames[0]), 'the focus is not on red');
  expect(nodes.some((n) => n.role === 'button' && n.name === 'Select...' && n.disabled), 'no disabled "Select..."');
  for (const label of ['RGB color:', 'HSV color:'])
    expect(nodes.some((n) => n.role === 'StaticText' && n.name === label), `no text "${label}"`);
  expect(nodes.some((n) => n.role === 'image' && n.name === 'Colour swatch, #FFFFFF'), 'no white colour swatch');
  expect(!nodes.some((n) => /[│─┌┐└┘█×]/.test(n.name || '')), 'box-drawing characters in the tree');
  for (const key of ['Tab', '0', 'Shift+Tab', '3', '0', '0']) {
    if (key === 'Shift+Tab') {
      await page.keyboard.down('Shift');
      await page.keyboard.press('Tab');
      await page.keyboard.up('Shift');
    } else {
      await page.keyboard.press(key);
    }
    await page.waitForFunction(settled);
    nodes = await checkTree(`after ${key}`);
    if (key === 'Tab')
      expect(nodes.some((n) => n.role === 'textbox' && n.focused && n.name === kNames[1]), 'Tab did not move the focus to green');
  }
  expect(nodes.some((n) => n.role === 'image' && n.name === 'Colour swatch, #FF00FF'), 'the swatch is not named #FF00FF');
  const said = await page.waitForFunction(() => document.getElementById('announce').textContent, { timeout: 2000 })
    .then((h) => h.jsonValue()).catch(() => '');
  expect(said === '300 is more than 255: set to 255', `the beep was announced as "${said}"`);
  for (const p of problems) process.stderr.write(`FAIL - accessibility: ${p}\n`);
  if (!problems.length) process.stderr.write('ok   - a screen reader finds the dialog, its named fields and their numbers\n');
  return problems.length ? 1 : 0;
}

// The page takes only the keys the field uses: the browser keeps its own
// shortcuts, function keys and Ctrl with a digit type nothing, Cmd is Ctrl
// for the field's shortcuts, an input method's text comes once to both the
// drawn field and its accessible twin; reduced motion and high contrast are
// honoured; a close in landscape keeps the caption on the screen.
async function pageKeys(page, url) {
  const problems = [];
  const expect = (ok, what) => ok || problems.push(what);
  const red = async () => (await readDialog(page)).fields[0];
  await load(page, url);
  await page.keyboard.press('1');
  await page.waitForFunction(settled);
  // Synthetic keydowns, so that the browser's own actions (reload, zoom,
  // back) do not run: dispatchEvent says whether the page cancelled one.
  const kept = [['F5'], ['F12'], ['1', 'ctrlKey'], ['=', 'ctrlKey'], ['-', 'ctrlKey'], ['0', 'ctrlKey'], ['f', 'ctrlKey'],
                ['p', 'ctrlKey'], ['l', 'ctrlKey'], ['ArrowLeft', 'altKey'], ['1', 'altKey'], ['p', 'metaKey']];
  const cancelled = await page.evaluate((keys) => keys.filter(([key, modifier]) => {
    const init = { key, bubbles: true, cancelable: true };
    if (modifier) init[modifier] = true;
    return !document.activeElement.dispatchEvent(new KeyboardEvent('keydown', init));
  }).map((k) => k.join('+')), kept);
  expect(cancelled.length === 0, `the page took the browser's keys ${cancelled.join(', ')}`);
  await page.waitForFunction(settled);
  expect(await red() === '1', `the browser's keys, F5 and Ctrl with a digit typed into red: ${await red()}`);
  const selectAll = await page.evaluate(() => !document.activeElement.dispatchEvent(
    new KeyboardEvent('keydown', { key: 'a', metaKey: true, bubbles: true, cancelable: true })));
  await page.keyboard.press('7');
  await page.waitForFunction(settled);
  expect(selectAll && await red() === '7', `Cmd+A then 7 left red ${await red()}, not 7`);
  await page.keyboard.press('Backspace');
  const cdp = await page.createCDPSession();
  await cdp.send('Input.imeSetComposition', { text: '1', selectionStart: 1, selectionEnd: 1 });
  await cdp.send('Input.imeSetComposition', { text: '12', selectionStart: 2, selectionEnd: 2 });
  await cdp.send('Input.insertText', { text: '12' });
  await page.waitForFunction(settled);
  const twin = await page.evaluate(() => document.querySelector('#access input').value);
  expect(await red() === '12' && twin === '12', `a composition of 12 typed ${await red()}, its accessible twin ${twin}`);

  // The caret as drawn, sampled over two and a half blinks.
  const caretSeen = () => page.evaluate(async () => {
    const seen = [];
    for (let i = 0; i < 6; i++) {
      seen.push(document.getElementById('screen').dataset.caret);
      await new Promise((done) => setTimeout(done, 270));
    }
    return seen.join(' ');
  });
  const blinking = await caretSeen();
  expect(/on/.test(blinking) && /off/.test(blinking), `the caret does not blink: ${blinking}`);
  const media = (features) => cdp.send('Emulation.setEmulatedMedia', { features });
  await media([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
  // The media query's change reaches the page with the next frame.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const steady = await caretSeen();
  expect(steady === 'on on on on on on', `with reduced motion the caret blinks: ${steady}`);
  await media([{ name: 'forced-colors', value: 'active' }]);
  const adjust = await page.evaluate(() => getComputedStyle(document.getElementById('screen')).forcedColorAdjust);
  expect(adjust === 'none', `in high contrast the dialog's pixels may be recoloured (${adjust})`);
  await media([]);

  await page.setViewport({ width: 844, height: 390 });
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.ended !== undefined);
  const ended = await page.evaluate(() => ({
    top: document.getElementById('screen').getBoundingClientRect().top,
    bottom: document.getElementById('ended').getBoundingClientRect().bottom,
  }));
  expect(ended.top >= 0 && ended.bottom <= 390, `closed in landscape, the dialog's top is at ${ended.top}, the message ends at ${ended.bottom}`);
  const afterClose = await caretSeen();
  expect(new Set(afterClose.split(' ')).size === 1, `after a close the caret still blinks: ${afterClose}`);
  await page.setViewport({ width: 1024, height: 640 });
  for (const p of problems) process.stderr.write(`FAIL - page keys: ${p}\n`);
  if (!problems.length)
    process.stderr.write("ok   - the page takes only the field's keys, an input method's text once, motion and contrast settings\n");
  return problems.length ? 1 : 0;
}

// Ending with the close box, then only the keyboard: the focus is on "Start
// again" whatever was clicked, and Enter restarts. And without JavaScript
// the page says what it is and what it needs.
async function afterTheEnd(browser, page, url) {
  await load(page, url);
  // The close box as drawn: in the caption's row of pixels, the last run
  // that is not the caption's navy.
  const close = await page.evaluate(() => {
    const canvas = document.getElementById('screen'), box = canvas.getBoundingClientRect();
    const unit = box.width / canvas.width;
    const caption = document.querySelector('#access .close').getBoundingClientRect();
    const y = Math.floor(((caption.top + caption.bottom) / 2 - box.top) / unit);
    const row = canvas.getContext('2d').getImageData(0, y, canvas.width, 1).data;
    const navy = (x) => row[4 * x] === 0 && row[4 * x + 1] === 0 && row[4 * x + 2] === 128;
    let last = canvas.width - 1;
    while (last > 0 && !navy(last)) last--;
    let right = last;
    while (right > 0 && navy(right)) right--;
    let left = right;
    while (left > 0 && !navy(left - 1)) left--;
    return { x: box.left + ((left + right + 1) / 2) * unit, y: box.top + (y + 0.5) * unit };
  });
  await page.mouse.click(close.x, close.y);
  await page.waitForFunction(() => document.body.dataset.ended !== undefined);
  await page.click('#screen');
  await page.mouse.click(5, 5);
  const focused = await page.evaluate(() => document.activeElement && document.activeElement.id);
  if (focused !== 'again') {
    process.stderr.write(`FAIL - after a close and clicks, the focus is on '${focused}', not "Start again"\n`);
    return 1;
  }
  await Promise.all([page.waitForNavigation(), page.keyboard.press('Enter')]);
  await page.waitForFunction(() => document.body.dataset.firstFrame && document.body.dataset.idle === 'yes');
  process.stderr.write('ok   - after a close, the keyboard reaches "Start again" and Enter restarts\n');

  const plain = await browser.newPage();
  await plain.setJavaScriptEnabled(false);
  await plain.goto(url);
  const said = await plain.$eval('#noscript', (p) => p.innerText).catch(() => '');
  await plain.close();
  if (!/needs JavaScript/.test(said)) {
    process.stderr.write('FAIL - without JavaScript the page does not say what it needs\n');
    return 1;
  }
  process.stderr.write('ok   - without JavaScript the page says what it is and that it needs JavaScript\n');
  return 0;
}

// The page on a phone (Chromium's emulation: touch, 390 x 844 at three
// device pixels to the CSS pixel): an installable app, controlled by its
// service worker, that reloads with the network gone and takes a tap and a
// key; its text large enough, the dialog whole, and every field and the
// close box taking a finger a little off, held either way. Then the page
// from disk: it runs, and asks for nothing.
async function phone(browser, url) {
  const problems = [];
  const expect = (ok, what) => ok || problems.push(what);
  const page = await browser.newPage();
  await page.emulate({ userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) ' +
                                  'Chrome/156.0.0.0 Mobile Safari/537.36',
                       viewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true } });
  // Nothing kept from the visits before, so that this one is a first.
  const cdp = await page.createCDPSession();
  await cdp.send('Storage.clearDataForOrigin', { origin: new URL(url).origin, storageTypes: 'all' });
  await cdp.send('Network.clearBrowserCache');
  served.downloads = {};
  await load(page, url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  // A first visit, the worker's install with it, downloads each file once.
  const twice = Object.entries(served.downloads).filter(([, n]) => n > 1).map(([name, n]) => `${name} ${n} times`);
  expect(twice.length === 0, `a first visit downloads ${twice.join(', ')}`);
  // Idle, nothing runs for ever: a battery pays for every frame restyled.
  const forever = await page.evaluate(() => document.getAnimations()
    .filter((a) => a.effect.getComputedTiming().iterations === Infinity).length);
  expect(forever === 0, `idle, ${forever} animations run for ever`);
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  expect(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
  await load(page, url);
  expect(await page.evaluate(() => navigator.serviceWorker.controller !== null), 'no service worker controls the page');

  // Where a finger lands, 12 CSS px off each field's number and all round
  // the close box; the dialog's width; the dialog within the screen. The
  // fields and the close box are where the canvas draws them: a field's
  // white inside, the close box's raised face, found about the middle of
  // the element that stands for each.
  const fingers = () => page.evaluate(() => {
    const found = [];
    const canvas = document.getElementById('screen'), screen = canvas.getBoundingClientRect();
    const unit = screen.width / canvas.width;
    const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const colour = (x, y) => pixels.slice(4 * (y * canvas.width + x), 4 * (y * canvas.width + x) + 3).join();
    // The run of `want`'s colour through the element's middle, in CSS px.
    const drawn = (element, want) => {
      const at = element.getBoundingClientRect();
      const cx = Math.floor((at.right - 4 - screen.left) / unit), cy = Math.floor(((at.top + at.bottom) / 2 - screen.top) / unit);
      let top = cy, bottom = cy;
      while (top > 0 && colour(cx, top - 1) === want) top--;
      while (bottom < canvas.height - 1 && colour(cx, bottom + 1) === want) bottom++;
      return { left: at.left, right: at.right, top: screen.top + top * unit, bottom: screen.top + (bottom + 1) * unit };
    };
    [...document.querySelectorAll('#access .textbox')].forEach((field, i) => {
      const n = drawn(field, '255,255,255');
      const x = n.left + (n.right - n.left) / 6, y = (n.top + n.bottom) / 2;
      for (const [px, py] of [[x, n.top - 12], [x, n.bottom + 12]])
        if (document.elementFromPoint(px, py) !== field) found.push(`field ${i} misses (${px.toFixed(0)}, ${py.toFixed(0)})`);
    });
    const closeElement = document.querySelector('#access .close');
    const c = closeElement.getBoundingClientRect();
    const gx = (c.left + c.right) / 2, gy = (c.top + c.bottom) / 2;
    if (colour(Math.floor((gx - screen.left) / unit) + 2, Math.floor((gy - screen.top) / unit)) !== '192,192,192')
      found.push('the close box is not drawn under its element');
    for (const [dx, dy] of [[-12, 0], [12, 0], [0, -12], [0, 12], [-12, -12], [12, 12], [-12, 12], [12, -12]])
      if (document.elementFromPoint(gx + dx, gy + dy) !== closeElement) found.push(`the close box misses (${dx}, ${dy})`);
    if (screen.left < 0 || screen.top < 0 || screen.right > innerWidth || screen.bottom > innerHeight)
      found.push(`the dialog (${screen.width.toFixed(0)} x ${screen.height.toFixed(0)}) is not whole on the screen`);
    return { found, width: screen.width / innerWidth };
  });
  let seen = await fingers();
  problems.push(...seen.found.map((f) => 'upright: ' + f));
  expect(seen.width >= 0.9, `upright, the dialog fills ${(100 * seen.width).toFixed(0)}% of the width`);
  await page.setViewport({ width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await page.waitForFunction(settled);
  // The page lays its controls out again on the resize, before the next frame.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  seen = await fingers();
  problems.push(...seen.found.map((f) => 'on its side: ' + f));
  await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

  // Offline: the page comes from the worker's cache. A tap above green
  // moves the focus there and selects its number, as Tab does, so that 200
  // typed on the phone's keyboard replaces it and the other row follows;
  // a second tap places the caret.
  served.offline = true;
  await page.setOfflineMode(true);
  await load(page, url);
  // A tap 10 px above green's third digit, as the canvas draws it (the
  // third run of dark columns in the field), puts the caret after its
  // second.
  const green = await page.evaluate(() => {
    const canvas = document.getElementById('screen'), screen = canvas.getBoundingClientRect();
    const unit = screen.width / canvas.width;
    const field = document.querySelectorAll('#access .textbox')[1].getBoundingClientRect();
    // Inside its sunken edge, 3 device pixels each side.
    const x0 = Math.ceil((field.left - screen.left) / unit) + 3, x1 = Math.floor((field.right - screen.left) / unit) - 3;
    const y0 = Math.ceil((field.top + 13 - screen.top) / unit) + 3, y1 = Math.floor((field.bottom - 13 - screen.top) / unit) - 3;
    const pixels = canvas.getContext('2d').getImageData(x0, y0, x1 - x0, y1 - y0);
    const inked = (x) => {
      for (let y = 0; x >= 0 && y < pixels.height; y++) if (pixels.data[4 * (y * pixels.width + x)] < 64) return true;
      return false;
    };
    const glyphs = [];
    for (let x = 0; x < pixels.width; x++)
      if (inked(x) && !inked(x - 1)) glyphs.push(x);
    return { x: screen.left + (x0 + glyphs[2] + 1) * unit, y: field.top + 13 - 10, glyphs: glyphs.length };
  });
  const tapThenType = async (keys) => {
    await page.touchscreen.tap(green.x, green.y);
    await page.waitForFunction(settled);
    for (const key of keys) {
      await page.keyboard.press(key);
      await page.waitForFunction(settled);
    }
    return (await readDialog(page)).fields.join(' ');
  };
  let fields = await tapThenType(['2', '0', '0']);
  expect(fields === '255 200 255 213 55 255', `offline, a tap above green and 200 typed left ${fields}, not 255 200 255 213 55 255`);
  // Apart from the first by more than a double tap's time.
  await new Promise((done) => setTimeout(done, 800));
  fields = await tapThenType(['Backspace', '5']);
  expect(fields === '255 250 255 213 5 255', `a second tap after green's second digit, Backspace and 5 left ${fields}`);
  await page.setOfflineMode(false);
  served.offline = false;
  await page.close();

  // From disk: the one file runs, and nothing else is asked for.
  const disk = await browser.newPage();
  const asked = [];
  disk.on('request', (request) => asked.push(request.url()));
  await load(disk, 'file://' + path.resolve(page_file));
  // The program's WebAssembly is inside the page, as a data: address.
  const extra = asked.filter((u) => u !== 'file://' + path.resolve(page_file) && !u.startsWith('data:'));
  expect(extra.length === 0, `from disk it asked for ${extra.join(', ')}`);
  await disk.close();

  for (const p of problems) process.stderr.write(`FAIL - phone: ${p}\n`);
  if (!problems.length)
    process.stderr.write('ok   - on a phone: installable, offline, a finger lands on every field and the close box\n');
  return problems.length ? 1 : 0;
}

// The page under a person's hands: the mouse selects as in the Windows build
// (a drag past a field's end, a double click, Shift+click), and the field's
// accessible twin holds that selection and no other; Ctrl+C copies it and a
// 7 replaces it. A change of zoom lays the dialog out afresh at the new
// density, keeping the numbers, focus and selection; a phone opened on its
// side and turned upright fills 90-95% of the width; at 320 CSS px every
// text of the page is whole.
async function underHands(browser, url) {
  const problems = [];
  const expect = (ok, what) => ok || problems.push(what);
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 640 });
  await load(page, url);
  // A field's box as drawn, in CSS px: its element less the finger's reach.
  const field = (i) => page.evaluate((i) => {
    const r = document.querySelectorAll('#access .textbox')[i].getBoundingClientRect();
    return { left: r.left, right: r.right, y: (r.top + r.bottom) / 2 };
  }, i);
  const focused = async () => {
    const { fields } = await page.evaluate(readPage);
    const i = fields.findIndex((f) => f.focused);
    return i < 0 ? 'none' : `${i} ${fields[i].text} [${fields[i].selection.join(',')}]`;
  };
  const settle = () => page.waitForFunction(settled);
  await page.evaluate(() => navigator.clipboard.writeText(''));
  let f = await field(1);
  await page.mouse.move(f.left + 5, f.y);
  await page.mouse.down();
  await page.mouse.move(f.left + 15, f.y, { steps: 2 });
  await page.mouse.move(f.right + 40, f.y, { steps: 2 });
  await page.mouse.up();
  await settle();
  expect(await focused() === '1 255 [0,3]', `a drag across green's digits and past them: ${await focused()}`);
  await page.keyboard.down('Control');
  await page.keyboard.press('c');
  await page.keyboard.up('Control');
  await settle();
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  expect(copied === '255', `Ctrl+C after the drag copied '${copied}'`);
  f = await field(2);
  await page.mouse.click(f.left + 10, f.y, { clickCount: 1 });
  await page.mouse.click(f.left + 10, f.y, { clickCount: 2 });
  await settle();
  expect(await focused() === '2 255 [0,3]', `a double click in blue: ${await focused()}`);
  await page.keyboard.press('9');
  await settle();
  expect(await focused() === '2 9 [1,1]', `a 9 typed after the double click: ${await focused()}`);
  f = await field(0);
  await page.mouse.click(f.left + 5, f.y);
  await page.keyboard.down('Shift');
  await page.mouse.click(f.right - 3, f.y);
  await page.keyboard.up('Shift');
  await settle();
  expect(await focused() === '0 255 [0,3]', `a click before red's digits, Shift+click after them: ${await focused()}`);
  await page.keyboard.press('7');
  await settle();
  expect(await focused() === '0 7 [1,1]', `a 7 over that selection: ${await focused()}`);
  await page.keyboard.down('Shift');
  await page.keyboard.press('Home');
  await page.keyboard.up('Shift');
  await settle();

  // Zoom to 200% while the page runs: Chromium's emulated ratio, and the
  // resize a browser's zoom fires (its emulation fires none).
  const zoom = async (scale) => {
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: scale });
    await page.evaluate(() => window.dispatchEvent(new Event('resize')));
  };
  const canvasSize = () => page.evaluate(() => {
    const c = document.getElementById('screen');
    return { width: c.width, css: c.getBoundingClientRect().width, ratio: devicePixelRatio };
  });
  const before = await canvasSize();
  await zoom(2);
  await page.waitForFunction((w) => document.getElementById('screen').width > w * 1.5 && document.body.dataset.idle === 'yes',
                             { timeout: 5000 }, before.width).catch(() => {});
  const after = await canvasSize();
  expect(Math.abs(after.width - after.css * 2) <= 2 && after.width > before.width * 1.5,
         `at 200% the canvas is ${after.width} pixels for ${after.css} CSS px (it was ${before.width})`);
  expect(await focused() === '0 7 [0,1]', `at 200% the fields, focus and selection are ${await focused()}`);
  const drawnAt = await page.evaluate(() => document.getElementById('screen').dataset.dialog);
  await zoom(1);
  await page.waitForFunction((d) => document.getElementById('screen').dataset.dialog !== d && document.body.dataset.idle === 'yes',
                             { timeout: 5000 }, drawnAt).catch(() => {});
  const back = await canvasSize();
  expect(back.width === before.width, `back at 100% the canvas is ${back.width} pixels, not ${before.width}`);
  await page.close();

  // A phone opened on its side, then turned upright.
  const phone = await browser.newPage();
  await phone.emulate({ userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) ' +
                                   'Chrome/156.0.0.0 Mobile Safari/537.36',
                        viewport: { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true } });
  await load(phone, url);
  for (const key of ['Tab', '9']) {
    await phone.keyboard.press(key);
    await phone.waitForFunction(settled);
  }
  const sideways = await phone.evaluate(() => document.getElementById('screen').dataset.dialog);
  await phone.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await phone.waitForFunction((d) => document.getElementById('screen').dataset.dialog !== d && document.body.dataset.idle === 'yes',
                              { timeout: 5000 }, sideways).catch(() => {});
  const upright = await phone.evaluate(() => ({
    fill: document.getElementById('screen').getBoundingClientRect().width / innerWidth,
    overflow: document.documentElement.scrollWidth - innerWidth,
    fields: [...document.querySelectorAll('#access input')].map((i) => i.value).join(' '),
  }));
  expect(upright.fill >= 0.9 && upright.fill <= 0.96 && upright.overflow <= 0,
         `turned upright, the dialog fills ${(100 * upright.fill).toFixed(0)}% of the width, ${upright.overflow} px overflow`);
  expect(upright.fields === '255 9 255 213 246 255', `turned upright, the fields are ${upright.fields}`);

  // 320 CSS px: every text whole, none cut or running off the page.
  await phone.setViewport({ width: 320, height: 640, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
  await load(phone, url);
  const cut = await phone.evaluate(() => [...document.querySelectorAll('body *')]
    .filter((e) => e.textContent.trim() && !e.closest('#access, noscript, script, [hidden]') && e.children.length === 0)
    .filter((e) => { const r = e.getBoundingClientRect(); return e.scrollWidth > e.clientWidth + 1 || r.left < 0 || r.right > innerWidth; })
    .map((e) => e.textContent.trim()));
  expect(cut.length === 0, `at 320 CSS px these texts are cut: ${cut.join(' | ')}`);
  await phone.close();

  for (const p of problems) process.stderr.write(`FAIL - under a person's hands: ${p}\n`);
  if (!problems.length)
    process.stderr.write("ok   - the mouse selects as on Windows, zoom and turning lay the dialog out afresh, every text whole at 320 px\n");
  return problems.length ? 1 : 0;
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
  else if (word.includes('-')) return playSessionWord(page, word);
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
    // Chromium's own traffic off, so that the only requests are the page's.
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-default-apps', '--disable-domain-reliability',
           '--disable-client-side-phishing-detection', '--no-default-browser-check', '--metrics-recording-only',
           '--disable-features=Translate,OptimizationHints,MediaRouter,AutofillServerCommunication,' +
           'CertificateTransparencyComponentUpdater,InterestFeedContentSuggestions',
           '--user-data-dir=' + profile],
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
          const dialog = await readDialog(page);
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
    await browser.defaultBrowserContext().overridePermissions(url, ['clipboard-read', 'clipboard-write',
                                                                    'clipboard-sanitized-write']);
    failures += await playSession(page, url);
    failures += await accessibility(page, url);
    failures += await pageKeys(page, url);
    failures += await afterTheEnd(browser, page, url);
    failures += await phone(browser, url);
    failures += await underHands(browser, url);
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
