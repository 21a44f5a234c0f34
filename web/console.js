// The page's console: the program's runs, with what the person types and
// the keys and buttons that send it. It runs before the program has
// arrived, and keeps what is typed until then.
import {watchAddress} from './address_bar.js';
import {keepFieldInView} from './console_log.js';
import {fitReportColumns} from './font_fit.js';
import {offerOffline} from './offline.js';
import {currentRun, launch, prepare, programArrived} from './run.js';
import {begun, endInput, markTouched, send} from './typing.js';

const screen = document.getElementById('screen');
const form = document.getElementById('line');
const field = document.getElementById('answer');
const status = document.getElementById('status');

form.addEventListener('submit', (event) => {
  event.preventDefault();
  send(currentRun(), `${field.value}\n`);
  field.value = '';
  field.focus();
});
field.addEventListener('input', markTouched);
// As at a terminal: Ctrl-D ends the input wherever the focus is, and
// what is typed on the console, as after selecting some of it, goes to
// the field. Once a run has ended, the browser has its keys back.
document.addEventListener('keydown', (event) => {
  const run = currentRun();
  if (!run || run.input.ended || event.altKey || event.metaKey) {
    return;
  }
  if (event.ctrlKey) {
    if (event.key.toLowerCase() === 'd') {
      event.preventDefault();
      endInput(run);
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
    markTouched();
  }
});
document.getElementById('end').addEventListener('click', () => endInput(currentRun()));
document.querySelectorAll('.key').forEach((key) => {
  key.addEventListener('click', () => {
    field.setRangeText(key.dataset.key, field.selectionStart, field.selectionEnd, 'end');
    field.focus();
  });
});
document.getElementById('again').addEventListener('click', () => {
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
offerOffline(begun);
watchAddress();
form.onsubmit = null; // the page's own keeper of early lines
prepare(true);
// Parsed in the page's body, before the program: the document is still
// loading, and is loaded once the program's script has run or failed.
document.addEventListener('DOMContentLoaded', programArrived);
