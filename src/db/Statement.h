#pragma once

// One SQL statement on an attachment and a transaction (started on first
// use). The text is sent as written, or with ":NAME" parameters turned into
// markers (ParamStyle::Named, the default). Values are bound by name; a name
// used several times takes one value. Prepared once, executed many times.
// Failures throw db::Error carrying the server's message.

#include "db/Column.h"
#include "db/ResultSet.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace Firebird { class IStatement; class IMessageMetadata; }

namespace vardof::db {

class Attachment;
class Transaction;
namespace detail { struct StatementData; }

enum class ParamStyle { Named, AsWritten };

enum class StatementKind { Select, Insert, Update, Delete, Ddl, ExecProcedure, Other };

class Statement
{
public:
    // A transaction knows its attachment: prefer the forms without one.
    explicit Statement(Transaction &transaction);
    Statement(Transaction &transaction, const QString &sql, ParamStyle style = ParamStyle::Named);
    Statement(Attachment &attachment, Transaction &transaction);
    Statement(Attachment &attachment, Transaction &transaction, const QString &sql,
              ParamStyle style = ParamStyle::Named);
    ~Statement();
    Statement(Statement &&) noexcept;
    Statement &operator=(Statement &&) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Replaces the text; the statement is prepared again on next use.
    void setSql(const QString &sql, ParamStyle style = ParamStyle::Named);
    void setSql(const QStringList &lines, ParamStyle style = ParamStyle::Named)
    {
        setSql(lines.join(QLatin1Char('\n')), style);
    }
    const QString &sql() const { return m_sql; }

    void prepare();
    bool isPrepared() const;
    StatementKind kind();
    // The plan the server chose, for diagnostics.
    QString plan();

    // Parameters, in name order of first appearance.
    QStringList paramNames();
    bool hasParam(const QString &name);
    void setParam(const QString &name, const FieldValue &value); // throws for an unknown name
    void setParam(const QString &name, FieldValue &&value);
    void setParam(int index, const FieldValue &value);           // by marker position
    void setParam(int index, FieldValue &&value);
    void setNull(const QString &name) { setParam(name, std::nullopt); }
    void clearParams();
    const std::vector<Column> &paramColumns();

    // Runs a statement that returns no cursor. A SELECT is run to its end.
    // RETURNING / EXECUTE PROCEDURE outputs are kept in returned().
    void execute();
    // Opens the cursor of a SELECT (or of a selectable block).
    ResultSet open();

    qint64 rowsAffected() const;
    const std::vector<Column> &columns();
    const std::vector<FieldValue> &returned() const { return m_returned; }

    void close() noexcept; // frees the server statement

private:
    void bindInput();

    std::unique_ptr<detail::StatementData> d;
    QString m_sql;
    mutable qint64 m_rowsAffected = 0;
    std::vector<FieldValue> m_returned;
};

// Convenience for one-off statements (DDL, short checks).
void executeSql(Transaction &transaction, const QString &sql, ParamStyle style = ParamStyle::AsWritten);
// First column of the first row, or an empty value.
FieldValue queryValue(Transaction &transaction, const QString &sql, ParamStyle style = ParamStyle::AsWritten);

inline void executeSql(Attachment &, Transaction &transaction, const QString &sql,
                       ParamStyle style = ParamStyle::AsWritten)
{
    executeSql(transaction, sql, style);
}
inline FieldValue queryValue(Attachment &, Transaction &transaction, const QString &sql,
                             ParamStyle style = ParamStyle::AsWritten)
{
    return queryValue(transaction, sql, style);
}

} // namespace vardof::db
