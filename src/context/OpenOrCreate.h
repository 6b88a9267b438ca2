#pragma once

// Every connection of the library goes through ApriOCreaDatabase: it
// resolves the database name through dati.ini beside the database, connects
// as the administrator, and creates an empty database when the connection
// fails. Messages go through the platform; the server-and-disk question goes
// through a prompt the user interface installs (none: the question is
// treated as cancelled).

#include "db/Attachment.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace vardof::context {

// The two low-level attempts, replaceable so tests can record the names
// tried without a server.
class ConnectionAttempts
{
public:
    virtual ~ConnectionAttempts() = default;
    // On failure because another program holds the database file (the
    // embedded engine of another process, or a server that cannot share
    // it), leaves the server's text in inUseReason; otherwise clears it.
    virtual bool connect(db::Attachment &c, const QString &name, const QStringList &params);
    virtual bool create(db::Attachment &c, const QString &name, const QStringList &params);

    QString inUseReason;
};

// What the user is told when the database is held by another program:
// creating it or asking for a server would not help and would hide why.
QString messaggioArchivioInUso(const QString &name, const QString &reason);

// nullptr puts back the real one. Returns the previous one.
ConnectionAttempts *setConnectionAttempts(ConnectionAttempts *attempts);

// The TZunIn2Form question: (caption, label) -> (left field, right field)
// on OK, nullopt on Cancel.
using ServerDiskPrompt =
    std::function<std::optional<std::pair<QString, QString>>(const QString &caption, const QString &label)>;
ServerDiskPrompt setServerDiskPrompt(ServerDiskPrompt prompt);

bool ApriOCreaDatabase(db::Attachment &connection, const QString &directory, const QString &fileName);
bool ConnettiOCrea(db::Attachment &connection, const QString &name, const QString &server, const QString &drive);

struct PercorsoRete
{
    QString name;
    bool byWord = false;     // the share is named by a word, not by a drive letter
    bool errorShown = false; // the user was already told why nothing can be tried
};
PercorsoRete ConvertiPercorsoRete(const QString &uncDirectory, const QString &percorsoNelServer);

struct ServerEDisco
{
    QString server;
    QString drive;
};
ServerEDisco ChiediServerEDisco(const QString &directory);

} // namespace vardof::context
