#pragma once

// Statement builders shared by several tools.

#include <QDate>
#include <QString>
#include <QStringList>

namespace vardof::db { class Attachment; class Transaction; }

namespace vardof::context {

// The modify, insert and delete statements of an editable query, as lines.
struct UpdateStatements
{
    QStringList modifica;
    QStringList inserisci;
    QStringList cancella;
};

// Fills the modify ("UPDATE") or insert ("INSERT") statement of `set` from
// the fields the source query returns; the caller appends the WHERE clause
// of an update. `kind` is compared in upper case. Throws db::Error when the
// source query cannot be prepared.
void GeneraSQLAggiornamento(db::Attachment &attachment, db::Transaction &transaction, const QString &sourceSql,
                            const QString &table, const QString &kind, UpdateStatements &set);
// The same from a list of field names already known.
void GeneraSQLAggiornamento(const QStringList &fields, const QString &table, const QString &kind,
                            UpdateStatements &set);

// A date as the SQL literal 'mm/dd/yyyy'.
QString DataSQL(const QDate &date);

// A value written between single quotes in statement text: quotes doubled.
QString quoted(const QString &value);

} // namespace vardof::context
