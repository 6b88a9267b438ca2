#pragma once

// Every file the system writes for people or other programs - converted
// files, anomaly lists, exports, report layouts, rejected import rows,
// definitions saved from the editor - goes through OutputFile, so that a
// failure half way (a full disk, a vanished network share, a killed process)
// never leaves a target cut short or an older file destroyed.
//
// The bytes go to a temporary file in the target's folder; commit() flushes
// them to the disk and renames the temporary file over the target in one
// step. Until then the target keeps its previous content, or stays absent.
// A file that is not committed - abort(), a failed write, the destructor -
// is removed and leaves nothing behind.
//
// Failures are sticky: after the first one every write returns false and
// commit() refuses, so a writer may check only the last call. errorString()
// then holds the system's reason as the system words it (for example
// "No space left on device"), and errorMessage() the Italian sentence for
// the user. A failed write of an output is a failed run: callers report it
// as such, never as a completed one.
//
// Bytes are written as given: callers encode text to CP1252 with CR LF line
// ends (writeText() encodes for them). Not thread-safe; one writer per file.

#include <QByteArray>
#include <QString>

#include <memory>
#include <string_view>

class QSaveFile;

namespace vardof::platform {

class OutputFile
{
public:
    // `target` may use '\' or '/'. Nothing is created before open().
    explicit OutputFile(const QString &target, qsizetype bufferSize = 1 << 16);
    ~OutputFile(); // abort() unless committed
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the temporary file beside the target. False (with the reason)
    // when the folder does not take it, or the target is a folder or a
    // read-only file.
    bool open();

    // Appends bytes; small writes are gathered in memory up to the buffer
    // size given at construction. False once anything failed.
    bool write(const char *data, qsizetype size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    bool write(std::string_view bytes) { return write(bytes.data(), qsizetype(bytes.size())); }
    // Appends `text` in CP1252. A character with no CP1252 byte is written as
    // '?' and sets hadUnencodable(), so the caller can tell the user that the
    // file does not hold exactly what was shown.
    bool writeText(const QString &text);

    // Writes what is buffered, forces it to the disk and puts the file in
    // place of the target. True only when every byte reached the target.
    // After a failure the temporary file is gone and the target untouched.
    bool commit();
    // Drops what was written; the target keeps its previous content.
    void abort();

    const QString &target() const { return m_target; }
    bool isOpen() const;
    bool failed() const { return m_failed; }
    bool committed() const { return m_committed; }
    qint64 bytesWritten() const { return m_written; }
    bool hadUnencodable() const { return m_unencodable; }

    // The system's reason for the first failure; empty while all went well.
    QString errorString() const { return m_error; }
    // "Impossibile scrivere il file "{target}": {reason}"
    QString errorMessage() const;

    // Writes `bytes` as the whole new content of `target`; on failure
    // *errorString gets the system's reason and the target is untouched.
    static bool writeAll(const QString &target, const QByteArray &bytes, QString *errorString = nullptr);

private:
    bool flushBuffer();
    bool writeThrough(const char *data, qsizetype size);
    void fail(const QString &reason);

    QString m_target;
    std::unique_ptr<QSaveFile> m_file;
    QByteArray m_buffer;
    qsizetype m_bufferSize;
    QString m_error;
    qint64 m_written = 0;
    bool m_unencodable = false;
    bool m_failed = false;
    bool m_committed = false;
};

// The Italian lead-in used by errorMessage(), for callers that name the file
// in their own words: "Impossibile scrivere il file "{path}": {reason}".
QString outputFileError(const QString &path, const QString &reason);

} // namespace vardof::platform
