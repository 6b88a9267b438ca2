#!/usr/bin/env bash
# The main job: installs what is missing, builds, makes the demo host
# environment when missing and opens "Query Generica" for user 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDOF_BUILD_DIR:-$root/build}
host=${VARDOF_HOST_DIR:-$build/demo}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

"$build/bin/vardof" --host "$host" demo
exec "$build/bin/vardof" --host "$host" ShowVardoQueryGenericaFormX 1
