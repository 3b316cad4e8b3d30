// Brinmoor.html in headless Chromium as schools use it: node devices.js ROW PAGE.
// older: with each newer feature deleted before the page's script runs (and synchronous
// WebAssembly refused past 4 KB, as Chrome before 114 does) the figure and the names are drawn,
// a drag moves A, a new size at ratio 2 gets its store; without WebAssembly or scripts the
// page's message shows. print: printing to PDF leaves the screen as it was, and the paper
// shows the board. menus: no right or middle press opens a menu or acts on a control.
// pointers: after a drag whose end never reaches the page any pointer drags; a second finger
// does not. classroom: what a screen reader is told, and Ctrl+C. installable: the installable
// copy beside the page (app/) served, and then offline.
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const path = require('path');
const { execFileSync } = require('child_process');
const { open, startedTab, drag, press, frames, started, segments, inChromium } =
  require('../engines');

const [row, page] = [process.argv[2], path.resolve(process.argv[3])];
const view = { width: 900, height: 541, scale: 1 };
async function movedBy(tab, act, d, what) {
  const [a, b] = [await segments(tab), await act().then(() => segments(tab))];
  const moved = [b[15] - a[15], b[16] - a[16]]; // A, where A–B begins
  assert.deepStrictEqual(moved, d, `${what} moved A by ${moved}`);
}
const dragMoves = (tab, kind, p, d, what) =>
  movedBy(tab, () => drag(tab.pointer, kind, p, d), d, what);
// What is missing on screen of every segment's colour somewhere along it and every point
// name's inside its box.
const missing = (tab) => tab.evaluate(() => {
  const d = boardDescription, f = d.command, h = HEAPF32, r = devicePixelRatio, out = [];
  const surface = document.getElementById('surface').getContext('2d');
  // Whether colour c is in the box at (x, y) of size w × hh, by default one device pixel.
  const shows = (c, x, y, w = 1 / r, hh = 1 / r) => surface
    .getImageData(x * r, y * r, w * r, hh * r).data
    .some((v, k, p) => k % 4 === 0 && (v << 16 | p[k + 1] << 8 | p[k + 2]) === c);
  const s = h.subarray(_bm_segments() >> 2);
  for (let i = 0; i < 55; i += 5)
    if (![0.3, 0.45, 0.6, 0.75].some((t) =>
      shows(s[i + 4], s[i] + t * (s[i + 2] - s[i]), s[i + 1] + t * (s[i + 3] - s[i + 1]))))
      out.push('segment ' + i / 5);
  const n = _bm_frame(0, 0, 1e4, 1e4);
  for (let i = 0, a = _bm_draw_commands() >> 2; i < n; ++i, a += f.stride) {
    const [c, x1, y1, x2, y2] = [f.colour, f.x1, f.y1, f.x2, f.y2].map((field) => h[a + field]);
    if (h[a + f.kind] === d.draw.Text && h[a + f.font] === d.fontRoles.Point
      && !shows(c, x1, y1, x2 - x1, y2 - y1))
      out.push(d.labels[h[a + f.variant]].caption);
  }
  return out;
});

const rgba = (v) => [v >> 16 & 255, v >> 8 & 255, v & 255, 255].join();

