// Against the private server the test command starts: two connections as
// two users of the same database file.

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QDir>
#include <QFile>

using namespace vardof::db;
using namespace vardof::test;

namespace {

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        m_file = QDir(serverDir()).filePath(QStringLiteral("server_test_%1.fdb").arg(::testing::UnitTest::GetInstance()->random_seed()));
        QFile::remove(m_file);
        m_name = serverPrefix() + m_file;
        m_first.create(m_name, params() << QStringLiteral("PAGE_SIZE 4096"));
        Transaction t(m_first);
        executeSql(m_first, t, QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY)"));
        t.commit();
        m_second.connect(m_name, params());
    }
    void TearDown() override
    {
        m_second.disconnect();
        if (m_first.isConnected())
            m_first.dropDatabase();
    }
    static QStringList params() { return loginParams(QStringLiteral("SYSDBA"), serverPassword()); }

    QString m_file, m_name;
    Attachment m_first, m_second;
};

TEST_F(ServerTest, secondUserSeesCommittedRowsAndGetsTheConflictAtOnce)
{
    const QStringList nowait{QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")};
    Transaction a(m_first, nowait);
    executeSql(m_first, a, QStringLiteral("INSERT INTO T VALUES (1)"));
    a.commitRetaining();

    Transaction b(m_second, nowait);
    EXPECT_EQ(queryValue(m_second, b, QStringLiteral("SELECT COUNT(*) FROM T")), Value(qint64(1)));

    executeSql(m_first, a, QStringLiteral("UPDATE T SET A = A WHERE A = 1"));
    try {
        executeSql(m_second, b, QStringLiteral("UPDATE T SET A = A WHERE A = 1"));
        FAIL() << "no conflict";
    } catch (const Error &e) {
        EXPECT_TRUE(e.isLockConflict()) << e.message().toStdString();
    }
    a.rollback();
    b.rollback();
    Transaction c(m_second, nowait);
    EXPECT_NO_THROW(executeSql(m_second, c, QStringLiteral("UPDATE T SET A = A WHERE A = 1")));
}

TEST_F(ServerTest, wrongPasswordIsRefusedWithTheServerMessage)
{
    Attachment a;
    try {
        a.connect(m_name, loginParams(QStringLiteral("SYSDBA"), QStringLiteral("sbagliata")));
        FAIL() << "connected";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("password"))) << e.message().toStdString();
    }
}

} // namespace
