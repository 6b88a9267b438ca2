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

namespace catalog {

bool relationExists(Attachment &att, Transaction &tra, const QString &name);
bool generatorExists(Attachment &att, Transaction &tra, const QString &name);
// Tables that are neither views nor system tables, in alphabetical order.
QStringList userTables(Attachment &att, Transaction &tra);
std::vector<TableColumn> columns(Attachment &att, Transaction &tra, const QString &table);
QStringList primaryKeyFields(Attachment &att, Transaction &tra, const QString &table);
// Fields of each unique index (primary key included), index by index.
std::vector<QStringList> uniqueIndexFields(Attachment &att, Transaction &tra, const QString &table);
QStringList generators(Attachment &att, Transaction &tra);

} // namespace catalog
} // namespace vardof::db
