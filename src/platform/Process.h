#pragma once

// Child programs (backup tools, converters) run to completion with their
// output captured.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <mutex>

namespace vardof::platform {

struct ProcessRequest
{
    QString program;
    QStringList arguments;
    QString workingDir;   // empty: the current one
    int timeoutMs = 60000; // negative: no limit

    bool operator==(const ProcessRequest &) const = default;
};

struct ProcessResult
{
    bool started = false;  // false: the program could not be run at all
    bool timedOut = false; // killed after timeoutMs
    bool interrupted = false; // killed because the caller asked to stop
    bool crashed = false;
    int exitCode = -1;
    QByteArray standardOutput; // bytes as the program wrote them
    QByteArray standardError;
    QString errorString;       // why it failed, when it did

    bool succeeded() const { return started && !timedOut && !interrupted && !crashed && exitCode == 0; }
};

// Asked about every 100 ms while a stoppable program runs; false stops it.
using KeepRunning = std::function<bool()>;

class IProcesses
{
public:
    virtual ~IProcesses() = default;
    virtual ProcessResult run(const ProcessRequest &request) = 0;
    // A program that may run long or hang (a converter): `keepRunning` is
    // asked while it runs. On a time-out or a stop the program is killed
    // together with every process it started (a launcher may hand the work
    // to a child that would otherwise go on writing), and this returns only
    // once they are gone. By default: asked once, before the plain run.
    virtual ProcessResult runStoppable(const ProcessRequest &request, const KeepRunning &keepRunning);
};

class QtProcesses : public IProcesses
{
public:
    ProcessResult run(const ProcessRequest &request) override;
    ProcessResult runStoppable(const ProcessRequest &request, const KeepRunning &keepRunning) override;
};

// Returns queued results (or a successful empty one) and records requests.
class ScriptedProcesses : public IProcesses
{
public:
    void queueResult(ProcessResult result);
    QList<ProcessRequest> requests() const;
    ProcessResult run(const ProcessRequest &request) override;

private:
    mutable std::mutex m_mutex;
    std::deque<ProcessResult> m_results;
    QList<ProcessRequest> m_requests;
};

// Through the installed IProcesses (see Services.h).
ProcessResult runProcess(const QString &program, const QStringList &arguments,
                         const QString &workingDir = QString(), int timeoutMs = 60000);
ProcessResult runStoppableProcess(const ProcessRequest &request, const KeepRunning &keepRunning);

} // namespace vardof::platform
