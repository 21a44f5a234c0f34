"""Standard streams out of the ordinary. The first argument names the
check, the second the folder of the cases, the rest the command that runs
the program.

late: standard output a full non-blocking pipe that is drained 1.5 s
later, then standard input a non-blocking pipe whose answers come 1 s
late. Each run must wait, then give the report and status 0, as through
ordinary pipes. (A native C library stops at the first EAGAIN; this is
for node, where such pipes are common.)

unreadable: standard input an epoll descriptor, which cannot be read;
the error must give the system's reason, "Invalid argument".
"""
import fcntl
import os
import select
import subprocess
import sys
import time

check, cases, command = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(os.path.join(cases, "typical.in"), "rb") as f:
    answers = f.read()
with open(os.path.join(cases, "typical.out"), "rb") as f:
    report = f.read()
F_SETPIPE_SZ = 1031  # Linux's fcntl command for a pipe's size


def expect(what, actual, expected):
    if actual != expected:
        sys.exit(f"{what}: {actual!r}, expected {expected!r}")


def late_reader():
    screen, keyboard = os.pipe()
    fcntl.fcntl(keyboard, F_SETPIPE_SZ, 4096)
    os.set_blocking(keyboard, False)
    filled = 0
    try:
        while True:
            filled += os.write(keyboard, b"." * 4096)
    except BlockingIOError:
        pass
    program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=keyboard,
                               stderr=subprocess.PIPE)
    os.close(keyboard)
    program.stdin.write(answers)
    program.stdin.close()
    time.sleep(1.5)
    with os.fdopen(screen, "rb") as pipe:
        expect("standard output drained late", pipe.read()[filled:], report)
    expect("its error", program.stderr.read(), b"")
    expect("its status", program.wait(timeout=10), 0)


def late_writer():
    keyboard, typist = os.pipe()
    os.set_blocking(keyboard, False)
    program = subprocess.Popen(command, stdin=keyboard, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    os.close(keyboard)
    time.sleep(1)
    os.write(typist, answers)
    os.close(typist)
    out, err = program.communicate(timeout=10)
    expect("answers typed late", (out, err, program.returncode), (report, b"", 0))


def unreadable():
    with select.epoll() as unreadable_input:
        run = subprocess.run(command, stdin=unreadable_input.fileno(),
                             capture_output=True, timeout=10)
    expect("an epoll descriptor as standard input", (run.stderr, run.returncode),
           (b"error: standard input could not be read: Invalid argument\n", 1))


if check == "late":
    late_reader()
    late_writer()
else:
    unreadable()
