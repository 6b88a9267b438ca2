#!/usr/bin/env bash
# vardof from the command line on a fresh demo host: exit codes and the
# lines a user reads. Usage: cli.sh PATH/TO/vardof
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

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

# The examples the demo leaves in lavoro/, one command each as the README says.
out=$("$vardof" --host "$host" import "$host/lavoro/listino_fornitore.csv" --salta-prima-riga 2>/dev/null)
check "demo price list import" 0 $?
contains "demo price list import" "Record aggiunti: 40" "$out"
out=$("$vardof" --host "$host" convert "$host/lavoro/fornitore.prn" 2>&1)
check "demo fixed-length conversion" 0 $?
out=$("$vardof" --host "$host" import "$host/lavoro/fornitore.dat" 2>/dev/null)
check "demo converted file import" 0 $?
contains "demo converted file import" "Record aggiornati: 40" "$out"
out=$("$vardof" --host "$host" aggiorna 1 2>/dev/null)
check "demo update script" 0 $?
contains "demo update script" "Record aggiunti: 40" "$out"
out=$("$vardof" --host "$host" sync 2>/dev/null)
check "demo synchronisation" 0 $?
contains "demo synchronisation" "record copiati 40" "$out"
out=$("$vardof" --host "$host" sync 2>/dev/null)
contains "demo synchronisation again" "record copiati 0" "$out"

# An entry needs a screen: without one the launcher says how to get one.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vardof" --host "$host" ShowRicalcolaIndiciFormX 1 2>&1)
check "entry without a screen" 1 $?
contains "entry without a screen" "xvfb-run" "$out"

# The library makes its own application object when the host has none: the
# classifications window opens offscreen, and SIGTERM closes it like any
# window.
QT_QPA_PLATFORM=offscreen "$vardof" --host "$host" ShowQueryClass1FormX 1 > /dev/null 2>&1 &
pid=$!
sleep 2
kill -TERM "$pid"
wait "$pid"
check "entry in a process with no application object" 143 $?

# A supplier's fixed-length list converted, then imported into LISTINI.
work="$host/lavoro"
for i in $(seq 1 200); do
    printf '%-15s%12s%10s\r\n' "ART$(printf %06d "$i")" "$((i % 97)),$((i % 10))0" "01/02/2025"
done > "$work/prova.prn"
printf '[LUNGHEZZAFISSA]\r\n1;CODICELISTINO;Costante;'"'"'PROV'"'"';A;\r\n2;CODICEARTICOLO;1;15;A;\r\n3;PREZZO;16;12;N;\r\n4;DATAINIZIO;28;10;D;\r\n' > "$work/prova.conf"
out=$("$vardof" --host "$host" convert "$work/prova.prn" "$work/prova.dat" 2>&1)
check "convert" 0 $?
contains "convert" "Non sono state rilevate anomalie" "$out"
check "converted lines" 200 "$(wc -l < "$work/prova.dat")"
check "first converted line" "PROV;ART000001;1,10;01/02/2025;" "$(head -n 1 "$work/prova.dat" | tr -d '\r')"

"$vardof" --host "$host" convert "$work/manca.prn" > /dev/null 2>&1
check "convert without a definition" 1 $?
"$vardof" --host "$host" convert > /dev/null 2>&1
check "convert without a source" 2 $?

"$vardof" --host "$host" import "$work/prova.dat" > /dev/null 2>&1
check "import without a script" 1 $?
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n' > "$work/prova.txt"
out=$("$vardof" --host "$host" import "$work/prova.dat" 2>/dev/null)
check "import" 0 $?
contains "import adds" "Record aggiunti: 200" "$out"
out=$("$vardof" --host "$host" import "$work/prova.dat" 2>/dev/null)
contains "import again updates" "Record aggiornati: 200" "$out"
"$vardof" --host "$host" import "$work/prova.dat" --utente x > /dev/null 2>&1
check "import with a bad user" 2 $?

out=$("$vardof" --host "$host" sync 2>&1)
check "sync with nothing stored" 0 $?
out=$("$vardof" --host "$host" pulisci-tmp 2>&1)
check "pulisci-tmp" 0 $?
"$vardof" --host "$host" aggiorna > /dev/null 2>&1
check "aggiorna without a code" 2 $?

