"""The Python boundary: module shape, argument binding and conversion, the
stop exception and its diagnostic, and how raw_input meets the file system
and standard output."""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

import pytest

import Vantor
from conftest import run_child, run_script, under_sanitizer

SIZE_MAX = sys.maxsize * 2 + 1
UNWRAP = "called `Result::unwrap()` on an `Err` value: "
HELLO_STDOUT = (b"constants: ['print', 'hello']\n"
                b"upindexes: []\n"
                b"byte_codes:\n"
                b"  0\tGetField(1, 0, 0)\n"
                b"  1\tLoadConst(2, 1)\n"
                b"  2\tCall(1, 2, 0)\n"
                b"  3\tReturn0\n"
                b"  [0]\tGetField(1, 0, 0)\n"
                b"  [1]\tLoadConst(2, 1)\n"
                b"  [2]\tCall(1, 2, 0)\n"
                b"hello\n"
                b"  [3]\tReturn0\n")
# A script whose run prints a line and then stops.
PRINT_THEN_STOP = 'print("before")\nprint(x.y)\n'
PRINT_THEN_STOP_MESSAGE = "not yet implemented: meta __index"


def panic_of(fn, *args):
    """Calls fn expecting the stop exception; returns it."""
    with pytest.raises(BaseException) as info:
        fn(*args)
    assert type(info.value).__name__ == "PanicException", repr(info.value)
    return info.value


# --- module shape -----------------------------------------------------------

def test_module_functions_in_order_with_text_signatures():
    assert Vantor.__name__ == "Vantor"
    assert Vantor.__doc__ == ""
    functions = [name for name, v in vars(Vantor).items() if callable(v)]
    assert functions == ["sum_as_string", "raw_input"]
    assert Vantor.sum_as_string.__text_signature__ == "(a, b)"
    assert Vantor.raw_input.__text_signature__ == "(prompt)"
    assert Vantor.sum_as_string.__doc__ is None
    assert Vantor.raw_input.__doc__ is None
    assert Vantor.sum_as_string.__module__ == "Vantor"


def test_only_the_init_function_is_exported():
    if not shutil.which("nm"):
        pytest.skip("nm (binutils) is not installed")
    proc = subprocess.run(["nm", "-D", "--defined-only", Vantor.__file__], capture_output=True,
                          text=True, check=True)
    assert [line.split()[-1] for line in proc.stdout.splitlines()] == ["PyInit_Vantor"]


def test_second_initialisation_is_refused():
    code = ("import sys, Vantor\n"
            "first = Vantor\n"
            "del sys.modules['Vantor']\n"
            "try:\n"
            "    import Vantor\n"
            "except ImportError as e:\n"
            "    print('ImportError:', e)\n"
            "print(first.sum_as_string(2, 3))\n")
    proc = run_child(code, capture_output=True, text=True, timeout=60)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout == ("ImportError: PyO3 modules may only be initialized once per "
                           "interpreter process\n5\n")


# --- sum_as_string ------------------------------------------------------------

@pytest.mark.parametrize("args, kwargs, result", [
    ((1, 2), {}, "3"),
    ((0, 0), {}, "0"),
    ((), {"a": 4, "b": 5}, "9"),
    ((), {"b": 5, "a": 4}, "9"),
    ((4,), {"b": 5}, "9"),
    ((True, 2), {}, "3"),
    ((SIZE_MAX, 0), {}, str(SIZE_MAX)),
    ((SIZE_MAX, 1), {}, "0"),
    ((SIZE_MAX, SIZE_MAX), {}, str(SIZE_MAX - 1)),
])
def test_sum_as_string_adds_with_wraparound(args, kwargs, result):
    assert Vantor.sum_as_string(*args, **kwargs) == result


def same_binding_error_as_python(call_args, call_kwargs, fn, reference):
    with pytest.raises(TypeError) as ours:
        fn(*call_args, **call_kwargs)
    with pytest.raises(TypeError) as python:
        reference(*call_args, **call_kwargs)
    assert str(ours.value) == str(python.value)
    return str(ours.value)


def sum_as_string(a, b):  # the reference: CPython's own binding of the same parameters
    pass


def raw_input(prompt):
    pass


