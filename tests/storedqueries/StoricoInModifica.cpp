// A second user of the registry, in a process of its own: opens the history
// on a database, presses "Edit &X" on a stored query and keeps it in edit
// until a line arrives on standard input, then cancels and closes.
//   storedqueries_storico_in_modifica DATABASE PASSWORD CODICE
// Prints IN MODIFICA or RIFIUTATA once the attempt is done, CHIUSA at the end.

#include "context/WorkContext.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "storedqueries/ui/TIBQGenForm.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <iostream>
#include <string>

using namespace vardof;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    platform::ScopedServices servizi;
    context::TTabForm contesto(QDir::tempPath() + QLatin1Char('/'));
    contesto.database().connect(args[1], db::loginParams(QStringLiteral("SYSDBA"), args[2]));
    contesto.NomeProgetto = QStringLiteral("DEMO");
    storedqueries::TIBQGenForm form(&contesto, 2, storedqueries::TIBQGenForm::Mode::Storico);
    form.show();
    for (int i = 0; i < 10 && !form.layoutStorico(); ++i)
        QCoreApplication::processEvents();
    form.posiziona(args[3].toInt());
    form.ButtonEditClick();
    std::printf(form.stato() == 0 ? "IN MODIFICA\n" : "RIFIUTATA\n");
    std::fflush(stdout);
    std::string riga;
    std::getline(std::cin, riga);
    form.ButtonAnnullaClick();
    form.close();
    std::printf("CHIUSA\n");
    std::fflush(stdout);
    return 0;
}
