"""Prints the line and branch coverage of src/ after the tests have run.

Usage: coverage_report.py BUILD_DIR SOURCE_DIR. Reads every gcov counter
file in BUILD_DIR (a source compiled twice counts once: a line or branch is
covered if either copy ran it), lists what was never run, and fails when a
line of src/ was never run. Branches that exist only to propagate an
exception are left out: the program throws none of its own.
"""
import json
import math
import pathlib
import subprocess
import sys
from collections import defaultdict

build_dir, source_dir = (pathlib.Path(p).resolve() for p in sys.argv[1:3])
sources = source_dir / "src"
line_counts = defaultdict(int)  # (file, line) -> times run
branch_counts = defaultdict(int)  # (file, line, function, index) -> times taken
exception_branches = set()  # the same keys, for branches left out

for counters in sorted(build_dir.rglob("*.gcda")):
    report = subprocess.run(
        ["gcov", "--json-format", "--stdout", "--branch-probabilities", str(counters)],
        check=True, capture_output=True, text=True, cwd=counters.parent).stdout
    for document in report.splitlines():
        for entry in json.loads(document)["files"]:
            path = (counters.parent / entry["file"]).resolve()
            if sources not in path.parents:
                continue
            name = str(path.relative_to(source_dir))
            for line in entry["lines"]:
                number = line["line_number"]
                line_counts[name, number] += line["count"]
                for index, branch in enumerate(line["branches"]):
                    key = (name, number, line.get("function_name"), index)
                    if branch["throw"]:
                        exception_branches.add(key)
                    else:
                        branch_counts[key] += branch["count"]

if not line_counts:
    sys.exit(f"no coverage counters for {sources} in {build_dir}; run the tests first")



def share(part, whole):
    """part of whole, rounded down, so nothing short of all shows 100%."""
    return f"{part:>5}/{whole:<4} {math.floor(100 * part / max(whole, 1)):3d}%"


print(f"{'file':32} {'lines':>14} {'branches':>14}")
unrun_lines = []
for name in sorted({name for name, _ in line_counts}):
    lines = [(n, c) for (f, n), c in line_counts.items() if f == name]
    branches = [(k[1], c) for k, c in branch_counts.items() if k[0] == name]
    run = sum(1 for _, c in lines if c)
    taken = sum(1 for _, c in branches if c)
    print(f"{name:32} {share(run, len(lines))} {share(taken, len(branches))}")
    unrun_lines += [f"{name}:{n}" for n, c in sorted(lines) if not c]
    for n in sorted({n for n, c in branches if not c}):
        print(f"  branch never taken on {name}:{n}")

total_lines = len(line_counts)
total_run = sum(1 for c in line_counts.values() if c)
total_branches = len(branch_counts)
total_taken = sum(1 for c in branch_counts.values() if c)
print(f"{'total':32} {share(total_run, total_lines)} {share(total_taken, total_branches)}")
print(f"left out: {len(exception_branches)} branches that only propagate an exception")
sys.stdout.flush()
if unrun_lines:
    sys.exit("lines never run: " + ", ".join(unrun_lines))
