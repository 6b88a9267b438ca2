#include "convert/ConfWizard.h"

#include "convert/FileConverter.h"

#include "db/Catalog.h"
#include "db/Column.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "core/Cp1252.h"

#include <QFile>
#include <QRegularExpression>

#include <limits>

namespace vardof::convert {

namespace {

constexpr int unbounded = std::numeric_limits<short>::max();

bool breaksDefinitionLine(const QString &text)
{
    return text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

int LayoutRow::startMaximum() const
{
    return Dimensione > 0 ? Dimensione : unbounded;
}

int LayoutRow::lengthMaximum() const
{
    if (Dimensione <= 0)
        return unbounded;
    return std::max(0, Dimensione - IntervalloInizio.value_or(1) + 1);
}

QStringList sourceFieldNamesFromLine(const QString &firstLine, bool headings)
{
    QStringList found = firstLine.split(QLatin1Char(';'));
    if (found.last().isEmpty())
        found.removeLast();
    QStringList names;
    for (int i = 0; i < found.size(); ++i) {
        names << (headings ? found.at(i).trimmed()
                           : QStringLiteral("Colonna %1").arg(i + 1, 2, 10, QLatin1Char('0')));
    }
    return names;
}

QStringList sourceFieldNames(const QString &sourcePath, bool headings)
{
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Room for the longest line and its CR LF (readLine keeps one byte of
    // its limit for a terminating NUL), and not a byte more.
    QByteArray line = file.readLine(kLongestSourceLine + 3);
    if (!line.endsWith('\n') && !file.atEnd())
        return {};
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return sourceFieldNamesFromLine(core::fromCp1252(line), headings);
}

std::vector<SourceField> sourceFields(const QStringList &names)
{
    std::vector<SourceField> rows;
    rows.push_back({QStringLiteral("0"), noOrigine(), false});
    for (int i = 0; i < names.size(); ++i)
        rows.push_back({QString::number(i + 1), names.at(i), false});
    return rows;
}

QStringList tableNames(db::Attachment &, db::Transaction &tra)
{
    // The catalogue's own relations are those with a "$" (RDB$, MON$, ...).
    QStringList names;
    for (const QString &name : db::catalog::relations(tra))
        if (!name.contains(QLatin1Char('$')))
            names << name;
    return names;
}

void describeColumn(int n, const db::Column &column, LayoutRow *row, TableColumnRow *tableRow)
{
    row->N = n;
    row->Destinazione = column.alias.isEmpty() ? column.name : column.alias;
    tableRow->Campo = row->Destinazione;
    const bool integerBased = column.typeCode == db::TypeSmallint || column.typeCode == db::TypeInteger
                              || column.typeCode == db::TypeBigint;
    if (integerBased && column.scale > 0) {
        row->Tipo = QStringLiteral("N");
        row->Dimensione = -1;
        tableRow->Tipo = QStringLiteral("DECIMAL(18,%1)").arg(column.scale);
        return;
    }
    switch (column.typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
        row->Tipo = QStringLiteral("N");
        row->Dimensione = -1;
        tableRow->Tipo = column.typeCode == db::TypeSmallint ? QStringLiteral("SMALLINT")
                         : column.typeCode == db::TypeInteger ? QStringLiteral("INTEGER")
                                                              : QStringLiteral("BIGINT");
        return;
    case db::TypeFloat:
    case db::TypeDouble:
        row->Tipo = QStringLiteral("N");
        row->Dimensione = -1;
        tableRow->Tipo = QStringLiteral("FLOAT");
        return;
    case db::TypeDate:
        row->Tipo = QStringLiteral("D");
        row->Dimensione = -1;
        tableRow->Tipo = QStringLiteral("DATE");
        return;
    case db::TypeChar:
    case db::TypeVarchar:
        row->Tipo = QStringLiteral("A");
        row->Dimensione = column.length;
        tableRow->Tipo = QStringLiteral("VARCHAR(%1)").arg(column.length);
        return;
    case db::TypeBlob:
        // The described size of a blob is its identifier, not its text:
        // the range stays unbounded.
        row->Tipo = QStringLiteral("A");
        row->Dimensione = 0;
        tableRow->Tipo = QStringLiteral("BLOB");
        return;
    default:
        // Times and timestamps travel as text; their binary size says
        // nothing about the length of that text.
        row->Tipo = QStringLiteral("A");
        row->Dimensione = 0;
        tableRow->Tipo = QStringLiteral("VARCHAR(255)");
        return;
    }
}

void loadTableLayout(db::Attachment &att, db::Transaction &tra, const QString &table,
                     std::vector<LayoutRow> *layout, std::vector<TableColumnRow> *columns)
{
    layout->clear();
    columns->clear();
    if (table.isEmpty())
        return;
    // A name from the list is the catalogue's own; the statement names it
    // quoted, so "zone" is never read as ZONE. One the catalogue does not
    // know goes as it is and the server says why it is refused.
    const QString held = db::catalog::relationName(tra, table);
    db::Statement query(att, tra, QStringLiteral("SELECT FIRST 1 * FROM ") + db::quotedName(held.isEmpty() ? table : held),
                        db::ParamStyle::AsWritten);
    query.prepare();
    const std::vector<db::Column> &described = query.columns();
    int n = 0;
    for (const db::Column &column : described) {
        LayoutRow row;
        TableColumnRow tableRow;
        describeColumn(++n, column, &row, &tableRow);
        layout->push_back(row);
        columns->push_back(tableRow);
    }
}

QString definitionProblem(const std::vector<LayoutRow> &layout)
{
    for (const LayoutRow &row : layout) {
        if (breaksDefinitionLine(row.Destinazione))
            return QStringLiteral("Il nome del campo \"%1\" contiene il carattere \";\" o un a capo: "
                                  "non può essere scritto nel file .conf")
                .arg(row.Destinazione);
    }
    return QString();
}

QStringList composeDefinition(const std::vector<LayoutRow> &layout,
                              const std::vector<SourceField> &sources)
{
    QStringList lines{QStringLiteral("[CSV]")};
    for (const LayoutRow &row : layout) {
        QString nrIn;
        if (row.hasConstant()) {
            nrIn = QLatin1Char('\'') + row.Costante + QLatin1Char('\'');
        } else {
            nrIn = QStringLiteral("0");
            // The first source of that name wins, as the list shows it.
            for (const SourceField &source : sources) {
                if (source.Origine == row.Origine) {
                    nrIn = source.N;
                    break;
                }
            }
            // Options left over on a row without a source would turn "0"
            // into a field number that does not exist.
            if (nrIn == QLatin1String("0")) {
                lines << QStringLiteral("%1;%2;0;%3;").arg(row.N).arg(row.Destinazione, row.Tipo);
                continue;
            }
            if (row.NoBlankIni)
                nrIn += QStringLiteral("[NOBLANKINI]");
            if (row.IntervalloInizio.value_or(0) > 0 && row.IntervalloFine.value_or(0) > 0)
                nrIn += QStringLiteral("(%1,%2)").arg(*row.IntervalloInizio).arg(*row.IntervalloFine);
            if (row.PrimaParolaIntera)
                nrIn += QStringLiteral("PPI");
            else if (row.UltimaParolaIntera)
                nrIn += QStringLiteral("UPI");
        }
        lines << QStringLiteral("%1;%2;%3;%4;").arg(row.N).arg(row.Destinazione, nrIn, row.Tipo);
    }
    return lines;
}

} // namespace vardof::convert
