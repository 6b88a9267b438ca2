// Values written through parameters and read back, one column type at a time.

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

using namespace vardof::db;
using vardof::test::FbFixture;

namespace {

struct RoundTrip
{
    const char *columnType;
    int typeCode;
    FieldValue written;
    FieldValue expected; // what comes back
    const char *text;    // as the library shows it
};

void PrintTo(const RoundTrip &c, std::ostream *os) { *os << c.columnType; }

class ColumnRoundTrip : public FbFixture, public ::testing::WithParamInterface<RoundTrip>
{
};

TEST_P(ColumnRoundTrip, valueComesBackAsWritten)
{
    const RoundTrip &c = GetParam();
    exec(QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, V %1)").arg(QLatin1String(c.columnType)));

    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (ID, V) VALUES (:ID, :V)"));
    ins.setParam(QStringLiteral("ID"), Value(qint64(1)));
    ins.setParam(QStringLiteral("V"), c.written);
    ins.execute();
    EXPECT_EQ(ins.rowsAffected(), 1);
    ins.setParam(QStringLiteral("ID"), Value(qint64(2)));
    ins.setNull(QStringLiteral("V"));
    ins.execute();
    tra().commit();

    Statement sel(att(), tra(), QStringLiteral("SELECT V FROM T ORDER BY ID"));
    ResultSet rs = sel.open();
    ASSERT_EQ(rs.columnCount(), 1);
    EXPECT_EQ(rs.columns()[0].typeCode, c.typeCode);
    EXPECT_EQ(rs.columns()[0].relation.toStdString(), "T");
    ASSERT_TRUE(rs.next());
    EXPECT_EQ(rs.value(0), c.expected);
    EXPECT_EQ(rs.text(0).toStdString(), c.text);
    ASSERT_TRUE(rs.next());
    EXPECT_TRUE(rs.isNull(0));
    EXPECT_FALSE(rs.value(0).has_value());
    EXPECT_EQ(rs.text(0), QString());
    EXPECT_FALSE(rs.next());
}

const QString accented = QStringLiteral("Perù Città àèéìòù € ‘x’ ©");

INSTANTIATE_TEST_SUITE_P(
    Types, ColumnRoundTrip,
    ::testing::Values(
        RoundTrip{"SMALLINT", TypeSmallint, Value(qint64(-12)), Value(qint64(-12)), "-12"},
        RoundTrip{"INTEGER", TypeInteger, Value(qint64(2147483647)), Value(qint64(2147483647)), "2147483647"},
        RoundTrip{"BIGINT", TypeBigint, Value(qint64(9007199254740993LL)), Value(qint64(9007199254740993LL)), "9007199254740993"},
        RoundTrip{"NUMERIC(15,2)", TypeBigint, Value(Decimal{123456, 2}), Value(Decimal{123456, 2}), "1234,56"},
        RoundTrip{"NUMERIC(9,3)", TypeInteger, Value(12.5), Value(Decimal{12500, 3}), "12,500"},
        RoundTrip{"NUMERIC(4,1)", TypeSmallint, Value(QStringLiteral("-3.7")), Value(Decimal{-37, 1}), "-3,7"},
        RoundTrip{"FLOAT", TypeFloat, Value(0.5), Value(0.5), "0,5"},
        RoundTrip{"DOUBLE PRECISION", TypeDouble, Value(1234.5678), Value(1234.5678), "1234,5678"},
        RoundTrip{"DATE", TypeDate, Value(QDate(2024, 2, 29)), Value(QDate(2024, 2, 29)), "29/02/2024"},
        RoundTrip{"TIME", TypeTime, Value(QTime(23, 59, 58)), Value(QTime(23, 59, 58)), "23:59:58"},
        RoundTrip{"TIMESTAMP", TypeTimestamp, Value(QDateTime(QDate(2023, 12, 31), QTime(8, 5, 0))),
                  Value(QDateTime(QDate(2023, 12, 31), QTime(8, 5, 0))), "31/12/2023 08:05:00"},
        RoundTrip{"CHAR(6)", TypeChar, Value(QStringLiteral("àb")), Value(QStringLiteral("àb    ")), "àb    "},
        RoundTrip{"VARCHAR(40)", TypeVarchar, Value(accented), Value(accented), "Perù Città àèéìòù € ‘x’ ©"},
        RoundTrip{"VARCHAR(40) CHARACTER SET WIN1252", TypeVarchar, Value(accented), Value(accented),
                  "Perù Città àèéìòù € ‘x’ ©"},
        RoundTrip{"VARCHAR(10) CHARACTER SET UTF8", TypeVarchar, Value(QStringLiteral("è€")), Value(QStringLiteral("è€")), "è€"},
        RoundTrip{"VARCHAR(10)", TypeVarchar, Value(qint64(42)), Value(QStringLiteral("42")), "42"},
        RoundTrip{"INTEGER", TypeInteger, Value(QStringLiteral("17")), Value(qint64(17)), "17"},
        RoundTrip{"DATE", TypeDate, Value(QDateTime(QDate(2020, 5, 6), QTime(10, 0))), Value(QDate(2020, 5, 6)), "06/05/2020"},
        RoundTrip{"BLOB SUB_TYPE 1", TypeBlob, Value(QStringLiteral("riga 1\r\nriga è 2")),
                  Value(QStringLiteral("riga 1\r\nriga è 2")), "riga 1\r\nriga è 2"},
        RoundTrip{"BLOB SUB_TYPE 0", TypeBlob, Value(QByteArray("\x01\x02\xff", 3)), Value(QByteArray("\x01\x02\xff", 3)),
                  "\x01\x02\xc3\xbf"},
        RoundTrip{"BOOLEAN", TypeBoolean, Value(true), Value(true), "True"}));

class StatementTest : public FbFixture
{
};

TEST_F(StatementTest, aNameUsedTwiceTakesOneValue)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER, B INTEGER)"));
    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (A, B) VALUES (:X, :X + 1)"));
    EXPECT_EQ(ins.paramNames(), QStringList{QStringLiteral("X")});
    ins.setParam(QStringLiteral("x"), Value(qint64(5)));
    ins.execute();
    Statement sel(att(), tra(), QStringLiteral("SELECT A, B FROM T"));
    auto rows = sel.open().fetchAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Value(qint64(5)));
    EXPECT_EQ(rows[0][1], Value(qint64(6)));
}

