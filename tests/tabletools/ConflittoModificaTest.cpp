// Two processes edit the same row of a table on the server: the editor's
// post is refused with the server's message, the other user's value stays,
// and what the editor's user typed stays in the grid, marked, to be posted
// again. The other user is this executable started again with
// VARDOF_ALTRO_UTENTE naming the database and what to do.
#include "tabletools/TabellaEditor.h"
#include "tabletools/ui/ModelloEditabile.h"

#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "support/FbFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <string>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

db::Attachment collega(const QString &nome)
{
    return db::Attachment::attach(nome, db::loginParams(QStringLiteral("SYSDBA"), test::serverPassword()));
}

// The other user: "committed" changes the row and commits; "held" changes
// it, says "pronto" and keeps it until its input closes.
int altroUtente(const QString &nome, const QString &modo)
{
    try {
        db::Attachment att = collega(nome);
        db::Transaction tra(att);
        db::executeSql(tra, QStringLiteral("UPDATE CLIENTI SET NOME = 'ALTRO' WHERE ID = 1"));
        if (modo == QLatin1String("committed")) {
            tra.commit();
            return 0;
        }
        std::cout << "pronto" << std::endl;
        std::string riga;
        std::getline(std::cin, riga);
        tra.rollback();
        return 0;
    } catch (const db::Error &e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 2;
    }
}

struct CasoConflitto
{
    const char *nome;
    const char *modo;     // what the other user does
    const char *valoreDb; // NOME afterwards, as another connection reads it
};

class ConflittoModifica : public ::testing::TestWithParam<CasoConflitto>
{
protected:
    void SetUp() override
    {
        if (test::serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        m_path = QDir(test::serverDir()).filePath(QStringLiteral("conflitto_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_path);
        m_nome = test::serverPrefix() + m_path;
        m_att.create(m_nome, db::loginParams(QStringLiteral("SYSDBA"), test::serverPassword()) << QStringLiteral("PAGE_SIZE 4096"));
        db::Transaction t(m_att);
        db::executeSql(t, QStringLiteral("CREATE TABLE CLIENTI (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(20))"));
        t.commit();
        db::executeSql(t, QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROSSI')"));
        db::executeSql(t, QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'VERDI')"));
        t.commit();
        db::Transaction::setDefaultLockTimeout(2);
    }
    void TearDown() override
    {
        db::Transaction::setDefaultLockTimeout(-1);
        if (m_att.isConnected()) {
            try {
                m_att.dropDatabase();
            } catch (...) {
                m_att.disconnect();
            }
        }
    }
    QString nomeDaFuori()
    {
        db::Attachment att = collega(m_nome);
        db::Transaction t(att);
        return db::toText(db::queryValue(t, QStringLiteral("SELECT NOME FROM CLIENTI WHERE ID = 1")));
    }
    QString m_path, m_nome;
    db::Attachment m_att;
};

TEST_P(ConflittoModifica, TheSecondPostIsRefusedAndNothingIsLost)
{
    const CasoConflitto &c = GetParam();
    // The editor: its transaction reads the row first, as the grid does.
    db::Transaction tra(m_att);
    TabellaEditor editor(tra, QStringLiteral("CLIENTI"));
    grid::SorgenteQuery sorgente;
    sorgente.attach(m_att, tra);
    sorgente.SQL() = editor.statementGriglia();
    grid::ModelloGriglia griglia;
    griglia.setSorgente(&sorgente);
    ModelloEditabile modello;
    modello.setGriglia(&griglia);
    modello.setTabella(&editor);
    QStringList rifiuti;
    modello.rifiutato = [&](const QString &m) { rifiuti << m; };
    sorgente.open();
    griglia.fetchAll();
    ASSERT_EQ(modello.rowCount(), 2);

    QProcess altro;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VARDOF_ALTRO_UTENTE"), m_nome);
    env.insert(QStringLiteral("VARDOF_ALTRO_MODO"), QString::fromUtf8(c.modo));
    altro.setProcessEnvironment(env);
    altro.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(altro.waitForStarted(10000));
    if (QLatin1String(c.modo) == QLatin1String("committed")) {
        ASSERT_TRUE(altro.waitForFinished(30000));
        ASSERT_EQ(altro.exitCode(), 0) << altro.readAllStandardError().toStdString();
    } else {
        ASSERT_TRUE(altro.waitForReadyRead(30000)) << altro.readAllStandardError().toStdString();
        ASSERT_TRUE(altro.readAllStandardOutput().contains("pronto"));
    }

    const QModelIndex cella = modello.index(0, 1);
    EXPECT_FALSE(modello.setData(cella, QStringLiteral("MIO"), Qt::EditRole));
    ASSERT_EQ(rifiuti.size(), 1);
    EXPECT_TRUE(rifiuti[0].startsWith(QStringLiteral("Salvataggio della riga non riuscito\r")));
    EXPECT_GT(rifiuti[0].size(), QStringLiteral("Salvataggio della riga non riuscito\r").size()) << "no server message";
    // What was typed is still on screen, marked as not saved.
    EXPECT_EQ(modello.data(cella).toString(), QStringLiteral("MIO"));
    EXPECT_TRUE(modello.haModificheNonSalvate());
    // The other row is still editable in the same transaction.
    EXPECT_TRUE(modello.setData(modello.index(1, 1), QStringLiteral("BIANCHI"), Qt::EditRole));

    if (altro.state() != QProcess::NotRunning) {
        altro.closeWriteChannel();
        ASSERT_TRUE(altro.waitForFinished(30000));
    }
    EXPECT_EQ(nomeDaFuori(), QString::fromUtf8(c.valoreDb));
    db::Attachment att = collega(m_nome);
    db::Transaction t(att);
    EXPECT_EQ(db::toText(db::queryValue(t, QStringLiteral("SELECT NOME FROM CLIENTI WHERE ID = 2"))), QStringLiteral("BIANCHI"));
    t.rollback();
    att.disconnect();
    sorgente.chiudiSenzaGestori();
    tra.rollback();
}

INSTANTIATE_TEST_SUITE_P(Casi, ConflittoModifica,
                         ::testing::Values(CasoConflitto{"CommittedMeanwhile", "committed", "ALTRO"},
                                           CasoConflitto{"StillHeld", "held", "ROSSI"}),
                         [](const auto &info) { return std::string(info.param.nome); });

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString altro = qEnvironmentVariable("VARDOF_ALTRO_UTENTE");
    if (!altro.isEmpty())
        return altroUtente(altro, qEnvironmentVariable("VARDOF_ALTRO_MODO"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
