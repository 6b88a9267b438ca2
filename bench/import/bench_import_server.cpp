// The CSV import through a Firebird server: the run with every line's
// statements sent on their own (one to three round trips a line) against
// the run with lines sent in blocks, on the same file and the same table,
// side by side in one run. (a) adding only, (b) adding and updating by key
// with half the keys already present. The embedded engine can be measured
// the same way (--embedded), and a raw prepared-insert loop beside them.
//
//   bench_import_server [--rows N] [--rounds R] [--embedded] [--raw]
//                       [--block N] [--only a|b] [--blocks-only] [--floor]
//                       [--dir FOLDER]
//
// --block sets the lines per block (default: the run's own choice),
// --only keeps one variant, --blocks-only leaves out the one-by-one runs.
// --floor adds the engine's own work for the same rows, with no client at
// all: one server-side loop that inserts them (as the raw loop), one that
// updates or adds them by key (as (b)), values made inside the loop.
// --dir puts the data file and the databases in FOLDER (a memory file
// system there takes the disk's waits out of the comparison; the server
// must be allowed to write there).
//
// The server is the one named by VARDOF_TEST_FB_PORT, VARDOF_TEST_FB_PASSWORD
// and VARDOF_TEST_FB_DIR (scripts/fbserver.sh starts one); its process is
// read from server.pid beside that folder, for its CPU time.

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "import/ImportRun.h"
#include "import/ImportValues.h"
#include "import/ScriptLoader.h"
#include "platform/TextFile.h"

#include "support/Databases.h"
#include "support/ResultsFile.h"
#include "support/Usage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace vardof;

namespace {

struct Target
{
    QString label;
    QString dir;
    QString prefix;
    QStringList login;
    qint64 serverPid = 0;
};

struct Database
{
    db::Attachment att;
    std::unique_ptr<db::Transaction> tra;

    Database(const Target &t, const QString &file)
    {
        const QString path = QDir(t.dir).filePath(file);
        QFile::remove(path);
        att.create(t.prefix + path, t.login + QStringList{QStringLiteral("PAGE_SIZE 8192")});
        tra = std::make_unique<db::Transaction>(att);
        db::executeSql(att, *tra,
                       QStringLiteral("CREATE TABLE LISTINO (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, "
                                      "DESCRIZIONE VARCHAR(60), PREZZO NUMERIC(15,2), QTA INTEGER, DATA DATE, "
                                      "NOTE VARCHAR(40))"));
        tra->commit();
    }
    ~Database()
    {
        tra.reset();
        try {
            att.dropDatabase();
        } catch (...) {
        }
    }
};

// Every other key already there (inside the engine: not what is measured).
void preload(Database &d, qint64 rows)
{
    db::executeSql(d.att, *d.tra,
                   QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                                  "INSERT INTO LISTINO (CODICE, DESCRIZIONE) VALUES ('ART' || LPAD(:I, 8, '0'), 'vecchia'); "
                                  "I = I + 2; END END")
                       .arg(rows));
    d.tra->commit();
}

class Silent : public platform::RunFeedback
{
public:
    void line(const QString &) override {}
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind kind, const QString &t, platform::Buttons b) override
    {
        if (b == platform::Buttons::Ok && (kind == platform::Warning || kind == platform::Error))
            std::fprintf(stderr, "%s\n", qPrintable(t));
        return platform::Answer::Yes;
    }
};

struct Measure
{
    double wall = 0, cpu = 0, serverCpu = 0;
};

Measure runImport(const Target &t, const QString &data, const QString &dir, const QStringList &script, bool withPreload,
                  int linesPerBlock, qint64 rows)
{
    Database d(t, QStringLiteral("bench_import.fdb"));
    if (withPreload)
        preload(d, rows);
    const QString scriptFile = QDir(dir).filePath(QStringLiteral("listino.txt"));
    QFile::remove(scriptFile);
    platform::writeTextLines(scriptFile, QStringList{"[SCRIPT]"} + script);
    importcsv::CaricamentoScript c;
    importcsv::ScriptLoader(d.att, *d.tra).carica(scriptFile, c);
    Silent sink;
    importcsv::OpzioniImport o;
    o.righePerBlocco = linesPerBlock;
    importcsv::ImportRun run(d.att, *d.tra, c.parametri, c.colonne, c.chiavi);
    Measure m;
    const double c0 = bench::cpuSeconds(), s0 = bench::cpuSecondsOf(t.serverPid);
    QElapsedTimer clock;
    clock.start();
    const importcsv::EsitoImport esito = run.esegui(data, false, sink, o);
    m.wall = double(clock.nsecsElapsed()) / 1e9;
    m.cpu = bench::cpuSeconds() - c0;
    m.serverCpu = bench::cpuSecondsOf(t.serverPid) - s0;
    if (esito != importcsv::EsitoImport::Completato || run.contatori().falliti != 0)
        std::fprintf(stderr, "import not completed\n");
    if (run.contatori().aggiunti + run.contatori().aggiornati != rows)
        std::fprintf(stderr, "rows: %lld added, %lld updated\n", run.contatori().aggiunti, run.contatori().aggiornati);
    return m;
}

