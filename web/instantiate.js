// Put before emscripten's runtime, in its scope. The program's WebAssembly
// comes as base64: in a page, in an element of its own, which the engine
// keeps as text rather than parse it as script; under node, in the
// runtime's data: address. It is decoded here, by the engine where it can
// (a fraction of a millisecond), else by the runtime's own decoder, and
// never fetched. Quoted names, which the optimiser leaves as they are:
// Uint8Array.fromBase64 is too new for its list of the engine's names.
Module['instantiateWasm'] = function (imports, receiveInstance) {
  let text = wasmBinaryFile.slice(dataURIPrefix.length);
  if (text === '') {
    text = document.getElementById('program-wasm').textContent;
  }
  // Text that is no base64, as from a page cut short, ends the run too.
  Promise.resolve(text)
    .then(function (base64) {
      const bytes =
        typeof Uint8Array['fromBase64'] == 'function'
          ? Uint8Array['fromBase64'](base64)
          : intArrayFromBase64(base64);
      return WebAssembly.instantiate(bytes, imports);
    })
    .then(
      function (result) {
        receiveInstance(result['instance']);
      },
      function (reason) {
        err('failed to asynchronously prepare wasm: ' + reason);
        abort(reason);
      },
    );
  return {}; // the exports come to receiveInstance
};
