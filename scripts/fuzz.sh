#!/usr/bin/env bash
# Fuzzes every reader of outside input for a bounded time: the libFuzzer
# targets of fuzz/ (built in build-sanitize/ by scripts/sanitize-tree.sh),
# each starting from its seed corpus in fuzz/corpus/<target>.
#
#   fuzz.sh [SECONDS] [TARGET...]   SECONDS for each target (default 30);
#                                   without targets, all of them
#
# Exits 1 when a target crashed, met a sanitizer report or broke one of the
# properties it checks; the input that did it is kept and named, to become
# a seed (fuzz/corpus/<target>/) and a test case of the reader's suite.
# The inputs found on the way are thrown away: the seed corpora stay small.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDOF_SANITIZE_BUILD_DIR:-$root/build-sanitize}
seconds=${1:-30}
shift || true
case $seconds in
    '' | *[!0-9]*) echo "uso: fuzz.sh [SECONDI] [TARGET...]" >&2; exit 2 ;;
esac

"$root/scripts/sanitize-tree.sh" "$build" vardof_fuzzers > /dev/null
if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < "$build/fuzzers.txt"
fi

# The targets write their inputs to files: on a memory file system when
# there is one, in a folder removed afterwards.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/vardof-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
findings=${VARDOF_FUZZ_FINDINGS:-$build/fuzz-findings}
mkdir -p "$findings"

export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/scripts/sanitizers/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

failed=()
for target in "${targets[@]}"; do
    [ -n "$target" ] || continue
    binary=$build/fuzz/$target
    seeds=$root/fuzz/corpus/$target
    [ -x "$binary" ] && [ -d "$seeds" ] || { echo "fuzz: $target sconosciuto" >&2; exit 2; }
    mkdir -p "$work/$target/corpus" "$work/$target/tmp"
    log=$work/$target/log
    # New inputs go to the first folder (thrown away), the seeds are read only.
    if TMPDIR=$work/$target/tmp nice -n 10 "$binary" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$work/$target/corpus" "$seeds" > "$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz: $target: ${runs:-?} input in ${seconds}s, nessun problema"
    else
        failed+=("$target")
        echo "fuzz: $target: PROBLEMA" >&2
        grep -E "ERROR|SUMMARY|property broken|runtime error|Test unit written" "$log" | head -n 20 >&2 || tail -n 40 "$log" >&2
    fi
    rm -rf "$work/$target"
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: problemi in ${failed[*]}; gli input sono in $findings" >&2
    exit 1
fi
