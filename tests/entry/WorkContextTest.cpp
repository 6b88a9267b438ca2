#include "context/WorkContext.h"

#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace vardof;

namespace {

class WorkContext : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::setHostDir(m_host.path());
        QDir(m_host.path()).mkdir(QStringLiteral("ini_log_err"));
        m_ini = m_host.file(QStringLiteral("ini_log_err/ostrel.ini"));
    }
    void TearDown() override { platform::setHostDir(QString()); }

    test::TempDir m_host;
    test::TempDir m_start;
    QString m_ini;
    platform::ScopedServices m_services;
};

TEST_F(WorkContext, plainCreationReadsNothing)
{
    context::TTabForm context(QStringLiteral("C:\\AVVIO\\"));
    EXPECT_EQ(context.CodiceProgetto, 526);
    EXPECT_EQ(context.SituazioneClass1, 1);
    EXPECT_EQ(context.SituazioneClass2, 2);
    EXPECT_EQ(context.SituazioneStorico, 3);
    EXPECT_TRUE(context.NomeProgetto.isEmpty());
    EXPECT_EQ(context.settingsFile(), m_ini);
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(WorkContext, fromSettingsWithProjectFile)
{
    const QString start = m_start.path() + QLatin1Char('/');
    QFile cfg(start + QStringLiteral("ditta.cfg"));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("D01\r\naltro\r\n");
    cfg.close();
    platform::IniFile ini(m_ini);
    ini.writeString(QStringLiteral("D01"), QStringLiteral("Directory di lavoro"), QStringLiteral("L:\\LAVORO\\"));
    ini.writeString(QStringLiteral("D01"), QStringLiteral("Directory bin"), QStringLiteral("C:\\WINDOWS"));
    ini.writeString(QStringLiteral("D01"), QStringLiteral("Archivio"), QStringLiteral("C:\\DATI\\a.fdb"));

    auto context = context::TTabForm::fromSettings(start);
    EXPECT_EQ(context->DirectoryDitta, start); // default "C:\WINDOWS\" means the start directory
    EXPECT_EQ(context->NomeProgetto, QStringLiteral("D01"));
    EXPECT_EQ(context->DirectoryLavoro, QStringLiteral("L:\\LAVORO\\"));
    EXPECT_EQ(context->DirectoryBin, start);
    EXPECT_EQ(context->DirectoryTemp, QStringLiteral("L:\\LAVORO\\")); // defaults to the working directory
    EXPECT_EQ(context->Archivio, QStringLiteral("C:\\DATI\\a.fdb"));
}

TEST_F(WorkContext, missingProjectFileLeavesDirectoriesUnread)
{
    platform::IniFile(m_ini).writeString(QStringLiteral("DITTA"), QStringLiteral("Directory ditta"), m_start.path());
    auto context = context::TTabForm::fromSettings(QStringLiteral("/nessuna/"));
    EXPECT_EQ(context->NomeProgetto, QStringLiteral("Ditta.cfg mancante o errato"));
    EXPECT_TRUE(context->DirectoryLavoro.isEmpty());
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{QStringLiteral("Non trovato il file ditta.cfg: verificare directory associata all'icona programma")});
}

TEST_F(WorkContext, settingsFileInTheWindowsFolderWithoutIniLogErr)
{
    QDir(m_host.file(QStringLiteral("ini_log_err"))).removeRecursively();
    test::TempDir windows;
    platform::setWindowsDir(windows.path());
    context::TTabForm context(QStringLiteral("/"));
    EXPECT_EQ(QDir::cleanPath(context.settingsFile()), QDir::cleanPath(windows.file(QStringLiteral("ostrel.ini"))));
    platform::setWindowsDir(QString());
}

TEST_F(WorkContext, archiveThatCannotBeOpenedIsReported)
{
    context::TTabForm context(QStringLiteral("/"));
    context.SettaArchivio(m_start.path() + QStringLiteral("/manca/archivio.fdb"));
    context.ConnettiDatabase();
    EXPECT_FALSE(context.isConnected());
    EXPECT_EQ(m_services.messages().texts(),
              (QStringList{QStringLiteral("Non trovato dati.ini"), QStringLiteral("Apertura / creazione del database non riuscita!"),
                           QStringLiteral("Errore apertura archivio")}));
}

} // namespace
