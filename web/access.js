// What a screen reader finds on the page: the controls as the program
// describes them (platform/screens/browser/), in the page's accessibility
// tree, one element each, laid over its pixels (so that a tap on it lands
// there too), while the drawing itself is hidden from screen readers. The
// field the program has focused has the page's focus, with the same
// selection, and nothing the browser selects of its own; what the program
// says a screen reader should say goes to a live region. Loaded ahead of
// screen.js, which starts it.
Module.rgbhsvAccess = (function () {
  'use strict';
  const byId = (id) => document.getElementById(id);
  let described = [];  // the last description
  let screen = null;   // what the screen lends: the canvas's box on the page, a press within a control

  function start(lent) {
    screen = lent;
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

  // Each control's element, where the dialog is now: its pixels are the
  // dialog's.
  function placeEach(nodes, each) {
    const dialog = nodes[0], box = screen.canvasBox();
    nodes.slice(1).forEach((node, i) => {
      const element = byId('access').children[i];
      place(element, [node.box[0] - dialog.box[0], node.box[1] - dialog.box[1], node.box[2], node.box[3]],
            node.role, box);
      if (each) each(node, element);
    });
  }

  function placeAll() {
    if (described[0]) placeEach(described);
  }

  // The pixels of the control an element stands for, as last described.
  function boxOf(element) {
    return described[Number(element.dataset.node)].box;
  }

  function makeElement(node, index) {
    let element;
    const pressed = (event) => screen.pressInside(event, boxOf(element));
    if (node.role === 'textbox') {
      element = document.createElement('input');
      Object.assign(element, { type: 'text', tabIndex: -1, autocomplete: 'off', spellcheck: false });
      element.setAttribute('inputmode', 'numeric');
      element.setAttribute('autocapitalize', 'off');
      element.addEventListener('mousedown', pressed);
    } else if (node.role === 'button' || node.role === 'close') {
      element = document.createElement('button');
      Object.assign(element, { type: 'button', tabIndex: -1 });
      if (node.role === 'close') element.addEventListener('mousedown', pressed);
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
    layer.setAttribute('role', 'dialog');
    layer.setAttribute('aria-label', nodes[0].name);
    placeEach(nodes, (node, element) => {
      if (node.role === 'textbox') {
        element.setAttribute('aria-label', node.name);
        if (element.value !== node.value) element.value = node.value;
        if (node.focused) {
          if (document.activeElement !== element) element.focus({ preventScroll: true });
          // Setting a selection lays the page out: only when it moved.
          if (element.selectionStart !== node.selection[0] || element.selectionEnd !== node.selection[1])
            element.setSelectionRange(node.selection[0], node.selection[1]);
        }
      } else if (node.role === 'close' || node.role === 'img') {
        element.setAttribute('aria-label', node.name);
      } else {
        element.textContent = node.name;
      }
      if (node.role === 'button') element.disabled = node.disabled;
      if (node.role === 'text') element.classList.toggle('disabled', node.disabled);
    });
    described = nodes;
  }

  // The focused field's element, given back the program's text and
  // selection (after an input method showed its own in it), or, with only
  // `selection`, its selection where the browser moved it (a long press, a
  // select-all of the page).
  function restoreFocused(selectionOnly) {
    const field = described.find((n) => n.focused && n.role === 'textbox');
    const element = field && byId('access').children[described.indexOf(field) - 1];
    if (!element || (selectionOnly && document.activeElement !== element)) return;
    if (!selectionOnly) element.value = field.value;
    if (element.selectionStart !== field.selection[0] || element.selectionEnd !== field.selection[1])
      element.setSelectionRange(field.selection[0], field.selection[1]);
  }

  // What the program says a screen reader should say now (a beep, a number
  // refused), through the live region.
  function announce(text) {
    const region = byId('announce');
    region.textContent = '';
    setTimeout(() => { region.textContent = text; }, 0);
  }

  // The dialog is gone.
  function hide() {
    byId('access').hidden = true;
  }

  return { start, describe, placeAll, restoreFocused, announce, hide };
})();
