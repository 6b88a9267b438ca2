#pragma once

// Whether a child a test killed is still running: a process whose pid a
// script wrote to a file. A zombie waiting for its parent does not count,
// and a killed process is given a few seconds to go, as on a busy machine
// it may take a moment; one left running is still there after them.

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

namespace vardof::test {

inline bool processoVivoOra(const QString &pidFile)
{
    QFile f(pidFile);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pid = f.readAll().trimmed();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    const qsizetype chiusa = s.lastIndexOf(')');
    return chiusa > 0 && s.mid(chiusa + 2, 1) != "Z";
}

inline bool processoVivo(const QString &pidFile)
{
    QElapsedTimer attesa;
    attesa.start();
    while (processoVivoOra(pidFile) && attesa.elapsed() < 3000)
        QThread::msleep(20);
    return processoVivoOra(pidFile);
}

} // namespace vardof::test
