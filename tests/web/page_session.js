// Plays one session on Brinmoor.html: node page_session.js ENGINE PAGE OUT-DIR with
// { width, height, scale, steps: [[kind, ...arguments]] } on standard input. Shots go to
// OUT-DIR/NAME.png; "segments" and "commands" print one JSON line each. What the engine
// cannot do prints "SKIP <engine>: <why>" and ends the session with exit 0.
'use strict';
const fs = require('fs');
const path = require('path');
const { launch, open } = require('./chromium');

class Skip extends Error {}
const frames = (tab) => tab.evaluate(() =>
  new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
const buttonNames = ['left', 'middle', 'right'], buttonBits = [1, 4, 2];

// DevTools input events: touch, or a mouse or pen pointer whose held buttons stay in every
// later event, as a real mouse's do.
function pointer(cdp) {
  const held = { mouse: 0, pen: 0 };
  return (kind, type, x, y, button = 0) => {
    if (type === 'touch')
      return cdp.send('Input.dispatchTouchEvent', { touchPoints: kind === 'up' ? [] : [{ x, y }],
        type: { down: 'touchStart', move: 'touchMove', up: 'touchEnd' }[kind] });
    const bit = kind === 'move' ? 0 : buttonBits[button];
    held[type] = kind === 'up' ? held[type] & ~bit : held[type] | bit;
    return cdp.send('Input.dispatchMouseEvent', { x, y, pointerType: type,
      type: { down: 'mousePressed', move: 'mouseMoved', up: 'mouseReleased' }[kind],
      button: bit ? buttonNames[button] : 'none', buttons: held[type], clickCount: bit ? 1 : 0 });
  };
}

const steps = {
  drag: async (tab, send, type, [first, ...rest], button) => {
    await send('down', type, ...first, button);
    for (const p of rest)
      await send('move', type, ...p);
    await send('up', type, ...rest.length ? rest[rest.length - 1] : first, button);
  },
  down: (tab, send, ...args) => send('down', ...args),
  move: (tab, send, ...args) => send('move', ...args),
  up: (tab, send, ...args) => send('up', ...args),
  click: (tab, send, id) => tab.click('#' + id),
  key: async (tab, send, key, mods = {}) => {
    await tab.focus('#surface');
    const held = [['shift', 'Shift'], ['ctrl', 'Control'], ['alt', 'Alt'], ['meta', 'Meta']]
      .filter(([name]) => mods[name]).map(([, name]) => name);
    for (const m of held)
      await tab.keyboard.down(m);
    await tab.keyboard.press(key);
    for (const m of held.reverse())
      await tab.keyboard.up(m);
  },
  resize: (tab, send, width, height, deviceScaleFactor) =>
    tab.setViewport({ width, height, deviceScaleFactor }),
  shot: (tab, send, name, outDir) => tab.screenshot({ path: path.join(outDir, name + '.png') }),
  segments: async (tab) => console.log(JSON.stringify({ segments: await tab.evaluate(() =>
    Array.from(Module.HEAPF32.subarray(Module._bm_segments() >> 2).slice(0, 55))) })),
  commands: async (tab) => {
    if (!await tab.evaluate(() => typeof window.brinmoorRepaintAll === 'function'))
      throw new Error('the page has no full repaint to trace (brinmoorRepaintAll)');
    await tab.evaluate(() => { window.brinmoorTrace = []; window.brinmoorRepaintAll(); });
    await frames(tab);
    console.log(JSON.stringify({ commands: await tab.evaluate(() => window.brinmoorTrace) }));
  },
};

(async () => {
  const [engine, page, outDir] = process.argv.slice(2);
  const session = JSON.parse(fs.readFileSync(0, 'utf8'));
  if (engine !== 'chromium')
    throw new Skip('this driver knows only chromium so far');
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launch();
  try {
    const tab = await open(browser, page, session);
    await tab.waitForFunction(() => Module.calledRun);
    const send = pointer(await tab.createCDPSession());
    for (const [kind, ...args] of session.steps) {
      await steps[kind](tab, send, ...args, outDir);
      await frames(tab);
    }
  } finally {
    await browser.close();
  }
})().catch((error) => {
  if (error instanceof Skip)
    return console.log(`SKIP ${process.argv[2]}: ${error.message}`);
  console.error(error.message);
  process.exit(1);
});
