#!/usr/bin/env bash
# Runs the fuzzer for N seconds (default 60), seeded with the test scripts.
# Usage: tests/fuzz/run.sh [SECONDS] [extra libFuzzer flags...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
bin=$root/build-fuzz/fuzz_run
bash "$root/tests/fuzz/build.sh" "$bin"
corpus=$root/build-fuzz/corpus
mkdir -p "$corpus"
seeds=$root/build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
find "$root/tests" "$root/examples" -name '*.lua' -size -64k -exec cp {} "$seeds/" \; 2>/dev/null || true
cd "$root/build-fuzz"
# Leak checking stays on: a run must free everything it created. A request
# beyond 1 GiB fails inside the allocator, so the run stops with the system's
# own "memory allocation failed" instead of tripping the fuzzer's memory limit.
export ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=1024
"$bin" "$corpus" "$seeds" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
    -rss_limit_mb=4096 -malloc_limit_mb=4096 -print_final_stats=1 "$@"
