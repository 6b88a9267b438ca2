// vardof query --importa FILE [--utente N]
// vardof query CODICE --sql [--utente N]
// vardof query --elenco [--utente N]
// vardof query CODICE --esporta FORMATO FILE [--utente N]
// vardof query CODICE --stampa PDF FILE [--utente N]
//
// The stored queries of the user's archive without a window, through the
// engines of the registry: a definition file read as "Carica Query da File"
// reads it (all of it or nothing; the new code is the last line printed),
// the SELECT that running a stored query sends, composed and tried on the
// server exactly as the query window does, and the list of the registry.
// The registry's save question is answered yes; warnings go to standard
// error. Exit 1 when the file, the query or its statement is bad.

#include "commands/Commands.h"
#include "commands/QueryExport.h"
#include "commands/QueryMemorizzata.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "platform/Messages.h"
#include "qbe/TabRispTmp.h"
#include "storedqueries/Classificazioni.h"
#include "storedqueries/DefinizioneQuery.h"
#include "storedqueries/RegistroQuery.h"
#include "storedqueries/StoredQueryTables.h"

#include <cstdio>
#include <optional>

namespace vardof::app {

namespace {

struct RichiestaQuery
{
    int utente = 1;
    std::optional<int> codice;
    QStringList valori; // the option's own arguments
};

// The registry's questions answered yes without asking anyone; what it
// tells goes to standard error like every other message.
class FeedbackSenzaDomande : public TerminalFeedback
{
public:
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override
    {
        if (buttons == platform::Buttons::Ok)
            return TerminalFeedback::ask(kind, text, buttons);
        return platform::fitAnswer(buttons, platform::Answer::Yes);
    }
};

bool haRegistro(context::TTabForm &ctx)
{
    return db::catalog::relationExists(ctx.transaction(), QStringLiteral("STOQUER"));
}

int eseguiImporta(const RichiestaQuery &r)
{
    const QString file = r.valori.at(0);
    std::unique_ptr<context::TTabForm> ctx = openUserContext(r.utente);
    if (!ctx)
        return 1;
    FeedbackSenzaDomande feedback;
    storedqueries::installaPreparaClassificazioni();
    storedqueries::PreparaTabelleQuery(ctx->database(), ctx->transaction(), feedback);
    const storedqueries::EsitoImportazione esito =
        storedqueries::ImportaDefinizioneQuery(ctx->database(), ctx->transaction(), file, feedback);
    if (!esito.aperto) {
        printError(QStringLiteral("Impossibile aprire file \"") + file + QStringLiteral("\"!") + QLatin1Char('\n')
               + esito.dettaglio);
        return 1;
    }
    if (!esito.completa) {
        printError(storedqueries::messaggioImportazione(esito).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        return 1;
    }
    if (ctx->transaction().isActive())
        ctx->transaction().commit();
    printLine(storedqueries::messaggioImportazione(esito));
    for (int codice : esito.codici)
        printLine(QString::number(codice));
    return 0;
}

int eseguiSql(const RichiestaQuery &r)
{
    const std::unique_ptr<QueryMemorizzata> query = QueryMemorizzata::apri(r.utente, *r.codice);
    if (!query)
        return 1;
    qbe::TabRispTmp risposta;
    if (!query->esegui(risposta))
        return 1;
    for (const QString &l : risposta.SQL())
        printLine(l);
    risposta.close();
    return 0;
}

int eseguiElenco(const RichiestaQuery &r)
{
    std::unique_ptr<context::TTabForm> ctx = openUserContext(r.utente);
    if (!ctx)
        return 1;
    if (!haRegistro(*ctx))
        return 0;
    for (const storedqueries::RigaStoQuer &riga : storedqueries::elencoStoQuer(ctx->transaction()))
        printLine(storedqueries::rigaElenco(riga));
    return 0;
}

int eseguiEsporta(const RichiestaQuery &r)
{
    return esportaQuery(r.utente, *r.codice, r.valori.at(0), r.valori.at(1));
}

// The advanced print of the answer, to a PDF file (the one output a
// script can take without a printer).
int eseguiStampa(const RichiestaQuery &r)
{
    if (r.valori.at(0).compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0) {
        printError(QStringLiteral("Formato di stampa \"%1\" sconosciuto: usare PDF").arg(r.valori.at(0)));
        return 2;
    }
    return stampaQueryPdf(r.utente, *r.codice, r.valori.at(1));
}

// One row per operation: its option, how many words follow it, whether it
// works on a stored query given by its code, and what it runs.
struct Operazione
{
    const char *opzione;
    int argomenti;
    bool conCodice;
    int (*esegui)(const RichiestaQuery &);
};

const Operazione kOperazioni[] = {
    {"--importa", 1, false, eseguiImporta},
    {"--sql", 0, true, eseguiSql},
    {"--elenco", 0, false, eseguiElenco},
    {"--esporta", 2, true, eseguiEsporta},
    {"--stampa", 2, true, eseguiStampa},
};

int uso()
{
    std::fputs("uso: vardof query --importa FILE [--utente N]\n"
               "     vardof query CODICE --sql [--utente N]\n"
               "     vardof query --elenco [--utente N]\n"
               "     vardof query CODICE --esporta FORMATO FILE [--utente N]\n"
               "     vardof query CODICE --stampa PDF FILE [--utente N]\n",
               stderr);
    return 2;
}

} // namespace

int commandQuery(const QStringList &arguments)
{
    installTerminalMessages();
    QStringList args = arguments;
    RichiestaQuery richiesta;
    if (!takeUserOption(args, richiesta.utente))
        return uso();
    const Operazione *scelta = nullptr;
    for (const Operazione &op : kOperazioni) {
        const qsizetype i = args.indexOf(QLatin1String(op.opzione));
        if (i < 0)
            continue;
        // Its own words must follow it; one operation a run.
        if (scelta || i + op.argomenti >= args.size())
            return uso();
        scelta = &op;
        richiesta.valori = args.mid(i + 1, op.argomenti);
        args.remove(i, op.argomenti + 1);
    }
    if (!scelta)
        return uso();
    if (scelta->conCodice) {
        bool ok = false;
        const int codice = args.value(0).toInt(&ok);
        if (args.size() != 1 || !ok)
            return uso();
        richiesta.codice = codice;
    } else if (!args.isEmpty()) {
        return uso();
    }
    try {
        return scelta->esegui(richiesta);
    } catch (const db::Error &e) {
        printError(e.message());
    } catch (const storedqueries::ErroreDefinizione &e) {
        printError(e.messaggio());
    }
    return 1;
}

} // namespace vardof::app
