// The console's log: each line the program writes, and each line sent,
// as an element of its own, so that a screen reader announces it as it
// comes; and the field that waits kept in view as the log grows.
const screen = document.getElementById('screen');
const form = document.getElementById('line');
const field = document.getElementById('answer');
let inView = false; // whether the field is to be brought into view

// Standard error holds errors, which begin "error: ", and the closing
// wait's line, which asks for an entry and is no error.
function kindOf(fd, line) {
  if (fd !== 2) {
    return fd === 0 ? 'echo' : 'out';
  }
  return line.startsWith('error: ') ? 'err' : 'note';
}

// A line that comes in parts grows by additions only: text already there
// is never replaced, or it would be heard again.
function show(text, fd) {
  if (text === '') {
    return;
  }
  const last = screen.lastChild;
  const open = last && Number(last.dataset.fd) === fd && !last.textContent.endsWith('\n');
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

// The lines sent, as the log shows them.
function echoes() {
  return [...screen.querySelectorAll('.echo')];
}

// The error on a line of its own, after any line the program left open.
function showError(text) {
  const last = screen.lastChild;
  if (last && !last.textContent.endsWith('\n')) {
    show('\n', Number(last.dataset.fd));
  }
  show(text, 2);
}

function clearLog() {
  screen.textContent = '';
}

export {show, showError, keepFieldInView, echoes, clearLog};
