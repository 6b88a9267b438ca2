#pragma once

// Folders the tools rely on, and path text as it appears in stored data:
// written on Windows with '\', it must still work where the separator is '/'.

#include <QString>

namespace vardof::platform {

// The folder of the host executable, with a trailing separator. The host's
// files (configuration, reports) are looked for there. Resolved in order:
// setHostDir(), the environment variable VARDOF_HOST_DIR (set by a launcher
// so that we behave as if the host executable stood there), the folder of
// this process's executable.
QString hostDir();
// Empty clears the override.
void setHostDir(const QString &dir);

// The Windows folder, with a trailing separator, where the tools keep their
// INI files. On Windows the real one; elsewhere VARDOF_WINDOWS_DIR, else
// ~/.local/share/vardof/windows. setWindowsDir() overrides both (tests).
// Created when missing.
QString windowsDir();
void setWindowsDir(const QString &dir);

struct DirFile
{
    QString dir;  // up to and including the last '\', '/' or ':'
    QString file; // the rest

    bool operator==(const DirFile &) const = default;
};
DirFile splitDirFile(const QString &path);
inline QString extractFilePath(const QString &path) { return splitDirFile(path).dir; }
inline QString extractFileName(const QString &path) { return splitDirFile(path).file; }

// Adds a separator unless the path already ends with '\' or '/'; the one
// added is the kind the path already uses ('/' when it has none outside
// Windows). An empty path stays empty: it means "the current folder", and a
// lone separator would mean the root.
QString ensureTrailingSeparator(const QString &path);

// The path as the local file system wants it: outside Windows every '\'
// becomes '/'. Use it at the point of opening a file, not on stored data.
QString toNativeLocal(const QString &path);

} // namespace vardof::platform
