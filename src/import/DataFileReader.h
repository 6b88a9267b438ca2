#pragma once

// Lines of an import data file. The files come from other programs: mostly
// the Windows code page, sometimes UTF-8 (with or without the byte-order
// mark), now and then with binary garbage. Each line is decoded on its own:
// a line that is valid UTF-8 and not plain ASCII is read as UTF-8, any other
// as CP1252 (which decodes every byte). A line holding control bytes (NUL,
// and the C0 controls other than TAB and CR) is flagged so that the run can
// report it instead of storing garbage.

#include "platform/TextFile.h"

#include <QString>

namespace vardof::importcsv {

class DataFileReader
{
public:
    bool open(const QString &path);
    void close() { m_reader.close(); }

    // False at the end of the file.
    bool readLine(QString &line, bool &nonValida);
    qint64 lineNumber() const { return m_reader.lineNumber(); }
    // The bytes of the last line read as they stand in the file (without
    // the line end and the UTF-8 mark), for the rejects file.
    QByteArrayView rawLine() const { return QByteArrayView(m_raw).sliced(m_rawStart); }

private:
    platform::TextLineReader m_reader{1 << 20};
    QByteArray m_raw;
    qsizetype m_rawStart = 0;
};

enum class FileDati { Testo, NonTesto, Illeggibile };

// Looks at the first block of a data file before anything is done with it.
// Text files never hold NUL bytes (a picture, an archive, a UTF-16 file
// does, at once); and a block with control bytes at every turn is no text
// in any code page either. A few stray control bytes leave the file text:
// those lines are refused one by one. `errore` gets the system's reason
// when the file cannot be read.
FileDati esaminaFileDati(const QString &path, QString *errore = nullptr);

// Data lines of a file, that is physical lines (a final line end does not
// start another), less the first when it is skipped. -1 when unreadable.
qint64 contaRigheDati(const QString &path, bool saltaPrimaRiga);

} // namespace vardof::importcsv
