#pragma once

// The databases the runners measure on: made inside the engine (the set-up is
// not what is measured), either embedded files in a temporary folder or files
// of the private Firebird server that scripts/fbserver.sh starts.

#include "db/Attachment.h"

#include <QStringList>

#include <optional>

namespace vardof::bench {

// The embedded engine's user; it checks no password.
QStringList login();

// One statement in a transaction of its own, committed.
void exec(db::Attachment &att, const QString &sql);

// Where a runner's database files live and how they are reached.
struct Target
{
    QString label;
    QString dir;    // folder of the files, as this process sees it
    QString prefix; // "" embedded, "localhost/PORT:" through the server
    QStringList login;
    qint64 serverPid = 0; // the server's process, for its CPU time; 0 embedded

    QString file(const QString &name) const;
};

Target embeddedTarget(const QString &dir);

// The server named by VARDOF_TEST_FB_PORT, VARDOF_TEST_FB_PASSWORD and
// VARDOF_TEST_FB_DIR, none when they are not set. Its process is read from
// server.pid beside that folder (or the child of the wrapper named there).
std::optional<Target> serverTarget();

// `base` copied over `dest`, writable by the server whichever user it runs as.
void freshCopy(const QString &base, const QString &dest);

// The customers' table of the demo archive (CLIENTI, 11 columns, a text blob
// on one row in ten) with `rows` rows, in a new embedded database at `path`.
void createCustomers(const QString &path, int rows);

// A new database `name` in the target's folder (any old one removed) whose
// table ARTICOLI (an INTEGER key and five columns) holds the codes 1,
// 1 + step, ... up to `rows`, described as "<text> <code>".
void createArticoli(const Target &t, const QString &name, int rows, int step, const QString &text);

// A ";" price list of `rows` lines for LISTINO (CODICE, DESCRIZIONE, PREZZO,
// QTA, DATA, NOTE), Windows line ends, the names as a first line when asked.
void writeListino(const QString &path, qint64 rows, bool header);

} // namespace vardof::bench
