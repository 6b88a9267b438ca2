#!/usr/bin/env bash
# vardof query CODICE --esporta on a fresh demo host: each format writes its
# file (read back and checked), failures exit 1 with the reason and leave
# no file, bad usage exits 2. Usage: query_esporta.sh PATH/TO/vardof
source "$(dirname "${BASH_SOURCE[0]}")/../app/checks.sh"

"$vardof" --host "$host" demo > /dev/null || { echo "demo fallita"; exit 1; }
out="$host/out"
mkdir -p "$out"

# ---- each format: exit code and the file ------------------------------------------
# format | file | exit
cases=(
    "csv|$out/clienti.csv|0"
    "testo|$out/clienti.txt|0"
    "xlsx|$out/clienti.xlsx|0"
    "tabella|TMP_CLIENTI_CLI|0"
)
if command -v soffice > /dev/null; then
    cases+=("xls|$out/clienti.xls|0")
fi
for c in "${cases[@]}"; do
    IFS='|' read -r formato file atteso <<< "$c"
    err=$("$vardof" --host "$host" query 1 --esporta "$formato" "$file" 2>&1 > /dev/null)
    check "esporta $formato: uscita" "$atteso" $?
    check "esporta $formato: nessun messaggio" "" "$err"
done

# The CSV: one line per row with CR LF, ";" between the five shown columns,
# no header, numbers with the decimal comma and no grouping, CP1252.
csv="$out/clienti.csv"
righe=$(wc -l < "$csv")
check "csv: tutte le righe finiscono con CR LF" "$righe" "$(grep -c $'\r$' "$csv")"
check "csv: cinque campi per riga" "0" "$(awk -F';' 'NF != 5' "$csv" | wc -l)"
check "csv: nessuna intestazione" "0" "$(grep -c '^CODICE;' "$csv")"
contains "csv: importi con la virgola, senza punti" "42300,00" "$(cat "$csv")"
check "csv: nessun importo raggruppato" "0" "$(grep -cE ';[ ]+[0-9]|[0-9]\.[0-9]{3},' "$csv")"
# The text export: the same rows under a header, grouped as the query shows them.
testo="$out/clienti.txt"
check "testo: intestazione e righe" "$((righe + 1))" "$(wc -l < "$testo")"
contains "testo: intestazione" "CODICE;RAGIONESOCIALE;CITTA;PROVINCIA;FIDO" "$(head -1 "$testo")"
contains "testo: importi raggruppati" "42.300,00" "$(cat "$testo")"
# The order the stored query keeps (city, then name) is the file's order.
check "csv: ordine della query" "$(cut -d';' -f3,2 "$csv" | awk -F';' '{print $2";"$1}' | LC_ALL=C sort -t';' -k1,1 -k2,2 -s | md5sum)" \
    "$(cut -d';' -f3,2 "$csv" | awk -F';' '{print $2";"$1}' | md5sum)"

# The XLSX read back by LibreOffice gives the CSV's rows under a header.
if command -v soffice > /dev/null; then
    back="$host/back"
    soffice -env:UserInstallation=file://"$host"/lo --headless --convert-to \
        "csv:Text - txt - csv (StarCalc):59,34,76,1,,1040,false,true,false" --outdir "$back" "$out/clienti.xlsx" > /dev/null 2>&1
    check "xlsx: righe lette" "$((righe + 1))" "$(wc -l < "$back/clienti.csv")"
    check "xlsx: prima riga di dati" "$(head -1 "$csv" | tr -d '\r' | iconv -f CP1252 -t UTF-8 | cut -d';' -f1-4)" \
        "$(sed -n 2p "$back/clienti.csv" | tr -d '\r' | cut -d';' -f1-4)"
    soffice -env:UserInstallation=file://"$host"/lo --headless --convert-to \
        "csv:Text - txt - csv (StarCalc):59,34,76,1,,1040,false,true,false" --outdir "$back/xls" "$out/clienti.xls" > /dev/null 2>&1
    check "xls: righe lette" "$((righe + 1))" "$(wc -l < "$back/xls/clienti.csv")"
fi

# ---- what fails, and leaves nothing behind ----------------------------------------
# description | arguments | exit | message
errors=(
    "formato sconosciuto|1 --esporta pdf $out/x.pdf|2|Formato \"pdf\" sconosciuto"
    "uso senza file|1 --esporta csv|2|uso: vardof query"
    "query inesistente|99 --esporta csv $out/x.csv|1|Query n° 99 non trovata"
    "cartella inesistente|1 --esporta csv $host/manca/x.csv|1|Impossibile scrivere il file"
    "tabella esistente non TMP|1 --esporta tabella CLIENTI|1|La tabella esiste già: impossibile procedere."
    "tabella TMP non sovrascritta senza consenso|1 --esporta tabella TMP_CLIENTI_CLI|1|procedo con sovrascrittura?"
)
for e in "${errors[@]}"; do
    IFS='|' read -r descr argomenti atteso messaggio <<< "$e"
    # shellcheck disable=SC2086
    err=$("$vardof" --host "$host" query $argomenti 2>&1 > /dev/null)
    check "$descr: uscita" "$atteso" $?
    contains "$descr: messaggio" "$messaggio" "$err"
done
check "nessun file lasciato dai fallimenti" "" "$(ls "$out" | grep -v '^clienti\.' )"
check "nessun file nella cartella mancante" "no" "$( [ -e "$host/manca" ] && echo si || echo no)"

echo "query --esporta: $passed controlli superati, $failed falliti"
[ "$failed" -eq 0 ]
