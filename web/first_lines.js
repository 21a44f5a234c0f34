// The program's first lines, which the page shows from the start, before
// the program has arrived: the program's own writes then confirm them,
// or replace them with what it did write, and what was typed after.
import {clearLog, echoes, show} from './console_log.js';

const screen = document.getElementById('screen');

// What the page shows of the program before it runs, to be confirmed.
function firstLinesShown() {
  return [...screen.querySelectorAll('[data-fd="1"]')].map((line) => line.textContent).join('');
}

// Whether `text`, written on `fd`, is what the page already shows of the
// program's first lines.
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
  const typed = echoes().map((echo) => echo.textContent);
  thisRun.awaited = null;
  clearLog();
  thisRun.output.split(/(?<=\n)/).forEach((line) => show(line, 1));
  typed.forEach((line) => show(line, 0));
}

export {firstLinesShown, confirms, firstLinesEnd};
