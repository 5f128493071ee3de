"""Script tests as data: every tests/scripts/**/NAME.lua runs through raw_input.

NAME.out holds the complete expected stdout (listing, trace and output);
NAME.err, where present, the exact message of the stop the run ends with.
Without NAME.err the run must not stop.
"""
import pytest

from conftest import TESTS_DIR, check_script_file

SCRIPTS_DIR = TESTS_DIR / "scripts"
SCRIPTS = sorted(SCRIPTS_DIR.glob("**/*.lua"))


@pytest.mark.parametrize("script", SCRIPTS, ids=[str(s.relative_to(SCRIPTS_DIR)) for s in SCRIPTS])
def test_script(script, tmp_path):
    check_script_file(script, tmp_path)
