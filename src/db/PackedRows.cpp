#include "db/PackedRows.h"

#include "db/ResultSet.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vardof::db {

namespace {

constexpr size_t kBlocco = size_t(1) << 20;

enum Tag : quint8 { TNull, TFalse, TTrue, TInt, TDouble, TDecimal, TText, TDate, TTime, TDateTime, TBytes };

constexpr qint64 kDataNonValida = std::numeric_limits<qint64>::min() / 2;

void putVarint(QByteArray &b, quint64 v)
{
    while (v >= 0x80) {
        b.append(char(quint8(v) | 0x80));
        v >>= 7;
    }
    b.append(char(quint8(v)));
}

quint64 getVarint(const char *&p)
{
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        const quint8 c = quint8(*p++);
        v |= quint64(c & 0x7f) << shift;
        if (!(c & 0x80))
            return v;
        shift += 7;
    }
}

quint64 zig(qint64 v)
{
    return (quint64(v) << 1) ^ quint64(v >> 63);
}

qint64 unzig(quint64 v)
{
    return qint64(v >> 1) ^ -qint64(v & 1);
}

void putBytes(QByteArray &b, const QByteArray &bytes)
{
    putVarint(b, quint64(bytes.size()));
    b.append(bytes);
}

void encode(QByteArray &b, const FieldValue &fv)
{
    if (!fv) {
        b.append(char(TNull));
        return;
    }
    std::visit(
        [&b](const auto &v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                b.append(char(v ? TTrue : TFalse));
            } else if constexpr (std::is_same_v<T, qint64>) {
                b.append(char(TInt));
                putVarint(b, zig(v));
            } else if constexpr (std::is_same_v<T, double>) {
                b.append(char(TDouble));
                char raw[sizeof(double)];
                std::memcpy(raw, &v, sizeof raw);
                b.append(raw, sizeof raw);
            } else if constexpr (std::is_same_v<T, Decimal>) {
                b.append(char(TDecimal));
                putVarint(b, zig(v.units));
                putVarint(b, quint64(v.scale));
            } else if constexpr (std::is_same_v<T, QString>) {
                b.append(char(TText));
                putBytes(b, v.toUtf8());
            } else if constexpr (std::is_same_v<T, QDate>) {
                b.append(char(TDate));
                putVarint(b, zig(v.isValid() ? v.toJulianDay() : kDataNonValida));
            } else if constexpr (std::is_same_v<T, QTime>) {
                b.append(char(TTime));
                putVarint(b, v.isValid() ? quint64(v.msecsSinceStartOfDay()) + 1 : 0);
            } else if constexpr (std::is_same_v<T, QDateTime>) {
                b.append(char(TDateTime));
                const QDate d = v.date();
                putVarint(b, zig(d.isValid() ? d.toJulianDay() : kDataNonValida));
                putVarint(b, v.time().isValid() ? quint64(v.time().msecsSinceStartOfDay()) + 1 : 0);
            } else if constexpr (std::is_same_v<T, QByteArray>) {
                b.append(char(TBytes));
                putBytes(b, v);
            }
        },
        *fv);
}

QDate dateFrom(qint64 jd)
{
    return jd == kDataNonValida ? QDate() : QDate::fromJulianDay(jd);
}

QTime timeFrom(quint64 v)
{
    return v == 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(int(v - 1));
}

FieldValue decode(const char *&p)
{
    const quint8 tag = quint8(*p++);
    switch (tag) {
    case TFalse:
        return Value(false);
    case TTrue:
        return Value(true);
    case TInt:
        return Value(unzig(getVarint(p)));
    case TDouble: {
        double d;
        std::memcpy(&d, p, sizeof d);
        p += sizeof d;
        return Value(d);
    }
    case TDecimal: {
        Decimal d;
        d.units = unzig(getVarint(p));
        d.scale = int(getVarint(p));
        return Value(d);
    }
    case TText: {
        const auto n = qsizetype(getVarint(p));
        const QString s = QString::fromUtf8(p, n);
        p += n;
        return Value(s);
    }
    case TDate:
        return Value(dateFrom(unzig(getVarint(p))));
    case TTime:
        return Value(timeFrom(getVarint(p)));
    case TDateTime: {
        const QDate d = dateFrom(unzig(getVarint(p)));
        const QTime t = timeFrom(getVarint(p));
        return Value(QDateTime(d, t));
    }
    case TBytes: {
        const auto n = qsizetype(getVarint(p));
        QByteArray b(p, n);
        p += n;
        return Value(b);
    }
    default:
        return std::nullopt;
    }
}

void skip(const char *&p)
{
    const quint8 tag = quint8(*p++);
    switch (tag) {
    case TInt:
    case TDate:
    case TTime:
        getVarint(p);
        break;
    case TDecimal:
    case TDateTime:
        getVarint(p);
        getVarint(p);
        break;
    case TDouble:
        p += sizeof(double);
        break;
    case TText:
    case TBytes: {
        const auto n = getVarint(p);
        p += n;
        break;
    }
    default:
        break;
    }
}

} // namespace

PackedRows::PackedRows() = default;
PackedRows::~PackedRows() = default;
PackedRows::PackedRows(PackedRows &&) noexcept = default;
PackedRows &PackedRows::operator=(PackedRows &&) noexcept = default;

void PackedRows::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_blocks.clear();
    m_used = 0;
    m_blockSize = 0;
}

void PackedRows::append(const std::vector<FieldValue> &row)
{
    QByteArray packed;
    for (const FieldValue &v : row)
        encode(packed, v);
    appendPacked(packed);
}

void PackedRows::append(const ResultSet &cursor)
{
    QByteArray packed;
    for (int i = 0; i < cursor.columnCount(); ++i)
        encode(packed, cursor.value(i));
    appendPacked(packed);
}

void PackedRows::appendPacked(const QByteArray &packed)
{
    const size_t n = size_t(packed.size());
    if (m_blocks.empty() || m_used + n > m_blockSize) {
        m_blockSize = std::max(kBlocco, n);
        // Not zero-filled: every byte handed out is written first.
        m_blocks.push_back(std::unique_ptr<char[]>(new char[m_blockSize]));
        m_used = 0;
    }
    std::memcpy(m_blocks.back().get() + m_used, packed.constData(), n);
    m_rows.push_back((quint64(m_blocks.size() - 1) << 32) | quint64(m_used));
    m_used += n;
}

const char *PackedRows::data(int row) const
{
    const quint64 ref = m_rows.at(size_t(row));
    return m_blocks[size_t(ref >> 32)].get() + (ref & 0xffffffffu);
}

FieldValue PackedRows::value(int row, int column) const
{
    const char *p = data(row);
    for (int i = 0; i < column; ++i)
        skip(p);
    return decode(p);
}

std::vector<FieldValue> PackedRows::row(int row, int columns) const
{
    std::vector<FieldValue> values;
    const char *p = data(row);
    for (int i = 0; i < columns; ++i)
        values.push_back(decode(p));
    return values;
}

size_t PackedRows::bytes() const
{
    return m_blocks.size() * kBlocco + m_rows.capacity() * sizeof(quint64);
}

} // namespace vardof::db
