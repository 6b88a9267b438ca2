#!/usr/bin/env bash
# Installs the Debian packages VardoF needs, only those missing. Runs as
# root (or through sudo). Non-interactive: the Firebird server package is
# preseeded so apt never asks for the SYSDBA password.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    firebird3.0-server firebird3.0-utils firebird-dev libfbclient2
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev
    qt6-translations-l10n
    libsqlite3-dev
    libxlsxwriter-dev
    libreoffice-calc-nogui
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth openbox xdotool fonts-dejavu-core poppler-utils gawk
    # llvm brings llvm-symbolizer: without it the sanitizers' stacks stay
    # unnamed and the leak suppressions (by function) match nothing.
    clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installo: ${missing[*]}"
echo "firebird3.0-server shared/firebird/sysdba_password/first_install password masterkey" | $SUDO debconf-set-selections
echo "firebird3.0-server shared/firebird/enabled boolean false" | $SUDO debconf-set-selections 2> /dev/null || true
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" > /tmp/vardof-apt.log 2>&1 || {
    tail -n 30 /tmp/vardof-apt.log >&2
    exit 1
}
