#include "support/Usage.h"

#include <QFile>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace vardof::bench {

double cpuSeconds()
{
#ifndef _WIN32
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
#else
    return 0;
#endif
}

double cpuSecondsOf(qint64 pid)
{
#ifndef _WIN32
    if (pid <= 0)
        return 0;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    // The command name in parentheses may hold spaces: count from its end.
    const QByteArray s = f.readAll();
    const QList<QByteArray> parts = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (parts.size() < 13)
        return 0;
    return double(parts[11].toLongLong() + parts[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
#else
    Q_UNUSED(pid);
    return 0;
#endif
}

namespace {

QByteArray loadLine()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

double loadAverage()
{
    return loadLine().split(' ').value(0).toDouble();
}

QString loadAverages()
{
    const QByteArray line = loadLine();
    return line.isEmpty() ? QStringLiteral("?") : QString::fromLatin1(line).section(QLatin1Char(' '), 0, 2);
}

} // namespace vardof::bench
