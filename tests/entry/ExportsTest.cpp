// The exported functions as the host calls them, on a demo host folder.

#include "exports/Exports.h"

#include "demo/DemoBuilder.h"
#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "context/WorkContext.h"
#include "platform/Formats.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vardof;

namespace {

const QString kRicalcolo = QStringLiteral("Effettuare il ricalcolo?");

class Exports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_cwd.path());
        platform::setHostDir(m_host.path());
        // A window that an entry opens is closed as soon as it shows.
        m_closer.setInterval(20);
        QObject::connect(&m_closer, &QTimer::timeout, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        m_closer.start();
    }
    void TearDown() override
    {
        m_closer.stop();
        QDir::setCurrent(m_previousDir);
        platform::setHostDir(QString());
    }
    void makeDemo()
    {
        app::DemoOptions options;
        options.hostDir = m_host.path() + QLatin1Char('/');
        options.rows = 20;
        app::buildDemo(options);
        platform::setHostDir(m_host.path());
        m_services.messages().clear();
    }
    QStringList texts() { return m_services.messages().texts(); }
    // The demo stores an example update script and synchronisation: their
    // tables exist there, and a host without them is what asks.
    void dropTable(const char *table)
    {
        db::Attachment a;
        a.connect(m_host.file(QStringLiteral("dati/archivio.fdb")), context::adminLoginParams());
        db::Transaction t(a);
        db::Statement(a, t, QStringLiteral("DROP TABLE ") + QLatin1String(table)).execute();
        t.commit();
    }

    test::TempDir m_host;
    test::TempDir m_cwd;
    QString m_previousDir;
    QTimer m_closer;
    platform::ScopedServices m_services;
};

TEST_F(Exports, ricalcolaAnsweredNoTouchesNothing)
{
    m_services.messages().queueAnswer(platform::Answer::No);
    EXPECT_EQ(ShowRicalcolaIndiciFormX(1, 0), 0);
    ASSERT_EQ(texts().size(), 1);
    EXPECT_TRUE(texts().first().endsWith(QLatin1Char('\r') + kRicalcolo));
    EXPECT_TRUE(texts().first().startsWith(QStringLiteral("Ogni query eseguita dal DB Engine")));
    EXPECT_FALSE(QFileInfo::exists(m_host.file(QStringLiteral("user"))));
}

TEST_F(Exports, ricalcolaRecomputesOnTheDemoArchive)
{
    makeDemo();
    m_services.messages().queueAnswer(platform::Answer::Yes);
    EXPECT_EQ(ShowRicalcolaIndiciFormX(1, 0), 0);
    EXPECT_EQ(texts().size(), 2);
    EXPECT_EQ(texts().last(), QStringLiteral("Operazione effettuata"));
    EXPECT_EQ(m_services.messages().messages().last().kind, platform::Information);
}

TEST_F(Exports, firstRunOnAnEmptyHostFolderEndsWithAMessage)
{
    // No user database yet: it is made, but the host's UTENTI is missing.
    EXPECT_EQ(ShowImportCSVFormX(1, 0), 0);
    EXPECT_TRUE(QFileInfo::exists(m_host.file(QStringLiteral("user/user.fdb"))));
    ASSERT_GE(texts().size(), 2);
    EXPECT_EQ(texts().first(), QStringLiteral("Effettuata creazione data base"));
    EXPECT_TRUE(texts().last().startsWith(QStringLiteral("Errore durante l'apertura della funzione\r")));
    EXPECT_TRUE(texts().last().contains(QStringLiteral("UTENTI")));
}

TEST_F(Exports, userWithoutARowGetsTheDefaultArchiveInTheCurrentFolder)
{
    makeDemo();
    EXPECT_EQ(ShowCancellaTabelleTmpFormX(99, 0), 0);
    EXPECT_TRUE(QFileInfo::exists(m_cwd.file(QStringLiteral("archivio.fdb"))));
    EXPECT_EQ(texts().first(), QStringLiteral("Effettuata creazione data base"));
}

TEST_F(Exports, archiveThatCannotBeOpenedStillReturnsZero)
{
    makeDemo();
    QFile::remove(m_host.file(QStringLiteral("dati/archivio.fdb")));
    QDir(m_host.file(QStringLiteral("dati"))).removeRecursively();
    EXPECT_EQ(ShowConversioniFormX(1, 0), 0);
    EXPECT_EQ(texts().last(), QStringLiteral("Errore apertura archivio"));
}

