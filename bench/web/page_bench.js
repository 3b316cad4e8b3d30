// Prints figures for Brinmoor.html in Debian's headless Chromium: the page's size; the time to
// the first frame that shows the figure, against a hand-written canvas page that draws only the
// same grid, segments and point names and against a blank page; and the main thread's task
// time per drag move at ratio 1 and 2 against the blank page. Medians over alternating rounds;
// no pass or fail.
// Usage: node bench/web/page_bench.js [PAGE] [ROUNDS] [first-frame]
//   (default build-web/Brinmoor.html, 15 rounds at least; first-frame leaves the drag out)
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { launch, open } = require('../../tests/web/engines');

const page = path.resolve(process.argv[2] || path.join(__dirname, '../../build-web/Brinmoor.html'));
const rounds = Math.max(15, Number(process.argv[3]) || 15);
const view = { width: 900, height: 541, scale: 1 };

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'brinmoor-bench-'));
// The floor: a full-viewport canvas filled white at load and on every pointer move.
const blank = path.join(folder, 'blank.html');
fs.writeFileSync(blank, `<!doctype html><html><head><meta charset="utf-8">
<style>html,body{margin:0;overflow:hidden}
canvas{position:fixed;left:0;top:0;width:100%;height:100%}</style>
</head><body><canvas id="surface"></canvas><script>
const c = document.getElementById('surface'), g = c.getContext('2d');
function fill() { g.fillStyle = '#fff'; g.fillRect(0, 0, c.width, c.height); }
c.width = Math.round(innerWidth * devicePixelRatio);
c.height = Math.round(innerHeight * devicePixelRatio);
fill();
c.addEventListener('pointermove', fill);
</script></body></html>`);

// What the page paints at the bench's size, read from the page itself once it is up: the
// grid, the segments and the point names as the core's draw list has them (the panels, the
// note and the controls left out), the font list, and two pixels a first frame must show: one
// a quarter along BC, clear of the grid, and one inside a name's glyph, clear of every
// segment and line.
async function picture(browser) {
  const tab = await open(browser, page, view);
  await tab.waitForFunction(() => window.moduleStarted);
  await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done))));
  const result = await tab.evaluate(() => {
    const board = boardDescription;
    const f = board.command, kind = board.draw;
    const count = _bm_frame(0, 0, _bm_width(), _bm_height());
    const commands = [];
    for (let i = 0, at = _bm_draw_commands() >> 2; i < count; ++i, at += f.stride) {
      const c = {};
      for (const field of Object.keys(f))
        c[field] = HEAPF32[at + f[field]];
      if (c.kind === kind.Text && c.font === board.fontRoles.Point)
        commands.push(['name', c.x1, c.y1, c.x2, c.y2, c.size, c.colour, c.fill,
          board.labels[c.variant].caption]);
      else if (c.kind === kind.Band || c.kind === kind.Segment || c.kind === kind.Disc)
        commands.push([['band', 'segment', 'disc'][[kind.Band, kind.Segment, kind.Disc]
          .indexOf(c.kind)], c.x1, c.y1, c.x2, c.y2, c.size, c.colour]);
    }
    const rgb = (v) => [v >> 16, (v >> 8) & 255, v & 255];
    const s = HEAPF32.subarray(_bm_segments() >> 2);
    const targets = [[Math.floor(s[0] + (s[2] - s[0]) / 4), Math.floor(s[1]), ...rgb(s[4])]];
    // Distance from a pixel's centre to the nearest stroke, band or disc.
    const clear = (x, y) => commands.every(([type, x1, y1, x2, y2, size]) => {
      if (type === 'band')
        return x < x1 - 2 || x > x2 + 2 || y < y1 - 2 || y > y2 + 2;
      if (type === 'disc')
        return Math.hypot(x - x1, y - y1) > size + 2;
      if (type !== 'segment')
        return true;
      const dx = x2 - x1, dy = y2 - y1;
      const t = Math.max(0, Math.min(1, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)));
      return Math.hypot(x - x1 - t * dx, y - y1 - t * dy) > size / 2 + 2;
    });
    const canvas = document.getElementById('surface'), g = canvas.getContext('2d');
    for (const [type, x1, y1, x2, y2, , colour] of commands) {
      if (type !== 'name' || targets.length > 1)
        continue;
      const want = rgb(colour), w = x2 - x1, pixels = g.getImageData(x1, y1, w, y2 - y1).data;
      for (let i = 0; i < pixels.length && targets.length < 2; i += 4) {
        const x = x1 + (i >> 2) % w, y = y1 + Math.floor((i >> 2) / w);
        if (want.every((v, k) => pixels[i + k] === v) && clear(x + 0.5, y + 0.5))
          targets.push([x, y, ...want]);
      }
    }
    return { families: board.fontFamilies, pixels: board.fontPixels[board.fontRoles.Point],
      commands, targets };
  });
  await tab.close();
  if (result.targets.length < 2)
    throw new Error('no pixel of a point name clear of the figure');
  return result;
}

