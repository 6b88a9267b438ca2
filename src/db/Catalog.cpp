#include "db/Catalog.h"
#include "db/Statement.h"

namespace vardof::db {

QString TableColumn::sqlTypeText() const
{
    const bool decimal = scale > 0;
    switch (typeCode) {
    case TypeSmallint:
        return decimal ? QStringLiteral("NUMERIC(4,%1)").arg(scale) : QStringLiteral("SMALLINT");
    case TypeInteger:
        return decimal ? QStringLiteral("NUMERIC(%1,%2)").arg(precision ? precision : 9).arg(scale)
                       : QStringLiteral("INTEGER");
    case TypeBigint:
        return decimal ? QStringLiteral("NUMERIC(%1,%2)").arg(precision ? precision : 18).arg(scale)
                       : QStringLiteral("BIGINT");
    case TypeFloat: return QStringLiteral("FLOAT");
    case TypeDouble: return QStringLiteral("DOUBLE PRECISION");
    case TypeDate: return QStringLiteral("DATE");
    case TypeTime: return QStringLiteral("TIME");
    case TypeTimestamp: return QStringLiteral("TIMESTAMP");
    case TypeBoolean: return QStringLiteral("BOOLEAN");
    case TypeChar: return QStringLiteral("CHAR(%1)").arg(length);
    case TypeVarchar: return QStringLiteral("VARCHAR(%1)").arg(length);
    case TypeBlob: return QStringLiteral("BLOB SUB_TYPE %1").arg(subType);
    default: return QStringLiteral("VARCHAR(%1)").arg(length > 0 ? length : 1);
    }
}

QString quotedName(const QString &catalogueName)
{
    QString inner = catalogueName;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

namespace catalog {

namespace {

// Exact characters first, then the unquoted reading. A name written in
// double quotes asks for its exact characters only. No catalogue name is
// longer than 63 characters: a longer one names nothing (and must not
// reach the server as a parameter too long for the column).
QString resolve(Transaction &tra, const QString &sql, const QString &written, const QString &relation = {})
{
    QString name = written.trimmed();
    QStringList candidates;
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))) {
        name = name.mid(1, name.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        candidates << name;
    } else {
        candidates << name;
        if (name.toUpper() != name)
            candidates << name.toUpper();
    }
    if (name.isEmpty() || name.size() > 63)
        return {};
    Statement s(tra, sql);
    for (const QString &candidate : candidates) {
        s.setParam(QStringLiteral("NAME"), candidate);
        if (!relation.isNull())
            s.setParam(QStringLiteral("REL"), relation);
        ResultSet rs = s.open();
        if (rs.next())
            return rs.text(0).trimmed();
    }
    return {};
}

} // namespace

QString relationName(Transaction &tra, const QString &written)
{
    return resolve(tra,
                   QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
                                  "WHERE RDB$RELATION_NAME = CAST(:NAME AS VARCHAR(63))"),
                   written);
}

QString columnName(Transaction &tra, const QString &relation, const QString &written)
{
    return resolve(tra,
                   QStringLiteral("SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS "
                                  "WHERE RDB$RELATION_NAME = CAST(:REL AS VARCHAR(63)) "
                                  "AND RDB$FIELD_NAME = CAST(:NAME AS VARCHAR(63))"),
                   written, relation);
}

namespace {

QStringList names(Transaction &tra, const QString &sql, const QString &param = {})
{
    Statement s(tra, sql);
    if (!param.isNull())
        s.setParam(QStringLiteral("NAME"), param.trimmed().toUpper());
    ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << rs.text(0).trimmed();
    return out;
}

bool exists(Transaction &tra, const QString &sql, const QString &name)
{
    Statement s(tra, sql);
    s.setParam(QStringLiteral("NAME"), name.trimmed().toUpper());
    ResultSet rs = s.open();
    return rs.next() && rs.toInt64(0).value_or(0) > 0;
}

} // namespace

bool relationExists(Transaction &tra, const QString &name)
{
    // The same reading as the statements that follow the check.
    return !relationName(tra, name).isEmpty();
}

