#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/FbFixture.h"

using namespace vardof::db;
using vardof::test::FbFixture;

namespace {

class TransactionTest : public FbFixture
{
protected:
    qint64 count(Attachment &a, Transaction &t)
    {
        return *toInt64(*queryValue(a, t, QStringLiteral("SELECT COUNT(*) FROM T")));
    }
};

TEST_F(TransactionTest, commitRetainingIsSeenByASecondAttachment)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    Transaction reader(other, {QStringLiteral("isc_tpb_read_committed"), QStringLiteral("isc_tpb_rec_version")});

    Transaction writer(att());
    executeSql(att(), writer, QStringLiteral("INSERT INTO T VALUES (1)"));
    EXPECT_EQ(count(other, reader), 0);
    writer.commitRetaining();
    EXPECT_TRUE(writer.isActive());
    EXPECT_EQ(count(other, reader), 1);
    executeSql(att(), writer, QStringLiteral("INSERT INTO T VALUES (2)"));
    writer.rollbackRetaining();
    EXPECT_TRUE(writer.isActive());
    EXPECT_EQ(count(att(), writer), 1);
    writer.rollback();
    EXPECT_FALSE(writer.isActive());
}

TEST_F(TransactionTest, nowaitConflictCarriesTheServerMessage)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY)"));
    exec(QStringLiteral("INSERT INTO T VALUES (1)"));
    const QStringList nowait{QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")};
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    Transaction first(att(), nowait);
    Transaction second(other, nowait);
    executeSql(att(), first, QStringLiteral("UPDATE T SET A = A WHERE A = 1"));
    try {
        executeSql(other, second, QStringLiteral("UPDATE T SET A = A WHERE A = 1"));
        FAIL() << "no conflict";
    } catch (const Error &e) {
        EXPECT_TRUE(e.isLockConflict());
        EXPECT_TRUE(e.message().contains(QStringLiteral("update conflicts with concurrent update")))
            << e.message().toStdString();
    }
}

TEST_F(TransactionTest, destroyingAnActiveTransactionRollsBack)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    {
        Transaction t(att());
        executeSql(att(), t, QStringLiteral("INSERT INTO T VALUES (1)"));
    }
    EXPECT_EQ(count(att(), tra()), 0);
}

TEST_F(TransactionTest, disconnectWithAnOpenTransactionDropsItsWork)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    Transaction t(other);
    executeSql(other, t, QStringLiteral("INSERT INTO T VALUES (1)"));
    other.disconnect();
    EXPECT_FALSE(t.isActive());
    EXPECT_FALSE(other.isConnected());
    EXPECT_EQ(count(att(), tra()), 0);
}

TEST_F(TransactionTest, aStatementFindsItsConnectionThroughTheTransaction)
{
    exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    Transaction t(other);
    Statement insert(t, QStringLiteral("INSERT INTO T VALUES (:A)"));
    for (int i = 1; i <= 3; ++i) {
        insert.setParam(QStringLiteral("A"), qint64(i));
        insert.execute();
    }
    EXPECT_EQ(*toInt64(*queryValue(t, QStringLiteral("SELECT SUM(A) FROM T"))), 6);
    t.commit();
    EXPECT_EQ(count(att(), tra()), 3);
}

TEST_F(TransactionTest, aStatementRefusesATransactionOfAnotherConnection)
{
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    Transaction t(other);
    EXPECT_THROW(Statement(att(), t, QStringLiteral("SELECT 1 FROM RDB$DATABASE")), Error);
}

