#pragma once

// Number and date text as the office staff type and read it: decimal comma,
// thousands point, day/month/year. Every conversion here is pure and uses the
// library's fixed settings, never the machine's regional options, so that a
// file written on one PC reads back the same on another.

#include "core/CellFormat.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace vardof::platform {

struct FormatSettings
{
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char('.');
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    // Delphi-style patterns: 'nn' is minutes.
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
};

// Makes the process agree with the library: sets the default QLocale to
// Italian so that Qt widgets (spin boxes, validators) use the same separators.
// Safe to call any number of times.
void setLibraryFormats();

const FormatSettings &libraryFormats();
inline QChar decimalSeparator() { return libraryFormats().decimalSeparator; }
inline QChar thousandSeparator() { return libraryFormats().thousandSeparator; }
inline QString shortDateFormat() { return libraryFormats().shortDateFormat; }
inline QString longTimeFormat() { return libraryFormats().longTimeFormat; }

// ---- numbers ---------------------------------------------------------------

// The cell rule of CellFormat.h under its Delphi name: 12.5 -> "12,5",
// 1e-5 -> "0,00001", 1e20 -> "1E20", 1e-7 -> "1E-7".
inline QString floatToStr(double value) { return core::numberText(value); }

// Delphi FormatFloat patterns: '0' (digit, always shown), '#' (digit when
// significant), '.' (decimal separator), ',' (thousands grouping anywhere in
// the integer part), "E+00"/"E-00" (scientific), '...' or "..." (literal
// text), up to three ';'-separated sections for positive;negative;zero.
// Rounds half away from zero. An empty pattern behaves like floatToStr.
QString formatFloat(const QString &pattern, double value);

enum class DecimalInput {
    CommaOnly,    // "12,5" and "1.234,5"; "12.5" is rejected
    CommaOrPoint, // also "12.5": a lone point is taken as the decimal point
};

// Accepts an optional sign, thousands points in groups of three, a decimal
// comma, an optional exponent and surrounding blanks. nullopt on anything else.
std::optional<double> strToFloat(const QString &text,
                                 DecimalInput mode = DecimalInput::CommaOnly);

inline QString intToStr(qint64 value) { return core::integerText(value); }
// Optional sign, decimal digits, surrounding blanks; "$1F" as hex like Delphi.
std::optional<int> strToInt(const QString &text);
std::optional<qint64> strToInt64(const QString &text);

// ---- dates and times -------------------------------------------------------

// d/m/yy or d/m/yyyy with '/', '.' or '-' (the same one twice). A two-digit
// year below 50 is 20yy, otherwise 19yy, whatever today's date is, so that
// the same text always gives the same date. Impossible dates are rejected.
std::optional<QDate> strToDate(const QString &text);
// h:m or h:m:s, 24-hour.
std::optional<QTime> strToTime(const QString &text);
// A date, optionally followed by blanks and a time.
std::optional<QDateTime> strToDateTime(const QString &text);

// The cell rules of CellFormat.h under their Delphi names.
inline QString dateToStr(const QDate &date) { return core::dateText(date); }             // "dd/MM/yyyy"
inline QString timeToStr(const QTime &time) { return core::timeText(time); }             // "hh:mm:ss"
inline QString dateTimeToStr(const QDateTime &dateTime) { return core::timestampText(dateTime); }

} // namespace vardof::platform
