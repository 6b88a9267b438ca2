#pragma once

// Every failure reported by the Firebird client becomes a db::Error that keeps
// the server's whole message text, so callers can show it after their own
// line ("Operazione fallita" + CR + message) exactly as the server wrote it.

#include <QString>
#include <stdexcept>
#include <vector>

namespace vardof::db {

class Error : public std::runtime_error
{
public:
    Error(const QString &message, int sqlCode = 0, std::vector<long> gdsCodes = {});

    // The server's message, one line per status vector entry, joined by "\n".
    const QString &message() const { return m_message; }
    int sqlCode() const { return m_sqlCode; }
    const std::vector<long> &gdsCodes() const { return m_gdsCodes; }
    bool hasGdsCode(long code) const;

    // A write conflict with a concurrent transaction (what a no-wait
    // transaction gets at once when someone else holds the row).
    bool isLockConflict() const;

    // A primary key, unique constraint or unique index refused a row that
    // is already there.
    bool isDuplicateKey() const;
    // The attachment is gone (server or database shut down, attachment
    // killed, network broken): every further statement on it fails the same
    // way, so a run stops at the first such failure instead of per row.
    bool isConnectionLost() const;

private:
    QString m_message;
    int m_sqlCode;
    std::vector<long> m_gdsCodes;
};

} // namespace vardof::db
