// vardof: runs VardoF without the host.
//
//   vardof [--host DIR] ENTRY [USER [WINDOWID]]   load libVardoF and call an export, as a host does
//   vardof --list                                 the thirteen exports
//   vardof [--host DIR] demo [--rows N] [--ricrea] make the demo host environment
//   vardof [--host DIR] import|convert|sync|aggiorna|pulisci-tmp ...   run an engine without windows
//
// The host folder (where user/ and ini_log_err/ are looked for) is the
// launcher's own folder unless --host or VARDOF_HOST_DIR names another.

#include "commands/Commands.h"
#include "demo/DemoBuilder.h"

#include "db/Error.h"
#include "platform/Formats.h"
#include "platform/HostPaths.h"
#include "platform/Signals.h"

#include <QApplication>
#include <QWidget>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#if defined(_WIN32)
#  define VARDOF_STDCALL __stdcall
#else
#  define VARDOF_STDCALL
#endif

namespace {

using EntryFunction = std::int32_t(VARDOF_STDCALL *)(std::int32_t, std::int32_t);

const char *const kEntries[] = {
    "ShowAggSincroDBFastFormX", "ShowCancellaTabelleTmpFormX", "ShowRicalcolaIndiciFormX",
    "ShowQueryClass2FormX",     "ShowQueryClass1FormX",        "ShowAggiornamentiFDBaFDBFormX",
    "ShowConversioniFormX",     "ShowImportCSVFormX",          "ShowPulisciQmtGridFormX",
    "ShowVardoEdTabFormX",      "ShowVardoSQLFormX",           "ShowVardoQueryGenericaFormX",
    "ShowVardoStoricoFormX",
};

void err(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void out(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

int usage()
{
    err(QStringLiteral("uso: vardof [--host CARTELLA] FUNZIONE [UTENTE [IDFINESTRA]]\n"
                       "     vardof --list\n"
                       "     vardof [--host CARTELLA] demo [--rows N] [--ricrea]\n"
                       "     vardof [--host CARTELLA] import FILEDATI [--salta-prima-riga] [--scarti FILE] [--max-errori N] [--utente N]\n"
                       "     vardof [--host CARTELLA] convert ORIGINE [DESTINAZIONE] [--salta-prima-riga] [--intestazione] [--carattere C]\n"
                       "     vardof [--host CARTELLA] sync [--utente N]\n"
                       "     vardof [--host CARTELLA] aggiorna CODICE [--utente N]\n"
                       "     vardof [--host CARTELLA] pulisci-tmp [--utente N]"));
    return 2;
}

QString g_launcherDir;

// The folder of this executable, known before any application object exists.
QString findLauncherDir(const char *argv0)
{
#if defined(__linux__)
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return QFileInfo(self.canonicalFilePath()).absolutePath();
#endif
    return QFileInfo(QString::fromLocal8Bit(argv0)).absoluteDir().absolutePath();
}

QString launcherDir()
{
    return g_launcherDir;
}

bool isEntry(const QString &name)
{
    for (const char *e : kEntries)
        if (name == QLatin1String(e))
            return true;
    return false;
}

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "xcb" && platform != "wayland")
        return true; // offscreen, minimal, vnc...
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
#endif
}

int callEntry(const QString &name, const QStringList &args)
{
    if (!hasDisplay()) {
        err(QStringLiteral("Nessuno schermo disponibile per aprire la finestra: eseguire con xvfb-run -a vardof %1 ...")
                .arg(name));
        return 1;
    }
    std::int32_t user = 1;
    std::int32_t windowId = 0;
    bool ok = true;
    if (args.size() > 0)
        user = args.at(0).toInt(&ok);
    if (ok && args.size() > 1)
        windowId = args.at(1).toInt(&ok);
    if (!ok || args.size() > 2)
        return usage();
#if defined(_WIN32)
    QLibrary library(launcherDir() + QStringLiteral("/VardoF"));
#else
    QLibrary library(launcherDir() + QStringLiteral("/libVardoF"));
#endif
    if (!library.load()) {
        err(QStringLiteral("Impossibile caricare la libreria VardoF: %1").arg(library.errorString()));
        return 1;
    }
    auto entry = reinterpret_cast<EntryFunction>(library.resolve(name.toLatin1().constData()));
    if (!entry) {
        err(QStringLiteral("La libreria non esporta %1").arg(name));
        return 1;
    }
    // SIGTERM or Ctrl+C closes the windows as a user would (a window
    // mid-run takes it as its interruption); a second one ends the process.
    vardof::platform::onInterruptSignal([] {
        // The innermost modal window first (a box over the window), then the rest.
        for (int guard = 0; guard < 20; ++guard) {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->close())
                break;
        }
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    });
    const std::int32_t result = entry(user, windowId);
    if (vardof::platform::interruptSignal() != 0)
        return vardof::platform::interruptExitCode();
    // The library may have made the application object: leave it and the
    // library loaded until the process ends, as a host would.
    return result == 0 ? 0 : 1;
}

