// What the person sends a run: each line, typed or from the page's keys,
// the end of the input, and the lines the page's address held, each
// handed to the program's read that waits, with the field named for the
// question it asks.
import {keepInAddress} from './address_bar.js';
import * as consoleInput from './console_input.js';
import {show} from './console_log.js';

const form = document.getElementById('line');
const label = form.querySelector('label');
const field = document.getElementById('answer');
const inputs = form.querySelectorAll('input, button');
const status = document.getElementById('status');
const encoder = new TextEncoder();
const FIELD_NAME = 'Answer'; // while no question waits
let touched = false; // whether the person has typed or run anything

// Whether the person has begun, so that nothing would be lost by a reload.
function begun() {
  return touched || field.value !== '';
}

function markTouched() {
  touched = true;
}

function setInputEnabled(enabled) {
  inputs.forEach((input) => {
    input.disabled = !enabled;
  });
}

// The field is named for the question that waits, as each one comes.
function nameField(question) {
  label.textContent = question || FIELD_NAME;
}

// Hands the program what was sent, once it asks and something is there;
// while it waits, the field is named for its question.
function deliver(thisRun) {
  replayLine(thisRun);
  const {input, bytes} = consoleInput.taken(thisRun.input);
  thisRun.input = input;
  const question = consoleInput.question(input);
  if (bytes) {
    thisRun.resolve(bytes);
  } else if (input.readSize > 0) {
    if (question !== '') {
      nameField(question);
    }
    field.scrollIntoView({block: 'nearest'}); // once a read, not a write
  }
  document.body.dataset.waiting = input.readSize > 0 ? 'yes' : 'no';
}

// What is sent waits for the program; it shows in the echo's style,
// unless it shows already.
function sent(thisRun, text, shown = false) {
  if (!shown) {
    show(text, 0);
  }
  thisRun.sent += text;
  thisRun.input = consoleInput.typed(thisRun.input, encoder.encode(text));
}

function inputEnded(thisRun) {
  thisRun.input = consoleInput.ended(thisRun.input);
  setInputEnabled(false);
  nameField('');
  status.textContent = 'Input ended.';
}

// The lines that the page's address held, each sent at a read that finds
// nothing sent, as a person typed them, then the input's end where it
// was ended; what is sent meanwhile waits behind them.
function replayLine(thisRun) {
  const {replay, input} = thisRun;
  if (!replay || input.readSize === 0 || input.typed.length > 0) {
    return;
  }
  if (replay.lines.length > 0) {
    sent(thisRun, replay.lines.shift());
  } else {
    thisRun.replay = null;
    if (replay.ended) {
      inputEnded(thisRun);
    }
    keepInAddress(thisRun.sent, thisRun.input.ended); // which held these lines until now
  }
}

// A line, or with `ending` the text before the end of the input.
function send(thisRun, text, ending = false) {
  if (!thisRun || thisRun.input.ended || (thisRun.replay && thisRun.replay.ended)) {
    return;
  }
  touched = true;
  if (thisRun.replay) {
    thisRun.replay.lines.push(text);
    thisRun.replay.ended = ending;
  } else {
    sent(thisRun, text);
    if (ending) {
      inputEnded(thisRun);
    }
    keepInAddress(thisRun.sent, thisRun.input.ended);
  }
  deliver(thisRun);
}

function endInput(thisRun) {
  const text = field.value;
  field.value = '';
  send(thisRun, text, true);
}

export {begun, markTouched, setInputEnabled, nameField, deliver, sent, send, endInput};
