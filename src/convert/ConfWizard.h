#pragma once

// What the definition wizard works on, without its window: the source's
// field names, the layout rows built from a table of the work database, and
// the definition lines composed from them. The wizard composes delimited
// definitions only. Database failures come out as db::Error.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::db {
class Attachment;
class Transaction;
struct Column;
}

namespace vardof::convert {

inline QString noOrigine() { return QStringLiteral("No origine"); }

// A row of TabOrigine.
struct SourceField
{
    QString N;       // "0" for "No origine", then "1", "2", ...
    QString Origine;
    bool Usato = false;
};

// A row of TabTracciato: one destination field.
struct LayoutRow
{
    int N = 0;
    QString Destinazione;
    QString Tipo;                 // "A", "D" or "N"
    QString Origine = noOrigine();
    bool NoBlankIni = false;
    std::optional<int> IntervalloInizio;
    std::optional<int> IntervalloFine;
    bool PrimaParolaIntera = false;
    bool UltimaParolaIntera = false;
    QString Costante;
    int Dimensione = -1;          // characters of a type-A column; 0 unbounded

    // A range and its options apply only to an alphanumeric field that
    // comes from the source.
    bool isRanged() const { return Tipo == QLatin1String("A") && Origine != noOrigine(); }
    bool hasConstant() const { return !Costante.isEmpty(); }
    // Bounds of the range editors (0 is always allowed and clears).
    int startMaximum() const;
    int lengthMaximum() const;
};

// A row of TabTabella.
struct TableColumnRow
{
    QString Campo;
    QString Tipo; // "INTEGER", "DECIMAL(18,2)", "VARCHAR(40)", ...
};

// Names from the source's first line: every ";" ends one, text after the
// last ";" is one more. With headings they are the texts found, trimmed;
// otherwise "Colonna 01", "Colonna 02", ...
QStringList sourceFieldNamesFromLine(const QString &firstLine, bool headings);
// Empty for an empty or unreadable file, and for a first line longer than
// the engines read (kLongestSourceLine): they would skip it as an anomaly,
// and it is never held in memory here either.
QStringList sourceFieldNames(const QString &sourcePath, bool headings);
// Row "0" "No origine" first, then one row per name.
std::vector<SourceField> sourceFields(const QStringList &names);

// The user tables and views of the work database, for ComboTabella.
QStringList tableNames(db::Attachment &att, db::Transaction &tra);

// A layout row and a table-column row for result column `n` (from 1).
void describeColumn(int n, const db::Column &column, LayoutRow *row, TableColumnRow *tableRow);
// The columns of `table`, in order, read from the description of
// "SELECT FIRST 1 * FROM table".
void loadTableLayout(db::Attachment &att, db::Transaction &tra, const QString &table,
                     std::vector<LayoutRow> *layout, std::vector<TableColumnRow> *columns);

// Why the layout cannot be written as a definition, or empty when it can:
// a definition line is split at every ";" and ends at a line break, so a
// column name holding one would shift the values after it. (A constant is
// the user's own text and is written as typed, to be corrected in the
// definition file that opens next.)
QString definitionProblem(const std::vector<LayoutRow> &layout);

// "[CSV]" followed by one definition line per layout row.
QStringList composeDefinition(const std::vector<LayoutRow> &layout,
                              const std::vector<SourceField> &sources);

} // namespace vardof::convert
