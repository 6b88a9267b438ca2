#include "platform/Formats.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vardof::platform;

namespace {

// ---- formatFloat -----------------------------------------------------------

struct FormatCase
{
    const char *pattern;
    double value;
    const char *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << "formatFloat(\"" << c.pattern << "\", " << c.value << ")";
}

class FormatFloatTest : public testing::TestWithParam<FormatCase>
{};

TEST_P(FormatFloatTest, Formats)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(formatFloat(QString::fromUtf8(c.pattern), c.value), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Digits, FormatFloatTest,
    testing::Values(FormatCase{"#0.00", 1234.5, "1234,50"},
                    FormatCase{"0.##", 2.5, "2,5"},
                    FormatCase{"0.##", 2.0, "2"},
                    FormatCase{"0.0#", 2.0, "2,0"},
                    FormatCase{"#", 0.0, ""},
                    FormatCase{"#.##", 0.5, ",5"},
                    FormatCase{"0.##", 0.5, "0,5"},
                    FormatCase{".00", 12.5, "12,50"},
                    FormatCase{"000", 7.0, "007"},
                    FormatCase{"#0#", 7.0, "07"},
                    FormatCase{"00-00", 1234.0, "12-34"},
                    FormatCase{"0", 123456.0, "123456"},
                    FormatCase{"0.000", 1e-10, "0,000"},
                    FormatCase{"0.00", 1e6, "1000000,00"}));

INSTANTIATE_TEST_SUITE_P(
    Grouping, FormatFloatTest,
    testing::Values(FormatCase{"###,###,##0", 1234567.0, "1.234.567"},
                    FormatCase{"#,##0.00", -1234.5, "-1.234,50"},
                    FormatCase{"#,##0", 100.0, "100"},
                    FormatCase{"#,##0", 1000.0, "1.000"},
                    FormatCase{"#,##0", 1000000.0, "1.000.000"},
                    FormatCase{"#,##0", 1e15, "1.000.000.000.000.000"},
                    FormatCase{"#,##0.00", 0.0, "0,00"},
                    // The rounding carry adds a digit and with it a separator.
                    FormatCase{"#,##0", 999.6, "1.000"},
                    // A comma after the point does not group the decimals.
                    FormatCase{"0.00,0", 1.25, "1,250"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, FormatFloatTest,
    testing::Values(FormatCase{"0", 2.5, "3"},
                    FormatCase{"0", -2.5, "-3"},
                    FormatCase{"0", 3.5, "4"},
                    FormatCase{"0.00", 0.125, "0,13"},
                    FormatCase{"0.00", 1.005, "1,01"},
                    FormatCase{"0.00", 2.675, "2,68"},
                    FormatCase{"0.0", 0.04999, "0,0"},
                    FormatCase{"0.00", 9.995, "10,00"},
                    // Rounded away: it is a zero, not a negative zero.
                    FormatCase{"0.00", -0.001, "0,00"}));

INSTANTIATE_TEST_SUITE_P(
    Sections, FormatFloatTest,
    testing::Values(FormatCase{"0.00;(0.00)", -5.0, "(5,00)"},
                    FormatCase{"0.00;(0.00)", 5.0, "5,00"},
                    FormatCase{"0.00;(0.00);\"zero\"", 0.0, "zero"},
                    FormatCase{"0.00;(0.00);\"zero\"", -0.001, "zero"},
                    FormatCase{"0.00;(0.00)", -0.001, "0,00"},
                    // An empty negative section falls back to the first, with the sign.
                    FormatCase{"0.00;;\"zero\"", -1.5, "-1,50"},
                    FormatCase{"0.00;;\"zero\"", 0.0, "zero"},
                    FormatCase{"0.00;\"meno \"0", -2.0, "meno 2"},
                    // A ';' between quotes is text, not a section break.
                    FormatCase{"0\";\"0", 12.0, "1;2"}));

INSTANTIATE_TEST_SUITE_P(
    Literals, FormatFloatTest,
    testing::Values(FormatCase{"\"€ \"#,##0.00", 1234.5, "€ 1.234,50"},
                    FormatCase{"0.00 'kg'", 3.0, "3,00 kg"},
                    FormatCase{"0%", 50.0, "50%"},
                    FormatCase{"'#0.'0", 5.0, "#0.5"},
                    FormatCase{"\"€ \"#,##0.00", -3.0, "-€ 3,00"}));

INSTANTIATE_TEST_SUITE_P(
    Scientific, FormatFloatTest,
    testing::Values(FormatCase{"0.00E+00", 1234.5, "1,23E+03"},
                    FormatCase{"0.00E+00", 0.00012345, "1,23E-04"},
                    FormatCase{"0.00E-00", 1234.5, "1,23E03"},
                    FormatCase{"0.00E-00", 0.00012345, "1,23E-04"},
                    FormatCase{"0.0E+0", 0.0, "0,0E+0"},
                    FormatCase{"0.00E+00", 9.999, "1,00E+01"},
                    FormatCase{"0.##E+0", -2500.0, "-2,5E+3"}));

INSTANTIATE_TEST_SUITE_P(
    EmptyPatternIsGeneral, FormatFloatTest,
    testing::Values(FormatCase{"", 12.5, "12,5"}, FormatCase{"", 1e20, "1E20"}));

// ---- floatToStr ------------------------------------------------------------

struct FloatToStrCase
{
    double value;
    const char *expected;
};

void PrintTo(const FloatToStrCase &c, std::ostream *os)
{
    *os << "floatToStr(" << c.value << ")";
}

class FloatToStrTest : public testing::TestWithParam<FloatToStrCase>
{};

TEST_P(FloatToStrTest, Formats)
{
    EXPECT_EQ(floatToStr(GetParam().value), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatToStrTest,
    testing::Values(FloatToStrCase{12.5, "12,5"},
                    FloatToStrCase{0.0, "0"},
                    FloatToStrCase{-0.0, "0"},
                    FloatToStrCase{100.0, "100"},
                    FloatToStrCase{-1234.5, "-1234,5"},
                    FloatToStrCase{0.1 + 0.2, "0,3"},
                    FloatToStrCase{1.0 / 3.0, "0,333333333333333"},
                    FloatToStrCase{2.0 / 3.0, "0,666666666666667"},
                    FloatToStrCase{123456789012345.0, "123456789012345"},
                    FloatToStrCase{1e15, "1E15"},
                    FloatToStrCase{1e20, "1E20"},
                    FloatToStrCase{1.5e20, "1,5E20"},
                    FloatToStrCase{-1.5e20, "-1,5E20"},
                    FloatToStrCase{1e-5, "0,00001"},
                    FloatToStrCase{1e-6, "1E-6"},
                    FloatToStrCase{2.5e-7, "2,5E-7"},
                    FloatToStrCase{0.05, "0,05"},
                    FloatToStrCase{std::numeric_limits<double>::infinity(), "INF"},
                    FloatToStrCase{-std::numeric_limits<double>::infinity(), "-INF"},
                    FloatToStrCase{std::numeric_limits<double>::quiet_NaN(), "NAN"}));

// ---- strToFloat ------------------------------------------------------------

struct StrToFloatCase
{
    const char *text;
    DecimalInput mode;
    std::optional<double> expected;
};

void PrintTo(const StrToFloatCase &c, std::ostream *os)
{
    *os << "strToFloat(\"" << c.text << "\", "
        << (c.mode == DecimalInput::CommaOnly ? "CommaOnly" : "CommaOrPoint") << ")";
}

class StrToFloatTest : public testing::TestWithParam<StrToFloatCase>
{};

TEST_P(StrToFloatTest, Parses)
{
    const StrToFloatCase &c = GetParam();
    const auto v = strToFloat(QString::fromUtf8(c.text), c.mode);
    ASSERT_EQ(v.has_value(), c.expected.has_value());
    if (v) {
        EXPECT_DOUBLE_EQ(*v, *c.expected);
    }
}

constexpr auto Comma = DecimalInput::CommaOnly;
constexpr auto Either = DecimalInput::CommaOrPoint;
const std::optional<double> Rejected;

INSTANTIATE_TEST_SUITE_P(
    Accepted, StrToFloatTest,
    testing::Values(StrToFloatCase{"1.234,50", Comma, 1234.5},
                    StrToFloatCase{"12,50", Comma, 12.5},
                    StrToFloatCase{"-3", Comma, -3.0},
                    StrToFloatCase{"+2", Comma, 2.0},
                    StrToFloatCase{"  7,5  ", Comma, 7.5},
                    StrToFloatCase{"\t7,5", Comma, 7.5},
                    StrToFloatCase{",5", Comma, 0.5},
                    StrToFloatCase{"5,", Comma, 5.0},
                    StrToFloatCase{"1.234", Comma, 1234.0},
                    StrToFloatCase{"1.234.567", Comma, 1234567.0},
                    StrToFloatCase{"-1.234.567,891", Comma, -1234567.891},
                    StrToFloatCase{"1,5E3", Comma, 1500.0},
                    StrToFloatCase{"1e-2", Comma, 0.01},
                    StrToFloatCase{"0", Comma, 0.0},
                    StrToFloatCase{"007", Comma, 7.0}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, StrToFloatTest,
    testing::Values(StrToFloatCase{"", Comma, Rejected},
                    StrToFloatCase{"   ", Comma, Rejected},
                    StrToFloatCase{"12.50", Comma, Rejected},
                    StrToFloatCase{"1.23,4", Comma, Rejected},
                    StrToFloatCase{"1..234", Comma, Rejected},
                    StrToFloatCase{"1.2345", Comma, Rejected},
                    StrToFloatCase{"1234.567", Comma, Rejected},
                    StrToFloatCase{".123", Comma, Rejected},
                    StrToFloatCase{"1,234.5", Comma, Rejected},
                    StrToFloatCase{"abc", Comma, Rejected},
                    StrToFloatCase{"1,2,3", Comma, Rejected},
                    StrToFloatCase{"1 234", Comma, Rejected},
                    StrToFloatCase{"12,5x", Comma, Rejected},
                    StrToFloatCase{"-", Comma, Rejected},
                    StrToFloatCase{",", Comma, Rejected},
                    StrToFloatCase{"--1", Comma, Rejected},
                    StrToFloatCase{"1,5E", Comma, Rejected},
                    StrToFloatCase{"1,5E+", Comma, Rejected},
                    StrToFloatCase{"1E999", Comma, Rejected},
                    StrToFloatCase{"١٢", Comma, Rejected}));

INSTANTIATE_TEST_SUITE_P(
    PointAllowed, StrToFloatTest,
    testing::Values(StrToFloatCase{"12.50", Either, 12.5},
                    StrToFloatCase{"12,50", Either, 12.5},
                    // A lone point is the decimal point once points are allowed.
                    StrToFloatCase{"1.234", Either, 1.234},
                    StrToFloatCase{"1.234,5", Either, 1234.5},
                    StrToFloatCase{"1.234.567", Either, 1234567.0},
                    StrToFloatCase{"-1.5e2", Either, -150.0},
                    StrToFloatCase{".5", Either, 0.5},
                    StrToFloatCase{"1.2.3", Either, Rejected},
                    StrToFloatCase{"1.5,2.5", Either, Rejected}));

// What the library writes, it must read back.
class FloatRoundTripTest : public testing::TestWithParam<double>
{};

TEST_P(FloatRoundTripTest, FloatToStrReadsBack)
{
    const double v = GetParam();
    const auto back = strToFloat(floatToStr(v));
    ASSERT_TRUE(back.has_value()) << floatToStr(v).toStdString();
    EXPECT_DOUBLE_EQ(*back, v);
}

TEST_P(FloatRoundTripTest, GroupedFormatReadsBack)
{
    const double v = GetParam();
    const QString text = formatFloat(QStringLiteral("#,##0.##########"), v);
    const auto back = strToFloat(text);
    ASSERT_TRUE(back.has_value()) << text.toStdString();
    EXPECT_NEAR(*back, v, std::fabs(v) * 1e-12 + 1e-10);
}

INSTANTIATE_TEST_SUITE_P(Values, FloatRoundTripTest,
                         testing::Values(0.1, 12.5, -1234.5678, 1e-3, 123456789.123, 1e14,
                                         -0.000123, 99999.99999));

// ---- integers --------------------------------------------------------------

struct StrToIntCase
{
    const char *text;
    std::optional<qint64> expected;
};

void PrintTo(const StrToIntCase &c, std::ostream *os)
{
    *os << "strToInt(\"" << c.text << "\")";
}

class StrToIntTest : public testing::TestWithParam<StrToIntCase>
{};

TEST_P(StrToIntTest, Parses)
{
    const StrToIntCase &c = GetParam();
    EXPECT_EQ(strToInt64(QString::fromUtf8(c.text)), c.expected);
    // strToInt agrees wherever the value fits an int.
    std::optional<int> narrow;
    if (c.expected && *c.expected >= std::numeric_limits<int>::min()
        && *c.expected <= std::numeric_limits<int>::max())
        narrow = int(*c.expected);
    EXPECT_EQ(strToInt(QString::fromUtf8(c.text)), narrow);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToIntTest,
    testing::Values(StrToIntCase{"42", 42},
                    StrToIntCase{" -7 ", -7},
                    StrToIntCase{"+3", 3},
                    StrToIntCase{"$1F", 31},
                    StrToIntCase{"0x10", 16},
                    StrToIntCase{"-$10", -16},
                    StrToIntCase{"2147483647", 2147483647},
                    StrToIntCase{"2147483648", 2147483648LL},
                    StrToIntCase{"-2147483648", -2147483648LL},
                    StrToIntCase{"9223372036854775807", std::numeric_limits<qint64>::max()},
                    StrToIntCase{"-9223372036854775808", std::numeric_limits<qint64>::min()},
                    StrToIntCase{"9223372036854775808", std::nullopt},
                    StrToIntCase{"", std::nullopt},
                    StrToIntCase{"1.000", std::nullopt},
                    StrToIntCase{"12a", std::nullopt},
                    StrToIntCase{"- 1", std::nullopt},
                    StrToIntCase{"+-1", std::nullopt},
                    StrToIntCase{"$", std::nullopt},
                    StrToIntCase{"$G", std::nullopt}));

TEST(IntToStr, PlainDigitsWithoutGrouping)
{
    EXPECT_EQ(intToStr(1234567), QStringLiteral("1234567"));
    EXPECT_EQ(intToStr(-5), QStringLiteral("-5"));
}

// ---- dates -----------------------------------------------------------------

struct StrToDateCase
{
    const char *text;
    QDate expected; // invalid: rejected
};

void PrintTo(const StrToDateCase &c, std::ostream *os)
{
    *os << "strToDate(\"" << c.text << "\")";
}

class StrToDateTest : public testing::TestWithParam<StrToDateCase>
{};

TEST_P(StrToDateTest, Parses)
{
    const StrToDateCase &c = GetParam();
    const auto d = strToDate(QString::fromUtf8(c.text));
    if (!c.expected.isValid()) {
        EXPECT_FALSE(d.has_value()) << d->toString(Qt::ISODate).toStdString();
    } else {
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(*d, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, StrToDateTest,
    testing::Values(StrToDateCase{"31/12/2020", QDate(2020, 12, 31)},
                    StrToDateCase{"1/2/2020", QDate(2020, 2, 1)},
                    StrToDateCase{"01.02.2020", QDate(2020, 2, 1)},
                    StrToDateCase{"1-2-2020", QDate(2020, 2, 1)},
                    StrToDateCase{" 5/6/2007 ", QDate(2007, 6, 5)},
                    StrToDateCase{"29/02/2020", QDate(2020, 2, 29)},
                    StrToDateCase{"29/02/2000", QDate(2000, 2, 29)},
                    StrToDateCase{"1/2/20", QDate(2020, 2, 1)},
                    StrToDateCase{"1/2/00", QDate(2000, 2, 1)},
                    StrToDateCase{"1/2/49", QDate(2049, 2, 1)},
                    StrToDateCase{"1/2/50", QDate(1950, 2, 1)},
                    StrToDateCase{"1/2/99", QDate(1999, 2, 1)}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, StrToDateTest,
    testing::Values(StrToDateCase{"31/02/2020", {}},
                    StrToDateCase{"29/02/2021", {}},
                    StrToDateCase{"29/02/1900", {}},
                    StrToDateCase{"31/04/2020", {}},
                    StrToDateCase{"32/01/2020", {}},
                    StrToDateCase{"0/1/2020", {}},
                    StrToDateCase{"1/0/2020", {}},
                    StrToDateCase{"1/13/2020", {}},
                    StrToDateCase{"1/2-2020", {}},
                    StrToDateCase{"1/2/020", {}},
                    StrToDateCase{"1/2/0", {}},
                    StrToDateCase{"1/2", {}},
                    StrToDateCase{"2020-01-02", {}},
                    StrToDateCase{"001/02/2020", {}},
                    StrToDateCase{"a/b/c", {}},
                    StrToDateCase{"", {}},
                    StrToDateCase{"01/02/2020 10:00", {}}));

struct DateTimeTextCase
{
    const char *text;
    QDateTime expected; // invalid: rejected
};

void PrintTo(const DateTimeTextCase &c, std::ostream *os)
{
    *os << "\"" << c.text << "\"";
}

class StrToDateTimeTest : public testing::TestWithParam<DateTimeTextCase>
{};

TEST_P(StrToDateTimeTest, Parses)
{
    const DateTimeTextCase &c = GetParam();
    const auto v = strToDateTime(QString::fromUtf8(c.text));
    ASSERT_EQ(v.has_value(), c.expected.isValid());
    if (v) {
        EXPECT_EQ(*v, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToDateTimeTest,
    testing::Values(
        DateTimeTextCase{"01/02/2020 13:45:07", QDateTime(QDate(2020, 2, 1), QTime(13, 45, 7))},
        DateTimeTextCase{"1/2/2020 9:05", QDateTime(QDate(2020, 2, 1), QTime(9, 5))},
        DateTimeTextCase{"01/02/2020", QDateTime(QDate(2020, 2, 1), QTime(0, 0))},
        DateTimeTextCase{" 01/02/2020   23:59:59 ", QDateTime(QDate(2020, 2, 1), QTime(23, 59, 59))},
        DateTimeTextCase{"01/02/2020 24:00", {}},
        DateTimeTextCase{"01/02/2020 12:60", {}},
        DateTimeTextCase{"01/02/2020 12:00:60", {}},
        DateTimeTextCase{"01/02/2020 x", {}},
        DateTimeTextCase{"31/02/2020 10:00", {}},
        DateTimeTextCase{"10:00", {}}));

TEST(StrToTime, AcceptsHoursMinutesAndOptionalSeconds)
{
    EXPECT_EQ(strToTime(QStringLiteral("9:05")), QTime(9, 5));
    EXPECT_EQ(strToTime(QStringLiteral("23:59:59")), QTime(23, 59, 59));
    EXPECT_FALSE(strToTime(QStringLiteral("24:00")).has_value());
    EXPECT_FALSE(strToTime(QStringLiteral("9")).has_value());
    EXPECT_FALSE(strToTime(QStringLiteral("9:5:")).has_value());
}

struct DateToTextCase
{
    QDateTime value;
    const char *expected;
};

void PrintTo(const DateToTextCase &c, std::ostream *os)
{
    *os << c.value.toString(Qt::ISODateWithMs).toStdString();
}

class DateTimeToStrTest : public testing::TestWithParam<DateToTextCase>
{};

TEST_P(DateTimeToStrTest, Formats)
{
    EXPECT_EQ(dateTimeToStr(GetParam().value), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateTimeToStrTest,
    testing::Values(
        DateToTextCase{QDateTime(QDate(2020, 2, 1), QTime(0, 0)), "01/02/2020"},
        DateToTextCase{QDateTime(QDate(2020, 2, 1), QTime(13, 45, 0)), "01/02/2020 13:45:00"},
        DateToTextCase{QDateTime(QDate(2020, 2, 1), QTime(9, 5, 3)), "01/02/2020 09:05:03"},
        // Not midnight, though the seconds show zero.
        DateToTextCase{QDateTime(QDate(2020, 2, 1), QTime(0, 0, 0, 500)), "01/02/2020 00:00:00"},
        DateToTextCase{QDateTime(), ""}));

TEST(DateToStr, PadsDayMonthAndYear)
{
    EXPECT_EQ(dateToStr(QDate(2020, 2, 1)), QStringLiteral("01/02/2020"));
    EXPECT_EQ(dateToStr(QDate(999, 12, 31)), QStringLiteral("31/12/0999"));
    EXPECT_EQ(dateToStr(QDate()), QString());
    EXPECT_EQ(timeToStr(QTime(9, 5, 3)), QStringLiteral("09:05:03"));
    EXPECT_EQ(timeToStr(QTime()), QString());
}

TEST(DateToStr, ReadsBackWhatItWrites)
{
    for (QDate d(1950, 1, 1); d.year() < 2051; d = d.addDays(97)) {
        const auto back = strToDate(dateToStr(d));
        ASSERT_TRUE(back.has_value()) << dateToStr(d).toStdString();
        EXPECT_EQ(*back, d);
    }
}

TEST(LibraryFormats, SetsItalianSeparatorsAndIsRepeatable)
{
    setLibraryFormats();
    setLibraryFormats();
    EXPECT_EQ(decimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(thousandSeparator(), QLatin1Char('.'));
    EXPECT_EQ(shortDateFormat(), QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(longTimeFormat(), QStringLiteral("hh:nn:ss"));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    EXPECT_EQ(QLocale().groupSeparator(), QStringLiteral("."));
}

} // namespace

// Outside the plain-digit range the text turns to an exponent; it still reads back.
INSTANTIATE_TEST_SUITE_P(Extremes, FloatRoundTripTest,
                         testing::Values(1e-5, 9.99e-6, -2.5e-7, 1e-30, -1e-300, 1e15, 1e300,
                                         std::numeric_limits<double>::max(),
                                         -std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::min()));
