#include "db/ResultSet.h"
#include "db/Error.h"
#include "db/Internal.h"
#include "db/Row.h"

namespace vardof::db {

using namespace detail;

ResultSet::ResultSet() = default;

ResultSet::ResultSet(Firebird::IResultSet *cursor, std::shared_ptr<RowLayout> layout,
                     std::shared_ptr<AttachmentImpl> att, std::shared_ptr<TransactionImpl> tra)
    : m_cursor(cursor)
    , m_layout(std::move(layout))
    , m_att(std::move(att))
    , m_tra(std::move(tra))
    , m_buffer(m_layout->length)
{
}

ResultSet::~ResultSet()
{
    close();
}

ResultSet::ResultSet(ResultSet &&other) noexcept
    : m_cursor(std::move(other.m_cursor))
    , m_layout(std::move(other.m_layout))
    , m_att(std::move(other.m_att))
    , m_tra(std::move(other.m_tra))
    , m_buffer(std::move(other.m_buffer))
    , m_hasRow(std::exchange(other.m_hasRow, false))
    , m_status(std::move(other.m_status))
{
}

ResultSet &ResultSet::operator=(ResultSet &&other) noexcept
{
    if (this != &other) {
        close();
        m_cursor = std::move(other.m_cursor);
        m_layout = std::move(other.m_layout);
        m_att = std::move(other.m_att);
        m_tra = std::move(other.m_tra);
        m_buffer = std::move(other.m_buffer);
        m_hasRow = std::exchange(other.m_hasRow, false);
        m_status = std::move(other.m_status);
    }
    return *this;
}

void ResultSet::close() noexcept
{
    // A cursor whose transaction already ended is gone on the server:
    // only the client object is left to release.
    if (m_tra && m_tra->transaction) {
        Status st;
        m_cursor.finish([](Firebird::IResultSet *c, Firebird::CheckStatusWrapper *s) { c->close(s); }, st);
    } else {
        m_cursor.reset();
    }
    m_hasRow = false;
}

bool ResultSet::next()
{
    if (!m_cursor)
        return false;
    if (!m_status)
        m_status = std::make_unique<Status>();
    Status &st = *m_status;
    st.clear();
    const int rc = m_cursor->fetchNext(&st, m_buffer.data());
    if (st.failed()) {
        m_hasRow = false;
        st.raise();
    }
    m_hasRow = rc == Firebird::IStatus::RESULT_OK;
    if (!m_hasRow)
        close();
    return m_hasRow;
}

int ResultSet::columnCount() const
{
    return m_layout ? int(m_layout->columns.size()) : 0;
}

const std::vector<Column> &ResultSet::columns() const
{
    static const std::vector<Column> none;
    return m_layout ? m_layout->columns : none;
}

int ResultSet::indexOf(const QString &name) const
{
    return m_layout ? m_layout->indexOf(name) : -1;
}

int ResultSet::checkedIndex(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw Error(QStringLiteral("Campo %1 non trovato").arg(name));
    return i;
}

bool ResultSet::isNull(int column) const
{
    return m_layout->isNull(m_buffer.data(), column);
}

FieldValue ResultSet::value(int column) const
{
    return m_layout->value(m_buffer.data(), column, m_att.get(), m_tra.get());
}

QString ResultSet::text(int column) const
{
    return m_layout->text(m_buffer.data(), column, m_att.get(), m_tra.get());
}

FieldValue ResultSet::value(const QString &name) const
{
    return value(checkedIndex(name));
}

QString ResultSet::text(const QString &name) const
{
    return text(checkedIndex(name));
}

std::optional<qint64> ResultSet::toInt64(int column) const
{
    const FieldValue v = value(column);
    return v ? db::toInt64(*v) : std::nullopt;
}

std::optional<double> ResultSet::toDouble(int column) const
{
    const FieldValue v = value(column);
    return v ? db::toDouble(*v) : std::nullopt;
}

std::vector<std::vector<FieldValue>> ResultSet::fetchAll()
{
    std::vector<std::vector<FieldValue>> rows;
    while (next()) {
        std::vector<FieldValue> row;
        row.reserve(size_t(columnCount()));
        for (int i = 0; i < columnCount(); ++i)
            row.push_back(value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace vardof::db
