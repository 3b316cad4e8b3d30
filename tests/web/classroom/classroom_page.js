// The page for a classroom, in headless Chromium: node classroom_page.js CHECK PAGE APP-DIR.
// accessible: the surface's role, name and description and the live region's words;
// copy: Ctrl+C puts the board alone on the clipboard as a PNG at device pixels;
// installable: APP-DIR served on 127.0.0.1 is installable and shows the figure offline.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { launch, open } = require('../chromium');

const check = (ok, what) => {
  if (!ok)
    throw new Error(what);
};
const settle = (ms) => new Promise((done) => setTimeout(done, ms));

async function drag(tab, from, to) {
  await tab.mouse.move(...from);
  await tab.mouse.down();
  await tab.mouse.move(...to, { steps: 2 });
  await tab.mouse.up();
}

// What the core says, read in the page.
const core = (tab) => tab.evaluate(() => ({
  board: JSON.parse(UTF8ToString(_bm_describe())),
  words: UTF8ToString(_bm_description(0)),
  segments: Array.from(HEAPF32.subarray(_bm_segments() >> 2).slice(0, 55)),
}));

async function accessible(browser, page) {
  const tab = await open(browser, page, { width: 900, height: 541, scale: 1 });
  const cdp = await tab.createCDPSession();
  const tree = async () => (await cdp.send('Accessibility.getFullAXTree')).nodes;
  const value = (field) => (field && field.value) || '';
  const spoken = (nodes) => {
    const region = nodes.find((n) => (n.properties || []).some((p) => p.name === 'live'
      && p.value.value === 'polite'));
    check(region, 'no polite live region');
    return nodes.filter((n) => (region.childIds || []).includes(n.nodeId))
      .map((n) => value(n.name)).join('');
  };

  const { board, words } = await core(tab);
  check(words.includes('右へ2.2マス、上へ1.9マス'), 'the opening description: ' + words);
  const surface = (await tree()).find((n) => value(n.role) === 'application');
  check(surface, 'no node of role application');
  // Names are read with runs of spaces collapsed.
  check(value(surface.name) === board.caption.replace(/ +/g, ' '), 'surface named ' + value(surface.name));
  check(value(surface.description) === words, 'surface described ' + value(surface.description));
  // DevTools hands the role's word over as Latin-1, so it is read from the element.
  check(await tab.$eval('#surface', (s) => s.getAttribute('aria-roledescription')) === '図',
    'the surface is not called 図');
  check(spoken(await tree()) === '', 'the live region spoke before anything happened');

  await drag(tab, [800, 100], [838, 154]); // one move that lights AFED as a rectangle
  await settle(600);
  const lit = spoken(await tree());
  check(lit.includes('右へ2.9マス、上へ0.9マス') && lit.includes('長方形です（水色）'),
    'after the drag the live region says: ' + lit);
  const described = (await tree()).find((n) => value(n.role) === 'application');
  check(value(described.description) === (await core(tab)).words, 'stale description');

  await tab.keyboard.press('ArrowRight');
  await tab.keyboard.press('ArrowRight');
  await settle(600);
  const stepped = spoken(await tree());
  check(stepped.includes('右へ3.0マス、上へ0.9マス'), 'after two arrow keys it says: ' + stepped);
  console.log('surface: ' + value(surface.name) + ' / ' + value(surface.description));
  console.log('live region after the drag: ' + lit);
  console.log('live region after two arrow keys: ' + stepped);
}

