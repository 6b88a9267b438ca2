#!/usr/bin/env bash
# vardof from the command line on a fresh demo host: exit codes and the
# lines a user reads. Usage: cli.sh PATH/TO/vardof
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

out=$("$vardof" --list)
check "--list names the thirteen exports" 13 "$(wc -l <<< "$out")"
contains "--list" ShowVardoQueryGenericaFormX "$out"

"$vardof" nonsense > /dev/null 2>&1
check "unknown command" 2 $?

out=$("$vardof" --host "$host" demo --rows 40)
check "demo" 0 $?
contains "demo" "Ambiente dimostrativo pronto" "$out"
out=$("$vardof" --host "$host" demo)
contains "demo kept when present" "già presente" "$out"

# An entry needs a screen: without one the launcher says how to get one.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vardof" --host "$host" ShowRicalcolaIndiciFormX 1 2>&1)
check "entry without a screen" 1 $?
contains "entry without a screen" "xvfb-run" "$out"

# The library makes its own application object when the host has none: an
# entry whose window is not built yet returns at once (offscreen).
QT_QPA_PLATFORM=offscreen "$vardof" --host "$host" ShowQueryClass1FormX 1 > /dev/null 2>&1
check "entry in a process with no application object" 0 $?

# A supplier's fixed-length list converted, then imported into LISTINI.
work="$host/lavoro"
for i in $(seq 1 200); do
    printf '%-15s%12s%10s\r\n' "ART$(printf %06d "$i")" "$((i % 97)),$((i % 10))0" "01/02/2025"
done > "$work/fornitore.prn"
printf '[LUNGHEZZAFISSA]\r\n1;CODICELISTINO;Costante;'"'"'FORN'"'"';A;\r\n2;CODICEARTICOLO;1;15;A;\r\n3;PREZZO;16;12;N;\r\n4;DATAINIZIO;28;10;D;\r\n' > "$work/fornitore.conf"
out=$("$vardof" --host "$host" convert "$work/fornitore.prn" "$work/fornitore.dat" 2>&1)
check "convert" 0 $?
contains "convert" "Non sono state rilevate anomalie" "$out"
check "converted lines" 200 "$(wc -l < "$work/fornitore.dat")"
check "first converted line" "FORN;ART000001;1,10;01/02/2025;" "$(head -n 1 "$work/fornitore.dat" | tr -d '\r')"

"$vardof" --host "$host" convert "$work/manca.prn" > /dev/null 2>&1
check "convert without a definition" 1 $?
"$vardof" --host "$host" convert > /dev/null 2>&1
check "convert without a source" 2 $?

"$vardof" --host "$host" import "$work/fornitore.dat" > /dev/null 2>&1
check "import without a script" 1 $?
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n' > "$work/fornitore.txt"
out=$("$vardof" --host "$host" import "$work/fornitore.dat" 2>/dev/null)
check "import" 0 $?
contains "import adds" "Record aggiunti: 200" "$out"
out=$("$vardof" --host "$host" import "$work/fornitore.dat" 2>/dev/null)
contains "import again updates" "Record aggiornati: 200" "$out"
"$vardof" --host "$host" import "$work/fornitore.dat" --utente x > /dev/null 2>&1
check "import with a bad user" 2 $?

out=$("$vardof" --host "$host" sync 2>&1)
check "sync with nothing stored" 0 $?
out=$("$vardof" --host "$host" pulisci-tmp 2>&1)
check "pulisci-tmp" 0 $?
"$vardof" --host "$host" aggiorna > /dev/null 2>&1
check "aggiorna without a code" 2 $?

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
