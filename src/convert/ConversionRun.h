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
    bool completed = false;   // the engine ran to the end of the source
    QString error;            // why it stopped, when it did
    QStringList anomalies;    // as shown in the anomalies list
    QString anomaliesFile;    // written when there were anomalies
    QString anomaliesFileError;
};

// Converts options.source into options.destination (the paths already
// checked). Anomalies reach `sink` as they are found and come back all
// together in the result; when there were any they are also written to
// "Anomalie.txt" in the source's folder, even when the run stopped early.
ConversionResult Converti(const ConversionOptions &options, ConversionSink &sink);

} // namespace vardof::convert
