#include "context/WorkContext.h"
#include "context/OpenOrCreate.h"

#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace vardof::context {

namespace {

const QString kDittaMancante = QStringLiteral("Ditta.cfg mancante o errato");
const QString kWindowsDefault = QStringLiteral("C:\\WINDOWS\\");

bool isWindowsDefault(const QString &value)
{
    // Exact, case-sensitive: only the untouched default means "not set".
    return value == QLatin1String("C:\\WINDOWS") || value == QLatin1String("C:\\WINDOWS\\");
}

} // namespace

QString adminPassword()
{
    const QByteArray fromEnv = qgetenv("VARDOF_DB_PASSWORD");
    return fromEnv.isEmpty() ? QStringLiteral("quillomer") : QString::fromLocal8Bit(fromEnv);
}

QStringList adminLoginParams()
{
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + adminPassword()};
}

QStringList creationParams()
{
    return {QStringLiteral("USER \"SYSDBA\""), QStringLiteral("PASSWORD \"%1\"").arg(adminPassword()),
            QStringLiteral("PAGE_SIZE 4096")};
}

TTabForm::TTabForm(const QString &directoryAvvio)
    : DirectoryAvvio(directoryAvvio)
    , m_transaction(std::make_unique<db::Transaction>(m_database))
    , m_settingsFile(PercorsoFileImpostazioni())
{
    InizializzaSituazioni();
}

TTabForm::~TTabForm()
{
    m_transaction.reset();
    m_database.disconnect();
}

std::unique_ptr<TTabForm> TTabForm::fromSettings(const QString &directoryAvvio)
{
    auto context = std::make_unique<TTabForm>(directoryAvvio);
    context->LetturaNomeProgetto();
    if (context->NomeProgetto != kDittaMancante)
        context->SettaLavoroDir();
    return context;
}

void TTabForm::InizializzaSituazioni()
{
    CodiceProgetto = 526;
    SituazioneClass1 = 1;
    SituazioneClass2 = 2;
    SituazioneStorico = 3;
}

QString TTabForm::PercorsoFileImpostazioni()
{
    const QString iniDir = platform::hostDir() + QStringLiteral("ini_log_err");
    if (QFileInfo(platform::toNativeLocal(iniDir)).isDir())
        return iniDir + QStringLiteral("/ostrel.ini");
    // The Windows folder ("c:\windows\") of the original installations.
    return platform::windowsDir() + QStringLiteral("ostrel.ini");
}

void TTabForm::LetturaNomeProgetto()
{
    NomeProgetto = kDittaMancante;
    platform::IniFile ini(m_settingsFile);
    DirectoryDitta = ini.readString(QStringLiteral("DITTA"), QStringLiteral("Directory ditta"), kWindowsDefault);
    if (isWindowsDefault(DirectoryDitta))
        DirectoryDitta = DirectoryAvvio;
    QString dir = DirectoryDitta;
    if (!dir.endsWith(QLatin1Char('\\')) && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('\\');
    const QString path = platform::toNativeLocal(dir + QStringLiteral("ditta.cfg"));
    const std::optional<QStringList> lines = platform::readTextLines(path);
    if (!lines) {
        platform::showMessage(QStringLiteral("Non trovato il file ditta.cfg: verificare directory associata all'icona programma"));
        return;
    }
    NomeProgetto = lines->isEmpty() ? QString() : lines->first();
}

void TTabForm::SettaLavoroDir()
{
    platform::IniFile ini(m_settingsFile);
    DirectoryLavoro = ini.readString(NomeProgetto, QStringLiteral("Directory di lavoro"), kWindowsDefault);
    DirectoryBin = ini.readString(NomeProgetto, QStringLiteral("Directory bin"), kWindowsDefault);
    if (isWindowsDefault(DirectoryBin))
        DirectoryBin = DirectoryAvvio;
    DirectoryTemp = ini.readString(NomeProgetto, QStringLiteral("Directory tabelle temporanee"), DirectoryLavoro);
    Archivio = ini.readString(NomeProgetto, QStringLiteral("Archivio"), QString());
}

void TTabForm::ConnettiDatabase()
{
    const platform::DirFile parts = platform::splitDirFile(Archivio);
    if (!ApriOCreaDatabase(m_database, parts.dir, parts.file))
        platform::showMessage(QStringLiteral("Errore apertura archivio"));
}

} // namespace vardof::context
