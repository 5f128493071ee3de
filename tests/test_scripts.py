"""Script tests as data: every tests/scripts/**/NAME.lua runs through raw_input.

NAME.out holds the complete expected stdout (listing, trace and output);
NAME.err, where present, the exact message of the stop the run ends with.
Without NAME.err the run must not stop.
"""
import difflib

import pytest

from conftest import TESTS_DIR, run_script

SCRIPTS_DIR = TESTS_DIR / "scripts"
SCRIPTS = sorted(SCRIPTS_DIR.glob("**/*.lua"))
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


@pytest.mark.parametrize("script", SCRIPTS, ids=[str(s.relative_to(SCRIPTS_DIR)) for s in SCRIPTS])
def test_script(script, tmp_path):
    out_file = script.with_suffix(".out")
    assert out_file.exists(), "missing %s" % out_file.name
    expected = out_file.read_bytes()
    run = run_script(script, tmp_path)
    problems = []
    if run.stdout != expected:
        problems.append("stdout differs:\n" + readable_diff(expected, run.stdout, out_file.name))
    want_stop = expected_stop(script)
    if run.stop != want_stop:
        problems.append("stop message differs:\n  expected: %r\n  actual:   %r" % (want_stop, run.stop))
    if problems:
        pytest.fail("\n".join(problems) + "\nstderr:\n" + run.stderr[-2000:], pytrace=False)
