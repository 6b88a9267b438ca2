#include "support/Rounds.h"

#include "support/ResultsFile.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

namespace vardof::bench {

QByteArrayList childWords(const QStringList &arguments, const QString &variant, int words)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), arguments);
    p.waitForFinished(-1);
    const QByteArrayList parts = p.readAllStandardOutput().trimmed().split(' ');
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || parts.size() < words) {
        std::fprintf(stderr, "variante %s fallita: %s\n", qPrintable(variant), p.readAllStandardError().constData());
        return {};
    }
    return parts;
}

ScreenMeasure screenMeasure(const QElapsedTimer &timer, qint64 rows)
{
    ScreenMeasure m;
    m.ms = double(timer.nsecsElapsed()) / 1e6;
    m.rows = rows;
    m.rssKb = rssKb();
    return m;
}

void printScreenMeasure(const ScreenMeasure &m)
{
    std::printf("%.3f %lld %lld\n", m.ms, static_cast<long long>(m.rows), static_cast<long long>(m.rssKb));
}

ScreenMeasure childScreenMeasure(const QStringList &arguments, const QString &variant)
{
    const QByteArrayList parts = childWords(arguments, variant, 3);
    if (parts.isEmpty())
        return {};
    return {parts[0].toDouble(), parts[1].toLongLong(), parts[2].toLongLong()};
}

QString screenRow(const QString &description, const std::vector<ScreenMeasure> &rounds)
{
    return QStringLiteral("| %1 | %2 | %3 | %4 |\n")
        .arg(description)
        .arg(rounds.empty() ? 0 : rounds.back().rows)
        .arg(medianOf(rounds, &ScreenMeasure::ms), 0, 'f', 1)
        .arg(medianOf(rounds, &ScreenMeasure::rssKb));
}

} // namespace vardof::bench
