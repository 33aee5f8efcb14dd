// The terminal's leg of the key session: plays a session script into the
// program running in a tmux pane, as tmux sends each key, and after every
// key reads the pane back (the six fields' text, the focused field from the
// cursor, the selection from reverse video) until it shows the state the
// Windows build showed, or says where it did not.
// usage: node terminal_keys.js SOCKET PANE SCRIPT EXPECTED_TRACE
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');

const [socket, pane, script, expected_file] = process.argv.slice(2);
const expected = fs.readFileSync(expected_file, 'utf8').trim().split('\n').map((line) => line.replace(/^\d+: /, ''));
const tmux = (...args) => execFileSync('tmux', ['-L', socket, ...args], { encoding: 'utf8' });

// tmux's names for the session's key words.
const kKeys = { tab: 'Tab', btab: 'BTab', bs: 'BSpace', left: 'Left', right: 'Right', up: 'Up', down: 'Down',
                home: 'Home', end: 'End', del: 'DC', ins: 'IC' };
function tmuxKey(word) {
  const dash = word.indexOf('-');
  const prefix = dash > 0 ? word.slice(0, dash) : '';
  const name = dash > 0 ? word.slice(dash + 1) : word;
  if (/^\d+$/.test(word)) return ['-l', word];
  const mods = (prefix.includes('c') ? 'C-' : '') + (prefix.includes('a') ? 'M-' : '') + (prefix.includes('s') ? 'S-' : '');
  return [mods + (kKeys[name] || name)];
}

// One row of capture-pane -e: each cell's character and whether it is in
// reverse video.
function cells(line) {
  const out = [];
  let reverse = false;
  for (let i = 0; i < line.length;) {
    if (line[i] === '\x1b' && line[i + 1] === '[') {
      const end = line.indexOf('m', i);
      const params = line.slice(i + 2, end).split(';').map(Number);
      for (let k = 0; k < params.length; k++) {
        const p = params[k];
        if (p === 38 || p === 48) k += params[k + 1] === 5 ? 2 : 4;  // a colour's own numbers
        else if (p === 0) reverse = false;
        else if (p === 7) reverse = true;
        else if (p === 27) reverse = false;
      }
      i = end + 1;
      continue;
    }
    const ch = String.fromCodePoint(line.codePointAt(i));
    out.push({ ch, reverse });
    i += ch.length;
  }
  return out;
}

// The state as scenario_host and the probe print it, read off the pane.
function state() {
  const rows = tmux('capture-pane', '-p', '-e', '-t', pane).split('\n').map(cells);
  const [cx, cy, shown] = tmux('display', '-p', '-t', pane, '#{cursor_x} #{cursor_y} #{cursor_flag}').trim().split(' ').map(Number);
  const text = (row) => row.map((c) => c.ch).join('');
  const fields = [];
  for (const label of ['RGB color:', 'HSV color:']) {
    const y = rows.findIndex((row) => text(row).includes(label));
    if (y < 0) return 'no dialog';
    const x = [...text(rows[y]).slice(0, text(rows[y]).indexOf(label))].length;
    // Three fields two rows below their label, eight cells apart, seven wide.
    for (let i = 0; i < 3; i++) fields.push({ x: x + 8 * i, y: y + 2, id: (label[0] === 'R' ? 1003 : 1006) + i });
  }
  let focus = 0, sel = '0-0';
  const texts = fields.map((f) => {
    const span = rows[f.y].slice(f.x, f.x + 7);
    if (shown && cy === f.y && cx >= f.x && cx < f.x + 8) {
      focus = f.id;
      const picked = span.map((c, i) => (c.reverse ? i : -1)).filter((i) => i >= 0);
      sel = picked.length ? `${picked[0]}-${picked[picked.length - 1] + 1}` : `${cx - f.x}-${cx - f.x}`;
    }
    return span.map((c) => c.ch).join('').trim();
  });
  return `${texts.slice(0, 3).join(' ')} / ${texts.slice(3).join(' ')} | focus ${focus} sel ${sel}`;
}

function settle(want) {
  const deadline = Date.now() + 3000;
  let now = state();
  while (now !== want && Date.now() < deadline) {
    execFileSync('sleep', ['0.01']);
    now = state();
  }
  return now;
}

const words = script.split(' ');
let failed = false;
for (let n = 0; n <= words.length && !failed; n++) {
  if (n > 0) tmux('send-keys', '-t', pane, ...tmuxKey(words[n - 1]));
  const seen = settle(expected[n]);
  if (seen !== expected[n]) {
    console.log(`after key ${n} (${n ? words[n - 1] : 'start'}):\n  Windows:  ${expected[n]}\n  terminal: ${seen}`);
    failed = true;
  }
}
process.exitCode = failed ? 1 : 0;
