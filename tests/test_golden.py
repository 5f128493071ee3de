"""Golden conformance corpus: every tests/golden/**/NAME.lua runs through raw_input.

NAME.out holds the complete expected stdout (listings with their "== function: "
lines, trace lines and program output); NAME.err, where present, the exact
message of the stop the run ends with. Without NAME.err the run must not stop.
The front half (golden/front) exercises the lexer and compiler, the back half
(golden/back) the machine.
"""
import difflib

import pytest

from conftest import TESTS_DIR, run_script

GOLDEN_DIR = TESTS_DIR / "golden"
SCRIPTS = sorted(GOLDEN_DIR.glob("**/*.lua"))
MAX_DIFF_LINES = 200


def readable_diff(expected, actual, name):
    lines = list(difflib.unified_diff(
        expected.decode("utf-8", "backslashreplace").splitlines(keepends=True),
        actual.decode("utf-8", "backslashreplace").splitlines(keepends=True),
        fromfile=name + " (expected)", tofile=name + " (actual)"))
    if len(lines) > MAX_DIFF_LINES:
        lines = lines[:MAX_DIFF_LINES] + ["... (%d more diff lines)\n" % (len(lines) - MAX_DIFF_LINES)]
    return "".join(lines)


def expected_stop(script):
    err = script.with_suffix(".err")
    if not err.exists():
        return None
    text = err.read_bytes().decode("utf-8")
    return text[:-1] if text.endswith("\n") else text


def test_corpus_is_complete():
    """Every script has its expected output and every expectation its script."""
    assert SCRIPTS, "no golden scripts under %s" % GOLDEN_DIR
    missing = [str(s.relative_to(GOLDEN_DIR)) for s in SCRIPTS if not s.with_suffix(".out").exists()]
    assert not missing, "scripts without .out: %s" % missing
    orphans = [str(p.relative_to(GOLDEN_DIR)) for ext in ("*.out", "*.err")
               for p in GOLDEN_DIR.glob("**/" + ext) if not p.with_suffix(".lua").exists()]
    assert not orphans, "expectations without a script: %s" % orphans


@pytest.mark.parametrize("script", SCRIPTS, ids=[str(s.relative_to(GOLDEN_DIR)) for s in SCRIPTS])
def test_golden(script, tmp_path):
    out_file = script.with_suffix(".out")
    assert out_file.exists(), "missing %s" % out_file.name
    expected = out_file.read_bytes()
    run = run_script(script, tmp_path)
    problems = []
    if run.stdout != expected:
        problems.append("stdout differs:\n" + readable_diff(expected, run.stdout, script.name))
    want_stop = expected_stop(script)
    if run.stop != want_stop:
        problems.append("stop message differs:\n  expected: %r\n  actual:   %r" % (want_stop, run.stop))
    if problems:
        pytest.fail("\n".join(problems) + "\nstderr:\n" + run.stderr[-2000:], pytrace=False)
