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

#include <cstdio>

namespace vardof::app {

namespace {

class DropPrinter : public maintenance::PulisciTmpReporter
{
public:
    explicit DropPrinter(qint64 total) : m_total(total) {}
    void tabella(qint64 k, const QString &nome, int) override
    {
        printLine(QStringLiteral("(n° %1 di %2) DROP TABLE %3")
                      .arg(maintenance::formatoConteggio(k), maintenance::formatoConteggio(m_total), nome));
    }

private:
    qint64 m_total;
};

} // namespace

int commandPulisciTmp(const QStringList &arguments)
{
    QStringList args = arguments;
    int user = 1;
    if (!takeUserOption(args, user) || !args.isEmpty()) {
        std::fputs("uso: vardof pulisci-tmp [--utente N]\n", stderr);
        return 2;
    }
    try {
        std::unique_ptr<entry::TTabForm> context = openUserContext(user);
        if (!context)
            return 1;
        const qint64 total = maintenance::contaTabelleTmp(context->database());
        if (total == 0) {
            platform::information(QStringLiteral("Nessuna tabella TMP_ da eliminare"));
            return 0;
        }
        DropPrinter printer(total);
        const maintenance::EsitoPulisciTmp esito = maintenance::eliminaTabelleTmp(context->database(), total, printer);
        if (esito.fallita)
            return 1;
        platform::information(QStringLiteral("Elaborazione completata"));
        return 0;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return 1;
    }
}

} // namespace vardof::app
