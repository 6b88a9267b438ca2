#pragma once

// The conversion targets: a run of either engine over files written from
// the input, with a feedback that only counts (a fuzzer's anomalies would
// otherwise pile up in memory).

#include "FuzzSupport.h"

#include "convert/FileConverter.h"
#include "platform/RunFeedback.h"

namespace vardof::fuzz {

class CountingFeedback : public platform::RunFeedback
{
public:
    void line(const QString &text) override
    {
        VARDOF_FUZZ_CHECK(!text.isEmpty());
        ++lines;
    }
    void progress(int percent) override { VARDOF_FUZZ_CHECK(percent >= 0 && percent <= 100); }
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind, const QString &, platform::Buttons) override
    {
        return platform::Answer::No;
    }
    qint64 lines = 0;
};

enum class Engine { FixedLength, Delimited };

// Converts `source` with `definition`; the options come from the bits of
// `flags`. Whatever the input, the run ends, and a complete run says so
// with an empty error and a destination in place.
inline void convertOnce(Engine engine, const QByteArray &definition, const QByteArray &source, unsigned flags)
{
    convert::ConversionOptions options;
    options.source = writeFile(QStringLiteral("origine.txt"), source);
    const QString conf = writeFile(QStringLiteral("origine.conf"), definition);
    options.destination = pathOf(QStringLiteral("destinazione.dat"));
    QFile::remove(options.destination);
    options.skipFirstLine = flags & 1;
    options.header = flags & 2;
    if (flags & 4)
        options.replacement = QString();

    CountingFeedback feedback;
    convert::FileConverter converter(options, feedback);
    const bool complete = engine == Engine::FixedLength ? converter.ConvertiFileLunghezzaFissa(conf)
                                                        : converter.ConvertiFileCSV(conf);
    VARDOF_FUZZ_CHECK(converter.anomalyCount() == feedback.lines);
    if (complete) {
        VARDOF_FUZZ_CHECK(converter.errorMessage().isEmpty());
        VARDOF_FUZZ_CHECK(QFile::exists(options.destination));
    } else {
        VARDOF_FUZZ_CHECK(!converter.errorMessage().isEmpty());
    }
}

// The input: a flags byte, then the definition up to the first NUL and the
// source after it; without a NUL the whole rest is the source and the
// definition is `fallback`, which exercises every form of value.
inline void convertInput(Engine engine, const QByteArray &fallback, const uint8_t *data, size_t size)
{
    if (size == 0)
        return;
    const unsigned flags = data[0];
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype nul = rest.indexOf('\0');
    if (nul < 0)
        convertOnce(engine, fallback, rest, flags);
    else
        convertOnce(engine, rest.left(nul), rest.mid(nul + 1), flags);
}

} // namespace vardof::fuzz
