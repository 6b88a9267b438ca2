// Against the private server: two processes of one user, each with its own
// query window on the same stored query, are told to walk the chain at the
// same moment. One walks; the other is refused with the same-user warning
// and never touches the answer tables the first one reads.

#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "qbe/TIBFQuerForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <memory>

using namespace vardof;
using namespace vardof::test;

namespace {

constexpr int kUtente = 7;

class CatenaServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        m_file = QDir(serverDir()).filePath(
            QStringLiteral("catena_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_file);
        m_name = serverPrefix() + m_file;
        m_att.create(m_name, db::loginParams(QStringLiteral("SYSDBA"), serverPassword())
                                 << QStringLiteral("PAGE_SIZE 4096"));
        exec("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60),"
             " CITTA VARCHAR(40))");
        exec("INSERT INTO CLIENTI VALUES (1, 'ROSSI SPA', 'ROMA')");
        exec("INSERT INTO CLIENTI VALUES (2, 'BIANCHI SRL', 'MILANO')");
        exec("INSERT INTO CLIENTI VALUES (3, 'D''ANGELO SNC', 'ROMA')");
        db::Transaction t(m_att);
        storedqueries::PreparaTabelleQuery(m_att, t);
        t.commitRetaining();
        storedqueries::scriviStoInt(m_att, t, 0, 5,
                                    {{1, "CODICE", 1, ""}, {2, "RAGIONESOCIALE", 1, ""}, {3, "CITTA", 1, "ROMA"}});
        t.commit();
    }
    void TearDown() override
    {
        for (auto &p : m_processi) {
            if (p->state() != QProcess::NotRunning) {
                p->write("FINE\n");
                if (!p->waitForFinished(10000))
                    p->kill();
                p->waitForFinished(5000);
            }
        }
        m_processi.clear();
        if (m_att.isConnected())
            m_att.dropDatabase();
    }

    void exec(const char *sql)
    {
        db::Transaction t(m_att);
        db::executeSql(m_att, t, QString::fromUtf8(sql));
        t.commit();
    }

    QProcess *avvia()
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        const QString host = m_host.path() + QStringLiteral("/host%1/").arg(m_processi.size());
        QDir().mkpath(host);
        p->start(QStringLiteral(CATENA_PROCESSO), {m_name, serverPassword(), QString::number(kUtente), host});
        EXPECT_TRUE(p->waitForStarted(10000));
        m_processi.push_back(std::move(p));
        return m_processi.back().get();
    }

    // The next line the process prints; empty after the time allowed.
    static QByteArray riga(QProcess *p, int ms = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!p->canReadLine() && clock.elapsed() < ms)
            if (!p->waitForReadyRead(500) && p->state() == QProcess::NotRunning)
                break;
        return p->readLine().trimmed();
    }

    // RDB$RELATION_ID and row count of a table: a table dropped and made
    // again gets another id.
    std::pair<qint64, qint64> identita(const QString &tabella)
    {
        db::Transaction t(m_att);
        const db::FieldValue id = db::queryValue(
            m_att, t, QStringLiteral("SELECT RDB$RELATION_ID FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '")
                          + tabella + QLatin1Char('\''));
        const db::FieldValue n = db::queryValue(m_att, t, QStringLiteral("SELECT COUNT(*) FROM ") + tabella);
        return {id ? qint64(db::toDouble(*id).value_or(-1)) : -1, n ? qint64(db::toDouble(*n).value_or(-1)) : -1};
    }

    QString m_file, m_name;
    db::Attachment m_att;
    TempDir m_host;
    std::vector<std::unique_ptr<QProcess>> m_processi;
};

TEST_F(CatenaServer, twoProcessesOfOneUserWalkAtOnceAndTheSecondIsRefused)
{
    QProcess *a = avvia();
    QProcess *b = avvia();
    ASSERT_EQ(riga(a), QByteArray("PRONTO")) << a->readAllStandardError().toStdString();
    ASSERT_EQ(riga(b), QByteArray("PRONTO")) << b->readAllStandardError().toStdString();

    a->write("VAI\n");
    b->write("VAI\n");
    const QByteArray ra = riga(a);
    const QByteArray rb = riga(b);
    const bool vinceA = ra == "LIVELLO 1";
    ASSERT_TRUE(vinceA || rb == "LIVELLO 1") << ra.toStdString() << " / " << rb.toStdString();
    QProcess *primo = vinceA ? a : b;
    QProcess *secondo = vinceA ? b : a;
    EXPECT_EQ(vinceA ? rb : ra, QByteArray("RIFIUTATO MESSAGGIO"));

    // The first one's answer of level 0: the customers of Rome.
    const QString livello0 = qbe::TIBFQuerForm::NomeTabellaRisposta(kUtente, 0);
    const auto prima = identita(livello0);
    ASSERT_GE(prima.first, 0);
    EXPECT_EQ(prima.second, 2);

    // Asked again, the second is refused again and the table is the same one.
    secondo->write("VAI\n");
    EXPECT_EQ(riga(secondo), QByteArray("RIFIUTATO MESSAGGIO"));
    EXPECT_EQ(identita(livello0), prima);

    // The first goes on along its chain over its own tables.
    primo->write("VAI\n");
    EXPECT_EQ(riga(primo), QByteArray("LIVELLO 2"));
    EXPECT_EQ(identita(livello0), prima);
    EXPECT_EQ(identita(qbe::TIBFQuerForm::NomeTabellaRisposta(kUtente, 1)).second, 2);

    // Once the first process is gone, the semaphore goes with it.
    primo->write("FINE\n");
    ASSERT_TRUE(primo->waitForFinished(30000));
    secondo->write("VAI\n");
    EXPECT_EQ(riga(secondo), QByteArray("LIVELLO 1")) << secondo->readAllStandardError().toStdString();
}

} // namespace
