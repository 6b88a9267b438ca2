// The number, date and time parsers of the formats module, and the
// FormatFloat pattern reader: any text, typed or read from a file.

#include "FuzzSupport.h"

#include "platform/Formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::platform;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    (void)strToFloat(text, DecimalInput::CommaOnly);
    (void)strToFloat(text, DecimalInput::CommaOrPoint);
    (void)strToInt(text);
    (void)strToInt64(text);

    // What is accepted must read back the same from its own text.
    if (const auto date = strToDate(text)) {
        VARDOF_FUZZ_CHECK(date->isValid());
        VARDOF_FUZZ_CHECK(strToDate(dateToStr(*date)) == date);
    }
    if (const auto time = strToTime(text)) {
        VARDOF_FUZZ_CHECK(time->isValid());
        VARDOF_FUZZ_CHECK(strToTime(timeToStr(*time)) == time);
    }
    if (const auto stamp = strToDateTime(text))
        VARDOF_FUZZ_CHECK(stamp->isValid());

    // The same text as a FormatFloat pattern; long patterns add nothing.
    if (text.size() <= 64) {
        for (double value : {0.0, -1.5, 1234567.891, 1e-7, 1e20})
            (void)formatFloat(text, value);
    }
    return 0;
}
