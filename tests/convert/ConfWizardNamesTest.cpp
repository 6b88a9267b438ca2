// The wizard over tables whose names differ only by quoting or look like
// SQL: the list shows each as the catalogue holds it, the layout comes from
// exactly that table, a name that cannot stand in a definition line is
// refused, and reading the tables changes nothing.

#include "ConvertTestSupport.h"

#include "convert/ConfWizard.h"
#include "db/Error.h"
#include "support/FbFixture.h"
#include "support/TableChecksum.h"

#include <gtest/gtest.h>

using namespace vardof::convert;
using namespace vardof::test;

namespace {

struct TabellaCase
{
    const char *nome;
    QString tabella;          // as chosen or typed
    QStringList campi;        // the layout's destination names; empty: a database error
};

void PrintTo(const TabellaCase &c, std::ostream *os) { *os << c.nome; }

class NomiWizard : public FbFixture, public ::testing::WithParamInterface<TabellaCase>
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(R"(CREATE TABLE "zone" (COD VARCHAR(5) NOT NULL PRIMARY KEY, "nome" VARCHAR(40), NOME VARCHAR(40)))");
        exec(R"(CREATE TABLE ZONE (COD VARCHAR(5) NOT NULL PRIMARY KEY, NOME VARCHAR(40)))");
        exec(R"(CREATE TABLE "a;b -- c'd" ("k'ey" VARCHAR(10) NOT NULL PRIMARY KEY, "val;ue -- x" VARCHAR(60)))");
        exec(R"(INSERT INTO ZONE VALUES ('Z1', 'NORD'))");
        exec(R"(INSERT INTO "zone" VALUES ('Z1', 'nord', 'NORD'))");
    }
};

TEST_P(NomiWizard, layoutOfTheTableNamed)
{
    const TabellaCase &c = GetParam();
    const auto prima = impronteTabelle(att());
    std::vector<LayoutRow> layout;
    std::vector<TableColumnRow> columns;
    if (c.campi.isEmpty()) {
        EXPECT_THROW(loadTableLayout(att(), tra(), c.tabella, &layout, &columns), vardof::db::Error);
    } else {
        loadTableLayout(att(), tra(), c.tabella, &layout, &columns);
        QStringList campi;
        for (const LayoutRow &r : layout)
            campi << r.Destinazione;
        EXPECT_EQ(campi, c.campi);
    }
    tra().rollback();
    EXPECT_EQ(impronteTabelle(att()), prima);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NomiWizard,
    ::testing::Values(TabellaCase{"zone is the quoted lower-case table", "zone", {"COD", "nome", "NOME"}},
                      TabellaCase{"ZONE is the upper-case table", "ZONE", {"COD", "NOME"}},
                      TabellaCase{"\"zone\" typed quoted", "\"zone\"", {"COD", "nome", "NOME"}},
                      TabellaCase{"a name with ; -- and a quote", "a;b -- c'd", {"k'ey", "val;ue -- x"}},
                      TabellaCase{"a statement after the name", "ZONE; DELETE FROM ZONE --", {}},
                      TabellaCase{"a name closing the quotes", "ZONE\" --", {}},
                      TabellaCase{"a name longer than the catalogue's", QString(70, u'Z'), {}}),
    [](const ::testing::TestParamInfo<TabellaCase> &info) { return "case" + std::to_string(info.index); });

TEST_F(NomiWizard, listShowsEveryTableAsHeld)
{
    const QStringList names = tableNames(att(), tra());
    EXPECT_TRUE(names.contains("zone"));
    EXPECT_TRUE(names.contains("ZONE"));
    EXPECT_TRUE(names.contains("a;b -- c'd"));
    for (const QString &name : names)
        EXPECT_FALSE(name.contains(QLatin1Char('$'))) << name.toStdString();
}

TEST_F(NomiWizard, aColumnNameWithASemicolonCannotBeWritten)
{
    std::vector<LayoutRow> layout;
    std::vector<TableColumnRow> columns;
    loadTableLayout(att(), tra(), "a;b -- c'd", &layout, &columns);
    EXPECT_EQ(definitionProblem(layout),
              "Il nome del campo \"val;ue -- x\" contiene il carattere \";\" o un a capo: non può essere scritto nel file .conf");
    loadTableLayout(att(), tra(), "zone", &layout, &columns);
    EXPECT_EQ(definitionProblem(layout), QString());
    // A constant is the user's text: written as typed.
    layout[1].Costante = "a;b";
    EXPECT_EQ(definitionProblem(layout), QString());
}

} // namespace
