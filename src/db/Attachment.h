#pragma once

// A connection to one database. Movable, not copyable; destroying it rolls
// back its open transactions and detaches.
//
// Parameter lines follow the client's conventions: "user_name=SYSDBA",
// "password=...", "lc_ctype=WIN1252", "sql_role_name=..."; the creation lines
// USER "SYSDBA", PASSWORD "...", PAGE_SIZE 4096 and DEFAULT CHARACTER SET X
// are understood when a database is created. Text always crosses as WIN1252
// unless lc_ctype says otherwise.

#include <QString>
#include <QStringList>

#include <memory>

namespace Firebird { class IAttachment; }

namespace vardof::db {

namespace detail { struct AttachmentImpl; }

class Attachment
{
public:
    Attachment();
    ~Attachment();
    Attachment(Attachment &&) noexcept;
    Attachment &operator=(Attachment &&) noexcept;
    Attachment(const Attachment &) = delete;
    Attachment &operator=(const Attachment &) = delete;

    // Throw db::Error with the server's message on failure.
    void connect(const QString &databaseName, const QStringList &params);
    void create(const QString &databaseName, const QStringList &params, int dialect = 3);

    static Attachment attach(const QString &databaseName, const QStringList &params);

    // Rolls back every open transaction of this connection, then detaches.
    // Never throws: a connection that is already broken is just dropped.
    void disconnect() noexcept;
    // Drops the connected database file (for tests and the demo tools).
    void dropDatabase();

    bool isConnected() const;
    QString databaseName() const;
    int dialect() const;

    Firebird::IAttachment *raw() const;
    std::shared_ptr<detail::AttachmentImpl> impl() const { return d; }

    // True for a name that the embedded engine opens (a local path), false
    // for server:path, host/port:path and \\server\path.
    static bool isLocalName(const QString &databaseName);

private:
    std::shared_ptr<detail::AttachmentImpl> d;
};

// The parameter lines of the administrator login.
QStringList loginParams(const QString &user, const QString &password);

} // namespace vardof::db
