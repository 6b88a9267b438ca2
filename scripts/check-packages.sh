#!/usr/bin/env bash
# Every CMake package the build found under /usr must come from a Debian
# package that install-deps.sh names: otherwise a fresh machine cannot
# configure (a package's config may pull another, as Qt6Charts pulls
# Qt6OpenGL). Run after a configure; exits 1 naming what is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${VARDOF_BUILD_DIR:-$root/build}}
cache="$build/CMakeCache.txt"
[ -f "$cache" ] || { echo "manca $cache: configurare prima la build" >&2; exit 2; }

# The package names the install script lists, one a line.
named=$(sed -n '/^packages=(/,/^)/p' "$root/scripts/install-deps.sh" \
    | sed 's/#.*//; s/packages=(//; s/)//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)

missing=0
checked=0
while IFS= read -r dir; do
    [ -d "$dir" ] || continue
    config=$(find "$dir" -maxdepth 1 \( -name '*Config.cmake' -o -name '*-config.cmake' \) | head -n1)
    [ -n "$config" ] || continue
    owner=$(dpkg -S "$config" 2> /dev/null | head -n1 | cut -d: -f1) || true
    # dpkg names the file by its real path when the directory is a link.
    if [ -z "$owner" ]; then
        owner=$(dpkg -S "$(readlink -f "$config")" 2> /dev/null | head -n1 | cut -d: -f1) || true
    fi
    checked=$((checked + 1))
    if [ -z "$owner" ]; then
        echo "nessun pacchetto Debian possiede $config" >&2
        missing=1
    elif ! grep -qx "$owner" <<< "$named"; then
        echo "il pacchetto $owner (per $config) non è in scripts/install-deps.sh" >&2
        missing=1
    fi
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=/usr/' "$cache" | cut -d= -f2- | sort -u)

[ "$missing" = 0 ] || exit 1
echo "pacchetti CMake: $checked controllati, tutti installati da scripts/install-deps.sh"