@pytest.mark.parametrize("args, kwargs, message", [
    ((1,), {}, "sum_as_string() missing 1 required positional argument: 'b'"),
    ((), {"b": 1}, "sum_as_string() missing 1 required positional argument: 'a'"),
    ((), {}, "sum_as_string() missing 2 required positional arguments: 'a' and 'b'"),
    ((1, 2, 3), {}, "sum_as_string() takes 2 positional arguments but 3 were given"),
    ((1, 2), {"c": 3}, "sum_as_string() got an unexpected keyword argument 'c'"),
    ((1,), {"a": 2}, "sum_as_string() got multiple values for argument 'a'"),
    # Several faults: keywords are judged before the positional count.
    ((1, 2, 3), {"a": 4}, "sum_as_string() got multiple values for argument 'a'"),
    ((1, 2, 3), {"c": 4}, "sum_as_string() got an unexpected keyword argument 'c'"),
    ((1, 2), {1: 2}, "keywords must be strings"),
])
def test_sum_as_string_binding_errors(args, kwargs, message):
    assert same_binding_error_as_python(args, kwargs, Vantor.sum_as_string, sum_as_string) == message
    # Argument errors come before any conversion.
    assert same_binding_error_as_python(tuple("x" for _ in args), kwargs,
                                        Vantor.sum_as_string, sum_as_string) == message


@pytest.mark.parametrize("args, kwargs, message", [
    ((), {}, "raw_input() missing 1 required positional argument: 'prompt'"),
    (("a", "b"), {}, "raw_input() takes 1 positional argument but 2 were given"),
    (("a",), {"prompt": "b"}, "raw_input() got multiple values for argument 'prompt'"),
    ((), {"path": "a"}, "raw_input() got an unexpected keyword argument 'path'"),
])
def test_raw_input_binding_errors(args, kwargs, message):
    assert same_binding_error_as_python(args, kwargs, Vantor.raw_input, raw_input) == message


@pytest.mark.parametrize("args, error, message", [
    (("1", 2), TypeError, "argument 'a': 'str' object cannot be interpreted as an integer"),
    ((1, 2.0), TypeError, "argument 'b': 'float' object cannot be interpreted as an integer"),
    ((None, 2), TypeError, "argument 'a': 'NoneType' object cannot be interpreted as an integer"),
    (("x", -1), TypeError, "argument 'a': "),  # a is converted before b
    ((-1, "x"), OverflowError, None),
    ((-1, 0), OverflowError, None),
    ((0, SIZE_MAX + 1), OverflowError, None),
    ((2 ** 200, 0), OverflowError, None),
])
def test_sum_as_string_conversion_errors(args, error, message):
    with pytest.raises(error) as info:
        Vantor.sum_as_string(*args)
    assert type(info.value) is error
    text = str(info.value)
    if message is not None:
        assert text.startswith(message)
    else:
        assert not text.startswith("argument ")  # overflow is not prefixed


def test_sum_as_string_accepts_index_objects():
    class Index:
        def __index__(self):
            return 40

    assert Vantor.sum_as_string(Index(), 2) == "42"


# --- raw_input arguments --------------------------------------------------------

@pytest.mark.parametrize("value, type_name", [(5, "int"), (b"x.lua", "bytes"), (None, "NoneType")])
def test_raw_input_needs_a_str(value, type_name):
    with pytest.raises(TypeError) as info:
        Vantor.raw_input(value)
    assert str(info.value) == (
        "argument 'prompt': '%s' object cannot be converted to 'PyString'" % type_name)


def test_raw_input_path_must_encode_as_utf8():
    with pytest.raises(UnicodeEncodeError):
        Vantor.raw_input("script\ud800.lua")


# --- the stop exception -----------------------------------------------------------

def test_stop_exception_type(tmp_path):
    missing = str(tmp_path / "missing.lua")
    e1 = panic_of(Vantor.raw_input, missing)
    e2 = panic_of(Vantor.raw_input, missing)
    cls = type(e1)
    assert cls is type(e2)  # one type for the whole process
    assert cls.__module__ == "pyo3_runtime" and cls.__qualname__ == "PanicException"
    assert cls.__bases__ == (BaseException,)
    assert not issubclass(cls, Exception)
    assert e1.args == (str(e1),)


def test_except_exception_does_not_catch_a_stop(tmp_path):
    caught_by = None
    try:
        try:
            Vantor.raw_input(str(tmp_path / "missing.lua"))
        except Exception:
            caught_by = "Exception"
    except BaseException:
        caught_by = "BaseException"
    assert caught_by == "BaseException"


