#pragma once

// The checks a numeric or date field of a converted file must pass, on the
// raw bytes of the value (blanks already removed). They agree with the
// library's reading of typed numbers and dates, except that a number takes
// no thousands points: "1.234" in a price list is far more often a decimal
// point than a thousands mark, and must not slip through as 1234.

#include <string_view>

namespace vardof::convert {

// Optional sign, digits with an optional decimal comma (at least one digit),
// optional exponent: "12", "-12,50", ",5", "1E3". Not "12.50", not "".
bool isNumber(std::string_view value);

// Day/month/year with '/', '.' or '-' (the same one twice), year in two or
// four digits (two digits below 50 are 20yy), and a date that exists.
bool isDate(std::string_view value);

} // namespace vardof::convert
