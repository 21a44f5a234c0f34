// Standard input, output and error for the calculator built with
// emscripten, in place of the C library's own: under node they are the
// process's file descriptors, in a page they are the page's console
// (Module.waterConsole). Reading waits without blocking the page: fd_read
// suspends the program (Asyncify) until the bytes come. The C library above
// is unchanged, so its buffers, flushes, ferror and errno work as anywhere.
mergeInto(LibraryManager.library, {
  $waterStdio__deps: ['$ERRNO_CODES'],
  $waterStdio: {
    // The buffers of a readv or writev call, in order, as views of memory.
    buffers: function (iov, count) {
      const views = [];
      for (let i = 0; i < count; i++) {
        const base = HEAPU32[(iov + i * 8) >> 2];
        const length = HEAPU32[(iov + i * 8 + 4) >> 2];
        views.push(HEAPU8.subarray(base, base + length));
      }
      return views;
    },

    size: function (views) {
      return views.reduce(function (total, view) {
        return total + view.length;
      }, 0);
    },

    // How long a pipe that is full or empty for now is left before the
    // next try.
    retryMilliseconds: 10,

    // The errno that the C library knows by the name node gives an error,
    // so that its message says what went wrong.
    errnoOf: function (error) {
      const code = error && error.code;
      return ERRNO_CODES[code] || ERRNO_CODES['EIO'];
    },

    // Node's own modules, under node.
    node: function (name) {
      return require(name);
    },

    // A word to wait on that nothing ever changes, made at the first wait.
    sleeper: null,

    // Blocks the thread for `milliseconds` without using the processor.
    sleep: function (milliseconds) {
      if (!waterStdio.sleeper) {
        waterStdio.sleeper = new Int32Array(new SharedArrayBuffer(4));
      }
      Atomics.wait(waterStdio.sleeper, 0, 0, milliseconds);
    },

    // Gives 0 or an errno. A write cannot suspend the program, so where a
    // pipe is full for now it sleeps until there is room.
    writeNode: function (fd, bytes) {
      const fs = waterStdio.node('fs');
      for (let done = 0; done < bytes.length;) {
        try {
          done += fs.writeSync(fd, bytes, done, bytes.length - done);
        } catch (error) {
          if (error.code !== 'EAGAIN') {
            return waterStdio.errnoOf(error);
          }
          waterStdio.sleep(waterStdio.retryMilliseconds);
        }
      }
      return 0;
    },

    // Calls back with an errno, or 0 and the bytes read (none at the end).
    readNode: function (fd, size, done) {
      const buffer = Buffer.alloc(size);
      waterStdio.node('fs').read(fd, buffer, 0, size, null, function (error, count) {
        if (error && error.code === 'EAGAIN') {
          // nothing in the pipe yet
          setTimeout(function () {
            waterStdio.readNode(fd, size, done);
          }, waterStdio.retryMilliseconds);
        } else if (error) {
          done(waterStdio.errnoOf(error));
        } else {
          done(0, new Uint8Array(buffer.buffer, buffer.byteOffset, count));
        }
      });
    },

    // Gives 0 or an errno.
    write: function (fd, bytes) {
      if (ENVIRONMENT_IS_NODE) {
        return waterStdio.writeNode(fd, bytes);
      }
      return Module['waterConsole'].write(fd, bytes);
    },

    // Resumes the program in a page. Its exit ends it by throwing its
    // status up the stack that resumed it: the normal end of a run, which
    // must not reach the page as an error.
    resume: function (done, errno, bytes) {
      try {
        done(errno, bytes);
      } catch (thrown) {
        if (!(thrown instanceof ExitStatus)) {
          throw thrown;
        }
      }
    },

    // Calls back with an errno, or 0 and the bytes read (none at the end).
    // The page's console always gives bytes, at the end none.
    read: function (fd, size, done) {
      if (ENVIRONMENT_IS_NODE) {
        waterStdio.readNode(fd, size, done);
        return;
      }
      Module['waterConsole'].read(fd, size).then(function (bytes) {
        waterStdio.resume(done, 0, bytes);
      });
    },
  },

  // What the runtime calls at exit to flush the C library's streams when
  // it has no file system: the C library flushes them itself here.
  $flush_NO_FILESYSTEM: function () {},

  fd_write__deps: ['$waterStdio', '$flush_NO_FILESYSTEM'],
  fd_write__sig: 'iiiii',
  fd_write: function (fd, iov, iovcnt, pnum) {
    const views = waterStdio.buffers(iov, iovcnt);
    const total = waterStdio.size(views);
    const bytes = new Uint8Array(total);
    let at = 0;
    views.forEach(function (view) {
      bytes.set(view, at);
      at += view.length;
    });
    const errno = waterStdio.write(fd, bytes);
    if (errno === 0) {
      HEAPU32[pnum >> 2] = total;
    }
    return errno;
  },

  fd_read__deps: ['$waterStdio', '$Asyncify'],
  fd_read__sig: 'iiiii',
  fd_read: function (fd, iov, iovcnt, pnum) {
    return Asyncify.handleSleep(function (wakeUp) {
      const views = waterStdio.buffers(iov, iovcnt);
      waterStdio.read(fd, waterStdio.size(views), function (errno, bytes) {
        if (errno === 0) {
          // The program is suspended, so its memory is where it was.
          for (let i = 0, at = 0; at < bytes.length; i++) {
            const part = bytes.subarray(at, at + views[i].length);
            views[i].set(part);
            at += part.length;
          }
          HEAPU32[pnum >> 2] = bytes.length;
        }
        wakeUp(errno);
      });
    });
  },

  water_calculator_input_is_terminal__deps: ['$waterStdio'],
  water_calculator_input_is_terminal: function () {
    if (ENVIRONMENT_IS_NODE) {
      return waterStdio.node('tty').isatty(0) ? 1 : 0;
    }
    return 1; // a page's console has a person at it
  },
});
