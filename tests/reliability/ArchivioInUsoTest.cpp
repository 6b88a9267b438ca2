// A local archive that another process holds through its own embedded
// engine: the second process is told that the archive is in use by another
// program, with the engine's reason, and nothing else is tried on it (no
// creation, no question about a server).

#include "ServerHost.h"

#include "context/OpenOrCreate.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::test;

namespace {

QString operatoreExe()
{
    return QStringLiteral(OPERATORE_EXE);
}

// Another process that opens `file` with its embedded engine and keeps it.
class Detentore
{
public:
    explicit Detentore(const QString &file, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        m_p.setProcessEnvironment(env);
        m_p.start(operatoreExe(), {QStringLiteral("tieni"), file});
        m_p.waitForReadyRead(30000);
        m_riga = QString::fromLocal8Bit(m_p.readAllStandardOutput());
    }
    ~Detentore()
    {
        m_p.kill();
        m_p.waitForFinished(10000);
    }
    bool aperto() const { return m_riga.startsWith(QLatin1String("APERTO")); }
    const QString &riga() const { return m_riga; }

private:
    QProcess m_p;
    QString m_riga;
};

TEST(ArchivioInUso, theOpenerSaysSoAndTriesNothingElse)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("archivio.fdb"));
    createDatabase(file).disconnect();
    Detentore altro(file);
    ASSERT_TRUE(altro.aperto()) << altro.riga().toStdString();

    platform::ScopedServices services;
    db::Attachment c;
    EXPECT_FALSE(context::ApriOCreaDatabase(c, dir.path() + QLatin1Char('/'), QStringLiteral("archivio.fdb")));
    EXPECT_FALSE(c.isConnected());
    const QStringList testi = services.messages().texts();
    ASSERT_EQ(testi.size(), 1) << testi.join(QStringLiteral("\n|")).toStdString();
    EXPECT_TRUE(testi[0].startsWith(QStringLiteral("Impossibile aprire l'archivio \"%1\": è in uso da un altro programma.")
                                        .arg(file)))
        << testi[0].toStdString();
    // The engine's own words come after the Italian ones.
    EXPECT_TRUE(testi[0].contains(QLatin1String("Database already opened"))) << testi[0].toStdString();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("dati.ini"))));
}

struct FileTenuto
{
    const char *nome;
    const char *percorso; // inside the host folder
};

void PrintTo(const FileTenuto &f, std::ostream *os)
{
    *os << f.nome;
}

class LauncherConArchivioTenuto : public ::testing::TestWithParam<FileTenuto>
{
};

TEST_P(LauncherConArchivioTenuto, saysWhichFileIsInUseAndWorksOnceItIsFree)
{
    TempDir host;
    const QString dir = host.path() + QLatin1Char('/');
    {
        QProcess demo;
        demo.start(vardofExe(), {QStringLiteral("--host"), dir, QStringLiteral("demo"), QStringLiteral("--rows"),
                                 QStringLiteral("20")});
        ASSERT_TRUE(demo.waitForFinished(120000));
        ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    }
    const QString file = dir + QString::fromLatin1(GetParam().percorso);
    Uscita u;
    {
        Detentore altro(file);
        ASSERT_TRUE(altro.aperto()) << altro.riga().toStdString();
        QProcess p;
        p.start(vardofExe(), {QStringLiteral("--host"), dir, QStringLiteral("pulisci-tmp")});
        u = attendi(p, 60000);
    }
    EXPECT_EQ(u.codice, 1);
    EXPECT_TRUE(u.err.contains(QStringLiteral("Impossibile aprire l'archivio \"%1\": è in uso da un altro programma.")
                                   .arg(file)))
        << u.err.toStdString();
    EXPECT_FALSE(u.err.contains(QLatin1String("Non trovato dati.ini"))) << u.err.toStdString();
    EXPECT_FALSE(u.err.contains(QLatin1String("Apertura / creazione del database non riuscita"))) << u.err.toStdString();
    EXPECT_FALSE(u.err.contains(QLatin1String("Effettuata creazione"))) << u.err.toStdString();
    EXPECT_FALSE(QFile::exists(QFileInfo(file).absolutePath() + QStringLiteral("/dati.ini")));

    // Once the other program lets go, the same command works on the same file.
    QProcess dopo;
    dopo.start(vardofExe(), {QStringLiteral("--host"), dir, QStringLiteral("pulisci-tmp")});
    const Uscita v = attendi(dopo, 60000);
    EXPECT_EQ(v.codice, 0) << v.out.toStdString() << v.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Casi, LauncherConArchivioTenuto,
                         ::testing::Values(FileTenuto{"databaseUtenti", "user/user.fdb"},
                                           FileTenuto{"archivio", "dati/archivio.fdb"}),
                         [](const ::testing::TestParamInfo<FileTenuto> &i) { return std::string(i.param.nome); });

// The engine's own shared mode: with ServerMode SuperClassic in the
// firebird.conf the embedded engine reads (and one lock folder for all),
// several local processes open the same archive at once. The launcher needs
// nothing more than that configuration.
QString radiceCondivisa(const QString &dir)
{
    const QString fb = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
    if (!QFileInfo::exists(fb + QStringLiteral("/plugins")))
        return QString();
    QDir().mkpath(dir + QStringLiteral("/lock"));
    QDir().mkpath(dir + QStringLiteral("/intl"));
    for (const QString &f : QDir(fb + QStringLiteral("/intl")).entryList(QDir::Files))
        QFile::copy(fb + QStringLiteral("/intl/") + f, dir + QStringLiteral("/intl/") + f);
    for (const char *item : {"plugins", "lib", "UDF", "firebird.msg", "plugins.conf"})
        QFile::link(fb + QLatin1Char('/') + QLatin1String(item), dir + QLatin1Char('/') + QLatin1String(item));
    QFile conf(dir + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        return QString();
    conf.write("ServerMode = SuperClassic\n");
    return dir;
}

TEST(ArchivioInUso, inTheEnginesSharedModeTwoProcessesShareTheArchive)
{
    TempDir host;
    TempDir radice;
    if (radiceCondivisa(radice.path()).isEmpty())
        GTEST_SKIP() << "motore Firebird non trovato dove lo installa Debian";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), radice.path());
    env.insert(QStringLiteral("FIREBIRD_LOCK"), radice.path() + QStringLiteral("/lock"));
    const QString dir = host.path() + QLatin1Char('/');
    {
        QProcess demo;
        demo.setProcessEnvironment(env);
        demo.start(vardofExe(), {QStringLiteral("--host"), dir, QStringLiteral("demo"), QStringLiteral("--rows"),
                                 QStringLiteral("20")});
        ASSERT_TRUE(demo.waitForFinished(120000));
        ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    }
    Detentore altro(dir + QStringLiteral("dati/archivio.fdb"), env);
    ASSERT_TRUE(altro.aperto()) << altro.riga().toStdString();
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(vardofExe(), {QStringLiteral("--host"), dir, QStringLiteral("import"),
                          dir + QStringLiteral("lavoro/listino_fornitore.csv"), QStringLiteral("--salta-prima-riga")});
    const Uscita u = attendi(p, 60000);
    EXPECT_EQ(u.codice, 0) << u.out.toStdString() << u.err.toStdString();
    EXPECT_TRUE(u.out.contains(QLatin1String("Record aggiunti: 20"))) << u.out.toStdString();
}

} // namespace
