// The page's half of the browser screen (platform/screens/browser/): it
// unpacks the page's program and its copy of Tahoma, puts each frame in a
// canvas pixel for pixel and blinks its caret, queues the program's events
// (input.js makes them of the page's keys, clicks and pastes; this file of
// changes of density), carries the program's copies to the browser's
// clipboard, beeps, and says when the program has ended. What a screen
// reader finds is access.js's. Loaded after those two, ahead of the
// program's own script.

// Base64 text that a build tool deflated, as the browser inflates it: a
// response of that `type` to read, or null.
function rgbhsvInflated(text, type) {
  try {
    const binary = atob(text), packed = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) packed[i] = binary.charCodeAt(i);
    return new Response(new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate')),
                        { headers: { 'Content-Type': type } });
  } catch (e) {
    return null;
  }
}

// The program's WebAssembly, which pack_page deflated into the page (in
// place of emscripten's own base64 copy, twice the size): compiled as it
// inflates.
Module.instantiateWasm = (imports, receive) => {
  const inflated = rgbhsvInflated(Module.rgbhsvWasm || '', 'application/wasm');
  (inflated ? WebAssembly.instantiateStreaming(inflated, imports)
            : Promise.reject(new Error('the page\'s program is damaged')))
    .then((result) => receive(result.instance, result.module), (e) => abort(String(e)));
  return {};
};

// Before the program starts: the glyphs bake_font made, inflated by the
// browser while the WebAssembly compiles. Without them the program says why
// and ends.
Module.preRun = [].concat(Module.preRun || [], ((inflating) => () => {
  addRunDependency('tahoma');
  inflating.then((bytes) => {
    Module.rgbhsvTahomaBytes = bytes;
    removeRunDependency('tahoma');
  });
})((() => {
  const inflated = rgbhsvInflated(Module.rgbhsvTahoma, 'application/octet-stream');
  return inflated ? inflated.arrayBuffer().then((b) => new Uint8Array(b), () => null) : Promise.resolve(null);
})()));

