#pragma once

// What a measurement costs the machine besides wall-clock time. Each reads
// what Linux exposes and gives 0 (or "?") where it cannot.

#include <QString>

namespace vardof::bench {

// Processor seconds of this process, all threads (an embedded server's too).
double cpuSeconds();

// Processor seconds of another process, e.g. a Firebird server.
double cpuSecondsOf(qint64 pid);

// The one-minute load average of the machine.
double loadAverage();

// The three load averages as /proc/loadavg writes them ("1.02 0.98 0.91").
QString loadAverages();

} // namespace vardof::bench
