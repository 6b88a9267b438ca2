// Against the private server: two processes open the same stored query for
// editing. The second is refused while the first holds it, and may edit it
// once the first has closed.

#include "ArchivioQuery.h"

#include "context/WorkContext.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "storedqueries/ui/TIBQGenForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>

using namespace vardof;
using namespace vardof::test;

namespace {

class StoricoServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        m_file = QDir(serverDir()).filePath(QStringLiteral("storico_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_file);
        m_name = serverPrefix() + m_file;
        db::Attachment a;
        a.create(m_name, params() << QStringLiteral("PAGE_SIZE 4096"));
        preparaArchivio(a);
        db::Transaction t(a);
        db::executeSql(t, QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO, TABELLA) VALUES (1, 'Clienti', 'CLIENTI')"));
        t.commit();
        a.disconnect();
        m_context = std::make_unique<context::TTabForm>(QDir::tempPath() + QLatin1Char('/'));
        m_context->database().connect(m_name, params());
        m_context->NomeProgetto = QStringLiteral("DEMO");
    }
    void TearDown() override
    {
        if (m_altro.state() != QProcess::NotRunning) {
            m_altro.kill();
            m_altro.waitForFinished(10000);
        }
        if (!m_context)
            return;
        m_context.reset();
        db::Attachment a;
        a.connect(m_name, params());
        a.dropDatabase();
    }
    static QStringList params() { return db::loginParams(QStringLiteral("SYSDBA"), serverPassword()); }

    QByteArray leggiRiga()
    {
        QByteArray out;
        QElapsedTimer clock;
        clock.start();
        while (!out.contains('\n') && clock.elapsed() < 30000) {
            m_altro.waitForReadyRead(500);
            out += m_altro.readLine();
        }
        return out.trimmed();
    }

    QString m_file, m_name;
    std::unique_ptr<context::TTabForm> m_context;
    QProcess m_altro;
};

TEST_F(StoricoServer, theSecondEditorIsRefusedUntilTheFirstCloses)
{
    m_altro.start(QStringLiteral(STORICO_IN_MODIFICA), {m_name, serverPassword(), QStringLiteral("1")});
    ASSERT_TRUE(m_altro.waitForStarted(10000));
    ASSERT_EQ(leggiRiga(), QByteArray("IN MODIFICA"));

    platform::ScopedServices servizi;
    storedqueries::TIBQGenForm form(m_context.get(), 1, storedqueries::TIBQGenForm::Mode::Storico);
    form.show();
    for (int i = 0; i < 10 && !form.layoutStorico(); ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(form.posiziona(1));
    form.ButtonEditClick();
    EXPECT_EQ(form.stato(), 1);
    EXPECT_EQ(servizi.messages().texts(), QStringList{"Record impegnato in un'altra sessione"});
    // Deleting is refused the same way.
    servizi.messages().clear();
    form.ButtonEliminaClick();
    EXPECT_EQ(servizi.messages().texts(), QStringList{"Record impegnato in un'altra sessione"});

    m_altro.write("\n");
    ASSERT_EQ(leggiRiga(), QByteArray("CHIUSA"));
    ASSERT_TRUE(m_altro.waitForFinished(20000));

    servizi.messages().clear();
    form.ButtonEditClick();
    EXPECT_EQ(form.stato(), 0);
    EXPECT_TRUE(servizi.messages().texts().isEmpty());
    form.Titolo->setText(QStringLiteral("Clienti attivi"));
    form.ButtonMemorizzaClick();
    EXPECT_EQ(form.stato(), 1);
}

} // namespace