TEST_F(StatementTest, textLongerThanAnEarlierValueStillBinds)
{
    exec(QStringLiteral("CREATE TABLE T (A VARCHAR(200))"));
    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (A) VALUES (:A)"));
    ins.setParam(QStringLiteral("A"), Value(QStringLiteral("x")));
    ins.execute();
    ins.setParam(QStringLiteral("A"), Value(QString(150, QLatin1Char('y'))));
    ins.execute();
    ins.setParam(QStringLiteral("A"), Value(qint64(7)));
    ins.execute();
    Statement sel(att(), tra(), QStringLiteral("SELECT CHAR_LENGTH(A) FROM T ORDER BY 1"));
    auto rows = sel.open().fetchAll();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2][0], Value(qint64(150)));
}

TEST_F(StatementTest, tooLongTextKeepsTheServerMessage)
{
    exec(QStringLiteral("CREATE TABLE T (A VARCHAR(3))"));
    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (A) VALUES (:A)"));
    ins.setParam(QStringLiteral("A"), Value(QStringLiteral("abcdef")));
    try {
        ins.execute();
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("string truncation"))) << e.message().toStdString();
    }
}

// Every length past the column's fails the same way, however long: the
// 16-bit length of a VARYING must never wrap (a 65,536-character value once
// arrived as an empty string, and a key "NE" + 65,536 characters matched "NE").
class TooLongText : public FbFixture, public ::testing::WithParamInterface<int>
{
};

TEST_P(TooLongText, failsWithTheTruncationErrorAndStoresNothing)
{
    const int length = GetParam();
    exec(QStringLiteral("CREATE TABLE T (K VARCHAR(40) NOT NULL PRIMARY KEY, V VARCHAR(40))"));
    exec(QStringLiteral("INSERT INTO T (K, V) VALUES ('NE', 'prima')"));

    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (K, V) VALUES (:K, 'x')"));
    ins.setParam(QStringLiteral("K"), Value(QString(length, QLatin1Char('a'))));
    try {
        ins.execute();
        ADD_FAILURE() << "insert of " << length << " characters accepted";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("string truncation"))) << e.message().toStdString();
        EXPECT_TRUE(e.hasGdsCode(335544321L));
    }

    Statement upd(att(), tra(), QStringLiteral("UPDATE T SET V = 'dopo' WHERE K = :K"));
    upd.setParam(QStringLiteral("K"), Value(QStringLiteral("NE") + QString(length, QLatin1Char('b'))));
    EXPECT_THROW(upd.execute(), Error);

    Statement sel(att(), tra(), QStringLiteral("SELECT K, V FROM T"));
    auto rows = sel.open().fetchAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], Value(QStringLiteral("prima")));
}

