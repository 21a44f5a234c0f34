"""Standard streams out of the ordinary. The first argument names the
check, the second the folder of the cases, the rest the command that runs
the program.

late: standard output a full non-blocking pipe that is drained 1.5 s
later, then standard input a non-blocking pipe whose answers come 1 s
late. Each run must wait, then give the report and status 0, as through
ordinary pipes, and the wait must be idle: under half a second of the
processor's time for the run, and, for the answers, under 500 reads a
second (a try every 10 ms, and node's own). (A native C library stops at the first
EAGAIN; this is for node, where such pipes are common.)

unreadable: standard input an epoll descriptor, which cannot be read, a
connection its other end reset, and, natively, an empty non-blocking pipe,
which node waits for instead (late); each error must give the system's
reason, "Invalid argument", "Connection reset by peer" and "Resource
temporarily unavailable".
"""
import fcntl
import os
import resource
import select
import socket
import struct
import subprocess
import sys
import time

check, cases, command = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(os.path.join(cases, "typical.in"), "rb") as f:
    answers = f.read()
with open(os.path.join(cases, "typical.out"), "rb") as f:
    report = f.read()
F_SETPIPE_SZ = 1031  # Linux's fcntl command for a pipe's size
IDLE_SECONDS = 0.5  # of the processor's time, at most, for a run that waits
READS_A_SECOND = 500  # at most, while the answers are late


def expect(what, actual, expected):
    if actual != expected:
        sys.exit(f"{what}: {actual!r}, expected {expected!r}")


def processor_seconds():
    """The processor's time taken so far by the children waited for."""
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    return used.ru_utime + used.ru_stime


def expect_idle(what, started):
    used = processor_seconds() - started
    if used >= IDLE_SECONDS:
        sys.exit(f"{what}: {used:.2f} s of the processor's time while waiting")


def late_reader():
    started = processor_seconds()
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
    expect_idle("standard output drained late", started)


def late_writer():
    started = processor_seconds()
    keyboard, typist = os.pipe()
    os.set_blocking(keyboard, False)
    program = subprocess.Popen(command, stdin=keyboard, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    os.close(keyboard)

    def reads():  # the read calls the program has made so far
        with open(f"/proc/{program.pid}/io") as counts:
            return next(int(line.split()[1]) for line in counts
                        if line.startswith("syscr:"))
    time.sleep(0.2)
    before = reads()
    time.sleep(1)
    tries = reads() - before
    if tries >= READS_A_SECOND:
        sys.exit(f"answers typed late: {tries} reads in a second of waiting")
    os.write(typist, answers)
    os.close(typist)
    out, err = program.communicate(timeout=10)
    expect("answers typed late", (out, err, program.returncode), (report, b"", 0))
    expect_idle("answers typed late", started)


def unreadable():
    with select.epoll() as unreadable_input:
        run = subprocess.run(command, stdin=unreadable_input.fileno(),
                             capture_output=True, timeout=10)
    expect("an epoll descriptor as standard input", (run.stderr, run.returncode),
           (b"error: standard input could not be read: Invalid argument\n", 1))


def reset_connection():
    with socket.create_server(("127.0.0.1", 0)) as server, \
            socket.create_connection(server.getsockname()) as near:
        far, _ = server.accept()
        # Closed at once with no lingering: the other end gets a reset.
        far.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        far.close()
        run = subprocess.run(command, stdin=near.fileno(), capture_output=True,
                             timeout=10)
    expect("a reset connection as standard input", (run.stderr, run.returncode),
           (b"error: standard input could not be read: Connection reset by peer\n", 1))


def empty_nonblocking():
    keyboard, typist = os.pipe()
    os.set_blocking(keyboard, False)
    run = subprocess.run(command, stdin=keyboard, capture_output=True, timeout=10)
    os.close(keyboard)
    os.close(typist)
    expect("an empty non-blocking pipe as standard input", (run.stderr, run.returncode),
           (b"error: standard input could not be read: Resource temporarily unavailable\n", 1))


if check == "late":
    late_reader()
    late_writer()
else:
    unreadable()
    reset_connection()
    if len(command) == 1:  # natively, with no emulator before the program
        empty_nonblocking()
