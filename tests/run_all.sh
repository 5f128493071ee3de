#!/usr/bin/env bash
# Runs every test of the project, step by step:
#   a. a -Werror debug build of everything, and the C++ unit tests;
#   b. pip install . and the Python tests against the installed module;
#   c. the C++ unit tests, every script under the leak checker, and the Python
#      tests, all against an AddressSanitizer + UndefinedBehaviorSanitizer build;
#   d. a 32-bit x86 build of the module, tested under a 32-bit interpreter;
#   e. one minute of coverage-guided fuzzing of the compile-and-run path.
# A step that cannot run on this machine says why and is skipped; a failing
# step does not stop the others. Exits non-zero if any step that ran failed.
# Usage: bash tests/run_all.sh [a] [b] [c] [d] [e]   (no arguments: every step)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
builds=$root/build-ci
jobs=2
python=python3
mkdir -p "$builds"
cd "$root"

failed=()
summary=()
wanted=" ${*:-a b c d e} "

note() { printf '\n==== %s\n' "$*"; }

# run_step NAME FUNCTION: runs a step in a subshell that stops at its first
# failing command; a step returning 77 was skipped (it printed why).
run_step() {
    local name=$1 status start=$SECONDS
    [[ "$wanted" == *" ${name%%.*} "* ]] || return 0
    note "$name"
    # Not "|| status=$?": that context would switch off set -e inside the step.
    ( set -e; "$2" )
    status=$?
    local took="($((SECONDS - start)) s)"
    if [ "$status" -eq 0 ]; then
        summary+=("passed   $name $took")
    elif [ "$status" -eq 77 ]; then
        summary+=("skipped  $name $took")
    else
        summary+=("FAILED   $name (exit $status) $took")
        failed+=("$name")
    fi
}

skip() {
    echo "SKIPPED: $*"
    exit 77
}

configure_and_build() {  # DIR [cmake args...]
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j"$jobs"
}

pytest_in() {  # INTERPRETER [pytest args...]; exit status 5 (no tests ran) is a failure too
    local interpreter=$1
    shift
    "$interpreter" -m pytest -q -p no:cacheprovider "$root/tests" "$@"
}

# -Werror, less the warnings newer compilers are known to raise falsely on
# standard containers (dangling-reference, from GCC 13), where they exist.
werror_flags() {
    local flags="-Werror" extra
    for extra in -Wno-dangling-reference; do
        if echo 'int main() { return 0; }' | g++ -x c++ -Werror "$extra" - -o /dev/null 2>/dev/null; then
            flags="$flags $extra"
        fi
    done
    echo "$flags"
}

step_werror() {
    configure_and_build "$builds/werror" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(werror_flags)" \
        -DPython_EXECUTABLE="$(command -v $python)"
    ctest --test-dir "$builds/werror" --output-on-failure --no-tests=error -j"$jobs"
}

step_installed() {
    "$python" -m pip install --quiet --root-user-action=ignore \
        --config-settings=build-dir="$builds/wheel" "$root"
    # Test the installed module, not a build directory.
    (cd /tmp && "$python" -c "import Vantor; print('installed:', Vantor.__file__)")
    pytest_in "$python"
}

asan_runtime() { g++ -print-file-name=libasan.so; }

step_sanitizers() {
    local runtime
    runtime=$(asan_runtime)
    [ -e "$runtime" ] || skip "no AddressSanitizer runtime for g++ on this machine"
    local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    configure_and_build "$builds/asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
        -DCMAKE_MODULE_LINKER_FLAGS="$flags" -DPython_EXECUTABLE="$(command -v $python)"
    # Instrumented frames are several times larger: give the depth tests
    # (thousands of nested script calls) the room a plain build has in 8 MiB.
    ulimit -s $((64 * 1024)) 2>/dev/null || echo "note: the stack limit stays at $(ulimit -s) KiB"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86
    export ASAN_OPTIONS=exitcode=86:detect_leaks=1
    # The three parts all run; the step fails at the end if any failed.
    local parts_failed=0
    ctest --test-dir "$builds/asan" --output-on-failure --no-tests=error -j"$jobs" ||
        parts_failed=$((parts_failed + 1))

    # Every script runs to its end or its stop with nothing left allocated,
    # reference cycles included. A stop exits 1; the sanitizers exit 86.
    local script status bad=0 count=0
    while IFS= read -r -d '' script; do
        count=$((count + 1))
        status=0
        "$builds/asan/vantor_run" "$script" >/dev/null 2>"$builds/asan/last.err" || status=$?
        if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
            echo "sanitizer failure (exit $status) in $script:"
            head -c 4000 "$builds/asan/last.err"
            bad=$((bad + 1))
        fi
    done < <(find "$root/tests/scripts" "$root/tests/golden" "$root/tests/decisions" "$root/examples" -name '*.lua' -print0 2>/dev/null | sort -z)
    echo "scripts under the leak checker: $count run, $bad with sanitizer reports"
    [ "$bad" -eq 0 ] || parts_failed=$((parts_failed + 1))

    # CPython itself keeps memory until exit: leak checking stays off there.
    # libstdc++ is preloaded too, so that the sanitizer finds the C++ runtime's
    # exception entry when it starts (Python itself does not load it).
    ASAN_OPTIONS=exitcode=86:detect_leaks=0 LD_PRELOAD="$runtime $(g++ -print-file-name=libstdc++.so)" \
        PYTHONPATH="$builds/asan" \
        pytest_in "$python" || parts_failed=$((parts_failed + 1))
    [ "$parts_failed" -eq 0 ]
}

