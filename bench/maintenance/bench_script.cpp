// Update-script run through a Firebird server: every row's lookup and write
// sent on their own (one by one, two round trips a row) against the rows
// sent in blocks (one round trip for many rows), on the same tables, side by
// side in one run.
//
//   bench_script [--rows N] [--rounds R]
//
// Both databases are files of the private server named by
// VARDOF_TEST_FB_PORT, VARDOF_TEST_FB_PASSWORD and VARDOF_TEST_FB_DIR
// (scripts/fbserver.sh starts one); without it the embedded engine is used.
// The origin has N rows (default 20000); the destination starts with every
// other row, so half the rows are updated and half added. Each variant runs
// on a fresh copy of the same destination file; a round runs both, turning
// the order. The figures are printed as the lines of a Markdown table: the
// run, its commit, the client's and the server's CPU time, and the load
// average of the machine around it.

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "maintenance/ScriptAggiornamento.h"
#include "platform/RunFeedback.h"
#include "support/Databases.h"
#include "support/Options.h"
#include "support/ResultsFile.h"
#include "support/SilentFeedback.h"
#include "support/Usage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vardof;
using namespace vardof::maintenance;

namespace {

const char *kScript = "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nUNITAMISURA=UNITAMISURA\nPREZZO=PREZZO\n"
                      "GIACENZA=GIACENZA\nDATAULTIMOCARICO=DATAULTIMOCARICO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)";

void makeDatabases(const bench::Target &t, int rows)
{
    // The destination's rows differ from the origin's, so an update changes them.
    bench::createArticoli(t, QStringLiteral("script_origine.fdb"), rows, 1, QStringLiteral("Articolo numero"));
    bench::createArticoli(t, QStringLiteral("script_destinazione_base.fdb"), rows, 2,
                          QStringLiteral("Vecchia descrizione"));
}

struct Measure
{
    double seconds = 0;
    double clientCpu = 0;
    double serverCpu = 0;
    double load = 0;
    EsitoAggiornamento esito;
    QByteArray hash; // of the destination after the run
};

QByteArray destinationHash(const bench::Target &t, const QString &dest)
{
    db::Attachment att;
    att.connect(t.prefix + dest, t.login);
    db::Transaction tra(att);
    db::Statement s(att, tra,
                    QStringLiteral("SELECT CODICE, DESCRIZIONE, UNITAMISURA, PREZZO, GIACENZA, DATAULTIMOCARICO "
                                   "FROM ARTICOLI ORDER BY CODICE"),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    QCryptographicHash h(QCryptographicHash::Sha1);
    while (rs.next())
        for (int i = 0; i < 6; ++i) {
            h.addData(rs.text(i).toUtf8());
            h.addData(QByteArrayView("|"));
        }
    return h.result().toHex();
}

Measure runOnce(const bench::Target &t, int righePerBlocco)
{
    const QString base = t.file(QStringLiteral("script_destinazione_base.fdb"));
    const QString dest = t.file(QStringLiteral("script_destinazione.fdb"));
    bench::freshCopy(base, dest);
    db::Attachment origin;
    origin.connect(t.prefix + t.file(QStringLiteral("script_origine.fdb")), t.login);
    db::Transaction originTra(origin);

    const QStringList login = t.login;
    const QString prefix = t.prefix;
    Measure m;
    {
        AggiornamentoFDB engine(origin, originTra, [login, prefix](db::Attachment &att, const QString &dir,
                                                                   const QString &name) {
            att.connect(prefix + dir + name, login);
            return true;
        });
        engine.setRighePerBlocco(righePerBlocco);
        ScriptFDB script;
        script.codice = 1;
        script.tabellaOrigine = QStringLiteral("ARTICOLI");
        script.tabellaDestinazione = QStringLiteral("ARTICOLI");
        script.archivioDestinazione = dest;
        script.script = QString::fromLatin1(kScript);
        bench::SilentFeedback feedback;
        const double l0 = bench::loadAverage();
        const double c0 = bench::cpuSeconds(), s0 = bench::cpuSecondsOf(t.serverPid);
        QElapsedTimer clock;
        clock.start();
        m.esito = engine.esegui(script, false, feedback);
        if (!engine.chiudiDestinazione(&feedback))
            std::fprintf(stderr, "the commit failed\n");
        m.seconds = clock.nsecsElapsed() / 1e9;
        m.clientCpu = bench::cpuSeconds() - c0;
        m.serverCpu = bench::cpuSecondsOf(t.serverPid) - s0;
        m.load = (l0 + bench::loadAverage()) / 2;
    }
    originTra.rollback();
    origin.disconnect();
    m.hash = destinationHash(t, dest);
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bench::Options opzioni(app.arguments(), {QStringLiteral("--rows"), QStringLiteral("--rounds")});
    const int rows = std::max(2, opzioni.number(QStringLiteral("--rows"), 20000));
    const int rounds = std::max(1, opzioni.number(QStringLiteral("--rounds"), 1));

    QTemporaryDir tmp;
    // The server's CPU counts with ours: through a server the work is there.
    const bench::Target t = bench::serverTarget().value_or(bench::embeddedTarget(tmp.path()));

    std::fprintf(stderr, "%s: preparing %d rows...\n", qPrintable(t.label), rows);
    makeDatabases(t, rows);
    std::vector<double> wall[2], client[2], server[2], load[2];
    Measure last[2];
    const char *names[2] = {"one by one", "blocks"};
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 2; ++k) {
            const int v = (k + r) % 2;
            const Measure m = runOnce(t, v == 0 ? 1 : AggiornamentoFDB::kRighePerBlocco);
            wall[v].push_back(m.seconds);
            client[v].push_back(m.clientCpu);
            server[v].push_back(m.serverCpu);
            load[v].push_back(m.load);
            last[v] = m;
            std::fprintf(stderr, "  %s: %.2f s (client CPU %.2f s, server CPU %.2f s, load %.1f), blocks %d\n",
                         names[v], m.seconds, m.clientCpu, m.serverCpu, m.load, m.esito.blocchi);
        }
    }
    const EsitoAggiornamento &a = last[0].esito, &b = last[1].esito;
    const bool same = a.aggiornati == b.aggiornati && a.aggiunti == b.aggiunti && a.falliti == b.falliti
                      && last[0].hash == last[1].hash;
    if (!same)
        std::fprintf(stderr, "the two runs differ: %d/%d/%d against %d/%d/%d, %s against %s\n", a.aggiornati,
                     a.aggiunti, a.falliti, b.aggiornati, b.aggiunti, b.falliti, last[0].hash.constData(),
                     last[1].hash.constData());

