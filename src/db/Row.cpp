#include "db/Row.h"
#include "db/Blob.h"
#include "db/Error.h"

#include "core/CellFormat.h"
#include "core/Cp1252.h"

#include <ibase.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace vardof::db {

bool Column::isInteger() const
{
    return scale == 0 && (typeCode == TypeSmallint || typeCode == TypeInteger || typeCode == TypeBigint);
}

bool Column::isNumeric() const
{
    switch (typeCode) {
    case TypeSmallint:
    case TypeInteger:
    case TypeBigint:
    case TypeFloat:
    case TypeDouble:
        return true;
    default:
        return false;
    }
}

namespace detail {

namespace {

// A FLOAT holds about seven digits. Read it as the shortest decimal that gives
// the same float back, so a stored 0.1 is shown and computed as 0.1 and not
// as 0.100000001490116; writing it back to a FLOAT column stores the same bits.
double floatValue(float f)
{
    if (!std::isfinite(f))
        return double(f);
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, f);
    double d = double(f);
    std::from_chars(buffer, written.ptr, d);
    return d;
}

// A value of type T at p in a message buffer (which need not be aligned).
template <typename T>
T load(const unsigned char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int typeCodeOf(unsigned sqlType)
{
    switch (sqlType) {
    case SQL_SHORT: return TypeSmallint;
    case SQL_LONG: return TypeInteger;
    case SQL_FLOAT: return TypeFloat;
    case SQL_TYPE_DATE: return TypeDate;
    case SQL_TYPE_TIME: return TypeTime;
    case SQL_TEXT: return TypeChar;
    case SQL_INT64: return TypeBigint;
    case SQL_BOOLEAN: return TypeBoolean;
    case SQL_DOUBLE: return TypeDouble;
    case SQL_D_FLOAT: return TypeDouble;
    case SQL_TIMESTAMP: return TypeTimestamp;
    case SQL_VARYING: return TypeVarchar;
    case SQL_BLOB: return TypeBlob;
    default: return 0;
    }
}

constexpr qint64 kPow10[] = {1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL,
                             100000000LL, 1000000000LL, 10000000000LL, 100000000000LL,
                             1000000000000LL, 10000000000000LL, 100000000000000LL,
                             1000000000000000LL, 10000000000000000LL, 100000000000000000LL,
                             1000000000000000000LL};

QDate decodeDate(ISC_DATE d)
{
    unsigned y = 0, m = 0, day = 0;
    util()->decodeDate(d, &y, &m, &day);
    return QDate(int(y), int(m), int(day));
}

QTime decodeTime(ISC_TIME t)
{
    unsigned h = 0, m = 0, s = 0, f = 0;
    util()->decodeTime(t, &h, &m, &s, &f);
    return QTime(int(h), int(m), int(s), int(f / 10));
}

} // namespace

Column describe(Firebird::IMessageMetadata *meta, unsigned i)
{
    Status st;
    Column c;
    c.name = QString::fromLatin1(meta->getField(&st, i));
    c.relation = QString::fromLatin1(meta->getRelation(&st, i));
    c.alias = QString::fromLatin1(meta->getAlias(&st, i));
    c.sqlType = int(meta->getType(&st, i) & ~1u);
    c.subType = meta->getSubType(&st, i);
    c.scale = -meta->getScale(&st, i);
    c.length = int(meta->getLength(&st, i));
    c.charSet = int(meta->getCharSet(&st, i));
    c.nullable = meta->isNullable(&st, i);
    st.check();
    c.typeCode = typeCodeOf(unsigned(c.sqlType));
    switch (c.sqlType) {
    case SQL_SHORT: c.precision = 4; break;
    case SQL_LONG: c.precision = 9; break;
    case SQL_INT64: c.precision = 18; break;
    case SQL_FLOAT: c.precision = 7; break;
    case SQL_DOUBLE: c.precision = 15; break;
    default: c.precision = c.length; break;
    }
    return c;
}

RowLayout::RowLayout(Ref<Firebird::IMessageMetadata> m)
    : meta(std::move(m))
{
    Status st;
    const unsigned count = meta->getCount(&st);
    st.check();
    columns.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        columns.push_back(describe(meta.get(), i));
        offsets.push_back(meta->getOffset(&st, i));
        nullOffsets.push_back(meta->getNullOffset(&st, i));
    }
    length = meta->getMessageLength(&st);
    st.check();
}

