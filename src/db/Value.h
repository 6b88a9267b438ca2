#pragma once

// Values that cross the connection. A NULL is an empty FieldValue; a
// present value holds the type the column has (exact decimals stay exact).

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>
#include <variant>

namespace vardof::db {

// An exact decimal: value = units / 10^scale (scale >= 0 digits after the point).
struct Decimal
{
    qint64 units = 0;
    int scale = 0;

    double toDouble() const;
    // "12.50" with '.', or with the separator given ("12,50").
    QString toString(QChar decimalSeparator = QLatin1Char('.')) const;
    friend bool operator==(const Decimal &a, const Decimal &b) = default;
};

using Value = std::variant<bool, qint64, double, Decimal, QString, QDate, QTime, QDateTime, QByteArray>;
using FieldValue = std::optional<Value>;

// The text a person sees for a value, wherever it is shown (grid, record
// face, export, log line): each kind goes to its one rule in
// platform/CellFormat.h. Decimal comma and no thousands point; an exact
// decimal keeps its scale ("12,50"); a NULL is empty; blob bytes are shown
// one byte per character.
QString toText(const Value &value);
inline QString toText(const FieldValue &value) { return value ? toText(*value) : QString(); }

// Conversions used by callers that read a value as a number whatever its
// column type; text is parsed with either decimal separator.
std::optional<double> toDouble(const Value &value);
std::optional<qint64> toInt64(const Value &value);

} // namespace vardof::db
