#include "qbe/TabRispTmp.h"

#include "db/Error.h"
#include "qbe/Interrogazione.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vardof::qbe {

namespace {

constexpr size_t kBlocco = size_t(1) << 20;

enum Tag : quint8 { TNull, TFalse, TTrue, TInt, TDouble, TDecimal, TText, TDate, TTime, TDateTime, TBytes };

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

void encode(QByteArray &b, const db::FieldValue &fv)
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
            } else if constexpr (std::is_same_v<T, db::Decimal>) {
                b.append(char(TDecimal));
                putVarint(b, zig(v.units));
                putVarint(b, quint64(v.scale));
            } else if constexpr (std::is_same_v<T, QString>) {
                b.append(char(TText));
                putBytes(b, v.toUtf8());
            } else if constexpr (std::is_same_v<T, QDate>) {
                b.append(char(TDate));
                putVarint(b, zig(v.isValid() ? v.toJulianDay() : std::numeric_limits<qint64>::min() / 2));
            } else if constexpr (std::is_same_v<T, QTime>) {
                b.append(char(TTime));
                putVarint(b, v.isValid() ? quint64(v.msecsSinceStartOfDay()) + 1 : 0);
            } else if constexpr (std::is_same_v<T, QDateTime>) {
                b.append(char(TDateTime));
                const QDate d = v.date();
                putVarint(b, zig(d.isValid() ? d.toJulianDay() : std::numeric_limits<qint64>::min() / 2));
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
    return jd == std::numeric_limits<qint64>::min() / 2 ? QDate() : QDate::fromJulianDay(jd);
}

QTime timeFrom(quint64 v)
{
    return v == 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(int(v - 1));
}

db::FieldValue decode(const char *&p)
{
    const quint8 tag = quint8(*p++);
    switch (tag) {
    case TFalse:
        return db::Value(false);
    case TTrue:
        return db::Value(true);
    case TInt:
        return db::Value(unzig(getVarint(p)));
    case TDouble: {
        double d;
        std::memcpy(&d, p, sizeof d);
        p += sizeof d;
        return db::Value(d);
    }
    case TDecimal: {
        db::Decimal d;
        d.units = unzig(getVarint(p));
        d.scale = int(getVarint(p));
        return db::Value(d);
    }
    case TText: {
        const auto n = qsizetype(getVarint(p));
        const QString s = QString::fromUtf8(p, n);
        p += n;
        return db::Value(s);
    }
    case TDate:
        return db::Value(dateFrom(unzig(getVarint(p))));
    case TTime:
        return db::Value(timeFrom(getVarint(p)));
    case TDateTime: {
        const QDate d = dateFrom(unzig(getVarint(p)));
        const QTime t = timeFrom(getVarint(p));
        return db::Value(QDateTime(d, t));
    }
    case TBytes: {
        const auto n = qsizetype(getVarint(p));
        QByteArray b(p, n);
        p += n;
        return db::Value(b);
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

TabRispTmp::TabRispTmp() = default;

TabRispTmp::~TabRispTmp()
{
    close();
}

void TabRispTmp::attach(db::Attachment &att, db::Transaction &tra)
{
    close();
    m_att = &att;
    m_tra = &tra;
}

void TabRispTmp::open()
{
    close();
    if (!m_att || !m_tra)
        throw db::Error(QStringLiteral("La risposta non è collegata a un database"));
    try {
        m_statement = std::make_unique<db::Statement>(*m_att, *m_tra, testo(), db::ParamStyle::AsWritten);
        m_cursor = m_statement->open();
        m_columns = m_cursor.columns();
        m_open = true;
        m_atEnd = false;
    } catch (...) {
        close();
        throw;
    }
}

void TabRispTmp::close() noexcept
{
    m_cursor.close();
    if (m_statement) {
        m_statement->close();
        m_statement.reset();
    }
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_blocks.clear();
    m_blockUsed = 0;
    m_blockSize = 0;
    m_columns.clear();
    m_open = false;
    m_atEnd = true;
}

void TabRispTmp::reopen()
{
    open();
}

QString TabRispTmp::nomeColonna(int column) const
{
    const db::Column &c = m_columns.at(size_t(column));
    return c.alias.isEmpty() ? c.name : c.alias;
}

int TabRispTmp::indexOfColonna(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (nomeColonna(i) == name)
            return i;
    return -1;
}

TipoCampo TabRispTmp::tipoColonna(int column) const
{
    return classeCampo(m_columns.at(size_t(column)));
}

int TabRispTmp::fetchMore(int count)
{
    if (!m_open || m_atEnd)
        return 0;
    int added = 0;
    QByteArray packed;
    try {
        while (added < count) {
            if (!m_cursor.next()) {
                m_atEnd = true;
                break;
            }
            packed.clear();
            for (int i = 0; i < columnCount(); ++i)
                encode(packed, m_cursor.value(i));
            appendRow(packed);
            ++added;
        }
    } catch (...) {
        close();
        throw;
    }
    return added;
}

void TabRispTmp::fetchAll()
{
    while (m_open && !m_atEnd)
        fetchMore(4096);
}

void TabRispTmp::appendRow(const QByteArray &packed)
{
    const size_t n = size_t(packed.size());
    if (m_blocks.empty() || m_blockUsed + n > m_blockSize) {
        m_blockSize = std::max(kBlocco, n);
        // Not zero-filled: every byte handed out is written first.
        m_blocks.push_back(std::unique_ptr<char[]>(new char[m_blockSize]));
        m_blockUsed = 0;
    }
    std::memcpy(m_blocks.back().get() + m_blockUsed, packed.constData(), n);
    m_rows.push_back((quint64(m_blocks.size() - 1) << 32) | quint64(m_blockUsed));
    m_blockUsed += n;
}

const char *TabRispTmp::rowData(int row) const
{
    const quint64 ref = m_rows.at(size_t(row));
    return m_blocks[size_t(ref >> 32)].get() + (ref & 0xffffffffu);
}

db::FieldValue TabRispTmp::value(int row, int column) const
{
    if (column < 0 || column >= columnCount())
        throw std::out_of_range("TabRispTmp::value");
    const char *p = rowData(row);
    for (int i = 0; i < column; ++i)
        skip(p);
    return decode(p);
}

QString TabRispTmp::text(int row, int column) const
{
    return db::toText(value(row, column));
}

} // namespace vardof::qbe