RowLayout::~RowLayout() = default;

int RowLayout::indexOf(const QString &name) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].alias.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

FieldValue RowLayout::value(const unsigned char *buffer, int i, AttachmentImpl *att, TransactionImpl *tra) const
{
    if (isNull(buffer, i))
        return std::nullopt;
    const Column &c = columns[size_t(i)];
    const unsigned char *p = buffer + offsets[size_t(i)];
    auto integer = [&](qint64 v) -> Value {
        if (c.scale > 0)
            return Decimal{v, c.scale};
        if (c.scale < 0)
            return qint64(v * kPow10[std::min(-c.scale, 18)]);
        return v;
    };
    switch (c.sqlType) {
    case SQL_SHORT:
        return integer(load<ISC_SHORT>(p));
    case SQL_LONG:
        return integer(load<ISC_LONG>(p));
    case SQL_INT64:
        return integer(load<ISC_INT64>(p));
    case SQL_FLOAT:
        return floatValue(load<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(p);
    case SQL_BOOLEAN:
        return *p != 0;
    case SQL_TYPE_DATE:
        return decodeDate(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return decodeTime(load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto v = load<ISC_TIMESTAMP>(p);
        return QDateTime(decodeDate(v.timestamp_date), decodeTime(v.timestamp_time));
    }
    case SQL_TEXT:
        if (c.charSet == 1) // OCTETS
            return QByteArray(reinterpret_cast<const char *>(p), c.length);
        return core::fromCp1252(std::string_view(reinterpret_cast<const char *>(p), size_t(c.length)));
    case SQL_VARYING: {
        const auto len = load<unsigned short>(p);
        const char *text = reinterpret_cast<const char *>(p + 2);
        if (c.charSet == 1)
            return QByteArray(text, len);
        return core::fromCp1252(std::string_view(text, len));
    }
    case SQL_BLOB: {
        const auto id = load<ISC_QUAD>(p);
        QByteArray data = readBlob(att, tra, id);
        if (c.subType == 1)
            return core::fromCp1252(data);
        return data;
    }
    default:
        throw Error(QStringLiteral("Tipo di campo non gestito: %1").arg(c.sqlType));
    }
}

QString RowLayout::text(const unsigned char *buffer, int i, AttachmentImpl *att, TransactionImpl *tra) const
{
    if (isNull(buffer, i))
        return QString();
    const Column &c = columns[size_t(i)];
    const unsigned char *p = buffer + offsets[size_t(i)];
    // Text columns are the common case of every listing: decode in place.
    if (c.sqlType == SQL_VARYING && c.charSet != 1) {
        const auto len = load<unsigned short>(p);
        return core::fromCp1252(std::string_view(reinterpret_cast<const char *>(p + 2), len));
    }
    if (c.sqlType == SQL_TEXT && c.charSet != 1)
        return core::fromCp1252(std::string_view(reinterpret_cast<const char *>(p), size_t(c.length)));
    // Integers and exact decimals straight from the buffer.
    auto integerText = [&](qint64 v) {
        if (c.scale > 0)
            return core::scaledText(v, c.scale);
        return c.scale == 0 ? core::integerText(v) : toText(value(buffer, i, att, tra));
    };
    switch (c.sqlType) {
    case SQL_LONG:
        return integerText(load<ISC_LONG>(p));
    case SQL_INT64:
        return integerText(load<ISC_INT64>(p));
    case SQL_TYPE_DATE:
        return core::dateText(decodeDate(load<ISC_DATE>(p)));
    default:
        return toText(value(buffer, i, att, tra));
    }
}

} // namespace detail
} // namespace vardof::db
