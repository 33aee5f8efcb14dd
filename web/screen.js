// The page's half of the browser screen (platform/screens/browser/): it
// draws each frame as text, turns the page's keys, clicks, taps and pastes
// into events for the program, carries the program's copies to the
// browser's clipboard, beeps, and says when the program has ended.
// Loaded ahead of the program's own script.
Module.rgbhsvScreen = (function () {
  'use strict';
  const queue = [];     // events the program has not taken yet
  let waiting = null;   // the program's request for the next one
  let beeps = 0;
  let audio = null;
  let drawn = false;
  let pasted = '';       // the text of the last paste, until the program takes it
  let copying = null;    // what the program is copying, for the copy event

  // Event kinds, keys and modifiers as browser_screen.cpp decodes them.
  const KIND_KEY = 1, KIND_CHAR = 2, KIND_CLICK = 3, KIND_PASTE = 4;
  const KEYS = { Backspace: 1, Tab: 2, Enter: 3, Escape: 4, ArrowLeft: 5, ArrowRight: 6, Home: 7, End: 8, Delete: 9,
                 ArrowUp: 10, ArrowDown: 11, Insert: 12 };
  const SHIFT = 1, CTRL = 2, ALT = 4;
  const ATTR_BOLD = 1, ATTR_UNDERLINE = 2, ATTR_REVERSE = 4, ATTR_DIM = 64;
  // A cell's role, the byte after its attributes.
  const ROLE_CLASSES = ['', 'caption', 'field', 'content'];
  const DEFAULT_COLOUR = 0xFF000000;

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

  function css(colour) {
    return 'rgb(' + (colour & 255) + ',' + ((colour >>> 8) & 255) + ',' + ((colour >>> 16) & 255) + ')';
  }

  function escape(text) {
    return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }

  function span(x, text, fg, bg, attrs, role, caret) {
    if (attrs & ATTR_REVERSE) [fg, bg] = [bg, fg];
    const classes = [];
    if (ROLE_CLASSES[role]) classes.push(ROLE_CLASSES[role]);
    if (attrs & ATTR_BOLD) classes.push('bold');
    if (attrs & ATTR_UNDERLINE) classes.push('underline');
    if (attrs & ATTR_DIM) classes.push('dim');
    if (attrs & ATTR_REVERSE) classes.push('reverse');
    if (caret) classes.push('caret');
    let style = '';
    if (fg !== DEFAULT_COLOUR) style += 'color:' + css(fg) + ';';
    if (bg !== DEFAULT_COLOUR) style += 'background:' + css(bg) + ';';
    return '<span data-x="' + x + '" class="' + classes.join(' ') + '" style="' + style + '">' + escape(text) + '</span>';
  }

  function present(cells, width, height, caretVisible, caretX, caretY) {
    const words = HEAPU32, bytes = HEAPU8;
    let html = '';
    for (let y = 0; y < height; y++) {
      html += '<div class="row">';
      let start = 0, text = '', key = null, fg = 0, bg = 0, attrs = 0, role = 0, caret = false;
      for (let x = 0; x <= width; x++) {
        let cellKey = null;
        let ch = 0, cellFg = 0, cellBg = 0, cellAttrs = 0, cellRole = 0, cellCaret = false;
        if (x < width) {
          const at = cells + 16 * (y * width + x);
          ch = words[at >> 2];
          cellFg = words[(at >> 2) + 1];
          cellBg = words[(at >> 2) + 2];
          cellAttrs = bytes[at + 12];
          cellRole = bytes[at + 13];
          cellCaret = caretVisible !== 0 && x === caretX && y === caretY;
          cellKey = cellFg + ',' + cellBg + ',' + cellAttrs + ',' + cellRole + (cellCaret ? ',caret' : '');
        }
        // A run of cells in one style is one span; the caret's cell, whose
        // key is its own, stands alone.
        if (cellKey !== key) {
          if (key !== null) html += span(start, text, fg, bg, attrs, role, caret);
          start = x;
          text = '';
          key = cellKey;
          [fg, bg, attrs, role, caret] = [cellFg, cellBg, cellAttrs, cellRole, cellCaret];
        }
        if (x < width) text += String.fromCodePoint(ch);
      }
      html += '</div>';
    }
    const grid = byId('grid');
    grid.style.setProperty('--columns', width);
    grid.style.setProperty('--rows', height);
    grid.innerHTML = html;
    if (!drawn || gridSize[0] !== width || gridSize[1] !== height) gridBox = null;
    gridSize = [width, height];
    blinkFromOn();
    if (!drawn) {
      drawn = true;
      document.body.dataset.firstFrame = performance.now().toFixed(1);
    }
  }

  // --- What a screen reader finds ----------------------------------------------

  // The controls as the program describes them, in the page's accessibility
  // tree: one element each, laid over its cells (so a tap on it lands there
  // too), while the drawing itself is hidden from screen readers. The field
  // the program has focused has the page's focus, with the same selection.
  let described = [];     // the last description
  let refused = null;     // the focused field's text when the program beeped
  let gridSize = [55, 12];
  // The grid's size on the page, read when it may have changed (a new
  // size of grid, a resize, the fonts arriving) and not on every frame:
  // each read after a change lays the page out.
  let gridBox = null;
  function gridSizeOnPage() {
    if (!gridBox) gridBox = byId('grid').getBoundingClientRect();
    return gridBox;
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
    const caret = byId('grid').querySelector('.caret');
    if (!caret || hasEnded() || document.hidden || (reducedMotion && reducedMotion.matches)) return;
    blinkTimer = setInterval(() => caret.classList.toggle('off'), kBlinkMs);
  }

  // Lays an element over its cells, in CSS pixels. Fields and the close box
  // reach further, so that a finger a little off still lands on them: a
  // field half a finger above and below its row, the close box that far
  // every way round its glyph.
  const kReach = 13;
  // `box` is the grid's size, read once for all the elements.
  function place(element, cells, role, box) {
    const w = box.width / gridSize[0], h = box.height / gridSize[1];
    let left = cells[0] * w, top = cells[1] * h, width = cells[2] * w, height = cells[3] * h;
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
    const dialog = described[0];
    if (!dialog) return;
    gridBox = null;
    const box = gridSizeOnPage();
    described.slice(1).forEach((node, i) => {
      place(byId('access').children[i], [node.cells[0] - dialog.cells[0], node.cells[1] - dialog.cells[1],
                                         node.cells[2], node.cells[3]], node.role, box);
    });
  }

  // The cells of the control an element stands for, as last described.
  function cellsOf(element) {
    return described[Number(element.dataset.node)].cells;
  }

  function makeElement(node, index) {
    let element;
    if (node.role === 'textbox') {
      element = document.createElement('input');
      Object.assign(element, { type: 'text', tabIndex: -1, autocomplete: 'off', spellcheck: false });
      element.setAttribute('inputmode', 'numeric');
      element.setAttribute('autocapitalize', 'off');
      element.addEventListener('mousedown', (event) => clickInside(event, cellsOf(element)));
    } else if (node.role === 'button' || node.role === 'close') {
      element = document.createElement('button');
      Object.assign(element, { type: 'button', tabIndex: -1 });
      if (node.role === 'close') {
        element.addEventListener('mousedown', (event) => {
          event.preventDefault();
          clickInside(event, cellsOf(element));
        });
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
    const box = gridSizeOnPage();
    nodes.slice(1).forEach((node, i) => {
      const element = layer.children[i];
      place(element, [node.cells[0] - dialog.cells[0], node.cells[1] - dialog.cells[1], node.cells[2], node.cells[3]],
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
    if (refused !== null) {
      const field = nodes.find((n) => n.focused && n.role === 'textbox');
      if (field && field.value !== refused) {
        announce(`${refused} is more than ${field.value}: set to ${field.value}`);
        refused = null;
      }
    }
    described = nodes;
  }

  function announce(text) {
    const region = byId('announce');
    region.textContent = '';
    setTimeout(() => { region.textContent = text; }, 0);
  }

  // --- Sound -------------------------------------------------------------------

  let bellTimer = 0;
  function beep() {
    const field = described.find((n) => n.focused && n.role === 'textbox');
    refused = field ? field.value : null;
    if (refused === null) announce('Beep');
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

  function cellAt(event) {
    const grid = byId('grid');
    const rows = grid.querySelectorAll('.row');
    if (!rows.length) return null;
    const box = grid.getBoundingClientRect();
    const columns = Number(grid.style.getPropertyValue('--columns')) || 1;
    const x = Math.floor((event.clientX - box.left) / (box.width / columns));
    const y = Math.floor((event.clientY - box.top) / (box.height / rows.length));
    return [Math.min(Math.max(x, 0), columns - 1), Math.min(Math.max(y, 0), rows.length - 1)];
  }

  function onMouseDown(event) {
    if (event.button !== 0) return;
    event.preventDefault();  // the focused field keeps the focus
    const cell = cellAt(event);
    if (cell) push([KIND_CLICK, 0, 0, cell[0], cell[1]]);
  }

  // A click or tap on a control's element: the cell under it, kept within
  // the control's cells, so that a finger a little off still lands there.
  function clickInside(event, cells) {
    if (event.button !== 0) return;
    const cell = cellAt(event) || [cells[0], cells[1]];
    const x = Math.min(Math.max(cell[0], cells[0]), cells[0] + cells[2] - 1);
    const y = Math.min(Math.max(cell[1], cells[1]), cells[1] + cells[3] - 1);
    push([KIND_CLICK, 0, 0, x, y]);
  }

  function start() {
    document.addEventListener('keydown', onKeyDown);
    // Touch keyboards type through the focused field's input events.
    document.addEventListener('beforeinput', onBeforeInput);
    document.addEventListener('compositionstart', () => { composing = true; });
    document.addEventListener('compositionend', onCompositionEnd);
    document.addEventListener('paste', onPaste);
    document.addEventListener('copy', onCopy);
    byId('grid').addEventListener('mousedown', onMouseDown);
    window.addEventListener('resize', placeAll);  // a phone turned, a window resized
    if (document.fonts) document.fonts.ready.then(placeAll);
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

  return { present, beep, ended, nextEvent, copy, pastedText, describe };
})();
