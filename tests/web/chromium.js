// Debian's Chromium, headless, for the page tests and the page benchmark; never downloaded.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL } = require('url');
const puppeteer = require('puppeteer-core');

exports.launch = () => {
  const args = ['--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--hide-scrollbars'];
  if (process.getuid() === 0)
    args.push('--no-sandbox');
  return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'brinmoor-chromium-')) });
};

// A new tab on the file at the given size and device pixel ratio, before or after loading.
exports.open = async (browser, file, { width, height, scale }, beforeLoad) => {
  if (!fs.existsSync(file))
    throw new Error(file + ' is missing: build it with scripts/web');
  const tab = await browser.newPage();
  await tab.setViewport({ width, height, deviceScaleFactor: scale });
  if (beforeLoad)
    await tab.evaluateOnNewDocument(beforeLoad);
  await tab.goto(pathToFileURL(file).href);
  return tab;
};
