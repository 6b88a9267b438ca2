// The conversion definition reader, and both engines compiling whatever it
// gives over a small source that every form of definition can reach.

#include "ConvertFuzzSupport.h"

#include "convert/ConversionDefinition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = fuzz::writeFile(QStringLiteral("definizione.conf"), bytes);
    QString error;
    const auto definition = convert::readDefinitionFile(path, &error);
    if (!definition) {
        VARDOF_FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    for (const convert::DefinitionLine &line : definition->lines)
        VARDOF_FUZZ_CHECK(line.lineNumber >= 2);

    static const QByteArray source("12,5;  ABC DEFGH ;01/02/2003;HELLO WORLD FOO;x;y\r\n"
                                   "0000120000,50 31/12/1999ABCDEFGHIJKLMNOP\r\n"
                                   ";;;;\n"
                                   "1.234,5;;30/02/2001");
    fuzz::convertOnce(fuzz::Engine::FixedLength, bytes, source, 0);
    fuzz::convertOnce(fuzz::Engine::Delimited, bytes, source, 3);
    return 0;
}
