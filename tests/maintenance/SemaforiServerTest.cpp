// Against the private server: two connections as two users, and a second
// process that dies while holding a situation.

#include "Support.h"
#include "maintenance/Semafori.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

class ServerSemaforiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        m_file = QDir(serverDir()).filePath(QStringLiteral("semafori_%1_%2.fdb")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QFile::remove(m_file);
        m_name = serverPrefix() + m_file;
        m_first.create(m_name, params() << QStringLiteral("PAGE_SIZE 4096"));
        execOn(m_first, "CREATE TABLE STOQUER (CODICE INTEGER NOT NULL PRIMARY KEY, TITOLO VARCHAR(40))");
        execOn(m_first, "INSERT INTO STOQUER VALUES (7, 'sette')");
        m_second.connect(m_name, params());
    }
    void TearDown() override
    {
        m_second.disconnect();
        if (m_first.isConnected())
            m_first.dropDatabase();
    }
    static QStringList params() { return db::loginParams(QStringLiteral("SYSDBA"), serverPassword()); }

    QString m_file, m_name;
    db::Attachment m_first, m_second;
};

TEST_F(ServerSemaforiTest, recordLockerRefusesTheSecondUserUntilRelease)
{
    auto t1 = TransazioneNoWait(m_first);
    auto t2 = TransazioneNoWait(m_second);
    TDBRecordLocker l1, l2;
    for (auto *p : {&l1, &l2}) {
        p->NomeTabella = "STOQUER";
        p->CampiChiave = QStringList{"CODICE"};
    }
    l1.ImpostaTransazione(m_first, *t1);
    l2.ImpostaTransazione(m_second, *t2);
    l1.ParametroChiave("CODICE", db::Value(qint64(7)));
    l2.ParametroChiave("CODICE", db::Value(qint64(7)));
    ASSERT_EQ(l1.BloccaRecord(), TDBRecordLocker::RecordBloccato);
    EXPECT_EQ(l2.BloccaRecord(), TDBRecordLocker::RecordRifiutato);

    t1->rollback();
    t2->rollback();
    t2->start();
    EXPECT_EQ(l2.BloccaRecord(), TDBRecordLocker::RecordBloccato);
}

TEST_F(ServerSemaforiTest, situationIsExclusiveAndTheLogSaysWhoAndWhen)
{
    TSemaforiSituazioni a(1, m_first), b(2, m_second);
    QString m;
    ASSERT_TRUE(a.VerificaStrutture(m)) << m.toStdString();
    ASSERT_TRUE(a.OccupaSituazione("QUERY_SUCC_0001", "QUERY_SUCC_0001"));
    EXPECT_FALSE(b.OccupaSituazione("QUERY_SUCC_0001", "QUERY_SUCC_0001"));
    a.LiberaSituazione();
    EXPECT_TRUE(b.OccupaSituazione("QUERY_SUCC_0001", "QUERY_SUCC_0001"));

    db::Transaction t(m_first);
    db::Statement s(m_first, t,
                    "SELECT OPERATORE, SITUAZIONEOCCUPATA, DATAORA, DATAORALIBERAZIONE FROM SEMAFORI_LOG ORDER BY ID");
    const auto rows = s.open().fetchAll();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], db::FieldValue(db::Value(qint64(1))));
    EXPECT_EQ(rows[0][1], db::FieldValue(db::Value(qint64(0))));
    ASSERT_TRUE(rows[0][3].has_value());
    EXPECT_GE(std::get<QDateTime>(*rows[0][3]), std::get<QDateTime>(*rows[0][2]));
    EXPECT_EQ(rows[1][0], db::FieldValue(db::Value(qint64(2))));
    EXPECT_EQ(rows[1][1], db::FieldValue(db::Value(qint64(1))));
    EXPECT_FALSE(rows[1][3].has_value());
    EXPECT_EQ(rows[2][0], db::FieldValue(db::Value(qint64(2))));
    EXPECT_FALSE(rows[2][3].has_value());
}

TEST_F(ServerSemaforiTest, aKilledHolderLeavesTheSituationFree)
{
    QProcess holder;
    holder.start(QStringLiteral(SEMAFORO_TENUTO), {m_name, serverPassword(), QStringLiteral("SITUAZIONE_X")});
    ASSERT_TRUE(holder.waitForStarted(10000));
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (!out.contains('\n') && clock.elapsed() < 20000) {
        holder.waitForReadyRead(500);
        out += holder.readAllStandardOutput();
    }
    ASSERT_EQ(out.trimmed(), QByteArray("PRESA"));

    TSemaforiSituazioni me(1, m_second);
    EXPECT_FALSE(me.OccupaSituazione("SITUAZIONE_X", "test"));

    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(10000));
    // The server notices the dead connection and ends its transaction.
    bool taken = false;
    clock.restart();
    while (!taken && clock.elapsed() < 30000) {
        taken = me.OccupaSituazione("SITUAZIONE_X", "test");
        if (!taken)
            QThread::msleep(200);
    }
    EXPECT_TRUE(taken);
}

} // namespace
