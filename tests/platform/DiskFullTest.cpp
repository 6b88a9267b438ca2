// Every file a command writes, refused by the system half way as on a full
// disk (a file-size limit on the command's process) or at once (a folder
// where nothing can be created): the command says why in the system's words,
// exits 1, and leaves no file that looks complete: a new file is absent, an
// old one keeps its content, and no temporary file stays beside it.

#include "FileSizeLimit.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using vardof::test::FileSizeLimit;
using vardof::test::TempDir;

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<assente>");
}

QByteArray repeated(const QByteArray &line, int times)
{
    QByteArray out;
    out.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

// No limit: 0.
Outcome runVardof(const QStringList &arguments, qint64 fileSizeLimit)
{
    QProcess p;
#ifdef Q_OS_UNIX
    if (fileSizeLimit > 0) {
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(fileSizeLimit);
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
#endif
    p.start(QStringLiteral(VARDOF_BIN), arguments);
    Outcome o;
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

// One demo host for the suite: building it takes a few seconds.
TempDir *g_host = nullptr;

QString host()
{
    return g_host->path() + QLatin1Char('/');
}
QString work(const QString &name)
{
    return host() + QStringLiteral("lavoro/") + name;
}
// The files of the work folder, temporary ones included.
QStringList files()
{
    return QDir(host() + QStringLiteral("lavoro")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class DiskFull : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_host = new TempDir;
        const Outcome demo = runVardof({"--host", host(), "demo", "--rows", "40"}, 0);
        ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete g_host;
        g_host = nullptr;
    }
};

struct WriteCase
{
    const char *name;
    std::function<void()> prepare;         // the input files, in the work folder
    std::function<QStringList()> arguments; // after --host
    qint64 limit;                          // 0: none, the refusal is elsewhere
    std::function<QString()> message;      // what stderr or stdout must say
    std::function<void()> check;           // the files afterwards
};
void PrintTo(const WriteCase &c, std::ostream *os) { *os << c.name; }

class RefusedWrite : public DiskFull, public ::testing::WithParamInterface<WriteCase> {};
TEST_P(RefusedWrite, failsWithTheReasonAndLeavesNoCompleteLookingFile)
{
    const WriteCase &c = GetParam();
    if (c.limit > 0 && !FileSizeLimit(c.limit).active())
        GTEST_SKIP() << "no file size limit on this system";
    if (c.limit == 0 && !QDir(QStringLiteral("/proc/self")).exists())
        GTEST_SKIP() << "no /proc on this system";
    c.prepare();
    const QStringList before = files();
    const Outcome o = runVardof(QStringList{"--host", host()} + c.arguments(), c.limit);
    EXPECT_EQ(o.exitCode, 1) << o.out.toStdString() << o.err.toStdString();
    // The Italian lead-in, then the system's own reason.
    const QString said = o.err + o.out;
    const QString expected = c.message();
    const qsizetype at = said.indexOf(expected);
    EXPECT_GE(at, 0) << "atteso: " << expected.toStdString() << "\nstdout:\n" << o.out.toStdString()
                     << "\nstderr:\n" << o.err.toStdString();
    if (c.limit > 0 && at >= 0) {
        const QString line = said.mid(at).section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(line.endsWith(QStringLiteral(": ") + FileSizeLimit::reason())) << line.toStdString();
    }
    c.check();
    // Nothing new beside the inputs: the refused file and its temporary are gone.
    QStringList after = files();
    EXPECT_EQ(after, before);
}

const QByteArray kFixedDefinition("[LUNGHEZZAFISSA]\r\n1;CODICE;1;10;A;\r\n2;PREZZO;11;8;N;\r\n");

INSTANTIATE_TEST_SUITE_P(Cases, RefusedWrite, ::testing::Values(
    WriteCase{"conversionDestinationHalfWay",
              [] {
                  write(work("grande.conf"), kFixedDefinition);
                  write(work("grande.prn"), repeated("ART0000001   12,50\r\n", 200000));
                  QFile::remove(work("grande.dat"));
              },
              [] { return QStringList{"convert", work("grande.prn")}; }, 1 << 20,
              [] { return QStringLiteral("Impossibile scrivere il file destinazione \"%1\"").arg(work("grande.dat")); },
              [] { EXPECT_FALSE(QFile::exists(work("grande.dat"))); }},
    WriteCase{"conversionKeepsTheOldDestination",
              [] {
                  write(work("vecchio.conf"), kFixedDefinition);
                  write(work("vecchio.prn"), repeated("ART0000001   12,50\r\n", 200000));
                  write(work("vecchio.dat"), "conversione precedente\r\n");
              },
              [] { return QStringList{"convert", work("vecchio.prn")}; }, 1 << 20,
              [] { return QStringLiteral("Impossibile scrivere il file destinazione \"%1\"").arg(work("vecchio.dat")); },
              [] { EXPECT_EQ(read(work("vecchio.dat")), "conversione precedente\r\n"); }},
    WriteCase{"conversionAnomaliesFile",
              [] {
                  write(work("anomalie.conf"), "[CSV]\r\n1;N;1;N;\r\n");
                  write(work("anomalie.csv"), repeated("x\r\n", 40000));
                  QFile::remove(work("anomalie.dat"));
                  QFile::remove(work("Anomalie.txt"));
              },
              [] { return QStringList{"convert", work("anomalie.csv")}; }, 1 << 20,
              [] { return QStringLiteral("Impossibile scrivere il file delle anomalie \"%1\"").arg(work("Anomalie.txt")); },
              [] {
                  EXPECT_FALSE(QFile::exists(work("Anomalie.txt")));
                  // The destination itself was written whole: a run that had
                  // to write two files and wrote one still failed.
                  EXPECT_EQ(read(work("anomalie.dat")), repeated("0;\r\n", 40000));
                  QFile::remove(work("anomalie.dat"));
              }},
    WriteCase{"conversionIntoAFolderThatRefusesFiles",
              [] {
                  write(work("proc.conf"), kFixedDefinition);
                  write(work("proc.prn"), "ART0000001   12,50\r\n");
              },
              [] { return QStringList{"convert", work("proc.prn"), QStringLiteral("/proc/vardof-prova.dat")}; }, 0,
              [] { return QStringLiteral("Impossibile scrivere il file destinazione \"/proc/vardof-prova.dat\": "); },
              [] { EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/vardof-prova.dat"))); }},
    WriteCase{"importRejectsHalfWay",
              [] {
                  write(work("scarti_prova.txt"), "[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n");
                  QByteArray lines;
                  for (int i = 0; i < 60000; ++i)
                      lines += "FORN;ART" + QByteArray::number(i).rightJustified(6, '0') + ";4\x01,13;01/03/2026\r\n";
                  write(work("scarti_prova.csv"), lines);
              },
              [] { return QStringList{"import", work("scarti_prova.csv"), "--scarti", work("scarti.csv")}; }, 1 << 20,
              [] { return QStringLiteral("Impossibile scrivere il file \"%1").arg(work("scarti.csv")); },
              [] {
                  EXPECT_FALSE(QFile::exists(work("scarti.csv")));
                  EXPECT_FALSE(QFile::exists(work("scarti.csv.log")));
              }},
    WriteCase{"importRejectsIntoAFolderThatRefusesFiles",
              [] {
                  write(work("scarti_proc.txt"), "[SCRIPT]\r\nTABELLADESTINAZIONE=LISTINI\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n");
                  write(work("scarti_proc.csv"), "FORN;ART000001;4\x01,13;01/03/2026\r\n");
              },
              [] { return QStringList{"import", work("scarti_proc.csv"), "--scarti", "/proc/vardof-scarti.csv"}; }, 0,
              [] { return QStringLiteral("Impossibile scrivere il file \"/proc/vardof-scarti.csv"); },
              [] { EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/vardof-scarti.csv"))); }}));

} // namespace
