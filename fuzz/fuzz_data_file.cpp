// The delimited data reader of the import: any bytes another program may
// have written, in any code page, with or without line ends.

#include "FuzzSupport.h"

#include "import/DataFileReader.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::importcsv;
    const QString path = vardof::fuzz::writeFile(QStringLiteral("dati.csv"), data, size);

    (void)esaminaFileDati(path);
    const qint64 contate = contaRigheDati(path, false);
    VARDOF_FUZZ_CHECK(contate >= 0);
    VARDOF_FUZZ_CHECK(contaRigheDati(path, true) == std::max<qint64>(0, contate - 1));

    DataFileReader reader;
    VARDOF_FUZZ_CHECK(reader.open(path));
    QString riga;
    bool nonValida = false;
    qint64 lette = 0;
    while (reader.readLine(riga, nonValida)) {
        ++lette;
        VARDOF_FUZZ_CHECK(reader.lineNumber() == lette);
        // The rejects file gets the bytes as they stood: never more than the file.
        VARDOF_FUZZ_CHECK(reader.rawLine().size() <= qsizetype(size));
        VARDOF_FUZZ_CHECK(!riga.contains(QLatin1Char('\n')));
    }
    // The progress and the run count lines the same way.
    VARDOF_FUZZ_CHECK(lette == contate);
    return 0;
}
