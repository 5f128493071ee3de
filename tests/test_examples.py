"""The scripts in examples/: each runs to completion and prints exactly the
lines worked out below by reading it (listing and trace lines set aside)."""
import pytest

from conftest import TESTS_DIR, run_script
from test_decisions import split_stdout

EXAMPLES_DIR = TESTS_DIR.parent / "examples"

EXPECTED = {
    "hello": ["hello"],
    "closures": [
        "1\t2\t3",
        "110\t120",
        "4",
        "counter: 1",
        "counter: 2",
        "counter: 1",
        "counter: 3",
        "75",
        "45",
        "nil\tinsufficient funds",
        "50",
        "3\t3",
        "7\t10",
        "11\t21",
        "15\t36",
        "101\t202\t303",
        "144\t144\t25\t144\t2",
        "function\tfunction\tnumber\tnil\tstring\ttable\tboolean\tnumber",
    ],
    "recursion": [
        "3628800\t2432902008176640000",
        "610\t610\t2880067194370816120",
        "true\ttrue\tfalse",
        "21\t1",
        "A -> C",
        "A -> B",
        "C -> B",
        "A -> C",
        "B -> A",
        "B -> C",
        "A -> C",
        "7",
        "63",
        "15",
        "0\t0",
        "10\t4",
        "7\t8",
        "1\tnil\tthree",
        "17",
    ],
    "tables": [
        "3\t4\t1\t2\ttrue\tten\t2",
        "99",
        "3",
        "rect\t42",
        "c\tb\t1",
        "a\tnil",
        "8\t204",
        "64\t36\t16\t4\t4",
        "6\t36",
        "3\t2\tAda\tDan\tCleo",
        "2\t1\t64\t1",
    ],
    "strings": [
        "0\t7\t-42\t9000000000000000000",
        "1 2 Fizz 4 Buzz Fizz 7 8 Fizz Buzz 11 Fizz 13 14 FizzBuzz",
        " 1 x 7 =   7",
        " 5 x 7 =  35",
        " 9 x 7 =  63",
        "[name][age][city]",
        "apple, banana, cherry, fig, pear",
        "fruit: apple, pear",
        '5\tababab\ttab\there\tquote "q"',
    ],
    "state_machine": [
        "123",
        "-407",
        "9",
        "nil\t2",
        "nil\t2",
        "nil\t1",
        "locked: push rejected",
        "locked: coin -> unlocked",
        "unlocked: push -> locked",
        "locked: coin -> unlocked",
        "unlocked: coin kept",
        "unlocked: push -> locked",
        "locked: push rejected",
        "locked\t2\t2",
        "locked: coin -> unlocked",
        "unlocked\t0\t0",
        "25",
        "2\t2",
        "T-minus\t3",
        "T-minus\t2",
        "T-minus\t1",
        "liftoff\t2",
    ],
}


def test_every_example_has_its_expected_output():
    assert sorted(p.stem for p in EXAMPLES_DIR.glob("*.lua")) == sorted(EXPECTED)


@pytest.mark.parametrize("name", sorted(EXPECTED))
def test_example_runs_to_completion(name, tmp_path):
    run = run_script(EXAMPLES_DIR / (name + ".lua"), tmp_path)
    assert run.stop is None, run.stop
    assert run.stderr == ""
    output, listing = split_stdout(run.stdout)
    assert listing, "no listing was printed"
    assert output == EXPECTED[name]
