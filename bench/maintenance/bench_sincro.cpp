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

#include "support/Databases.h"
#include "support/Options.h"
#include "support/ResultsFile.h"
#include "support/Usage.h"

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

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vardof;
using namespace vardof::maintenance;

namespace {

// Destination files with forced writes off (gfix -write async), on request.
bool g_asyncWrites = false;

void makeDatabases(const bench::Target &t, int rows)
{
    for (const char *name : {"origine.fdb", "destinazione_base.fdb"}) {
        bench::createArticoli(t, QString::fromLatin1(name), rows, name[0] == 'o' ? 1 : 2,
                              QStringLiteral("Articolo numero"));
        if (g_asyncWrites)
            QProcess::execute(QStringLiteral("gfix"), {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                       QStringLiteral("-password"), t.login.last().section('=', 1),
                                                       QStringLiteral("-write"), QStringLiteral("async"),
                                                       t.prefix + t.file(QString::fromLatin1(name))});
    }
}

// The server's process, whose CPU counts with ours (0 embedded).
qint64 g_serverPid = 0;

// This process's CPU seconds and, through a server, the server's.
double cpuSeconds()
{
    return bench::cpuSeconds() + bench::cpuSecondsOf(g_serverPid);
}

// A fresh copy of the destination as it was made, for each run.
QString freshDestination(const bench::Target &t)
{
    const QString dest = t.file(QStringLiteral("destinazione.fdb"));
    bench::freshCopy(t.file(QStringLiteral("destinazione_base.fdb")), dest);
    return dest;
}

double runOnce(const bench::Target &t, TSincroDB::Metodo metodo, qint64 &copied, double &cpu)
{
    const QString dest = freshDestination(t);

    const QStringList login = t.login;
    const QString prefix = t.prefix;
    TSincroDB sincro([login, prefix](db::Attachment &att, const QString &dir, const QString &file) {
        att.connect(prefix + dir + file, login);
        return true;
    });
    sincro.setMetodo(metodo);
    sincro.carica({1, QString(), kTipoRecordMancanti, t.file(QStringLiteral("origine.fdb")),
                   QStringLiteral("ARTICOLI"), dest, QStringLiteral("ARTICOLI")});
    const double c0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    sincro.VerificaElaborazione();
    sincro.EseguiElaborazione();
    const double seconds = clock.nsecsElapsed() / 1e9;
    cpu = cpuSeconds() - c0;
    copied = sincro.righeCopiate();
    sincro.chiudi();
    return seconds;
}

// The floor: what any synchronisation must do here, with nothing spent on
// finding the missing keys (known beforehand: the destination holds the odd
// codes). The origin read through the same ordered cursor, each missing row
// inserted with one prepared insert, one commit.
double runFloor(const bench::Target &t, qint64 &copied, double &cpu)
{
    const QString dest = freshDestination(t);
    db::Attachment origin, destination;
    origin.connect(t.prefix + t.file(QStringLiteral("origine.fdb")), t.login);
    destination.connect(t.prefix + dest, t.login);
    db::Transaction ot(origin, {QStringLiteral("concurrency"), QStringLiteral("nowait")});
    db::Transaction dt(destination, {QStringLiteral("concurrency"), QStringLiteral("nowait")});
    const double c0 = cpuSeconds();
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
    cpu = cpuSeconds() - c0;
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bench::Options opzioni(app.arguments(),
                                 {QStringLiteral("--rows"), QStringLiteral("--rounds"), QStringLiteral("--results")},
                                 {QStringLiteral("--scrittura-asincrona")});
    const int rows = opzioni.number(QStringLiteral("--rows"), 1000000);
    const int rounds = std::max(1, opzioni.number(QStringLiteral("--rounds"), 1));
    const QString results = opzioni.text(QStringLiteral("--results"));
    g_asyncWrites = opzioni.has(QStringLiteral("--scrittura-asincrona"));

    QTemporaryDir tmp;
    std::vector<bench::Target> targets{bench::embeddedTarget(tmp.path())};
    if (const auto server = bench::serverTarget())
        targets.push_back(*server);

    QString table = QStringLiteral(
        "| engine | rows (origin / destination before) | copied | per-row count s (CPU) | ours s (CPU) | speed-up | "
        "floor s (CPU) | ours / floor |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const bench::Target &t : targets) {
        g_serverPid = t.serverPid;
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
            QFile::remove(t.file(QString::fromLatin1(name)));
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
