// vardof import FILEDATI [--salta-prima-riga] [--utente N]
//
// The import of the window, unattended, on the user's archive: the script
// beside the data file is read and checked with the window's own loader,
// the summary is printed, and the run is started with its confirmation
// answered yes. The lines the window writes in its two memos go to standard
// output; the boxes it would show go to standard error.

#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "import/ImportRun.h"
#include "import/ScriptLoader.h"
#include "platform/Messages.h"

#include <cstdio>

namespace vardof::app {

namespace {

class PrintingSink : public importcsv::ImportSink
{
public:
    void riga(const QString &testo) override { printLine(testo); }
    bool conferma(const QString &) override { return true; }
    bool domandaAvviso(const QString &testo) override
    {
        // Nobody can answer: say what happened and keep going, as a user
        // who wants the file imported would.
        platform::warning(testo);
        return true;
    }
    void avviso(const QString &testo) override { platform::warning(testo); }
    void errore(const QString &testo) override { platform::error(testo); }
    void informazione(const QString &testo) override { platform::information(testo); }
};

int importUsage()
{
    std::fputs("uso: vardof import FILEDATI [--salta-prima-riga] [--utente N]\n", stderr);
    return 2;
}

} // namespace

int commandImport(const QStringList &arguments)
{
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user))
        return importUsage();
    bool saltaPrimaRiga = false;
    QString fileDati;
    for (const QString &arg : std::as_const(args)) {
        if (arg == QLatin1String("--salta-prima-riga"))
            saltaPrimaRiga = true;
        else if (arg.startsWith(QLatin1String("--")) || !fileDati.isEmpty())
            return importUsage();
        else
            fileDati = arg;
    }
    if (fileDati.isEmpty())
        return importUsage();

    std::unique_ptr<entry::TTabForm> context = openUserContext(user);
    if (!context)
        return 1;

    importcsv::CaricamentoScript script;
    try {
        importcsv::ScriptLoader(context->database(), context->transaction())
            .carica(importcsv::percorsoScript(fileDati), script);
    } catch (const importcsv::ScriptFileError &e) {
        platform::error(e.message());
        return 1;
    } catch (const db::Error &e) {
        for (const QString &l : std::as_const(script.memoScript))
            printLine(l);
        platform::error(e.message());
        return 1;
    }
    for (const QString &l : std::as_const(script.memoScript))
        printLine(l);
    for (const QString &l : std::as_const(script.memoRiepilogo))
        printLine(l);
    if (!script.valido) {
        platform::warning(QStringLiteral("Irregolarità nello script"));
        return 1;
    }

    PrintingSink sink;
    importcsv::ImportRun run(context->database(), context->transaction(), script.parametri, script.colonne,
                             script.chiavi);
    const importcsv::EsitoImport esito = run.esegui(fileDati, saltaPrimaRiga, sink);
    return esito == importcsv::EsitoImport::Completato ? 0 : 1;
}

} // namespace vardof::app
