#pragma once

// The answer of the query window: the statement text as a list of lines
// (one clause fragment per line, as the engine composes it; other parts of
// the query window add ORDER BY lines and read it) and, once opened, the
// rows of its cursor.
//
// Rows are fetched on demand: opening reads no row, fetchMore(n) reads the
// next n, so a grid can show the first screen of a million-row answer at
// once and memory follows what was fetched. "N.Rec." and whole-answer
// operations call fetchAll().
//
// Failures: open(), fetchMore() and fetchAll() throw db::Error with the
// server's message; the answer is then closed.

#include "db/Attachment.h"
#include "db/Column.h"
#include "db/PackedRows.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vardof::qbe {

enum class TipoCampo;

class TabRispTmp
{
public:
    TabRispTmp();
    ~TabRispTmp();
    TabRispTmp(const TabRispTmp &) = delete;
    TabRispTmp &operator=(const TabRispTmp &) = delete;

    // The statement text, line by line.
    QStringList &SQL() { return m_sql; }
    const QStringList &SQL() const { return m_sql; }
    QString testo() const { return m_sql.join(QLatin1Char('\n')); }

    // The connection the answer runs on. Closes the answer.
    void attach(db::Attachment &att, db::Transaction &tra);
    bool isAttached() const { return m_att != nullptr; }
    db::Attachment *attachment() const { return m_att; }
    db::Transaction *transaction() const { return m_tra; }

    // Prepares and opens the current text; no row is fetched yet.
    void open();
    void close() noexcept;
    bool isOpen() const { return m_open; }
    // Closes and opens the same text again (the answer grid's F4).
    void reopen();

    // Metadata of the open answer's columns (alias is the column's name).
    const std::vector<db::Column> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    QString nomeColonna(int column) const;
    int indexOfColonna(const QString &name) const; // -1 when missing
    TipoCampo tipoColonna(int column) const;

    // Fetching. fetchMore returns how many rows it added.
    int fetchMore(int count);
    void fetchAll();
    bool atEnd() const { return m_atEnd; }
    int fetchedCount() const { return m_rows.size(); }

    // The rows fetched are kept packed (a few bytes per value), so a whole
    // answer of a million rows fits in memory; a value is unpacked when it
    // is asked for.
    db::FieldValue value(int row, int column) const;
    // Display text as the library formats it (dates dd/MM/yyyy, decimal
    // comma); NULL reads as "".
    QString text(int row, int column) const;

private:
    QStringList m_sql;
    db::Attachment *m_att = nullptr;
    db::Transaction *m_tra = nullptr;
    std::unique_ptr<db::Statement> m_statement;
    db::ResultSet m_cursor;
    std::vector<db::Column> m_columns;
    db::PackedRows m_rows;
    bool m_open = false;
    bool m_atEnd = true;
};

} // namespace vardof::qbe
