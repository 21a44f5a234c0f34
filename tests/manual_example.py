"""Checks that the typed session in the HTML manual is a real one: the
program's output for the answers 4, 30 and 10 and the closing entry q, with
each answer where a terminal echoes it, after its question, and the line
that asks for the closing entry at a terminal.

The arguments are the HTML page, then the command that runs the program.
"""
import html
import re
import subprocess
import sys

page = open(sys.argv[1], encoding="utf-8").read()
sessions = [html.unescape(block) for block in re.findall(r"<pre>(.*?)</pre>", page, re.S)]
shown = next((s for s in sessions if s.startswith("$ water_calculator\n")), None)
if shown is None:
    sys.exit("no session in the manual")

answers = [("How many people? ", "4"), ("How many days? ", "30"),
           ("Diameter or resivior? ", "10")]
closing = "q"
output = subprocess.run(sys.argv[2:], input="\n".join([a for _, a in answers] + [closing]) + "\n",
                        capture_output=True, text=True, check=True).stdout
for question, answer in answers:
    output = output.replace(question, question + answer + "\n", 1)
# At a terminal the closing wait says what it wants, on standard error.
real = "$ water_calculator\n" + output + "Type anything and press Enter to end.\n" + closing + "\n"
if shown != real:
    sys.exit(f"the manual shows:\n{shown}\nthe program writes:\n{real}")
