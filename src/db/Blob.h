#pragma once

// Blobs read and written whole, in the transaction given.

#include <QByteArray>
#include <QString>

#include <firebird/Interface.h>

namespace vardof::db {

class Attachment;
class Transaction;

namespace detail {
struct AttachmentImpl;
struct TransactionImpl;
QByteArray readBlob(AttachmentImpl *att, TransactionImpl *tra, const ISC_QUAD &id);
ISC_QUAD writeBlob(AttachmentImpl *att, TransactionImpl *tra, const QByteArray &data);
} // namespace detail

QByteArray readBlob(Attachment &att, Transaction &tra, const ISC_QUAD &id);
ISC_QUAD writeBlob(Attachment &att, Transaction &tra, const QByteArray &data);

} // namespace vardof::db
