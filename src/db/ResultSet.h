#pragma once

// The rows of an open cursor, fetched one at a time. Movable, not copyable;
// closing (or destroying) it closes the cursor. Blob columns are read when
// their value is asked for.

#include "db/Column.h"
#include "db/Ref.h"
#include "db/Value.h"

#include <memory>
#include <vector>

namespace Firebird { class IResultSet; }

namespace vardof::db {

namespace detail {
class Status;
struct RowLayout;
struct AttachmentImpl;
struct TransactionImpl;
} // namespace detail

class ResultSet
{
public:
    ResultSet();
    ~ResultSet();
    ResultSet(ResultSet &&) noexcept;
    ResultSet &operator=(ResultSet &&) noexcept;
    ResultSet(const ResultSet &) = delete;
    ResultSet &operator=(const ResultSet &) = delete;

    // Moves to the next row; false (and the cursor closed) at the end.
    bool next();
    bool isOpen() const { return m_cursor.get() != nullptr; }
    void close() noexcept;

    int columnCount() const;
    const std::vector<Column> &columns() const;
    int indexOf(const QString &name) const; // alias first, then field; -1 when missing

    bool isNull(int column) const;
    FieldValue value(int column) const;
    QString text(int column) const; // library formats; NULL reads as ""
    FieldValue value(const QString &name) const;
    QString text(const QString &name) const;
    std::optional<qint64> toInt64(int column) const;
    std::optional<double> toDouble(int column) const;

    // Every remaining row as values (for small answers and tests).
    std::vector<std::vector<FieldValue>> fetchAll();

private:
    friend class Statement;
    ResultSet(Firebird::IResultSet *cursor, std::shared_ptr<detail::RowLayout> layout,
              std::shared_ptr<detail::AttachmentImpl> att, std::shared_ptr<detail::TransactionImpl> tra);
    int checkedIndex(const QString &name) const;

    detail::Ref<Firebird::IResultSet> m_cursor;
    std::shared_ptr<detail::RowLayout> m_layout;
    std::shared_ptr<detail::AttachmentImpl> m_att;
    std::shared_ptr<detail::TransactionImpl> m_tra;
    std::vector<unsigned char> m_buffer;
    bool m_hasRow = false;
    std::unique_ptr<detail::Status> m_status;
};

} // namespace vardof::db
