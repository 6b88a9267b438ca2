#pragma once

// Rows of values kept packed in blocks of about a megabyte, a few bytes a
// value; a value is unpacked when it is asked for. What the grid's sources
// and the query window's answer hold of the rows they have fetched, so that
// memory follows what was read, not the size of the table.

#include "db/Value.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace vardof::db {

class ResultSet;

class PackedRows
{
public:
    PackedRows();
    ~PackedRows();
    PackedRows(PackedRows &&) noexcept;
    PackedRows &operator=(PackedRows &&) noexcept;

    // Gives the memory back.
    void clear();
    void append(const std::vector<FieldValue> &row);
    // The cursor's current row.
    void append(const ResultSet &cursor);
    int size() const { return int(m_rows.size()); }
    // `row` must be below size() (std::out_of_range otherwise) and `column`
    // below the number of values of that row.
    FieldValue value(int row, int column) const;
    std::vector<FieldValue> row(int row, int columns) const;
    // Bytes held by the packed rows.
    size_t bytes() const;

private:
    void appendPacked(const QByteArray &packed);
    const char *data(int row) const;

    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    size_t m_blockSize = 0;
    std::vector<quint64> m_rows; // block index << 32 | offset
};

} // namespace vardof::db
