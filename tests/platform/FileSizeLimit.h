#pragma once

// A real write failure without a full disk: while a FileSizeLimit lives, the
// process may not write a file beyond `bytes`, and the system refuses the
// write with EFBIG ("File too large") as it refuses it with ENOSPC when the
// disk is full. The signal the system sends with it is ignored meanwhile.
// Only on systems with resource limits; elsewhere active() is false and the
// test skips itself.

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#endif

#include <QString>

namespace vardof::test {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_UNIX
        if (getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
            return;
        if (m_previous.rlim_max != RLIM_INFINITY && rlim_t(bytes) > m_previous.rlim_max)
            return;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = rlim_t(bytes);
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        if (!m_active)
            std::signal(SIGXFSZ, m_previousHandler);
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        if (m_active) {
            setrlimit(RLIMIT_FSIZE, &m_previous);
            std::signal(SIGXFSZ, m_previousHandler);
        }
#endif
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return m_active; }

    // The system's own words for the refusal.
    static QString reason()
    {
#ifdef Q_OS_UNIX
        return QString::fromLocal8Bit(std::strerror(EFBIG));
#else
        return QString();
#endif
    }

private:
    bool m_active = false;
#ifdef Q_OS_UNIX
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
#endif
};

} // namespace vardof::test
