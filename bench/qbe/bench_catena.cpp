// A step along a chain of queries over a million-row answer: the engine's
// move to the following query (the interrogation run, the answer table
// TMP_RSUCC... created and filled with INSERT ... SELECT, the stored rows of
// both queries written and the new one loaded) against the bare CREATE
// TABLE and INSERT ... SELECT of the same rows, in the same run. Each
// measurement runs in a child process of its own; rounds alternate the
// order. The table a measurement fills is dropped before its clock starts,
// in both variants.
//
//   bench_catena [--rows N] [--rounds R] [--results bench/RESULTS.md]

#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "qbe/MotoreCatena.h"
#include "qbe/Storico.h"
#include "qbe/TIBFQuerForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/Databases.h"
#include "support/Options.h"
#include "support/ResultsFile.h"
#include "support/Rounds.h"
#include "support/Usage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace vardof;

namespace {

const QString kNudo = QStringLiteral("TMP_NUDO");

// The archive of the customers and the tables of the stored queries.
void creaArchivio(const QString &path, int rows)
{
    bench::createCustomers(path, rows);
    db::Attachment a = db::Attachment::attach(path, bench::login());
    db::Transaction t(a);
    storedqueries::PreparaTabelleQuery(a, t);
    t.commit();
    a.disconnect();
}

qint64 conta(db::Attachment &a, const QString &tabella)
{
    db::Transaction t(a);
    const db::FieldValue v = db::queryValue(a, t, QStringLiteral("SELECT COUNT(*) FROM ") + tabella);
    return v ? qint64(db::toDouble(*v).value_or(-1)) : -1;
}

void elimina(db::Attachment &a, const QString &tabella)
{
    db::Transaction t(a);
    if (!db::catalog::relationExists(a, t, tabella))
        return;
    db::executeSql(a, t, QStringLiteral("DROP TABLE ") + tabella);
    t.commit();
}

// ---- child: one measurement ---------------------------------------------

int figlio(const QString &variante, const QString &path)
{
    db::Attachment a = db::Attachment::attach(path, bench::login());
    QElapsedTimer timer;
    double cpu0 = 0;
    QString tabella;
    if (variante == QLatin1String("nudo")) {
        tabella = kNudo;
        elimina(a, tabella);
        cpu0 = bench::cpuSeconds();
        timer.start();
        db::Transaction t(a);
        db::executeSql(a, t,
                       QStringLiteral("CREATE TABLE TMP_NUDO (CODICE INTEGER, RAGIONESOCIALE VARCHAR(60), INDIRIZZO "
                                      "VARCHAR(60), CAP VARCHAR(5), CITTA VARCHAR(40), PROVINCIA VARCHAR(2), ZONA "
                                      "VARCHAR(5), PARTITAIVA VARCHAR(11), FIDO NUMERIC(18,4), DATAINSERIMENTO DATE, "
                                      "NOTE BLOB SUB_TYPE 1)"));
        t.commit();
        db::executeSql(a, t, QStringLiteral("INSERT INTO TMP_NUDO SELECT * FROM CLIENTI"));
        t.commit();
    } else {
        qbe::TabIntTmp tab;
        qbe::TabRispTmp risposta;
        qbe::SessioneQuery sessione;
        sessione.setChiaveStorico(0, 5);
        db::Transaction lavoro(a);
        db::Transaction storico(a);
        qbe::TIBFQuerForm motore(1, a, lavoro, a, storico, tab, QStringLiteral("CLIENTI"), sessione, QString(),
                                 QStringLiteral("DEMO"));
        qbe::StoricoQuery st(a, storico);
        motore.RiempiTabIntTmp(tab, QStringLiteral("CLIENTI"));
        // Every column shown, no condition, no following query yet.
        st.SalvaInterrogazioneSuStorico(0, 5, tab);
        tabella = motore.nomeTabellaRisposta(0);
        elimina(a, tabella);
        qbe::MotoreCatena catena(motore, st, a, storico, tab, risposta, QStringLiteral("CLIENTI"), sessione);
        cpu0 = bench::cpuSeconds();
        timer.start();
        if (catena.PassaAQuerySuccessiva() != qbe::MotoreCatena::Esito::Fatto || catena.livello() != 1) {
            std::fprintf(stderr, "passo non riuscito: %s\n", qPrintable(motore.ultimoErrore()));
            return 1;
        }
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const double secondi = bench::cpuSeconds() - cpu0;
    std::printf("%.3f %.3f %lld\n", ms, secondi, (long long)conta(a, tabella));
    return 0;
}

struct Misura
{
    double ms = 0;
    double cpu = 0;
    qint64 righe = 0;
};

Misura lancia(const QString &variante, const QString &path)
{
    const QByteArrayList parti =
        bench::childWords({QStringLiteral("--child"), variante, QStringLiteral("--db"), path}, variante, 3);
    if (parti.isEmpty())
        return {};
    return {parti[0].toDouble(), parti[1].toDouble(), parti[2].toLongLong()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bench::Options opzioni(app.arguments(),
                                 {QStringLiteral("--rows"), QStringLiteral("--rounds"), QStringLiteral("--results"),
                                  QStringLiteral("--child"), QStringLiteral("--db")});
    const int rows = opzioni.number(QStringLiteral("--rows"), 1000000);
    const int rounds = opzioni.number(QStringLiteral("--rounds"), 3);
    const QString results = opzioni.text(QStringLiteral("--results"));
    const QString child = opzioni.text(QStringLiteral("--child"));
    if (!child.isEmpty())
        return figlio(child, opzioni.text(QStringLiteral("--db")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archivio.fdb"));
    QElapsedTimer tempo;
    tempo.start();
    creaArchivio(path, rows);
    std::fprintf(stderr, "archivio di %d righe creato in %.1f s\n", rows, tempo.elapsed() / 1000.0);

    const QString caricoPrima = bench::loadAverages();
    const QStringList varianti{QStringLiteral("nudo"), QStringLiteral("passo")};
    lancia(QStringLiteral("nudo"), path); // warm the page cache once
    std::map<QString, std::vector<Misura>> misure =
        bench::alternatingRounds<Misura>(varianti, rounds, [&](const QString &v) {
            const Misura m = lancia(v, path);
            std::fprintf(stderr, "%s: %.0f ms, %.2f s CPU, %lld righe\n", qPrintable(v), m.ms, m.cpu,
                         (long long)m.righe);
            return m;
        });
    const QString caricoDopo = bench::loadAverages();

    const double nudoMs = bench::medianOf(misure[QStringLiteral("nudo")], &Misura::ms);
    const double passoMs = bench::medianOf(misure[QStringLiteral("passo")], &Misura::ms);
    const double nudoCpu = bench::medianOf(misure[QStringLiteral("nudo")], &Misura::cpu);
    const double passoCpu = bench::medianOf(misure[QStringLiteral("passo")], &Misura::cpu);
    const qint64 righe = misure[QStringLiteral("passo")].empty() ? 0 : misure[QStringLiteral("passo")].front().righe;

    QString md;
    md += QStringLiteral("## Chained queries: one step over a million-row answer\n\n");
    md += QStringLiteral("Machine: %1. Embedded engine, table CLIENTI of the demo layout (11 columns, a text blob "
                         "on one row in ten) with %2 rows. A chain step is the engine's move to the following "
                         "query from level 0 (`MotoreCatena::PassaAQuerySuccessiva`: the interrogation with every "
                         "column shown run, the answer table TMP_RSUCC0001_0000 created and filled with INSERT ... "
                         "SELECT of the answer's statement in a transaction of its own, the stored rows of both "
                         "queries written and the new one loaded); the bare variant is CREATE TABLE and INSERT INTO "
                         "... SELECT * FROM CLIENTI. The table each fills is dropped before its clock starts. Each "
                         "measurement in a child process of its own; median of %3 alternating rounds; processor "
                         "time is the child's (client and embedded server threads). Load average %4 before, %5 "
                         "after. Run: `nice -n 0 build/bench/qbe/bench_catena --results bench/RESULTS.md`.\n\n")
              .arg(vardof::bench::machineDescription())
              .arg(rows)
              .arg(rounds)
              .arg(caricoPrima, caricoDopo);
    md += QStringLiteral("| what | rows copied | wall s | processor s |\n|---|---:|---:|---:|\n");
    md += QStringLiteral("| bare CREATE TABLE + INSERT ... SELECT | %1 | %2 | %3 |\n")
              .arg(misure[QStringLiteral("nudo")].empty() ? 0 : misure[QStringLiteral("nudo")].front().righe)
              .arg(nudoMs / 1000.0, 0, 'f', 2)
              .arg(nudoCpu, 0, 'f', 2);
    md += QStringLiteral("| chain step (PassaAQuerySuccessiva) | %1 | %2 | %3 |\n")
              .arg(righe)
              .arg(passoMs / 1000.0, 0, 'f', 2)
              .arg(passoCpu, 0, 'f', 2);
    md += QStringLiteral("\nEach round, wall s / processor s:");
    for (const QString &v : varianti) {
        md += QStringLiteral(" %1").arg(v == QLatin1String("nudo") ? QStringLiteral("bare") : QStringLiteral("step"));
        for (const Misura &m : misure[v])
            md += QStringLiteral(" %1/%2").arg(m.ms / 1000.0, 0, 'f', 2).arg(m.cpu, 0, 'f', 2);
        md += QLatin1Char(';');
    }
    md.chop(1);
    md += QStringLiteral(". The disk is shared with other builds, so wall-clock time of a single round varies "
                         "widely; processor time is the steadier figure.\n");
    const double rapporto = nudoMs > 0 ? passoMs / nudoMs : 0;
    const double rapportoCpu = nudoCpu > 0 ? passoCpu / nudoCpu : 0;
    md += QStringLiteral("\nThe step costs %1 x the bare copy in wall-clock time and %2 x in processor time "
                         "(target: within 1.2 x): %3.\n")
              .arg(rapporto, 0, 'f', 2)
              .arg(rapportoCpu, 0, 'f', 2)
              .arg(rapporto <= 1.2 ? QStringLiteral("reached") : QStringLiteral("not reached"));
    std::printf("%s\n", qPrintable(md));
    if (!results.isEmpty() && !vardof::bench::writeSection(results, QStringLiteral("chain"), md))
        std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(results));
    return 0;
}
