// The console's input, apart from the page: the lines typed ahead, the
// read that waits, the end of the input, and the question that waits.
// Each function takes an input and gives a new one; none touches the
// page, so that a test under node checks them.
// Nothing typed, nothing read, the input open.
function opened() {
  return {typed: [], ended: false, readSize: 0, sinceRead: ''};
}

// A line, as bytes, is kept until the program reads it.
function typed(input, bytes) {
  return input.ended ? input : {...input, typed: [...input.typed, bytes]};
}

function ended(input) {
  return {...input, ended: true};
}

// What the program writes between two reads asks the next question.
function written(input, text) {
  return {...input, sinceRead: input.sinceRead + text};
}

// The program waits for at most `size` bytes.
function reading(input, size) {
  return {...input, readSize: size};
}

// What the waiting read takes: the next bytes typed, up to its size; at
// the end of the input, no bytes; else nothing yet (null).
function taken(input) {
  if (input.readSize === 0) {
    return {input, bytes: null};
  }
  if (input.typed.length > 0) {
    const [chunk, ...rest] = input.typed;
    const bytes = chunk.subarray(0, input.readSize);
    const left = bytes.length === chunk.length ? rest : [chunk.subarray(bytes.length), ...rest];
    return {input: {...input, typed: left, readSize: 0, sinceRead: ''}, bytes};
  }
  if (input.ended) {
    return {input: {...input, readSize: 0}, bytes: new Uint8Array(0)};
  }
  return {input, bytes: null};
}

// The one question that waits: the last one the program wrote since it
// last read, where questions typed ahead of have run on in one line; ''
// where it wrote nothing, as after a blank line, and the same question
// waits.
function question(input) {
  const line = input.sinceRead.trimEnd().split('\n').pop();
  const asked = line.match(/[^?]*\?$/);
  return (asked ? asked[0] : line).trim();
}

export {opened, typed, ended, written, reading, taken, question};
