"""Drives the calculator as a person at a console: each answer is written
only once its question has come back, the closing wait says what it wants
at a terminal and nothing through pipes, and it must let blank lines pass.
The arguments are the command that runs the program.

A refused answer must end the run at once, with no closing wait.

Through a pseudo-terminal by default; exits 77 (skipped) without one. With
--pipes first, through pipes, where the C library flushes nothing before it
reads, so only the program's own flushes bring each question back.
"""
import os
import select
import subprocess
import sys
import time

pipes = sys.argv[1] == "--pipes"
command = sys.argv[2:] if pipes else sys.argv[1:]
newline = b"\n" if pipes else b"\r\n"  # a terminal's own line end


def start():
    global program, screen_fd, keyboard_fd, screen
    screen = b""
    if pipes:
        program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT)
        screen_fd, keyboard_fd = program.stdout.fileno(), program.stdin.fileno()
        return
    try:
        master, slave = os.openpty()
    except (AttributeError, OSError):
        sys.exit(77)
    program = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave)
    os.close(slave)
    screen_fd = keyboard_fd = master


def expect(text):
    global screen
    deadline = time.monotonic() + 10
    while text not in screen:
        if not select.select([screen_fd], [], [], max(0, deadline - time.monotonic()))[0]:
            sys.exit(f"never saw {text!r}; screen: {screen!r}")
        screen += os.read(screen_fd, 4096)
    screen = screen[screen.index(text) + len(text):]


def expect_waiting():
    if select.select([screen_fd], [], [], 0.3)[0] or program.poll() is not None:
        sys.exit(f"not waiting; screen: {screen!r}, status: {program.poll()}")


start()
for prompt, answer in [(b"How many people? ", b"4\n"), (b"How many days? ", b"30\n"),
                       (b"Diameter or resivior? ", b"10\n")]:
    expect(prompt)
    expect_waiting()
    os.write(keyboard_fd, answer)
expect(b"Height of frozen water: 11.1791 feet" + newline)
if not pipes:
    expect(b"Type anything and press Enter to end." + newline)
expect_waiting()
if screen:
    sys.exit(f"more after the report: {screen!r}")
os.write(keyboard_fd, b"\n \n")
if not pipes:
    expect(b"\r\n \r\n")  # the terminal's echo of the blank lines
expect_waiting()
os.write(keyboard_fd, b"x\n")
if program.wait(timeout=10) != 0:
    sys.exit("the closing entry did not end the run with 0")

# A refused answer ends the run at once, with the input still open.
start()
expect(b"How many people? ")
os.write(keyboard_fd, b"-\n")  # a wait would find only white space after it
expect(b'error: the answer to "How many people?" is not a number' + newline)
try:
    status = program.wait(timeout=10)
except subprocess.TimeoutExpired:
    sys.exit(f"a refused run waits; screen: {screen!r}")
sys.exit(0 if status == 1 and not screen else f"status {status}, then {screen!r}")
