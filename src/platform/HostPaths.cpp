#include "platform/HostPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <iterator>
#include <mutex>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace vardof::platform {

namespace {

std::mutex g_mutex;
QString g_hostDir;
QString g_windowsDir;

QString executableDir()
{
#if defined(Q_OS_WIN)
    // The library may be loaded by a host that is not a Qt application.
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    if (n > 0 && n < std::size(buffer))
        return QFileInfo(QString::fromWCharArray(buffer, int(n))).absolutePath();
#elif defined(Q_OS_LINUX)
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!target.isEmpty())
        return QFileInfo(target).absolutePath();
#endif
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString nativeDir(const QString &dir)
{
    return ensureTrailingSeparator(QDir::toNativeSeparators(toNativeLocal(dir)));
}

QString systemWindowsDir()
{
#if defined(Q_OS_WIN)
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH)
        return QString::fromWCharArray(buffer, int(n));
#endif
    const QString env = qEnvironmentVariable("VARDOF_WINDOWS_DIR");
    if (!env.isEmpty())
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share/vardof/windows");
}

} // namespace

QString hostDir()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_hostDir.isEmpty())
            return nativeDir(g_hostDir);
    }
    const QString env = qEnvironmentVariable("VARDOF_HOST_DIR");
    return nativeDir(env.isEmpty() ? executableDir() : env);
}

void setHostDir(const QString &dir)
{
    std::lock_guard lock(g_mutex);
    g_hostDir = dir;
}

QString windowsDir()
{
    QString dir;
    {
        std::lock_guard lock(g_mutex);
        dir = g_windowsDir;
    }
    if (dir.isEmpty())
        dir = systemWindowsDir();
    dir = nativeDir(dir);
    QDir().mkpath(dir);
    return dir;
}

void setWindowsDir(const QString &dir)
{
    std::lock_guard lock(g_mutex);
    g_windowsDir = dir;
}

DirFile splitDirFile(const QString &path)
{
    qsizetype i = path.size() - 1;
    while (i >= 0 && path[i] != u'\\' && path[i] != u'/' && path[i] != u':')
        --i;
    return {path.left(i + 1), path.mid(i + 1)};
}

QString ensureTrailingSeparator(const QString &path)
{
    if (path.isEmpty() || path.endsWith(u'\\') || path.endsWith(u'/'))
        return path;
    const bool backslash = path.contains(u'\\');
    const bool slash = path.contains(u'/');
    if (backslash && !slash)
        return path + u'\\';
    if (slash)
        return path + u'/';
    return path + QDir::separator();
}

QString toNativeLocal(const QString &path)
{
#ifdef Q_OS_WIN
    return path;
#else
    QString out = path;
    out.replace(u'\\', u'/');
    return out;
#endif
}

} // namespace vardof::platform
