#include "db/Value.h"

#include <charconv>
#include <cmath>

namespace vardof::db {

double Decimal::toDouble() const
{
    return double(units) / std::pow(10.0, scale);
}

QString Decimal::toString(QChar decimalSeparator) const
{
    if (scale <= 0)
        return QString::number(units);
    const bool negative = units < 0;
    // Work on the magnitude as unsigned so INT64_MIN does not overflow.
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    QString digits = QString::number(magnitude);
    if (digits.size() <= scale)
        digits = QString(scale - digits.size() + 1, QLatin1Char('0')) + digits;
    digits.insert(digits.size() - scale, decimalSeparator);
    return negative ? QLatin1Char('-') + digits : digits;
}

QString formatDouble(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    // Fifteen significant digits, as the library has always shown doubles:
    // 0.1 + 0.2 reads 0,3 rather than 0,30000000000000004.
    char buffer[64];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, res.ptr - buffer);
    if (text.contains(QLatin1Char('e'))) {
        text.replace(QLatin1Char('e'), QLatin1Char('E'));
        text.replace(QLatin1String("E+"), QLatin1String("E"));
    }
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

QString formatDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString formatTime(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

QString formatTimestamp(const QDateTime &timestamp)
{
    const QTime t = timestamp.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0)
        return formatDate(timestamp.date());
    return formatDate(timestamp.date()) + QLatin1Char(' ') + formatTime(t);
}

QString toText(const Value &value)
{
    struct Visitor
    {
        QString operator()(bool b) const { return b ? QStringLiteral("True") : QStringLiteral("False"); }
        QString operator()(qint64 i) const { return QString::number(i); }
        QString operator()(double d) const { return formatDouble(d); }
        QString operator()(const Decimal &d) const { return d.toString(QLatin1Char(',')); }
        QString operator()(const QString &s) const { return s; }
        QString operator()(const QDate &d) const { return formatDate(d); }
        QString operator()(const QTime &t) const { return formatTime(t); }
        QString operator()(const QDateTime &t) const { return formatTimestamp(t); }
        QString operator()(const QByteArray &b) const { return QString::fromLatin1(b); }
    };
    return std::visit(Visitor{}, value);
}

namespace {
std::optional<double> parseNumber(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}
} // namespace

std::optional<double> toDouble(const Value &value)
{
    if (auto p = std::get_if<qint64>(&value))
        return double(*p);
    if (auto p = std::get_if<double>(&value))
        return *p;
    if (auto p = std::get_if<Decimal>(&value))
        return p->toDouble();
    if (auto p = std::get_if<bool>(&value))
        return *p ? 1.0 : 0.0;
    if (auto p = std::get_if<QString>(&value))
        return parseNumber(*p);
    return std::nullopt;
}

std::optional<qint64> toInt64(const Value &value)
{
    if (auto p = std::get_if<qint64>(&value))
        return *p;
    if (auto p = std::get_if<QString>(&value)) {
        bool ok = false;
        const qint64 i = p->trimmed().toLongLong(&ok);
        if (ok)
            return i;
    }
    if (auto d = toDouble(value))
        return qint64(std::llround(*d));
    return std::nullopt;
}

} // namespace vardof::db
