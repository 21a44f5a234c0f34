"""Drives the calculator through a pseudo-terminal, as a person at a console.

Each prompt must be on screen while the program waits for its answer, and
the closing wait must let blank lines pass. Exits 77 (skipped) without a pty.
The arguments are the command that runs the program.
"""
import os
import select
import subprocess
import sys
import time

try:
    master, slave = os.openpty()
except (AttributeError, OSError):
    sys.exit(77)
program = subprocess.Popen(sys.argv[1:], stdin=slave, stdout=slave, stderr=slave)
os.close(slave)
screen = b""


def expect(text):
    global screen
    deadline = time.monotonic() + 10
    while text not in screen:
        if not select.select([master], [], [], max(0, deadline - time.monotonic()))[0]:
            sys.exit(f"never saw {text!r}; screen: {screen!r}")
        screen += os.read(master, 4096)
    screen = screen[screen.index(text) + len(text):]


def expect_waiting():
    if select.select([master], [], [], 0.3)[0] or program.poll() is not None:
        sys.exit(f"not waiting; screen: {screen!r}, status: {program.poll()}")


for prompt, answer in [(b"How many people? ", b"4\n"), (b"How many days? ", b"30\n"),
                       (b"Diameter or resivior? ", b"10\n")]:
    expect(prompt)
    expect_waiting()
    os.write(master, answer)
expect(b"Height of frozen water: 11.1791 feet\r\n")
expect_waiting()
os.write(master, b"\n \n")
expect(b"\r\n \r\n")  # the terminal's echo of the blank lines
expect_waiting()
os.write(master, b"x\n")
sys.exit(0 if program.wait(timeout=10) == 0 else "the closing entry did not end the run with 0")
