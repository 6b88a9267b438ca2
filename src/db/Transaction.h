#pragma once

// A transaction on one attachment, described by a list of parameter names
// ("isc_tpb_concurrency", "isc_tpb_nowait", ... or without the prefix).
// An empty list starts the client's default (concurrency, wait, write).
// Not started at construction; statements start it on first use.
// Destroying an active transaction rolls it back.
//
// A transaction that waits on locks (the default, or "wait") waits at most
// the lock timeout: another user's uncommitted row then makes the statement
// fail with the server's lock time-out instead of hanging the tool without
// a word. The timeout is 10 seconds unless the environment variable
// VARDOF_LOCK_TIMEOUT gives another number of seconds (0: wait without
// limit) or setDefaultLockTimeout() was called; "lock_timeout=N" in the
// parameter list sets it for one transaction. No-wait transactions fail at
// once, as before.

#include <QString>
#include <QStringList>

#include <memory>

namespace Firebird { class ITransaction; }

namespace vardof::db {

class Attachment;
namespace detail { struct TransactionImpl; }

class Transaction
{
public:
    explicit Transaction(Attachment &attachment, const QStringList &params = {});
    ~Transaction();
    Transaction(Transaction &&) noexcept;
    Transaction &operator=(Transaction &&) noexcept;
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Replacing the parameters does not touch a running transaction; they
    // apply from the next start.
    void setParams(const QStringList &params);
    QStringList params() const;

    void start();
    void ensureStarted();
    void commit();
    void commitRetaining();
    void rollback();
    void rollbackRetaining();
    bool isActive() const;

    Firebird::ITransaction *raw() const;
    std::shared_ptr<detail::TransactionImpl> impl() const { return d; }

    // The twenty parameter names known by code 1..20 (without prefix):
    // consistency, concurrency, shared, ... no_auto_undo.
    static QString parameterName(int code);
    static int parameterCode(const QString &name); // 0 when unknown

    // Seconds a waiting transaction waits for a lock; 0 means no limit.
    static int defaultLockTimeout();
    // Applies to transactions started from now on; negative puts back the
    // environment's (or the built-in) value.
    static void setDefaultLockTimeout(int seconds);
    static constexpr int kBuiltInLockTimeout = 10;

private:
    std::shared_ptr<detail::TransactionImpl> d;
};

class Error;
// The statement failed because a lock it waited for was still held when the
// lock timeout ran out (another user's transaction kept the row).
bool lockWaitExpired(const Error &error);

} // namespace vardof::db
