// The CP1252 line reader: the whole-file reader and the streaming reader
// must see the same lines whatever the chunk boundaries, and lines written
// back must read back unchanged.

#include "FuzzSupport.h"

#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::platform;
    const QString path = vardof::fuzz::writeFile(QStringLiteral("fuzz.txt"), data, size);

    const auto whole = readTextLines(path);
    VARDOF_FUZZ_CHECK(whole.has_value());

    // Tiny chunks put a boundary inside every CR LF pair sooner or later.
    for (int chunk : {1, 2, 7}) {
        TextLineReader reader(chunk);
        VARDOF_FUZZ_CHECK(reader.open(path));
        QStringList lines;
        QString line;
        while (reader.readLine(line))
            lines << line;
        VARDOF_FUZZ_CHECK(!reader.failed());
        VARDOF_FUZZ_CHECK(lines == *whole);
        VARDOF_FUZZ_CHECK(reader.lineNumber() == lines.size());
        VARDOF_FUZZ_CHECK(reader.position() == qint64(size));
    }

    TextLineReader raw(3);
    VARDOF_FUZZ_CHECK(raw.open(path));
    QByteArray bytes;
    qsizetype count = 0;
    while (raw.readRawLine(bytes))
        ++count;
    VARDOF_FUZZ_CHECK(count == whole->size());

    const QString copy = vardof::fuzz::pathOf(QStringLiteral("copia.txt"));
    bool lossy = true;
    VARDOF_FUZZ_CHECK(writeTextLines(copy, *whole, &lossy));
    VARDOF_FUZZ_CHECK(!lossy);
    const auto again = readTextLines(copy);
    VARDOF_FUZZ_CHECK(again.has_value());
    VARDOF_FUZZ_CHECK(*again == *whole);
    return 0;
}
