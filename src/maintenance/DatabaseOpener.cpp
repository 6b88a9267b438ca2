#include "maintenance/DatabaseOpener.h"

#include <QFileInfo>

namespace vardof::maintenance {

std::pair<QString, QString> splitDatabasePath(const QString &path)
{
    int cut = -1;
    for (QChar sep : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        cut = std::max(cut, int(path.lastIndexOf(sep)));
    return {path.left(cut + 1), path.mid(cut + 1)};
}

bool databaseFileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (!db::Attachment::isLocalName(path))
        return true;
    QString local = path;
#ifndef Q_OS_WIN
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return QFileInfo(local).isFile();
}

} // namespace vardof::maintenance

#include "context/OpenOrCreate.h"

namespace vardof::maintenance {

DatabaseOpener aperturaLibreria()
{
    return [](db::Attachment &connection, const QString &dir, const QString &file) {
        return context::ApriOCreaDatabase(connection, dir, file);
    };
}

} // namespace vardof::maintenance
