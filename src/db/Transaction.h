#pragma once

// A transaction on one attachment, described by a list of parameter names
// ("isc_tpb_concurrency", "isc_tpb_nowait", ... or without the prefix).
// An empty list starts the client's default (concurrency, wait, write).
// Not started at construction; statements start it on first use.
// Destroying an active transaction rolls it back.

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

private:
    std::shared_ptr<detail::TransactionImpl> d;
};

} // namespace vardof::db