# The distribution's own Python version (X.Y), whose i386 library we link.
debian_python_version() {
    local v
    v=$(apt-cache depends python3 2>/dev/null | sed -n 's/^ *Depends: python3\.\([0-9][0-9]*\)$/3.\1/p' | head -n 1)
    [ -n "$v" ] || v=$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null)
    echo "$v"
}

step_32bit() {
    local ver lib dir=$builds/m32
    ver=$(debian_python_version)
    [ -n "$ver" ] || skip "no Debian python3 found to take the 32-bit library from"
    lib=/usr/lib/i386-linux-gnu/libpython$ver.so
    [ -e "$lib" ] || skip "$lib is missing (install libpython$ver-dev:i386)"
    echo 'int main(void) { return 0; }' | cc -m32 -x c - -o /dev/null 2>/dev/null ||
        skip "the compiler cannot build 32-bit programs (install g++-multilib)"
    mkdir -p "$dir"
    # A 32-bit interpreter: the distribution's i386 libpython behind a three-line main.
    printf '%s\n' 'extern int Py_BytesMain(int argc, char** argv);' \
        'int main(int argc, char** argv) { return Py_BytesMain(argc, argv); }' > "$dir/python_main.c"
    cc -m32 -O2 "$dir/python_main.c" -o "$dir/python32" -L/usr/lib/i386-linux-gnu "-lpython$ver"
    "$dir/python32" -c 'import struct, sys; assert struct.calcsize("P") == 4, "not 32-bit"; print("32-bit interpreter", sys.version)'

    # pytest for that interpreter, pure Python, kept beside the build.
    "$python" -m pip install --quiet --root-user-action=ignore --upgrade --target "$dir/site" \
        --python-version "$ver" --only-binary=:all: pytest

    # -Wno-restrict: GCC 12 reports a false overlap inside std::string when
    # optimising for i386 (in the library's code, not ours).
    configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-m32 $(werror_flags) -Wno-restrict" \
        -DCMAKE_EXE_LINKER_FLAGS=-m32 -DCMAKE_MODULE_LINKER_FLAGS=-m32 \
        -DPython_EXECUTABLE="$dir/python32"
    if [ -n "$(ctest --test-dir "$dir" -N 2>/dev/null | grep 'Total Tests: [1-9]')" ]; then
        ctest --test-dir "$dir" --output-on-failure -j"$jobs"
    else
        echo "no 32-bit GoogleTest here (libgtest-dev:i386): C++ unit tests not run in 32-bit"
    fi
    PYTHONPATH="$dir:$dir/site" pytest_in "$dir/python32"
}

step_fuzz() {
    # Exits 77 (skipped, with the reason) when clang's libFuzzer is missing.
    bash "$root/tests/fuzz/run.sh" 60
}

run_step "a. -Werror build and C++ unit tests" step_werror
run_step "b. pip install . and Python tests" step_installed
run_step "c. AddressSanitizer + UndefinedBehaviorSanitizer build: C++, script and Python tests" step_sanitizers
run_step "d. 32-bit x86 build and Python tests under a 32-bit interpreter" step_32bit
run_step "e. libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, 60 seconds" step_fuzz

note "summary"
printf '%s\n' "${summary[@]}"
if [ "${#failed[@]}" -ne 0 ]; then
    echo "failed steps: ${#failed[@]}"
    exit 1
fi
echo "all steps that could run passed"
