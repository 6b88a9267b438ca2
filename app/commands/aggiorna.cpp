// vardof aggiorna CODICE [--utente N]
//
// Runs one stored update script of the user's archive as "Elabora" of the
// update-script window does: check, read, write, recalculations. Questions
// are answered yes; the log the window would show goes to standard output.
// Exit 1 when the check blocks the run, any row or recalculation failed, or
// the destination could not commit what the run wrote.

#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "maintenance/ScriptAggiornamento.h"
#include "maintenance/StoreTables.h"
#include "platform/Messages.h"
#include "platform/RunFeedback.h"
#include "platform/Signals.h"

#include <cstdio>

namespace vardof::app {

int commandAggiorna(const QStringList &arguments)
{
    installTerminalMessages();
    QStringList args = arguments;
    int user = 1;
    bool numberOk = false;
    const int codice = args.value(0).toInt(&numberOk);
    if (!takeUserOption(args, user) || args.size() != 1 || !numberOk) {
        std::fputs("uso: vardof aggiorna CODICE [--utente N]\n", stderr);
        return 2;
    }
    try {
        std::unique_ptr<context::TTabForm> context = openUserContext(user);
        if (!context)
            return 1;
        std::optional<maintenance::ScriptFDB> script;
        if (maintenance::esisteTabella(context->database(), context->transaction(), QStringLiteral("STOAGGFDBFDB")))
            script = maintenance::leggiScript(context->database(), context->transaction(), codice);
        if (!script) {
            platform::error(QStringLiteral("Script di aggiornamento n° %1 non trovato").arg(codice));
            return 1;
        }
        maintenance::EsitoAggiornamento esito;
        bool committed = true;
        {
            maintenance::AggiornamentoFDB engine(context->database(), context->transaction(),
                                                 maintenance::aperturaLibreria());
            // SIGINT/SIGTERM take the run's own interruption path at the next row.
            TerminalFeedback feedback;
            esito = engine.esegui(*script, false, feedback);
            // The run's writes are committed here, where a failure is told
            // and changes the exit status.
            committed = engine.chiudiDestinazione(&feedback);
        }
        if (esito.interrotto && platform::interruptSignal() != 0)
            return platform::interruptExitCode();
        return committed && esito.eseguito && esito.falliti == 0 && esito.ricalcoliFalliti == 0 ? 0 : 1;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return 1;
    }
}

} // namespace vardof::app
