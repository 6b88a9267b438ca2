// Rows kept packed: every kind of value comes back as it went in, NULL
// included, across the blocks the store is made of.

#include "db/PackedRows.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

using namespace vardof::db;

namespace {

const std::vector<FieldValue> &valori()
{
    static const std::vector<FieldValue> v = {
        std::nullopt,
        Value(true),
        Value(false),
        Value(qint64(0)),
        Value(qint64(-1)),
        Value(std::numeric_limits<qint64>::max()),
        Value(std::numeric_limits<qint64>::min()),
        Value(-0.5),
        Value(Decimal{-123456789012345LL, 4}),
        Value(QString()),
        Value(QStringLiteral("àèìòù € \"x\";\r\n")),
        Value(QDate(2024, 2, 29)),
        Value(QDate(1, 1, 1)),
        Value(QDate()),
        Value(QTime(0, 0)),
        Value(QTime(23, 59, 59, 999)),
        Value(QTime()),
        Value(QDateTime(QDate(1899, 12, 30), QTime(12, 0, 1, 5))),
        Value(QDateTime(QDate(), QTime())),
        Value(QByteArray("\0\x01\xff", 3)),
    };
    return v;
}

TEST(PackedRows, everyKindComesBackAsItWentIn)
{
    PackedRows righe;
    righe.append(valori());
    righe.append(std::vector<FieldValue>(valori().rbegin(), valori().rend()));
    ASSERT_EQ(righe.size(), 2);
    const int n = int(valori().size());
    EXPECT_EQ(righe.row(0, n), valori());
    for (int c = 0; c < n; ++c) {
        EXPECT_EQ(righe.value(0, c), valori()[size_t(c)]) << c;
        EXPECT_EQ(righe.value(1, c), valori()[size_t(n - 1 - c)]) << c;
    }
}

TEST(PackedRows, rowsLargerThanABlockAndManyBlocks)
{
    PackedRows righe;
    const QString grande(3 * 1024 * 1024, QLatin1Char('x'));
    for (int i = 0; i < 5000; ++i)
        righe.append({Value(qint64(i)), Value(i % 1000 == 0 ? grande : QStringLiteral("riga %1").arg(i))});
    ASSERT_EQ(righe.size(), 5000);
    for (int i : {0, 1, 999, 1000, 1001, 4999}) {
        EXPECT_EQ(righe.value(i, 0), FieldValue(Value(qint64(i))));
        EXPECT_EQ(righe.value(i, 1), FieldValue(Value(i % 1000 == 0 ? grande : QStringLiteral("riga %1").arg(i))));
    }
    EXPECT_GE(righe.bytes(), size_t(5) * 1024 * 1024);
    EXPECT_THROW(righe.value(5000, 0), std::out_of_range);
    righe.clear();
    EXPECT_EQ(righe.size(), 0);
    EXPECT_EQ(righe.bytes(), 0u);
}

} // namespace
