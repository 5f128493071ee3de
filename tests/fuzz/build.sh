#!/usr/bin/env bash
# Builds the fuzzer (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into $1 (default build-fuzz/fuzz_run). Exits 77 when clang's libFuzzer is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz/fuzz_run}
cxx=$(command -v clang++ || true)
if [ -z "$cxx" ]; then
    echo "no clang++ on this machine"
    exit 77
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long){return 0;}' |
        "$cxx" -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
    echo "clang++ has no libFuzzer runtime on this machine"
    exit 77
fi
mkdir -p "$(dirname "$out")"
srcs=$(ls "$root"/src/{utils,value,bytecode,lex,parse,vm}/*.cpp "$root"/src/lib/runner.cpp)
# shellcheck disable=SC2086
"$cxx" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root/src" $srcs "$root/tests/fuzz/fuzz_run.cpp" -o "$out"
echo "built $out"
