#pragma once

// What the maintenance runs tell the person in front of them. The windows
// and the command line both implement it over the platform messages; tests
// record it. Runs call keepAlive() between rows: an implementation lets
// pending input through there (no more often than every ~50 ms).

#include <QString>

namespace vardof::maintenance {

// The messages go to platform::messages() unless overridden; the rest is
// dropped unless overridden.
class Reporter
{
public:
    virtual ~Reporter() = default;

    virtual void information(const QString &text);
    virtual void warning(const QString &text);
    virtual void error(const QString &text);
    // Yes/No question; the warning form shows a warning icon.
    virtual bool confirm(const QString &text);
    virtual bool confirmWarning(const QString &text);

    // Log window lines (update script run).
    virtual void logLine(const QString &) {}
    // Per cent of the current run, 0..100.
    virtual void progress(int) {}
    virtual void keepAlive() {}
    virtual bool interruptRequested() { return false; }
};

// Per cent rounded to the nearest whole number, 0 when total is 0.
inline int percentOf(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return int((done * 200 + total) / (2 * total));
}

} // namespace vardof::maintenance
