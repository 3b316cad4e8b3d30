// Without a browser: the page's scripts parse as the syntax of its oldest browsers (Safari 14,
// Chrome 85 and Firefox 78 all know ES2020, no later), and its style uses only what they know:
// node oldest_browsers.js PAGE
'use strict';
const fs = require('fs');
const acorn = require('/usr/share/nodejs/acorn'); // Debian's, which Emscripten needs anyway

// Everything the style may use. A newer property is named with the fallback that makes it
// safe, and what that needs in the same rule; anything not listed fails.
const known = 'margin width height overflow background color position left top right z-index '
  + 'display touch-action outline outline-offset user-select -webkit-user-select box-sizing '
  + '-webkit-touch-callout -webkit-tap-highlight-color will-change padding font font-size '
  + 'font-weight font-feature-settings line-height white-space border border-radius '
  + 'text-align box-shadow filter cursor align-items flex -webkit-print-color-adjust color-adjust';
const newer = {
  'overscroll-behavior': { safe: 'Safari 16; where missing the page cannot scroll anyway' },
  'color-scheme': { safe: 'Chrome 81, Safari 13; the colours are set where they matter' },
  'accent-color': { safe: 'Chrome 93; where missing the check marks keep their own colour' },
  'print-color-adjust': { safe: 'with the older names',
    needs: /-webkit-print-color-adjust:[^}]*[;\s]color-adjust:/ },
};
const selectors = /:(?!(root|active|disabled|focus|focus-visible|not)(?![\w-]))[\w-]+/;
const functions = /\b(?!(calc|min|var|brightness)\()[\w-]+\(/;

const html = fs.readFileSync(process.argv[2], 'utf8');
const failures = [];
const fail = (failed, what) => failed && failures.push(what);
const names = []; // every name the scripts use, their comments left out
for (const [, script] of html.matchAll(/<script>([\s\S]*?)<\/script>/g))
  try {
    acorn.parse(script, { ecmaVersion: 2020, onToken: (t) => names.push(t.value) });
  } catch (error) {
    failures.push('script: ' + error.message);
  }
fail(names.some((name) => /^(roundRect|fontBoundingBox)/.test(name)),
  'roundRect or fontBoundingBox* in the script');
const style = html.match(/<style>([\s\S]*?)<\/style>/)[1].replace(/\/\*[\s\S]*?\*\//g, '');
for (const [, selector, body] of style.matchAll(/([^{}]+)\{([^{}]*)\}/g)) {
  fail(selectors.test(selector), 'selector ' + selector.trim());
  fail(/:focus-visible/.test(selector) && body.trim() !== 'outline: none;',
    selector.trim() + ' must only switch a :focus ring off');
  fail(functions.test(body), 'function in ' + body.match(functions)?.[0]);
  fail(/\d(?!px|vw|vh)[a-z]+/i.test(body.replace(/#[0-9a-f]+/gi, '')), 'a unit in ' + body.trim());
  for (const [, property] of body.matchAll(/(?:^|;)\s*([\w-]+)\s*:/g)) {
    const rule = newer[property];
    fail(!property.startsWith('--') && !known.split(' ').includes(property) && !rule,
      'property ' + property);
    fail(rule?.needs && !rule.needs.test(body), property + ' without its fallback');
  }
}
fail(!/@media print/.test(style) || !/#surface:focus \{ outline:/.test(style),
  'the print style or the focus ring is missing');
console.log(failures.join('\n') || 'the script and the style are as old as the oldest browsers');
process.exit(failures.length ? 1 : 0);
