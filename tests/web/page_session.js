// Plays one session on Brinmoor.html in headless Chromium: node page_session.js PAGE OUT-DIR
// with { width, height, scale, steps: [[kind, ...arguments]] } on standard input. Shots go to
// OUT-DIR/NAME.png; "segments" prints the core's figure segments as a JSON line.
'use strict';
const fs = require('fs');
const path = require('path');
const { launch, open } = require('./chromium');

const frames = (tab) => tab.evaluate(() =>
  new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

// A drag along the points through DevTools input events: touch, or a mouse or pen pointer.
async function drag(cdp, pointerType, [first, ...rest]) {
  const last = rest[rest.length - 1] || first;
  const send = pointerType === 'touch'
    ? (type, [x, y]) => cdp.send('Input.dispatchTouchEvent',
      { type: ['touchStart', 'touchMove', 'touchEnd'][type],
        touchPoints: type < 2 ? [{ x, y }] : [] })
    : (type, [x, y]) => cdp.send('Input.dispatchMouseEvent', { pointerType, x, y, button: 'left',
      type: ['mousePressed', 'mouseMoved', 'mouseReleased'][type], buttons: type < 2 ? 1 : 0,
      clickCount: type === 1 ? 0 : 1 });
  await send(0, first);
  for (const p of rest)
    await send(1, p);
  await send(2, last);
}

const steps = {
  pointer: (tab, cdp, type, points) => drag(cdp, type, points), // mouse, pen or touch
  click: (tab, cdp, id) => tab.click('#' + id),
  key: async (tab, cdp, key, shift) => {
    await tab.focus('#surface');
    await tab.keyboard[shift ? 'down' : 'up']('Shift');
    await tab.keyboard.press(key);
    await tab.keyboard.up('Shift');
  },
  resize: (tab, cdp, width, height, deviceScaleFactor) =>
    tab.setViewport({ width, height, deviceScaleFactor }),
  shot: (tab, cdp, name, outDir) => tab.screenshot({ path: path.join(outDir, name + '.png') }),
  segments: async (tab) => console.log(JSON.stringify(await tab.evaluate(() =>
    Array.from(Module.HEAPF32.subarray(Module._bm_segments() >> 2).slice(0, 55))))),
};

(async () => {
  const [page, outDir] = process.argv.slice(2);
  const session = JSON.parse(fs.readFileSync(0, 'utf8'));
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launch();
  try {
    const tab = await open(browser, page, session);
    await tab.waitForFunction(() => Module.calledRun);
    const cdp = await tab.createCDPSession();
    for (const [kind, ...args] of session.steps) {
      await steps[kind](tab, cdp, ...args, outDir);
      await frames(tab);
    }
  } finally {
    await browser.close();
  }
})().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
