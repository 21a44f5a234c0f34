// The page's console: what the program writes, what the person types, and
// one run of the program at a time, started afresh by Run again.
(function () {
  var screen = document.getElementById('screen');
  var form = document.getElementById('line');
  var field = document.getElementById('answer');
  var inputs = form.querySelectorAll('input, button');
  var endButton = document.getElementById('end');
  var again = document.getElementById('again');
  var status = document.getElementById('status');
  var reservoir = document.getElementById('reservoir');
  var encoder = new TextEncoder();
  var run = null;  // the run in progress

  // Standard error holds errors, which begin "error: ", and the closing
  // wait's line, which asks for an entry and is no error.
  function kindOf(fd, line) {
    if (fd !== 2) {
      return fd === 0 ? 'echo' : 'out';
    }
    return line.lastIndexOf('error: ', 0) === 0 ? 'err' : 'note';
  }

  // Each line, and each question, is an element of its own, so that a
  // screen reader announces it as it comes; a line that comes in parts
  // grows in place until its end.
  function show(text, fd) {
    if (text === '') {
      return;
    }
    var last = screen.lastChild;
    var open = last && Number(last.dataset.fd) === fd &&
        !/\n$/.test(last.textContent);
    var span = open ? last : document.createElement('span');
    span.dataset.fd = String(fd);
    span.textContent = (open ? span.textContent : '') + text;
    span.className = kindOf(fd, span.textContent);
    if (!open) {
      screen.appendChild(span);
    }
    field.scrollIntoView({block: 'nearest'});
  }

  function setInputEnabled(enabled) {
    inputs.forEach(function (input) {
      input.disabled = !enabled;
    });
  }

  // Hands the program what was typed, once it asks and something is there.
  function deliver() {
    var reading = run.reading;
    if (!reading) {
      return;
    }
    if (run.typed.length > 0) {
      var chunk = run.typed[0];
      var part = chunk.subarray(0, reading.size);
      if (part.length === chunk.length) {
        run.typed.shift();
      } else {
        run.typed[0] = chunk.subarray(part.length);
      }
      run.reading = null;
      reading.resolve(part);
    } else if (run.inputEnded) {
      run.reading = null;
      reading.resolve(new Uint8Array(0));
    }
    document.body.dataset.waiting = run.reading ? 'yes' : 'no';
  }

  function send(text) {
    if (!run || run.inputEnded) {
      return;
    }
    show(text, 0);
    run.typed.push(encoder.encode(text));
    deliver();
  }

  function endInput() {
    if (!run || run.inputEnded) {
      return;
    }
    send(field.value);
    field.value = '';
    run.inputEnded = true;
    setInputEnabled(false);
    status.textContent = 'Input ended.';
    deliver();
  }

  function written(thisRun, fd, text) {
    show(text, fd);
    if (fd === 1) {
      thisRun.output += text;
      var figures = !thisRun.drawn && reportFigures(thisRun.output);
      if (figures) {
        thisRun.drawn = true;
        drawReservoir(reservoir, figures);
      }
    }
  }

  function finished(exitStatus) {
    written(run, 1, run.decoders[1].decode());
    written(run, 2, run.decoders[2].decode());
    run = null;
    setInputEnabled(false);
    document.body.dataset.waiting = 'no';
    document.body.dataset.exitStatus = String(exitStatus);
    status.textContent = 'The run ended with exit status ' + exitStatus +
        (exitStatus === 0 ? '.' : ': see the error above.');
    again.hidden = false;
    again.focus();
  }

  function start() {
    screen.textContent = '';
    status.textContent = '';
    reservoir.hidden = true;
    reservoir.textContent = '';
    again.hidden = true;
    setInputEnabled(true);
    field.value = '';
    delete document.body.dataset.exitStatus;
    run = {
      typed: [],
      reading: null,
      inputEnded: false,
      output: '',
      drawn: false,
      decoders: {1: new TextDecoder(), 2: new TextDecoder()},
    };
    var thisRun = run;
    runCalculator({
      arguments: [],
      thisProgram: 'water_calculator',
      waterConsole: {
        write: function (fd, bytes) {
          written(thisRun, fd, thisRun.decoders[fd].decode(bytes, {stream: true}));
          return 0;
        },
        read: function (fd, size) {
          return new Promise(function (resolve) {
            thisRun.reading = {size: size, resolve: resolve};
            deliver();
          });
        },
      },
      onExit: finished,
      onAbort: function (what) {
        show('error: the program stopped: ' + what + '\n', 2);
        finished(1);
      },
    });
    field.focus();
  }

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    send(field.value + '\n');
    field.value = '';
    field.focus();
  });
  field.addEventListener('keydown', function (event) {
    if (event.ctrlKey && (event.key === 'd' || event.key === 'D')) {
      event.preventDefault();
      endInput();
    }
  });
  endButton.addEventListener('click', endInput);
  document.querySelectorAll('.key').forEach(function (key) {
    key.addEventListener('click', function () {
      field.setRangeText(key.dataset.key, field.selectionStart,
                         field.selectionEnd, 'end');
      field.focus();
    });
  });
  again.addEventListener('click', start);
  offerInstallAndOffline();
  start();
})();
