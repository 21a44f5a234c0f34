// The page's console: what the program writes, what the person types, and
// one run of the program at a time, started afresh by Run again. It runs
// before the program has arrived, and keeps what is typed until then. The
// page shows what the program prints before its first read from the
// start; the program's own writes then confirm it, or replace it.
import * as consoleInput from './console_input.js';
import {draw} from './drawing.js';
import {offerOffline} from './offline.js';
import * as pageAddress from './page_address.js';
import {figuresOf} from './reservoir_layout.js';

const screen = document.getElementById('screen');
const form = document.getElementById('line');
const label = form.querySelector('label');
const field = document.getElementById('answer');
const inputs = form.querySelectorAll('input, button');
const endButton = document.getElementById('end');
const again = document.getElementById('again');
const status = document.getElementById('status');
const reservoir = document.getElementById('reservoir');
const addressNote = document.getElementById('address-note');
const share = document.getElementById('share');
const encoder = new TextEncoder();
const FIELD_NAME = 'Answer';           // while no question waits
const LOADING = status.textContent;     // until the program's first read
const FIRST_FIGURE = 'Total gallons needed';  // the report's first figure
const ADDRESS_RETRY = 1000;  // milliseconds before a refused address is asked again
let run = null;        // the run in progress, or the one to come
let touched = false;   // whether the person has typed or run anything
let inView = false;    // whether the field is to be brought into view
let addressToKeep = null;  // an address the engine refused for now

// Standard error holds errors, which begin "error: ", and the closing
// wait's line, which asks for an entry and is no error.
function kindOf(fd, line) {
  if (fd !== 2) {
    return fd === 0 ? 'echo' : 'out';
  }
  return line.startsWith('error: ') ? 'err' : 'note';
}

// Each line, and each question, is an element of its own, so that a
// screen reader announces it as it comes. A line that comes in parts
// grows by additions only: text already there is never replaced, or it
// would be heard again.
function show(text, fd) {
  if (text === '') {
    return;
  }
  const last = screen.lastChild;
  const open = last && Number(last.dataset.fd) === fd &&
      !last.textContent.endsWith('\n');
  const span = open ? last : document.createElement('span');
  span.dataset.fd = String(fd);
  span.appendChild(document.createTextNode(text));
  span.className = kindOf(fd, span.textContent);
  if (!open) {
    screen.appendChild(span);
  }
  keepFieldInView();
}

// Once a frame at most, however many lines come in it, and never while
// the page is still being parsed: each call lays the page out.
function keepFieldInView() {
  if (!inView) {
    inView = true;
    requestAnimationFrame(() => {
      inView = false;
      if (!form.hidden) {
        field.scrollIntoView({block: 'nearest'});
      }
    });
  }
}

// Whether `text`, written on `fd`, is what the page already shows of the
// program's first lines. Where the program writes anything else, the
// page shows what it did write in their place, and what was typed after.
function confirms(thisRun, fd, text) {
  if (thisRun.awaited === null || text === '') {
    return false;
  }
  if (fd === 1 && thisRun.awaited.startsWith(text)) {
    thisRun.awaited = thisRun.awaited.slice(text.length);
    return true;
  }
  unconfirmed(thisRun);
  return false;
}

// The program's first read, or its end before one: the page's first
// lines stand only where it wrote them all.
function firstLinesEnd(thisRun) {
  if (thisRun.awaited !== null && thisRun.awaited !== '') {
    unconfirmed(thisRun);
  }
  thisRun.awaited = null;
}

function unconfirmed(thisRun) {
  const typed = [...screen.querySelectorAll('.echo')].map((echo) => echo.textContent);
  thisRun.awaited = null;
  screen.textContent = '';
  thisRun.output.split(/(?<=\n)/).forEach((line) => show(line, 1));
  typed.forEach((line) => show(line, 0));
}

// The widest line a report can hold, which must fit the console whole.
const REPORT_COLUMNS = 50;
const FIT_STEP = 0.1;   // pixels: a font may round each character's width
const FIT_STEPS = 80;

