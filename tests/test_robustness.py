"""Faults and limits: repeated calls in one process keep memory flat, runaway
recursion and deeply nested source stop cleanly on any thread and leave the
process usable, numeric loops end at the edge of the integer range, and
everything printed before a stop is written."""
import json
import resource
import subprocess
import sys

import pytest

from conftest import run_child, under_sanitizer
from test_decisions import split_stdout

HELLO_OUTPUT = ["hello"]

# --- many calls in one process ----------------------------------------------------

# Each script makes a 64 KiB string, so a run that kept anything would show.
BIG = 'local s = "xxxxxxxxxxxxxxxx"\nfor i = 1, 12 do s = s .. s end\n'
MEMORY_SCRIPTS = {
    "normal": BIG + "local t = {s, n = 1}\n"
                    "for i = 1, 20 do t[#t + 1] = {i, s} end\n"
                    "print(#t, #s)\n",
    "self_table": BIG + "local t = {}\n"
                        "t.self = t\n"
                        "t.s = s\n"
                        "local a, b = {}, {}\n"
                        "a.other, b.other = b, a\n"
                        "a[1] = t\n"
                        "print(#t.self.s)\n",
    "closure_cycle": BIG + "local f, g\n"
                           "f = function() return g, s end\n"
                           "g = function() return f end\n"
                           "local function itself() return itself, s end\n"
                           "local holder = {s}\n"
                           "holder.fn = function() return holder end\n"
                           "print(#s)\n",
    "run_stop": BIG + "local t = {s}\n"
                      "t.t = t\n"
                      "local function loop() return loop, t end\n"
                      "print(t.x.y)\n",
    # The 64 KiB constant of a finished inner function, then a lexical error.
    "compile_stop": "local function f()\n  local s = \"" + "v" * 65536 + "\"\n"
                    "  return s\nend\nlocal t = {f}\n@\n",
    # Every level holds a table and a closure in a cycle when the stack runs out.
    "overflow_stop": "local function down(n)\n"
                     "  local t = {n}\n"
                     "  t.f = function() return t end\n"
                     "  return 1 + down(n + 1)\n"
                     "end\n"
                     "down(1)\n",
    "nesting_stop": "local function f() return 1 end\n"
                    "print(" + "(" * 100000 + "1" + ")" * 100000 + ")\n",
}
MEMORY_OUTCOMES = {
    "normal": None,
    "self_table": None,
    "closure_cycle": None,
    "run_stop": "not yet implemented: meta __index",
    "compile_stop": "invalid char 64",
    "overflow_stop": "stack overflow",
    "nesting_stop": "syntax nesting too deep",
}
# The rotation: the cheap scripts often, the deep ones now and then.
ROTATION = ["normal", "self_table", "closure_cycle", "run_stop", "compile_stop",
            "normal", "self_table", "closure_cycle", "run_stop", "overflow_stop",
            "normal", "self_table", "closure_cycle", "run_stop", "compile_stop",
            "normal", "self_table", "closure_cycle", "run_stop", "nesting_stop"]

MANY_CALLS = r"""
import json, os, sys, Vantor
folder, report, calls, warm_up = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
rotation = json.loads(sys.argv[5])
page = os.sysconf("SC_PAGE_SIZE")

def rss():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * page

outcomes = {}
for i in range(calls):
    name = rotation[i % len(rotation)]
    try:
        Vantor.raw_input(os.path.join(folder, name + ".lua"))
        stop = None
    except BaseException as e:
        if type(e).__name__ != "PanicException":
            raise
        stop = str(e)
    outcomes.setdefault(name, set()).add(stop)
    if i + 1 == warm_up:
        after_warm_up = rss()
with open(report, "w") as f:
    json.dump({"warm_up": after_warm_up, "end": rss(),
               "outcomes": {k: sorted(v, key=str) for k, v in outcomes.items()}}, f)
"""

CALLS = 1000
WARM_UP = 100
RSS_SLACK = 1024 * 1024  # a leak of about 1 KiB per call would exceed it


