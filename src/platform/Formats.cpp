#include "platform/Formats.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <string>
#include <vector>

namespace vardof::platform {

namespace {

const FormatSettings kSettings{};

// A finite non-negative value as its significant digits: d1.d2d3... x 10^exponent.
struct Decimal
{
    std::string digits; // no trailing zeros; empty means zero
    int exponent = 0;

    bool isZero() const { return digits.empty(); }
};

void trimTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// A double holds 15 decimal digits reliably; taking exactly those first makes
// 1.005 behave as the 1.005 the user typed rather than 1.00499999999999989.
Decimal toDecimal(double value, int significant = 15)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0.0)
        return d;
    // Fifteen digits would round the top sliver of the range past the largest
    // double, which then no longer reads back.
    if (value > 1.79769313486231e308)
        significant = std::max(significant, 17);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                                   significant - 1);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits.push_back(text[i]);
    d.exponent = std::stoi(text.substr(e + 1));
    trimTrailingZeros(d);
    return d;
}

// Keeps `count` significant digits, rounding half away from zero.
void roundToDigits(Decimal &d, int count)
{
    if (d.isZero() || count >= int(d.digits.size()))
        return;
    if (count < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[size_t(count)] >= '5';
    d.digits.resize(size_t(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') {
            d.digits[size_t(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[size_t(i)];
        }
    }
    trimTrailingZeros(d);
}

// Keeps `decimals` digits after the decimal point.
void roundToDecimals(Decimal &d, int decimals)
{
    roundToDigits(d, d.exponent + 1 + decimals);
}

// ---- FormatFloat -----------------------------------------------------------

struct Token
{
    enum Kind { IntDigit, FracDigit, Point, Literal, Exponent } kind;
    QString text; // literal text, or "+"/"-" for the exponent sign
};

struct Section
{
    std::vector<Token> tokens;
    int intPlaces = 0;   // '0' and '#' before the point
    int minInt = 0;      // from the first '0' before the point
    int fracPlaces = 0;  // '0' and '#' after the point
    int minFrac = 0;     // up to the last '0' after the point
    bool grouping = false;
    bool scientific = false;
    int expDigits = 0;
};

QStringList splitSections(const QString &pattern)
{
    QStringList out;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            out << current;
            current.clear();
            continue;
        }
        current += c;
    }
    out << current;
    return out;
}

Section parseSection(const QString &s)
{
    Section sec;
    bool afterPoint = false;
    int firstZero = -1;
    int lastFracZero = -1;
    auto literal = [&](const QString &text) {
        if (!sec.tokens.empty() && sec.tokens.back().kind == Token::Literal)
            sec.tokens.back().text += text;
        else
            sec.tokens.push_back({Token::Literal, text});
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (sec.scientific) {
            // Everything after the exponent is literal except its digits.
            if (c == u'0' && sec.tokens.back().kind == Token::Exponent) {
                ++sec.expDigits;
                continue;
            }
        }
        if (c == u'"' || c == u'\'') {
            const qsizetype end = s.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? s.size() : end;
            literal(s.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (!sec.scientific && (c == u'0' || c == u'#')) {
            if (afterPoint) {
                if (c == u'0')
                    lastFracZero = sec.fracPlaces;
                ++sec.fracPlaces;
                sec.tokens.push_back({Token::FracDigit, {}});
            } else {
                if (c == u'0' && firstZero < 0)
                    firstZero = sec.intPlaces;
                ++sec.intPlaces;
                sec.tokens.push_back({Token::IntDigit, {}});
            }
        } else if (!sec.scientific && c == u'.' && !afterPoint) {
            afterPoint = true;
            sec.tokens.push_back({Token::Point, {}});
        } else if (!sec.scientific && c == u',') {
            if (!afterPoint)
                sec.grouping = true;
        } else if (!sec.scientific && (c == u'E' || c == u'e') && i + 1 < s.size()
                   && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
            sec.scientific = true;
            sec.tokens.push_back({Token::Exponent, QString(c) + s[i + 1]});
            ++i;
        } else {
            literal(QString(c));
        }
    }
    sec.minInt = firstZero < 0 ? 0 : sec.intPlaces - firstZero;
    sec.minFrac = lastFracZero + 1;
    return sec;
}

bool hasDigitPlaceholders(const Section &sec)
{
    return sec.intPlaces + sec.fracPlaces > 0;
}

// Formats |value| with one section; `zero` reports whether what is shown
// rounds to zero, so that the caller can switch to the zero section.
QString applySection(const Section &sec, double value, bool *zero)
{
    Decimal d = toDecimal(value);
    std::string intDigits;
    std::string fracDigits;
    QString exponentText;

    if (sec.scientific) {
        const int mantissaInt = std::max(1, sec.minInt);
        roundToDigits(d, mantissaInt + sec.fracPlaces);
        const int exp = d.isZero() ? 0 : d.exponent - (mantissaInt - 1);
        std::string all = d.digits;
        all.resize(size_t(mantissaInt + sec.fracPlaces), '0');
        intDigits = all.substr(0, size_t(mantissaInt));
        fracDigits = all.substr(size_t(mantissaInt));
        const Token &e = *std::find_if(sec.tokens.begin(), sec.tokens.end(),
                                       [](const Token &t) { return t.kind == Token::Exponent; });
        exponentText = e.text.left(1);
        if (exp < 0)
            exponentText += u'-';
        else if (e.text[1] == u'+')
            exponentText += u'+';
        exponentText += QString::number(std::abs(exp)).rightJustified(sec.expDigits, u'0');
    } else {
        roundToDecimals(d, sec.fracPlaces);
        if (!d.isZero() && d.exponent >= 0) {
            intDigits = d.digits.substr(0, std::min(d.digits.size(), size_t(d.exponent + 1)));
            intDigits.resize(size_t(d.exponent + 1), '0');
        }
        if (!d.isZero()) {
            // Digits after the point start at position exponent + 1.
            for (int pos = 0; pos < sec.fracPlaces; ++pos) {
                const int index = d.exponent + 1 + pos;
                fracDigits.push_back(index >= 0 && index < int(d.digits.size())
                                         ? d.digits[size_t(index)]
                                         : '0');
            }
        } else {
            fracDigits.assign(size_t(sec.fracPlaces), '0');
        }
    }
    *zero = d.isZero();

    if (int(intDigits.size()) < sec.minInt)
        intDigits.insert(0, size_t(sec.minInt) - intDigits.size(), '0');
    while (int(fracDigits.size()) > sec.minFrac && fracDigits.back() == '0')
        fracDigits.pop_back();

    const QChar groupSep = kSettings.thousandSeparator;
    const int intLen = int(intDigits.size());
    QString out;
    auto emitIntDigit = [&](int positionFromRight) {
        out += QLatin1Char(intDigits[size_t(intLen - positionFromRight)]);
        if (sec.grouping && positionFromRight > 1 && (positionFromRight - 1) % 3 == 0)
            out += groupSep;
    };
    // Digits beyond the placeholders go where the integer part starts.
    auto emitExcess = [&] {
        for (int p = intLen; p > sec.intPlaces; --p)
            emitIntDigit(p);
    };
    int intIndex = 0;
    int fracIndex = 0;
    for (const Token &t : sec.tokens) {
        switch (t.kind) {
        case Token::IntDigit: {
            if (intIndex == 0)
                emitExcess();
            const int p = sec.intPlaces - intIndex;
            if (p <= intLen)
                emitIntDigit(p);
            ++intIndex;
            break;
        }
        case Token::Point:
            if (sec.intPlaces == 0)
                emitExcess();
            if (!fracDigits.empty())
                out += kSettings.decimalSeparator;
            break;
        case Token::FracDigit:
            if (fracIndex < int(fracDigits.size()))
                out += QLatin1Char(fracDigits[size_t(fracIndex)]);
            ++fracIndex;
            break;
        case Token::Exponent:
            out += exponentText;
            break;
        case Token::Literal:
            out += t.text;
            break;
        }
    }
    return out;
}

// ---- parsing helpers -------------------------------------------------------

bool allDigits(QStringView s)
{
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// "1.234.567" -> "1234567" when the points separate groups of three.
std::optional<QString> ungroup(QStringView intPart)
{
    if (!intPart.contains(u'.'))
        return allDigits(intPart) ? std::optional<QString>(intPart.toString()) : std::nullopt;
    const auto groups = intPart.split(u'.');
    QString out;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView g = groups[i];
        const bool sizeOk = i == 0 ? (g.size() >= 1 && g.size() <= 3) : g.size() == 3;
        if (!sizeOk || !allDigits(g))
            return std::nullopt;
        out += g;
    }
    return out;
}

} // namespace

void setLibraryFormats()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

const FormatSettings &libraryFormats()
{
    return kSettings;
}

QString formatFloat(const QString &pattern, double value)
{
    if (pattern.isEmpty())
        return core::numberText(value);
    if (!std::isfinite(value))
        return core::numberText(value);

    const QStringList texts = splitSections(pattern);
    auto sectionText = [&](int i) { return i < texts.size() ? texts[i] : QString(); };
    const bool hasNegative = !sectionText(1).isEmpty();
    const bool hasZero = !sectionText(2).isEmpty();

    int chosen = 0;
    if (value < 0 && hasNegative)
        chosen = 1;
    else if (value == 0 && hasZero)
        chosen = 2;

    const Section sec = parseSection(texts[chosen]);
    bool zero = false;
    QString body = applySection(sec, value, &zero);
    if (chosen != 2 && zero && value != 0) {
        // Too small to show: it is a zero, not a negative amount.
        if (hasZero)
            return applySection(parseSection(texts[2]), 0.0, &zero);
        if (chosen == 1)
            return applySection(parseSection(texts[0]), 0.0, &zero);
        return body;
    }
    if (chosen == 0 && value < 0 && hasDigitPlaceholders(sec))
        body.prepend(u'-');
    return body;
}

std::optional<double> strToFloat(const QString &text, DecimalInput mode)
{
    QStringView s = QStringView(text).trimmed();
    if (s.isEmpty())
        return std::nullopt;

    std::string out;
    if (s.front() == u'+' || s.front() == u'-') {
        if (s.front() == u'-')
            out += '-';
        s = s.mid(1);
    }

    QStringView exponent;
    const qsizetype e = std::max(s.indexOf(u'e'), s.indexOf(u'E'));
    if (e >= 0) {
        exponent = s.mid(e + 1);
        s = s.left(e);
        QStringView digits = exponent;
        if (!digits.isEmpty() && (digits.front() == u'+' || digits.front() == u'-'))
            digits = digits.mid(1);
        if (digits.isEmpty() || !allDigits(digits))
            return std::nullopt;
    }

    QStringView intPart = s;
    QStringView fracPart;
    bool hasPoint = false;
    const qsizetype comma = s.indexOf(u',');
    if (comma >= 0) {
        intPart = s.left(comma);
        fracPart = s.mid(comma + 1);
        hasPoint = true;
    } else if (mode == DecimalInput::CommaOrPoint && s.count(u'.') == 1) {
        const qsizetype point = s.indexOf(u'.');
        intPart = s.left(point);
        fracPart = s.mid(point + 1);
        hasPoint = true;
    }
    if (!allDigits(fracPart))
        return std::nullopt;
    std::optional<QString> digits = ungroup(intPart);
    if (!digits || (digits->isEmpty() && fracPart.isEmpty()))
        return std::nullopt;

    out += digits->isEmpty() ? std::string("0") : digits->toStdString();
    if (hasPoint && !fracPart.isEmpty()) {
        out += '.';
        out += fracPart.toString().toStdString();
    }
    if (!exponent.isEmpty()) {
        out += 'e';
        out += exponent.toString().toStdString();
    }

    double result = 0;
    const auto res = std::from_chars(out.data(), out.data() + out.size(), result);
    if (res.ec != std::errc() || res.ptr != out.data() + out.size())
        return std::nullopt;
    return result;
}

std::optional<qint64> strToInt64(const QString &text)
{
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return std::nullopt;
    // Digits only: QString::toULongLong would accept blanks and a sign here.
    for (QChar c : s) {
        const bool decimal = c >= u'0' && c <= u'9';
        const bool hex = decimal || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!(base == 10 ? decimal : hex))
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = s.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    constexpr qulonglong maxPositive = qulonglong(std::numeric_limits<qint64>::max());
    if (negative) {
        if (magnitude > maxPositive + 1)
            return std::nullopt;
        return magnitude == maxPositive + 1 ? std::numeric_limits<qint64>::min()
                                            : -qint64(magnitude);
    }
    if (magnitude > maxPositive)
        return std::nullopt;
    return qint64(magnitude);
}

std::optional<int> strToInt(const QString &text)
{
    const auto v = strToInt64(text);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*v);
}

std::optional<QDate> strToDate(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{2}|\\d{4})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int day = m.captured(1).toInt();
    const int month = m.captured(3).toInt();
    int year = m.captured(4).toInt();
    if (m.capturedLength(4) == 2)
        year += year < 50 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> strToTime(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int seconds = m.capturedLength(3) > 0 ? m.captured(3).toInt() : 0;
    const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), seconds);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> strToDateTime(const QString &text)
{
    const QString s = text.trimmed();
    const qsizetype blank = s.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const auto date = strToDate(blank < 0 ? s : s.left(blank));
    if (!date)
        return std::nullopt;
    if (blank < 0)
        return QDateTime(*date, QTime(0, 0));
    const auto time = strToTime(s.mid(blank + 1));
    if (!time)
        return std::nullopt;
    return QDateTime(*date, *time);
}

} // namespace vardof::platform
