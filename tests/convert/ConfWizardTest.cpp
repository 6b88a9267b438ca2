#include "ConvertTestSupport.h"

#include "convert/ConfWizard.h"
#include "convert/ConversionRun.h"
#include "db/Error.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

using namespace vardof::convert;
using namespace vardof::test;

namespace {

struct NamesCase
{
    const char *firstLine;
    bool headings;
    QStringList names;
};
class SourceNames : public ::testing::TestWithParam<NamesCase> {};
TEST_P(SourceNames, comeFromTheFirstLine)
{
    EXPECT_EQ(sourceFieldNamesFromLine(QString::fromUtf8(GetParam().firstLine), GetParam().headings),
              GetParam().names);
}
INSTANTIATE_TEST_SUITE_P(Cases, SourceNames, ::testing::Values(
    NamesCase{"CODICE;DESCRIZIONE;PREZZO;", true, {"CODICE", "DESCRIZIONE", "PREZZO"}},
    NamesCase{"CODICE;DESCRIZIONE;PREZZO;", false, {"Colonna 01", "Colonna 02", "Colonna 03"}},
    NamesCase{"A;B;C", true, {"A", "B", "C"}},
    NamesCase{" A ; B;;", true, {"A", "B", ""}},
    NamesCase{"", true, {}},
    NamesCase{"1;2;3;4;5;6;7;8;9;10;", false,
              {"Colonna 01", "Colonna 02", "Colonna 03", "Colonna 04", "Colonna 05",
               "Colonna 06", "Colonna 07", "Colonna 08", "Colonna 09", "Colonna 10"}}));

TEST(SourceList, startsWithNoOrigine)
{
    const auto rows = sourceFields({QStringLiteral("CODICE"), QStringLiteral("PREZZO")});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].N, QStringLiteral("0"));
    EXPECT_EQ(rows[0].Origine, QStringLiteral("No origine"));
    EXPECT_EQ(rows[2].N, QStringLiteral("2"));
    EXPECT_EQ(rows[2].Origine, QStringLiteral("PREZZO"));
    EXPECT_FALSE(rows[1].Usato);
}

LayoutRow row(int n, const char *name, const char *type, const char *origin = "No origine")
{
    LayoutRow r;
    r.N = n;
    r.Destinazione = QString::fromUtf8(name);
    r.Tipo = QString::fromUtf8(type);
    r.Origine = QString::fromUtf8(origin);
    return r;
}

class Compose : public ::testing::Test
{
protected:
    std::vector<SourceField> m_sources = sourceFields({QStringLiteral("X"), QStringLiteral("Y"),
                                                       QStringLiteral("CODICE"), QStringLiteral("Z"),
                                                       QStringLiteral("DESCR"), QStringLiteral("W"),
                                                       QStringLiteral("PREZZO")});
    QString line(const LayoutRow &r) { return composeDefinition({r}, m_sources).value(1); }
};

TEST_F(Compose, oneLinePerKindOfRow)
{
    LayoutRow descr = row(2, "DESCRIZIONE", "A", "DESCR");
    descr.NoBlankIni = true;
    descr.IntervalloInizio = 1;
    descr.IntervalloFine = 40;
    descr.UltimaParolaIntera = true;
    LayoutRow categoria = row(4, "CATEGORIA", "A");
    categoria.Costante = QStringLiteral("X");
    EXPECT_EQ(composeDefinition({row(1, "CODICE", "A", "CODICE"), descr, row(3, "PREZZO", "N", "PREZZO"),
                                 categoria, row(5, "NOTE", "A")},
                                m_sources),
              (QStringList{"[CSV]", "1;CODICE;3;A;", "2;DESCRIZIONE;5[NOBLANKINI](1,40)UPI;A;",
                           "3;PREZZO;7;N;", "4;CATEGORIA;'X';A;", "5;NOTE;0;A;"}));
}

TEST_F(Compose, constantWinsOverStaleRangeOptions)
{
    LayoutRow r = row(1, "F", "A", "CODICE");
    r.Costante = QStringLiteral("K");
    r.IntervalloInizio = 2;
    r.IntervalloFine = 3;
    r.PrimaParolaIntera = true;
    EXPECT_EQ(line(r), QStringLiteral("1;F;'K';A;"));
}

TEST_F(Compose, startWithoutLengthWritesNoRangeAndPpiBeatsUpi)
{
    LayoutRow r = row(1, "F", "A", "CODICE");
    r.IntervalloInizio = 2;
    r.PrimaParolaIntera = true;
    r.UltimaParolaIntera = true;
    EXPECT_EQ(line(r), QStringLiteral("1;F;3PPI;A;"));
}

TEST_F(Compose, rowWithoutSourceDropsLeftoverOptions)
{
    LayoutRow r = row(1, "F", "A");
    r.NoBlankIni = true;
    r.IntervalloInizio = 2;
    r.IntervalloFine = 3;
    EXPECT_EQ(line(r), QStringLiteral("1;F;0;A;"));
    r.Origine = QStringLiteral("sparito");
    EXPECT_EQ(line(r), QStringLiteral("1;F;0;A;"));
}

