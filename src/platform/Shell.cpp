#include "platform/Shell.h"

#include "platform/HostPaths.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#endif

namespace vardof::platform {

bool ProcessShell::openFile(const QString &path)
{
    const QString local = toNativeLocal(path);
#if defined(Q_OS_WIN)
    const auto result = reinterpret_cast<quintptr>(
        ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t *>(local.utf16()),
                      nullptr, nullptr, SW_SHOWNORMAL));
    // ShellExecute reports success with a value above 32.
    return result > 32;
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {local});
#else
    if (!QFileInfo::exists(local))
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {local});
#endif
}

} // namespace vardof::platform
