// Plays one scripted session on Brinmoor.html in Debian's headless Chromium and records what
// the page shows. Usage: node page_session.js PAGE OUT-DIR < session.json, where the session is
// { width, height, scale, steps: [[kind, ...arguments], ...] } with the kinds below. Shots go
// to OUT-DIR/NAME.png; "segments" prints the core's figure segments as one JSON line.
'use strict';
const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const puppeteer = require('puppeteer-core');

const kChromium = '/usr/bin/chromium';

async function launch() {
  if (!fs.existsSync(kChromium))
    throw new Error(kChromium + ' is missing: install Debian\'s chromium (scripts/setup)');
  const args = ['--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--hide-scrollbars'];
  if (process.getuid && process.getuid() === 0)
    args.push('--no-sandbox');
  return puppeteer.launch({ executablePath: kChromium, headless: true, args,
    userDataDir: fs.mkdtempSync(path.join(require('os').tmpdir(), 'brinmoor-chromium-')) });
}

// The page at the given size and scale, its first frame painted.
async function open(browser, page, { width, height, scale }) {
  if (!fs.existsSync(page))
    throw new Error(page + ' is missing: build it with scripts/web');
  const tab = await browser.newPage();
  await tab.setViewport({ width, height, deviceScaleFactor: scale });
  await tab.goto(pathToFileURL(page).href);
  await tab.waitForFunction(() => typeof Module._bm_width === 'function' && Module.calledRun);
  await frames(tab);
  return tab;
}

function frames(tab) {
  return tab.evaluate(() => new Promise((done) =>
    requestAnimationFrame(() => requestAnimationFrame(done))));
}

// One drag along the points with a pointer of the given type, through DevTools input events.
async function drag(cdp, type, points) {
  const [first, ...rest] = points;
  if (type === 'touch') {
    const touch = (t, [x, y]) => cdp.send('Input.dispatchTouchEvent',
      { type: t, touchPoints: t === 'touchEnd' ? [] : [{ x, y, id: 1 }] });
    await touch('touchStart', first);
    for (const p of rest)
      await touch('touchMove', p);
    await touch('touchEnd', points[points.length - 1]);
    return;
  }
  const mouse = (t, [x, y], buttons) => cdp.send('Input.dispatchMouseEvent', { type: t, x, y,
    button: 'left', buttons, clickCount: t === 'mouseMoved' ? 0 : 1, pointerType: type });
  await mouse('mousePressed', first, 1);
  for (const p of rest)
    await mouse('mouseMoved', p, 1);
  await mouse('mouseReleased', points[points.length - 1], 0);
}

const steps = {
  mouse: (tab, cdp, points) => drag(cdp, 'mouse', points),
  pen: (tab, cdp, points) => drag(cdp, 'pen', points),
  touch: (tab, cdp, points) => drag(cdp, 'touch', points),
  click: (tab, cdp, id) => tab.click('#' + id),
  key: async (tab, cdp, key, shift) => {
    await tab.focus('#surface');
    if (shift)
      await tab.keyboard.down('Shift');
    await tab.keyboard.press(key);
    if (shift)
      await tab.keyboard.up('Shift');
  },
  resize: (tab, cdp, width, height, scale) =>
    tab.setViewport({ width, height, deviceScaleFactor: scale }),
  shot: (tab, cdp, name, outDir) =>
    tab.screenshot({ path: path.join(outDir, name + '.png'), optimizeForSpeed: false }),
  segments: async (tab) => console.log(JSON.stringify(await tab.evaluate(() =>
    Array.from(Module.HEAPF32.subarray(Module._bm_segments() >> 2, (Module._bm_segments() >> 2) + 55)))))
};

async function main() {
  const [page, outDir] = process.argv.slice(2);
  const session = JSON.parse(fs.readFileSync(0, 'utf8'));
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launch();
  try {
    const tab = await open(browser, page, session);
    const cdp = await tab.createCDPSession();
    for (const [kind, ...args] of session.steps) {
      await steps[kind](tab, cdp, ...args, outDir);
      await frames(tab);
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
