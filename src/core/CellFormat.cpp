#include "core/CellFormat.h"

#include <charconv>
#include <cmath>

namespace vardof::core {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kFixedFromExponent = -5; // 0,00001
constexpr int kFixedBelowExponent = 15; // 10^15

} // namespace

QString numberText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0) // also -0.0: a sign on nothing reads as an amount
        return QStringLiteral("0");

    // Rounded to 15 significant digits first, so that 1.005 is the 1.005 the
    // user typed and 0.1 + 0.2 is 0.3; the exponent is that of the rounded
    // value (9.999999999999999e14 becomes 1E15).
    // Only the top sliver of the range would round past the largest double and
    // no longer read back; it keeps all seventeen digits instead.
    const int significant = std::fabs(value) > 1.79769313486231e308 ? 17 : kSignificantDigits;
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, significant - 1);
    const char *e = buffer;
    while (e < res.ptr && *e != 'e')
        ++e;
    QByteArray digits;
    for (const char *p = buffer; p < e; ++p)
        if (*p != '.')
            digits += *p;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    int exponent = 0;
    const char *expText = e + 1 < res.ptr && e[1] == '+' ? e + 2 : e + 1;
    std::from_chars(expText, res.ptr, exponent);
    const int n = int(digits.size());

    QString out;
    if (value < 0)
        out += QLatin1Char('-');
    if (exponent < kFixedFromExponent || exponent >= kFixedBelowExponent) {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += QLatin1Char(',');
            out += QLatin1String(digits.constData() + 1, n - 1);
        }
        out += QLatin1Char('E');
        out += QString::number(exponent);
        return out;
    }
    if (exponent < 0) {
        out += QLatin1String("0,");
        out += QString(-exponent - 1, QLatin1Char('0'));
        out += QLatin1String(digits);
        return out;
    }
    const int intLen = exponent + 1;
    for (int i = 0; i < intLen; ++i)
        out += QLatin1Char(i < n ? digits[i] : '0');
    if (n > intLen) {
        out += QLatin1Char(',');
        out += QLatin1String(digits.constData() + intLen, n - intLen);
    }
    return out;
}

QString integerText(qint64 value)
{
    return QString::number(value);
}

QString scaledText(qint64 units, int scale, QChar decimalSeparator)
{
    const bool negative = units < 0;
    // Work on the magnitude as unsigned so INT64_MIN does not overflow.
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    QString digits = QString::number(magnitude);
    if (scale < 0 && magnitude != 0) {
        digits += QString(-scale, QLatin1Char('0'));
    } else if (scale > 0) {
        if (digits.size() <= scale)
            digits = QString(scale - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - scale, decimalSeparator);
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString timeText(const QTime &time)
{
    // QTime::toString truncates the milliseconds it is not asked for.
    return time.isValid() ? time.toString(QStringLiteral("hh:mm:ss")) : QString();
}

QString timestampText(const QDateTime &timestamp)
{
    if (!timestamp.isValid())
        return QString();
    const QTime time = timestamp.time();
    if (time.msecsSinceStartOfDay() == 0)
        return dateText(timestamp.date());
    return dateText(timestamp.date()) + QLatin1Char(' ') + timeText(time);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace vardof::core