// The reference: a hand-written canvas page that paints the picture's commands as they stand.
function referencePage(p) {
  const file = path.join(folder, 'reference.html');
  const font = p.pixels + 'px ' + p.families.map((f) => '"' + f + '"').concat('sans-serif').join(', ');
  fs.writeFileSync(file, `<!doctype html><html><head><meta charset="utf-8">
<style>html,body{margin:0;overflow:hidden}
canvas{position:fixed;left:0;top:0;width:100%;height:100%;display:block}</style>
</head><body><canvas id="surface"></canvas><script>
const commands = ${JSON.stringify(p.commands)};
const c = document.getElementById('surface'), g = c.getContext('2d', { alpha: false });
const hex = (v) => '#' + ('00000' + v.toString(16)).slice(-6);
c.width = Math.round(innerWidth * devicePixelRatio);
c.height = Math.round(innerHeight * devicePixelRatio);
g.fillStyle = '#fff';
g.fillRect(0, 0, c.width, c.height);
g.font = ${JSON.stringify(font)};
for (const [type, x1, y1, x2, y2, size, colour, fill, caption] of commands) {
  g.fillStyle = g.strokeStyle = hex(colour);
  if (type === 'band') {
    g.fillRect(x1, y1, x2 - x1, y2 - y1);
  } else if (type === 'segment') {
    g.lineWidth = size;
    g.beginPath();
    g.moveTo(x1, y1);
    g.lineTo(x2, y2);
    g.stroke();
  } else if (type === 'disc') {
    g.beginPath();
    g.arc(x1, y1, size, 0, 2 * Math.PI);
    g.fill();
  } else {
    g.fillStyle = hex(fill);
    g.fillRect(x1, y1, x2 - x1, y2 - y1);
    g.fillStyle = hex(colour);
    g.fillText(caption, x1, size);
  }
}
</script></body></html>`);
  return file;
}

// Runs in each page before its own script: notes when the first animation frame whose canvas,
// once the page has sized it, shows every target pixel [x, y, r, g, b] at ratio 1 runs its
// callbacks; that frame paints the picture. (Not the frame's own time stamp: that is when the
// frame began, and a busy page runs its callbacks much later.)
function watchFirstFrame(targets) {
  function look() {
    const canvas = document.getElementById('surface');
    const sized = canvas && canvas.width === Math.round(innerWidth * devicePixelRatio);
    const g = sized && canvas.getContext('2d');
    if (g && targets.every(([x, y, ...rgb]) => {
      const p = g.getImageData(x, y, 1, 1).data;
      return p[3] === 255 && rgb.every((v, i) => p[i] === v);
    }))
      window.firstFigureFrame = performance.now();
    else
      requestAnimationFrame(look);
  }
  requestAnimationFrame(look);
}

