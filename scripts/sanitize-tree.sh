#!/usr/bin/env bash
# Configures (once) and builds the reliability tree: clang, AddressSanitizer
# and UndefinedBehaviorSanitizer everywhere, and the libFuzzer targets with
# the coverage they need, so that the sanitizer suite (test.sh --sanitize)
# and the fuzzers (fuzz.sh) share one build. No benchmarks. It runs beside
# the normal tree on a shared machine: the compilers run niced.
#   sanitize-tree.sh DIR [TARGET...]    without targets: everything
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?folder}
shift
if [ ! -f "$build/CMakeCache.txt" ]; then
    # -O1 keeps the instrumented tests quick and the build short; -g1
    # gives the reports their file and line.
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
        -DVARDOF_SANITIZE=ON -DVARDOF_FUZZ=ON -DVARDOF_BUILD_BENCH=OFF > /dev/null
fi
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
nice -n 10 cmake --build "$build" -j "$(nproc)" "${targets[@]}"
