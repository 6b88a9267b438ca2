// The date box's rules: the completion as the user types and the reading
// of a finished date.

#include "platform/DataDigitata.h"

#include <gtest/gtest.h>

#include <optional>

using namespace vardof::platform;

namespace {

struct CasoCompleta
{
    const char *testo;
    const char *dopo;
    int inizio;
    int lunghezza; // 0: the caret at `inizio`, the end
};

class DataCompletata : public ::testing::TestWithParam<CasoCompleta>
{
};

TEST_P(DataCompletata, asTheUserTypes)
{
    const CasoCompleta &c = GetParam();
    const CompletamentoData d = completaData(QString::fromUtf8(c.testo));
    EXPECT_EQ(d.testo, QString::fromUtf8(c.dopo));
    EXPECT_EQ(d.inizioSelezione, c.inizio);
    EXPECT_EQ(d.lunghezzaSelezione, c.lunghezza);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, DataCompletata,
    ::testing::Values(CasoCompleta{"7/", "07/", 3, 0}, CasoCompleta{"12", "12/", 3, 0}, CasoCompleta{"31", "31/", 3, 0},
                      CasoCompleta{"32", "32", 0, 2}, CasoCompleta{"45", "45", 0, 2}, CasoCompleta{"00", "00", 0, 2},
                      CasoCompleta{"07/3/", "07/03/", 6, 0}, CasoCompleta{"07/12", "07/12/", 6, 0},
                      CasoCompleta{"07/13", "07/13", 3, 2}, CasoCompleta{"07/03/99", "07/03/1999", 10, 0},
                      CasoCompleta{"01/02/23", "01/02/2023", 10, 0}, CasoCompleta{"01/02/50", "01/02/1950", 10, 0},
                      CasoCompleta{"01/02/75", "01/02/1975", 10, 0}, CasoCompleta{"01/02/20", "01/02/20", 8, 0},
                      CasoCompleta{"01/02/19", "01/02/19", 8, 0}, CasoCompleta{"01/02/x1", "01/02/x1", 6, 2},
                      // Only digits are a year, though a number reads "+1" too.
                      CasoCompleta{"01/02/+1", "01/02/+1", 6, 2}, CasoCompleta{"01/02/ 1", "01/02/ 1", 6, 2},
                      CasoCompleta{"0", "0", 1, 0}, CasoCompleta{"1", "1", 1, 0},
                      CasoCompleta{"01/02/2023", "01/02/2023", 10, 0}, CasoCompleta{"07/03/1999", "07/03/1999", 10, 0},
                      // The user types the separator the box has just written.
                      CasoCompleta{"30//", "30/", 3, 0}, CasoCompleta{"30/06//", "30/06/", 6, 0},
                      CasoCompleta{"30/6/", "30/06/", 6, 0}));

TEST(DataCompletata, typingSevenThreeNinetyNine)
{
    QString t;
    for (QChar c : QStringLiteral("7/3/99")) {
        t += c;
        t = completaData(t).testo;
    }
    EXPECT_EQ(t, "07/03/1999");
}

struct CasoData
{
    const char *testo;
    std::optional<QString> data;
};

class DataNormalizzata : public ::testing::TestWithParam<CasoData>
{
};

TEST_P(DataNormalizzata, validDatesAreWrittenDayFirstWithFourDigitYears)
{
    EXPECT_EQ(normalizzaData(QString::fromUtf8(GetParam().testo)), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, DataNormalizzata,
    ::testing::Values(CasoData{"1/2/2020", QStringLiteral("01/02/2020")}, CasoData{"31/12/2020", QStringLiteral("31/12/2020")},
                      CasoData{"29/2/24", QStringLiteral("29/02/2024")}, CasoData{"1/1/50", QStringLiteral("01/01/1950")},
                      CasoData{"29/2/2023", std::nullopt}, CasoData{"31/4/2020", std::nullopt},
                      CasoData{"12/31/2020", std::nullopt}, CasoData{"2020-01-01", std::nullopt},
                      CasoData{"", std::nullopt}, CasoData{"1/2/202", std::nullopt}));

} // namespace
