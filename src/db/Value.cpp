#include "db/Value.h"

#include "core/CellFormat.h"

#include <cmath>

namespace vardof::db {

double Decimal::toDouble() const
{
    return double(units) / std::pow(10.0, scale);
}

QString Decimal::toString(QChar decimalSeparator) const
{
    return core::scaledText(units, scale, decimalSeparator);
}

QString toText(const Value &value)
{
    struct Visitor
    {
        QString operator()(bool b) const { return core::booleanText(b); }
        QString operator()(qint64 i) const { return core::integerText(i); }
        QString operator()(double d) const { return core::numberText(d); }
        QString operator()(const Decimal &d) const { return core::scaledText(d.units, d.scale); }
        QString operator()(const QString &s) const { return s; }
        QString operator()(const QDate &d) const { return core::dateText(d); }
        QString operator()(const QTime &t) const { return core::timeText(t); }
        QString operator()(const QDateTime &t) const { return core::timestampText(t); }
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
