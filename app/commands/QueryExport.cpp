#include "commands/QueryExport.h"

#include "output/report/StampaRisposta.h"

#include "commands/Commands.h"
#include "commands/QueryMemorizzata.h"
#include "context/WorkContext.h"
#include "db/Error.h"
#include "output/Esportazione.h"
#include "params/TTabXForm.h"
#include "qbe/Storico.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/TabRispTmp.h"
#include "platform/Signals.h"
#include "storedqueries/StoredQueryTables.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace vardof::app {

namespace {

// Nobody is there to answer: every question (a row limit, replacing a
// table) is told with its text and answered no, so nothing is cut or
// replaced without being asked for.
class FeedbackSenzaConsenso : public TerminalFeedback
{
public:
    platform::Answer ask(platform::MessageKind kind, const QString &testo, platform::Buttons buttons) override
    {
        // The boxes' line breaks (CR) as the terminal's.
        QString text = testo;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        if (buttons == platform::Buttons::Ok)
            return TerminalFeedback::ask(kind, text, buttons);
        printError(text);
        return platform::fitAnswer(buttons, platform::Answer::No);
    }
};

// The user's memo options, as the export window would read them.
struct OpzioniUtente
{
    bool memoEstesi = false;
    QString tag;
};

OpzioniUtente opzioniUtente(int utente)
{
    OpzioniUtente o;
    try {
        params::TTabXForm store;
        store.SetUserPerNum(utente);
        o.memoEstesi = store.CaricaParametro(QStringLiteral("StampaMemoEstesi")) == QLatin1String("Si");
        o.tag = store.CaricaParametro(QStringLiteral("StampaMemoEstesiTag"));
    } catch (const db::Error &) {
        // No user database: the defaults of a new user.
    }
    return o;
}

// The shown fields: the saved appearance when it fits the answer (visible
// columns in their display order, with their widths and codes), else
// every column with the session's codes.
std::vector<output::CampoEsportato> campiMostrati(const qbe::TabRispTmp &risposta, const qbe::RigheAspetto &aspetto,
                                                  const qbe::SessioneQuery &sessione)
{
    std::vector<output::CampoEsportato> campi;
    if (!aspetto.empty() && qbe::TIBFQuerForm::aspettoCompatibile(aspetto, risposta)) {
        std::vector<storedqueries::RigaStoAsp> visibili;
        for (const auto &a : aspetto)
            if (a.Vis == 1)
                visibili.push_back(a);
        std::stable_sort(visibili.begin(), visibili.end(), [](const auto &a, const auto &b) { return a.Pos < b.Pos; });
        for (const auto &a : visibili) {
            const int colonna = risposta.indexOfColonna(a.NomeCampo);
            if (colonna >= 0)
                campi.push_back({colonna, a.NomeCampo, a.NomeCampo, a.Dim, a.Raggruppa});
        }
        return campi;
    }
    for (int i = 0; i < risposta.columnCount(); ++i)
        campi.push_back({i, risposta.nomeColonna(i), risposta.nomeColonna(i),
                         output::larghezzaPredefinita(risposta.columns()[size_t(i)]), sessione.codici().codice(i)});
    return campi;
}

} // namespace

namespace {

// The stored query run and its answer written in `formato`: one of the
// export formats, or "pdf" for the print.
int scriviRisposta(int utente, int codice, const QString &formato, const QString &uscita)
{
    const std::unique_ptr<QueryMemorizzata> query = QueryMemorizzata::apri(utente, codice);
    if (!query)
        return 1;
    qbe::RigheAspetto aspetto;
    query->engine().setApplicaAspetto(
        [&aspetto](qbe::TabRispTmp &, const qbe::RigheAspetto &salvato) { aspetto = salvato; });
    qbe::TabRispTmp risposta;
    if (!query->esegui(risposta))
        return 1;
    context::TTabForm *ctx = &query->contesto();
    db::Transaction *tra = &query->transazione();
    const QString &nome = query->tabella();
    const qbe::SessioneQuery &sessione = query->sessione();

    output::RispostaDaEsportare r;
    r.sql = risposta.SQL();
    r.transazione = tra;
    r.campi = campiMostrati(risposta, aspetto, sessione);
    // A CSV is read by programs: plain numbers, without the grid's
    // thousands points and alignment.
    if (formato == QLatin1String("csv"))
        for (output::CampoEsportato &c : r.campi)
            c.codice -= output::raggruppamento(c.codice);
    risposta.close();

    FeedbackSenzaConsenso feedback;
    output::Esportatore esp(r, feedback);
    // The count feeds only the progress line, shown on a terminal.
    esp.setConteggio(isatty(fileno(stderr)));
    bool ok = false;
    if (formato == QLatin1String("csv") || formato == QLatin1String("testo")) {
        const OpzioniUtente u = opzioniUtente(utente);
        output::OpzioniTesto o;
        o.saltaIntestazioni = formato == QLatin1String("csv");
        o.memoEstesi = u.memoEstesi;
        o.tagRitornoCapo = u.tag;
        o.ritorniCapoNeiMemo = false; // one line per row
        ok = esp.EsportaTesto(uscita, o);
        if (ok && esp.caratteriNonRappresentabili())
            printError(QStringLiteral("Alcuni caratteri non previsti dalla codifica CP1252 sono stati scritti come \"?\""));
    } else if (formato == QLatin1String("xlsx")) {
        ok = esp.EsportaXlsx(uscita);
    } else if (formato == QLatin1String("pdf")) {
        output::report::OpzioniStampaRisposta o;
        o.dati.titolo = output::report::titoloStampa(ctx->NomeProgetto, nome);
        o.memoEstesi = opzioniUtente(utente).memoEstesi;
        QString motivo;
        ok = output::report::StampaRispostaPdf(r, uscita, o, &motivo, &feedback);
        if (!ok) {
            printError(QStringLiteral("Stampa non eseguita:\n") + motivo);
            // Stopped by SIGINT/SIGTERM at a page: no file left, the signal's status.
            if (platform::interruptSignal() != 0)
                return platform::interruptExitCode();
        }
    } else if (formato == QLatin1String("xls")) {
        ok = esp.EsportaLibreOffice(0, uscita, false, QString());
    } else {
        ok = esp.CreaCopiaTabellaExportFDB(uscita, ctx->DirectoryLavoro);
    }
    if (!ok) {
        if (esp.rinunciato())
            printError(QStringLiteral("Esportazione non eseguita"));
        return 1;
    }
    if (tra->isActive())
        tra->commit();
    return 0;
}

} // namespace

int esportaQuery(int utente, int codice, const QString &formato, const QString &uscita)
{
    // The print has its own option: "--esporta pdf" is not an export.
    static const QStringList formati = {QStringLiteral("csv"), QStringLiteral("testo"), QStringLiteral("xlsx"),
                                        QStringLiteral("xls"), QStringLiteral("tabella")};
    if (!formati.contains(formato)) {
        printError(QStringLiteral("Formato \"%1\" sconosciuto: usare csv, testo, xlsx, xls o tabella").arg(formato));
        return 2;
    }
    return scriviRisposta(utente, codice, formato, uscita);
}

int stampaQueryPdf(int utente, int codice, const QString &uscita)
{
    return scriviRisposta(utente, codice, QStringLiteral("pdf"), uscita);
}

} // namespace vardof::app
