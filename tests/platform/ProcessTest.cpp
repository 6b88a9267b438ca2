#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/Shell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

#ifndef Q_OS_WIN
TEST(QtProcesses, CapturesOutputErrorAndExitCode)
{
    QtProcesses runner;
    const ProcessResult r = runner.run(
        {QStringLiteral("/bin/sh"),
         {QStringLiteral("-c"), QStringLiteral("echo fuori; echo errore >&2; exit 3")},
         {}});
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.standardOutput, QByteArray("fuori\n"));
    EXPECT_EQ(r.standardError, QByteArray("errore\n"));
    EXPECT_FALSE(r.succeeded());
}

TEST(QtProcesses, RunsInTheWorkingDirectoryGivenWithBackslashes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString windowsStyle = dir.path();
    windowsStyle.replace(u'/', u'\\');
    QtProcesses runner;
    const ProcessResult r =
        runner.run({QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("pwd -P")},
                    windowsStyle});
    ASSERT_TRUE(r.succeeded()) << r.errorString.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(r.standardOutput).trimmed(),
              QDir(dir.path()).canonicalPath());
}

TEST(QtProcesses, ReportsAProgramThatCannotStart)
{
    QtProcesses runner;
    const ProcessResult r = runner.run({QStringLiteral("/nonexistent/vardof-nothing"), {}, {}});
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.succeeded());
    EXPECT_FALSE(r.errorString.isEmpty());
}

TEST(QtProcesses, KillsAProgramThatOutlivesTheTimeout)
{
    QtProcesses runner;
    QElapsedTimer clock;
    clock.start();
    const ProcessResult r = runner.run(
        {QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 30")}, {}, 200});
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.succeeded());
    EXPECT_LT(clock.elapsed(), 10000);
}
#endif

TEST(ScriptedProcesses, RecordsRequestsAndReturnsQueuedResults)
{
    ScopedServices services;
    ProcessResult failing;
    failing.started = true;
    failing.exitCode = 2;
    failing.standardError = "backup fallito";
    services.processes().queueResult(failing);

    const ProcessResult first = runProcess(QStringLiteral("gbak"),
                                           {QStringLiteral("-b"), QStringLiteral("db.fdb")},
                                           QStringLiteral("C:\\dati"), 5000);
    EXPECT_EQ(first.exitCode, 2);
    EXPECT_EQ(first.standardError, QByteArray("backup fallito"));
    // Once the queue is empty every program succeeds.
    EXPECT_TRUE(runProcess(QStringLiteral("gfix"), {}).succeeded());

    const auto requests = services.processes().requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0], (ProcessRequest{QStringLiteral("gbak"),
                                           {QStringLiteral("-b"), QStringLiteral("db.fdb")},
                                           QStringLiteral("C:\\dati"), 5000}));
    EXPECT_EQ(requests[1].program, QStringLiteral("gfix"));
}

TEST(ScriptedShell, RecordsOpenedFilesAndReportsTheConfiguredResult)
{
    ScopedServices services;
    EXPECT_TRUE(shell().openFile(QStringLiteral("C:\\stampe\\a.pdf")));
    services.shell().setResult(false);
    EXPECT_FALSE(shell().openFile(QStringLiteral("b.xls")));
    EXPECT_EQ(services.shell().openedFiles(),
              (QStringList{QStringLiteral("C:\\stampe\\a.pdf"), QStringLiteral("b.xls")}));
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
TEST(ProcessShell, RefusesAFileThatDoesNotExist)
{
    ProcessShell shell;
    EXPECT_FALSE(shell.openFile(QStringLiteral("/nonexistent/vardof/documento.pdf")));
}
#endif

} // namespace
