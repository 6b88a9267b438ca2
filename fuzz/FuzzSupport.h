#pragma once

// What the fuzz targets share. Every reader of the library works on a path,
// as the tools do, so each input is first written to a file of its own in a
// folder private to the process (under TMPDIR, which scripts/fuzz.sh points
// at a folder it removes afterwards).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace vardof::fuzz {

inline const QTemporaryDir &workDir()
{
    static const QTemporaryDir dir;
    return dir;
}

inline QString pathOf(const QString &name)
{
    return workDir().filePath(name);
}

inline QString writeFile(const QString &name, const char *data, size_t size)
{
    const QString path = pathOf(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data, qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "cannot write the fuzz input %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

inline QString writeFile(const QString &name, const uint8_t *data, size_t size)
{
    return writeFile(name, reinterpret_cast<const char *>(data), size);
}

inline QString writeFile(const QString &name, const QByteArray &bytes)
{
    return writeFile(name, bytes.constData(), size_t(bytes.size()));
}

// A property the reader promises that the input broke: a finding, as a
// crash is.
#define VARDOF_FUZZ_CHECK(condition)                                                                   \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);      \
            std::abort();                                                                              \
        }                                                                                              \
    } while (0)

} // namespace vardof::fuzz
