// Takes a situation on a database and holds it until it is killed:
//   maintenance_semaforo_tenuto DATABASE PASSWORD SITUAZIONE
// Prints PRESA or RIFIUTATA on standard output once the attempt is done.

#include "maintenance/Semafori.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    vardof::db::Attachment att;
    att.connect(args[1], vardof::db::loginParams(QStringLiteral("SYSDBA"), args[2]));
    vardof::maintenance::TSemaforiSituazioni semaforo(42, att);
    QString message;
    if (!semaforo.VerificaStrutture(message))
        return 1;
    const bool taken = semaforo.OccupaSituazione(args[3], QStringLiteral("processo"));
    std::printf(taken ? "PRESA\n" : "RIFIUTATA\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}
