// One user's query window in a process of its own, walking a chain on the
// stored query (0, 5) of table CLIENTI when told to:
//   qbe_catena_processo DATABASE PASSWORD USER HOSTDIR
// Prints PRONTO once the stored query is loaded, then reads commands from
// standard input, one a line:
//   VAI     take the chain semaphore and move forward: prints LIVELLO n, or
//           RIFIUTATO followed by MESSAGGIO when the refusal was the
//           same-user warning (ALTRO otherwise)
//   FINE    close and exit

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/SemaforoCatena.h"
#include "qbe/ui/TIBLQueryForm.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>

using namespace vardof;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    platform::ScopedServices services;
    services.messages().setDefaultAnswer(platform::Answer::Cancel);
    platform::setHostDir(args[4]);
    db::Attachment att;
    att.connect(args[1], db::loginParams(QStringLiteral("SYSDBA"), args[2]));
    db::Transaction tra(att);
    tra.start();
    {
        qbe::TIBLQueryForm form(nullptr, args[3].toInt(), att, tra, QStringLiteral("DEMO"), args[4], args[4],
                                QStringLiteral("CLIENTI"));
        form.setModoStorico(0, 5, QString());
        form.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        std::printf("PRONTO\n");
        std::fflush(stdout);
        std::string riga;
        while (std::getline(std::cin, riga)) {
            if (riga == "FINE")
                break;
            if (riga != "VAI")
                continue;
            services.messages().clear();
            if (form.PrendiSemaforoCatena()) {
                form.PassaAQuerySuccessiva();
                std::printf("LIVELLO %d\n", form.livello());
                // What the window told the user, for whoever reads the errors.
                for (const QString &t : services.messages().texts())
                    std::fprintf(stderr, "%s\n", t.toLocal8Bit().constData());
            } else {
                const QStringList testi = services.messages().texts();
                const bool stesso = !testi.isEmpty() && testi.last() == qbe::kMsgQuerySuccessiveStessoUtente;
                std::printf("RIFIUTATO %s\n", stesso ? "MESSAGGIO" : "ALTRO");
            }
            std::fflush(stdout);
        }
    }
    if (tra.isActive())
        tra.rollback();
    return 0;
}
