#pragma once

// Each benchmark runner owns one section of bench/RESULTS.md, between the
// markers <!-- NAME:begin --> and <!-- NAME:end -->, and rewrites only that.

#include <QString>

namespace vardof::bench {

bool writeSection(const QString &resultsFile, const QString &name, const QString &markdown);

// "Debian 12, 2 cores, <cpu model>" for the heading of a section.
QString machineDescription();

} // namespace vardof::bench
