#pragma once

// One conversion as the user starts it, from the window or from the command
// line: the path checks, the choice of engine from the definition's first
// line, the run, and the anomalies file beside the source.

#include "convert/FileConverter.h"

#include <QStringList>

namespace vardof::convert {

// The warning for the first check the paths fail, empty when they pass.
// Besides the usual checks, the destination may not be the source, its
// definition or the anomalies file: writing it would destroy them.
QString checkPaths(const ConversionOptions &options);

struct ConversionResult
{
    bool completed = false;     // the whole source was converted and the destination is in place
    QString error;              // why it stopped, when it did
    qint64 anomalyCount = 0;    // anomalies reported to the sink
    QString anomaliesFile;      // written when there were anomalies
    QString anomaliesFileError; // the anomalies file could not be written

    // A run succeeds only when every file it had to write was written.
    bool succeeded() const { return completed && anomaliesFileError.isEmpty(); }
};

// Converts options.source into options.destination (the paths already
// checked). Anomalies reach `sink` as they are found; when there are any
// they also go, as they come, to "Anomalie.txt" in the source's folder,
// which replaces the previous one at the end of the run, even when the run
// stopped early. Nothing is kept in memory per source line.
ConversionResult Converti(const ConversionOptions &options, platform::RunFeedback &sink);

} // namespace vardof::convert
