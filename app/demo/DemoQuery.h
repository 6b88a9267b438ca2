#pragma once

// The stored queries the demo archive comes with, so the registry's history
// has something to list, filter, open and save from the first run.

#include <QString>

namespace vardof::app {

// Prepares the stored-query and classification tables of the archive and
// stores the demo's queries with their classifications. Throws db::Error.
void storeDemoQueries(const QString &archivePath);

} // namespace vardof::app
