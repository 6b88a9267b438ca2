#include "support/ResultsFile.h"

#include <QFile>
#include <QSysInfo>
#include <QThread>

#include <algorithm>

namespace vardof::bench {

bool writeSection(const QString &resultsFile, const QString &name, const QString &markdown)
{
    QString text;
    QFile in(resultsFile);
    if (in.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(in.readAll());
    in.close();
    const QString begin = QStringLiteral("<!-- %1:begin -->").arg(name);
    const QString end = QStringLiteral("<!-- %1:end -->").arg(name);
    const QString block = begin + QLatin1Char('\n') + markdown.trimmed() + QLatin1Char('\n') + end;
    const qsizetype b = text.indexOf(begin);
    const qsizetype e = text.indexOf(end);
    if (b >= 0 && e > b)
        text.replace(b, e + end.size() - b, block);
    else
        text += (text.isEmpty() || text.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n"))
                + QLatin1Char('\n') + block + QLatin1Char('\n');
    QFile out(resultsFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    out.write(text.toUtf8());
    return true;
}

QString machineDescription()
{
    QString cpu;
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("model name")) {
                cpu = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
    }
    return QStringLiteral("%1, %2 cores%3")
        .arg(QSysInfo::prettyProductName())
        .arg(QThread::idealThreadCount())
        .arg(cpu.isEmpty() ? QString() : QStringLiteral(", ") + cpu);
}

qint64 rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace vardof::bench
