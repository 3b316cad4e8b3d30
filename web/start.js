// How the module starts. Its bytes are decoded from this page, never fetched, and compiled
// asynchronously: Chrome before 114 refuses to compile more than 4 KB synchronously on the
// main thread.
Module.instantiateWasm = (imports, receive) => {
  WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports)
    .then((result) => receive(result.instance), (error) => abort(error));
  return {};
};

// The page's own message for a browser that cannot run it, which the page hides while it
// starts (shell.html.in).
function showUnsupported() {
  document.documentElement.classList.remove('starting');
}
Module.onAbort = showUnsupported;
