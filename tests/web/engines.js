// The browsers a page session runs in. Each opener takes a page and {width, height, scale} and
// gives the same operations: pointer(kind, pointerType, x, y, button) with kind down, move or
// up; key(key, modifierNames); resize(width, height, scale); shot() → PNG of the viewport at
// device pixels; evaluate(fn, ...args); close(). What the automation cannot do throws Skip.
// Where an opener fails half-way, what it started ends with this process, through puppeteer's
// and selenium's own exit handlers and Xvfb's below.
// Then what the Chromium-only tests share: a started tab, drags, keys, and a test harness.
'use strict';
const test = require('node:test');
const { spawn } = require('child_process');
const { pathToFileURL } = require('url');
const puppeteer = require('puppeteer-core');
const { Builder, Key } = require('selenium-webdriver');
const { Command, Name } = require('selenium-webdriver/lib/command');
const { DriverService } = require('selenium-webdriver/remote');

class Skip extends Error {}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const same = (a, b) => String(a) === String(b);

// Debian's Chromium, headless, for the page tests and the page benchmark; never downloaded.
function launch() {
  const args = ['--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--hide-scrollbars'];
  if (process.getuid() === 0)
    args.push('--no-sandbox');
  return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args });
}

// A new tab on the file at the given size and device pixel ratio, before or after loading; the
// page's errors are kept in tab.errors from the start.
async function open(browser, file, { width, height, scale }, beforeLoad) {
  const tab = await browser.newPage();
  tab.errors = [];
  tab.on('pageerror', (error) => tab.errors.push(error.message));
  await tab.setViewport({ width, height, deviceScaleFactor: scale });
  if (beforeLoad)
    await tab.evaluateOnNewDocument(beforeLoad);
  await tab.goto(pathToFileURL(file).href);
  return tab;
}

// A key pressed with modifiers held, on puppeteer's keyboard.
async function press(keyboard, key, modifiers = []) {
  for (const m of modifiers)
    await keyboard.down(m);
  await keyboard.press(key);
  for (const m of [...modifiers].reverse())
    await keyboard.up(m);
}

// Chromium or Firefox through puppeteer: the same tab but for pointer input.
async function puppeteerTab(browser, file, view, pointerOf) {
  const tab = await open(browser, file, view);
  return {
    pointer: await pointerOf(tab),
    key: (key, modifiers) => press(tab.keyboard, key, modifiers),
    // Done once the page itself sees the new viewport; a busy browser may apply it later.
    resize: async (width, height, scale) => {
      await tab.setViewport({ width, height, deviceScaleFactor: scale });
      await tab.waitForFunction((...v) => [innerWidth, innerHeight, devicePixelRatio]
        .every((x, i) => x === v[i]), {}, width, height, scale);
    },
    shot: async () => Buffer.from(await tab.screenshot()),
    evaluate: (fn, ...args) => tab.evaluate(fn, ...args),
    close: () => browser.close(),
  };
}

// pointer(kind, pointerType, x, y, button) over a DevTools session: mouse and pen as DevTools
// mouse events, whose pointerType may be pen, with every button held in each event as a real
// mouse has them; touch as DevTools touch events.
function devtoolsPointer(cdp) {
  const held = { mouse: 0, pen: 0 };
  return (kind, pointerType, x, y, button) => {
    const type = { down: 0, move: 1, up: 2 }[kind];
    if (pointerType === 'touch')
      return cdp.send('Input.dispatchTouchEvent', { touchPoints: type < 2 ? [{ x, y }] : [],
        type: ['touchStart', 'touchMove', 'touchEnd'][type] });
    const bit = type === 1 ? 0 : [1, 4, 2][button];
    held[pointerType] = type === 2 ? held[pointerType] & ~bit : held[pointerType] | bit;
    // A move names a held button too: Chromium takes one naming none for a hover and lets
    // the pointer's capture go.
    const heldButton = ['left', 'right', 'middle'].find((b, i) => held[pointerType] & (1 << i));
    return cdp.send('Input.dispatchMouseEvent', { x, y, pointerType, buttons: held[pointerType],
      type: ['mousePressed', 'mouseMoved', 'mouseReleased'][type], clickCount: bit ? 1 : 0,
      button: bit ? ['left', 'middle', 'right'][button] : heldButton || 'none' });
  };
}

const chromium = async (file, view) => puppeteerTab(await launch(), file, view,
  async (tab) => devtoolsPointer(await tab.createCDPSession()));

