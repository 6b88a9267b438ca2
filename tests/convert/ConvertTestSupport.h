#pragma once

// Small helpers for the conversion tests: files written as bytes (the code
// page is single-byte) and a sink that keeps what the engine reported.

#include "convert/FileConverter.h"
#include "core/Cp1252.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

namespace vardof::test {

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// Lines joined with CR LF after each one, as the destination is written.
inline QByteArray crlf(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

// The anomalies are the lines of the run.
class RecordingSink : public platform::RecordingFeedback
{
public:
    RecordingSink() = default;
    RecordingSink(const RecordingSink &) = delete;
    RecordingSink &operator=(const RecordingSink &) = delete;

    QStringList &anomalies = lines;
};

} // namespace vardof::test