int commandDemo(QStringList args)
{
    int rows = 300;
    bool recreate = false;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--rows") && !args.isEmpty()) {
            bool ok = false;
            rows = args.takeFirst().toInt(&ok);
            if (!ok || rows < 1)
                return usage();
        } else if (a == QLatin1String("--ricrea")) {
            recreate = true;
        } else {
            return usage();
        }
    }
    const QString host = vardof::platform::hostDir();
    if (!recreate && QFileInfo::exists(host + QStringLiteral("user/user.fdb"))
        && QFileInfo::exists(vardof::app::demoArchivePath(host))) {
        out(QStringLiteral("Ambiente dimostrativo già presente in %1 (--ricrea per rifarlo)").arg(host));
        return 0;
    }
    try {
        vardof::app::DemoOptions options;
        options.hostDir = host;
        options.rows = rows;
        options.log = out;
        vardof::app::buildDemo(options);
        return 0;
    } catch (const vardof::db::Error &e) {
        err(QStringLiteral("Creazione dell'ambiente dimostrativo non riuscita:\n") + e.message());
    } catch (const std::exception &e) {
        err(QStringLiteral("Creazione dell'ambiente dimostrativo non riuscita: ") + QString::fromLocal8Bit(e.what()));
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Before any thread exists (see Signals.h). The engine commands stop at
    // the next row on SIGINT/SIGTERM along the run's own interruption path
    // and exit 130/143; a window process closes its windows. The demo has
    // no interruption path: there Ctrl+C keeps ending the process at once.
    const int commandAt = argc > 3 && std::strcmp(argv[1], "--host") == 0 ? 3 : 1;
    if (!(argc > commandAt && std::strcmp(argv[commandAt], "demo") == 0))
        vardof::platform::installInterruptSignals();
    // Only a core application: an entry makes its own widget application,
    // as it does in a host that has none.
    g_launcherDir = findLauncherDir(argv[0]);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> core;
    const bool entryCall = !args.isEmpty() && (isEntry(args.first())
                                               || (args.size() > 2 && args.first() == QLatin1String("--host")
                                                   && isEntry(args.at(2))));
    if (!entryCall && args.contains(QLatin1String("--stampa"))) {
        // Printing to PDF measures and draws with fonts: a GUI application,
        // with no screen needed where there is none.
#ifndef _WIN32
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // No session, so no runtime folder: Qt would warn and then use
            // its own fallback. The same folder, made as Qt makes it, keeps
            // the warning off standard error without changing anything.
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
                if (const passwd *utente = getpwuid(getuid())) {
                    const QByteArray cartella =
                        QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray(utente->pw_name);
                    struct stat info;
                    if (::mkdir(cartella.constData(), 0700) == 0
                        || (::stat(cartella.constData(), &info) == 0 && S_ISDIR(info.st_mode)
                            && info.st_uid == getuid() && (info.st_mode & 0777) == 0700))
                        qputenv("XDG_RUNTIME_DIR", cartella);
                }
            }
        }
#endif
        core = std::make_unique<QGuiApplication>(argc, argv);
    } else if (!entryCall) {
        core = std::make_unique<QCoreApplication>(argc, argv);
    }

    QString host;
    if (args.size() >= 2 && args.first() == QLatin1String("--host")) {
        host = QDir(args.at(1)).absolutePath();
        args.remove(0, 2);
    } else if (!qEnvironmentVariableIsEmpty("VARDOF_HOST_DIR")) {
        host = QDir(QString::fromLocal8Bit(qgetenv("VARDOF_HOST_DIR"))).absolutePath();
    }
    if (args.isEmpty())
        return usage();
    if (host.isEmpty()) {
        // The launcher's folder, without needing an application object yet.
        host = launcherDir();
    }
    QDir().mkpath(host);
    // The library reads the host folder from the environment, as if the host
    // executable stood there.
    qputenv("VARDOF_HOST_DIR", QDir::toNativeSeparators(host).toLocal8Bit());
    vardof::platform::setHostDir(host);
    vardof::platform::setLibraryFormats();

    const QString command = args.takeFirst();
    if (command == QLatin1String("--list") || command == QLatin1String("--elenco")) {
        for (const char *e : kEntries)
            out(QString::fromLatin1(e));
        return 0;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(), 0;
    if (isEntry(command)) {
        if (!core)
            return callEntry(command, args);
    }
    if (command == QLatin1String("demo"))
        return commandDemo(args);
    if (command == QLatin1String("import"))
        return vardof::app::commandImport(args);
    if (command == QLatin1String("convert"))
        return vardof::app::commandConvert(args);
    if (command == QLatin1String("sync"))
        return vardof::app::commandSync(args);
    if (command == QLatin1String("aggiorna"))
        return vardof::app::commandAggiorna(args);
    if (command == QLatin1String("pulisci-tmp"))
        return vardof::app::commandPulisciTmp(args);
    if (command == QLatin1String("query")) return vardof::app::commandQuery(args);
    return usage();
}