TEST(ComposeDuplicates, sameHeadingTwiceWritesTheFirstNumber)
{
    const auto sources = sourceFields({QStringLiteral("CODICE"), QStringLiteral("CODICE")});
    EXPECT_EQ(composeDefinition({row(1, "F", "A", "CODICE")}, sources).value(1), QStringLiteral("1;F;1;A;"));
}

TEST(ComposeConstant, quoteOrSemicolonIsWrittenUnchanged)
{
    LayoutRow r = row(1, "F", "A");
    r.Costante = QStringLiteral("a;b'c");
    EXPECT_EQ(composeDefinition({r}, sourceFields({})).value(1), QStringLiteral("1;F;'a;b'c';A;"));
}

// ---- over a table of the work database ----------------------------------------

class WizardTable : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, "
                            "DESCRIZIONE VARCHAR(60), UM CHAR(3), PREZZO NUMERIC(15,2), ALIQUOTA NUMERIC(5,2), "
                            "QTA SMALLINT, PEZZI INTEGER, GRANDE BIGINT, PESO DOUBLE PRECISION, "
                            "DATAULTIMOCARICO DATE, AGGIORNATO TIMESTAMP, ORA TIME, NOTE BLOB SUB_TYPE 1)"));
        exec(QStringLiteral("CREATE TABLE ZONE (CODICE VARCHAR(5))"));
    }
};

TEST_F(WizardTable, tableListHasUserTablesInOrder)
{
    const QStringList names = tableNames(att(), tra());
    EXPECT_TRUE(names.contains(QStringLiteral("ARTICOLI")));
    EXPECT_LT(names.indexOf(QStringLiteral("ARTICOLI")), names.indexOf(QStringLiteral("ZONE")));
    for (const QString &name : names)
        EXPECT_FALSE(name.contains(QLatin1Char('$')));
}

TEST_F(WizardTable, columnsBecomeLayoutRowsByType)
{
    std::vector<LayoutRow> layout;
    std::vector<TableColumnRow> columns;
    loadTableLayout(att(), tra(), QStringLiteral("ARTICOLI"), &layout, &columns);
    QStringList seen;
    for (size_t i = 0; i < layout.size(); ++i) {
        seen << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(layout[i].N)
                    .arg(layout[i].Destinazione, layout[i].Tipo)
                    .arg(layout[i].Dimensione)
                    .arg(columns[i].Tipo);
        EXPECT_EQ(layout[i].Origine, QStringLiteral("No origine"));
        EXPECT_EQ(columns[i].Campo, layout[i].Destinazione);
    }
    EXPECT_EQ(seen, (QStringList{"1 CODICE A 15 VARCHAR(15)", "2 DESCRIZIONE A 60 VARCHAR(60)",
                                 "3 UM A 3 VARCHAR(3)", "4 PREZZO N -1 DECIMAL(18,2)",
                                 "5 ALIQUOTA N -1 DECIMAL(18,2)", "6 QTA N -1 SMALLINT",
                                 "7 PEZZI N -1 INTEGER", "8 GRANDE N -1 BIGINT", "9 PESO N -1 FLOAT",
                                 "10 DATAULTIMOCARICO D -1 DATE", "11 AGGIORNATO A 0 VARCHAR(255)",
                                 "12 ORA A 0 VARCHAR(255)", "13 NOTE A 0 BLOB"}));
}

TEST_F(WizardTable, unknownTableIsADatabaseError)
{
    std::vector<LayoutRow> layout;
    std::vector<TableColumnRow> columns;
    EXPECT_THROW(loadTableLayout(att(), tra(), QStringLiteral("NESSUNA"), &layout, &columns), vardof::db::Error);
}

// What the wizard composes converts the way the user set it up.
TEST_F(WizardTable, composedDefinitionConvertsTheSource)
{
    std::vector<LayoutRow> layout;
    std::vector<TableColumnRow> columns;
    loadTableLayout(att(), tra(), QStringLiteral("ZONE"), &layout, &columns);
    ASSERT_EQ(layout.size(), 1u);
    const QString source = m_dir.file(QStringLiteral("zone.txt"));
    writeBytes(source, "SIGLA;NOME;\r\nNO;Nord Ovest lontano;\r\n");
    const auto sources = sourceFields(sourceFieldNames(source, true));
    layout[0].Origine = QStringLiteral("NOME");
    layout[0].IntervalloInizio = 1;
    layout[0].IntervalloFine = layout[0].Dimensione;
    layout[0].UltimaParolaIntera = true;
    const QStringList lines = composeDefinition(layout, sources);
    EXPECT_EQ(lines, (QStringList{"[CSV]", "1;CODICE;2(1,5)UPI;A;"}));

    writeBytes(m_dir.file(QStringLiteral("zone.conf")), lines.join(QStringLiteral("\r\n")).toLatin1());
    ConversionOptions options;
    options.source = source;
    options.destination = m_dir.file(QStringLiteral("zone.dat"));
    options.skipFirstLine = true;
    RecordingSink sink;
    ASSERT_TRUE(Converti(options, sink).completed);
    EXPECT_EQ(readBytes(options.destination), "Nord;\r\n");
}

} // namespace
