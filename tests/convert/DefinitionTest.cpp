#include "convert/ConversionDefinition.h"
#include "convert/ValueChecks.h"

#include <gtest/gtest.h>

using namespace vardof::convert;

namespace {

struct PathCase
{
    const char *given;
    const char *expected;
};

class DefinitionPath : public ::testing::TestWithParam<PathCase> {};
TEST_P(DefinitionPath, replacesTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(definitionPath(QString::fromUtf8(GetParam().given)), QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, DefinitionPath, ::testing::Values(
    PathCase{"C:\\dati\\prezzi.txt", "C:\\dati\\prezzi.conf"},
    PathCase{"/home/u/prezzi.txt", "/home/u/prezzi.conf"},
    PathCase{"/home/u/prezzi", "/home/u/prezzi.conf"},
    PathCase{"C:\\dati.2024\\prezzi", "C:\\dati.2024\\prezzi.conf"},
    PathCase{"/dati.2024/prezzi", "/dati.2024/prezzi.conf"},
    PathCase{"/d/listino.fornitore.txt", "/d/listino.fornitore.conf"},
    PathCase{"/d/prezzi.", "/d/prezzi.conf"}));

class DestinationExtension : public ::testing::TestWithParam<PathCase> {};
TEST_P(DestinationExtension, addsDatWhenTheUserTypedNone)
{
    EXPECT_EQ(withDefaultExtension(QString::fromUtf8(GetParam().given)), QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, DestinationExtension, ::testing::Values(
    PathCase{"/tmp/out", "/tmp/out.dat"},
    PathCase{"/tmp/out.", "/tmp/out.dat"},
    PathCase{"/tmp/out.csv", "/tmp/out.csv"},
    PathCase{"C:\\a.b\\out", "C:\\a.b\\out.dat"},
    PathCase{"C:\\a\\out.", "C:\\a\\out.dat"},
    PathCase{"", ""}));

TEST(AnomaliesPath, liesInTheSourceFolderWhicheverSeparator)
{
    EXPECT_EQ(anomaliesPath(QStringLiteral("C:\\dati\\x.txt")), QStringLiteral("C:\\dati\\Anomalie.txt"));
    EXPECT_EQ(anomaliesPath(QStringLiteral("/dati/x.txt")), QStringLiteral("/dati/Anomalie.txt"));
}

TEST(DefinitionMode, onlyAFirstLineNamingFixedLengthSelectsIt)
{
    EXPECT_EQ(modeOfFirstLine("[LUNGHEZZAFISSA]"), ConversionMode::FixedLength);
    EXPECT_EQ(modeOfFirstLine("lunghezzafissa"), ConversionMode::FixedLength);
    EXPECT_EQ(modeOfFirstLine("[CSV]"), ConversionMode::Delimited);
    EXPECT_EQ(modeOfFirstLine(""), ConversionMode::Delimited);
}

TEST(DefinitionFile, firstLineIsNeverAFieldAndLinesWithoutSemicolonAreSkipped)
{
    const DefinitionFile def = parseDefinition({"1;PRIMO;1;A;", "", "commento", "2;SECONDO;2;N;"});
    EXPECT_EQ(def.mode, ConversionMode::Delimited);
    ASSERT_EQ(def.lines.size(), 1u);
    EXPECT_EQ(def.lines[0].value(1), "SECONDO");
    EXPECT_EQ(def.lines[0].lineNumber, 4);
}

TEST(DefinitionLine, textAfterTheLastSemicolonIsDropped)
{
    const DefinitionLine line = parseDefinitionLine("5;X;1;N", 2);
    EXPECT_EQ(line.values, (QList<QByteArray>{"5", "X", "1"}));
    EXPECT_EQ(line.value(3), QByteArray());
}

TEST(DefinitionLine, noBlankIniTagIsTakenOutWhereverItStands)
{
    const DefinitionLine a = parseDefinitionLine("1;CODICE;2[NOBLANKINI];A;", 2);
    EXPECT_TRUE(a.noBlankIni);
    EXPECT_EQ(a.value(2), "2");
    const DefinitionLine b = parseDefinitionLine("[NOBLANKINI]1;CODICE;2;A;", 2);
    EXPECT_TRUE(b.noBlankIni);
    EXPECT_EQ(b.value(0), "1");
}

struct CheckCase
{
    const char *value;
    bool accepted;
};

class NumberCheck : public ::testing::TestWithParam<CheckCase> {};
TEST_P(NumberCheck, takesDecimalCommaOnly)
{
    EXPECT_EQ(isNumber(GetParam().value), GetParam().accepted) << GetParam().value;
}
INSTANTIATE_TEST_SUITE_P(Cases, NumberCheck, ::testing::Values(
    CheckCase{"12", true}, CheckCase{"-12,50", true}, CheckCase{"+3", true},
    CheckCase{",5", true}, CheckCase{"1234,50", true}, CheckCase{"1E3", true},
    CheckCase{"12.50", false}, CheckCase{"1.234", false}, CheckCase{"", false},
    CheckCase{"-", false}, CheckCase{",", false}, CheckCase{"12,5,0", false},
    CheckCase{"12a", false}, CheckCase{"1E", false}, CheckCase{"0x10", false}));

class DateCheck : public ::testing::TestWithParam<CheckCase> {};
TEST_P(DateCheck, takesDayMonthYear)
{
    EXPECT_EQ(isDate(GetParam().value), GetParam().accepted) << GetParam().value;
}
INSTANTIATE_TEST_SUITE_P(Cases, DateCheck, ::testing::Values(
    CheckCase{"25/03/2024", true}, CheckCase{"1/2/24", true}, CheckCase{"29/02/2024", true},
    CheckCase{"29/02/00", true}, CheckCase{"25.03.2024", true}, CheckCase{"25-03-2024", true},
    CheckCase{"29/02/2023", false}, CheckCase{"03/25/2024", false}, CheckCase{"25/03-2024", false},
    CheckCase{"25/03/202", false}, CheckCase{"25032024", false}, CheckCase{"", false},
    CheckCase{"2024/03/25", false}, CheckCase{"25/03/2024x", false}));

} // namespace
