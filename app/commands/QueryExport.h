#pragma once

// vardof query CODICE --esporta FORMATO FILE [--utente N]
//
// Runs a stored query as its window would (its stored interrogation, the
// saved appearance with its order, shown columns, widths and digit
// grouping) and writes its answer with the writers of the export window.

#include <QString>

namespace vardof::app {

// FORMATO: csv, testo, xlsx, xls, tabella. Returns the exit code: 0 done,
// 1 refused or failed (the reason on standard error, no partial file left),
// 2 an unknown format.
int esportaQuery(int utente, int codice, const QString &formato, const QString &uscita);
// The same run, its answer printed to a PDF file.
int stampaQueryPdf(int utente, int codice, const QString &uscita);

} // namespace vardof::app
