// Standard input, output and error for the calculator built with
// emscripten, in place of the C library's own: under node they are the
// process's file descriptors, in a page they are the page's console
// (Module.waterConsole). Reading waits without blocking the page: fd_read
// suspends the program (Asyncify) until the bytes come. The C library above
// is unchanged, so its buffers, flushes, ferror and errno work as anywhere.
mergeInto(LibraryManager.library, {
  $waterStdio: {
    // How long a pipe that is full or empty for now is left before the
    // next try.
    retryMilliseconds: 10,

    // errno values as the C library knows them, for the reasons a failed
    // read gives; a failed write is reported without its reason.
    errnoOf: function(error) {
      var known = {
        EBADF: {{{ cDefine('EBADF') }}},
        EISDIR: {{{ cDefine('EISDIR') }}},
        EINVAL: {{{ cDefine('EINVAL') }}},
      };
      return known[error && error.code] || {{{ cDefine('EIO') }}};
    },

    // The buffers of a readv or writev call, in order, as views of memory.
    buffers: function(iov, count) {
      var views = [];
      for (var i = 0; i < count; i++) {
        var base = HEAPU32[(iov + i * 8) >> 2];
        var length = HEAPU32[(iov + i * 8 + 4) >> 2];
        views.push(HEAPU8.subarray(base, base + length));
      }
      return views;
    },

    size: function(views) {
      var total = 0;
      views.forEach(function(view) { total += view.length; });
      return total;
    },

    node: function() {
      return require('fs');
    },

    // Blocks the thread for `milliseconds` without using the processor.
    sleep: function(milliseconds) {
      Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0,
                   milliseconds);
    },

    // Gives 0 or an errno. A write cannot suspend the program, so where a
    // pipe is full for now it sleeps until there is room.
    write: function(fd, bytes) {
      if (!ENVIRONMENT_IS_NODE) {
        return Module['waterConsole'].write(fd, bytes);
      }
      var fs = waterStdio.node();
      for (var done = 0; done < bytes.length;) {
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

    // Resumes the program in a page. Its exit ends it by throwing its
    // status up the stack that resumed it: the normal end of a run, which
    // must not reach the page as an error.
    resume: function(done, errno, bytes) {
      try {
        done(errno, bytes);
      } catch (thrown) {
        if (!(thrown instanceof ExitStatus)) {
          throw thrown;
        }
      }
    },

    // Calls back with an errno, or 0 and the bytes read (none at the end).
    read: function(fd, size, done) {
      if (!ENVIRONMENT_IS_NODE) {
        Module['waterConsole'].read(fd, size).then(function(bytes) {
          waterStdio.resume(done, 0, bytes);
        }, function() {
          waterStdio.resume(done, {{{ cDefine('EIO') }}});
        });
        return;
      }
      var buffer = Buffer.alloc(size);
      waterStdio.node().read(fd, buffer, 0, size, null, function(error, count) {
        if (error && error.code === 'EAGAIN') {  // nothing in the pipe yet
          setTimeout(function() { waterStdio.read(fd, size, done); },
                     waterStdio.retryMilliseconds);
        } else if (error) {
          done(waterStdio.errnoOf(error));
        } else {
          done(0, new Uint8Array(buffer.buffer, buffer.byteOffset, count));
        }
      });
    },
  },

  // What the runtime calls at exit to flush the C library's streams when
  // it has no file system: the C library flushes them itself here.
  $flush_NO_FILESYSTEM: function() {},

  fd_write__deps: ['$waterStdio', '$flush_NO_FILESYSTEM'],
  fd_write__sig: 'iiiii',
  fd_write: function(fd, iov, iovcnt, pnum) {
    var views = waterStdio.buffers(iov, iovcnt);
    var total = waterStdio.size(views);
    var bytes = new Uint8Array(total);
    var at = 0;
    views.forEach(function(view) {
      bytes.set(view, at);
      at += view.length;
    });
    var errno = waterStdio.write(fd, bytes);
    if (errno === 0) {
      HEAPU32[pnum >> 2] = total;
    }
    return errno;
  },

  fd_read__deps: ['$waterStdio', '$Asyncify'],
  fd_read__sig: 'iiiii',
  fd_read: function(fd, iov, iovcnt, pnum) {
    return Asyncify.handleSleep(function(wakeUp) {
      var views = waterStdio.buffers(iov, iovcnt);
      waterStdio.read(fd, waterStdio.size(views), function(errno, bytes) {
        if (errno === 0) {
          // The program is suspended, so its memory is where it was.
          for (var i = 0, at = 0; at < bytes.length; i++) {
            var part = bytes.subarray(at, at + views[i].length);
            views[i].set(part);
            at += part.length;
          }
          HEAPU32[pnum >> 2] = bytes.length;
        }
        wakeUp(errno);
      });
    });
  },

  water_calculator_input_is_terminal: function() {
    if (!ENVIRONMENT_IS_NODE) {
      return 1;  // a page's console has a person at it
    }
    return require('tty').isatty(0) ? 1 : 0;
  },
});