// Each deletes a newer feature before the page's script runs.
const newer = {
  roundRect: () => delete CanvasRenderingContext2D.prototype.roundRect,
  fontBoundingBox: () =>
    ['Ascent', 'Descent'].map((e) => delete TextMetrics.prototype['fontBoundingBox' + e]),
  devicePixelContentBoxSize: () =>
    delete ResizeObserverEntry.prototype.devicePixelContentBoxSize,
  getCoalescedEvents: () => delete PointerEvent.prototype.getCoalescedEvents,
  fromBase64: () => delete Uint8Array.fromBase64,
  resizeObserverBox: () => ((observe) => {
    ResizeObserver.prototype.observe = function (target) { return observe.call(this, target); };
  })(ResizeObserver.prototype.observe),
  resolutionQuery: () => ((match) => {
    window.matchMedia = (q) => match(/resolution/.test(q) ? 'not all' : q);
  })(window.matchMedia),
  // A module whose size this cannot see (compiled elsewhere) counts as large, as the page's is.
  syncWasmPast4KB: () => ((sizes) => {
    const refusing = (Class, size) => new Proxy(Class, { construct(target, args) {
      if (!(size(...args) <= 4096))
        throw new RangeError('larger than 4KB on the main thread');
      const made = Reflect.construct(target, args);
      sizes.set(made, size(...args));
      return made;
    } });
    WebAssembly.Module = refusing(WebAssembly.Module, (bytes) => bytes.byteLength);
    WebAssembly.Instance = refusing(WebAssembly.Instance, (module) => sizes.get(module));
  })(new WeakMap()),
};
const script = (removals) => [removals].flat().map((f) => '(' + f + ')();').join('');

