#include "db/Transaction.h"
#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Internal.h"

#include <ibase.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace vardof::db {

using namespace detail;

namespace {

// Code n (1..20) is the client's isc_tpb_<name> constant of the same value.
const char *const kNames[] = {
    "consistency", "concurrency", "shared", "protected", "exclusive",
    "wait", "nowait", "read", "write", "lock_read",
    "lock_write", "verb_time", "commit_time", "ignore_limbo", "read_committed",
    "autocommit", "rec_version", "no_rec_version", "restart_requests", "no_auto_undo",
};

// -1: not chosen by the program, the environment (or the built-in value) holds.
std::atomic<int> g_lockTimeout{-1};

int environmentLockTimeout()
{
    static const int seconds = [] {
        const char *text = std::getenv("VARDOF_LOCK_TIMEOUT");
        if (!text || !*text)
            return int(Transaction::kBuiltInLockTimeout);
        char *end = nullptr;
        const long n = std::strtol(text, &end, 10);
        if (*end != '\0' || n < 0 || n > 86400)
            return int(Transaction::kBuiltInLockTimeout);
        return int(n);
    }();
    return seconds;
}

void pushLockTimeout(std::vector<unsigned char> &tpb, int seconds)
{
    tpb.push_back(isc_tpb_lock_timeout);
    tpb.push_back(4);
    for (int i = 0; i < 4; ++i)
        tpb.push_back(static_cast<unsigned char>((unsigned(seconds) >> (8 * i)) & 0xFF));
}

std::vector<unsigned char> buildTpb(const QStringList &params)
{
    std::vector<unsigned char> tpb;
    const int timeout = Transaction::defaultLockTimeout();
    if (params.isEmpty()) {
        // The client's default, with the wait bounded.
        if (timeout == 0)
            return tpb;
        tpb = {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_wait, isc_tpb_write};
        pushLockTimeout(tpb, timeout);
        return tpb;
    }
    tpb.push_back(isc_tpb_version3);
    bool nowait = false;
    bool timeoutGiven = false;
    for (const QString &raw : params) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        // lock_read=TABLE / lock_write=TABLE reserve a table.
        const int eq = line.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? line : line.left(eq).trimmed();
        QString bare = name.toLower();
        if (bare.startsWith(QLatin1String("isc_tpb_")))
            bare = bare.mid(8);
        if (bare == QLatin1String("lock_timeout")) {
            bool ok = false;
            const int seconds = eq > 0 ? line.mid(eq + 1).trimmed().toInt(&ok) : 0;
            if (!ok || seconds < 0)
                throw Error(QStringLiteral("Parametro di transazione sconosciuto: ") + line);
            timeoutGiven = true;
            if (seconds > 0)
                pushLockTimeout(tpb, seconds);
            continue;
        }
        const int code = Transaction::parameterCode(name);
        if (code == 0)
            throw Error(QStringLiteral("Parametro di transazione sconosciuto: ") + line);
        nowait = nowait || code == isc_tpb_nowait;
        tpb.push_back(static_cast<unsigned char>(code));
        if ((code == isc_tpb_lock_read || code == isc_tpb_lock_write) && eq > 0) {
            const QByteArray table = line.mid(eq + 1).trimmed().toUpper().toLatin1();
            tpb.push_back(static_cast<unsigned char>(table.size()));
            tpb.insert(tpb.end(), table.begin(), table.end());
        }
    }
    // Waiting is the server's choice when neither is named.
    if (!nowait && !timeoutGiven && timeout > 0)
        pushLockTimeout(tpb, timeout);
    return tpb;
}

} // namespace

namespace detail {

TransactionImpl::~TransactionImpl()
{
    rollbackQuietly();
}

void TransactionImpl::start()
{
    if (transaction)
        throw Error(QStringLiteral("Transazione già attiva"));
    if (!attachment || !attachment->attachment)
        throw Error(QStringLiteral("Database non connesso"));
    const std::vector<unsigned char> tpb = buildTpb(params);
    Status st;
    Firebird::ITransaction *t = attachment->attachment->startTransaction(
        &st, unsigned(tpb.size()), tpb.empty() ? nullptr : tpb.data());
    st.check();
    transaction.reset(t);
    auto &list = attachment->transactions;
    if (std::find(list.begin(), list.end(), this) == list.end())
        list.push_back(this);
}

Firebird::ITransaction *TransactionImpl::current()
{
    if (!transaction)
        start();
    return transaction.get();
}

void TransactionImpl::dropAfterFailure() noexcept
{
    transaction.reset();
    if (attachment) {
        auto &list = attachment->transactions;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TransactionImpl::rollbackQuietly() noexcept
{
    Status st;
    transaction.finish([](Firebird::ITransaction *t, Firebird::CheckStatusWrapper *s) { t->rollback(s); }, st);
    dropAfterFailure();
}

} // namespace detail

Transaction::Transaction(Attachment &attachment, const QStringList &params)
    : d(std::make_shared<TransactionImpl>())
{
    d->attachment = attachment.impl();
    d->params = params;
}

Transaction::~Transaction() = default;
Transaction::Transaction(Transaction &&) noexcept = default;
Transaction &Transaction::operator=(Transaction &&) noexcept = default;

void Transaction::setParams(const QStringList &params)
{
    d->params = params;
}

QStringList Transaction::params() const
{
    return d->params;
}

void Transaction::start()
{
    d->start();
}

void Transaction::ensureStarted()
{
    d->current();
}

void Transaction::commit()
{
    if (!d->transaction)
        throw Error(QStringLiteral("Transazione non attiva"));
    Status st;
    d->transaction->commit(&st);
    st.check();
    d->transaction.forget(); // released by a successful commit
    d->dropAfterFailure();
}

void Transaction::commitRetaining()
{
    if (!d->transaction)
        throw Error(QStringLiteral("Transazione non attiva"));
    Status st;
    d->transaction->commitRetaining(&st);
    st.check();
}

void Transaction::rollback()
{
    if (!d->transaction)
        throw Error(QStringLiteral("Transazione non attiva"));
    Status st;
    d->transaction->rollback(&st);
    st.check();
    d->transaction.forget();
    d->dropAfterFailure();
}

void Transaction::rollbackRetaining()
{
    if (!d->transaction)
        throw Error(QStringLiteral("Transazione non attiva"));
    Status st;
    d->transaction->rollbackRetaining(&st);
    st.check();
}

bool Transaction::isActive() const
{
    return d && d->transaction.get();
}

Firebird::ITransaction *Transaction::raw() const
{
    return d ? d->transaction.get() : nullptr;
}

QString Transaction::parameterName(int code)
{
    if (code < 1 || code > 20)
        return QString();
    return QString::fromLatin1(kNames[code - 1]);
}

int Transaction::defaultLockTimeout()
{
    const int chosen = g_lockTimeout.load();
    return chosen >= 0 ? chosen : environmentLockTimeout();
}

void Transaction::setDefaultLockTimeout(int seconds)
{
    g_lockTimeout.store(seconds < 0 ? -1 : seconds);
}

bool lockWaitExpired(const Error &error)
{
    return error.hasGdsCode(isc_lock_timeout);
}

int Transaction::parameterCode(const QString &name)
{
    QString n = name.trimmed().toLower();
    if (n.startsWith(QLatin1String("isc_tpb_")))
        n = n.mid(8);
    for (int i = 0; i < 20; ++i)
        if (n == QLatin1String(kNames[i]))
            return i + 1;
    return 0;
}

} // namespace vardof::db
