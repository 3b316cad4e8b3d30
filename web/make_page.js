// node make_page.js SHELL TITLE MODULE OUT SCRIPT...
// Writes the page: the shell with its title, the module's bytes in base64 and the scripts one
// after another, in ASCII throughout. A browser keeps a page that is ASCII as one-byte text, and
// hands its script to the engine as such: one Japanese letter anywhere makes the whole page and
// script two-byte text, which costs the first frame 1 to 2 ms (measured in Chromium).
'use strict';
const fs = require('fs');

const [shell, titleFile, moduleFile, out, ...scripts] = process.argv.slice(2);
const inHtml = (text) =>
  text.replace(/[^\0-\x7f]/gu, (c) => '&#x' + c.codePointAt(0).toString(16) + ';');
const inScript = (text) =>
  text.replace(/[^\0-\x7f]/g, (c) => '\\u' + c.charCodeAt(0).toString(16).padStart(4, '0'));

const page = fs.readFileSync(shell, 'utf8');
const parts = page.split('{{{ SCRIPT }}}');
const script = scripts.map((file) => fs.readFileSync(file, 'utf8')).join('');
if (parts.length !== 2 || /<\/script/i.test(script))
  throw new Error(shell + ' needs one place for the script, which may not end its element');
const filled = (html) => {
  for (const [placeholder, text] of [['{{{ TITLE }}}', fs.readFileSync(titleFile, 'utf8')],
    ['{{{ MODULE }}}', fs.readFileSync(moduleFile).toString('base64')]])
    html = html.replace(placeholder, () => text);
  return inHtml(html);
};
fs.writeFileSync(out, filled(parts[0]) + inScript(script) + filled(parts[1]));
