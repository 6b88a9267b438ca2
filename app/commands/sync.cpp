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
#include "platform/RunFeedback.h"
#include "platform/Signals.h"

#include "db/Error.h"

#include <cstdio>

namespace vardof::app {

namespace {

// One line per synchronisation, through the feedback so that its progress
// line is out of the way first.
class SyncPrinter : public maintenance::FasiSincro
{
public:
    explicit SyncPrinter(platform::RunFeedback &feedback) : m_feedback(feedback) {}
    void elaborazione(int i, int n, int) override
    {
        m_feedback.line(QStringLiteral("Elaborazione %1 di %2").arg(i).arg(n));
    }
    void elaborazioneCompletata(const maintenance::SincroFDB &s, qint64 righe) override
    {
        m_feedback.line(QStringLiteral("Elaborazione cod. %1 %2.%3 -> %4.%5: record copiati %6")
                            .arg(s.codice)
                            .arg(s.dbOrigine, s.tabellaOrigine, s.dbDestinazione, s.tabellaDestinazione)
                            .arg(righe));
    }

private:
    platform::RunFeedback &m_feedback;
};

} // namespace

int commandSync(const QStringList &arguments)
{
    installTerminalMessages();
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user) || !args.isEmpty()) {
        std::fputs("uso: vardof sync [--utente N]\n", stderr);
        return 2;
    }
    try {
        std::unique_ptr<context::TTabForm> context = openUserContext(user);
        if (!context)
            return 1;
        if (!maintenance::esisteTabella(context->database(), context->transaction(),
                                        QStringLiteral("STOAGGSINCRODBFAST"))) {
            platform::warning(QStringLiteral("Nessuna elaborazione da eseguire"));
            return 0;
        }
        TerminalFeedback feedback;
        SyncPrinter printer(feedback);
        const maintenance::EsitoSincro esito = maintenance::eseguiSincronizzazioni(
            context->database(), context->transaction(), maintenance::aperturaLibreria(), feedback, &printer);
        if (esito != maintenance::EsitoSincro::Completata && esito != maintenance::EsitoSincro::Nessuna
            && platform::interruptSignal() != 0)
            return platform::interruptExitCode();
        return esito == maintenance::EsitoSincro::Completata || esito == maintenance::EsitoSincro::Nessuna ? 0 : 1;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return 1;
    }
}

} // namespace vardof::app