def test_thousand_calls_keep_memory_flat(tmp_path):
    if under_sanitizer():
        pytest.skip("the sanitizer's quarantine keeps freed memory resident, so RSS does not "
                    "measure leaks there; its leak checker covers that build")
    for name, source in MEMORY_SCRIPTS.items():
        (tmp_path / (name + ".lua")).write_text(source)
    report = tmp_path / "report.json"
    proc = run_child(MANY_CALLS, tmp_path, report, CALLS, WARM_UP, json.dumps(ROTATION),
                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=600)
    assert proc.returncode == 0, proc.stderr[-3000:]
    result = json.loads(report.read_text())
    # Every script ended the way it was meant to, every time.
    assert result["outcomes"] == {name: [stop] for name, stop in MEMORY_OUTCOMES.items()}
    growth = result["end"] - result["warm_up"]
    assert growth <= RSS_SLACK, "RSS grew by %d KiB over %d calls (from %d KiB)" % (
        growth // 1024, CALLS - WARM_UP, result["warm_up"] // 1024)


# --- limits on the main thread and on other threads ----------------------------------

# Prints each level, so the output tells how deep it got.
RUNAWAY_RECURSION = ("local function down(n)\n"
                     "  print(n)\n"
                     "  return 1 + down(n + 1)\n"
                     "end\n"
                     "down(1)\n")
RUNAWAY_TAIL_CALLS = ("local function loop(n)\n"
                      "  print(n)\n"
                      "  return loop(n + 1)\n"
                      "end\n"
                      "loop(1)\n")
DEPTH = 100000
NESTED_SOURCES = {
    "parentheses": "print(" + "(" * DEPTH + "1" + ")" * DEPTH + ")\n",
    "unary": "local x = " + "- " * DEPTH + "1\n",
    "not": "local x = " + "not " * DEPTH + "true\n",
    "do_blocks": "do " * DEPTH + "end " * DEPTH + "\n",
    "if_blocks": "if true then " * DEPTH + "end " * DEPTH + "\n",
    "while_blocks": "while false do " * DEPTH + "end " * DEPTH + "\n",
    "function_bodies": "local f = " + "function() return " * DEPTH + "1" + " end" * DEPTH + "\n",
    "power_chain": "local x = 2" + " ^ 2" * DEPTH + "\n",
}

# Runs argv[1] on the chosen thread, writes a marker, then runs a small script
# on the main thread: the process must still work.
ON_A_THREAD = r"""
import json, os, sys, threading, Vantor
script, where, hello, report = sys.argv[1:5]
result = {}

def run():
    try:
        Vantor.raw_input(script)
        result["stop"] = None
    except BaseException as e:
        result["stop"] = "%s: %s" % (type(e).__name__, e)

if where == "main":
    run()
else:
    if where == "small-stack thread":
        threading.stack_size(256 * 1024)
    thread = threading.Thread(target=run)
    thread.start()
    thread.join()
    threading.stack_size(0)
os.write(1, b"=====\n")
Vantor.raw_input(hello)
with open(report, "w") as f:
    json.dump(result, f)
"""

WHERE = ["main", "thread", "small-stack thread"]


def run_where(tmp_path, source, where):
    """Runs source on the chosen thread; returns (program output, stop message)
    after checking that a following call worked normally."""
    script = tmp_path / "script.lua"
    script.write_text(source)
    hello = tmp_path / "hello.lua"
    hello.write_text('print("hello")\n')
    report = tmp_path / "report.json"
    out = tmp_path / "stdout"
    with open(out, "wb") as f:
        proc = run_child(ON_A_THREAD, script, where, hello, report, stdout=f,
                         stderr=subprocess.PIPE, timeout=600)
    assert proc.returncode == 0, proc.stderr.decode(errors="replace")[-3000:]
    before, after = out.read_bytes().split(b"=====\n")
    assert split_stdout(after)[0] == HELLO_OUTPUT
    stop = json.loads(report.read_text())["stop"]
    return split_stdout(before)[0], stop


@pytest.mark.parametrize("where", WHERE)
@pytest.mark.parametrize("source", [RUNAWAY_RECURSION, RUNAWAY_TAIL_CALLS],
                         ids=["recursion", "tail_calls"])
def test_runaway_recursion_stops_with_stack_overflow(tmp_path, source, where):
    output, stop = run_where(tmp_path, source, where)
    assert stop == "PanicException: stack overflow"
    # Every level printed its number before the stop, none lost.
    assert output == [str(n) for n in range(1, len(output) + 1)]
    if where == "main":
        assert len(output) >= 5000
    else:
        assert len(output) >= 100


@pytest.mark.parametrize("where", WHERE)
@pytest.mark.parametrize("kind", sorted(NESTED_SOURCES))
def test_deeply_nested_source_stops_the_compile(tmp_path, kind, where):
    output, stop = run_where(tmp_path, NESTED_SOURCES[kind], where)
    assert stop == "PanicException: syntax nesting too deep"
    assert output == []


UNLIMITED_STACK_CHILD = r"""
import resource, sys, Vantor
resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
try:
    Vantor.raw_input(sys.argv[1])
except BaseException as e:
    sys.stderr.write("STOP %s\n" % e)
"""


def unlimited_stack():
    resource.setrlimit(resource.RLIMIT_STACK, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))


