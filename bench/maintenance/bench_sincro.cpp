// Fast synchronisation: our way of finding the missing keys (the
// destination keys read once) against one prepared count per origin row,
// on the same table, side by side in one run, through the embedded engine
// and through a Firebird server.
//
//   bench_sincro [--rows N] [--rounds R] [--results bench/RESULTS.md]
//
// The table has N rows (default 1000000); the destination starts with every
// other row, so half of the origin is copied. Each round restores the
// destination file and runs both methods, alternating which goes first.
// The server variant runs when VARDOF_TEST_FB_PORT, VARDOF_TEST_FB_PASSWORD
// and VARDOF_TEST_FB_DIR name a server (scripts/fbserver.sh starts one).

#include "support/ResultsFile.h"

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "maintenance/SincroDB.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vardof;
using namespace vardof::maintenance;

namespace {

struct Target
{
    QString label;
    QString dir;      // folder of the files, as this process sees it
    QString prefix;   // "" embedded, "localhost/PORT:" through the server
    QStringList login;
    bool asyncWrites = false;
};

void exec(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::executeSql(att, t, sql);
    t.commit();
}

const char *kTable = "CREATE TABLE ARTICOLI (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                     "UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), GIACENZA NUMERIC(15,3), DATAULTIMOCARICO DATE)";

// Rows made inside the engine: the set-up is not what is measured.
void fill(db::Attachment &att, int rows, int step)
{
    exec(att, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                             "INSERT INTO ARTICOLI VALUES (:I, 'Articolo numero ' || :I, 'PZ', :I * 0.37, :I * 0.001, "
                             "DATEADD(MOD(:I, 3650) DAY TO DATE '2015-01-01')); I = I + %2; END END")
                  .arg(rows)
                  .arg(step));
}

void makeDatabases(const Target &t, int rows)
{
    for (const char *name : {"origine.fdb", "destinazione_base.fdb"}) {
        const QString file = QDir(t.dir).filePath(QString::fromLatin1(name));
        QFile::remove(file);
        db::Attachment att;
        att.create(t.prefix + file, t.login + QStringList{QStringLiteral("PAGE_SIZE 8192")});
        exec(att, QString::fromLatin1(kTable));
        fill(att, rows, name[0] == 'o' ? 1 : 2);
        att.disconnect();
        if (t.asyncWrites)
            QProcess::execute(QStringLiteral("gfix"), {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                       QStringLiteral("-password"), t.login.last().section('=', 1),
                                                       QStringLiteral("-write"), QStringLiteral("async"),
                                                       t.prefix + file});
    }
}

