// An update run whose destination database is shut down on the private
// server while the run is writing to it.

#include "Support.h"
#include "maintenance/ScriptAggiornamento.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

class ShutdownReporter : public RecordingReporter
{
public:
    bool interruptRequested() override
    {
        if (++rowsAsked == shutDownBefore && onShutDown)
            onShutDown();
        return false;
    }
    std::function<void()> onShutDown;
    int shutDownBefore = 0;
    int rowsAsked = 0;
};

class ServerScriptTest : public FbFixture
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        FbFixture::SetUp();
        m_file = QDir(serverDir()).filePath(
            QStringLiteral("aggiorna_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_file);
        m_dest.create(serverPrefix() + m_file, params() << QStringLiteral("PAGE_SIZE 4096"));
        execOn(m_dest, "CREATE TABLE DEST (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))");
        m_dest.disconnect();
    }
    void TearDown() override
    {
        if (serverPrefix().isEmpty())
            return;
        gfix({QStringLiteral("-online"), QStringLiteral("normal")});
        try {
            m_dest.connect(serverPrefix() + m_file, params());
            m_dest.dropDatabase();
        } catch (const db::Error &) {
        }
        FbFixture::TearDown();
    }
    static QStringList params() { return db::loginParams(QStringLiteral("SYSDBA"), serverPassword()); }
    int gfix(QStringList args)
    {
        args << QStringLiteral("-user") << QStringLiteral("SYSDBA") << QStringLiteral("-password") << serverPassword()
             << serverPrefix() + m_file;
        return QProcess::execute(QStringLiteral("gfix"), args);
    }

    QString m_file;
    db::Attachment m_dest;
};

TEST_F(ServerScriptTest, aDestinationShutDownMidRunEndsTheRunAtItsFirstFailure)
{
    exec("CREATE TABLE ORIG (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))");
    exec("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 50) DO BEGIN "
         "INSERT INTO ORIG VALUES (:I, 'riga ' || :I); I = I + 1; END END");
    AggiornamentoFDB engine(att(), tra(), testOpener(params(), serverPrefix()));
    ShutdownReporter r;
    r.shutDownBefore = 10;
    int shutdown = -1;
    r.onShutDown = [&] {
        shutdown = gfix({QStringLiteral("-shut"), QStringLiteral("full"), QStringLiteral("-force"), QStringLiteral("0")});
    };
    ScriptFDB s;
    s.tabellaOrigine = "ORIG";
    s.tabellaDestinazione = "DEST";
    s.archivioDestinazione = m_file;
    s.script = "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=SI)";
    const EsitoAggiornamento e = engine.esegui(s, false, r);

    ASSERT_EQ(shutdown, 0);
    EXPECT_TRUE(e.connessionePersa) << r.log.join("\n").toStdString();
    EXPECT_EQ(e.aggiunti, 9);
    EXPECT_EQ(e.falliti, 1);
    EXPECT_EQ(r.rowsAsked, 10); // no row after the failed one was tried
    EXPECT_TRUE(r.log.contains("Elaborazione interrotta"));
    EXPECT_TRUE(r.log.contains("Record falliti: 1"));
    // The engine let the dead connection go without committing into it.
    EXPECT_FALSE(engine.destinazioneAperta());
    EXPECT_TRUE(engine.chiudiDestinazione(&r));
    EXPECT_FALSE(r.messages.join("").contains("E:"));
}

} // namespace
