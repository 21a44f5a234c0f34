// Put before emscripten's runtime, in its scope. The program's WebAssembly
// sits in the program's script as base64, in a data: address, which the
// runtime fetches and so decodes through the browser's network stack: on a
// phone the slowest step of the start. Where the engine decodes base64
// itself, the bytes are taken straight from the address, in a fraction of
// a millisecond. Quoted names, which the optimiser leaves as they are:
// Uint8Array.fromBase64 is too new for its list of the engine's names.
if (typeof Uint8Array['fromBase64'] == 'function') {
  Module['instantiateWasm'] = function(imports, receiveInstance) {
    const bytes = Uint8Array['fromBase64'](wasmBinaryFile.slice(dataURIPrefix.length));
    WebAssembly.instantiate(bytes, imports).then(function(result) {
      receiveInstance(result['instance']);
    }, function(reason) {
      err('failed to asynchronously prepare wasm: ' + reason);
      abort(reason);
    });
    return {};  // the exports come to receiveInstance
  };
}
