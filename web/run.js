// One run of the program at a time, in the page's console: a fresh
// instance each, started afresh by Run again. The first starts before the
// program has arrived, with what the page shows and what was sent.
import {answersKept, forgetAddressNote, keepInAddress, offerAddress} from './address_bar.js';
import * as consoleInput from './console_input.js';
import {clearLog, echoes, show, showError} from './console_log.js';
import {draw} from './drawing.js';
import {confirms, firstLinesEnd, firstLinesShown} from './first_lines.js';
import {linesOf} from './page_address.js';
import {figuresOf} from './reservoir_layout.js';
import {deliver, markTouched, nameField, sent, setInputEnabled} from './typing.js';

const screen = document.getElementById('screen');
const form = document.getElementById('line');
const field = document.getElementById('answer');
const again = document.getElementById('again');
const status = document.getElementById('status');
const reservoir = document.getElementById('reservoir');
const LOADING = status.textContent; // until the program's first read
const FIRST_FIGURE = 'Total gallons needed'; // the report's first figure
let run = null; // the run in progress, or the one to come

function currentRun() {
  return run;
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
  markTouched();
  setInputEnabled(false);
  nameField('');
  document.body.dataset.waiting = 'no';
  document.body.dataset.exitStatus = String(exitStatus);
  status.textContent =
    (started ? 'The run ended with exit status ' : 'The calculator could not start, exit status ') +
    exitStatus +
    (exitStatus === 0 ? '.' : ': see the error above.');
  again.hidden = false;
  form.hidden = true; // it takes nothing more: its room goes to the report
  status.focus({preventScroll: true});
  // Once what the end of the run changed is laid out, where the browser
  // may still move the page for the key or the click that ended it: the
  // drawing, and above it the report's figures, in view.
  requestAnimationFrame(() => {
    if (!reservoir.hidden) {
      reservoir.scrollIntoView({block: 'nearest'});
    }
    const figures = [...screen.children].find((line) => line.textContent.startsWith(FIRST_FIGURE));
    if (figures && figures.getBoundingClientRect().top < 0) {
      figures.scrollIntoView({block: 'start'});
    }
  });
}

// A new run, ready for what is sent; the program starts with launch.
// The page's first run takes what the page showed, the answers its
// address holds, then what was typed before its script ran; a later one
// starts on a clear screen, and an address without answers.
function prepare(first) {
  const early = first ? echoes() : [];
  if (!first) {
    clearLog();
    forgetAddressNote();
  }
  reservoir.hidden = true;
  reservoir.textContent = '';
  again.hidden = true;
  form.hidden = false;
  setInputEnabled(true);
  delete document.body.dataset.exitStatus;
  run = {
    input: consoleInput.opened(),
    sent: '', // every line sent, as the page's address keeps them
    resolve: null, // hands the read that waits its bytes
    output: '',
    drawn: false,
    decoders: {1: new TextDecoder(), 2: new TextDecoder()},
    awaited: first ? firstLinesShown() : null, // to be confirmed
    starting: true, // until its first read
    replay: null, // {lines, ended}: lines to send at the reads to come
  };
  if (!first) {
    keepInAddress(run.sent, false);
    field.focus(); // the page's own field has the focus from the first
    return;
  }
  // Lines typed while the page loaded follow the address's, if any.
  const kept = answersKept();
  if (kept.sent === '' && !kept.ended) {
    early.forEach((echo) => sent(run, echo.textContent, true));
    if (early.length > 0) {
      keepInAddress(run.sent, false);
    }
    return;
  }
  early.forEach((echo) => echo.remove());
  const lines = linesOf(kept.sent);
  run.replay = {
    lines: kept.ended ? lines : lines.concat(early.map((echo) => echo.textContent)),
    ended: kept.ended,
  };
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

// The error after what the program wrote, not after what the page
// showed for it.
function stopped(thisRun, what) {
  if (thisRun !== run) {
    return;
  }
  firstLinesEnd(thisRun);
  showError(`error: the program stopped: ${what}\n`);
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
          deliver(thisRun);
        });
      },
    },
    onExit: finished,
    onAbort(what) {
      stopped(thisRun, what);
    },
  });
}

// The program's script follows the page's: it may still be on its way.
function programArrived() {
  if (typeof runCalculator !== 'function') {
    setInputEnabled(false);
    status.textContent = 'The calculator did not load completely: reload the page to try again.';
    return;
  }
  launch();
}

export {currentRun, prepare, launch, programArrived};
