// The page for a classroom in headless Chromium: node classroom_page.js PAGE APP-DIR CHECK.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { open, started, check, inChromium } = require('../engines');

const rgba = (v) => [v >> 16 & 255, v >> 8 & 255, v & 255, 255].join();
// In the page: colours at logical places of a canvas; the description, A, and a quarter along
// BC (clear of the grid lines over the figure) with BC's colour.
const inPage = `window.pixels = (canvas, places, ratio) => places.map(([x, y]) => Array.from(canvas
  .getContext('2d').getImageData(Math.floor(x * ratio), Math.floor(y * ratio), 1, 1).data).join());
  ((s) => ({ words: UTF8ToString(_bm_description(0)), board: boardDescription,
    a: [s[15], s[16]], bc: [s[0] + (s[2] - s[0]) / 4, s[1]], colour: s[4] }))(HEAPF32.slice(_bm_segments() >> 2))`;

const checks = {
  // One move lights AFED: the surface's description and the live region say so. Then a mark,
  // a memo stroke and Ctrl+C: the PNG is the screen where the board is, white under controls.
  async page(browser, page) {
    await (await browser.target().createCDPSession()).send('Browser.grantPermissions',
      { permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'] });
    const tab = await open(browser, page, { width: 900, height: 541, scale: 2 });
    await started(tab); // or the first drag may come before the page handles it
    const drag = async (x, y, dx, dy) => {
      await tab.mouse.move(x, y);
      await tab.mouse.down();
      await tab.mouse.move(x + dx, y + dy, { steps: 2 });
      await tab.mouse.up();
    };
    await drag(800, 100, 38, 54);
    await new Promise((done) => setTimeout(done, 600));
    const { nodes } = await (await tab.createCDPSession()).send('Accessibility.getFullAXTree');
    const surface = nodes.find((n) => n.role && n.role.value === 'application');
    const live = nodes.find((n) => (n.properties || []).some((p) => p.value.value === 'polite'));
    const spoken = nodes.filter((n) => live.childIds.includes(n.nodeId)).map((n) => n.name.value);
    const { words, board } = await tab.evaluate(inPage); // names have runs of blanks collapsed
    check(surface.name.value === board.caption.replace(/ +/g, ' '), 'named ' + surface.name.value);
    check(surface.description.value === words && words.includes('右へ2.9マス、上へ0.9マス'), words);
    check(spoken.join().includes('長方形です（水色）'), 'the live region says ' + spoken);

    await tab.click('#Command2_0');
    await tab.click('#Option1_1');
    await drag(600, 480, 100, 0);
    await tab.keyboard.down('Control');
    await tab.keyboard.press('c');
    await tab.keyboard.up('Control');
    const { a, bc } = await tab.evaluate(inPage);
    const places = [[650, 480], a, bc].concat(board.controls.map((c) => [c.left + 3, c.top + 3]));
    const [picture, screen] = await tab.evaluate(async (places) => {
      let item; // written once the picture is encoded, after the key's handler
      while (!item || !item.types.includes('image/png'))
        [item] = await new Promise((done) => setTimeout(done, 100)).then(() => navigator.clipboard.read());
      const bitmap = await createImageBitmap(await item.getType('image/png'));
      const canvas = Object.assign(document.createElement('canvas'),
        { width: bitmap.width, height: bitmap.height });
      canvas.getContext('2d').drawImage(bitmap, 0, 0);
      return [pixels(canvas, places, 2).concat(bitmap.width, bitmap.height),
        pixels(document.getElementById('surface'), places, 2)];
    }, places);
    const white = rgba(0xffffff), expected = screen.slice(0, 3).concat(places.slice(3).map(() => white));
    check(screen[0] === rgba(board.memo.colour) && screen.slice(3).some((p) => p !== white), screen);
    check(picture.join() === expected.concat(1800, 1082).join(), 'the picture: ' + picture.join(' | '));
    console.log(words + '\nlive region: ' + spoken + '\npicture: ' + picture.join(' | '));
  },
  // app/ served on 127.0.0.1 is installable; with the server gone and offline, a reload still
  // paints the figure. The single file links neither manifest nor worker.
  async installable(browser, page, appDir) {
    check(!/manifest|serviceWorker/.test(fs.readFileSync(page, 'utf8')), 'the single file links them');
    const type = { '.js': 'text/javascript', '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
    const server = http.createServer((request, response) => {
      const file = path.join(appDir, request.url.replace(/\/$/, '/index.html'));
      response.writeHead(200, { 'Content-Type': type[path.extname(file)] || 'text/html' });
      response.end(fs.readFileSync(file));
    }).listen(0, '127.0.0.1');
    await new Promise((done) => server.on('listening', done));
    const tab = await browser.newPage();
    await tab.goto('http://127.0.0.1:' + server.address().port + '/');
    await tab.waitForFunction(() => navigator.serviceWorker.controller);
    const cdp = await tab.createCDPSession();
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    check(!installabilityErrors.length, JSON.stringify(installabilityErrors));
    server.close();
    server.closeAllConnections();
    await tab.setOfflineMode(true);
    await tab.reload();
    await started(tab);
    const { bc, colour } = await tab.evaluate(inPage);
    const shown = await tab.evaluate((p) => pixels(document.getElementById('surface'), [p], 1), bc);
    check(shown[0] === rgba(colour), 'offline, BC shows ' + shown);
  },
};

const [page, appDir, which] = process.argv.slice(2);
inChromium(which, (browser) => checks[which](browser, page, path.resolve(appDir)));
