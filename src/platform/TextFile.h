#pragma once

// Text files as the office programs exchange them: CP1252 bytes, CR LF line
// ends (LF alone accepted on read). Sized for import files of hundreds of
// megabytes and exports of millions of lines.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>

namespace vardof::platform {

// The whole file as lines, without their terminators. A last line without
// a terminator is kept; a terminator at the very end does not add an empty
// line. nullopt when the file cannot be read.
std::optional<QStringList> readTextLines(const QString &path, QString *errorString = nullptr);

// Writes `lines` each followed by CR LF. False when the file cannot be
// written. `lossy` (optional) tells whether some character had no CP1252 byte
// and was written as '?'.
bool writeTextLines(const QString &path, const QStringList &lines, bool *lossy = nullptr,
                    QString *errorString = nullptr);

class TextLineReader
{
public:
    explicit TextLineReader(int chunkSize = 1 << 20);

    bool open(const QString &path);
    QString errorString() const { return m_file.errorString(); }
    void close();

    // False at the end of the file (or on a read error: see failed()).
    bool readLine(QString &line);
    // The undecoded bytes, for callers that look at a field before paying
    // for the conversion.
    bool readRawLine(QByteArray &line);

    bool failed() const { return m_failed; }
    qint64 lineNumber() const { return m_lineNumber; } // of the last line read, from 1
    qint64 position() const { return m_consumed; }     // bytes consumed, for progress
    qint64 size() const { return m_file.size(); }

private:
    bool fill();
    // The next line's bytes, valid until the following call.
    std::string_view nextLine(bool *found);

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_start = 0; // first unread byte in m_buffer
    int m_chunkSize;
    bool m_eof = false;
    bool m_failed = false;
    qint64 m_lineNumber = 0;
    qint64 m_consumed = 0;
};

class TextLineWriter
{
public:
    enum Mode { Truncate, Append };
    // Called for every line that had characters with no CP1252 byte, with the
    // line number (from 1) and the text as given.
    using UnencodableHandler = std::function<void(qint64 lineNumber, const QString &line)>;

    explicit TextLineWriter(int bufferSize = 1 << 20);
    ~TextLineWriter();

    bool open(const QString &path, Mode mode = Truncate);
    QString errorString() const { return m_file.errorString(); }
    void setUnencodableHandler(UnencodableHandler handler) { m_handler = std::move(handler); }

    // Text followed by CR LF. False once a write has failed.
    bool writeLine(const QString &line);
    // Text without a line end (the next writeLine continues the same line).
    bool write(const QString &text);
    bool flush();
    // Flushes and closes; false when anything was lost on the way.
    bool close();

    qint64 linesWritten() const { return m_lines; }
    // Lines in which some character was written as '?'.
    qint64 unencodableLines() const { return m_unencodableLines; }

private:
    bool append(const QString &text, bool endLine);

    QFile m_file;
    QByteArray m_buffer;
    int m_bufferSize;
    bool m_failed = false;
    bool m_lineLossy = false;
    QString m_partialLine; // kept only while a handler wants whole lines
    qint64 m_lines = 0;
    qint64 m_unencodableLines = 0;
    UnencodableHandler m_handler;
};

} // namespace vardof::platform
