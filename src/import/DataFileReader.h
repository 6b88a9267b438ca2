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

private:
    platform::TextLineReader m_reader{1 << 20};
    QByteArray m_raw;
};

// Data lines of a file, that is physical lines (a final line end does not
// start another), less the first when it is skipped. -1 when unreadable.
qint64 contaRigheDati(const QString &path, bool saltaPrimaRiga);

} // namespace vardof::importcsv