bool generatorExists(Transaction &tra, const QString &name)
{
    return exists(tra,
                  QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = :NAME"), name);
}

QStringList userTables(Transaction &tra)
{
    return names(tra,
                 QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
                                "WHERE RDB$VIEW_BLR IS NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                                "ORDER BY RDB$RELATION_NAME"));
}

// A name as written by our own code, read as the server reads it unquoted.
std::vector<TableColumn> columns(Transaction &tra, const QString &table)
{
    return relationColumns(tra, table.trimmed().toUpper());
}

QStringList primaryKeyFields(Transaction &tra, const QString &table)
{
    return relationPrimaryKey(tra, table.trimmed().toUpper());
}

std::vector<QStringList> uniqueIndexFields(Transaction &tra, const QString &table)
{
    return relationUniqueIndexes(tra, table.trimmed().toUpper());
}

QStringList generators(Transaction &tra)
{
    return names(tra,
                 QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS "
                                "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY RDB$GENERATOR_NAME"));
}


// ---- by the catalogue name as held ----------------------------------------

namespace {

// Longer than any catalogue name: names nothing (and would not fit the
// parameter).
bool beyondCatalogue(const QString &name)
{
    return name.isEmpty() || name.size() > 63;
}

} // namespace

QStringList relations(Transaction &tra)
{
    return names(tra,
                 QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS "
                                "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                                "ORDER BY RDB$RELATION_NAME"));
}

std::vector<TableColumn> relationColumns(Transaction &tra, const QString &catalogueName)
{
    std::vector<TableColumn> out;
    if (beyondCatalogue(catalogueName))
        return out;
    Statement s(tra,
                QStringLiteral("SELECT RF.RDB$FIELD_NAME, RF.RDB$FIELD_POSITION, F.RDB$FIELD_TYPE, "
                               "F.RDB$FIELD_SUB_TYPE, COALESCE(F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH), "
                               "F.RDB$FIELD_SCALE, F.RDB$FIELD_PRECISION, "
                               "COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0), RF.RDB$FIELD_SOURCE "
                               "FROM RDB$RELATION_FIELDS RF "
                               "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                               "WHERE RF.RDB$RELATION_NAME = CAST(:NAME AS VARCHAR(63)) "
                               "ORDER BY RF.RDB$FIELD_POSITION"));
    s.setParam(QStringLiteral("NAME"), catalogueName);
    ResultSet rs = s.open();
    while (rs.next()) {
        TableColumn c;
        c.name = rs.text(0).trimmed();
        c.position = int(rs.toInt64(1).value_or(0));
        c.typeCode = int(rs.toInt64(2).value_or(0));
        c.subType = int(rs.toInt64(3).value_or(0));
        c.length = int(rs.toInt64(4).value_or(0));
        c.scale = -int(rs.toInt64(5).value_or(0));
        c.precision = int(rs.toInt64(6).value_or(0));
        c.nullable = rs.toInt64(7).value_or(0) == 0;
        c.domain = rs.text(8).trimmed();
        out.push_back(c);
    }
    return out;
}

QStringList relationPrimaryKey(Transaction &tra, const QString &catalogueName)
{
    if (beyondCatalogue(catalogueName))
        return {};
    Statement s(tra,
                QStringLiteral("SELECT S.RDB$FIELD_NAME FROM RDB$RELATION_CONSTRAINTS C "
                               "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                               "WHERE C.RDB$RELATION_NAME = CAST(:NAME AS VARCHAR(63)) "
                               "AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                               "ORDER BY S.RDB$FIELD_POSITION"));
    s.setParam(QStringLiteral("NAME"), catalogueName);
    ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << rs.text(0).trimmed();
    return out;
}

std::vector<QStringList> relationUniqueIndexes(Transaction &tra, const QString &catalogueName)
{
    std::vector<QStringList> out;
    if (beyondCatalogue(catalogueName))
        return out;
    Statement s(tra,
                QStringLiteral("SELECT I.RDB$INDEX_NAME, S.RDB$FIELD_NAME FROM RDB$INDICES I "
                               "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                               "WHERE I.RDB$RELATION_NAME = CAST(:NAME AS VARCHAR(63)) AND I.RDB$UNIQUE_FLAG = 1 "
                               "ORDER BY I.RDB$INDEX_NAME, S.RDB$FIELD_POSITION"));
    s.setParam(QStringLiteral("NAME"), catalogueName);
    ResultSet rs = s.open();
    QString current;
    while (rs.next()) {
        const QString index = rs.text(0).trimmed();
        if (out.empty() || index != current) {
            out.emplace_back();
            current = index;
        }
        out.back() << rs.text(1).trimmed();
    }
    return out;
}

} // namespace catalog
} // namespace vardof::db
