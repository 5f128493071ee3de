"""Every example in the README is checked: scripts against their shown output or
stop message, and the Python sessions as doctests."""
import doctest
import re

import pytest

from conftest import TESTS_DIR

README = (TESTS_DIR.parent / "README.md").read_text(encoding="utf-8")
BLOCK = re.compile(r"^```(\w+)\n(.*?)^```$", re.S | re.M)
BLOCKS = [(m.group(1), m.group(2)) for m in BLOCK.finditer(README)]

# A script block followed by the block that shows what it writes or how it stops.
SCRIPT_EXAMPLES = [
    (BLOCKS[i][1], BLOCKS[i + 1][0], BLOCKS[i + 1][1])
    for i in range(len(BLOCKS) - 1)
    if BLOCKS[i][0] == "lua" and BLOCKS[i + 1][0] in ("output", "stop")
]
SESSIONS = [text for kind, text in BLOCKS if kind == "pycon"]


def test_readme_has_examples():
    assert len(SCRIPT_EXAMPLES) >= 3 and len(SESSIONS) >= 2
    # every script example is paired with what it shows
    assert sum(1 for kind, _ in BLOCKS if kind == "lua") == len(SCRIPT_EXAMPLES)


@pytest.mark.parametrize("source, kind, expected", SCRIPT_EXAMPLES)
def test_script_example(run_lua, source, kind, expected):
    run = run_lua(source)
    if kind == "output":
        assert run.stop is None
        assert run.stdout.decode() == expected
    else:
        assert run.stop == expected.rstrip("\n")


@pytest.mark.parametrize("session", SESSIONS)
def test_python_session(session, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)  # relative paths in the examples name nothing here
    parser = doctest.DocTestParser()
    test = parser.get_doctest(session, {}, "README", "README.md", 0)
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    runner.run(test)
    assert runner.failures == 0