async function copy(browser, page) {
  const scale = 2;
  await (await browser.target().createCDPSession()).send('Browser.grantPermissions',
    { permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'] });
  const tab = await open(browser, page, { width: 900, height: 541, scale });
  await tab.click('#Command2_0');
  await tab.click('#Option1_1');
  await drag(tab, [600, 480], [700, 480]);
  await tab.keyboard.down('Control');
  await tab.keyboard.press('c');
  await tab.keyboard.up('Control');
  const { board, segments } = await core(tab);
  const [ax, ay] = segments.slice(15, 17); // A, the start of AB
  const places = [[650, 480], [ax, ay], [segments[0] + (segments[2] - segments[0]) / 4, segments[1]]]
    .concat(board.controls.map((c) => [c.left + 3, c.top + 3]));
  const seen = await tab.evaluate(async (places, ratio) => {
    // The picture is encoded and written after the key's handler has returned.
    let item;
    for (let tries = 0; tries < 50 && !(item && item.types.includes('image/png')); ++tries) {
      await new Promise((done) => setTimeout(done, 100));
      [item] = await navigator.clipboard.read();
    }
    const picture = await createImageBitmap(await item.getType('image/png'));
    const canvas = document.createElement('canvas');
    canvas.width = picture.width;
    canvas.height = picture.height;
    canvas.getContext('2d').drawImage(picture, 0, 0);
    const pixels = (c) => places.map(([x, y]) => Array.from(c.getContext('2d')
      .getImageData(Math.floor(x * ratio), Math.floor(y * ratio), 1, 1).data.slice(0, 3)).join());
    return { types: item.types, size: [picture.width, picture.height], picture: pixels(canvas),
      screen: pixels(document.getElementById('surface')) };
  }, places, scale);
  const rgb = (v) => [v >> 16 & 255, v >> 8 & 255, v & 255].join();
  check(seen.types.includes('image/png'), 'clipboard types ' + seen.types);
  check(seen.size.join() === [900 * scale, 541 * scale].join(), 'picture size ' + seen.size);
  // The memo, the mark at A and BC as on the screen; white where the panels lie beneath the
  // controls on the screen.
  check(seen.screen[0] === rgb(board.memo.colour) && seen.screen[2] === rgb(segments[4]),
    'the screen shows no memo stroke or BC: ' + seen.screen);
  places.forEach((place, i) => {
    const expected = i < 3 ? seen.screen[i] : '255,255,255';
    check(seen.picture[i] === expected, 'at ' + place + ' the picture has ' + seen.picture[i]
      + ', not ' + expected);
  });
  check(seen.screen.slice(3).filter((p) => p !== '255,255,255').length >= 2,
    'no panel under the controls on the screen: ' + seen.screen.slice(3));
  console.log('clipboard: ' + seen.types + ', ' + seen.size.join(' x ') + '; picture '
    + seen.picture.join(' | ') + '; screen ' + seen.screen.join(' | '));
}

async function installable(browser, page, appDir) {
  const single = fs.readFileSync(page, 'utf8');
  check(!/manifest|serviceWorker/.test(single), 'Brinmoor.html links a manifest or a worker');
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
    '.webmanifest': 'application/manifest+json' };
  const server = http.createServer((request, response) => {
    const file = path.join(appDir, decodeURIComponent(request.url.split('?')[0])
      .replace(/\/$/, '/index.html'));
    if (!file.startsWith(appDir) || !fs.existsSync(file))
      return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] });
    response.end(fs.readFileSync(file));
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const url = 'http://127.0.0.1:' + server.address().port + '/';
  const tab = await browser.newPage();
  await tab.setViewport({ width: 900, height: 541 });
  await tab.goto(url);
  await tab.evaluate(() => navigator.serviceWorker.ready);
  await tab.waitForFunction(() => navigator.serviceWorker.controller);
  const cdp = await tab.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, 'not installable: ' + JSON.stringify(installabilityErrors));
  const { errors } = await cdp.send('Page.getAppManifest');
  check(errors.length === 0, 'manifest errors: ' + JSON.stringify(errors));

  await new Promise((done) => server.close(done));
  server.closeAllConnections();
  await tab.setOfflineMode(true);
  await tab.reload();
  await tab.waitForFunction(() => Module.calledRun);
  await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
  const { segments } = await core(tab);
  const colour = await tab.evaluate(([x, y]) => Array.from(document.getElementById('surface')
    .getContext('2d').getImageData(Math.floor(x), Math.floor(y), 1, 1).data.slice(0, 3)),
  [segments[0] + (segments[2] - segments[0]) / 4, segments[1]]);
  const bc = segments[4];
  check(colour.join() === [bc >> 16 & 255, bc >> 8 & 255, bc & 255].join(),
    'offline, BC shows ' + colour);
  console.log('installable, no manifest errors; offline reload shows BC in ' + colour);
}

(async () => {
  const [which, page, appDir] = process.argv.slice(2);
  const browser = await launch();
  try {
    await { accessible, copy, installable }[which](browser, page, path.resolve(appDir || '.'));
  } finally {
    await browser.close();
  }
})().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
