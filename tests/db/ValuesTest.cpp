#include "db/Value.h"

#include <gtest/gtest.h>

using namespace vardof::db;

namespace {

struct TextCase
{
    Value value;
    const char *text;
};

class ValueText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(ValueText, usesTheLibraryFormats)
{
    EXPECT_EQ(toText(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueText,
    ::testing::Values(
        TextCase{Value(qint64(-42)), "-42"},
        TextCase{Value(Decimal{1250, 2}), "12,50"},
        TextCase{Value(Decimal{-5, 2}), "-0,05"},
        TextCase{Value(Decimal{5, 4}), "0,0005"},
        TextCase{Value(Decimal{std::numeric_limits<qint64>::min(), 2}), "-92233720368547758,08"},
        TextCase{Value(0.1 + 0.2), "0,3"},
        TextCase{Value(1234.5), "1234,5"},
        TextCase{Value(QDate(2024, 3, 5)), "05/03/2024"},
        TextCase{Value(QTime(7, 8, 9)), "07:08:09"},
        TextCase{Value(QDateTime(QDate(2024, 1, 5), QTime(0, 0))), "05/01/2024"},
        TextCase{Value(QDateTime(QDate(2024, 1, 5), QTime(13, 0, 1))), "05/01/2024 13:00:01"},
        TextCase{Value(QStringLiteral("àè")), "àè"}));

TEST(ValueConversions, numbersFromTextAcceptEitherSeparator)
{
    EXPECT_DOUBLE_EQ(*toDouble(Value(QStringLiteral("12,5"))), 12.5);
    EXPECT_DOUBLE_EQ(*toDouble(Value(QStringLiteral(" 12.5 "))), 12.5);
    EXPECT_FALSE(toDouble(Value(QStringLiteral("abc"))).has_value());
    EXPECT_EQ(*toInt64(Value(Decimal{1250, 2})), 13);
    EXPECT_FALSE(toDouble(Value(QDate(2020, 1, 1))).has_value());
}

} // namespace
