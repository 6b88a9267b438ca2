#pragma once

// Opening a document with the program the desktop associates with it.

#include <QString>
#include <QStringList>

#include <mutex>

namespace vardof::platform {

class IShell
{
public:
    virtual ~IShell() = default;
    // `path` may use '\' or '/'. False when nothing could be started.
    virtual bool openFile(const QString &path) = 0;
};

// Without QtGui: ShellExecute on Windows, "open" on macOS, "xdg-open"
// elsewhere. Detached, so the document outlives us.
class ProcessShell : public IShell
{
public:
    bool openFile(const QString &path) override;
};

// Records what would have been opened.
class ScriptedShell : public IShell
{
public:
    bool openFile(const QString &path) override
    {
        std::lock_guard lock(m_mutex);
        m_opened << path;
        return m_result;
    }
    void setResult(bool result)
    {
        std::lock_guard lock(m_mutex);
        m_result = result;
    }
    QStringList openedFiles() const
    {
        std::lock_guard lock(m_mutex);
        return m_opened;
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_opened;
    bool m_result = true;
};

} // namespace vardof::platform
