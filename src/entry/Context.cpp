#include "entry/Context.h"

#include "params/TTabXForm.h"
#include "platform/HostPaths.h"

#include <QDir>

namespace vardof::entry {

std::unique_ptr<TTabForm> CreaContestoLavoro(int userNumber)
{
    const QString start = platform::ensureTrailingSeparator(QDir::currentPath());

    params::TTabXForm store;
    store.SetUserPerNum(userNumber);
    const QString user = QString::number(store.GetNumUser());
    struct Passed
    {
        const char *parameter;
        const char *section;
        const char *key;
    };
    const Passed passed[] = {
        {"Archivio", "QMT", "Archivio"},
        {"Directory bin", "OSL", "BinDir"},
        {"Directory tabelle temporanee", "OSL", "TempDir"},
        {"Directory di lavoro", "OSL", "LavDir"},
    };
    for (const Passed &p : passed) {
        const QString value = store.CaricaParametro(QString::fromLatin1(p.parameter));
        store.Inserisci(QString::fromLatin1(p.section), QString::fromLatin1(p.key), QString(), value, QString(),
                        QString(), QString(), QString(), user);
    }

    const platform::DirFile archive = platform::splitDirFile(store.GetV(QStringLiteral("Archivio")));
    auto context = std::make_unique<TTabForm>(start);
    context->SettaArchivio(archive.dir + archive.file);
    context->SettaNomeProgetto(store.Ditta);
    context->SettaDirectoryLavoro(store.GetV(QStringLiteral("LavDir")));
    context->SettaDirectoryBin(store.GetV(QStringLiteral("BinDir")));
    context->SettaDirectoryTemp(store.GetV(QStringLiteral("TempDir")));
    context->ConnettiDatabase();
    return context;
}

} // namespace vardof::entry