struct CheckCase
{
    const char *label;
    std::int32_t (*entry)(std::int32_t, std::int32_t);
    const char *table;
    const char *question;
};

class ExistenceChecks : public Exports, public ::testing::WithParamInterface<CheckCase>
{
};

TEST_P(ExistenceChecks, askBeforeTheTableIsCreated)
{
    makeDemo();
    dropTable(GetParam().table);
    m_services.messages().queueAnswer(platform::Answer::No);
    EXPECT_EQ(GetParam().entry(1, 0), 0);
    EXPECT_EQ(texts(), QStringList{QString::fromLatin1(GetParam().question)});
}

INSTANTIATE_TEST_SUITE_P(
    Both, ExistenceChecks,
    ::testing::Values(CheckCase{"aggiornamenti", &ShowAggiornamentiFDBaFDBFormX, "STOAGGFDBFDB",
                                "Acconsenti alla creazione della tabella STOAGGFDBFDB?"},
                      CheckCase{"sincronizzazioni", &ShowAggSincroDBFastFormX, "STOAGGSINCRODBFAST",
                                "Acconsenti alla creazione della tabella STOAGGSINCRODBFAST?"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(Exports, everyEntryReturnsZeroAndLeavesTheFormatsSet)
{
    makeDemo();
    std::int32_t (*const entries[])(std::int32_t, std::int32_t) = {
        ShowAggSincroDBFastFormX, ShowCancellaTabelleTmpFormX, ShowRicalcolaIndiciFormX,
        ShowQueryClass2FormX,     ShowQueryClass1FormX,        ShowAggiornamentiFDBaFDBFormX,
        ShowConversioniFormX,     ShowImportCSVFormX,          ShowPulisciQmtGridFormX,
        ShowVardoEdTabFormX,      ShowVardoSQLFormX,           ShowVardoQueryGenericaFormX,
        ShowVardoStoricoFormX,
    };
    m_services.messages().setDefaultAnswer(platform::Answer::No);
    for (auto entry : entries) {
        EXPECT_EQ(entry(1, 7), 0);
        EXPECT_EQ(platform::libraryFormats().decimalSeparator, QLatin1Char(','));
        EXPECT_EQ(platform::libraryFormats().shortDateFormat, QStringLiteral("dd/MM/yyyy"));
    }
    EXPECT_TRUE(texts().filter(QStringLiteral("Errore")).isEmpty()) << texts().join(QLatin1Char('\n')).toStdString();
}

// Every tool has its window now: none answers that it is not available.
TEST_F(Exports, noEntrySaysItIsNotAvailable)
{
    makeDemo();
    std::int32_t (*const entries[])(std::int32_t, std::int32_t) = {
        ShowAggSincroDBFastFormX, ShowCancellaTabelleTmpFormX, ShowRicalcolaIndiciFormX,
        ShowQueryClass2FormX,     ShowQueryClass1FormX,        ShowAggiornamentiFDBaFDBFormX,
        ShowConversioniFormX,     ShowImportCSVFormX,          ShowPulisciQmtGridFormX,
        ShowVardoEdTabFormX,      ShowVardoSQLFormX,           ShowVardoQueryGenericaFormX,
        ShowVardoStoricoFormX,
    };
    m_services.messages().setDefaultAnswer(platform::Answer::No);
    for (auto entry : entries) {
        m_services.messages().clear();
        EXPECT_EQ(entry(1, 0), 0);
        EXPECT_FALSE(texts().contains(QStringLiteral("Funzione non ancora disponibile")))
            << texts().join(QLatin1Char('\n')).toStdString();
    }
}

// The grid-layout cleaning builds its context around the parameter store
// and opens its window on the user's archive.
TEST_F(Exports, gridCleanupOpensItsWindow)
{
    makeDemo();
    m_closer.stop();
    QString titolo;
    QTimer spia;
    spia.setInterval(10);
    QObject::connect(&spia, &QTimer::timeout, [&] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            titolo = w->windowTitle();
            w->close();
        }
    });
    spia.start();
    EXPECT_EQ(ShowPulisciQmtGridFormX(1, 0), 0);
    spia.stop();
    EXPECT_TRUE(titolo.startsWith(QStringLiteral("Pulisci QmtGrid "))) << titolo.toStdString();
    EXPECT_TRUE(texts().isEmpty()) << texts().join(QLatin1Char('\n')).toStdString();
}

} // namespace