# Bad input to import: a picture, a script with a NUL byte, failed rows,
# the failed-line limit and the rejects file.
printf '\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00' > "$work/foto.png"
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\n' > "$work/foto.txt"
out=$("$vardof" --host "$host" import "$work/foto.png" 2>&1)
check "import of a picture" 1 $?
contains "import of a picture" "non è un file di testo" "$out"
printf 'X;Y;1;01/01/2026\r\n' > "$work/nul.csv"
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIORNAPERS=CODICELISTINO\x00\r\n' > "$work/nul.txt"
out=$(timeout 20 "$vardof" --host "$host" import "$work/nul.csv" 2>&1)
check "script with a NUL byte" 1 $?
contains "script with a NUL byte" "Irregolarità nello script" "$out"
# Every row fails: a price that does not fit NUMERIC(15,2).
printf 'ERR;E1;1,00;01/01/2026\r\nERR;E2;99999999999999999999,00;01/01/2026\r\nERR;E3;2,00;01/01/2026\r\n' > "$work/errati.csv"
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=NO\r\n' > "$work/errati.txt"
out=$("$vardof" --host "$host" import "$work/errati.csv" --scarti "$work/scarti.csv" 2>/dev/null)
check "import with a failed row" 1 $?
contains "import with a failed row" "Record falliti: 1" "$out"
check "rejects file holds the failed line" "ERR;E2;99999999999999999999,00;01/01/2026" "$(tr -d '\r' < "$work/scarti.csv")"
contains "rejects log names the line" "2" "$(cat "$work/scarti.csv.log")"
printf 'LIM;L1;1,00;01/01/2026\r\nLIM;L2;99999999999999999999,00;01/01/2026\r\nLIM;L3;2,00;01/01/2026\r\n' > "$work/limite.csv"
cp "$work/errati.txt" "$work/limite.txt"
"$vardof" --host "$host" import "$work/limite.csv" --max-errori 0 > /dev/null 2>&1
check "failed-line limit" 1 $?
out=$("$vardof" --host "$host" import "$work/limite.csv" --max-errori 5 2>/dev/null)
contains "nothing kept past the limit" "Record aggiunti: 2" "$out"
"$vardof" --host "$host" import "$work/limite.csv" --max-errori > /dev/null 2>&1
check "failed-line limit without a number" 2 $?

# Ctrl+C during an import: the run stops at the next row along its own
# interruption path (nothing of it committed), exit 130; no line per
# remaining row about a shut connection.
awk 'BEGIN { for (i = 1; i <= 300000; i++) printf "GR;S%07d;%d,%02d;01/03/2026\r\n", i, i % 500, i % 100 }' \
    > "$work/grande.csv"
printf '[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n' > "$work/grande.txt"
"$vardof" --host "$host" import "$work/grande.csv" > "$host/interrotto.out" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
    grep -q "Inizio acquisizione" "$host/interrotto.out" && break
    sleep 0.1
done
sleep 0.5
kill -INT "$pid"
wait "$pid"
check "import interrupted by Ctrl+C" 130 $?
out=$(cat "$host/interrotto.out")
check "no line per row after Ctrl+C" 0 "$(grep -c 'connection shutdown' <<< "$out")"
out=$("$vardof" --host "$host" import "$work/grande.csv" 2>/dev/null)
contains "nothing kept of the interrupted run" "Record aggiunti: 300.000" "$out"

# SIGTERM closes a window process; a second signal is not needed.
QT_QPA_PLATFORM=offscreen "$vardof" --host "$host" ShowConversioniFormX 1 > /dev/null 2>&1 &
pid=$!
sleep 2
kill -TERM "$pid"
for _ in $(seq 1 50); do
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then
    kill -KILL "$pid"
    check "window process closes on SIGTERM" closed "still running"
fi
wait "$pid"
check "window process exit status after SIGTERM" 143 $?

