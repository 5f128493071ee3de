"""Shared helpers: run a script through Vantor.raw_input in a child process.

The module writes to file descriptor 1 directly, so a script's listing, trace
and output are read from the child's real stdout; the stop message comes back
through a small side file.
"""
import json
import os
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

import pytest

TESTS_DIR = Path(__file__).resolve().parent

# Runs raw_input on argv[1] and records how it ended in argv[2].
CHILD = r"""
import json, sys
import Vantor
result = {"stop": None, "error": None}
try:
    Vantor.raw_input(sys.argv[1])
except BaseException as e:
    if type(e).__name__ == "PanicException":
        result["stop"] = str(e)
    else:
        result["error"] = "%s: %s" % (type(e).__name__, e)
with open(sys.argv[2], "w", encoding="utf-8", errors="surrogateescape") as f:
    json.dump(result, f)
"""


@dataclass
class Run:
    stdout: bytes
    stop: "str | None"
    stderr: str


def run_child(code, *args, timeout=300, **kwargs):
    """Runs Python code in a fresh interpreter (the one running the tests)."""
    return subprocess.run([sys.executable, "-c", code, *map(str, args)], timeout=timeout,
                          **kwargs)


def run_script(path, tmp_path, timeout=300):
    """Runs one script file; returns its stdout bytes, stop message and stderr."""
    status = Path(tmp_path) / "status.json"
    if status.exists():
        status.unlink()
    proc = run_child(CHILD, path, status, timeout=timeout, stdout=subprocess.PIPE,
                     stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    stderr = proc.stderr.decode("utf-8", "replace")
    assert proc.returncode == 0 and status.exists(), (
        "the child process failed (exit %s):\n%s" % (proc.returncode, stderr))
    result = json.loads(status.read_text(encoding="utf-8", errors="surrogateescape"))
    assert result["error"] is None, "raw_input raised %s\n%s" % (result["error"], stderr)
    return Run(proc.stdout, result["stop"], stderr)


@pytest.fixture
def run_lua(tmp_path):
    """Writes source text to a script file and runs it."""
    counter = [0]

    def run(source, timeout=300):
        counter[0] += 1
        script = tmp_path / ("script%d.lua" % counter[0])
        script.write_bytes(source.encode() if isinstance(source, str) else source)
        return run_script(script, tmp_path, timeout=timeout)

    return run


def under_sanitizer():
    """True when the module runs under AddressSanitizer (preloaded runtime)."""
    return "asan" in os.environ.get("LD_PRELOAD", "")


MAX_DIFF_LINES = 200


def readable_diff(expected, actual, name):
    import difflib
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


def check_script_file(script, tmp_path):
    """Runs NAME.lua; its stdout must equal NAME.out and its stop NAME.err (none without it)."""
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
