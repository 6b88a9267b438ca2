#pragma once

// Child programs (backup tools, converters) run to completion with their
// output captured.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
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
    bool crashed = false;
    int exitCode = -1;
    QByteArray standardOutput; // bytes as the program wrote them
    QByteArray standardError;
    QString errorString;       // why it failed, when it did

    bool succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
};

class IProcesses
{
public:
    virtual ~IProcesses() = default;
    virtual ProcessResult run(const ProcessRequest &request) = 0;
};

class QtProcesses : public IProcesses
{
public:
    ProcessResult run(const ProcessRequest &request) override;
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

} // namespace vardof::platform
