#pragma once

// Turning interrogation rows into the lines of one SELECT statement. Pure
// text work: no database, so every rule can be tried on its own. The
// engine (TIBFQuerForm) feeds it the rows of one block and a way to learn
// the type class of a column.

#include "qbe/Interrogazione.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardof::qbe {

// The computed column a condition asks for with CALC: the text after the
// first "CALC" (any case; at most 255 characters) up to, not including, the
// parenthesis that closes the one CALC was written in. Empty when the
// condition has no CALC. "(CALC (PREZZO*QTA) AS TOTALE)" -> " (PREZZO*QTA) AS TOTALE".
QString EstraiCalc(const QString &condizione);
// The whole condition in upper case when it contains EXTRACT, else empty.
QString EstraiExtract(const QString &condizione);
// Whether a computed column holds an aggregate (SUM, COUNT, MIN, MAX, AVG).
bool TestGroupBy(const QString &testo);
// Dates typed 'gg/mm/aaaa' (also d/m, yy) inside quotes become 'mm/gg/aaaa',
// wherever they stand in the condition.
QString ConvertiDateCondizione(const QString &condizione);
// The alias prefix after `precedente` ("A." -> "B."); "A." when empty or
// when it is not a letter and a point.
QString IncrementaIdentificatore(const QString &precedente);

// A value written into an SQL literal: its single quotes doubled.
QString raddoppiaApici(const QString &testo);

// A raw condition with the row's column qualified by the source alias: the
// whole-word occurrences of `nome` outside string literals and not already
// qualified become XX.nome. Conditions that mention a qualified name
// (they contain ".") are left alone.
QString qualificaCondizione(const QString &condizione, const QString &nome);

// A column as the catalogue names it, written for a statement: a plain
// upper-case name as it stands ("CODICE"), any other quoted so the server
// takes exactly its characters ("codice" -> "\"codice\""). A name already
// in double quotes stays as written.
QString nomeColonnaSql(const QString &colonna);

// The name a row's column has in the statement: the alias of an added
// table kept ("A.DESCR", "A.\"descr\""), "XX." in front otherwise; the
// column part as nomeColonnaSql() writes it.
QString nomeQualificato(const QString &nome);

// The contains search a plain condition becomes, without the outer
// parentheses of the WHERE line.
QString ricercaContiene(const QString &nome, const QString &testo, TipoCampo tipo);

struct BloccoComposto
{
    QStringList righe;          // the statement, line by line
    int colonneContate = 0;     // plain and EXTRACT columns in the SELECT list
    bool groupBy = false;       // a GROUP BY was written
    bool sommaProg = false;     // a SOMMAPROG column: running sum (SUM ... OVER)
    bool interoQmt = false;     // an INTEROQMT column: integer part (TRUNC)
    bool sumNoGroup = false;    // a SUMNOGROUP column: the sum over the whole selection
    bool ordinata = false;      // the running sum's order columns ended it with ORDER BY
};

using TipoDiCampo = std::function<TipoCampo(const QString &nome)>;

// Composes the SELECT of `righe` (the rows of one block, in order) over the
// table `tabellaSorgente` (aliased XX). `tipo` tells the class of a row's
// column (only blob or not matters here).
//
// The procedural functions of the formula list are written as the server's
// own SQL, so the answer stays one statement: SOMMAPROG(c, o1, .., oN) AS n
// becomes SUM(c) OVER (ORDER BY o1, .., oN, XX.RDB$DB_KEY) AS n and, with
// order columns, the block ends with ORDER BY o1, .., oN; INTEROQMT(c)
// becomes TRUNC(c); SUMNOGROUP(e) becomes a sub-select of SUM(e) over the
// block's own FROM and WHERE. None of them asks for a GROUP BY.
BloccoComposto ComponiBlocco(const std::vector<RigaInt> &righe, const QString &tabellaSorgente,
                             const TipoDiCampo &tipo);

// The answer's text without ORDER BY: from the second line on, the first
// line containing "ORDER BY" (any case) and every line after it are dropped.
QStringList senzaOrderBy(const QStringList &righe);

} // namespace vardof::qbe
