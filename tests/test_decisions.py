"""Worked examples (tests/decisions/NAME.lua with NAME.json).

NAME.json gives the program's own output lines, the stop message (or null)
and, for some, the exact listing. Listing and trace lines are told apart from
the program's output by their shape; "0x?" in an expected line stands for any
hexadecimal address.
"""
import json
import re

import pytest

from conftest import TESTS_DIR, run_script

DECISIONS_DIR = TESTS_DIR / "decisions"
EXAMPLES = sorted(DECISIONS_DIR.glob("*.lua"))

INSTRUCTION_LINE = re.compile(r"  \d+\t")
TRACE_LINE = re.compile(r"  \[\d+\]\t")
LISTING_STARTS = ("upindexes: ", "byte_codes:", "== function: ")


def split_stdout(stdout):
    """Splits stdout into (program output lines, listing lines); trace lines are dropped."""
    text = stdout.decode("utf-8", "surrogateescape")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    output, listing = [], []
    in_constants = False
    for line in lines:
        if in_constants:
            # A string constant may hold a newline: the constants list runs
            # up to the "upindexes: " line.
            if line.startswith("upindexes: "):
                in_constants = False
                listing.append(line)
            else:
                listing[-1] += "\n" + line
        elif line.startswith("constants: "):
            in_constants = True
            listing.append(line)
        elif line.startswith(LISTING_STARTS) or INSTRUCTION_LINE.match(line):
            listing.append(line)
        elif not TRACE_LINE.match(line):
            output.append(line)
    return output, listing


def pattern(expected):
    return re.compile(re.escape(expected).replace(re.escape("0x?"), "0x[0-9a-f]+") + r"\Z", re.S)


def lines_match(expected, actual):
    return len(expected) == len(actual) and all(
        pattern(e).match(a) for e, a in zip(expected, actual))


def mismatch(what, expected, actual):
    return "%s differs:\n  expected: %s\n  actual:   %s" % (
        what, json.dumps(expected, indent=1), json.dumps(actual, indent=1))


def test_split_stdout_separates_listing_trace_and_output():
    stdout = (b"== function: f\nconstants: ['a\nb', 1]\nupindexes: [Local(0)]\nbyte_codes:\n"
              b"  0\tReturn0\n  [0]\tReturn0\nhello\n  [12]\tCall(1, 2, 0)\n  x\t1\n")
    output, listing = split_stdout(stdout)
    assert output == ["hello", "  x\t1"]
    assert listing == ["== function: f", "constants: ['a\nb', 1]", "upindexes: [Local(0)]",
                       "byte_codes:", "  0\tReturn0"]


@pytest.mark.parametrize("script", EXAMPLES, ids=[s.stem for s in EXAMPLES])
def test_decision_example(script, tmp_path):
    want = json.loads(script.with_suffix(".json").read_text(encoding="utf-8"))
    run = run_script(script, tmp_path)
    output, listing = split_stdout(run.stdout)
    problems = []
    # null output: the script never ran (a compile stop), so it printed nothing.
    want_output = want["output"] if want["output"] is not None else []
    if not lines_match(want_output, output):
        problems.append(mismatch("output", want_output, output))
    if want["stop"] is None:
        if run.stop is not None:
            problems.append("unexpected stop: %r" % run.stop)
    elif run.stop is None or not pattern(want["stop"]).match(run.stop):
        problems.append(mismatch("stop", want["stop"], run.stop))
    if want.get("listing") is not None and not lines_match(want["listing"], listing):
        problems.append(mismatch("listing", want["listing"], listing))
    if problems:
        pytest.fail("\n".join(problems) + "\nstderr:\n" + run.stderr[-2000:], pytrace=False)
