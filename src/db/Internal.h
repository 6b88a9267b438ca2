#pragma once

// Shared state behind the public handles. Statements and result sets keep
// the impl alive, so moving an Attachment or a Transaction never leaves them
// pointing at a stale object.

#include "db/FbApi.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vardof::db::detail {

struct TransactionImpl;

struct AttachmentImpl
{
    Ref<Firebird::IAttachment> attachment;
    QString name;
    int dialect = 3;
    std::vector<TransactionImpl *> transactions; // registered while alive

    ~AttachmentImpl();
    void closeAll() noexcept;
};

struct TransactionImpl
{
    std::shared_ptr<AttachmentImpl> attachment;
    Ref<Firebird::ITransaction> transaction;
    QStringList params;

    ~TransactionImpl();
    Firebird::ITransaction *current(); // starts it when not active
    void start();
    void dropAfterFailure() noexcept;
    void rollbackQuietly() noexcept;
};

} // namespace vardof::db::detail
