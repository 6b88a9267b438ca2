#pragma once

// Named parameters in statement text. ":NAME" outside string literals,
// quoted identifiers and comments becomes a "?" marker; one name may appear
// several times and takes one value. PSQL bodies (EXECUTE BLOCK, CREATE
// PROCEDURE/TRIGGER, ...) keep their ":variables" and are sent as written.

#include <QString>
#include <QStringList>

namespace vardof::db {

struct ParsedSql
{
    QString sql;            // the text to prepare
    QStringList markerNames; // name of each "?" in order, upper case
};

ParsedSql parseNamedParameters(const QString &sql);

// True when the text is a PSQL body whose colons belong to the server.
bool isPsqlBody(const QString &sql);

} // namespace vardof::db
