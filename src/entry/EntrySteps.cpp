#include "entry/EntrySteps.h"
#include "context/WorkContext.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "platform/Messages.h"

namespace vardof::entry {

QString testoRicalcoloIndici()
{
    return QStringLiteral(
               "Ogni query eseguita dal DB Engine si appoggia automaticamente a degli indici, se presenti (PLAN). "
               "Lo scopo è quello di fornire il risultato nel minor tempo possibile, ma per farlo è necessario "
               "individuare quali sono gli indici più utili. La selettività è proprio il grado di \"utilità\" di un "
               "indice: si tratta di un valore assegnato automaticamente dal DB Engine al momento della creazione di "
               "un indice sulla base della qualità dei dati presenti nelle colonne coinvolte. E' quindi utile "
               "ricalcolare la selettività degli indici per incrementare le prestazioni del DB Engine. Dovrebbe "
               "essere un'operazione svolta periodicamente, o comunque dopo l'aggiunta o l'eliminazione di una "
               "quantità rilevante di dati.")
           + QLatin1Char('\r') + QStringLiteral("Effettuare il ricalcolo?");
}

void RicalcolaIndici(TTabForm &context)
{
    const QStringList lines{
        QStringLiteral("EXECUTE BLOCK"),
        QStringLiteral("AS"),
        QStringLiteral("   DECLARE VARIABLE S VARCHAR(200);"),
        QStringLiteral("BEGIN"),
        QStringLiteral("   FOR select RDB$INDEX_NAME FROM RDB$INDICES INTO :S DO"),
        QStringLiteral("   BEGIN"),
        QStringLiteral("      S = 'SET statistics INDEX ' || s || ';';"),
        QStringLiteral("      EXECUTE STATEMENT :s;"),
        QStringLiteral("   END"),
        QStringLiteral("   SUSPEND;"),
        QStringLiteral("END"),
    };
    try {
        db::Transaction transaction(context.database(),
                                    {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")});
        transaction.start();
        db::Statement statement(transaction, lines.join(QLatin1Char('\n')),
                                db::ParamStyle::AsWritten);
        statement.execute();
        transaction.commitRetaining();
        platform::information(QStringLiteral("Operazione effettuata"));
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + e.message());
    }
}

bool VerificaTabellaAggiornamenti(TTabForm &context)
{
    bool exists = false;
    try {
        exists = db::catalog::relationExists(context.transaction(), QStringLiteral("STOAGGFDBFDB"));
    } catch (const db::Error &) {
        // An archive that cannot be read: the window reports its own failures.
        exists = false;
    }
    if (exists)
        return true;
    return platform::confirm(QStringLiteral("Acconsenti alla creazione della tabella STOAGGFDBFDB?"));
}

bool VerificaTabellaSincronizzazioni(TTabForm &context)
{
    bool exists = false;
    try {
        exists = db::catalog::relationExists(context.transaction(), QStringLiteral("STOAGGSINCRODBFAST"));
    } catch (const db::Error &) {
        exists = false;
    }
    if (exists)
        return true;
    return platform::confirm(QStringLiteral("Acconsenti alla creazione della tabella STOAGGSINCRODBFAST?"));
}

} // namespace vardof::entry
