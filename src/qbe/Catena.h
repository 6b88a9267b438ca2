#pragma once

// The rules of a chain of queries that work on the rows of the interrogation
// alone: the markers that link a query to the one before and after it, the
// rows a new following query starts with, and whether a changed query still
// suits the query that follows it. No database here; the window and the
// engine read and write STOINT and the answer tables around these rules.

#include "qbe/Interrogazione.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::qbe {

// Codice1 of every chained query stored in STOINT.
inline constexpr int kCodice1Catena = 2000; // as storedqueries::kCodice1Catena

// A chained-query number as a marker stores it: plain decimal digits, never
// an exponent, whatever its size.
QString testoNumeroCatena(double numero);
// Reads a marker's number back; nullopt when the text is not a whole number.
std::optional<double> leggiNumeroCatena(const QString &testo);

// The "QUERY SUCCESSIVA" marker, looked for from the last row backwards;
// -1 when the query has no following query.
int indiceSuccessiva(const TabIntTmp &tab);
// The number of the following query; nullopt without a marker or when the
// marker's number cannot be read.
std::optional<double> numeroSuccessiva(const TabIntTmp &tab);
// Appends the marker with the number of the new following query.
void aggiungiMarcatoreSuccessiva(TabIntTmp &tab, double numero);
// The number held by the first row when it is a code 4 marker (the code of
// the query before this one); nullopt otherwise.
std::optional<double> numeroPrecedente(const TabIntTmp &tab);
// Whether the last row is a code 4 marker: the query has a following one
// and so is not the last link of its chain.
bool ultimaRigaMarcatore(const TabIntTmp &tab);
// Removes the last row when it is a code 4 marker; returns whether it did.
bool togliUltimoMarcatore(TabIntTmp &tab);

// The rows of a new following query: its "QUERY PRECEDENTE" marker holding
// `codicePrecedente`, then one shown row per column of the answer it reads,
// Numero from 2.
std::vector<RigaInt> righeNuovaSuccessiva(double codicePrecedente, const QStringList &colonne);

// How the columns of a new answer meet the rows of the query that follows.
struct ConfrontoSuccessiva
{
    QStringList perse;       // column rows of the following query missing from the answer
    bool perditaGrave = false; // a lost column was shown or is named by a raw condition
    QStringList nuove;       // answer columns the following query has no row for

    bool adatta() const { return perse.isEmpty() && nuove.isEmpty(); }
};

// Compares the rows of the following query (up to its first left-join
// header) with the columns of the new answer. Every lost column is weighed,
// not only the first, so that a shown column further down is never dropped
// without the user knowing.
ConfrontoSuccessiva confrontaSuccessiva(const std::vector<RigaInt> &successiva, const QStringList &colonne);

// The following query rewritten for the new columns: its former first row
// when that was a code 4 marker; one row per new column with the former
// Mostra and Condizione of the row of the same name (hidden and without
// condition when there was none); then its added tables from their first
// header to the end, or, without added tables, the rows that followed its
// last column row. Numbered 1, 2, 3 ...
std::vector<RigaInt> adattaSuccessiva(const std::vector<RigaInt> &successiva, const QStringList &colonne);

} // namespace vardof::qbe
