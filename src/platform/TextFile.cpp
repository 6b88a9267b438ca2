#include "platform/TextFile.h"

#include "core/Cp1252.h"
#include "platform/HostPaths.h"

#include <cstring>

namespace vardof::platform {

std::optional<QStringList> readTextLines(const QString &path, QString *errorString)
{
    TextLineReader reader;
    if (!reader.open(path)) {
        if (errorString)
            *errorString = reader.errorString();
        return std::nullopt;
    }
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines << line;
    if (reader.failed()) {
        if (errorString)
            *errorString = reader.errorString();
        return std::nullopt;
    }
    return lines;
}

bool writeTextLines(const QString &path, const QStringList &lines, bool *lossy,
                    QString *errorString)
{
    TextLineWriter writer;
    bool ok = writer.open(path);
    for (qsizetype i = 0; ok && i < lines.size(); ++i)
        ok = writer.writeLine(lines[i]);
    ok = writer.close() && ok;
    if (lossy)
        *lossy = writer.unencodableLines() > 0;
    if (!ok && errorString)
        *errorString = writer.errorString();
    return ok;
}

// ---- reader ----------------------------------------------------------------

TextLineReader::TextLineReader(int chunkSize) : m_chunkSize(std::max(chunkSize, 1)) {}

bool TextLineReader::open(const QString &path)
{
    close();
    m_file.setFileName(toNativeLocal(path));
    return m_file.open(QIODevice::ReadOnly);
}

void TextLineReader::close()
{
    m_file.close();
    m_buffer.clear();
    m_start = 0;
    m_eof = false;
    m_failed = false;
    m_lineNumber = 0;
    m_consumed = 0;
}

bool TextLineReader::fill()
{
    if (m_eof)
        return false;
    // Keep the unread tail, then read a whole chunk after it.
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + m_chunkSize);
    const qint64 n = m_file.read(m_buffer.data() + old, m_chunkSize);
    if (n < 0) {
        m_failed = true;
        m_eof = true;
        m_buffer.resize(old);
        return false;
    }
    m_buffer.resize(old + qsizetype(n));
    if (n == 0)
        m_eof = true;
    return n > 0;
}

std::string_view TextLineReader::nextLine(bool *found)
{
    *found = false;
    if (!m_file.isOpen())
        return {};
    qsizetype searchFrom = m_start;
    for (;;) {
        const char *base = m_buffer.constData();
        const void *hit =
            std::memchr(base + searchFrom, '\n', size_t(m_buffer.size() - searchFrom));
        if (hit) {
            const qsizetype end = static_cast<const char *>(hit) - base;
            qsizetype stop = end;
            if (stop > m_start && base[stop - 1] == '\r')
                --stop;
            const std::string_view view(base + m_start, size_t(stop - m_start));
            m_consumed += end + 1 - m_start;
            m_start = end + 1;
            ++m_lineNumber;
            *found = true;
            return view;
        }
        const qsizetype scanned = m_buffer.size() - m_start;
        if (!fill())
            break;
        searchFrom = m_start + scanned; // fill() moved the unread tail to the front
    }
    if (m_start >= m_buffer.size())
        return {};
    // The last line has no terminator.
    qsizetype stop = m_buffer.size();
    if (m_buffer[stop - 1] == '\r')
        --stop;
    const std::string_view view(m_buffer.constData() + m_start, size_t(stop - m_start));
    m_consumed += m_buffer.size() - m_start;
    m_start = m_buffer.size();
    ++m_lineNumber;
    *found = true;
    return view;
}

bool TextLineReader::readRawLine(QByteArray &line)
{
    bool found = false;
    const std::string_view view = nextLine(&found);
    if (found)
        line = QByteArray(view.data(), qsizetype(view.size()));
    return found;
}

bool TextLineReader::readLine(QString &line)
{
    bool found = false;
    const std::string_view view = nextLine(&found);
    if (found)
        line = core::fromCp1252(view);
    return found;
}

// ---- writer ----------------------------------------------------------------

TextLineWriter::TextLineWriter(int bufferSize) : m_bufferSize(std::max(bufferSize, 16))
{
    m_buffer.reserve(m_bufferSize + 1024);
}

TextLineWriter::~TextLineWriter()
{
    close();
}

bool TextLineWriter::open(const QString &path, Mode mode)
{
    close();
    m_failed = false;
    m_lines = 0;
    m_unencodableLines = 0;
    m_lineLossy = false;
    m_partialLine.clear();
    m_file.setFileName(toNativeLocal(path));
    const QIODevice::OpenMode flags = mode == Append
                                          ? QIODevice::WriteOnly | QIODevice::Append
                                          : QIODevice::WriteOnly | QIODevice::Truncate;
    return m_file.open(flags);
}

bool TextLineWriter::append(const QString &text, bool endLine)
{
    if (m_failed || !m_file.isOpen())
        return false;
    bool lossy = false;
    core::appendCp1252(text, m_buffer, &lossy);
    m_lineLossy = m_lineLossy || lossy;
    if (m_handler)
        m_partialLine += text;
    if (endLine) {
        m_buffer += "\r\n";
        ++m_lines;
        if (m_lineLossy) {
            ++m_unencodableLines;
            if (m_handler)
                m_handler(m_lines, m_partialLine);
        }
        m_lineLossy = false;
        m_partialLine.clear();
    }
    if (m_buffer.size() >= m_bufferSize)
        return flush();
    return true;
}

bool TextLineWriter::writeLine(const QString &line)
{
    return append(line, true);
}

bool TextLineWriter::write(const QString &text)
{
    return append(text, false);
}

bool TextLineWriter::flush()
{
    if (m_failed)
        return false;
    if (!m_buffer.isEmpty()) {
        if (m_file.write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }
    if (!m_failed && !m_file.flush())
        m_failed = true;
    return !m_failed;
}

bool TextLineWriter::close()
{
    if (!m_file.isOpen())
        return !m_failed;
    const bool ok = flush();
    m_file.close();
    return ok && m_file.error() == QFileDevice::NoError;
}

} // namespace vardof::platform
