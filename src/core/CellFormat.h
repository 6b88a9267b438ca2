#pragma once

// The one way a value becomes text for a person: grid cells, the single-record
// face, exports, log and command-line lines. Every value kind has exactly one
// rule here; the connection layer's toText() picks the rule by kind, and the
// Delphi-named helpers of Formats.h are the same functions under their old
// names. Pure functions over QtCore only, fixed library settings (decimal
// comma, dd/MM/yyyy), never the machine's regional options.
//
// No thousands point here: cell text is also read back (INI values, SQL
// literals made by replacing the comma) and a grouped number would not
// survive that. Grouped display is asked for explicitly with formatFloat().

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace vardof::core {

// Floating point (FLOAT, DOUBLE PRECISION, computed columns):
// - 15 significant digits, the most a double holds reliably, trailing zeros
//   dropped: 0.1 + 0.2 -> "0,3", 1/3 -> "0,333333333333333";
// - plain digits with a decimal comma while 0,00001 <= |value| < 10^15:
//   1e-5 -> "0,00001", 123456789012345 -> "123456789012345";
// - outside that range a mantissa and "E" with the exponent unpadded, so a
//   value never turns into a screenful of zeros and no magnitude is lost:
//   1e-6 -> "1E-6", 1e-30 -> "1E-30", 1,5e20 -> "1,5E20", 1e300 -> "1E300",
//   the largest double -> "1,7976931348623157E308" (seventeen digits only
//   there, where fifteen would round past what a double can hold);
// - zero of either sign -> "0"; NaN -> "NAN"; infinities -> "INF", "-INF".
// The text reads back through strToFloat().
QString numberText(double value);

// Integers of every width: plain digits with a minus sign, no grouping.
QString integerText(qint64 value);

// Exact decimals (NUMERIC/DECIMAL): units / 10^scale with exactly `scale`
// digits after the comma, as the column declares them: (1250, 2) -> "12,50",
// (-5, 2) -> "-0,05", (0, 3) -> "0,000". A scale of zero is an integer; a
// negative scale multiplies by ten per step ((12, -2) -> "1200"). The whole
// INT64 range is exact, INT64_MIN included.
QString scaledText(qint64 units, int scale, QChar decimalSeparator = QLatin1Char(','));

// "dd/MM/yyyy"; empty for an invalid date.
QString dateText(const QDate &date);
// "hh:mm:ss". Fractions of a second are not shown and never round up:
// 23:59:59,999 shows "23:59:59", not the next day. Empty for an invalid time.
QString timeText(const QTime &time);
// "dd/MM/yyyy hh:mm:ss", or the date alone when the time is exactly midnight
// (a DATE stored in a TIMESTAMP column). Empty for an invalid timestamp.
QString timestampText(const QDateTime &timestamp);

// "True" / "False", as the library has always shown a boolean column.
QString booleanText(bool value);

} // namespace vardof::core
