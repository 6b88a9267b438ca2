#pragma once

// Each benchmark runner owns one section of bench/RESULTS.md, between the
// markers <!-- NAME:begin --> and <!-- NAME:end -->, and rewrites only that.

#include <QString>

#include <vector>

namespace vardof::bench {

bool writeSection(const QString &resultsFile, const QString &name, const QString &markdown);

// "Debian 12, 2 cores, <cpu model>" for the heading of a section.
QString machineDescription();

// Resident memory of this process in KB (VmRSS), 0 where unknown.
qint64 rssKb();

// The middle value of the rounds of one variant.
double median(std::vector<double> values);

} // namespace vardof::bench
