#include "context/OpenOrCreate.h"
#include "context/WorkContext.h"

#include "db/Error.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"

#include <QDir>

namespace vardof::context {

namespace {

const QString kConfig = QStringLiteral("CONFIG");

ConnectionAttempts &realAttempts()
{
    static ConnectionAttempts real;
    return real;
}

ConnectionAttempts *g_attempts = nullptr;

// isc_already_opened: another process's engine holds the file in a mode
// this one cannot share ("Database already opened with engine instance,
// incompatible with current").
constexpr long kAlreadyOpened = 335545107L;
ServerDiskPrompt g_prompt;

ConnectionAttempts &attempts()
{
    return g_attempts ? *g_attempts : realAttempts();
}

// dati.ini of a directory; an empty directory is the current one.
platform::IniFile datiIni(const QString &directory)
{
    const QString dir = directory.isEmpty() ? platform::ensureTrailingSeparator(QDir::currentPath()) : directory;
    return platform::IniFile(dir + QStringLiteral("dati.ini"));
}

} // namespace

bool ConnectionAttempts::connect(db::Attachment &c, const QString &name, const QStringList &params)
{
    inUseReason.clear();
    try {
        c.connect(name, params);
        return true;
    } catch (const db::Error &e) {
        if (e.hasGdsCode(kAlreadyOpened))
            inUseReason = e.message();
        return false;
    }
}

QString messaggioArchivioInUso(const QString &name, const QString &reason)
{
    return QStringLiteral("Impossibile aprire l'archivio \"%1\": è in uso da un altro programma.\n"
                          "Per usarlo da più programmi insieme, raggiungerlo attraverso un server Firebird "
                          "(\"Nome Server\" e \"Alias\" in dati.ini accanto all'archivio).\n%2")
        .arg(name, reason);
}

bool ConnectionAttempts::create(db::Attachment &c, const QString &name, const QStringList &params)
{
    try {
        c.create(name, params, 3);
        return true;
    } catch (const db::Error &) {
        return false;
    }
}

ConnectionAttempts *setConnectionAttempts(ConnectionAttempts *a)
{
    return std::exchange(g_attempts, a);
}

ServerDiskPrompt setServerDiskPrompt(ServerDiskPrompt prompt)
{
    return std::exchange(g_prompt, std::move(prompt));
}

namespace {

// ConnettiOCrea that also says when the database is held by another
// program: then nothing else is tried, and the user has been told why.
bool connettiOCrea(db::Attachment &connection, const QString &name, const QString &server, const QString &drive,
                   bool &inUso)
{
    inUso = false;
    connection.disconnect();
    QString databaseName = name;
    if (!server.isEmpty()) {
        if (!drive.isEmpty() && !databaseName.isEmpty())
            databaseName.replace(0, 1, drive.left(1));
        databaseName = server + QLatin1Char(':') + databaseName;
    }
    if (attempts().connect(connection, databaseName, adminLoginParams()))
        return true;
    if (!attempts().inUseReason.isEmpty()) {
        platform::showMessage(messaggioArchivioInUso(databaseName, attempts().inUseReason));
        inUso = true;
        return false;
    }
    // Whatever made the connection fail, one creation is tried on the same
    // name: an existing file is never overwritten by it.
    if (attempts().create(connection, databaseName, creationParams())) {
        platform::showMessage(QStringLiteral("Effettuata creazione data base"));
        return true;
    }
    return false;
}

} // namespace

bool ConnettiOCrea(db::Attachment &connection, const QString &name, const QString &server, const QString &drive)
{
    bool inUso = false;
    return connettiOCrea(connection, name, server, drive, inUso);
}

PercorsoRete ConvertiPercorsoRete(const QString &uncDirectory, const QString &percorsoNelServer)
{
    PercorsoRete out;
    // Both separators are accepted: \\HOST\SHARE\REST\ or //HOST/SHARE/REST/.
    auto isSep = [](QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); };
    QString t = uncDirectory.mid(2);
    qsizetype i = 0;
    while (i < t.size() && !isSep(t.at(i)))
        ++i;
    const QString host = t.left(i);
    t = i < t.size() ? t.mid(i + 1) : QString();
    qsizetype j = 0;
    while (j < t.size() && !isSep(t.at(j)))
        ++j;
    const QString share = t.left(j);
    if (share.size() <= 1) {
        // A disk shared under its drive letter: \\SRV\C\DATI\ is SRV:C:\DATI\.
        QString rest = t;
        if (j < rest.size())
            rest.insert(j, QLatin1Char(':'));
        else
            rest += QLatin1Char(':');
        out.name = host + QLatin1Char(':') + rest;
        return out;
    }
    out.byWord = true;
    if (!percorsoNelServer.isEmpty()) {
        out.name = host + QLatin1Char(':') + percorsoNelServer;
        return out;
    }
    platform::showMessage(QStringLiteral("Attenzione: il disco con gli archivi è stato condiviso in rete con un nome - ")
                          + share
                          + QStringLiteral(" - e non con la lettera che lo identifica. Si consiglia di correggere la condivisione oppure ")
                          + QStringLiteral("di correggere manualmente la sezione Percorso Nel Server nel file Dati.ini accanto al database"));
    out.errorShown = true;
    return out;
}

