// The parser of the stored update scripts: the text a user typed into the
// script editor, split into lines as the run splits it.

#include "FuzzSupport.h"

#include "maintenance/ScriptAggiornamento.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::maintenance;
    const QString testo = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const ScriptAnalizzato script = analizzaScript(
        testo.split(QLatin1Char('\n')),
        [](const QString &campo) { return campo.compare(QLatin1String("CODICE"), Qt::CaseInsensitive) == 0; });
    for (const RigaScript *riga : script.assegnazioni())
        VARDOF_FUZZ_CHECK(riga != nullptr);
    (void)script.aggiorna();
    (void)script.aggiungi();
    VARDOF_FUZZ_CHECK(script.numeroAssegnazioni >= 0);
    return 0;
}
