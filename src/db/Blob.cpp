#include "db/Blob.h"
#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Internal.h"
#include "db/Transaction.h"

namespace vardof::db {

namespace detail {

QByteArray readBlob(AttachmentImpl *att, TransactionImpl *tra, const ISC_QUAD &id)
{
    if (!att || !att->attachment)
        throw Error(QStringLiteral("Database non connesso"));
    Status st;
    ISC_QUAD blobId = id;
    Ref<Firebird::IBlob> blob(att->attachment->openBlob(&st, tra->current(), &blobId, 0, nullptr));
    st.check();
    QByteArray data;
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        const int rc = blob->getSegment(&st, sizeof buffer, buffer, &got);
        if (rc == Firebird::IStatus::RESULT_OK || rc == Firebird::IStatus::RESULT_SEGMENT) {
            data.append(buffer, qsizetype(got));
            continue;
        }
        break;
    }
    st.check();
    blob.finish([](Firebird::IBlob *b, Firebird::CheckStatusWrapper *s) { b->close(s); }, st);
    st.check();
    return data;
}

ISC_QUAD writeBlob(AttachmentImpl *att, TransactionImpl *tra, const QByteArray &data)
{
    if (!att || !att->attachment)
        throw Error(QStringLiteral("Database non connesso"));
    Status st;
    ISC_QUAD blobId{};
    Ref<Firebird::IBlob> blob(att->attachment->createBlob(&st, tra->current(), &blobId, 0, nullptr));
    st.check();
    qsizetype pos = 0;
    while (pos < data.size()) {
        const unsigned chunk = unsigned(std::min<qsizetype>(data.size() - pos, 32767));
        blob->putSegment(&st, chunk, data.constData() + pos);
        if (st.failed()) {
            Status cancel;
            blob.finish([](Firebird::IBlob *b, Firebird::CheckStatusWrapper *s) { b->cancel(s); }, cancel);
            st.raise();
        }
        pos += chunk;
    }
    blob.finish([](Firebird::IBlob *b, Firebird::CheckStatusWrapper *s) { b->close(s); }, st);
    st.check();
    return blobId;
}

} // namespace detail

QByteArray readBlob(Attachment &att, Transaction &tra, const ISC_QUAD &id)
{
    return detail::readBlob(att.impl().get(), tra.impl().get(), id);
}

ISC_QUAD writeBlob(Attachment &att, Transaction &tra, const QByteArray &data)
{
    return detail::writeBlob(att.impl().get(), tra.impl().get(), data);
}

} // namespace vardof::db