INSTANTIATE_TEST_SUITE_P(Lengths, TooLongText, ::testing::Values(41, 32765, 32766, 65534, 65535, 65536, 65537, 131072, 131113));

TEST_F(StatementTest, longTextIntoABlobIsWhole)
{
    exec(QStringLiteral("CREATE TABLE T (B BLOB SUB_TYPE TEXT)"));
    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (B) VALUES (:B)"));
    ins.setParam(QStringLiteral("B"), Value(QString(70000, QLatin1Char('z'))));
    ins.execute();
    Statement sel(att(), tra(), QStringLiteral("SELECT CHAR_LENGTH(B) FROM T"));
    auto rows = sel.open().fetchAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Value(qint64(70000)));
}

TEST_F(StatementTest, badStatementKeepsTheServerMessage)
{
    try {
        Statement s(att(), tra(), QStringLiteral("SELECT NOPE FROM RDB$DATABASE"));
        s.open();
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Column unknown"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("NOPE"))) << e.message().toStdString();
        EXPECT_EQ(e.sqlCode(), -206);
    }
}

TEST_F(StatementTest, unknownParameterNameIsRefused)
{
    Statement s(att(), tra(), QStringLiteral("SELECT 1 FROM RDB$DATABASE WHERE 1 = :A"));
    EXPECT_THROW(s.setParam(QStringLiteral("B"), Value(qint64(1))), Error);
}

TEST_F(StatementTest, returningAndGeneratorValues)
{
    exec(QStringLiteral("CREATE TABLE T (ID INTEGER, NOME VARCHAR(10))"));
    exec(QStringLiteral("CREATE GENERATOR G"));
    Statement ins(att(), tra(), QStringLiteral("INSERT INTO T (ID, NOME) VALUES (GEN_ID(G, 1), :N) RETURNING ID, NOME"));
    ins.setParam(QStringLiteral("N"), Value(QStringLiteral("uno")));
    ins.execute();
    ins.setParam(QStringLiteral("N"), Value(QStringLiteral("due")));
    ins.execute();
    ASSERT_EQ(ins.returned().size(), 2u);
    EXPECT_EQ(ins.returned()[0], Value(qint64(2)));
    EXPECT_EQ(ins.returned()[1], Value(QStringLiteral("due")));
}

TEST_F(StatementTest, rowsAffectedByUpdateAndDelete)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    exec(QStringLiteral("INSERT INTO T VALUES (1)"));
    exec(QStringLiteral("INSERT INTO T VALUES (2)"));
    exec(QStringLiteral("INSERT INTO T VALUES (3)"));
    Statement up(att(), tra(), QStringLiteral("UPDATE T SET A = A WHERE A >= :M"));
    up.setParam(QStringLiteral("M"), Value(qint64(2)));
    up.execute();
    EXPECT_EQ(up.rowsAffected(), 2);
    Statement del(att(), tra(), QStringLiteral("DELETE FROM T"));
    del.execute();
    EXPECT_EQ(del.rowsAffected(), 3);
}

TEST_F(StatementTest, executeBlockIsSentAsWritten)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    Statement s(att(), tra(),
                QStringLiteral("EXECUTE BLOCK AS\nDECLARE VARIABLE S INTEGER;\nBEGIN\n"
                               "  FOR SELECT 1 FROM RDB$DATABASE INTO :S DO\n"
                               "    INSERT INTO T VALUES (:S);\n  SUSPEND;\nEND"));
    s.execute();
    tra().commit();
    EXPECT_EQ(queryValue(att(), tra(), QStringLiteral("SELECT COUNT(*) FROM T")), Value(qint64(1)));
}

TEST_F(StatementTest, columnMetadataNamesAliasesAndScale)
{
    exec(QStringLiteral("CREATE TABLE ART (CODICE VARCHAR(10) NOT NULL, PREZZO NUMERIC(15,3))"));
    Statement s(att(), tra(), QStringLiteral("SELECT A.CODICE AS COD, A.PREZZO, 1+1 FROM ART A"));
    const auto &cols = s.columns();
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[0].name.toStdString(), "CODICE");
    EXPECT_EQ(cols[0].alias.toStdString(), "COD");
    EXPECT_EQ(cols[0].length, 10);
    EXPECT_FALSE(cols[0].nullable);
    EXPECT_EQ(cols[1].scale, 3);
    EXPECT_EQ(cols[1].typeCode, TypeBigint);
    EXPECT_TRUE(cols[2].relation.isEmpty());
}

} // namespace
