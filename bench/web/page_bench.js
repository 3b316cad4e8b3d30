// Prints figures for Brinmoor.html against a blank page in Debian's headless Chromium:
// the page's size, the time to the first frame that shows the figure, and the main thread's
// task time per drag move at ratio 1 and 2. Medians over alternating rounds; no pass or fail.
// Usage: node bench/web/page_bench.js [PAGE] [ROUNDS]   (default build-web/Brinmoor.html, 7)
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { launch, open } = require('../../tests/web/engines');

const page = path.resolve(process.argv[2] || path.join(__dirname, '../../build-web/Brinmoor.html'));
const rounds = Math.max(7, Number(process.argv[3]) || 7);

// The reference: a full-viewport canvas filled white at load and on every pointer move.
const blank = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'brinmoor-bench-')), 'blank.html');
fs.writeFileSync(blank, `<!doctype html><html><head><meta charset="utf-8">
<style>html,body{margin:0;overflow:hidden}
canvas{position:fixed;inset:0;width:100%;height:100%}</style>
</head><body><canvas id="surface"></canvas><script>
const c = document.getElementById('surface'), g = c.getContext('2d');
function fill() { g.fillStyle = '#fff'; g.fillRect(0, 0, c.width, c.height); }
c.width = Math.round(innerWidth * devicePixelRatio);
c.height = Math.round(innerHeight * devicePixelRatio);
fill();
c.addEventListener('pointermove', fill);
</script></body></html>`);

// Runs in each page before its own script: notes the first frame whose canvas shows the
// figure (one pixel on BC in BC's colour), or white on the blank page.
function watchFirstFrame() {
  function look(time) {
    const canvas = document.getElementById('surface');
    let want = [255, 255, 255], at = [0, 0];
    if (!location.pathname.endsWith('/blank.html')) {
      if (typeof Module === 'undefined' || !Module.calledRun)
        return requestAnimationFrame(look);
      const s = Module.HEAPF32.subarray(Module._bm_segments() >> 2);
      at = [s[0] + (s[2] - s[0]) / 4, s[1]]; // a quarter along BC, clear of the grid
      want = [s[4] >> 16, (s[4] >> 8) & 255, s[4] & 255];
    }
    const r = devicePixelRatio;
    const p = canvas && canvas.width > 1 &&
      canvas.getContext('2d').getImageData(Math.floor(at[0] * r), Math.floor(at[1] * r), 1, 1).data;
    if (p && p[3] === 255 && want.every((v, i) => p[i] === v))
      window.firstFigureFrame = time;
    else
      requestAnimationFrame(look);
  }
  requestAnimationFrame(look);
}

const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];
const frame = (tab) => tab.evaluate(() => new Promise((done) => requestAnimationFrame(done)));

async function firstFrame(browser, file) {
  const tab = await open(browser, file, { width: 900, height: 541, scale: 1 }, watchFirstFrame);
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
    const files = { page, blank };
    const shown = { page: [], blank: [] };
    for (let i = 0; i < rounds; ++i)
      for (const which of i % 2 ? ['blank', 'page'] : ['page', 'blank'])
        shown[which].push(await firstFrame(browser, files[which]));
    const p = median(shown.page), b = median(shown.blank);
    console.log(`first frame with the figure: ${p.toFixed(1)} ms, blank page ${b.toFixed(1)} ms, `
      + `ratio ${(p / b).toFixed(2)} (median of ${rounds})`);
    for (const scale of [1, 2]) {
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
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
