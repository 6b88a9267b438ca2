// The text a value is shown as, for every kind a column can hold: the same
// text in the answer grid, the record face, exports and command-line lines.

#include "db/Statement.h"
#include "db/Value.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vardof::db;
using vardof::test::FbFixture;

namespace {

struct CellCase
{
    const char *label;
    FieldValue value;
    const char *text;
};

void PrintTo(const CellCase &c, std::ostream *os) { *os << c.label; }

class CellText : public ::testing::TestWithParam<CellCase>
{
};

TEST_P(CellText, showsTheValueAsTheLibraryDoes)
{
    EXPECT_EQ(toText(GetParam().value).toStdString(), GetParam().text);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();

FieldValue d(double v) { return Value(v); }
FieldValue n(qint64 units, int scale) { return Value(Decimal{units, scale}); }
FieldValue i(qint64 v) { return Value(v); }

INSTANTIATE_TEST_SUITE_P(
    Doubles, CellText,
    ::testing::Values(
        CellCase{"1e-5 in plain digits", d(1e-5), "0,00001"},
        CellCase{"-1e-5", d(-1e-5), "-0,00001"},
        CellCase{"1,5e-5", d(1.5e-5), "0,000015"},
        CellCase{"0,00001234", d(0.00001234), "0,00001234"},
        CellCase{"just below 1e-5", d(9.99e-6), "9,99E-6"},
        CellCase{"1e-6", d(1e-6), "1E-6"},
        CellCase{"1e-30", d(1e-30), "1E-30"},
        CellCase{"-2,5e-30", d(-2.5e-30), "-2,5E-30"},
        CellCase{"smallest denormal", d(std::numeric_limits<double>::denorm_min()), "4,94065645841247E-324"},
        CellCase{"1e300", d(1e300), "1E300"},
        CellCase{"largest double", d(kMax), "1,7976931348623157E308"},
        CellCase{"most negative double", d(-kMax), "-1,7976931348623157E308"},
        CellCase{"fifteen integer digits", d(123456789012345.0), "123456789012345"},
        CellCase{"999999999999999", d(999999999999999.0), "999999999999999"},
        CellCase{"1e15", d(1e15), "1E15"},
        CellCase{"rounds up to 1e15", d(999999999999999.9), "1E15"},
        CellCase{"1,5e20", d(1.5e20), "1,5E20"},
        CellCase{"decimals kept", d(1234567.891), "1234567,891"},
        CellCase{"no binary noise", d(0.1 + 0.2), "0,3"},
        CellCase{"1,005 as typed", d(1.005), "1,005"},
        CellCase{"one third", d(1.0 / 3.0), "0,333333333333333"},
        CellCase{"negative", d(-1234.5), "-1234,5"},
        CellCase{"zero", d(0.0), "0"},
        CellCase{"negative zero", d(-0.0), "0"},
        CellCase{"NaN", d(kNaN), "NAN"},
        CellCase{"infinity", d(kInf), "INF"},
        CellCase{"minus infinity", d(-kInf), "-INF"}));

INSTANTIATE_TEST_SUITE_P(
    ExactDecimals, CellText,
    ::testing::Values(
        CellCase{"scale 0", n(42, 0), "42"},
        CellCase{"scale 0 negative", n(-42, 0), "-42"},
        CellCase{"scale 0 zero", n(0, 0), "0"},
        CellCase{"scale 1", n(5, 1), "0,5"},
        CellCase{"scale 1 negative", n(-5, 1), "-0,5"},
        CellCase{"scale 1 zero", n(0, 1), "0,0"},
        CellCase{"scale 2", n(1250, 2), "12,50"},
        CellCase{"scale 2 -0,05", n(-5, 2), "-0,05"},
        CellCase{"scale 2 -1,00", n(-100, 2), "-1,00"},
        CellCase{"scale 2 zero", n(0, 2), "0,00"},
        CellCase{"scale 3", n(12345, 3), "12,345"},
        CellCase{"scale 3 -0,001", n(-1, 3), "-0,001"},
        CellCase{"scale 4", n(5, 4), "0,0005"},
        CellCase{"scale 4 -0,0500", n(-500, 4), "-0,0500"},
        CellCase{"scale 4 negative", n(-123456789, 4), "-12345,6789"},
        CellCase{"scale 4 INT64 max", n(kInt64Max, 4), "922337203685477,5807"},
        CellCase{"scale 2 INT64 min", n(kInt64Min, 2), "-92233720368547758,08"},
        CellCase{"scale 18 INT64 min", n(kInt64Min, 18), "-9,223372036854775808"},
        CellCase{"negative scale", n(12, -2), "1200"}));

INSTANTIATE_TEST_SUITE_P(
    Integers, CellText,
    ::testing::Values(CellCase{"zero", i(0), "0"},
                      CellCase{"negative", i(-42), "-42"},
                      CellCase{"INT64 max", i(kInt64Max), "9223372036854775807"},
                      CellCase{"INT64 min", i(kInt64Min), "-9223372036854775808"},
                      CellCase{"no thousands point", i(1234567), "1234567"}));

INSTANTIATE_TEST_SUITE_P(
    DatesAndTimes, CellText,
    ::testing::Values(
        CellCase{"date", Value(QDate(2024, 3, 5)), "05/03/2024"},
        CellCase{"first date", Value(QDate(1, 1, 1)), "01/01/0001"},
        CellCase{"last date", Value(QDate(9999, 12, 31)), "31/12/9999"},
        CellCase{"time", Value(QTime(7, 8, 9)), "07:08:09"},
        CellCase{"midnight time", Value(QTime(0, 0)), "00:00:00"},
        CellCase{"time with milliseconds", Value(QTime(13, 0, 1, 234)), "13:00:01"},
        CellCase{"milliseconds never round up", Value(QTime(23, 59, 59, 999)), "23:59:59"},
        CellCase{"timestamp at midnight", Value(QDateTime(QDate(2024, 1, 5), QTime(0, 0))), "05/01/2024"},
        CellCase{"timestamp", Value(QDateTime(QDate(2024, 1, 5), QTime(13, 0, 1))), "05/01/2024 13:00:01"},
        CellCase{"timestamp with milliseconds", Value(QDateTime(QDate(2024, 1, 5), QTime(13, 0, 1, 500))),
                 "05/01/2024 13:00:01"},
        CellCase{"a millisecond past midnight", Value(QDateTime(QDate(2024, 1, 5), QTime(0, 0, 0, 1))),
                 "05/01/2024 00:00:00"},
        CellCase{"invalid date", Value(QDate()), ""}));

INSTANTIATE_TEST_SUITE_P(
    OtherKinds, CellText,
    ::testing::Values(CellCase{"NULL", FieldValue(), ""},
                      CellCase{"true", Value(true), "True"},
                      CellCase{"false", Value(false), "False"},
                      CellCase{"text as it is", Value(QStringLiteral("àè 1.5")), "àè 1.5"},
                      CellCase{"empty text", Value(QString()), ""},
                      CellCase{"blob bytes", Value(QByteArray("abc")), "abc"}));

// The answer grid and the record face read the text straight from the fetched
// row (a quicker path for the common types); it must match what the formatter
// gives for the same value.
struct ServerCase
{
    const char *expression;
    const char *text;
};

void PrintTo(const ServerCase &c, std::ostream *os) { *os << c.expression; }

class ServerCellText : public FbFixture, public ::testing::WithParamInterface<ServerCase>
{
};

TEST_P(ServerCellText, fetchedTextMatchesTheFormatter)
{
    Statement sel(att(), tra(),
                  QStringLiteral("SELECT %1 FROM RDB$DATABASE").arg(QLatin1String(GetParam().expression)));
    ResultSet rs = sel.open();
    ASSERT_TRUE(rs.next());
    EXPECT_EQ(rs.text(0).toStdString(), GetParam().text);
    EXPECT_EQ(toText(rs.value(0)).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ServerCellText,
    ::testing::Values(
        ServerCase{"CAST(0.00001 AS DOUBLE PRECISION)", "0,00001"},
        ServerCase{"CAST(1e-30 AS DOUBLE PRECISION)", "1E-30"},
        ServerCase{"CAST(1e300 AS DOUBLE PRECISION)", "1E300"},
        ServerCase{"CAST(0.1 AS FLOAT)", "0,1"},
        ServerCase{"CAST(-1234.5678 AS FLOAT)", "-1234,5677"},
        ServerCase{"CAST(7 AS NUMERIC(4,1))", "7,0"},
        ServerCase{"CAST(-0.05 AS NUMERIC(9,4))", "-0,0500"},
        ServerCase{"CAST(-0.05 AS NUMERIC(18,2))", "-0,05"},
        ServerCase{"CAST(-922337203685477.5808 AS NUMERIC(18,4))", "-922337203685477,5808"},
        ServerCase{"CAST(-9223372036854775807 AS BIGINT) - 1", "-9223372036854775808"},
        ServerCase{"CAST(-32768 AS SMALLINT)", "-32768"},
        ServerCase{"CAST('2024-03-05' AS DATE)", "05/03/2024"},
        ServerCase{"CAST('13:00:01.2340' AS TIME)", "13:00:01"},
        ServerCase{"CAST('2024-03-05 00:00:00' AS TIMESTAMP)", "05/03/2024"},
        ServerCase{"CAST('2024-03-05 13:00:01.5' AS TIMESTAMP)", "05/03/2024 13:00:01"},
        ServerCase{"TRUE", "True"},
        ServerCase{"CAST(NULL AS DOUBLE PRECISION)", ""},
        ServerCase{"CAST(NULL AS NUMERIC(18,2))", ""}));

} // namespace