// W3C pointer actions, one input source per pointer type so that its buttons and place carry
// over from call to call; a move only where the pointer is not yet. Whole CSS pixels, as these
// engines deliver them anyway (Firefox rounds, WebKit truncates).
function w3cPointer(perform) {
  const at = {};
  return async (kind, pointerType, x, y, button) => {
    const actions = same(at[pointerType], [x, y]) ? []
      : [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' }];
    if (kind !== 'move')
      actions.push({ type: kind === 'down' ? 'pointerDown' : 'pointerUp', button });
    at[pointerType] = [x, y];
    await perform([{ type: 'pointer', id: pointerType, parameters: { pointerType }, actions }]);
  };
}

// Firefox ESR over WebDriver BiDi, whose input.performActions takes W3C actions as they are.
const firefox = async (file, view) => puppeteerTab(await puppeteer.launch({ browser: 'firefox',
  headless: true, executablePath: '/usr/bin/firefox-esr' }), file, view, (tab) => w3cPointer(
  (sources) => tab.mainFrame().browsingContext.performActions(sources).catch((error) => {
    if (!/unimplemented|not supported/i.test(error.message))
      throw error;
    const why = error.message.split('\n')[0].replace(/ \S+@.*/, '');
    throw new Skip(`${sources[0].parameters.pointerType} input: ${why}`);
  })));

// Node leaves exit handlers out on these signals; the WebKit session's helpers need them.
for (const signal of ['SIGINT', 'SIGTERM'])
  process.on(signal, () => process.exit(1));

// WebKitGTK's MiniBrowser through WebKitWebDriver on a private Xvfb. Its device pixel ratio is
// GDK_SCALE, fixed when it starts: whole numbers only, and the same for the whole session.
async function webkit(file, { width, height, scale }) {
  if (scale !== 1 && scale !== 2)
    throw new Skip(`device pixel ratio ${scale}: GDK_SCALE takes whole numbers (1 and 2 tried)`);
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0',
    `${1920 * scale}x${1200 * scale}x24`], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  process.once('exit', () => xvfb.kill('SIGKILL'));
  const display = await new Promise((resolve, reject) => {
    xvfb.stdio[3].once('data', (d) => resolve(String(d).trim()));
    xvfb.once('exit', () => reject(new Error('Xvfb did not start')));
  });
  // WebKitWebDriver on a free port of this machine, killed when this process ends.
  const service = new DriverService.Builder('/usr/bin/WebKitWebDriver').setLoopback(true)
    .setEnvironment({ ...process.env, DISPLAY: ':' + display, GDK_SCALE: scale,
      GDK_BACKEND: 'x11', NO_AT_BRIDGE: 1 }).build();
  const driver = await new Builder().usingServer(await service.start(10000)).withCapabilities({
    browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { args: ['--automation'],
      binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser' } }).build();
  const perform = (actions) =>
    driver.execute(new Command(Name.ACTIONS).setParameter('actions', actions));
  const evaluate = (fn, ...args) => driver.executeScript(fn, ...args);
  // The window is the viewport and a frame whose size is measured, then allowed for.
  const resize = async (w, h, s) => {
    if (s !== scale)
      throw new Skip(`device pixel ratio ${scale} to ${s}: GDK_SCALE is fixed at start`);
    let rect = { width: w, height: h }, inner = await evaluate(() => [innerWidth, innerHeight]);
    for (let i = 0; i < 3 && !same(inner, [w, h]); ++i) {
      await driver.manage().window().setRect(rect);
      await sleep(100);
      inner = await evaluate(() => [innerWidth, innerHeight]);
      rect = { width: rect.width + w - inner[0], height: rect.height + h - inner[1] };
    }
    if (!same(inner, [w, h]))
      throw new Error(`MiniBrowser's viewport is ${inner.join('×')}, not ${w}×${h}`);
  };
  await resize(width, height, scale);
  await driver.get(pathToFileURL(file).href);
  // Selenium's Key spells ArrowLeft ARROW_LEFT.
  const keys = (type, names) => names.map((name) =>
    ({ type, value: Key[name.replace(/\B[A-Z]/g, '_$&').toUpperCase()] }));
  return {
    pointer: w3cPointer(perform),
    key: (key, mods) => perform([{ type: 'key', id: 'keyboard', actions: [
      ...keys('keyDown', [...mods, key]), ...keys('keyUp', [key, ...mods.reverse()])] }]),
    resize,
    shot: async () => Buffer.from(await driver.takeScreenshot(), 'base64'),
    evaluate,
    close: async () => {
      await driver.quit();
      await service.kill();
      xvfb.kill('SIGKILL');
    },
  };
}

// Helpers for every page test, on any tab that can evaluate: two animation frames, so that
// what was asked has been painted; the page's module started; its eleven segments as x1, y1, x2,
// y2 and colour each.
const frames = (tab) => tab.evaluate(() =>
  new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
async function started(tab) {
  for (let i = 0; !await tab.evaluate(() => window.moduleStarted); ++i) {
    if (i === 200)
      throw new Error(`the page did not start within 10 s ${tab.errors || ''}`);
    await sleep(50);
  }
  await frames(tab);
}
const segments = (tab) => tab.evaluate(() =>
  Array.from(HEAPF32.subarray(_bm_segments() >> 2).slice(0, 55)));

// For the Chromium-only tests: a started tab of the page, with a DevTools session (tab.cdp)
// and pointer input over it (tab.pointer) as above.
async function startedTab(browser, file, view, beforeLoad) {
  const tab = await open(browser, file, view, beforeLoad);
  await started(tab);
  tab.cdp = await tab.createCDPSession();
  return Object.assign(tab, { pointer: devtoolsPointer(tab.cdp) });
}
// A drag by d from p with a mouse button, a pen or a finger: a press, two moves, a release.
async function drag(pointer, kind, [x, y], [dx, dy]) {
  const [type, button] = { left: ['mouse', 0], middle: ['mouse', 1], right: ['mouse', 2],
    pen: ['pen', 0], touch: ['touch', 0] }[kind];
  for (const [phase, t] of [['down', 0], ['move', 0.5], ['move', 1], ['up', 1]])
    await pointer(phase, type, x + t * dx, y + t * dy, button);
}
// Runs body(browser, t) as a node test in a fresh Chromium, closed after it.
const inChromium = (name, body) => test(name, async (t) => {
  const browser = await launch();
  t.after(() => browser.close());
  await body(browser, t);
});

module.exports = { Skip, launch, open, startedTab, drag, press, frames, started, segments,
  inChromium, engines: { chromium, firefox, webkit } };
