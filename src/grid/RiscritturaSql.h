#pragma once

// Where a condition and an ORDER BY go in a statement text that the owner
// of a grid wrote. The grid adds its search condition and its sort to the
// owner's statement; appending them at the end is only right for the plain
// SELECT ... FROM ... [WHERE ...]. Here the text is read at its top level
// (strings, quoted names, comments and parentheses skipped):
// - the condition joins the last SELECT's WHERE with AND, or opens one,
//   before its GROUP BY / HAVING / PLAN / ORDER BY / ROWS;
// - a new ORDER BY replaces the statement's own one (two would be refused);
// - a UNION is questioned as a whole: it becomes the derived table of a
//   SELECT * and the condition and order apply to that.
// Plain functions over text; nothing is checked with the server.

#include <QString>
#include <QStringList>

namespace vardof::grid {

struct AnalisiSql
{
    bool unione = false;     // a UNION at the top level
    bool where = false;      // the last SELECT has its own WHERE
    int coda = 0;            // where GROUP BY / HAVING / PLAN / ORDER BY / ROWS ... begin (or the length)
    int orderBy = -1;        // start of the top-level ORDER BY, -1 when none
    int fineOrderBy = -1;    // where it ends
    int dopoOrdine = 0;      // where ROWS / FETCH / OFFSET / FOR UPDATE / WITH LOCK begin (or the length)
};

AnalisiSql analizzaSql(const QString &sql);

// "AND" when the statement's last SELECT has a WHERE of its own, else "WHERE".
QString connettore(const QString &sql);

// `corpo` is a condition whose first line begins with "(" (the connector is
// written directly before it); an empty body leaves the text alone.
QString conCondizione(const QString &sql, const QStringList &corpo);

// `righe` are ORDER BY lines ("ORDER BY X DESC", ",Y"); empty leaves the
// statement's own order in force.
QString conOrdine(const QString &sql, const QStringList &righe);

// "SELECT * FROM (" union ") RISULTATO", its own ORDER BY (and ROWS ...)
// moved after it so that the answer keeps that order.
QString incapsulaUnione(const QString &sql);

} // namespace vardof::grid