double cpuSelf()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the server process (0 when it cannot be read).
qint64 g_serverPid = 0;
double serverCpu()
{
    if (g_serverPid <= 0)
        return 0;
    QFile f(QStringLiteral("/proc/%1/stat").arg(g_serverPid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray s = f.readAll();
    const QList<QByteArray> parts = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (parts.size() < 13)
        return 0;
    return double(parts[11].toLongLong() + parts[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

double runOnce(const Target &t, TSincroDB::Metodo metodo, qint64 &copied, double &cpu)
{
    const QString base = QDir(t.dir).filePath(QStringLiteral("destinazione_base.fdb"));
    const QString dest = QDir(t.dir).filePath(QStringLiteral("destinazione.fdb"));
    QFile::remove(dest);
    QFile::copy(base, dest);
    QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                    | QFile::ReadOther | QFile::WriteOther);

    const QStringList login = t.login;
    const QString prefix = t.prefix;
    TSincroDB sincro([login, prefix](db::Attachment &att, const QString &dir, const QString &file) {
        att.connect(prefix + dir + file, login);
        return true;
    });
    sincro.setMetodo(metodo);
    sincro.carica({1, QString(), kTipoRecordMancanti, QDir(t.dir).filePath(QStringLiteral("origine.fdb")),
                   QStringLiteral("ARTICOLI"), dest, QStringLiteral("ARTICOLI")});
    const double c0 = cpuSelf() + serverCpu();
    QElapsedTimer clock;
    clock.start();
    sincro.VerificaElaborazione();
    sincro.EseguiElaborazione();
    const double seconds = clock.nsecsElapsed() / 1e9;
    cpu = cpuSelf() + serverCpu() - c0;
    copied = sincro.righeCopiate();
    sincro.chiudi();
    return seconds;
}

// The floor: what any synchronisation must do here, with nothing spent on
// finding the missing keys (known beforehand: the destination holds the odd
// codes). The origin read through the same ordered cursor, each missing row
// inserted with one prepared insert, one commit.
double runFloor(const Target &t, qint64 &copied, double &cpu)
{
    const QString base = QDir(t.dir).filePath(QStringLiteral("destinazione_base.fdb"));
    const QString dest = QDir(t.dir).filePath(QStringLiteral("destinazione.fdb"));
    QFile::remove(dest);
    QFile::copy(base, dest);
    QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                    | QFile::ReadOther | QFile::WriteOther);
    db::Attachment origin, destination;
    origin.connect(t.prefix + QDir(t.dir).filePath(QStringLiteral("origine.fdb")), t.login);
    destination.connect(t.prefix + dest, t.login);
    db::Transaction ot(origin, {QStringLiteral("concurrency"), QStringLiteral("nowait")});
    db::Transaction dt(destination, {QStringLiteral("concurrency"), QStringLiteral("nowait")});
    const double c0 = cpuSelf() + serverCpu();
    QElapsedTimer clock;
    clock.start();
    db::Statement cursor(origin, ot, QStringLiteral("SELECT * FROM ARTICOLI ORDER BY CODICE"), db::ParamStyle::AsWritten);
    db::Statement insert(destination, dt,
                         QStringLiteral("INSERT INTO ARTICOLI(CODICE,DESCRIZIONE,UNITAMISURA,PREZZO,GIACENZA,DATAULTIMOCARICO) "
                                        "VALUES(?,?,?,?,?,?)"),
                         db::ParamStyle::AsWritten);
    insert.prepare();
    db::ResultSet rs = cursor.open();
    copied = 0;
    while (rs.next()) {
        if (rs.toInt64(0).value_or(1) % 2 != 0)
            continue;
        for (int i = 0; i < 6; ++i)
            insert.setParam(i, rs.value(i));
        insert.execute();
        ++copied;
    }
    rs.close();
    dt.commit();
    const double seconds = clock.nsecsElapsed() / 1e9;
    cpu = cpuSelf() + serverCpu() - c0;
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int rows = 1000000;
    int rounds = 1;
    QString results;
    bool asyncWrites = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rows") && i + 1 < args.size())
            rows = args[++i].toInt();
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--scrittura-asincrona"))
            asyncWrites = true;
        else if (args[i] == QLatin1String("--results") && i + 1 < args.size())
            results = args[++i];
    }

    QTemporaryDir tmp;
    std::vector<Target> targets{{QStringLiteral("embedded"), tmp.path(), QString(),
                                 db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"))}};
    const QByteArray port = qgetenv("VARDOF_TEST_FB_PORT");
    const QString serverDir = QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_DIR"));
    if (!port.isEmpty() && !serverDir.isEmpty())
        targets.push_back({QStringLiteral("server (localhost TCP)"), serverDir,
                           QStringLiteral("localhost/%1:").arg(QString::fromLatin1(port)),
                           db::loginParams(QStringLiteral("SYSDBA"), QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_PASSWORD")))});

    for (Target &t : targets)
        t.asyncWrites = asyncWrites;
    QString table = QStringLiteral(
        "| engine | rows (origin / destination before) | copied | per-row count s (CPU) | ours s (CPU) | speed-up | "
        "floor s (CPU) | ours / floor |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Target &t : targets) {
        // The server's CPU counts with ours: through a server the work is there.
        g_serverPid = 0;
        if (!t.prefix.isEmpty()) {
            QFile pidFile(QDir(t.dir).filePath(QStringLiteral("../server.pid")));
            if (pidFile.open(QIODevice::ReadOnly))
                g_serverPid = pidFile.readAll().trimmed().toLongLong();
            QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(g_serverPid));
            if (children.open(QIODevice::ReadOnly)) {
                const QByteArray c = children.readAll().trimmed();
                if (!c.isEmpty())
                    g_serverPid = c.split(' ').first().toLongLong();
            }
        }
        std::fprintf(stderr, "%s: preparing %d rows...\n", qPrintable(t.label), rows);
        makeDatabases(t, rows);
        // Three variants per round, in an order that turns from round to round.
        std::vector<double> wall[3], cpu[3];
        qint64 copied[3] = {0, 0, 0};
        const char *names[3] = {"per-row count", "ours", "floor"};
        for (int r = 0; r < rounds; ++r) {
            for (int k = 0; k < 3; ++k) {
                const int v = (k + r) % 3;
                double c = 0;
                const double s = v == 2 ? runFloor(t, copied[v], c)
                                        : runOnce(t, v == 1 ? TSincroDB::Metodo::Confronto : TSincroDB::Metodo::ConteggioPerRiga,
                                                  copied[v], c);
                wall[v].push_back(s);
                cpu[v].push_back(c);
                std::fprintf(stderr, "  %s: %.2f s (CPU %.2f s)\n", names[v], s, c);
            }
        }
        if (copied[0] != copied[1] || copied[1] != copied[2])
            std::fprintf(stderr, "copied rows differ: %lld / %lld / %lld\n", copied[0], copied[1], copied[2]);
        double w[3], c[3];
        for (int v = 0; v < 3; ++v) {
            w[v] = vardof::bench::median(wall[v]);
            c[v] = vardof::bench::median(cpu[v]);
        }
        table += QStringLiteral("| %1 | %2 / %3 | %4 | %5 (%6) | %7 (%8) | %9 | %10 (%11) | %12 |\n")
                     .arg(t.label)
                     .arg(rows)
                     .arg((rows + 1) / 2)
                     .arg(copied[1])
                     .arg(w[0], 0, 'f', 2)
                     .arg(c[0], 0, 'f', 2)
                     .arg(w[1], 0, 'f', 2)
                     .arg(c[1], 0, 'f', 2)
                     .arg(w[0] / w[1], 0, 'f', 1)
                     .arg(w[2], 0, 'f', 2)
                     .arg(c[2], 0, 'f', 2)
                     .arg(w[1] / w[2], 0, 'f', 2);
        for (const char *name : {"origine.fdb", "destinazione_base.fdb", "destinazione.fdb"})
            QFile::remove(QDir(t.dir).filePath(QString::fromLatin1(name)));
    }
    std::fputs(table.toLocal8Bit().constData(), stdout);

    if (!results.isEmpty()) {
        const QString section =
            QStringLiteral("## Fast synchronisation: missing keys found in one pass against one count per row\n\n"
                           "Machine: %1. Table ARTICOLI (INTEGER key, VARCHAR(60), VARCHAR(3), NUMERIC(15,2), "
                           "NUMERIC(15,3), DATE); the destination holds every other row, so half the origin is "
                           "copied. Both methods run the whole synchronisation (check, ordered origin cursor, "
                           "inserts, commit) on a fresh copy of the same destination file and copy the same rows. "
                           "Per-row count: the method as first written, one prepared count and, when missing, one "
                           "prepared insert per origin row. Ours: the destination keys read once and looked up in "
                           "memory, the missing rows sent in blocks of inserts. Destination files as created "
                           "(forced writes on). Median of %2 "
                           "alternating round(s). Server: the private Firebird 3 SuperServer of scripts/fbserver.sh "
                           "over localhost TCP. Run: `bench_sincro --rows %3 --rounds %2 --results bench/RESULTS.md`.\n\n")
                .arg(bench::machineDescription())
                .arg(rounds)
                .arg(rows)
            + table
            + QStringLiteral(
                "\nFloor: the origin read through the same ordered cursor and each missing row inserted with one "
                "prepared insert, the missing keys known beforehand (nothing spent on finding them), one commit; "
                "what any synchronisation of these tables must do. CPU is this process's (the embedded engine "
                "included) plus, through the server, the server process's. On a shared machine the wall-clock "
                "figures carry the other work's noise (and the disk flush of each commit); the CPU figures do not.\n");
        bench::writeSection(results, QStringLiteral("maintenance"), section);
    }
    return 0;
}