ServerEDisco ChiediServerEDisco(const QString &directory)
{
    platform::IniFile ini = datiIni(directory);
    ServerEDisco out;
    out.server = ini.readString(kConfig, QStringLiteral("Nome Server"));
    out.drive = ini.readString(kConfig, QStringLiteral("Lettera Disco Server"));
    if (out.server.isEmpty()) {
        platform::showMessage(QStringLiteral("Non trovato dati.ini"));
        std::optional<std::pair<QString, QString>> answer;
        if (g_prompt)
            answer = g_prompt(QStringLiteral("Non trovato dati.ini"),
                              QStringLiteral("Inserire il nome del computer e la lettera della sua\r\n"
                                             "unità disco dove risulta ospitato (o sarà ospitato) il database"));
        if (answer) {
            out.server = answer->first;
            out.drive = answer->second;
            ini.writeString(kConfig, QStringLiteral("Nome Server"), out.server);
            if (!out.drive.isEmpty())
                ini.writeString(kConfig, QStringLiteral("Lettera Disco Server"), out.drive);
        }
    }
    return out;
}

bool ApriOCreaDatabase(db::Attachment &connection, const QString &directory, const QString &fileName)
{
    const QString file = fileName.isEmpty() ? QStringLiteral("archivio.fdb") : fileName;
    platform::IniFile ini = datiIni(directory);

    const QString server = ini.readString(kConfig, QStringLiteral("Nome Server"));
    const QString alias = ini.readString(kConfig, QStringLiteral("Alias"));
    bool inUso = false;
    if (!server.isEmpty() && !alias.isEmpty()) {
        if (connettiOCrea(connection, server + QLatin1Char(':') + alias, QString(), QString(), inUso))
            return true;
        if (inUso)
            return false;
    }

    const QString percorso = ini.readString(kConfig, QStringLiteral("PercorsoDatabase"));
    if (!percorso.isEmpty()) {
        QString name = QStringLiteral("\\\\") + ini.readString(kConfig, QStringLiteral("Nome Server"))
                       + QLatin1Char('\\') + percorso;
        if (!name.endsWith(QLatin1Char('\\')) && !name.endsWith(QLatin1Char('/')))
            name += QLatin1Char('\\');
        return connettiOCrea(connection, name + file, QString(), QString(), inUso);
    }

    QString n = directory;
    bool errorShown = false;
    bool byWord = false;
    if (directory.contains(QLatin1String("\\\\")) || directory.startsWith(QLatin1String("//"))) {
        const PercorsoRete rete =
            ConvertiPercorsoRete(directory, ini.readString(kConfig, QStringLiteral("Percorso Nel Server")));
        n = rete.name;
        byWord = rete.byWord;
        errorShown = rete.errorShown;
    }

    bool result = false;
    bool attempted = false;
    if (!errorShown) {
        result = connettiOCrea(connection, n + file, QString(), QString(), inUso);
        attempted = true;
        if (inUso)
            return false;
    }
    if (byWord && !errorShown && attempted && !result) {
        platform::showMessage(QStringLiteral("Errore: nonostante le configurazioni, il particolare percorso di rete sta rendendo impossibile l'attivazione del database"));
        errorShown = true;
    }
    if (attempted && !result && !errorShown) {
        const ServerEDisco sd = ChiediServerEDisco(directory);
        if (!sd.server.isEmpty())
            result = connettiOCrea(connection, n + file, sd.server, sd.drive, inUso);
        else
            platform::showMessage(QStringLiteral("Apertura / creazione del database non riuscita!"));
    }
    return result;
}

} // namespace vardof::context
