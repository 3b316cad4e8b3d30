// Brinmoor.html in headless Chromium as school devices see it: node devices.js ROW PAGE.
// older: with each newer feature deleted before the page's script runs (and synchronous
// WebAssembly refused past 4 KB, as Chrome before 114 does) the figure and the names are drawn,
// a drag moves A, a new size at ratio 2 gets its store; without WebAssembly or scripts the
// page's message shows. print: printing to PDF leaves the screen as it was, and the paper
// shows the board. menus: no right or middle press opens a menu or acts on a control.
// pointers: after a drag whose end never reaches the page any pointer drags; a second finger
// does not.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { open, devtoolsPointer, frames, started, segments: figure, check, inChromium } = require('../engines');

const [row, page] = process.argv.slice(2);
const view = { width: 900, height: 541, scale: 1 };
async function movedBy(tab, act, d, what) {
  const [a, b] = [await figure(tab), await act().then(() => figure(tab))];
  const moved = [b[15] - a[15], b[16] - a[16]]; // A, where A–B begins
  check(String(moved) === String(d), what + ' moved A by ' + moved);
}
// Every segment's colour somewhere along it, and every point name's inside its box, on screen.
const drawn = (tab) => tab.evaluate(() => {
  const d = boardDescription, f = d.command, h = HEAPF32, r = devicePixelRatio;
  const shows = (x, y, w, hh, c) => Array.from(document.getElementById('surface').getContext('2d')
    .getImageData(x * r, y * r, w * r, hh * r).data).some((v, k, p) => k % 4 === 0
    && p[k] === c >> 16 && p[k + 1] === ((c >> 8) & 255) && p[k + 2] === (c & 255));
  const s = h.slice(_bm_segments() >> 2, (_bm_segments() >> 2) + 55), missing = [];
  for (let i = 0; i < 55; i += 5)
    if (![0.3, 0.45, 0.6, 0.75].some((t) =>
      shows(s[i] + t * (s[i + 2] - s[i]), s[i + 1] + t * (s[i + 3] - s[i + 1]), 1 / r, 1 / r, s[i + 4])))
      missing.push('segment ' + i / 5);
  for (let i = 0, a = _bm_draw_commands() >> 2, n = _bm_draw_list(0, 0, 1e4, 1e4, r); i < n; ++i, a += f.stride)
    if (h[a + f.kind] === d.draw.Text && h[a + f.font] === d.fontRoles.Point
      && !shows(h[a + f.x1], h[a + f.y1], h[a + f.x2] - h[a + f.x1], h[a + f.y2] - h[a + f.y1], h[a + f.colour]))
      missing.push(d.labels[h[a + f.variant]].caption);
  return missing;
});
// A drag by d from p with a mouse button, a pen or a finger, through DevTools input.
const drag = async (pointer, kind, p, d) => {
  const [type, button] = { left: ['mouse', 0], middle: ['mouse', 1], right: ['mouse', 2],
    pen: ['pen', 0], touch: ['touch', 0] }[kind];
  for (const [phase, t] of [['down', 0], ['move', 0.5], ['move', 1], ['up', 1]])
    await pointer(phase, type, p[0] + t * d[0], p[1] + t * d[1], button);
};
async function session(browser, beforeLoad, what = row) {
  const tab = await open(browser, page, view, beforeLoad);
  tab.errors = [];
  tab.on('pageerror', (error) => tab.errors.push(error.message));
  await started(tab).catch((error) => check(false, what + ': ' + error.message + ' ' + tab.errors));
  const cdp = await tab.createCDPSession();
  return [tab, devtoolsPointer(cdp), cdp];
}

// Each deletes a newer feature before the page's script runs.
const newer = {
  roundRect: () => delete CanvasRenderingContext2D.prototype.roundRect,
  fontBoundingBox: () => ['Ascent', 'Descent'].map((e) => delete TextMetrics.prototype['fontBoundingBox' + e]),
  devicePixelContentBoxSize: () => delete ResizeObserverEntry.prototype.devicePixelContentBoxSize,
  getCoalescedEvents: () => delete PointerEvent.prototype.getCoalescedEvents,
  resizeObserverBox: () => ((observe) => {
    ResizeObserver.prototype.observe = function (target) { return observe.call(this, target); };
  })(ResizeObserver.prototype.observe),
  resolutionQuery: () => ((match) => {
    window.matchMedia = (q) => match(/resolution/.test(q) ? 'not all' : q);
  })(window.matchMedia),
  // A module whose size this cannot see (compiled elsewhere) counts as large, as the page's is.
  syncWasmPast4KB: () => (({ Module, Instance }, sizes) => {
    const refuse = (size) => {
      if (!(size <= 4096))
        throw new RangeError('larger than 4KB on the main thread');
    };
    WebAssembly.Module = function (bytes) {
      refuse(bytes.byteLength);
      const module = new Module(bytes);
      sizes.set(module, bytes.byteLength);
      return module;
    };
    WebAssembly.Instance = function (module, imports) {
      refuse(sizes.get(module));
      return new Instance(module, imports);
    };
  })(WebAssembly, new WeakMap()),
};
const script = (...removals) => removals.map((f) => '(' + f + ')();').join('');

