#!/usr/bin/env bash
# The test command: installs what is missing, builds, starts a private
# Firebird server on 127.0.0.1 for the server-labelled tests, runs every
# test with ctest, and stops the server whatever the outcome.
#
#   test.sh [CTEST ARGS]               the normal tree, build/
#   test.sh --sanitize [CTEST ARGS]    the same suites in a second tree,
#       build-sanitize/, built by clang with AddressSanitizer and
#       UndefinedBehaviorSanitizer (scripts/sanitize-tree.sh): any report
#       fails the test that met it. What is suppressed, and why, is in
#       scripts/sanitizers/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=1
    shift
fi
build=${VARDOF_BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
if [ "$sanitize" = 1 ]; then
    build=${VARDOF_SANITIZE_BUILD_DIR:-$root/build-sanitize}
    "$root/scripts/sanitize-tree.sh" "$build"
    sanitizers=$root/scripts/sanitizers
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$sanitizers/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    export LSAN_OPTIONS="suppressions=$sanitizers/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    # Instrumented code runs a few times slower: the same limits, stretched.
    set -- --timeout 900 "$@"
else
    "$root/scripts/build.sh"
fi

# The server's folder must be reachable by the firebird user, which a
# checkout under a private home (mode 700) is not: it lives under /tmp.
server_dir=$(mktemp -d "${TMPDIR:-/tmp}/vardof-fbserver.XXXXXX")
# A port nobody listens on: a busy one would send the tests to another server.
port=${VARDOF_TEST_FB_PORT:-}
if [ -z "$port" ]; then
    for _ in $(seq 1 50); do
        port=$((3051 + RANDOM % 900))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2> /dev/null || break
    done
fi
password="t$(date +%s%N | sha256sum | cut -c1-7)"
stop_server() {
    "$root/scripts/fbserver.sh" stop "$server_dir" || true
    rm -rf "$server_dir" 2> /dev/null || sudo rm -rf "$server_dir" 2> /dev/null || true
}
trap stop_server EXIT
"$root/scripts/fbserver.sh" start "$server_dir" "$port" "$password" > /dev/null

export VARDOF_TEST_FB_PORT=$port
export VARDOF_TEST_FB_PASSWORD=$password
export VARDOF_TEST_FB_DIR=$server_dir/data
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
