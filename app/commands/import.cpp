// vardof import FILEDATI [--salta-prima-riga] [--scarti FILE] [--max-errori N] [--utente N]
//
// The import of the window, unattended, on the user's archive: the script
// beside the data file is read and checked with the window's own loader,
// the summary is printed, and the run is started with its confirmation
// answered yes. The lines the window writes in its two memos go to standard
// output; the boxes it would show go to standard error.
//
// Exit status: 0 every line stored (or left alone as the script asks),
// 1 the script or the run refused or failed, or some line was not stored
// (failed, or skipped for its key), 2 bad usage, 130/143 stopped by
// SIGINT/SIGTERM (the run's own interruption: its work is rolled back).

#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "import/ImportRun.h"
#include "import/ScriptLoader.h"
#include "platform/Messages.h"
#include "platform/RunFeedback.h"
#include "platform/Signals.h"

#include <cstdio>

namespace vardof::app {

namespace {

// Lines on standard output, boxes on standard error; SIGINT/SIGTERM take
// the run's own interruption path at the next line.
class ImportFeedback : public TerminalFeedback
{
public:
    platform::Answer ask(platform::MessageKind kind, const QString &testo, platform::Buttons buttons) override
    {
        if (buttons == platform::Buttons::YesNo) {
            // Starting is what the command was asked for. A warning question
            // nobody can answer: say what happened and keep going, as a user
            // who wants the file imported would.
            if (kind == platform::Warning)
                TerminalFeedback::ask(kind, testo, platform::Buttons::Ok);
            return platform::Answer::Yes;
        }
        return TerminalFeedback::ask(kind, testo, buttons);
    }
};

int importUsage()
{
    const QString testo = QStringLiteral(
        "uso: vardof import FILEDATI [--salta-prima-riga] [--scarti FILE] [--max-errori N] [--utente N]\n"
        "  --salta-prima-riga  la prima riga del file (intestazione) non viene acquisita\n"
        "  --scarti FILE       le righe non acquisite vanno in FILE come stanno nel file dati,\n"
        "                      con il numero di riga e il motivo in FILE.log\n"
        "  --max-errori N      con più di N record falliti l'elaborazione si ferma e annulla\n"
        "                      le modifiche fatte\n");
    std::fputs(testo.toLocal8Bit().constData(), stderr);
    return 2;
}

} // namespace

int commandImport(const QStringList &arguments)
{
    installTerminalMessages();
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user))
        return importUsage();
    bool saltaPrimaRiga = false;
    QString fileDati;
    importcsv::OpzioniImport opzioni;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--salta-prima-riga")) {
            saltaPrimaRiga = true;
        } else if (arg == QLatin1String("--scarti")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty() || !opzioni.fileScarti.isEmpty())
                return importUsage();
            opzioni.fileScarti = args[++i];
        } else if (arg == QLatin1String("--max-errori")) {
            bool ok = false;
            const qint64 n = i + 1 < args.size() ? args[i + 1].toLongLong(&ok) : -1;
            if (!ok || n < 0 || opzioni.maxErrori >= 0)
                return importUsage();
            opzioni.maxErrori = n;
            ++i;
        } else if (arg.startsWith(QLatin1String("--")) || !fileDati.isEmpty()) {
            return importUsage();
        } else {
            fileDati = arg;
        }
    }
    if (fileDati.isEmpty())
        return importUsage();

    std::unique_ptr<context::TTabForm> context = openUserContext(user);
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

    ImportFeedback sink;
    importcsv::ImportRun run(context->database(), context->transaction(), script.parametri, script.colonne,
                             script.chiavi);
    const importcsv::EsitoImport esito = run.esegui(fileDati, saltaPrimaRiga, sink, opzioni);
    if (esito != importcsv::EsitoImport::Completato && platform::interruptSignal() != 0)
        return platform::interruptExitCode();
    if (esito != importcsv::EsitoImport::Completato)
        return 1;
    // Lines that did not go in make the run a failure for whoever checks
    // the status, even when the summary counts them apart.
    const importcsv::ContatoriImport &n = run.contatori();
    return n.falliti > 0 || n.saltati > 0 ? 1 : 0;
}

} // namespace vardof::app
