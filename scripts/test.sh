#!/usr/bin/env bash
# The test command: installs what is missing, builds, starts a private
# Firebird server on 127.0.0.1 for the server-labelled tests, runs every
# test with ctest, and stops the server whatever the outcome.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDOF_BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

# The server's folder must be reachable by the firebird user, which a
# checkout under a private home (mode 700) is not: it lives under /tmp.
server_dir=$(mktemp -d "${TMPDIR:-/tmp}/vardof-fbserver.XXXXXX")
port=${VARDOF_TEST_FB_PORT:-$((3051 + RANDOM % 900))}
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
