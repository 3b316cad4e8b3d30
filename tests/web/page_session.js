// Plays one session on Brinmoor.html: node page_session.js chromium|firefox|webkit PAGE OUT-DIR
// with { width, height, scale, steps: [[kind, ...arguments]] } on standard input. Shots go to
// OUT-DIR/NAME.png at device pixels, after the shots of an earlier session there are removed so
// that none outlives a skip or failure; "commands" prints one JSON line. What
// the engine's automation cannot do prints "SKIP <engine>: <why>" and ends the session, exit 0.
'use strict';
const fs = require('fs');
const path = require('path');
const { Skip, engines, frames, started } = require('./engines');

const modifierNames = (mods) => [['shift', 'Shift'], ['ctrl', 'Control'], ['alt', 'Alt'],
  ['meta', 'Meta']].filter(([name]) => mods && mods[name]).map(([, key]) => key);

// A session's pointers: where each is and which buttons it holds. After a press or a release
// the page's last pointer event must show the asked pointer type and buttons; where the engine
// delivers something else, its automation cannot play the row. Nothing delivered is left to
// the checks on the page's state, as the page itself may have stopped the events.
const buttonBits = [1, 4, 2]; // left, middle, right as MouseEvent.buttons counts them
function pointers(tab) {
  const at = {}, held = {};
  return async (kind, type, x, y, button = 0) => {
    if (kind === 'up' && String(at[type]) !== String([x, y])) // a real release lands where it moved
      await tab.pointer('move', type, x, y, button);
    at[type] = [x, y];
    await tab.pointer(kind, type, x, y, button);
    const before = held[type] || 0, bit = buttonBits[button];
    held[type] = kind === 'down' ? before | bit : kind === 'up' ? before & ~bit : before;
    if (kind === 'move')
      return;
    const events = await tab.evaluate(() => window.pointerEvents.splice(0));
    const [last, asked] = [events[events.length - 1], `${kind} of ${type} button ${button}`];
    if (kind === 'down' && !before && !events.some(([name]) => name === 'pointerdown'))
      throw new Error(`the page received no pointerdown for the ${asked} at ${x},${y}`);
    if (last && (last[1] !== type || last[2] !== held[type]))
      throw new Skip(`the ${asked} reaches the page as ${last[1]} ${last[0]} with buttons `
        + `${last[2]}, not ${type} with buttons ${held[type]}`);
  };
}

const steps = {
  down: (tab, s, ...args) => s.pointer('down', ...args),
  move: (tab, s, ...args) => s.pointer('move', ...args),
  up: (tab, s, ...args) => s.pointer('up', ...args),
  click: async (tab, s, id) => {
    const centre = await tab.evaluate((which) => {
      const r = document.getElementById(which).getBoundingClientRect();
      return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)];
    }, id);
    await s.pointer('down', 'mouse', ...centre, 0);
    await s.pointer('up', 'mouse', ...centre, 0);
  },
  key: async (tab, s, key, mods) => {
    await tab.evaluate(() => document.getElementById('surface').focus());
    await tab.key(key, modifierNames(mods));
  },
  resize: async (tab, s, width, height, scale) => {
    await tab.resize(width, height, scale);
    Object.assign(s, { width, height, scale });
  },
  shot: async (tab, s, name) => {
    const png = await tab.shot(), size = [png.readUInt32BE(16), png.readUInt32BE(20)];
    if (String(size) !== String([s.width * s.scale, s.height * s.scale]))
      throw new Error(`shot ${name} is ${size.join('×')} pixels, not ${s.width * s.scale}×`
        + `${s.height * s.scale}`);
    fs.writeFileSync(path.join(s.outDir, name + '.png'), png);
  },
  // Every draw command of one full repaint, as the page's painter reports them.
  commands: async (tab) => {
    const traced = await tab.evaluate(() => {
      const repaint = window.brinmoorRepaintAll || Module.brinmoorRepaint;
      window.brinmoorTrace = [];
      return repaint && (repaint(), true);
    });
    if (!traced)
      throw new Error('the page has no full repaint to trace (brinmoorRepaintAll)');
    await frames(tab);
    console.log(JSON.stringify({ commands: await tab.evaluate(() =>
      [window.brinmoorTrace, delete window.brinmoorTrace][0]) }));
  },
};

async function play(engine, page, outDir) {
  if (!engines[engine] || !outDir)
    throw new Error('usage: node page_session.js chromium|firefox|webkit PAGE OUT-DIR < SESSION');
  const session = JSON.parse(fs.readFileSync(0, 'utf8'));
  if (!fs.existsSync(page))
    throw new Error(page + ' is missing: build it with scripts/web');
  fs.mkdirSync(outDir, { recursive: true });
  for (const old of fs.readdirSync(outDir).filter((name) => name.endsWith('.png')))
    fs.unlinkSync(path.join(outDir, old));
  const tab = await engines[engine](path.resolve(page), session);
  try {
    const s = { ...session, outDir, pointer: pointers(tab) };
    await started(tab);
    await tab.evaluate(() => {
      window.pointerEvents = [];
      for (const name of ['pointerdown', 'pointermove', 'pointerup'])
        addEventListener(name, (e) => pointerEvents.push([name, e.pointerType, e.buttons]), true);
    });
    await frames(tab);
    for (const [kind, ...args] of session.steps) {
      if (!steps[kind])
        throw new Error('no such step: ' + kind);
      await steps[kind](tab, s, ...args);
      await frames(tab);
    }
  } finally {
    await tab.close();
  }
}

const [engine, ...args] = process.argv.slice(2);
play(engine, ...args).catch((error) => {
  if (!(error instanceof Skip)) {
    console.error(error.message);
    process.exit(1);
  }
  console.log(`SKIP ${engine}: ${error.message}`);
});
