// The import script reader: the "[SCRIPT]" file beside a data file, its
// directives, the summary the window shows and the name lists.

#include "FuzzSupport.h"

#include "import/ImportScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::importcsv;
    const QString path = vardof::fuzz::writeFile(QStringLiteral("script.txt"), data, size);
    QStringList righe;
    try {
        righe = leggiRigheScript(path);
    } catch (const ScriptFileError &e) {
        VARDOF_FUZZ_CHECK(!e.message().isEmpty());
        return 0;
    }
    const TParametriScript parametri = analizzaScript(righe);
    (void)riepilogoScript(parametri);
    for (const QString &riga : righe) {
        (void)dividiElencoNomi(riga);
        const QString visibile = testoVisibile(riga);
        VARDOF_FUZZ_CHECK(!haCaratteriControllo(visibile));
    }
    return 0;
}