const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];
const frame = (tab) => tab.evaluate(() => new Promise((done) => requestAnimationFrame(done)));

async function firstFrame(browser, file, targets) {
  const tab = await open(browser, file, view, `(${watchFirstFrame})(${JSON.stringify(targets)})`);
  await tab.waitForFunction(() => window.firstFigureFrame !== undefined);
  const time = await tab.evaluate(() => window.firstFigureFrame);
  await tab.close();
  return time;
}

// Main-thread task time per move over a drag of 100 moves, each followed by one frame.
async function dragCost(browser, file, scale) {
  const tab = await open(browser, file, { width: 900, height: 541, scale });
  await frame(tab);
  const cdp = await tab.createCDPSession();
  await cdp.send('Performance.enable');
  const taskDuration = async () => (await cdp.send('Performance.getMetrics')).metrics
    .find((m) => m.name === 'TaskDuration').value;
  const mouse = (type, x, y) => cdp.send('Input.dispatchMouseEvent',
    { type, x, y, button: 'left', buttons: 1, clickCount: type === 'mouseMoved' ? 0 : 1 });
  await mouse('mousePressed', 820, 480);
  await frame(tab);
  const before = await taskDuration();
  for (let i = 1; i <= 100; ++i) {
    const swing = (i % 40 < 20 ? i % 20 : 20 - i % 20) * 3;
    await mouse('mouseMoved', 820 - swing, 480 - swing / 2);
    await frame(tab);
  }
  const perMove = (await taskDuration() - before) * 1000 / 100;
  await mouse('mouseReleased', 820, 480);
  await tab.close();
  return perMove;
}

async function main() {
  if (!fs.existsSync(page))
    throw new Error(page + ' is missing: build it with scripts/web');
  const html = fs.readFileSync(page);
  console.log(`Brinmoor.html: ${(html.length / 1024).toFixed(1)} KB, `
    + `${(zlib.gzipSync(html, { level: 9 }).length / 1024).toFixed(1)} KB gzip'd`);
  const browser = await launch();
  try {
    const drawn = await picture(browser);
    const files = { page, reference: referencePage(drawn), blank };
    const targets = { page: drawn.targets, reference: drawn.targets, blank: [[0, 0, 255, 255, 255]] };
    const shown = { page: [], reference: [], blank: [] };
    const order = Object.keys(shown);
    for (let i = 0; i < rounds; ++i) // each page first, second and third in turn
      for (let k = 0; k < order.length; ++k) {
        const which = order[(i + k) % order.length];
        shown[which].push(await firstFrame(browser, files[which], targets[which]));
      }
    const [p, r, b] = order.map((which) => median(shown[which]));
    // Each round loads the three pages within a second; the ratio within a round leaves out
    // how busy this shared machine was in that second.
    const paired = (other) => median(shown.page.map((t, i) => t / shown[other][i]));
    console.log(`first frame with the figure: ${p.toFixed(1)} ms, hand-written page `
      + `${r.toFixed(1)} ms, ratio ${(p / r).toFixed(2)}; blank page ${b.toFixed(1)} ms, `
      + `ratio ${(p / b).toFixed(2)} (medians of ${rounds}); within rounds `
      + `${paired('reference').toFixed(2)} and ${paired('blank').toFixed(2)}`);
    for (const scale of process.argv[4] === 'first-frame' ? [] : [1, 2]) {
      const cost = { page: [], blank: [] };
      for (let i = 0; i < rounds; ++i)
        for (const which of i % 2 ? ['blank', 'page'] : ['page', 'blank'])
          cost[which].push(await dragCost(browser, files[which], scale));
      const dp = median(cost.page), db = median(cost.blank);
      console.log(`drag at ratio ${scale}: ${dp.toFixed(3)} ms task time per move, blank page `
        + `${db.toFixed(3)} ms, ratio ${(dp / db).toFixed(2)} (median of ${rounds})`);
    }
  } finally {
    await browser.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