def test_runaway_recursion_with_an_unlimited_stack_limit(tmp_path):
    # Without a stack limit the main thread's stack reaches down to the next
    # mapping (terabytes); the guard still stops the recursion in bounded memory.
    if under_sanitizer():
        pytest.skip("an address-space limit does not work with the sanitizer's shadow memory")
    if resource.getrlimit(resource.RLIMIT_STACK)[1] != resource.RLIM_INFINITY:
        pytest.skip("the hard stack limit here is finite; the soft limit cannot be unlimited")
    script = tmp_path / "down.lua"
    script.write_text(RUNAWAY_RECURSION)
    proc = subprocess.run([sys.executable, "-c", UNLIMITED_STACK_CHILD, str(script)],
                          preexec_fn=unlimited_stack, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True, timeout=600)
    assert proc.returncode == 0, "exit %d\n%s" % (proc.returncode, proc.stderr[-2000:])
    assert proc.stderr.endswith("STOP stack overflow\n"), proc.stderr[-2000:]


def test_nested_table_constructors_run_out_of_registers_first(tmp_path):
    # Every open constructor holds its table in a register, so 100,000 of them
    # meet the register limit long before the stack runs low.
    output, stop = run_where(tmp_path, "local t = " + "{" * DEPTH + "}" * DEPTH + "\n", "main")
    assert stop == "PanicException: too many registers"
    assert output == []


# --- numeric for at the edge of the integer range -------------------------------------

def test_numeric_for_up_to_the_largest_integer_ends(run_lua):
    run = run_lua(
        "for i = 1, 9223372036854775807, 4611686018427387903 do print(i) end\n"
        "print('a')\n"
        "for i = 0, 9223372036854775807, 9223372036854775807 do print(i) end\n"
        "print('b')\n"
        "for i = -9223372036854775807, 9223372036854775807, 9223372036854775807 do print(i) end\n"
        "print('c')\n"
        "for i = 0, -9223372036854775807 - 1, -9223372036854775807 - 1 do print(i) end\n"
        "print('d')\n"
        "for i = 9223372036854775807, 9223372036854775807 do print(i) end\n"
        "print('e')\n"
        "for i = -9223372036854775807 - 1, -9223372036854775807 - 1, -1 do print(i) end\n"
        "print('f')\n"
        "for i = 9223372036854775807, 0, -9223372036854775807 do print(i) end\n"
        "print('g')\n"
        "for i = 9223372036854775800, 9223372036854775807, 3 do print(i) end\n"
        "print('h')\n"
        "local last\n"
        "for i = 9223372036854775805, 9223372036854775807 do last = function() return i end end\n"
        "print(last())\n", timeout=60)
    assert run.stop is None
    assert split_stdout(run.stdout)[0] == [
        "1", "4611686018427387904", "9223372036854775807", "a",
        "0", "9223372036854775807", "b",
        "-9223372036854775807", "0", "9223372036854775807", "c",
        "0", "-9223372036854775808", "d",
        "9223372036854775807", "e",
        "-9223372036854775808", "f",
        "9223372036854775807", "0", "g",
        "9223372036854775800", "9223372036854775803", "9223372036854775806", "h",
        "9223372036854775807",
    ]


# --- output written before a stop -------------------------------------------------------

def test_large_output_is_complete_before_a_run_stop(run_lua):
    # Far more than any output buffer, then a stop.
    run = run_lua("local line = \"" + "z" * 100 + "\"\n"
                  "for i = 1, 20000 do print(line) end\n"
                  "print(\"last\")\n"
                  "local zero = 0\n"
                  "print(1 // zero)\n")
    assert run.stop == "attempt to divide by zero"
    output, _ = split_stdout(run.stdout)
    assert output == ["z" * 100] * 20000 + ["last"]
    # The trace line of the failing instruction is the very last line.
    assert run.stdout.endswith(b"\n") and run.stdout.split(b"\n")[-2].startswith(b"  [")


def test_listing_of_finished_functions_is_written_before_a_compile_stop(run_lua):
    run = run_lua("local function f() end\n" + "x = " + "(" * DEPTH + "1" + ")" * DEPTH + "\n")
    assert run.stop == "syntax nesting too deep"
    assert run.stdout == (b"== function: f\n"
                          b"constants: []\n"
                          b"upindexes: []\n"
                          b"byte_codes:\n"
                          b"  0\tReturn0\n")
