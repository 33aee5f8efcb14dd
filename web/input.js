// The page's keys, clicks, drags, taps and pastes, as the program's events
// (the browser screen's, platform/screens/browser/): each event is five
// numbers, which `numbering` gives the program when it starts. The browser
// keeps its own shortcuts; the mouse's presses are the program's alone; an
// input method's text arrives once, committed. Loaded ahead of screen.js,
// which starts it with its queue.
Module.rgbhsvInput = (function () {
  'use strict';
  const byId = (id) => document.getElementById(id);
  const access = Module.rgbhsvAccess;
  let push = null;  // the screen's queue
  let pasted = '';  // the text of the last paste, until the program takes it

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

  function pushText(text) {
    // The field's own rules decide what is taken; controls never reach it.
    for (const c of text) {
      const code = c.codePointAt(0);
      if (code >= 0x20 && code !== 0x7F && code <= 0xFFFF) push([KIND_CHAR, code, 0, 0, 0]);
    }
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
    access.restoreFocused(false);
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

  function start(queue) {
    push = queue;
    document.addEventListener('keydown', onKeyDown);
    // Touch keyboards type through the focused field's input events.
    document.addEventListener('beforeinput', onBeforeInput);
    document.addEventListener('compositionstart', () => { composing = true; });
    document.addEventListener('compositionend', onCompositionEnd);
    document.addEventListener('paste', onPaste);
    byId('screen').addEventListener('mousedown', onMouseDown);
    document.addEventListener('pointerdown', (event) => { pointerType = event.pointerType; }, true);
    document.addEventListener('mousemove', onMouseMove);
    document.addEventListener('mouseup', onMouseUp);
    // A focused field's accessible twin holds the dialog's selection and no
    // other: whatever the browser selects in it of its own is put back.
    const keepSelection = () => composing || access.restoreFocused(true);
    document.addEventListener('selectionchange', keepSelection);
    document.addEventListener('select', keepSelection, true);
  }

  return { start, numbering, pastedText, pressInside };
})();
