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

// The other user: "committed" changes the row (or runs `sql`) and commits;
// "held" does the same, says "pronto" and keeps it until its input closes.
int altroUtente(const QString &nome, const QString &modo, QString sql)
{
    if (sql.isEmpty())
        sql = QStringLiteral("UPDATE CLIENTI SET NOME = 'ALTRO' WHERE ID = 1");
    try {
        db::Attachment att = collega(nome);
        db::Transaction tra(att);
        db::executeSql(tra, sql);
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

// A fresh database on the private server with two customers.
class ServerDb : public ::testing::Test
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

class ConflittoModifica : public ServerDb, public ::testing::WithParamInterface<CasoConflitto>
{
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

// The same two users, for a row deleted or added by the editor while the
// other user changes that row or adds the same key.
struct CasoRiga
{
    const char *nome;
    const char *modo;    // what the other user does
    const char *altro;   // the other user's statement
    bool cancella;       // the editor deletes row 0; otherwise it adds a row with ID 3
    const char *dopo;    // ID:NOME of the table afterwards, from outside
};

class ConflittoRiga : public ServerDb, public ::testing::WithParamInterface<CasoRiga>
{
};

TEST_P(ConflittoRiga, TheRefusalIsShownAndTheRowStays)
{
    const CasoRiga &c = GetParam();
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
    sorgente.open();
    griglia.fetchAll();
    ASSERT_EQ(modello.rowCount(), 2);

    QProcess altro;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VARDOF_ALTRO_UTENTE"), m_nome);
    env.insert(QStringLiteral("VARDOF_ALTRO_MODO"), QString::fromUtf8(c.modo));
    env.insert(QStringLiteral("VARDOF_ALTRO_SQL"), QString::fromUtf8(c.altro));
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

    if (c.cancella) {
        EXPECT_FALSE(modello.cancellaRiga(0));
        EXPECT_TRUE(modello.ultimoErrore().startsWith(QStringLiteral("Cancellazione della riga non riuscita\r")));
        EXPECT_EQ(modello.rowCount(), 2);
        EXPECT_EQ(modello.data(modello.index(0, 1)).toString(), QStringLiteral("ROSSI"));
    } else {
        const int riga = modello.nuovaRiga(modello.rowCount());
        EXPECT_TRUE(modello.setData(modello.index(riga, 0), QStringLiteral("3"), Qt::EditRole));
        EXPECT_TRUE(modello.setData(modello.index(riga, 1), QStringLiteral("MIO"), Qt::EditRole));
        EXPECT_FALSE(modello.salvaRigaNuova(riga));
        EXPECT_TRUE(modello.ultimoErrore().startsWith(QStringLiteral("Inserimento della riga non riuscito\r")));
        EXPECT_TRUE(modello.rigaNuova(riga));
        EXPECT_EQ(modello.data(modello.index(riga, 1)).toString(), QStringLiteral("MIO"));
    }
    EXPECT_GT(modello.ultimoErrore().size(), 40) << "no server message";
    // The editor goes on: another row can still be changed.
    EXPECT_TRUE(modello.setData(modello.index(1, 1), QStringLiteral("BIANCHI"), Qt::EditRole));

    if (altro.state() != QProcess::NotRunning) {
        altro.closeWriteChannel();
        ASSERT_TRUE(altro.waitForFinished(30000));
    }
    db::Attachment att = collega(m_nome);
    db::Transaction t(att);
    db::Statement st(t, QStringLiteral("SELECT ID || ':' || NOME FROM CLIENTI ORDER BY ID"), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QStringList righe;
    while (rs.next())
        righe << rs.text(0);
    EXPECT_EQ(righe.join(QLatin1Char(' ')), QString::fromUtf8(c.dopo));
    rs.close();
    t.rollback();
    att.disconnect();
    sorgente.chiudiSenzaGestori();
    tra.rollback();
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ConflittoRiga,
    ::testing::Values(
        CasoRiga{"DeleteOfARowChangedMeanwhile", "committed", "", true, "1:ALTRO 2:BIANCHI"},
        CasoRiga{"DeleteOfARowStillHeld", "held", "", true, "1:ROSSI 2:BIANCHI"},
        CasoRiga{"DeleteOfARowDeletedMeanwhile", "committed", "DELETE FROM CLIENTI WHERE ID = 1", true, "2:BIANCHI"},
        CasoRiga{"InsertOfAKeyAddedMeanwhile", "committed", "INSERT INTO CLIENTI VALUES (3, 'ALTRO')", false,
                 "1:ROSSI 2:BIANCHI 3:ALTRO"},
        CasoRiga{"InsertOfAKeyStillHeld", "held", "INSERT INTO CLIENTI VALUES (3, 'ALTRO')", false,
                 "1:ROSSI 2:BIANCHI"}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString altro = qEnvironmentVariable("VARDOF_ALTRO_UTENTE");
    if (!altro.isEmpty())
        return altroUtente(altro, qEnvironmentVariable("VARDOF_ALTRO_MODO"), qEnvironmentVariable("VARDOF_ALTRO_SQL"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
