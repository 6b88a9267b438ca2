#pragma once

// The delimited-file writer of the exports: one row of field texts at a
// time, the separator between them, CR LF after each row. No quoting is
// added: a caller that wants a value quoted quotes it before setting it.
// Inside a field, every separator character becomes the separator
// substitute and every line break (CR LF, LF, CR) the line-break substitute,
// so that a field never splits the row.
//
// The bytes go through platform::OutputFile: the file appears only when
// Close() completes, and an earlier content stays until then (appending
// copies it first). Field texts are written as the bytes they are given
// (setField takes bytes, setText encodes to CP1252).

#include "platform/OutputFile.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace vardof::output {

class TFileCSVWrite
{
public:
    explicit TFileCSVWrite(const QString &fileName = QString());
    ~TFileCSVWrite(); // an unclosed file is dropped

    QString FileName;
    char Separatore = ';';
    QByteArray SostitutoSeparatore = ",";
    QByteArray SostitutoRitornoCapo = " ";

    // overwrite true, or no file yet: the file starts empty; otherwise the
    // rows go after its present content. False with the system's reason.
    bool Open(bool overwrite);
    void ClearRow() { m_row.clear(); }
    // Field i (0-based) of the current row; the row grows with empty fields
    // up to i.
    void SetField(int i, const QByteArray &bytes);
    void SetText(int i, const QString &text); // CP1252
    // The fields joined by the separator, then CR LF. The row stays set.
    bool WriteRow();
    // Puts the file in place; false when any byte did not reach it.
    bool Close();
    void Abort();

    qint64 RowCount() const { return m_rowCount; }
    QString errorMessage() const;
    bool hadUnencodable() const { return m_unencodable; }

    // The substitution SetField applies, for callers that build rows alone.
    static void sostituisci(QByteArray &field, char separator, const QByteArray &sepSubstitute,
                            const QByteArray &breakSubstitute);

private:
    std::unique_ptr<platform::OutputFile> m_file;
    std::vector<QByteArray> m_row;
    QByteArray m_line;
    qint64 m_rowCount = 0;
    QString m_error;
    bool m_unencodable = false;
};

} // namespace vardof::output
