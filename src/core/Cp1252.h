#pragma once

// Windows code page 1252: the single-byte encoding of every text that crosses
// the database connection (WIN1252) and of every file written for people.

#include <QByteArray>
#include <QString>
#include <string_view>

namespace vardof::core {

// Decodes CP1252 bytes. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value,
// as Windows does, so every byte sequence decodes and round-trips.
QString fromCp1252(std::string_view bytes);
inline QString fromCp1252(const QByteArray &bytes)
{
    return fromCp1252(std::string_view(bytes.constData(), size_t(bytes.size())));
}

// Encodes to CP1252. A character with no CP1252 byte becomes '?'; when
// `lossy` is given it is set to true if that happened.
QByteArray toCp1252(const QString &text, bool *lossy = nullptr);

// Appends the encoding of `text` to `out` without a temporary (hot paths).
void appendCp1252(const QString &text, QByteArray &out, bool *lossy = nullptr);

// True when every character of `text` has a CP1252 byte.
bool isCp1252(const QString &text);

} // namespace vardof::core
