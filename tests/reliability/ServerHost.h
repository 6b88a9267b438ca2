#pragma once

// A demo host whose databases live on the private test server: the user
// database, the archive and a branch database, each in its own folder with
// a dati.ini that sends its connections to the server. Several launcher
// processes can then work on them at once, as several workstations would.
// The launcher runs as a child process, killed or left to finish.

#include "db/Attachment.h"
#include "db/Transaction.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace vardof::test {

// What a finished launcher process left: exit status (-1 when it crashed
// or did not end in time) and both outputs.
struct Uscita
{
    int codice = -1;
    QString out;
    QString err;
    qint64 millisecondi = 0;
};

class ServerHost
{
public:
    // Builds the demo with `righeDemo` rows (embedded), then hands its files
    // to the server. Throws std::runtime_error when something is missing.
    explicit ServerHost(int righeDemo = 40);
    ~ServerHost();
    ServerHost(const ServerHost &) = delete;
    ServerHost &operator=(const ServerHost &) = delete;

    const QString &dir() const { return m_dir; }        // ends with '/'
    QString archivio() const { return m_dir + QStringLiteral("dati/archivio.fdb"); }
    QString filiale() const { return m_dir + QStringLiteral("filiale/filiale.fdb"); }
    QString lavoro() const { return m_dir + QStringLiteral("lavoro/"); }

    // A connection through the server to one of the host's files.
    db::Attachment connetti(const QString &file) const;

    // The launcher on this host: environment with the server's password.
    QProcessEnvironment ambiente() const;
    std::unique_ptr<QProcess> avvia(const QStringList &argomenti) const;
    Uscita esegui(const QStringList &argomenti, int timeoutMs = 180000) const;

    // Extra variables for every launcher process (e.g. the lock timeout).
    void impostaVariabile(const QString &nome, const QString &valore) { m_extra.insert(nome, valore); }

private:
    QString m_dir;
    QProcessEnvironment m_extra;
};

// Reads a launcher process to its end (or kills it after `timeoutMs`).
Uscita attendi(QProcess &p, int timeoutMs);

// Helpers over one connection, each in a transaction of its own.
void esegui(db::Attachment &att, const QString &sql);
qint64 numero(db::Attachment &att, const QString &sql);
QStringList colonna(db::Attachment &att, const QString &sql);

// Count and a sum of row hashes of a table (optionally filtered): equal
// footprints mean equal rows, as far as a test needs.
struct Impronta
{
    qint64 righe = 0;
    qint64 somma = 0;
    bool operator==(const Impronta &) const = default;
};
// `espressione` is the row's text, e.g. "CODICE || '|' || COALESCE(PREZZO, '')".
Impronta impronta(db::Attachment &att, const QString &tabella, const QString &espressione,
                  const QString &filtro = QString());

QString vardofExe();

} // namespace vardof::test