TEST_F(TransactionTest, cursorsAndStatementsOutliveTheirTransactionsEnd)
{
    // Client objects whose server side went with a commit, a rollback or a
    // disconnect are let go without a second release (a double release
    // crashes in the client library).
    exec(QStringLiteral("CREATE TABLE T (A INTEGER, B BLOB SUB_TYPE TEXT)"));
    exec(QStringLiteral("INSERT INTO T VALUES (1, 'uno')"));
    exec(QStringLiteral("INSERT INTO T VALUES (2, 'due')"));
    Attachment other = Attachment::attach(dbPath(), vardof::test::adminParams());
    for (int end = 0; end < 3; ++end) {
        Transaction t(other);
        Statement s(t, QStringLiteral("SELECT A, B FROM T ORDER BY A"));
        ResultSet rs = s.open();
        ASSERT_TRUE(rs.next());
        EXPECT_EQ(rs.text(1), QStringLiteral("uno"));
        if (end == 0)
            t.commit();
        else if (end == 1)
            t.rollback();
        else
            other.disconnect();
        rs.close();
        s.close();
        if (end == 2)
            other = Attachment::attach(dbPath(), vardof::test::adminParams());
    }
}

struct TpbCase
{
    int code;
    const char *name;
};

class TransactionParameterNames : public ::testing::TestWithParam<TpbCase>
{
};

TEST_P(TransactionParameterNames, codeAndNameAgree)
{
    EXPECT_EQ(Transaction::parameterName(GetParam().code).toStdString(), GetParam().name);
    EXPECT_EQ(Transaction::parameterCode(QStringLiteral("isc_tpb_") + QLatin1String(GetParam().name)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    All, TransactionParameterNames,
    ::testing::Values(TpbCase{1, "consistency"}, TpbCase{2, "concurrency"}, TpbCase{3, "shared"},
                      TpbCase{4, "protected"}, TpbCase{5, "exclusive"}, TpbCase{6, "wait"},
                      TpbCase{7, "nowait"}, TpbCase{8, "read"}, TpbCase{9, "write"},
                      TpbCase{10, "lock_read"}, TpbCase{11, "lock_write"}, TpbCase{12, "verb_time"},
                      TpbCase{13, "commit_time"}, TpbCase{14, "ignore_limbo"}, TpbCase{15, "read_committed"},
                      TpbCase{16, "autocommit"}, TpbCase{17, "rec_version"}, TpbCase{18, "no_rec_version"},
                      TpbCase{19, "restart_requests"}, TpbCase{20, "no_auto_undo"}));

TEST_F(TransactionTest, everyUsualParameterSetStarts)
{
    const QList<QStringList> sets{
        {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")},
        {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")},
        {QStringLiteral("isc_tpb_read"), QStringLiteral("isc_tpb_read_committed"), QStringLiteral("isc_tpb_rec_version")},
        {QStringLiteral("isc_tpb_consistency"), QStringLiteral("isc_tpb_wait"), QStringLiteral("isc_tpb_write")},
    };
    for (const QStringList &set : sets) {
        Transaction t(att(), set);
        EXPECT_NO_THROW(t.start()) << set.join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(t.isActive());
    }
    Transaction bad(att(), {QStringLiteral("isc_tpb_nonsense")});
    EXPECT_THROW(bad.start(), Error);
}

TEST(AttachmentTest, openingAMissingFileKeepsTheServerMessage)
{
    vardof::test::TempDir dir;
    Attachment a;
    try {
        a.connect(dir.file(QStringLiteral("nessuno.fdb")), vardof::test::adminParams());
        FAIL() << "connected";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nessuno.fdb"))) << e.message().toStdString();
    }
    EXPECT_FALSE(a.isConnected());
}

struct NameCase
{
    const char *name;
    bool local;
};

class LocalNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(LocalNames, embeddedOnlyForPlainPaths)
{
    EXPECT_EQ(Attachment::isLocalName(QString::fromLatin1(GetParam().name)), GetParam().local);
}

INSTANTIATE_TEST_SUITE_P(Cases, LocalNames,
                         ::testing::Values(NameCase{"/tmp/a.fdb", true}, NameCase{"archivio.fdb", true},
                                           NameCase{"C:\\DATI\\archivio.fdb", true},
                                           NameCase{"SRV:C:\\DATI\\archivio.fdb", false},
                                           NameCase{"SRV:ARCH", false}, NameCase{"localhost/3051:/x.fdb", false},
                                           NameCase{"\\\\SRV\\D:\\ARCHIVI\\a.fdb", false}));

} // namespace
