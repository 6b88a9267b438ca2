#include "output/TFileCSVWrite.h"

#include "core/Cp1252.h"
#include "platform/HostPaths.h"

#include <QFile>

namespace vardof::output {

TFileCSVWrite::TFileCSVWrite(const QString &fileName) : FileName(fileName) {}

TFileCSVWrite::~TFileCSVWrite()
{
    Abort();
}

bool TFileCSVWrite::Open(bool overwrite)
{
    m_rowCount = 0;
    m_error.clear();
    m_file = std::make_unique<platform::OutputFile>(FileName);
    if (!m_file->open()) {
        m_error = m_file->errorMessage();
        return false;
    }
    const QString local = platform::toNativeLocal(FileName);
    if (!overwrite && QFile::exists(local)) {
        QFile old(local);
        if (!old.open(QIODevice::ReadOnly)) {
            m_error = platform::outputFileError(FileName, old.errorString());
            m_file->abort();
            return false;
        }
        while (!old.atEnd()) {
            const QByteArray chunk = old.read(1 << 20);
            if (chunk.isEmpty() && old.error() != QFileDevice::NoError) {
                m_error = platform::outputFileError(FileName, old.errorString());
                m_file->abort();
                return false;
            }
            m_file->write(chunk);
        }
    }
    return true;
}

void TFileCSVWrite::sostituisci(QByteArray &field, char separator, const QByteArray &sepSubstitute,
                                const QByteArray &breakSubstitute)
{
    bool needs = false;
    for (char c : field)
        if (c == separator || c == '\r' || c == '\n') {
            needs = true;
            break;
        }
    if (!needs)
        return;
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\r') {
            out += breakSubstitute;
            if (i + 1 < field.size() && field.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out += breakSubstitute;
        } else if (c == separator) {
            out += sepSubstitute;
        } else {
            out += c;
        }
    }
    field = out;
}

void TFileCSVWrite::SetField(int i, const QByteArray &bytes)
{
    if (i < 0)
        return;
    if (size_t(i) >= m_row.size())
        m_row.resize(size_t(i) + 1);
    m_row[size_t(i)] = bytes;
    sostituisci(m_row[size_t(i)], Separatore, SostitutoSeparatore, SostitutoRitornoCapo);
}

void TFileCSVWrite::SetText(int i, const QString &text)
{
    bool lossy = false;
    SetField(i, core::toCp1252(text, &lossy));
    m_unencodable = m_unencodable || lossy;
}

bool TFileCSVWrite::WriteRow()
{
    if (!m_file || !m_file->isOpen())
        return false;
    m_line.clear();
    for (size_t i = 0; i < m_row.size(); ++i) {
        if (i > 0)
            m_line += Separatore;
        m_line += m_row[i];
    }
    m_line += "\r\n";
    if (!m_file->write(m_line)) {
        m_error = m_file->errorMessage();
        return false;
    }
    ++m_rowCount;
    return true;
}

bool TFileCSVWrite::Close()
{
    if (!m_file)
        return false;
    const bool ok = m_file->commit();
    if (!ok)
        m_error = m_file->errorMessage();
    m_file.reset();
    return ok;
}

void TFileCSVWrite::Abort()
{
    if (m_file)
        m_file->abort();
    m_file.reset();
}

QString TFileCSVWrite::errorMessage() const
{
    return m_error;
}

} // namespace vardof::output
