"""Golden conformance corpus: every tests/golden/**/NAME.lua runs through raw_input.

NAME.out holds the complete expected stdout (listings with their "== function: "
lines, trace lines and program output); NAME.err, where present, the exact
message of the stop the run ends with. Without NAME.err the run must not stop.
The front half (golden/front) exercises the lexer and compiler, the back half
(golden/back) the machine.
"""
import pytest

from conftest import TESTS_DIR, check_script_file

GOLDEN_DIR = TESTS_DIR / "golden"
SCRIPTS = sorted(GOLDEN_DIR.glob("**/*.lua"))


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
    check_script_file(script, tmp_path)