const rows = {
  async older(browser) {
    const removals = Object.entries(newer).map(([name, f]) => [name, script(f)]);
    for (const [name, removal] of [...removals, ['all', script(...Object.values(newer))]]) {
      const [tab, pointer] = await session(browser, removal, 'without ' + name);
      check(!(await drawn(tab)).length, 'without ' + name + ' not drawn: ' + await drawn(tab));
      await movedBy(tab, () => drag(pointer, 'left', [700, 300], [40, -30]), [40, -30], 'without ' + name + ' a drag');
      // Headless Chromium tells a page of a new ratio alone nothing: a new size comes with it.
      await tab.setViewport({ width: 800, height: 500, deviceScaleFactor: 2 }).then(() => frames(tab));
      const store = await tab.evaluate(() => document.getElementById('surface').width);
      check(store === 1600 && !(await drawn(tab)).length, 'without ' + name + ' nothing drawn at ratio 2');
      check(!tab.errors.length, 'without ' + name + ': ' + tab.errors);
      await tab.close();
    }
    for (const [name, setUp] of [['WebAssembly', () => delete window.WebAssembly], ['scripts']]) {
      const tab = await open(browser, page, view, setUp);
      if (!setUp)
        await tab.setJavaScriptEnabled(false).then(() => tab.reload());
      check(await tab.evaluate(() => document.getElementById('unsupported').offsetHeight > 0),
        'without ' + name + ' no message');
    }
  },

  async print(browser) {
    const [tab, pointer] = await session(browser);
    await drag(pointer, 'left', [700, 300], [-60, -80]);
    await tab.click('#Command2_0').then(() => tab.click('#Option1_1'));
    await drag(pointer, 'left', [500, 450], [120, -20]);
    const [screen, before] = [await frames(tab).then(() => tab.screenshot()), await figure(tab)];
    const pdf = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'brinmoor-print-')), 'board.pdf');
    await tab.pdf({ path: pdf, format: 'A4' }).then(() => frames(tab));
    check(Buffer.compare(screen, await tab.screenshot()) === 0 && String(before) === String(await figure(tab)),
      'printing changed the screen');
    check(/Pages:\s+1\n/.test(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' })), 'not one page');
    // The paper at 96 dpi, no margins: the board from its top-left corner, scaled as a whole.
    const ppm = execFileSync('pdftoppm', ['-r', '96', '-singlefile', pdf], { maxBuffer: 1 << 26 });
    const [header, w, h] = ppm.toString('latin1', 0, 40).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
    const k = Math.min(w / view.width, h / view.height);
    const near = ([x, y], c) => [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => [0, 1, 2].every((i) => Math.abs(
      ppm[header.length + 3 * ((Math.round(y * k) + dy) * w + Math.round(x * k) + dx) + i] - ((c >> (16 - 8 * i)) & 255)) < 48)));
    const d = await tab.evaluate(() => boardDescription);
    const c1 = d.controls.find((c) => c.name === 'Command1');
    const places = [[[c1.left + 10, c1.top + 8], c1.background], [[560, 440], d.memo.colour]];
    for (let i = 0; i < 55; i += 5)
      places.push([[(before[i] + before[i + 2]) / 2, (before[i + 1] + before[i + 3]) / 2], before[i + 4]]);
    const missing = places.filter(([p, c]) => !near(p, c));
    check(!missing.length, 'not on paper: ' + JSON.stringify(missing));
    check(!tab.errors.length, tab.errors);
  },

  async menus(browser) {
    const [tab, pointer] = await session(browser, () => {
      window.menus = [];
      for (const type of ['contextmenu', 'auxclick'])
        addEventListener(type, (e) => menus.push(type + (e.defaultPrevented ? '' : ' shown')));
    });
    const state = () => tab.evaluate(() => [_bm_control_states(),
      document.querySelector('#Option1_0 input').checked, HEAPF32[(_bm_segments() >> 2) + 15]].join());
    const [before, ids] = [await state(), ['Command1', 'Option1_0', 'Option1_1', 'Check1', 'Command2_0']];
    for (const id of ids)
      for (const button of ['right', 'middle']) {
        const box = await (await tab.$('#' + id)).boundingBox();
        await drag(pointer, button, [box.x + box.width / 2, box.y + box.height / 2], [0, 0]);
      }
    check(await frames(tab).then(state) === before, 'a right or middle press acted on a control');
    await movedBy(tab, () => drag(pointer, 'right', [700, 300], [20, 10]), [20, 10], 'a right drag');
    await tab.keyboard.down('Shift');
    await tab.keyboard.press('F10');
    await tab.keyboard.up('Shift');
    const menus = await tab.evaluate(() => menus);
    check(menus.filter((m) => m === 'contextmenu').length === ids.length + 2
      && !menus.some((m) => m.endsWith('shown')), 'menus: ' + menus);
  },

  async pointers(browser) {
    const [tab, pointer, cdp] = await session(browser, () => {
      window.dropEnd = null; // the pointer type whose end never reaches the page
      for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
        addEventListener(type, (e) => e.pointerType === dropEnd && e.stopImmediatePropagation(), true);
    });
    const kinds = { left: 'mouse', pen: 'pen', touch: 'touch' };
    for (const lost in kinds)
      for (const next in kinds) {
        await tab.evaluate((type) => { window.dropEnd = type; }, kinds[lost]);
        await drag(pointer, lost, [600, 400], [-10, -5]).then(() => tab.evaluate(() => { window.dropEnd = null; }));
        await movedBy(tab, () => drag(pointer, next, [300, 200], [30, 20]), [30, 20], next + ' after a lost ' + lost);
      }
    const touch = (type, ...points) => cdp.send('Input.dispatchTouchEvent',
      { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
    await movedBy(tab, async () => {
      await touch('touchStart', [600, 400]).then(() => touch('touchMove', [610, 410]));
      await touch('touchStart', [610, 410], [300, 300]).then(() => touch('touchMove', [610, 410], [350, 250]));
      await touch('touchMove', [620, 405], [350, 250]).then(() => touch('touchEnd'));
    }, [20, 5], 'a second finger');
    check(!tab.errors.length, tab.errors);
  },
};

inChromium(row, rows[row]);
