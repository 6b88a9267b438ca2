#!/usr/bin/env bash
# Configures and builds VardoF in build/ (or $VARDOF_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDOF_BUILD_DIR:-$root/build}
generator=()
command -v ninja > /dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j "$(nproc)"
