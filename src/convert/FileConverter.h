#pragma once

// The two conversion engines: a fixed-length or ";"-delimited source file
// becomes a ";"-delimited destination, field by field as the definition file
// says. Plain code, no user interface: bad values in the source are reported
// as anomalies, one line each of the run feedback, and the run goes on; a definition that
// cannot be applied stops the run and leaves its Italian explanation in
// errorMessage(), with the destination holding the lines written so far.
// The destination is replaced only when its lines are all written: a run
// that cannot write it (a full disk) or read the source to the end leaves an
// existing destination as it was, and says why in the system's words.
//
// Source and definition bytes are never decoded on the way: the Windows code
// page is single-byte, so positions are characters and values are copied as
// they are. Lines end with CR LF in the destination; the source may use
// CR LF or LF.

#include "platform/RunFeedback.h"

#include <QString>

#include <memory>

namespace vardof::convert {

// The longest source line the engines read, in characters without the line
// end. No definition has a use for more; a longer line (a file without line
// ends, a binary file) is an anomaly and is skipped as it is read, so that
// memory never grows with it.
inline constexpr qint64 kLongestSourceLine = 1 << 20;

struct ConversionOptions
{
    QString source;
    QString destination;
    bool skipFirstLine = false; // the source starts with headings
    bool header = false;        // write the field names as the first line
    QString replacement = QStringLiteral(":"); // for ";" inside alphanumeric values
};

class FileConverter
{
public:
    // Anomalies go to feedback.line() in source order, control characters
    // of the source written as \xNN; progress is processed
    // source lines over the total, throttled, and 100 at the end of a
    // complete run. Conversions are not interrupted.
    FileConverter(const ConversionOptions &options, platform::RunFeedback &feedback);
    ~FileConverter();
    FileConverter(const FileConverter &) = delete;
    FileConverter &operator=(const FileConverter &) = delete;

    // Each returns true when the whole source was converted.
    bool ConvertiFileLunghezzaFissa(const QString &definitionPath);
    bool ConvertiFileCSV(const QString &definitionPath);

    // Why the last run stopped; empty after a complete run.
    QString errorMessage() const { return m_error; }
    bool anomaliesFound() const { return m_anomalies > 0; }
    qint64 anomalyCount() const { return m_anomalies; }
    // Data lines written by the last run (the header line not counted).
    qint64 linesWritten() const { return m_linesWritten; }

    struct Engine;

private:
    bool run(Engine &engine, const QString &definitionPath);

    ConversionOptions m_options;
    platform::RunFeedback &m_sink;
    QString m_error;
    qint64 m_anomalies = 0;
    qint64 m_linesWritten = 0;
};

} // namespace vardof::convert
