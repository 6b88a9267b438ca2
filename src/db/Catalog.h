#pragma once

// Questions to the system tables that several tools ask. Names come back
// upper case as stored, trailing blanks removed. Each runs in the
// transaction given.

#include "db/Column.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vardof::db {

class Attachment;
class Transaction;

struct TableColumn
{
    QString name;
    int position = 0;
    int typeCode = 0;  // RDB$FIELD_TYPE
    int subType = 0;
    int length = 0;    // characters for text, bytes otherwise
    int scale = 0;     // digits after the point (positive)
    int precision = 0;
    bool nullable = true;
    QString domain;

    // "VARCHAR(30)", "NUMERIC(15,2)", "DATE", ... as a CREATE TABLE would say it.
    QString sqlTypeText() const;
};

// A name as the catalogue holds it, quoted for a statement: the server then
// takes exactly these characters ("zone" and ZONE are two tables), and a
// name holding quotes, semicolons or "--" stays one name.
QString quotedName(const QString &catalogueName);

namespace catalog {

// The relation (table or view) a user means by a name written in a script,
// a definition or a settings row: the same characters when such a relation
// exists, else the upper-case form (how the server reads an unquoted name);
// empty when neither exists. Statements then use quotedName() of it, so
// the check and the statement always agree on the table.
QString relationName(Transaction &tra, const QString &written);
// The same for a column of a relation given by its catalogue name.
QString columnName(Transaction &tra, const QString &relation, const QString &written);

// Whether relationName() finds the relation (a table created unquoted is
// found by its name in any case).
bool relationExists(Transaction &tra, const QString &name);
bool generatorExists(Transaction &tra, const QString &name);
// Tables that are neither views nor system tables, in alphabetical order.
QStringList userTables(Transaction &tra);
std::vector<TableColumn> columns(Transaction &tra, const QString &table);
QStringList primaryKeyFields(Transaction &tra, const QString &table);
// Fields of each unique index (primary key included), index by index.
std::vector<QStringList> uniqueIndexFields(Transaction &tra, const QString &table);
QStringList generators(Transaction &tra);

// The same, for callers still holding the connection beside its transaction.
inline bool relationExists(Attachment &, Transaction &tra, const QString &name) { return relationExists(tra, name); }
inline bool generatorExists(Attachment &, Transaction &tra, const QString &name) { return generatorExists(tra, name); }
inline QStringList userTables(Attachment &, Transaction &tra) { return userTables(tra); }
inline std::vector<TableColumn> columns(Attachment &, Transaction &tra, const QString &table) { return columns(tra, table); }
inline QStringList primaryKeyFields(Attachment &, Transaction &tra, const QString &table) { return primaryKeyFields(tra, table); }
inline std::vector<QStringList> uniqueIndexFields(Attachment &, Transaction &tra, const QString &table) { return uniqueIndexFields(tra, table); }
inline QStringList generators(Attachment &, Transaction &tra) { return generators(tra); }


// The same questions for a relation given by its catalogue name exactly as
// held (what relationName() answers): no case folding, so "zone" and ZONE
// are two tables here too.
// Tables and views that are not system relations, in alphabetical order.
QStringList relations(Transaction &tra);
std::vector<TableColumn> relationColumns(Transaction &tra, const QString &catalogueName);
QStringList relationPrimaryKey(Transaction &tra, const QString &catalogueName);
std::vector<QStringList> relationUniqueIndexes(Transaction &tra, const QString &catalogueName);

} // namespace catalog
} // namespace vardof::db
