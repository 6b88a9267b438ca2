#pragma once

// Measurements taken in rounds, each variant in a child process of its own
// so that its resident memory and its caches are its own.

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <map>
#include <vector>

namespace vardof::bench {

// Every variant once a round, the order reversed on odd rounds, so that the
// machine's drift during a run falls on all variants alike.
template<typename Measure, typename Run>
std::map<QString, std::vector<Measure>> alternatingRounds(const QStringList &variants, int rounds, Run run)
{
    std::map<QString, std::vector<Measure>> measures;
    for (int round = 0; round < rounds; ++round) {
        QStringList order = variants;
        if (round % 2)
            std::reverse(order.begin(), order.end());
        for (const QString &v : order)
            measures[v].push_back(run(v));
    }
    return measures;
}

// The middle value of one field over the rounds of a variant (the upper one
// of an even count), 0 where there were none.
template<typename Measure, typename T>
T medianOf(const std::vector<Measure> &measures, T Measure::*field)
{
    std::vector<T> values;
    for (const Measure &m : measures)
        values.push_back(m.*field);
    if (values.empty())
        return T();
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs this program again with `arguments` and returns the words the child
// printed; none, with the child's error on stderr, when it failed or printed
// fewer than `words`.
QByteArrayList childWords(const QStringList &arguments, const QString &variant, int words);

// A first screen measured in a child: its time, the rows it read and the
// child's resident memory right after.
struct ScreenMeasure
{
    double ms = 0;
    qint64 rows = 0;
    qint64 rssKb = 0;
};

// The time `timer` has run, `rows` and the resident memory now.
ScreenMeasure screenMeasure(const QElapsedTimer &timer, qint64 rows);

// The child's line, "ms rows KB", and the parent's reading of it (zeros when
// the child failed).
void printScreenMeasure(const ScreenMeasure &m);
ScreenMeasure childScreenMeasure(const QStringList &arguments, const QString &variant);

// "| description | rows | ms | resident KB |": the rows of the last round,
// the medians of time and memory.
QString screenRow(const QString &description, const std::vector<ScreenMeasure> &rounds);

} // namespace vardof::bench
