# Sourced by the launcher's script tests: $1 is the vardof to try; a fresh
# host folder (removed on exit), the counters and the two checks.
set -u
vardof=$1
host=$(mktemp -d)
trap 'rm -rf "$host"' EXIT
passed=0
failed=0

check() { # description, expected, actual
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FALLITO: $1: atteso [$2], ottenuto [$3]"
    fi
}
contains() { # description, needle, haystack
    if grep -qF -- "$2" <<< "$3"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FALLITO: $1: manca [$2] in:"
        echo "$3"
    fi
}
