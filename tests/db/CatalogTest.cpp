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

// What a user wrote in a script or a settings row, and the relation it
// names. "zone" (quoted at creation) lives beside ZONE; the odd names hold
// characters that would end or comment out an unquoted statement.
struct NameCase
{
    const char *written;
    const char *relation; // "" = none
};

class RelationNames : public FbFixture, public ::testing::WithParamInterface<NameCase>
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE ZONE (CODICE CHAR(3), \"Nome\" VARCHAR(30))"));
        exec(QStringLiteral("CREATE TABLE \"zone\" (CODICE CHAR(3))"));
        exec(QStringLiteral("CREATE TABLE \"a;b--c\" (X INTEGER)"));
        exec(QStringLiteral("CREATE TABLE \"d\"\"e\" (X INTEGER)"));
    }
};

TEST_P(RelationNames, checkAndStatementAgree)
{
    const NameCase c = GetParam();
    const QString found = catalog::relationName(tra(), QString::fromUtf8(c.written));
    EXPECT_EQ(found, QString::fromUtf8(c.relation)) << c.written;
    // The existence check reads the name the same way.
    EXPECT_EQ(catalog::relationExists(tra(), QString::fromUtf8(c.written)), !found.isEmpty()) << c.written;
    if (found.isEmpty())
        return;
    // The quoted name reaches exactly that table and no other.
    exec(QStringLiteral("INSERT INTO ") + quotedName(found) + QStringLiteral(" (%1) VALUES (NULL)")
             .arg(found.startsWith(QLatin1String("zone")) || found == QLatin1String("ZONE") ? QStringLiteral("CODICE")
                                                                                            : QStringLiteral("X")));
    for (const QString &t : {QStringLiteral("ZONE"), QStringLiteral("zone"), QStringLiteral("a;b--c"), QStringLiteral("d\"e")})
        EXPECT_EQ(*toInt64(*queryValue(tra(), QStringLiteral("SELECT COUNT(*) FROM ") + quotedName(t))), t == found ? 1 : 0)
            << c.written << " -> " << t.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelationNames,
    ::testing::Values(NameCase{"zone", "zone"}, NameCase{"ZONE", "ZONE"}, NameCase{"Zone", "ZONE"},
                      NameCase{" ZONE ", "ZONE"}, NameCase{"\"zone\"", "zone"}, NameCase{"\"Zone\"", ""},
                      NameCase{"a;b--c", "a;b--c"}, NameCase{"A;B--C", ""}, NameCase{"d\"e", "d\"e"},
                      NameCase{"\"d\"\"e\"", "d\"e"}, NameCase{"ZONE; DROP TABLE ZONE", ""},
                      NameCase{"ZONE'--", ""}, NameCase{"", ""},
                      NameCase{"X234567890123456789012345678901234567890123456789012345678901234567890", ""}));

TEST_F(CatalogTest, columnNamesReadLikeRelationNames)
{
    exec(QStringLiteral("CREATE TABLE T (CODICE INTEGER, \"Nome\" VARCHAR(10), \"codice\" INTEGER)"));
    const struct { const char *written, *column; } cases[] = {
        {"codice", "codice"}, {"Codice", "CODICE"}, {"CODICE", "CODICE"}, {"Nome", "Nome"},
        {"nome", ""},         {"NOME", ""},         {"\"Nome\"", "Nome"}, {"CODICE'", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(catalog::columnName(tra(), QStringLiteral("T"), QString::fromUtf8(c.written)), QString::fromUtf8(c.column))
            << c.written;
    EXPECT_EQ(catalog::columnName(tra(), QStringLiteral("t"), QStringLiteral("CODICE")), QString()) << "relation by catalogue name";
}

} // namespace
