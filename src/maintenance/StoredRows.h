#pragma once

// The rows of a stored-work table (STOAGGFDBFDB, STOAGGSINCRODBFAST) as the
// two list windows browse and edit them, on the work context's default
// transaction. Writes use the statements GeneraSQLAggiornamento builds for
// the table; the caller commits.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "context/SqlBuilders.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

namespace vardof::maintenance {

class StoredRows
{
public:
    StoredRows(db::Attachment &database, db::Transaction &transaction, const QString &table, const QString &selectSql);

    // Reads every row again; the current row becomes the one with `codice`
    // when it still exists, otherwise `fallback` (clamped).
    void reload(int codice, int fallback = 0);

    const QStringList &fields() const { return m_fields; }
    int count() const { return int(m_rows.size()); }
    int current() const { return m_current; }
    void setCurrent(int row);
    int currentCodice() const;
    QString text(int row, const QString &field) const;
    db::FieldValue value(int row, const QString &field) const;

    // Inserts (oldCodice < 0) or updates the row that had oldCodice.
    void post(const QMap<QString, db::FieldValue> &values, int oldCodice);
    void remove(int codice);

    const context::UpdateStatements &statements() const { return m_statements; }

private:
    db::Attachment &m_database;
    db::Transaction &m_transaction;
    QString m_table;
    QString m_select;
    QStringList m_fields;
    std::vector<std::vector<db::FieldValue>> m_rows;
    int m_current = -1;
    context::UpdateStatements m_statements;
};

} // namespace vardof::maintenance
