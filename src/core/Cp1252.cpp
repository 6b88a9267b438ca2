#include "core/Cp1252.h"

namespace vardof::core {

namespace {

// 0x80..0x9F; the undefined positions keep their C1 value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

inline int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

QString fromCp1252(std::string_view bytes)
{
    // Most text has no byte in 0x80..0x9F, where CP1252 and Latin-1 differ:
    // then Qt's vectorised Latin-1 conversion is exact.
    bool latin1 = true;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0) {
            latin1 = false;
            break;
        }
    }
    if (latin1)
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *d = out.data();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

void appendCp1252(const QString &text, QByteArray &out, bool *lossy)
{
    const qsizetype start = out.size();
    bool latin1 = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0xFF || (u >= 0x80 && u < 0xA0)) {
            latin1 = false;
            break;
        }
    }
    if (latin1) {
        // Same bytes as Latin-1: let Qt's vectorised conversion do it.
        if (start == 0) {
            out = text.toLatin1();
        } else {
            out.append(text.toLatin1());
        }
        return;
    }
    out.resize(start + text.size());
    char *d = out.data() + start;
    const QChar *s = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int e = encodeChar(s[i].unicode());
        if (e < 0) {
            d[i] = '?';
            if (lossy)
                *lossy = true;
        } else {
            d[i] = char(e);
        }
    }
}

QByteArray toCp1252(const QString &text, bool *lossy)
{
    QByteArray out;
    appendCp1252(text, out, lossy);
    return out;
}

bool isCp1252(const QString &text)
{
    for (QChar c : text)
        if (encodeChar(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace vardof::core
