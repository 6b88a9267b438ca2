#include "platform/Process.h"

#include "platform/HostPaths.h"
#include "platform/Services.h"
#include "platform/Signals.h"

#include <QProcess>

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

} // namespace vardof::platform
