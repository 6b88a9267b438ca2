// vardof sync [--utente N]
//
// Every enabled synchronisation of the user's archive, as "Elabora" of the
// synchronisation window runs them: the checking pass first, then the copy.
// The confirmation is answered yes; one line per synchronisation goes to
// standard output, messages to standard error.

#include "commands/Commands.h"

#include "entry/Context.h"
#include "maintenance/SincroDB.h"
#include "maintenance/StoreTables.h"
#include "platform/Messages.h"

#include "db/Error.h"

#include <cstdio>

namespace vardof::app {

namespace {

class SyncPrinter : public maintenance::SincroReporter
{
public:
    void elaborazione(int i, int n, int) override { printLine(QStringLiteral("Elaborazione %1 di %2").arg(i).arg(n)); }
    void elaborazioneCompletata(const maintenance::SincroFDB &s, qint64 righe) override
    {
        printLine(QStringLiteral("Elaborazione cod. %1 %2.%3 -> %4.%5: record copiati %6")
                      .arg(s.codice)
                      .arg(s.dbOrigine, s.tabellaOrigine, s.dbDestinazione, s.tabellaDestinazione)
                      .arg(righe));
    }
};

} // namespace

int commandSync(const QStringList &arguments)
{
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user) || !args.isEmpty()) {
        std::fputs("uso: vardof sync [--utente N]\n", stderr);
        return 2;
    }
    try {
        std::unique_ptr<entry::TTabForm> context = openUserContext(user);
        if (!context)
            return 1;
        if (!maintenance::esisteTabella(context->database(), context->transaction(),
                                        QStringLiteral("STOAGGSINCRODBFAST"))) {
            platform::warning(QStringLiteral("Nessuna elaborazione da eseguire"));
            return 0;
        }
        SyncPrinter printer;
        const maintenance::EsitoSincro esito = maintenance::eseguiSincronizzazioni(
            context->database(), context->transaction(), maintenance::aperturaLibreria(), printer);
        return esito == maintenance::EsitoSincro::Completata || esito == maintenance::EsitoSincro::Nessuna ? 0 : 1;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return 1;
    }
}

} // namespace vardof::app
