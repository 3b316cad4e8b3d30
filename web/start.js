// How the module starts. Its bytes are in the page (#module, base64), never fetched, and are
// compiled on the spot, so that the page's first frame already shows the board: a hop to a
// compiling thread and back costs more than compiling this small a module. Chrome before 114
// refuses to compile more than 4 KB synchronously on the main thread; there the module compiles
// asynchronously, while the page measures its captions.
'use strict';

// While the page starts, its message for browsers that cannot run it stays hidden; a browser
// that cannot even read this script shows it (shell.html.in).
document.documentElement.className = 'starting';
function showUnsupported() {
  document.documentElement.classList.remove('starting');
}

// Views of the module's memory, which never grows (its size is fixed when it is built), so
// that they stay valid. The core's entry points become globals named _bm_….
var HEAPU8 = null, HEAPF32 = null;
var moduleStarted = false; // true once the core runs; the page starts then
let whenModuleStarts = null;

// A NUL-terminated UTF-8 text the core wrote into its memory.
function moduleText(address) {
  return new TextDecoder().decode(HEAPU8.subarray(address, HEAPU8.indexOf(0, address)));
}

(function startModule() {
  function decode(text) {
    // The browser's own decoder takes a tenth of the time of a loop in script.
    if (Uint8Array.fromBase64)
      return Uint8Array.fromBase64(text);
    const binary = atob(text), bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i)
      bytes[i] = binary.charCodeAt(i);
    return bytes;
  }
  // The core's only import: it stops (an allocation failed), which no page can carry on from.
  const imports = { wasi_snapshot_preview1: { proc_exit(code) {
    throw new Error('the core stopped with code ' + code);
  } } };
  function run(instance) {
    const core = instance.exports;
    HEAPU8 = new Uint8Array(core.memory.buffer);
    HEAPF32 = new Float32Array(core.memory.buffer);
    core._initialize(); // the core's static data
    for (const name of Object.keys(core))
      if (name.startsWith('bm_'))
        window['_' + name] = core[name];
    moduleStarted = true;
    if (whenModuleStarts)
      whenModuleStarts();
  }
  function failed(error) {
    showUnsupported();
    throw error;
  }

  try {
    if (typeof WebAssembly !== 'object')
      throw new Error('no WebAssembly');
    const bytes = decode(document.getElementById('module').textContent);
    let module = null;
    try {
      module = new WebAssembly.Module(bytes);
    } catch (refused) {
      if (!(refused instanceof RangeError))
        throw refused;
      WebAssembly.instantiate(bytes, imports).then((result) => run(result.instance))
        .catch(failed);
      return;
    }
    run(new WebAssembly.Instance(module, imports));
  } catch (error) {
    failed(error);
  }
})();

// Runs start once the core runs: at once, or when the asynchronous compilation ends.
function onModuleStarted(start) {
  if (moduleStarted)
    start();
  else
    whenModuleStarts = start;
}
