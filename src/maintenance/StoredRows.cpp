#include "maintenance/StoredRows.h"

#include "db/Catalog.h"
#include "db/Statement.h"

namespace vardof::maintenance {

StoredRows::StoredRows(db::Attachment &database, db::Transaction &transaction, const QString &table,
                       const QString &selectSql)
    : m_database(database)
    , m_transaction(transaction)
    , m_table(table)
    , m_select(selectSql)
{
}

void StoredRows::reload(int codice, int fallback)
{
    db::Statement s(m_database, m_transaction, m_select, db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    m_fields.clear();
    for (const db::Column &c : rs.columns())
        m_fields << (c.alias.isEmpty() ? c.name : c.alias);
    m_rows = rs.fetchAll();
    if (m_statements.modifica.isEmpty()) {
        context::GeneraSQLAggiornamento(m_fields, m_table, QStringLiteral("UPDATE"), m_statements);
        m_statements.modifica << QStringLiteral("WHERE (CODICE=:OLD_CODICE)");
        context::GeneraSQLAggiornamento(m_fields, m_table, QStringLiteral("INSERT"), m_statements);
        m_statements.cancella = QStringList{QStringLiteral("DELETE FROM ") + db::quotedName(m_table),
                                            QStringLiteral("WHERE (CODICE=:CODICE)")};
    }
    m_current = -1;
    for (int i = 0; i < count(); ++i)
        if (text(i, QStringLiteral("CODICE")).toInt() == codice)
            m_current = i;
    if (m_current < 0 && count() > 0)
        m_current = std::clamp(fallback, 0, count() - 1);
}

void StoredRows::setCurrent(int row)
{
    m_current = (row >= 0 && row < count()) ? row : -1;
}

int StoredRows::currentCodice() const
{
    return m_current < 0 ? -1 : text(m_current, QStringLiteral("CODICE")).toInt();
}

db::FieldValue StoredRows::value(int row, const QString &field) const
{
    const int at = int(m_fields.indexOf(field));
    if (row < 0 || row >= count() || at < 0)
        return std::nullopt;
    return m_rows[size_t(row)][size_t(at)];
}

QString StoredRows::text(int row, const QString &field) const
{
    return db::toText(value(row, field));
}

void StoredRows::post(const QMap<QString, db::FieldValue> &values, int oldCodice)
{
    db::Statement s(m_database, m_transaction,
                    (oldCodice < 0 ? m_statements.inserisci : m_statements.modifica).join(QLatin1Char('\n')));
    for (const QString &f : s.paramNames()) {
        if (f == QLatin1String("OLD_CODICE"))
            s.setParam(f, db::Value(qint64(oldCodice)));
        else
            s.setParam(f, values.value(f));
    }
    s.execute();
}

void StoredRows::remove(int codice)
{
    db::Statement s(m_database, m_transaction, m_statements.cancella.join(QLatin1Char('\n')));
    s.setParam(QStringLiteral("CODICE"), db::Value(qint64(codice)));
    s.execute();
}

} // namespace vardof::maintenance