    double w[2], c[2], s[2], l[2];
    for (int v = 0; v < 2; ++v) {
        w[v] = bench::median(wall[v]);
        c[v] = bench::median(client[v]);
        s[v] = bench::median(server[v]);
        l[v] = bench::median(load[v]);
    }
    const QString table =
        QStringLiteral("| engine | rows (updated / added) | one by one rows/s (s; client CPU s; server CPU s; load) | "
                       "blocks rows/s (s; client CPU s; server CPU s; load) | speed-up (wall-clock) | "
                       "speed-up (CPU, client + server) | same result |\n"
                       "|---|---:|---:|---:|---:|---:|---|\n"
                       "| %1 | %2 (%3 / %4) | %5 (%6; %7; %8; %9) | %10 (%11; %12; %13; %14) | %15 | %16 | %17 |\n")
            .arg(t.label)
            .arg(rows)
            .arg(b.aggiornati)
            .arg(b.aggiunti)
            .arg(rows / w[0], 0, 'f', 0)
            .arg(w[0], 0, 'f', 2)
            .arg(c[0], 0, 'f', 2)
            .arg(s[0], 0, 'f', 2)
            .arg(l[0], 0, 'f', 1)
            .arg(rows / w[1], 0, 'f', 0)
            .arg(w[1], 0, 'f', 2)
            .arg(c[1], 0, 'f', 2)
            .arg(s[1], 0, 'f', 2)
            .arg(l[1], 0, 'f', 1)
            .arg(w[0] / w[1], 0, 'f', 1)
            .arg((c[0] + s[0]) / std::max(1e-9, c[1] + s[1]), 0, 'f', 1)
            .arg(same ? QStringLiteral("yes") : QStringLiteral("NO"));
    std::fputs(table.toLocal8Bit().constData(), stdout);
    std::fprintf(stdout, "\nMachine: %s. Median of %d round(s).\n", qPrintable(bench::machineDescription()), rounds);
    for (const char *name : {"script_origine.fdb", "script_destinazione_base.fdb", "script_destinazione.fdb"})
        QFile::remove(t.file(QString::fromLatin1(name)));
    return same ? 0 : 1;
}
