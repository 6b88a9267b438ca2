#include "db/Catalog.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

using namespace vardof::db;
using vardof::test::FbFixture;

namespace {

class CatalogTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE ZONE (CODICE CHAR(3) NOT NULL, NOME VARCHAR(30), CONSTRAINT ZONE_PK PRIMARY KEY (CODICE))"));
        exec(QStringLiteral("CREATE TABLE ARTICOLI (DITTA INTEGER NOT NULL, CODICE VARCHAR(15) NOT NULL, "
                            "PREZZO NUMERIC(15,2), NOTE BLOB SUB_TYPE 1, DATA DATE, EAN CHAR(13), "
                            "PRIMARY KEY (DITTA, CODICE))"));
        exec(QStringLiteral("CREATE UNIQUE INDEX ARTICOLI_EAN ON ARTICOLI (EAN)"));
        exec(QStringLiteral("CREATE VIEW V_ZONE AS SELECT CODICE FROM ZONE"));
        exec(QStringLiteral("CREATE GENERATOR GEN_ARTICOLI"));
    }
};

TEST_F(CatalogTest, userTablesLeaveOutViewsAndSystemTables)
{
    EXPECT_EQ(catalog::userTables(att(), tra()), (QStringList{QStringLiteral("ARTICOLI"), QStringLiteral("ZONE")}));
    EXPECT_TRUE(catalog::relationExists(att(), tra(), QStringLiteral("zone")));
    EXPECT_TRUE(catalog::relationExists(att(), tra(), QStringLiteral("V_ZONE")));
    EXPECT_FALSE(catalog::relationExists(att(), tra(), QStringLiteral("NESSUNA")));
}

TEST_F(CatalogTest, columnsInPositionOrderWithTypes)
{
    const auto cols = catalog::columns(att(), tra(), QStringLiteral("ARTICOLI"));
    ASSERT_EQ(cols.size(), 6u);
    QStringList texts;
    for (const auto &c : cols)
        texts << c.name + QLatin1Char(' ') + c.sqlTypeText();
    EXPECT_EQ(texts.join(QLatin1String(", ")).toStdString(),
              "DITTA INTEGER, CODICE VARCHAR(15), PREZZO NUMERIC(15,2), NOTE BLOB SUB_TYPE 1, DATA DATE, EAN CHAR(13)");
    EXPECT_FALSE(cols[0].nullable);
    EXPECT_TRUE(cols[2].nullable);
}

TEST_F(CatalogTest, keysAndUniqueIndexes)
{
    EXPECT_EQ(catalog::primaryKeyFields(att(), tra(), QStringLiteral("ARTICOLI")),
              (QStringList{QStringLiteral("DITTA"), QStringLiteral("CODICE")}));
    const auto unique = catalog::uniqueIndexFields(att(), tra(), QStringLiteral("ARTICOLI"));
    ASSERT_EQ(unique.size(), 2u);
    EXPECT_TRUE(std::find(unique.begin(), unique.end(), QStringList{QStringLiteral("EAN")}) != unique.end());
    EXPECT_TRUE(catalog::primaryKeyFields(att(), tra(), QStringLiteral("NESSUNA")).isEmpty());
}

TEST_F(CatalogTest, generators)
{
    EXPECT_EQ(catalog::generators(att(), tra()), QStringList{QStringLiteral("GEN_ARTICOLI")});
    EXPECT_TRUE(catalog::generatorExists(att(), tra(), QStringLiteral("gen_articoli")));
}

} // namespace
