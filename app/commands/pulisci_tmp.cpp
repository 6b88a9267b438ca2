// vardof pulisci-tmp [--utente N]
//
// Drops the TMP_ work tables of the user's archive, one by one, as the
// cleanup window does after its confirmation. One line per table on
// standard output; exit 1 when a drop fails (the tables before it stay
// dropped).

#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "maintenance/PulisciTmp.h"
#include "platform/Messages.h"
#include "platform/RunFeedback.h"
#include "platform/Signals.h"

#include <cstdio>

namespace vardof::app {

namespace {

// One line per table, through the feedback so that its progress line is
// out of the way first.
class DropPrinter : public maintenance::FasiPulisciTmp
{
public:
    DropPrinter(platform::RunFeedback &feedback, qint64 total) : m_feedback(feedback), m_total(total) {}
    void tabella(qint64 k, const QString &nome, int) override
    {
        m_feedback.line(QStringLiteral("(n° %1 di %2) DROP TABLE %3")
                            .arg(maintenance::formatoConteggio(k), maintenance::formatoConteggio(m_total), nome));
    }

private:
    platform::RunFeedback &m_feedback;
    qint64 m_total;
};

} // namespace

int commandPulisciTmp(const QStringList &arguments)
{
    installTerminalMessages();
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user) || !args.isEmpty()) {
        std::fputs("uso: vardof pulisci-tmp [--utente N]\n", stderr);
        return 2;
    }
    try {
        std::unique_ptr<context::TTabForm> context = openUserContext(user);
        if (!context)
            return 1;
        const qint64 total = maintenance::contaTabelleTmp(context->database());
        if (total == 0) {
            platform::information(QStringLiteral("Nessuna tabella TMP_ da eliminare"));
            return 0;
        }
        // SIGINT/SIGTERM stop the run before the next table; the drops done stay.
        TerminalFeedback feedback;
        DropPrinter printer(feedback, total);
        const maintenance::EsitoPulisciTmp esito =
            maintenance::eliminaTabelleTmp(context->database(), total, feedback, &printer);
        if (esito.fermata)
            return platform::interruptExitCode();
        if (esito.fallita)
            return 1;
        feedback.tell(platform::Information, QStringLiteral("Elaborazione completata"));
        return 0;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return 1;
    }
}

} // namespace vardof::app