// The rows of bench::writeListino, made by the engine itself.
Measure runFloor(const Target &t, qint64 rows, bool byKey)
{
    Database d(t, QStringLiteral("bench_floor.fdb"));
    if (byKey)
        preload(d, rows);
    const QString values = QStringLiteral("('ART' || LPAD(:I, 8, '0'), 'Articolo di listino numero ' || :I, "
                                          "MOD(:I, 5000) + (10 + MOD(:I, 90)) / 100.00, MOD(:I, 1000), "
                                          "DATEADD(MOD(:I, 28) DAY TO DATE '2024-03-01'), 'nota')");
    const QString body =
        byKey ? QStringLiteral("K = 'ART' || LPAD(:I, 8, '0'); "
                               "UPDATE LISTINO SET CODICE = :K, DESCRIZIONE = 'Articolo di listino numero ' || :I, "
                               "PREZZO = MOD(:I, 5000) + (10 + MOD(:I, 90)) / 100.00, QTA = MOD(:I, 1000), "
                               "DATA = DATEADD(MOD(:I, 28) DAY TO DATE '2024-03-01'), NOTE = 'nota' WHERE CODICE = :K; "
                               "IF (ROW_COUNT = 0) THEN INSERT INTO LISTINO (CODICE, DESCRIZIONE, PREZZO, QTA, DATA, NOTE) "
                               "VALUES %1;")
                    .arg(values)
              : QStringLiteral("INSERT INTO LISTINO (CODICE, DESCRIZIONE, PREZZO, QTA, DATA, NOTE) VALUES %1;").arg(values);
    Measure m;
    const double c0 = bench::cpuSeconds(), s0 = bench::cpuSecondsOf(t.serverPid);
    QElapsedTimer clock;
    clock.start();
    db::executeSql(d.att, *d.tra,
                   QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE K VARCHAR(15); BEGIN "
                                  "WHILE (I < %1) DO BEGIN %2 I = I + 1; END END")
                       .arg(rows)
                       .arg(body));
    d.tra->commit();
    m.wall = double(clock.nsecsElapsed()) / 1e9;
    m.cpu = bench::cpuSeconds() - c0;
    m.serverCpu = bench::cpuSecondsOf(t.serverPid) - s0;
    return m;
}

