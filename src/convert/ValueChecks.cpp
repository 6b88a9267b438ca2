#include "convert/ValueChecks.h"

#include <QDate>

namespace vardof::convert {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads up to `maxDigits` digits at `pos`; the count read goes to *count.
int readNumber(std::string_view s, size_t &pos, size_t maxDigits, size_t *count)
{
    int value = 0;
    size_t n = 0;
    while (pos < s.size() && n < maxDigits && isDigit(s[pos])) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++n;
    }
    *count = n;
    return value;
}

} // namespace

bool isNumber(std::string_view s)
{
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == ',') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t exponent = 0;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++exponent;
        }
        if (exponent == 0 || exponent > 4)
            return false;
    }
    return i == n;
}

bool isDate(std::string_view s)
{
    size_t pos = 0;
    size_t count = 0;
    const int day = readNumber(s, pos, 2, &count);
    if (count == 0 || pos >= s.size())
        return false;
    const char separator = s[pos];
    if (separator != '/' && separator != '.' && separator != '-')
        return false;
    ++pos;
    const int month = readNumber(s, pos, 2, &count);
    if (count == 0 || pos >= s.size() || s[pos] != separator)
        return false;
    ++pos;
    int year = readNumber(s, pos, 4, &count);
    if (pos != s.size() || (count != 2 && count != 4))
        return false;
    if (count == 2)
        year += year < 50 ? 2000 : 1900;
    return QDate::isValid(year, month, day);
}

} // namespace vardof::convert