Module.rgbhsvScreen = (function () {
  'use strict';
  const queue = [];     // events the program has not taken yet
  let waiting = null;   // the program's request for the next one
  let beeps = 0;
  let audio = null;
  let drawn = false;
  let copying = null;    // what the program is copying, for the copy event

  const byId = (id) => document.getElementById(id);
  const access = Module.rgbhsvAccess, input = Module.rgbhsvInput;

  // The program is idle (and the page shows everything it did) while it
  // waits with nothing queued; tests wait for that.
  function markIdle() {
    document.body.dataset.idle = waiting !== null && queue.length === 0 ? 'yes' : 'no';
  }

  function push(event) {
    if (document.body.dataset.ended !== undefined) return;
    if (waiting) {
      const resolve = waiting;
      waiting = null;
      resolve(event);
    } else {
      queue.push(event);
    }
    markIdle();
  }

  function nextEvent() {
    return new Promise((resolve) => {
      if (queue.length) resolve(queue.shift());
      else waiting = resolve;
      markIdle();
    });
  }

  // --- Drawing ---------------------------------------------------------------

  // The device pixels to a CSS pixel the program draws for: 96 dpi for
  // each, as Windows scales. Read when the program starts and again when it
  // lays the dialog out afresh, after a change of zoom.
  let ratio = 1;
  // The CSS pixels in which a whole number of device pixels fits at that
  // ratio: 1 at a whole ratio, 4 at 1.25, 8 at 2.625; 1 where none up to 64
  // does.
  let period = 1;
  function startDpi() {
    ratio = window.devicePixelRatio || 1;
    period = 1;
    while (period <= 64 && Math.abs(period * ratio - Math.round(period * ratio)) >= 1e-3) period++;
    if (period > 64) period = 1;
    return Math.round(96 * ratio);
  }

  // The page's room, in CSS px: the layout viewport, which a phone keeps at
  // its own width even while a dialog too wide for it has the browser zoom
  // out (innerWidth and innerHeight then grow).
  function roomWidth() {
    return document.documentElement.clientWidth || innerWidth;
  }
  function roomHeight() {
    return document.documentElement.clientHeight || innerHeight;
  }

  // A phone's screen: touch, and narrow one way.
  function isPhone() {
    return window.matchMedia('(pointer: coarse)').matches && Math.min(roomWidth(), roomHeight()) <= 600;
  }
  const kMargin = 8;    // CSS px round the dialog
  // ... and the notices below it, one line or, on a narrow screen, two.
  function noticesHeight() {
    return byId('notices').offsetHeight + 4;
  }

  // Given the dialog at `dpi`, `width` x `height` device pixels: the dpi it
  // should have. Where it fits, the one it has; on a phone, the one that
  // fills 95% of the width (and no more than the height), kept once it
  // fills 90 to 100%; where it does not fit, the one that fits.
  function betterDpi(width, height, dpi) {
    const w = width / ratio, h = height / ratio;
    const roomW = roomWidth() - 2 * kMargin, roomH = roomHeight() - 2 * kMargin - noticesHeight();
    const fits = w <= roomW && h <= roomH;
    if (isPhone()) {
      if (fits && w >= 0.9 * roomWidth()) return dpi;
      return Math.floor(dpi * Math.min(0.95 * roomWidth() / w, roomH / h));
    }
    return fits ? dpi : Math.floor(dpi * Math.min(roomW / w, roomH / h));
  }

  let image = null;           // the frame as drawn, the caret apart
  let caret = [0, 0, 0, 0];   // its box: x, y, width, height
  let caretOn = false;

  // The caret inverts what is under it, as Windows draws it.
  function drawCaret(on) {
    // Within the frame. (Not destructured: the build's minifier drops such names.)
    const x = Math.max(0, caret[0]), y = Math.max(0, caret[1]);
    const w = image ? Math.min(caret[2], image.width - x) : caret[2], h = image ? Math.min(caret[3], image.height - y) : caret[3];
    caretOn = on;
    byId('screen').dataset.caret = w > 0 && h > 0 ? (on ? 'on' : 'off') : 'none';
    if (!image || w <= 0 || h <= 0) return;
    const part = new ImageData(w, h);
    for (let row = 0; row < h; row++) {
      const from = ((y + row) * image.width + x) * 4;
      part.data.set(image.data.subarray(from, from + w * 4), row * w * 4);
    }
    if (on) for (let i = 0; i < part.data.length; i += 4) {
      part.data[i] ^= 255;
      part.data[i + 1] ^= 255;
      part.data[i + 2] ^= 255;
    }
    byId('screen').getContext('2d').putImageData(part, x, y);
  }

  function present(rgba, width, height, caretBox) {
    const canvas = byId('screen');
    // The canvas is a whole number of periods, the dialog at its top left
    // and the rest left clear: a box of fractional CSS pixels is stretched
    // by a pixel to the browser's own grid.
    const step = period * ratio;
    const paddedW = Math.round(Math.ceil(width / step - 1e-6) * step), paddedH = Math.round(Math.ceil(height / step - 1e-6) * step);
    const resized = canvas.width !== paddedW || canvas.height !== paddedH;
    if (resized) {
      canvas.width = paddedW;
      canvas.height = paddedH;
      screenBox = null;
    }
    canvas.dataset.dialog = width + ' ' + height;
    image = new ImageData(new Uint8ClampedArray(HEAPU8.subarray(rgba, rgba + width * height * 4)), width, height);
    canvas.getContext('2d').putImageData(image, 0, 0);
    caret = Array.from(caretBox);
    drawCaret(true);
    if (!drawn) document.body.dataset.firstFrame = performance.now().toFixed(1);
    if (!drawn || resized) placeScreen();
    drawn = true;
    blinkFromOn();
  }

  // The canvas at one CSS pixel for `ratio` device pixels, so that the
  // browser copies its pixels as they are, on whole periods of pixels:
  // centred, and smaller (resampled) only where the screen has no room.
  function placeScreen() {
    const canvas = byId('screen');
    if (!canvas.width) return;
    const reserve = hasEnded() ? 96 : 0;  // the message after a close
    const w = canvas.width / ratio, h = canvas.height / ratio;
    const notices = noticesHeight();
    const roomW = roomWidth() - 2 * kMargin, roomH = roomHeight() - 2 * kMargin - notices - reserve;
    const cssScale = Math.min(1, roomW / w, roomH / h);
    const shownW = w * cssScale, shownH = h * cssScale;
    const snap = (v) => Math.max(0, Math.floor(v / period) * period);
    Object.assign(canvas.style, { width: shownW + 'px', height: shownH + 'px' });
    Object.assign(byId('dialog').style, { left: snap((roomWidth() - shownW) / 2) + 'px',
                                          top: snap((roomHeight() - notices - reserve - shownH) / 2) + 'px',
                                          width: shownW + 'px', height: shownH + 'px' });
    screenBox = null;
  }

  // The canvas on the page, read when it may have changed (a new size, a
  // resize) and not on every frame: each read after a change lays the page
  // out.
  let screenBox = null;
  function screenOnPage() {
    if (!screenBox) screenBox = byId('screen').getBoundingClientRect();
    return screenBox;
  }

  // --- The caret's blink ---------------------------------------------------

  // The caret shows at once after every frame and then blinks by a timer,
  // two changes a second, as Windows blinks it; steady under reduced
  // motion, and not at all while the page is hidden or the program has
  // ended. Nothing runs while nothing changes.
  const kBlinkMs = 530;
  const reducedMotion = window.matchMedia ? window.matchMedia('(prefers-reduced-motion: reduce)') : null;
  let blinkTimer = 0;
  function blinkFromOn() {
    clearInterval(blinkTimer);
    blinkTimer = 0;
    if (!caret[2] || hasEnded()) return;
    if (!caretOn) drawCaret(true);
    if (document.hidden || (reducedMotion && reducedMotion.matches)) return;
    blinkTimer = setInterval(() => drawCaret(!caretOn), kBlinkMs);
  }

  // --- Sound -------------------------------------------------------------------

  let bellTimer = 0;
  function beep() {
    beeps++;
    document.body.dataset.beeps = String(beeps);
    // Shown as well, for a muted device.
    const bell = byId('bell');
    bell.classList.remove('ringing');
    void bell.offsetWidth;
    bell.classList.add('ringing');
    // Without motion the notice shows steadily for as long as it would fade.
    clearTimeout(bellTimer);
    bellTimer = setTimeout(() => bell.classList.remove('ringing'), 600);
    try {
      audio = audio || new (window.AudioContext || window.webkitAudioContext)();
      const tone = audio.createOscillator(), volume = audio.createGain();
      tone.frequency.value = 880;
      volume.gain.value = 0.08;
      tone.connect(volume).connect(audio.destination);
      tone.start();
      tone.stop(audio.currentTime + 0.12);
    } catch (e) {
      // No sound here: the page has shown the beep.
    }
  }

  // Once the program has ended, "Start again" has the keyboard's focus and
  // keeps it whatever is clicked, so that Enter or Space restarts.
  function ended(status) {
    access.hide();
    document.body.dataset.ended = String(status);
    blinkFromOn();  // which stops it, now that the program has ended
    placeScreen();  // with room for the message
    byId('status').textContent = String(status);
    byId('ended').hidden = false;
    byId('again').focus();
  }

  function hasEnded() {
    return document.body.dataset.ended !== undefined;
  }

  function keepFocusOnAgain(event) {
    if (!hasEnded() || event.target === byId('again')) return;
    event.preventDefault();
    byId('again').focus();
  }

  // --- The clipboard -----------------------------------------------------

  // The program copied: the browser's copy command puts the text on the
  // clipboard at once, while the key's gesture lasts; where the command is
  // refused, the asynchronous Clipboard API does it.
  function copy(text) {
    copying = text;
    let done = false;
    try {
      done = document.execCommand('copy');
    } catch (e) {
      done = false;
    }
    copying = null;
    if (!done && navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
  }

  function onCopy(event) {
    if (copying === null) return;
    event.clipboardData.setData('text/plain', copying);
    event.preventDefault();
  }

  // A change of zoom or of the device pixel ratio, or a phone turned: the
  // program lays the dialog out afresh at the new density, keeping its
  // fields; any other resize only places it again.
  let upright = null;  // read once the page is laid out
  function onResize() {
    const nowUpright = roomHeight() >= roomWidth();
    const turned = upright !== null && nowUpright !== upright && isPhone();
    upright = nowUpright;
    screenBox = null;
    if (drawn && !hasEnded() && ((window.devicePixelRatio || 1) !== ratio || turned)) push([input.numbering.kind.rescale, 0, 0, 0, 0]);
    placeScreen();
    access.placeAll();
  }

  // A change of the device pixel ratio alone (a window moved to another
  // monitor) need not resize the page: the media query of the ratio there
  // is, watched afresh after each change.
  let ratioQuery = null;  // kept: a query no one holds may be collected, and its listener with it
  function watchRatio() {
    if (!window.matchMedia) return;
    ratioQuery = matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`);
    ratioQuery.addEventListener('change', () => {
      onResize();
      watchRatio();
    }, { once: true });
  }

  function start() {
    input.start(push);
    access.start({ canvasBox: screenOnPage, pressInside: input.pressInside });
    document.addEventListener('copy', onCopy);
    watchRatio();
    upright = roomHeight() >= roomWidth();
    window.addEventListener('resize', onResize);  // zoom, a phone turned, a window resized
    document.addEventListener('visibilitychange', blinkFromOn);
    if (reducedMotion && reducedMotion.addEventListener) reducedMotion.addEventListener('change', blinkFromOn);
    byId('again').addEventListener('click', () => location.reload());
    document.addEventListener('mousedown', keepFocusOnAgain, true);
    document.addEventListener('focusin', (event) => {
      if (hasEnded() && event.target !== byId('again')) byId('again').focus();
    });
    markIdle();
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();

  return { present, beep, ended, nextEvent, copy, pastedText: input.pastedText, describe: access.describe,
           announce: access.announce, startDpi, betterDpi, numbering: input.numbering };
})();
