// The page's half of the browser screen (platform/screens/browser/): it
// unpacks the page's copy of Tahoma for the program, puts each frame in a
// canvas pixel for pixel and blinks its caret, turns the page's keys,
// clicks, drags, taps, pastes and changes of density into events for the
// program, carries the program's copies to the browser's clipboard, beeps,
// and says when the program has ended. Loaded ahead of the program's own
// script.

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
  try {
    const text = atob(Module.rgbhsvTahoma), packed = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) packed[i] = text.charCodeAt(i);
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate'));
    return new Response(stream).arrayBuffer().then((b) => new Uint8Array(b), () => null);
  } catch (e) {
    return Promise.resolve(null);
  }
})()));

Module.rgbhsvScreen = (function () {
  'use strict';
  const queue = [];     // events the program has not taken yet
  let waiting = null;   // the program's request for the next one
  let beeps = 0;
  let audio = null;
  let drawn = false;
  let pasted = '';       // the text of the last paste, until the program takes it
  let copying = null;    // what the program is copying, for the copy event

  // Event kinds, keys and modifiers, numbered here once: browser_screen.cpp
  // reads the numbers from `numbering` when it starts. An event is five
  // numbers: its kind, a key or character (a press: its count of clicks,
  // TOUCH added for a finger's tap), the modifiers, and a device pixel.
  const KIND_KEY = 1, KIND_CHAR = 2, KIND_CLICK = 3, KIND_PASTE = 4, KIND_DRAG = 5, KIND_RELEASE = 6, KIND_RESCALE = 7;
  const TOUCH = 0x100;
  const KEYS = { Backspace: 1, Tab: 2, Enter: 3, Escape: 4, ArrowLeft: 5, ArrowRight: 6, Home: 7, End: 8, Delete: 9,
                 ArrowUp: 10, ArrowDown: 11, Insert: 12 };
  const SHIFT = 1, CTRL = 2, ALT = 4;
  const numbering = {
    kind: { key: KIND_KEY, char: KIND_CHAR, click: KIND_CLICK, paste: KIND_PASTE, drag: KIND_DRAG, release: KIND_RELEASE,
            rescale: KIND_RESCALE },
    key: KEYS,
    modifier: { shift: SHIFT, ctrl: CTRL, alt: ALT, touch: TOUCH },
  };

  const byId = (id) => document.getElementById(id);

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

  function pushText(text) {
    // The field's own rules decide what is taken; controls never reach it.
    for (const c of text) {
      const code = c.codePointAt(0);
      if (code >= 0x20 && code !== 0x7F && code <= 0xFFFF) push([KIND_CHAR, code, 0, 0, 0]);
    }
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

  // --- What a screen reader finds ----------------------------------------------

  // The controls as the program describes them, in the page's accessibility
  // tree: one element each, laid over its pixels (so a tap on it lands there
  // too), while the drawing itself is hidden from screen readers. The field
  // the program has focused has the page's focus, with the same selection.
  let described = [];     // the last description
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

  // Lays an element over its device pixels, in CSS pixels. Fields and the
  // close box reach further, so that a finger a little off still lands on
  // them: a field half a finger above and below, the close box that far
  // every way round.
  const kReach = 13;
  // `box` is the canvas on the page, read once for all the elements.
  function place(element, pixels, role, box) {
    const unit = box.width / byId('screen').width;
    let left = pixels[0] * unit, top = pixels[1] * unit, width = pixels[2] * unit, height = pixels[3] * unit;
    if (role === 'textbox') {
      top -= kReach;
      height += 2 * kReach;
    } else if (role === 'close') {
      left -= kReach;
      top -= kReach;
      width += 2 * kReach;
      height += 2 * kReach;
    }
    Object.assign(element.style, { left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px' });
  }

  function placeAll() {
    placeScreen();
    const dialog = described[0];
    if (!dialog) return;
    const box = screenOnPage();
    described.slice(1).forEach((node, i) => {
      place(byId('access').children[i], [node.box[0] - dialog.box[0], node.box[1] - dialog.box[1],
                                         node.box[2], node.box[3]], node.role, box);
    });
  }

  // The pixels of the control an element stands for, as last described.
  function boxOf(element) {
    return described[Number(element.dataset.node)].box;
  }

  function makeElement(node, index) {
    let element;
    if (node.role === 'textbox') {
      element = document.createElement('input');
      Object.assign(element, { type: 'text', tabIndex: -1, autocomplete: 'off', spellcheck: false });
      element.setAttribute('inputmode', 'numeric');
      element.setAttribute('autocapitalize', 'off');
      element.addEventListener('mousedown', (event) => pressInside(event, boxOf(element)));
    } else if (node.role === 'button' || node.role === 'close') {
      element = document.createElement('button');
      Object.assign(element, { type: 'button', tabIndex: -1 });
      if (node.role === 'close') {
        element.addEventListener('mousedown', (event) => pressInside(event, boxOf(element)));
      }
    } else if (node.role === 'img') {
      element = document.createElement('div');
      element.setAttribute('role', 'img');
    } else {
      element = document.createElement('span');
    }
    element.className = 'control ' + node.role;
    element.dataset.node = String(index);
    return element;
  }

  function describe(nodes) {
    const layer = byId('access');
    const same = nodes.length === described.length && nodes.every((n, i) => n.role === described[i].role && n.id === described[i].id);
    if (!same) {
      layer.textContent = '';
      nodes.forEach((node, i) => i > 0 && layer.appendChild(makeElement(node, i)));
    }
    const dialog = nodes[0];
    layer.setAttribute('role', 'dialog');
    layer.setAttribute('aria-label', dialog.name);
    const box = screenOnPage();
    nodes.slice(1).forEach((node, i) => {
      const element = layer.children[i];
      place(element, [node.box[0] - dialog.box[0], node.box[1] - dialog.box[1], node.box[2], node.box[3]],
            node.role, box);
      if (node.role === 'textbox') {
        element.setAttribute('aria-label', node.name);
        if (element.value !== node.value) element.value = node.value;
        if (node.focused) {
          if (document.activeElement !== element) element.focus({ preventScroll: true });
          // Setting a selection lays the page out: only when it moved.
          if (element.selectionStart !== node.selection[0] || element.selectionEnd !== node.selection[1])
            element.setSelectionRange(node.selection[0], node.selection[1]);
        }
      } else if (node.role === 'close') {
        element.setAttribute('aria-label', node.name);
      } else if (node.role === 'img') {
        element.setAttribute('aria-label', node.name);
      } else {
        element.textContent = node.name;
      }
      if (node.role === 'button') element.disabled = node.disabled;
      if (node.role === 'text') element.classList.toggle('disabled', node.disabled);
    });
    described = nodes;
  }

  // What the program says a screen reader should say now (a beep, a number
  // refused), through the live region.
  function announce(text) {
    const region = byId('announce');
    region.textContent = '';
    setTimeout(() => { region.textContent = text; }, 0);
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
    byId('access').hidden = true;  // the dialog is gone
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

  // A paste (Ctrl+V, Shift+Insert, or the browser's menu) reaches the
  // program as its paste key, with the clipboard's text.
  function onPaste(event) {
    event.preventDefault();
    pasted = (event.clipboardData || window.clipboardData).getData('text');
    push([KIND_PASTE, 0, 0, 0, 0]);
  }

  function pastedText() {
    return pasted;
  }

  // --- Input ---------------------------------------------------------------

  function modifiers(event) {
    return (event.shiftKey ? SHIFT : 0) | (event.ctrlKey ? CTRL : 0) | (event.altKey ? ALT : 0);
  }

  // What the field itself uses of the keyboard, and nothing more: the
  // browser keeps its own shortcuts (zoom, find, print, back, reload). On
  // macOS, Cmd is Ctrl for the clipboard, undo and select-all.
  const SHORTCUTS = 'acvxz';
  function ctrlOf(event) {
    return event.ctrlKey || (event.metaKey && SHORTCUTS.includes(event.key.toLowerCase()));
  }

  // The keys the browser itself turns into a paste event.
  function isPasteKey(event) {
    return (ctrlOf(event) && !event.altKey && event.key.toLowerCase() === 'v') ||
           (event.shiftKey && !event.ctrlKey && event.key === 'Insert');
  }

  // A key's name is its character only when it is one character: "F5",
  // "Enter" and the rest are never text.
  function characterOf(event) {
    return [...event.key].length === 1 ? event.key : null;
  }

  function onKeyDown(event) {
    if (event.isComposing || event.target === byId('again')) return;
    if (isPasteKey(event)) return;
    const ctrl = ctrlOf(event);
    if (event.metaKey && !ctrl) return;
    const mods = modifiers(event) | (ctrl ? CTRL : 0);
    const key = KEYS[event.key];
    const character = characterOf(event);
    if (key) {
      // Alt with a caret key is the browser's (Alt+Left goes back); only
      // Alt+Backspace, the old undo, is the field's.
      if (event.altKey && event.key !== 'Backspace') return;
      event.preventDefault();
      push([KIND_KEY, key, mods, 0, 0]);
    } else if (character && (ctrl || event.altKey)) {
      // The clipboard and undo shortcuts; any other is the browser's.
      if (!ctrl || event.altKey || !SHORTCUTS.includes(character.toLowerCase())) return;
      event.preventDefault();
      push([KIND_CHAR, character.toLowerCase().codePointAt(0), mods, 0, 0]);
    } else if (character) {
      // A typed character; touch keyboards send 'Unidentified' and come
      // through beforeinput instead.
      event.preventDefault();
      pushText(character);
    }
  }

  // An input method's text arrives once, when its composition is committed;
  // what it showed on the way belongs to the accessible field alone, which
  // is then given the program's text back.
  let composing = false;
  function onBeforeInput(event) {
    if (composing || event.isComposing || event.inputType === 'insertCompositionText' ||
        event.inputType === 'insertFromComposition') return;
    event.preventDefault();
    if (event.inputType === 'deleteContentBackward') push([KIND_KEY, KEYS.Backspace, 0, 0, 0]);
    else if (event.inputType === 'deleteContentForward') push([KIND_KEY, KEYS.Delete, 0, 0, 0]);
    else if (event.data) pushText(event.data);
  }

  function onCompositionEnd(event) {
    composing = false;
    const field = described.find((n) => n.focused && n.role === 'textbox');
    const element = field && byId('access').children[described.indexOf(field) - 1];
    if (element) {
      element.value = field.value;
      element.setSelectionRange(field.selection[0], field.selection[1]);
    }
    if (event.data) pushText(event.data);
  }

  // The device pixel under a pointer, within the canvas.
  function pixelAt(event) {
    const canvas = byId('screen');
    if (!canvas.width) return null;
    const box = canvas.getBoundingClientRect();  // where it is now, scrolled or not
    const unit = box.width / canvas.width;
    const x = Math.floor((event.clientX - box.left) / unit), y = Math.floor((event.clientY - box.top) / unit);
    return [Math.min(Math.max(x, 0), canvas.width - 1), Math.min(Math.max(y, 0), canvas.height - 1)];
  }

  // The mouse's presses, drags and releases go to the program as Windows
  // has them: a press with its count of clicks (the second of a double
  // click) and Shift, the pointer's moves while the button is held, wherever
  // they go, and the release. The browser does nothing of its own with
  // them: the accessible fields never hold a selection of theirs. A
  // finger's tap is a press too, marked as a tap; the field keeps the
  // browser's focus then, so that the phone's keyboard opens.
  let pressed = false;
  let pointerType = 'mouse';  // of the last pointer to go down
  function press(event, pixel) {
    const touch = pointerType === 'touch';
    if (!touch) event.preventDefault();  // the focused field keeps the focus, and no selection of the browser's starts
    pressed = !touch;
    const clicks = event.detail % 2 === 0 ? 2 : 1;
    push([KIND_CLICK, clicks | (touch ? TOUCH : 0), modifiers(event), pixel[0], pixel[1]]);
  }

  function onMouseDown(event) {
    if (event.button !== 0) return;
    const pixel = pixelAt(event);
    if (pixel) press(event, pixel);
  }

  // A press on a control's element: the pixel under it, kept within the
  // control, so that a finger a little off still lands there.
  function pressInside(event, box) {
    if (event.button !== 0) return;
    const pixel = pixelAt(event) || [box[0], box[1]];
    press(event, [Math.min(Math.max(pixel[0], box[0]), box[0] + box[2] - 1),
                  Math.min(Math.max(pixel[1], box[1]), box[1] + box[3] - 1)]);
  }

  // Where the pointer is, not kept within the canvas: a drag past a field's
  // edge selects to its end.
  function pointAt(event) {
    const canvas = byId('screen');
    const box = canvas.getBoundingClientRect(), unit = box.width / canvas.width;
    return [Math.floor((event.clientX - box.left) / unit), Math.floor((event.clientY - box.top) / unit)];
  }

  function onMouseMove(event) {
    if (!pressed || !byId('screen').width) return;
    if (!(event.buttons & 1)) return onMouseUp(event);
    event.preventDefault();
    const point = pointAt(event);
    push([KIND_DRAG, 0, 0, point[0], point[1]]);
  }

  function onMouseUp(event) {
    if (!pressed) return;
    pressed = false;
    const point = byId('screen').width ? pointAt(event) : [0, 0];
    push([KIND_RELEASE, 0, 0, point[0], point[1]]);
  }

  // A focused field's accessible twin holds the dialog's selection and no
  // other: whatever the browser selects in it of its own (a long press, a
  // select-all of the page) is put back.
  function onSelectionChange() {
    if (composing) return;
    const field = described.find((n) => n.focused && n.role === 'textbox');
    const element = field && byId('access').children[described.indexOf(field) - 1];
    if (!element || document.activeElement !== element) return;
    if (element.selectionStart !== field.selection[0] || element.selectionEnd !== field.selection[1])
      element.setSelectionRange(field.selection[0], field.selection[1]);
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
    if (drawn && !hasEnded() && ((window.devicePixelRatio || 1) !== ratio || turned)) push([KIND_RESCALE, 0, 0, 0, 0]);
    placeAll();
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
    document.addEventListener('keydown', onKeyDown);
    // Touch keyboards type through the focused field's input events.
    document.addEventListener('beforeinput', onBeforeInput);
    document.addEventListener('compositionstart', () => { composing = true; });
    document.addEventListener('compositionend', onCompositionEnd);
    document.addEventListener('paste', onPaste);
    document.addEventListener('copy', onCopy);
    byId('screen').addEventListener('mousedown', onMouseDown);
    document.addEventListener('pointerdown', (event) => { pointerType = event.pointerType; }, true);
    document.addEventListener('mousemove', onMouseMove);
    document.addEventListener('mouseup', onMouseUp);
    document.addEventListener('selectionchange', onSelectionChange);
    document.addEventListener('select', onSelectionChange, true);
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

  return { present, beep, ended, nextEvent, copy, pastedText, describe, announce, startDpi, betterDpi, numbering };
})();
