// How the module starts. Its bytes are decoded from this page, never fetched, and compiled on
// the spot, so that the page's first frame already shows the board: a hop to a compiling thread
// and back costs more than compiling this small a module. Chrome before 114 refuses to compile
// more than 4 KB synchronously on the main thread; there the module compiles asynchronously,
// while the page measures its captions.
Module.instantiateWasm = (imports, receive) => {
  // The browser's own decoder takes a tenth of the time of a loop in script.
  const bytes = Uint8Array.fromBase64
    ? Uint8Array.fromBase64(wasmBinaryFile.slice(dataURIPrefix.length))
    : tryParseAsDataURI(wasmBinaryFile);
  let module = null;
  try {
    module = new WebAssembly.Module(bytes);
  } catch (refused) {
    WebAssembly.instantiate(bytes, imports)
      .then((result) => receive(result.instance), (error) => abort(error));
    return {};
  }
  try {
    receive(new WebAssembly.Instance(module, imports));
  } catch (error) {
    abort(error);
  }
  return {};
};

// The page's own message for a browser that cannot run it, which the page hides while it
// starts (shell.html.in).
function showUnsupported() {
  document.documentElement.classList.remove('starting');
}
Module.onAbort = showUnsupported;
