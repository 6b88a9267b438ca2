#include "platform/OutputFile.h"

#include "core/Cp1252.h"
#include "platform/HostPaths.h"

#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace vardof::platform {

QString outputFileError(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(path, reason);
}

OutputFile::OutputFile(const QString &target, qsizetype bufferSize)
    : m_target(target), m_bufferSize(std::max<qsizetype>(bufferSize, 1))
{}

OutputFile::~OutputFile()
{
    abort();
}

bool OutputFile::isOpen() const
{
    return m_file && m_file->isOpen();
}

void OutputFile::fail(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    // Qt leaves the reason empty for a few failures it detects itself.
    m_error = reason.isEmpty() ? QStringLiteral("errore sconosciuto") : reason;
}

QString OutputFile::errorMessage() const
{
    return outputFileError(m_target, m_error);
}

bool OutputFile::open()
{
    abort();
    m_failed = false;
    m_committed = false;
    m_error.clear();
    m_written = 0;
    m_unencodable = false;
    m_buffer.clear();

    // QSaveFile holds the temporary file (unnamed where the system allows it)
    // and the replacing rename, which Windows cannot do with a plain rename.
    m_file = std::make_unique<QSaveFile>(toNativeLocal(m_target));
    // Unbuffered: a failing write must report its own reason at once; the
    // buffering is ours.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(m_file->errorString());
        m_file.reset();
        return false;
    }
    m_buffer.reserve(m_bufferSize);
    return true;
}

bool OutputFile::writeThrough(const char *data, qsizetype size)
{
    // A short write is not yet an error: the next call tells why it stopped.
    while (size > 0) {
        const qint64 n = m_file->write(data, size);
        if (n <= 0) {
            fail(m_file->errorString());
            return false;
        }
        data += n;
        size -= qsizetype(n);
        m_written += n;
    }
    return true;
}

bool OutputFile::flushBuffer()
{
    if (m_buffer.isEmpty())
        return true;
    const bool ok = writeThrough(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
    return ok;
}

bool OutputFile::write(const char *data, qsizetype size)
{
    if (m_failed || !isOpen())
        return false;
    if (size <= 0)
        return true;
    if (m_buffer.size() + size <= m_bufferSize) {
        m_buffer.append(data, size);
        return true;
    }
    if (!flushBuffer())
        return false;
    if (size >= m_bufferSize)
        return writeThrough(data, size);
    m_buffer.append(data, size);
    return true;
}

bool OutputFile::writeText(const QString &text)
{
    if (m_failed || !isOpen())
        return false;
    bool lossy = false;
    core::appendCp1252(text, m_buffer, &lossy);
    m_unencodable = m_unencodable || lossy;
    if (m_buffer.size() >= m_bufferSize)
        return flushBuffer();
    return true;
}

bool OutputFile::commit()
{
    if (m_failed || !isOpen()) {
        if (!m_failed)
            fail(QStringLiteral("il file non è aperto"));
        abort();
        return false;
    }
    if (!flushBuffer()) {
        abort();
        return false;
    }
#ifdef Q_OS_UNIX
    // Some file systems (network ones above all) report a full disk only
    // when the data is forced out; QSaveFile would sync too but ignores the
    // outcome.
    const int fd = m_file->handle();
    if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        abort();
        return false;
    }
#endif
    if (!m_file->commit()) {
        fail(m_file->errorString());
        m_file.reset();
        return false;
    }
    m_file.reset();
    m_committed = true;
    return true;
}

void OutputFile::abort()
{
    m_buffer.clear();
    if (m_file) {
        // Never committed: QSaveFile removes the temporary file.
        m_file->cancelWriting();
        m_file.reset();
    }
}

bool OutputFile::writeAll(const QString &target, const QByteArray &bytes, QString *errorString)
{
    OutputFile file(target);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && errorString)
        *errorString = file.errorString();
    return ok;
}

} // namespace vardof::platform
