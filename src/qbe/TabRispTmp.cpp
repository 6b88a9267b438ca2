#include "qbe/TabRispTmp.h"

#include "db/Error.h"
#include "qbe/Interrogazione.h"

#include <stdexcept>

namespace vardof::qbe {

TabRispTmp::TabRispTmp() = default;

TabRispTmp::~TabRispTmp()
{
    close();
}

void TabRispTmp::attach(db::Attachment &att, db::Transaction &tra)
{
    close();
    m_att = &att;
    m_tra = &tra;
}

void TabRispTmp::open()
{
    close();
    if (!m_att || !m_tra)
        throw db::Error(QStringLiteral("La risposta non è collegata a un database"));
    try {
        m_statement = std::make_unique<db::Statement>(*m_att, *m_tra, testo(), db::ParamStyle::AsWritten);
        m_cursor = m_statement->open();
        m_columns = m_cursor.columns();
        m_open = true;
        m_atEnd = false;
    } catch (...) {
        close();
        throw;
    }
}

void TabRispTmp::close() noexcept
{
    m_cursor.close();
    if (m_statement) {
        m_statement->close();
        m_statement.reset();
    }
    m_rows.clear();
    m_columns.clear();
    m_open = false;
    m_atEnd = true;
}

void TabRispTmp::reopen()
{
    open();
}

QString TabRispTmp::nomeColonna(int column) const
{
    const db::Column &c = m_columns.at(size_t(column));
    return c.alias.isEmpty() ? c.name : c.alias;
}

int TabRispTmp::indexOfColonna(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (nomeColonna(i) == name)
            return i;
    return -1;
}

TipoCampo TabRispTmp::tipoColonna(int column) const
{
    return classeCampo(m_columns.at(size_t(column)));
}

int TabRispTmp::fetchMore(int count)
{
    if (!m_open || m_atEnd)
        return 0;
    int added = 0;
    try {
        while (added < count) {
            if (!m_cursor.next()) {
                m_atEnd = true;
                break;
            }
            m_rows.append(m_cursor);
            ++added;
        }
    } catch (...) {
        close();
        throw;
    }
    return added;
}

void TabRispTmp::fetchAll()
{
    while (m_open && !m_atEnd)
        fetchMore(4096);
}

db::FieldValue TabRispTmp::value(int row, int column) const
{
    if (column < 0 || column >= columnCount())
        throw std::out_of_range("TabRispTmp::value");
    return m_rows.value(row, column);
}

QString TabRispTmp::text(int row, int column) const
{
    return db::toText(value(row, column));
}

} // namespace vardof::qbe