Measure runRaw(const Target &t, const QString &data, qint64)
{
    Database d(t, QStringLiteral("bench_raw.fdb"));
    Measure m;
    const double c0 = bench::cpuSeconds(), s0 = bench::cpuSecondsOf(t.serverPid);
    QElapsedTimer clock;
    clock.start();
    db::Statement ins(d.att, *d.tra,
                      QStringLiteral("INSERT INTO LISTINO (CODICE, DESCRIZIONE, PREZZO, QTA, DATA, NOTE) "
                                     "VALUES (?, ?, ?, ?, ?, ?)"),
                      db::ParamStyle::AsWritten);
    platform::TextLineReader r;
    r.open(data);
    QString line;
    while (r.readLine(line)) {
        const QStringList c = line.split(u';');
        ins.setParam(0, db::Value(c[0]));
        ins.setParam(1, db::Value(c[1]));
        ins.setParam(2, importcsv::convertiValore(c[2], importcsv::TipoDecimale));
        ins.setParam(3, importcsv::convertiValore(c[3], importcsv::TipoIntero));
        ins.setParam(4, importcsv::convertiValore(c[4], importcsv::TipoData));
        ins.setParam(5, db::Value(c[5]));
        ins.execute();
    }
    d.tra->commit();
    m.wall = double(clock.nsecsElapsed()) / 1e9;
    m.cpu = bench::cpuSeconds() - c0;
    m.serverCpu = bench::cpuSecondsOf(t.serverPid) - s0;
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qint64 rows = 100000;
    int rounds = 1;
    bool embedded = false, raw = false, blocksOnly = false, floor = false;
    int block = 0;
    QString only;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rows") && i + 1 < args.size())
            rows = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--embedded"))
            embedded = true;
        else if (args[i] == QLatin1String("--raw"))
            raw = true;
        else if (args[i] == QLatin1String("--block") && i + 1 < args.size())
            block = std::max(2, args[++i].toInt());
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            only = args[++i];
        else if (args[i] == QLatin1String("--blocks-only"))
            blocksOnly = true;
        else if (args[i] == QLatin1String("--floor"))
            floor = true;
    }

    QString where;
    for (int i = 1; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--dir"))
            where = args[i + 1];
    QTemporaryDir tmp(where.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench_import_server-XXXXXX")
                                      : QDir(where).filePath(QStringLiteral("bench_import_server-XXXXXX")));
    if (!where.isEmpty()) // the server's own user creates its databases there
        QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                              | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    const QString data = tmp.filePath(QStringLiteral("listino.csv"));
    bench::writeListino(data, rows, false);

    std::vector<Target> targets;
    if (embedded)
        targets.push_back({QStringLiteral("embedded"), tmp.path(), QString(),
                           db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"))});
    const QByteArray port = qgetenv("VARDOF_TEST_FB_PORT");
    const QString serverDir = QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_DIR"));
    if (!embedded && !port.isEmpty() && !serverDir.isEmpty()) {
        QFile pidFile(QDir(serverDir).filePath(QStringLiteral("../server.pid")));
        qint64 pid = 0;
        if (pidFile.open(QIODevice::ReadOnly))
            pid = pidFile.readAll().trimmed().toLongLong();
        // The pid file may name the wrapper that started the server as its user.
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
        if (children.open(QIODevice::ReadOnly)) {
            const QByteArray c = children.readAll().trimmed();
            if (!c.isEmpty())
                pid = c.split(' ').first().toLongLong();
        }
        targets.push_back({QStringLiteral("server (localhost TCP)"), where.isEmpty() ? serverDir : tmp.path(),
                           QStringLiteral("localhost/%1:").arg(QString::fromLatin1(port)),
                           db::loginParams(QStringLiteral("SYSDBA"), QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_PASSWORD"))),
                           pid});
    }
    if (targets.empty()) {
        std::fprintf(stderr, "no server named (VARDOF_TEST_FB_PORT, VARDOF_TEST_FB_DIR); --embedded for the embedded engine\n");
        return 1;
    }

    struct Variant
    {
        const char *name;
        QStringList script;
        bool preload;
    };
    const Variant variants[] = {{"(a) insert only (AGGIORNA=NO)", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNA=NO"}, false},
                                {"(b) update/insert by key", {"TABELLADESTINAZIONE=LISTINO"}, true}};
    for (const Target &t : targets) {
        std::printf("%s, %lld lines, %d round(s), medians (wall s; client CPU s; server CPU s)\n", qPrintable(t.label),
                    rows, rounds);
        if (raw) {
            std::vector<double> w, c, s;
            for (int r = 0; r < rounds; ++r) {
                const Measure m = runRaw(t, data, rows);
                w.push_back(m.wall), c.push_back(m.cpu), s.push_back(m.serverCpu);
                std::fprintf(stderr, "  raw: %.2f s (cpu %.2f, server %.2f)\n", m.wall, m.cpu, m.serverCpu);
            }
            std::printf("  raw prepared-insert loop: %.0f rows/s (%.2f s; %.2f; %.2f)\n", double(rows) / bench::median(w),
                        bench::median(w), bench::median(c), bench::median(s));
        }
        if (floor) {
            for (const bool byKey : {false, true}) {
                std::vector<double> w, c, s;
                for (int r = 0; r < rounds; ++r) {
                    const Measure m = runFloor(t, rows, byKey);
                    w.push_back(m.wall), c.push_back(m.cpu), s.push_back(m.serverCpu);
                    std::fprintf(stderr, "  engine floor %s: %.2f s (cpu %.2f, server %.2f)\n", byKey ? "by key" : "insert",
                                 m.wall, m.cpu, m.serverCpu);
                }
                std::printf("  engine alone, %s: %.0f rows/s (%.2f s; %.2f; %.2f)\n",
                            byKey ? "update/insert by key" : "insert", double(rows) / bench::median(w), bench::median(w),
                            bench::median(c), bench::median(s));
            }
        }
        for (const Variant &v : variants) {
            if (!only.isEmpty() && !QLatin1String(v.name).startsWith(QStringLiteral("(%1)").arg(only)))
                continue;
            std::vector<double> w1, c1, s1, wb, cb, sb;
            for (int r = 0; r < rounds; ++r) {
                const bool blocksFirst = r % 2 == 1;
                for (int k = 0; k < 2; ++k) {
                    const bool blocks = (k == 0) == blocksFirst;
                    if (blocksOnly && !blocks)
                        continue;
                    const Measure m = runImport(t, data, tmp.path(), v.script, v.preload, blocks ? block : 1, rows);
                    (blocks ? wb : w1).push_back(m.wall);
                    (blocks ? cb : c1).push_back(m.cpu);
                    (blocks ? sb : s1).push_back(m.serverCpu);
                    std::fprintf(stderr, "  %s %s: %.2f s (cpu %.2f, server %.2f)\n", v.name, blocks ? "blocks" : "one by one",
                                 m.wall, m.cpu, m.serverCpu);
                }
            }
            if (blocksOnly) {
                const double b = bench::median(wb);
                std::printf("  %s: blocks %.0f rows/s (%.2f s; %.2f; %.2f)\n", v.name, double(rows) / b, b,
                            bench::median(cb), bench::median(sb));
                continue;
            }
            const double a = bench::median(w1), b = bench::median(wb);
            std::printf("  %s: one by one %.0f rows/s (%.2f s; %.2f; %.2f), blocks %.0f rows/s (%.2f s; %.2f; %.2f), ratio %.1f\n",
                        v.name, double(rows) / a, a, bench::median(c1), bench::median(s1), double(rows) / b, b,
                        bench::median(cb), bench::median(sb), a / b);
        }
    }
    return 0;
}
