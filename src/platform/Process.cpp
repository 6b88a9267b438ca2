#include "platform/Process.h"

#include "platform/HostPaths.h"
#include "platform/Services.h"
#include "platform/Signals.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>

#if !defined(_WIN32)
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vardof::platform {

ProcessResult QtProcesses::run(const ProcessRequest &request)
{
    ProcessResult result;
    QProcess process;
#if !defined(_WIN32)
    // A launcher that takes SIGINT/SIGTERM in a thread of its own keeps them
    // blocked everywhere else, and exec keeps that mask: the child gets them back.
    process.setChildProcessModifier([] { restoreSignalsInChild(); });
#endif
    if (!request.workingDir.isEmpty())
        process.setWorkingDirectory(toNativeLocal(request.workingDir));
    process.start(toNativeLocal(request.program), request.arguments);
    if (!process.waitForStarted(request.timeoutMs < 0 ? -1 : std::max(request.timeoutMs, 1))) {
        result.errorString = process.errorString();
        return result;
    }
    result.started = true;
    if (!process.waitForFinished(request.timeoutMs < 0 ? -1 : std::max(request.timeoutMs, 1))) {
        result.timedOut = true;
        result.errorString = process.errorString();
        process.kill();
        process.waitForFinished(5000);
    } else if (process.exitStatus() == QProcess::CrashExit) {
        result.crashed = true;
        result.errorString = process.errorString();
    }
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    return result;
}

ProcessResult IProcesses::runStoppable(const ProcessRequest &request, const KeepRunning &keepRunning)
{
    if (keepRunning && !keepRunning()) {
        ProcessResult stopped;
        stopped.interrupted = true;
        stopped.errorString = QStringLiteral("interrotto");
        return stopped;
    }
    return run(request);
}

namespace {

// The program and what it started: on Unix its process group (it leads one
// of its own); on Windows its tree, through taskkill.
void killTree(QProcess &process)
{
    const qint64 pid = process.processId();
#if defined(_WIN32)
    if (pid > 0)
        QProcess::execute(QStringLiteral("taskkill"),
                          {QStringLiteral("/F"), QStringLiteral("/T"), QStringLiteral("/PID"), QString::number(pid)});
#else
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
#endif
    process.kill();
    process.waitForFinished(5000);
}

} // namespace

ProcessResult QtProcesses::runStoppable(const ProcessRequest &request, const KeepRunning &keepRunning)
{
    ProcessResult result;
    QProcess process;
#if !defined(_WIN32)
    process.setChildProcessModifier([] {
        restoreSignalsInChild();
        ::setpgid(0, 0);
    });
#endif
    if (!request.workingDir.isEmpty())
        process.setWorkingDirectory(toNativeLocal(request.workingDir));
    process.start(toNativeLocal(request.program), request.arguments);
    if (!process.waitForStarted(request.timeoutMs < 0 ? 30000 : std::clamp(request.timeoutMs, 1, 30000))) {
        result.errorString = process.errorString();
        killTree(process);
        return result;
    }
    result.started = true;
    QElapsedTimer clock;
    clock.start();
    // Output read as it comes, so that a talkative program never waits on
    // a full pipe.
    while (!process.waitForFinished(100) && process.state() != QProcess::NotRunning) {
        result.standardOutput += process.readAllStandardOutput();
        result.standardError += process.readAllStandardError();
        if (request.timeoutMs >= 0 && clock.elapsed() >= request.timeoutMs) {
            result.timedOut = true;
            break;
        }
        if (keepRunning && !keepRunning()) {
            result.interrupted = true;
            break;
        }
    }
    if (result.timedOut || result.interrupted) {
        killTree(process);
        result.errorString = result.timedOut ? QStringLiteral("tempo scaduto") : QStringLiteral("interrotto");
    } else if (process.exitStatus() == QProcess::CrashExit) {
        result.crashed = true;
        result.errorString = process.errorString();
    }
    result.exitCode = process.exitCode();
    result.standardOutput += process.readAllStandardOutput();
    result.standardError += process.readAllStandardError();
    return result;
}

void ScriptedProcesses::queueResult(ProcessResult result)
{
    std::lock_guard lock(m_mutex);
    m_results.push_back(std::move(result));
}

QList<ProcessRequest> ScriptedProcesses::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

ProcessResult ScriptedProcesses::run(const ProcessRequest &request)
{
    std::lock_guard lock(m_mutex);
    m_requests.append(request);
    if (m_results.empty()) {
        ProcessResult ok;
        ok.started = true;
        ok.exitCode = 0;
        return ok;
    }
    ProcessResult result = std::move(m_results.front());
    m_results.pop_front();
    return result;
}

ProcessResult runProcess(const QString &program, const QStringList &arguments,
                         const QString &workingDir, int timeoutMs)
{
    return processes().run({program, arguments, workingDir, timeoutMs});
}

ProcessResult runStoppableProcess(const ProcessRequest &request, const KeepRunning &keepRunning)
{
    return processes().runStoppable(request, keepRunning);
}

} // namespace vardof::platform