def test_stop_diagnostic_follows_flushed_output(tmp_path):
    """stdout is flushed before the one-line diagnostic naming file and line."""
    script = tmp_path / "s.lua"
    script.write_text(PRINT_THEN_STOP)
    code = ("import sys, Vantor\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except BaseException as e:\n"
            "    pass\n")
    proc = run_child(code, script, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    text = proc.stdout.decode()
    assert proc.returncode == 0
    before = text.index("before\n")
    diagnostic = re.search(r"^.*\bsrc/[\w/]+\.(cpp|h):\d+\b.*" + re.escape(PRINT_THEN_STOP_MESSAGE)
                           + r"\n\Z", text, re.M)
    assert diagnostic, text[-500:]
    assert diagnostic.start() > before


# --- raw_input and the file system ------------------------------------------------

def test_hello_prints_listing_trace_and_output(tmp_path):
    script = tmp_path / "hello.lua"
    script.write_text('print("hello")\n')
    run = run_script(script, tmp_path)
    assert run.stop is None
    assert run.stdout == HELLO_STDOUT
    assert run.stderr == ""


def test_empty_script(run_lua):
    run = run_lua("")
    assert run.stop is None
    assert run.stdout == (b"constants: []\nupindexes: []\nbyte_codes:\n  0\tReturn0\n"
                          b"  [0]\tReturn0\n")


def test_relative_path_is_taken_from_working_directory(tmp_path):
    (tmp_path / "rel.lua").write_text('print("hello")\n')
    proc = run_child("import Vantor; Vantor.raw_input('rel.lua')", cwd=tmp_path,
                     capture_output=True, timeout=60)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout == HELLO_STDOUT


def test_missing_file(tmp_path):
    e = panic_of(Vantor.raw_input, str(tmp_path / "missing.lua"))
    assert str(e) == UNWRAP + 'Os { code: 2, kind: NotFound, message: "No such file or directory" }'


def test_path_through_a_file(tmp_path):
    (tmp_path / "file").write_text("")
    e = panic_of(Vantor.raw_input, str(tmp_path / "file" / "x.lua"))
    assert str(e) == UNWRAP + 'Os { code: 20, kind: NotADirectory, message: "Not a directory" }'


def test_nul_in_path_is_not_truncated(tmp_path):
    (tmp_path / "a").write_text('print("hello")\n')
    e = panic_of(Vantor.raw_input, str(tmp_path / "a") + "\0b")
    assert str(e) == UNWRAP + (
        'Error { kind: InvalidInput, message: "file name contained an unexpected NUL byte" }')


def test_directory_opens_and_fails_on_read(tmp_path):
    e = panic_of(Vantor.raw_input, str(tmp_path))
    assert str(e) == UNWRAP + 'Os { code: 21, kind: IsADirectory, message: "Is a directory" }'


# Clears the process's capabilities, so that even root meets file permissions.
DROP_CAPABILITIES = r"""
import ctypes
class Header(ctypes.Structure):
    _fields_ = [("version", ctypes.c_uint32), ("pid", ctypes.c_int)]
class Data(ctypes.Structure):
    _fields_ = [("effective", ctypes.c_uint32), ("permitted", ctypes.c_uint32),
                ("inheritable", ctypes.c_uint32)]
libc = ctypes.CDLL(None, use_errno=True)
header = Header(0x20080522, 0)  # _LINUX_CAPABILITY_VERSION_3
if libc.capset(ctypes.byref(header), (Data * 2)()) != 0:
    print("SKIP capset failed with errno", ctypes.get_errno())
    raise SystemExit(0)
"""


def test_permission_denied(tmp_path):
    script = tmp_path / "secret.lua"
    script.write_text('print("hello")\n')
    script.chmod(0)
    code = ((DROP_CAPABILITIES if os.geteuid() == 0 else "") +
            "import sys, Vantor\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except BaseException as e:\n"
            "    print(type(e).__name__, e)\n")
    proc = run_child(code, script, capture_output=True, text=True, timeout=60)
    assert proc.returncode == 0, proc.stderr
    if proc.stdout.startswith("SKIP"):
        pytest.skip("cannot give up root's file access here: " + proc.stdout)
    assert proc.stdout == "PanicException " + UNWRAP + (
        'Os { code: 13, kind: PermissionDenied, message: "Permission denied" }\n')


# --- runs ----------------------------------------------------------------------

def test_output_before_a_stop_stays_written(run_lua):
    run = run_lua(PRINT_THEN_STOP)
    assert run.stop == PRINT_THEN_STOP_MESSAGE
    assert b"\nbefore\n" in run.stdout
    # The trace line of the failing instruction was written too.
    assert run.stdout.split(b"\n")[-2].startswith(b"  [")


def test_compile_error_is_a_stop(run_lua):
    run = run_lua("print(1)\n@\n")
    assert run.stop == "invalid char 64"
    assert run.stdout == b""


def test_two_calls_give_identical_output(tmp_path):
    script = tmp_path / "twice.lua"
    script.write_text("local c = new_counter()\n"
                      "local t = {1, 2, x = 3}\n"
                      "local function f(n) c() return n + #t end\n"
                      "print(f(1), f(2), t.x)\n")
    code = ("import os, sys, Vantor\n"
            "Vantor.raw_input(sys.argv[1])\n"
            "os.write(1, b'=====\\n')\n"
            "Vantor.raw_input(sys.argv[1])\n")
    proc = run_child(code, script, capture_output=True, timeout=60)
    assert proc.returncode == 0, proc.stderr
    first, second = proc.stdout.split(b"=====\n")
    assert b"counter: 1\n" in first and b"counter: 2\n" in first and b"\n3\t4\t3\n" in first
    assert first == second


def test_stdout_full_is_a_stop_and_python_lives_on(tmp_path):
    script = tmp_path / "hello.lua"
    script.write_text('print("hello")\n')
    code = ("import sys, Vantor\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except BaseException as e:\n"
            "    sys.stderr.write('%s: %s\\n' % (type(e).__name__, e))\n"
            "sys.stderr.write('alive\\n')\n")
    with open("/dev/full", "wb") as full:
        proc = run_child(code, script, stdout=full, stderr=subprocess.PIPE, text=True, timeout=60)
    assert proc.returncode == 0, proc.stderr
    assert proc.stderr.endswith(
        "PanicException: failed printing to stdout: No space left on device (os error 28)\n"
        "alive\n")


def test_closed_pipe_is_a_stop(tmp_path):
    script = tmp_path / "hello.lua"
    script.write_text('print("hello")\n')
    code = ("import sys, Vantor\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except BaseException as e:\n"
            "    sys.stderr.write('%s: %s\\n' % (type(e).__name__, e))\n")
    read_end, write_end = os.pipe()
    os.close(read_end)
    try:
        proc = run_child(code, script, stdout=write_end, stderr=subprocess.PIPE, text=True,
                         timeout=60)
    finally:
        os.close(write_end)
    assert proc.returncode == 0, proc.stderr
    assert proc.stderr.endswith(
        "PanicException: failed printing to stdout: Broken pipe (os error 32)\n")


def test_failed_allocation_is_a_stop(tmp_path):
    if under_sanitizer():
        pytest.skip("an address-space limit does not work with the sanitizer's shadow memory")
    script = tmp_path / "grow.lua"
    script.write_text('local s = "xxxxxxxxxxxxxxxx"\n'
                      "for i = 1, 40 do s = s .. s end\n")
    code = ("import resource, sys, Vantor\n"
            "limit = 1 << 30\n"
            "resource.setrlimit(resource.RLIMIT_AS, (limit, limit))\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except BaseException as e:\n"
            "    sys.stderr.write('%s: %s\\n' % (type(e).__name__, e))\n"
            "sys.stderr.write('alive %s\\n' % Vantor.sum_as_string(1, 1))\n")
    proc = run_child(code, script, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                     timeout=120)
    assert proc.returncode == 0, proc.stderr
    assert proc.stderr.endswith("PanicException: memory allocation failed\nalive 2\n")


def test_ctrl_c_interrupts_a_long_run(tmp_path):
    script = tmp_path / "forever.lua"
    script.write_text("while true do end\n")
    code = ("import sys, time, Vantor\n"
            "sys.stderr.write('ready\\n'); sys.stderr.flush()\n"
            "try:\n"
            "    Vantor.raw_input(sys.argv[1])\n"
            "except KeyboardInterrupt:\n"
            "    sys.stderr.write('interrupted %r\\n' % time.monotonic())\n")
    proc = subprocess.Popen([sys.executable, "-c", code, str(script)], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    try:
        assert proc.stderr.readline() == "ready\n"
        time.sleep(0.5)  # well inside the loop by now
        sent = time.monotonic()
        proc.send_signal(signal.SIGINT)
        rest = proc.stderr.read()
        assert proc.wait(timeout=30) == 0, rest
    finally:
        proc.kill()
        proc.wait()
    assert rest.startswith("interrupted "), rest
    latency = float(rest.split()[1]) - sent
    assert latency < (1.0 if under_sanitizer() else 0.1)


def test_type_stubs_match_the_functions():
    # The stubs are installed beside the module; a build directory has none.
    import ast
    import pathlib

    import Vantor

    stub = pathlib.Path(Vantor.__file__).with_name("Vantor.pyi")
    source = stub if stub.exists() else pathlib.Path(__file__).parents[1] / "src" / "lib" / "Vantor.pyi"
    tree = ast.parse(source.read_text())
    stubs = {f.name: [a.arg for a in f.args.args] for f in tree.body if isinstance(f, ast.FunctionDef)}
    assert stubs == {"sum_as_string": ["a", "b"], "raw_input": ["prompt"]}
    for name, params in stubs.items():
        assert getattr(Vantor, name).__text_signature__ == "(%s)" % ", ".join(params)
    if stub.exists():
        assert stub.with_name("py.typed").exists()
