#pragma once

// Internal: the layout of a message buffer described by server metadata,
// and the decoding of its values. Shared by result sets and RETURNING.

#include "db/Column.h"
#include "db/Internal.h"
#include "db/Value.h"

#include <vector>

namespace vardof::db::detail {

struct RowLayout
{
    Ref<Firebird::IMessageMetadata> meta;
    std::vector<Column> columns;
    std::vector<unsigned> offsets;
    std::vector<unsigned> nullOffsets;
    unsigned length = 0;

    explicit RowLayout(Ref<Firebird::IMessageMetadata> m);
    ~RowLayout();
    RowLayout(const RowLayout &) = delete;
    RowLayout &operator=(const RowLayout &) = delete;

    int indexOf(const QString &name) const;

    bool isNull(const unsigned char *buffer, int i) const
    {
        return *reinterpret_cast<const short *>(buffer + nullOffsets[size_t(i)]) != 0;
    }
    // Decodes one value; blobs are read through the transaction.
    FieldValue value(const unsigned char *buffer, int i, AttachmentImpl *att, TransactionImpl *tra) const;
    QString text(const unsigned char *buffer, int i, AttachmentImpl *att, TransactionImpl *tra) const;
};

Column describe(Firebird::IMessageMetadata *meta, unsigned i);

} // namespace vardof::db::detail