# Stored queries: the demo's list, the statement one runs, a definition file
# read into the registry (its new code last), and what is refused.
out=$("$vardof" --host "$host" query --elenco 2>&1)
check "query list of the demo" 0 $?
check "query list: one line per stored query" 3 "$(wc -l <<< "$out")"
contains "query list starts with the code" "$(printf '2\tOrdini del primo semestre 2024\tORDINI\tVendite\tSemestrali')" "$out"
out=$("$vardof" --host "$host" query 2 --sql 2>&1)
check "query statement" 0 $?
contains "query statement: dates turned around, quotes as composed" "((XX.DATAORDINE BETWEEN '01/01/2024' AND '06/30/2024'))" "$out"
contains "query statement: the saved order" "ORDER BY" "$out"
check "query statement starts with SELECT" SELECT "$(head -1 <<< "$out")"
definizione=$host/lavoro/roma.txt
printf 'Definizione query.\r\nFile generato il 01/02/2024 alle 10:00:00\r\n\r\n<TESTAFILE>\r\n\r\n<TESTAQUERY>\r\n<query=9;Clienti di Roma;CLIENTI;;Anagrafiche;;roma.csv;>\r\n\r\n<TESTAPASSO>\r\n\r\n<TESTATABELLA>\r\n<tabdb=CLIENTI;;11;0;0;0;0;0;>\r\n<FINETABELLA>\r\n\r\n<TESTAINTERROGAZIONE>\r\n<campo=0;9;1;CODICE;1;>\r\n\r\n<campo=0;9;2;CITTA;1;>\r\nROMA\r\n<campo=0;9;3;PROVINCIA;0;>\r\n(PROVINCIA = '"'"'RM'"'"')\r\n<FINEINTERROGAZIONE>\r\n\r\n<TESTAASPETTO>\r\n<campo=0;9;0;CODICE;8;1;0;0;>\r\n<campo=0;9;1;CITTA;20;1;1;100;>\r\n<FINEASPETTO>\r\n\r\n<FINEPASSO>\r\n\r\n<FINEQUERY>\r\n\r\n<FINEFILE>\r\n' > "$definizione"
out=$("$vardof" --host "$host" query --importa "$definizione" 2>&1)
check "query import" 0 $?
check "query import: the new code last" 4 "$(tail -1 <<< "$out")"
out=$("$vardof" --host "$host" query 4 --sql 2>&1)
check "imported query statement" 0 $?
contains "imported query: plain search" "LIKE UPPER('%ROMA%')" "$out"
contains "imported query: raw condition kept, quotes not doubled" "(XX.PROVINCIA = 'RM')" "$out"
head -c 400 "$definizione" > "$host/lavoro/troncato.txt"
out=$("$vardof" --host "$host" query --importa "$host/lavoro/troncato.txt" 2>&1)
check "truncated definition refused" 1 $?
contains "truncated definition message" "File di importazione query non completo." "$out"
out=$("$vardof" --host "$host" query --elenco 2>&1)
check "nothing stored of the truncated definition" 4 "$(wc -l <<< "$out")"
sed 's/^ROMA\r$/(CITTA ==)\r/' "$definizione" > "$host/lavoro/sbagliata.txt"
"$vardof" --host "$host" query --importa "$host/lavoro/sbagliata.txt" > /dev/null 2>&1
check "a definition with a bad condition is read" 0 $?
out=$("$vardof" --host "$host" query 5 --sql 2>&1)
check "a bad statement" 1 $?
contains "a bad statement: the message" "Si prega di verificare la sintassi delle condizioni o dei collegamenti" "$out"
out=$("$vardof" --host "$host" query 99 --sql 2>&1)
check "a missing query" 1 $?
contains "a missing query: the message" "99 non trovata" "$out"
"$vardof" --host "$host" query --importa "$host/lavoro/manca.txt" > /dev/null 2>&1
check "a missing definition file" 1 $?
for usage in "" "--sql" "1 --sql --elenco" "uno --sql" "--importa" "1 --esporta csv" "--elenco 3"; do
    # shellcheck disable=SC2086
    "$vardof" --host "$host" query $usage > /dev/null 2>&1
    check "query usage [$usage]" 2 $?
done

# The print of a stored query to PDF, without a screen: a real PDF with its
# pages, nothing on standard error; refusals exit 1 with the reason and
# leave no file; bad usage exits 2.
stampe=$host/stampe
mkdir -p "$stampe"
err=$(cd "$stampe" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR \
    "$vardof" --host "$host" query 2 --stampa pdf "$stampe/ordini.pdf" 2>&1 > /dev/null)
check "query print" 0 $?
check "query print: nothing on standard error" "" "$err"
check "query print: a PDF file" "%PDF" "$(head -c 4 "$stampe/ordini.pdf")"
pagine=$(pdfinfo "$stampe/ordini.pdf" 2> /dev/null | awk '/^Pages:/ { print $2 }')
check "query print: pages in the PDF" yes "$([ "${pagine:-0}" -gt 0 ] && echo yes || echo no)"
check "query print: nothing else left" "ordini.pdf" "$(ls -A "$stampe")"
out=$("$vardof" --host "$host" query 2 --stampa PDF "$stampe/maiuscolo.pdf" 2>&1)
check "query print, format in capitals" 0 $?
rm -f "$stampe/maiuscolo.pdf"
out=$("$vardof" --host "$host" query 99 --stampa pdf "$stampe/manca.pdf" 2>&1)
check "query print of a missing query" 1 $?
contains "query print of a missing query: the message" "99 non trovata" "$out"
out=$("$vardof" --host "$host" query 2 --stampa pdf "$stampe/cartella/manca.pdf" 2>&1)
check "query print into a missing folder" 1 $?
contains "query print into a missing folder: Italian lead-in" "Stampa non eseguita:" "$out"
contains "query print into a missing folder: the system's reason" "No such file or directory" "$out"
out=$("$vardof" --host "$host" query 2 --stampa pdf "$stampe" 2>&1)
check "query print onto a folder" 1 $?
contains "query print onto a folder: the reason" "directory" "$out"
check "refused prints leave no file" "ordini.pdf" "$(ls -A "$stampe")"
out=$("$vardof" --host "$host" query 2 --stampa doc "$stampe/x.pdf" 2>&1)
check "query print in an unknown format" 2 $?
contains "query print in an unknown format: the message" "Formato di stampa \"doc\" sconosciuto: usare PDF" "$out"
for usage in "2 --stampa" "2 --stampa pdf" "--stampa pdf $stampe/x.pdf" "uno --stampa pdf $stampe/x.pdf" \
    "2 --stampa pdf $stampe/x.pdf --sql"; do
    # shellcheck disable=SC2086
    "$vardof" --host "$host" query $usage > /dev/null 2>&1
    check "query print usage [$usage]" 2 $?
done
check "bad usage leaves no file" "ordini.pdf" "$(ls -A "$stampe")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
