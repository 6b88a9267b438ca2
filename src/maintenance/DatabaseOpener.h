#pragma once

// How the maintenance engines reach a further database (an update script's
// destination, a synchronisation's origin and destination). The windows and
// the command line pass the library's open-or-create procedure; tests pass a
// plain connect. Whatever the opener shows the user is its own business.

#include "db/Attachment.h"

#include <QString>

#include <functional>
#include <utility>

namespace vardof::maintenance {

// dir ends with a separator (or is empty); true when `connection` is open.
using DatabaseOpener = std::function<bool(db::Attachment &connection, const QString &dir,
                                          const QString &file)>;

// Splits a database path after its last '\\', '/' or ':' into the folder
// (separator kept) and the file name.
std::pair<QString, QString> splitDatabasePath(const QString &path);

// True when the path names a file that exists here. Names of the form
// server:path are left to the server and count as present.
bool databaseFileExists(const QString &path);

} // namespace vardof::maintenance

namespace vardof::maintenance {

// The library's own opener: ApriOCreaDatabase (dati.ini, administrator
// login, creation of a missing database).
DatabaseOpener aperturaLibreria();

} // namespace vardof::maintenance
