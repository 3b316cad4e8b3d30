// Plays one session on Brinmoor.html: node page_session.js chromium|firefox|webkit PAGE OUT-DIR
// with { width, height, scale, steps } on standard input, each step all of a session step's
// fields: { kind, pointer, button, x, y, scale, key, Shift, Control, Alt, Meta, name } (a
// resize's size in x and y, a click's place in x and y). Shots go to OUT-DIR/NAME.png at
// device pixels and "commands" writes the painted draw commands to OUT-DIR/commands.json, in a
// folder emptied first so that nothing outlives a skip or failure. What the engine's automation
// cannot do prints "SKIP <engine>: <why>", alone on standard output, and ends the session.
'use strict';
const fs = require('fs');
const path = require('path');
const { Skip, engines, frames, started } = require('./engines');

// A session's pointers: where each is and which buttons it holds. After a press or a release
// the page's last pointer event must show the asked pointer type and buttons; where the engine
// delivers something else, its automation cannot play the row. Nothing delivered is left to
// the checks on the page's state, as the page itself may have stopped the events.
function pointers(tab) {
  const at = {}, held = {};
  return async ({ kind, pointer: type, x, y, button }) => {
    if (kind === 'up' && String(at[type]) !== String([x, y])) // a real release lands where it moved
      await tab.pointer('move', type, x, y, button);
    at[type] = [x, y];
    await tab.pointer(kind, type, x, y, button);
    const before = held[type] || 0, bit = [1, 4, 2][button]; // as MouseEvent.buttons has them
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

// What each kind of step does in the tab, shots and commands going to outDir.
function player(tab, outDir) {
  const pointer = pointers(tab);
  const save = (name, data) => fs.writeFileSync(path.join(outDir, name), data);
  return {
    down: pointer, move: pointer, up: pointer,
    click: async (step) => {
      await pointer({ ...step, kind: 'down' });
      await pointer({ ...step, kind: 'up' });
    },
    key: async (step) => {
      await tab.evaluate(() => document.getElementById('surface').focus());
      await tab.key(step.key, ['Shift', 'Control', 'Alt', 'Meta'].filter((name) => step[name]));
    },
    resize: ({ x, y, scale }) => tab.resize(x, y, scale),
    shot: async ({ name }) => save(name + '.png', await tab.shot()),
    // Every draw command of one full repaint, as the page's painter reports them.
    commands: async () => {
      await tab.evaluate(() => {
        window.brinmoorTrace = [];
        brinmoorRepaintAll();
      });
      await frames(tab);
      save('commands.json', JSON.stringify(await tab.evaluate(() => brinmoorTrace)));
    },
  };
}

async function play(engine, page, outDir) {
  if (!engines[engine] || !outDir)
    throw new Error('usage: node page_session.js chromium|firefox|webkit PAGE OUT-DIR < SESSION');
  const session = JSON.parse(fs.readFileSync(0, 'utf8'));
  if (!fs.existsSync(page))
    throw new Error(page + ' is missing: build it with scripts/web');
  fs.rmSync(outDir, { recursive: true, force: true });
  fs.mkdirSync(outDir, { recursive: true });
  const tab = await engines[engine](path.resolve(page), session);
  try {
    await tab.evaluate(() => {
      window.pointerEvents = [];
      for (const name of ['pointerdown', 'pointermove', 'pointerup'])
        addEventListener(name, (e) => pointerEvents.push([name, e.pointerType, e.buttons]), true);
    });
    await started(tab);
    const steps = player(tab, outDir);
    for (const step of session.steps) {
      await steps[step.kind](step);
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
