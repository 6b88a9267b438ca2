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
#include "support/ResultsFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
    QString dir;    // folder of the files, as this process sees it
    QString prefix; // "" embedded, "localhost/PORT:" through the server
    QStringList login;
    qint64 serverPid = 0;
};

void exec(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::executeSql(att, t, sql);
    t.commit();
}

const char *kTable = "CREATE TABLE ARTICOLI (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                     "UNITAMISURA VARCHAR(3), PREZZO NUMERIC(15,2), GIACENZA NUMERIC(15,3), DATAULTIMOCARICO DATE)";

const char *kScript = "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nUNITAMISURA=UNITAMISURA\nPREZZO=PREZZO\n"
                      "GIACENZA=GIACENZA\nDATAULTIMOCARICO=DATAULTIMOCARICO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)";

// Rows made inside the engine: the set-up is not what is measured. The
// destination's rows differ from the origin's, so an update changes them.
void fill(db::Attachment &att, int rows, int step, const char *text)
{
    exec(att, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                             "INSERT INTO ARTICOLI VALUES (:I, '%3 ' || :I, 'PZ', :I * 0.37, :I * 0.001, "
                             "DATEADD(MOD(:I, 3650) DAY TO DATE '2015-01-01')); I = I + %2; END END")
                  .arg(rows)
                  .arg(step)
                  .arg(QString::fromLatin1(text)));
}

QString file(const Target &t, const char *name) { return QDir(t.dir).filePath(QString::fromLatin1(name)); }

void makeDatabases(const Target &t, int rows)
{
    for (const char *name : {"script_origine.fdb", "script_destinazione_base.fdb"}) {
        QFile::remove(file(t, name));
        db::Attachment att;
        att.create(t.prefix + file(t, name), t.login + QStringList{QStringLiteral("PAGE_SIZE 8192")});
        exec(att, QString::fromLatin1(kTable));
        if (name[7] == 'o')
            fill(att, rows, 1, "Articolo numero");
        else
            fill(att, rows, 2, "Vecchia descrizione");
        att.disconnect();
    }
}

double cpuSelf()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double cpuOf(qint64 pid)
{
    if (pid <= 0)
        return 0;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray s = f.readAll();
    const QList<QByteArray> parts = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (parts.size() < 13)
        return 0;
    return double(parts[11].toLongLong() + parts[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

double loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(0).toDouble();
}

// A run feedback that keeps nothing but the log's last lines.
class Silent : public platform::RunFeedback
{
public:
    void line(const QString &text) override { last = text; }
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind, const QString &, platform::Buttons buttons) override
    {
        return platform::fitAnswer(buttons, platform::Answer::Yes);
    }
    QString last;
};

struct Measure
{
    double seconds = 0;
    double clientCpu = 0;
    double serverCpu = 0;
    double load = 0;
    EsitoAggiornamento esito;
    QByteArray hash; // of the destination after the run
};

QByteArray destinationHash(const Target &t, const QString &dest)
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

Measure runOnce(const Target &t, int righePerBlocco)
{
    const QString base = file(t, "script_destinazione_base.fdb");
    const QString dest = file(t, "script_destinazione.fdb");
    QFile::remove(dest);
    QFile::copy(base, dest);
    QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                    | QFile::ReadOther | QFile::WriteOther);
    db::Attachment origin;
    origin.connect(t.prefix + file(t, "script_origine.fdb"), t.login);
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
        Silent feedback;
        const double l0 = loadAverage();
        const double c0 = cpuSelf(), s0 = cpuOf(t.serverPid);
        QElapsedTimer clock;
        clock.start();
        m.esito = engine.esegui(script, false, feedback);
        if (!engine.chiudiDestinazione(&feedback))
            std::fprintf(stderr, "the commit failed\n");
        m.seconds = clock.nsecsElapsed() / 1e9;
        m.clientCpu = cpuSelf() - c0;
        m.serverCpu = cpuOf(t.serverPid) - s0;
        m.load = (l0 + loadAverage()) / 2;
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
    int rows = 20000;
    int rounds = 1;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rows") && i + 1 < args.size())
            rows = std::max(2, args[++i].toInt());
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
    }

    QTemporaryDir tmp;
    Target t{QStringLiteral("embedded"), tmp.path(), QString(),
             db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"))};
    const QByteArray port = qgetenv("VARDOF_TEST_FB_PORT");
    const QString serverDir = QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_DIR"));
    if (!port.isEmpty() && !serverDir.isEmpty()) {
        t = Target{QStringLiteral("server (localhost TCP)"), serverDir,
                   QStringLiteral("localhost/%1:").arg(QString::fromLatin1(port)),
                   db::loginParams(QStringLiteral("SYSDBA"), QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_PASSWORD")))};
        // The server's CPU counts with ours: through a server the work is there.
        QFile pidFile(QDir(serverDir).filePath(QStringLiteral("../server.pid")));
        if (pidFile.open(QIODevice::ReadOnly))
            t.serverPid = pidFile.readAll().trimmed().toLongLong();
        // The pid file may name the wrapper that started the server as its user.
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(t.serverPid));
        if (children.open(QIODevice::ReadOnly)) {
            const QByteArray c = children.readAll().trimmed();
            if (!c.isEmpty())
                t.serverPid = c.split(' ').first().toLongLong();
        }
    }

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
        QFile::remove(file(t, name));
    return same ? 0 : 1;
}