const rows = {
  async older(browser, t) {
    for (const [name, removals] of [...Object.entries(newer), ['all', Object.values(newer)]])
      await t.test('without ' + name, async () => {
        const tab = await startedTab(browser, page, view, script(removals));
        assert.deepStrictEqual(await missing(tab), []);
        await dragMoves(tab, 'left', [700, 300], [40, -30], 'a drag');
        // Headless Chromium tells a page of a new ratio alone nothing: a new size comes with it.
        await tab.setViewport({ width: 800, height: 500, deviceScaleFactor: 2 });
        await frames(tab);
        assert.equal(await tab.evaluate(() => document.getElementById('surface').width), 1600);
        assert.deepStrictEqual(await missing(tab), []); // at ratio 2
        assert.deepStrictEqual(tab.errors, []);
        await tab.close();
      });
    for (const [name, setUp] of [['WebAssembly', () => delete window.WebAssembly], ['scripts']])
      await t.test('without ' + name, async () => {
        const tab = await open(browser, page, view, setUp);
        if (!setUp)
          await tab.setJavaScriptEnabled(false).then(() => tab.reload());
        assert.ok(await tab.evaluate(() => document.getElementById('unsupported').offsetHeight));
      });
  },

  async print(browser) {
    const tab = await startedTab(browser, page, view);
    await drag(tab.pointer, 'left', [700, 300], [-60, -80]);
    await tab.click('#Command2_0').then(() => tab.click('#Option1_1'));
    await drag(tab.pointer, 'left', [500, 450], [120, -20]);
    const shown = async () => [await frames(tab).then(() => tab.screenshot()), await segments(tab)];
    const [shot, s] = await shown();
    const pdf = await tab.pdf({ format: 'A4' });
    assert.deepStrictEqual(await shown(), [shot, s], 'printing changed the screen');
    assert.match(execFileSync('pdfinfo', ['-'], { input: pdf, encoding: 'utf8' }), /Pages:\s+1\n/);
    // The paper at 96 dpi, no margins: the board from its top-left corner, scaled as a whole.
    const ppm = execFileSync('pdftoppm', ['-r', '96', '-singlefile', '-'],
      { input: pdf, maxBuffer: 1 << 26 });
    const [header, w, h] = ppm.toString('latin1', 0, 40).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
    const k = Math.min(w / view.width, h / view.height);
    // Each channel within 48 of the colour's at the place or a pixel next to it.
    const near = ([x, y], c) => [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => {
      const at = header.length + 3 * ((Math.round(y * k) + dy) * w + Math.round(x * k) + dx);
      return [16, 8, 0].every((shift, i) => Math.abs(ppm[at + i] - ((c >> shift) & 255)) < 48);
    }));
    const d = await tab.evaluate(() => boardDescription);
    const c1 = d.controls.find((c) => c.name === 'Command1');
    const places = [[[c1.left + 10, c1.top + 8], c1.background], [[560, 440], d.memo.colour]];
    for (let i = 0; i < 55; i += 5)
      places.push([[(s[i] + s[i + 2]) / 2, (s[i + 1] + s[i + 3]) / 2], s[i + 4]]);
    assert.deepStrictEqual(places.filter(([p, c]) => !near(p, c)), []); // not on paper
    assert.deepStrictEqual(tab.errors, []);
  },

  async menus(browser) {
    const tab = await startedTab(browser, page, view, () => {
      window.menus = [];
      for (const type of ['contextmenu', 'auxclick'])
        addEventListener(type, (e) => menus.push(type + (e.defaultPrevented ? '' : ' shown')));
    });
    const state = () => tab.evaluate(() => [document.querySelector('#Check1 input').checked,
      document.getElementById('Command2_1').disabled,
      document.querySelector('#Option1_0 input').checked, HEAPF32[(_bm_segments() >> 2) + 15]]);
    const [before, ids] = [await state(), ['Command1', 'Option1_0', 'Option1_1', 'Check1',
      'Command2_0']];
    for (const id of ids)
      for (const button of ['right', 'middle']) {
        const { x, y } = await (await tab.$('#' + id)).clickablePoint();
        await drag(tab.pointer, button, [x, y], [0, 0]);
      }
    assert.deepStrictEqual(await frames(tab).then(state), before, 'a press acted on a control');
    await dragMoves(tab, 'right', [700, 300], [20, 10], 'a right drag');
    await press(tab.keyboard, 'F10', ['Shift']);
    const menus = await tab.evaluate(() => menus);
    assert.ok(menus.filter((m) => m === 'contextmenu').length === ids.length + 2
      && !menus.some((m) => m.endsWith('shown')), 'menus: ' + menus);
  },

  async pointers(browser) {
    const tab = await startedTab(browser, page, view, () => {
      window.dropEnd = null; // the pointer type whose end never reaches the page
      window.dropped = 0;
      for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
        addEventListener(type, (e) => e.pointerType === dropEnd
          && (e.stopImmediatePropagation(), ++window.dropped), true);
    });
    // Returns how many ends were kept from the page so far.
    const dropEnd = (type) => tab.evaluate((t) => { window.dropEnd = t; return dropped; }, type);
    const kinds = { left: 'mouse', pen: 'pen', touch: 'touch' };
    for (const lost in kinds)
      for (const next in kinds) {
        const before = await dropEnd(kinds[lost]);
        await drag(tab.pointer, lost, [600, 400], [-10, -5]);
        assert.ok(await dropEnd(null) > before, 'the end of a ' + lost + ' drag was not lost');
        await dragMoves(tab, next, [300, 200], [30, 20], next + ' after a lost ' + lost);
      }
    const fingers = [['touchStart', [600, 400]], ['touchMove', [610, 410]],
      ['touchStart', [610, 410], [300, 300]], ['touchMove', [610, 410], [350, 250]],
      ['touchMove', [620, 405], [350, 250]], ['touchEnd']];
    await movedBy(tab, async () => {
      for (const [type, ...points] of fingers)
        await tab.cdp.send('Input.dispatchTouchEvent',
          { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
    }, [20, 5], 'a second finger');
    assert.deepStrictEqual(tab.errors, []);
  },

  // One move lights AFED: the surface's description and the live region say so. Then a mark,
  // a memo stroke and Ctrl+C: the PNG is the screen where the board is, white under controls.
  async classroom(browser) {
    await (await browser.target().createCDPSession()).send('Browser.grantPermissions',
      { permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'] });
    const tab = await startedTab(browser, page, { ...view, scale: 2 });
    await drag(tab.pointer, 'left', [800, 100], [38, 54]);
    await new Promise((done) => setTimeout(done, 600));
    const { nodes } = await tab.cdp.send('Accessibility.getFullAXTree');
    const surface = nodes.find((n) => n.role && n.role.value === 'application');
    const live = nodes.find((n) => (n.properties || []).some((p) => p.value.value === 'polite'));
    const spoken = nodes.filter((n) => live.childIds.includes(n.nodeId)).map((n) => n.name.value);
    const [words, board, title] = await tab.evaluate(() =>
      [moduleText(_bm_description()), boardDescription, document.title]);
    assert.equal(surface.name.value, board.caption.replace(/ +/g, ' ')); // blanks collapsed
    assert.equal(title, board.caption.replace(/ /g, '\u00a0')); // blanks kept
    assert.equal(surface.description.value, words);
    assert.match(words, /右へ2\.9マス、上へ0\.9マス/);
    assert.match(spoken.join(), /長方形です（水色）/, 'the live region says ' + spoken);

    await tab.click('#Command2_0');
    await tab.click('#Option1_1');
    await drag(tab.pointer, 'left', [600, 480], [100, 0]);
    await press(tab.keyboard, 'c', ['Control']);
    // The memo stroke, A, a quarter along BC (clear of the grid lines over the figure), and a
    // corner of each control.
    const s = await segments(tab);
    const places = [[650, 480], [s[15], s[16]], [s[0] + (s[2] - s[0]) / 4, s[1]],
      ...board.controls.map((c) => [c.left + 3, c.top + 3])];
    const [picture, screen] = await tab.evaluate(async (places) => {
      const pixels = (context) => places.map(([x, y]) =>
        Array.from(context.getImageData(x * 2, y * 2, 1, 1).data).join());
      let item; // written once the picture is encoded, after the key's handler
      while (!item || !item.types.includes('image/png'))
        [item] = await new Promise((done) => setTimeout(done, 100))
          .then(() => navigator.clipboard.read());
      const bitmap = await createImageBitmap(await item.getType('image/png'));
      const copy = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
      copy.drawImage(bitmap, 0, 0);
      return [[...pixels(copy), bitmap.width, bitmap.height],
        pixels(document.getElementById('surface').getContext('2d'))];
    }, places);
    const white = rgba(0xffffff);
    assert.equal(screen[0], rgba(board.memo.colour));
    assert.ok(screen.slice(3).some((p) => p !== white), 'the screen is white under the controls');
    const expected = [...screen.slice(0, 3), ...places.slice(3).map(() => white), 1800, 1082];
    assert.deepStrictEqual(picture, expected, 'the picture');
    console.log(words + '\nlive region: ' + spoken + '\npicture: ' + picture.join(' | '));
  },
  // app/ served on 127.0.0.1 is installable; with the server gone and offline, a reload still
  // paints the figure and the names. The single file links neither manifest nor worker.
  async installable(browser) {
    assert.doesNotMatch(fs.readFileSync(page, 'utf8'), /manifest|serviceWorker/);
    const type = { '.js': 'text/javascript', '.png': 'image/png',
      '.webmanifest': 'application/manifest+json' };
    const server = http.createServer((request, response) => {
      const file = path.join(path.dirname(page), 'app', request.url.replace(/\/$/, '/index.html'));
      response.writeHead(200, { 'Content-Type': type[path.extname(file)] || 'text/html' });
      response.end(fs.readFileSync(file));
    }).listen(0, '127.0.0.1');
    await new Promise((done) => server.on('listening', done));
    const tab = await browser.newPage();
    await tab.goto('http://127.0.0.1:' + server.address().port + '/');
    await tab.waitForFunction(() => navigator.serviceWorker.controller);
    const cdp = await tab.createCDPSession();
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepStrictEqual(installabilityErrors, []);
    server.close(); // and its idle connections
    await tab.setOfflineMode(true);
    await tab.reload();
    await started(tab);
    assert.deepStrictEqual(await missing(tab), []); // offline
  },
};

inChromium(row, rows[row]);