function columnsWidth(fontSize) {
  const probe = document.createElement('span');
  probe.style.cssText = 'position: absolute; visibility: hidden; white-space: pre';
  probe.style.fontFamily = getComputedStyle(screen).fontFamily;
  probe.style.fontSize = fontSize + 'px';
  probe.textContent = '0'.repeat(REPORT_COLUMNS);
  document.body.appendChild(probe);
  const width = probe.getBoundingClientRect().width;
  probe.remove();
  return width;
}

// The style's size for the console's text is worked out for a usual
// monospace font; where this one is wider, the largest size that fits,
// handed to the style: as the console's own size, it would hold on
// paper too.
function fitReportColumns() {
  screen.style.removeProperty('--fitted');
  const style = getComputedStyle(screen);
  const room = screen.clientWidth - parseFloat(style.paddingLeft) -
      parseFloat(style.paddingRight);
  let size = parseFloat(style.fontSize);
  for (let steps = 0; columnsWidth(size) > room && steps < FIT_STEPS; steps++) {
    size -= FIT_STEP;
  }
  screen.style.setProperty('--fitted', size + 'px');
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

// Hands the program what was typed, once it asks and something is there;
// while it waits, the field is named for its question.
function deliver() {
  replayLine();
  const {input, bytes} = consoleInput.taken(run.input);
  run.input = input;
  const question = consoleInput.question(input);
  if (bytes) {
    run.resolve(bytes);
  } else if (input.readSize > 0) {
    if (question !== '') {
      nameField(question);
    }
    field.scrollIntoView({block: 'nearest'});  // once a read, not a write
  }
  document.body.dataset.waiting = input.readSize > 0 ? 'yes' : 'no';
}

// What is sent waits for the program; it shows in the echo's style,
// unless it shows already.
function sent(text, shown = false) {
  if (!shown) {
    show(text, 0);
  }
  run.sent += text;
  run.input = consoleInput.typed(run.input, encoder.encode(text));
}

function inputEnded() {
  run.input = consoleInput.ended(run.input);
  setInputEnabled(false);
  nameField('');
  status.textContent = 'Input ended.';
}

// The lines that the page's address held, each sent at a read that finds
// nothing typed, as a person typed them, then the input's end where it
// was ended; what is sent meanwhile waits behind them.
function replayLine() {
  const replay = run.replay;
  if (!replay || run.input.readSize === 0 || run.input.typed.length > 0) {
    return;
  }
  if (replay.lines.length > 0) {
    sent(replay.lines.shift());
  } else {
    run.replay = null;
    if (replay.ended) {
      inputEnded();
    }
    keepInAddress();  // which held these lines until now
  }
}

// A line, or with `ending` the text before the end of the input.
function send(text, ending = false) {
  if (!run || run.input.ended || (run.replay && run.replay.ended)) {
    return;
  }
  touched = true;
  if (run.replay) {
    run.replay.lines.push(text);
    run.replay.ended = ending;
  } else {
    sent(text);
    if (ending) {
      inputEnded();
    }
    keepInAddress();
  }
  deliver();
}

function endInput() {
  const text = field.value;
  field.value = '';
  send(text, true);
}

// The answers sent so far, in the page's address, which a reload or a
// link then opens as the same run. Replaced, not pushed, so that Back
// leaves the page.
function keepInAddress() {
  const waiting = addressToKeep !== null;
  addressToKeep = location.href.split('#')[0] + pageAddress.fragmentOf(run.sent, run.input.ended);
  if (!waiting) {
    replaceAddress();
  }
}

// An engine may refuse calls that come too often (WebKit: over 100 in
// 10 s), as a page's tests make them: the latest address is then asked
// for again later, and the page marks that its address is behind.
function replaceAddress() {
  try {
    if (addressToKeep !== location.href) {
      history.replaceState(history.state, '', addressToKeep);
    }
    addressToKeep = null;
    delete document.body.dataset.addressBehind;
  } catch {
    document.body.dataset.addressBehind = 'yes';
    setTimeout(replaceAddress, ADDRESS_RETRY);
  }
}

// The answers that the page's address holds, as a reload or a link
// opens it; where they cannot be taken, the page says why and opens as
// if there were none.
function answersKept() {
  const kept = pageAddress.answersIn(location.hash);
  if (kept && kept.refused) {
    addressNote.textContent = `The answers in this page's address were not taken: ${kept.refused}.`;
  }
  return kept && !kept.refused ? kept : {sent: '', ended: false};
}

// Once there is a report, and the address holds the answers that made it.
function offerAddress() {
  const kept = pageAddress.answersIn(location.hash);
  if (kept && !kept.refused) {
    addressNote.textContent = 'This page\'s address now holds these answers: ' +
        'bookmark it, or send it, to open this report again.';
    share.hidden = typeof navigator.share !== 'function';
  }
}

function written(thisRun, fd, text) {
  if (!confirms(thisRun, fd, text)) {
    show(text, fd);
  }
  thisRun.input = consoleInput.written(thisRun.input, text);
  if (fd === 1) {
    thisRun.output += text;
    const figures = !thisRun.drawn && figuresOf(thisRun.output);
    if (figures) {
      thisRun.drawn = true;
      draw(reservoir, figures);
      offerAddress();
    }
  }
}

// The focus goes to the status, not to Run again, so that a second
// Enter, or a key that repeats, cannot wipe the report it has just made.
function finished(exitStatus) {
  written(run, 1, run.decoders[1].decode());
  written(run, 2, run.decoders[2].decode());
  const started = !run.starting;
  run = null;
  touched = true;
  setInputEnabled(false);
  nameField('');
  document.body.dataset.waiting = 'no';
  document.body.dataset.exitStatus = String(exitStatus);
  status.textContent = (started ? 'The run ended with exit status ' :
                        'The calculator could not start, exit status ') +
      exitStatus + (exitStatus === 0 ? '.' : ': see the error above.');
  again.hidden = false;
  form.hidden = true;  // it takes nothing more: its room goes to the report
  status.focus({preventScroll: true});
  // Once what the end of the run changed is laid out, where the browser
  // may still move the page for the key or the click that ended it: the
  // drawing, and above it the report's figures, in view.
  requestAnimationFrame(() => {
    if (!reservoir.hidden) {
      reservoir.scrollIntoView({block: 'nearest'});
    }
    const figures = [...screen.children].find(
      (line) => line.textContent.startsWith(FIRST_FIGURE));
    if (figures && figures.getBoundingClientRect().top < 0) {
      figures.scrollIntoView({block: 'start'});
    }
  });
}

// A new run, ready for what is typed; the program starts with launch.
// The page's first run takes what the page showed, the answers its
// address holds, then what was typed before its script ran; a later one
// starts on a clear screen, and an address without answers.
function prepare(first) {
  const early = first ? [...screen.querySelectorAll('.echo')] : [];
  if (!first) {
    screen.textContent = '';
    addressNote.textContent = '';
  }
  share.hidden = true;
  reservoir.hidden = true;
  reservoir.textContent = '';
  again.hidden = true;
  form.hidden = false;
  setInputEnabled(true);
  delete document.body.dataset.exitStatus;
  run = {
    input: consoleInput.opened(),
    sent: '',  // every line sent, as the page's address keeps them
    resolve: null,  // hands the read that waits its bytes
    output: '',
    drawn: false,
    decoders: {1: new TextDecoder(), 2: new TextDecoder()},
    // What the page shows of the program before it runs, to be confirmed.
    awaited: first ? [...screen.querySelectorAll('[data-fd="1"]')]
      .map((line) => line.textContent).join('') : null,
    starting: true,  // until its first read
    replay: null,  // {lines, ended}: lines to send at the reads to come
  };
  if (!first) {
    keepInAddress();
    field.focus();  // the page's own field has the focus from the first
    return;
  }
  // Lines typed while the page loaded follow the address's, if any.
  const kept = answersKept();
  if (kept.sent === '' && !kept.ended) {
    early.forEach((echo) => sent(echo.textContent, true));
    if (early.length > 0) {
      keepInAddress();
    }
    return;
  }
  early.forEach((echo) => echo.remove());
  const lines = pageAddress.linesOf(kept.sent);
  run.replay = {lines: kept.ended ? lines : lines.concat(early.map((echo) => echo.textContent)),
                ended: kept.ended};
  setInputEnabled(!kept.ended);
}

// A program whose runtime throws as it starts ends as one that aborts.
function launch() {
  const thisRun = run;
  try {
    start(thisRun);
  } catch (error) {
    stopped(thisRun, error);
  }
}

// The error on a line of its own, after what the program wrote, not
// after what the page showed for it.
function stopped(thisRun, what) {
  if (thisRun !== run) {
    return;
  }
  firstLinesEnd(thisRun);
  const last = screen.lastChild;
  if (last && !last.textContent.endsWith('\n')) {
    show('\n', Number(last.dataset.fd));
  }
  show('error: the program stopped: ' + what + '\n', 2);
  finished(1);
}

function start(thisRun) {
  runCalculator({
    arguments: [],
    thisProgram: 'water_calculator',
    waterConsole: {
      write(fd, bytes) {
        written(thisRun, fd, thisRun.decoders[fd].decode(bytes, {stream: true}));
        return 0;
      },
      read(fd, size) {
        return new Promise((resolve) => {
          firstLinesEnd(thisRun);
          thisRun.starting = false;
          if (status.textContent === LOADING) {
            status.textContent = '';
          }
          thisRun.input = consoleInput.reading(thisRun.input, size);
          thisRun.resolve = resolve;
          deliver();
        });
      },
    },
    onExit: finished,
    onAbort(what) {
      stopped(thisRun, what);
    },
  });
}

// The program's script follows this one: it may still be on its way.
function programArrived() {
  if (typeof runCalculator !== 'function') {
    setInputEnabled(false);
    status.textContent = 'The calculator did not load completely: ' +
        'reload the page to try again.';
    return;
  }
  launch();
}

form.addEventListener('submit', (event) => {
  event.preventDefault();
  send(field.value + '\n');
  field.value = '';
  field.focus();
});
field.addEventListener('input', () => {
  touched = true;
});
// As at a terminal: Ctrl-D ends the input wherever the focus is, and
// what is typed on the console, as after selecting some of it, goes to
// the field. Once a run has ended, the browser has its keys back.
document.addEventListener('keydown', (event) => {
  if (!run || run.input.ended || event.altKey || event.metaKey) {
    return;
  }
  if (event.ctrlKey) {
    if (event.key.toLowerCase() === 'd') {
      event.preventDefault();
      endInput();
    }
    return;
  }
  if (event.target !== document.body && !screen.contains(event.target)) {
    return;
  }
  if (event.key === 'Enter') {
    event.preventDefault();
    form.requestSubmit();
  } else if (event.key.length === 1) {
    event.preventDefault();
    field.focus();
    field.setRangeText(event.key, field.selectionStart, field.selectionEnd, 'end');
    touched = true;
  }
});
endButton.addEventListener('click', endInput);
document.querySelectorAll('.key').forEach((key) => {
  key.addEventListener('click', () => {
    field.setRangeText(key.dataset.key, field.selectionStart,
                       field.selectionEnd, 'end');
    field.focus();
  });
});
share.addEventListener('click', () => {
  navigator.share({title: document.title, url: location.href}).catch(() => {});
});
// Another address of this page, as a bookmark or a link opened in this
// tab: its own run, as if opened afresh.
window.addEventListener('hashchange', () => location.reload());
again.addEventListener('click', () => {
  field.value = '';
  status.textContent = '';
  prepare(false);
  launch();
});
// A window resized, or a phone turned: the font fitted to the new width,
// and the field that waits kept in view.
window.addEventListener('resize', () => {
  fitReportColumns();
  keepFieldInView();
});
// Not while the page is still being parsed: the first fit waits for the
// first frame, and the style's own size holds until then. The field has
// the focus from its autofocus, which not every engine honours at once.
requestAnimationFrame(() => {
  fitReportColumns();
  if (document.activeElement === document.body) {
    field.focus({preventScroll: true});
  }
});
offerOffline(() => touched || field.value !== '');
form.onsubmit = null;  // the page's own keeper of early lines
prepare(true);
// Parsed in the page's body, before the program: the document is still
// loading, and is loaded once the program's script has run or failed.
document.addEventListener('DOMContentLoaded', programArrived);
