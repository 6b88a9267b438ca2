#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "support/ProcessoVivo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// A stoppable run: the program ends by itself, outlives its limit, or is
// stopped by the caller; a child it started goes with it.
struct StoppableCase
{
    const char *name;
    const char *script; // %1: the file the child's pid goes to
    int timeoutMs;
    int stopAfter;      // calls of keepRunning before it says stop; -1 never
    bool timedOut;
    bool interrupted;
    int exitCode;
};

void PrintTo(const StoppableCase &c, std::ostream *os)
{
    *os << c.name;
}

class Stoppable : public ::testing::TestWithParam<StoppableCase> {};

TEST_P(Stoppable, endsAndTakesItsChildrenAlong)
{
    const StoppableCase &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
    int calls = 0;
    QElapsedTimer clock;
    clock.start();
    QString script = QString::fromLatin1(c.script);
    if (script.contains(QLatin1String("%1")))
        script = script.arg(pidFile);
    QtProcesses runner;
    const ProcessResult r = runner.runStoppable(
        {QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, {}, c.timeoutMs},
        [&] { return c.stopAfter < 0 || ++calls <= c.stopAfter; });
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.timedOut, c.timedOut);
    EXPECT_EQ(r.interrupted, c.interrupted);
    EXPECT_EQ(r.succeeded(), !c.timedOut && !c.interrupted && c.exitCode == 0);
    if (!c.timedOut && !c.interrupted) {
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.standardOutput, QByteArray("fuori\n"));
    }
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(vardof::test::processoVivo(pidFile)) << "the child outlived the run";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Stoppable,
    ::testing::Values(StoppableCase{"endsByItself", "echo fuori; exit 4", 5000, -1, false, false, 4},
                      StoppableCase{"endsWithItsChild", "echo fuori; sleep 0.3 & echo $! > '%1'; wait", 5000, -1,
                                    false, false, 0},
                      StoppableCase{"outlivesItsLimit", "sleep 30 & echo $! > '%1'; wait", 500, -1, true, false, 0},
                      StoppableCase{"stoppedByTheCaller", "sleep 30 & echo $! > '%1'; wait", 30000, 3, false, true, 0},
                      StoppableCase{"noLimitStoppedAtOnce", "sleep 30 & echo $! > '%1'; wait", -1, 0, false, true, 0}),
    [](const auto &info) { return std::string(info.param.name); });
#endif

TEST(ScriptedProcesses, aStopAskedBeforeTheRunRunsNothing)
{
    ScopedServices services;
    EXPECT_TRUE(runStoppableProcess({QStringLiteral("soffice"), {}, {}, 1000}, [] { return true; }).succeeded());
    const ProcessResult stopped = runStoppableProcess({QStringLiteral("soffice"), {}, {}, 1000}, [] { return false; });
    EXPECT_TRUE(stopped.interrupted);
    EXPECT_FALSE(stopped.succeeded());
    EXPECT_EQ(services.processes().requests().size(), 1);
}

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
