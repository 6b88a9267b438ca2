// Runs killed halfway: `vardof import`, `sync` and `aggiorna` work on a
// large input on the private server and are killed with SIGKILL at a random
// moment. The databases must still open and hold the state before the run
// or exactly what the run's commit points have made permanent; running the
// command again must complete with nothing lost or doubled.
//
// Commit points checked here:
// - import: one transaction for the whole run; with the duplicate check the
//   creation of the work table commits, and with it the deletion by
//   reference value that came before it;
// - sync: each synchronisation commits at its end, in code order;
// - aggiorna: the destination commits only when its connection is closed,
//   after the last row.
//
// The moment of the kill is drawn at random as a number of rows the run has
// written so far (read from the server's monitoring tables while it runs),
// so that it lands inside the work whatever the speed of the machine;
// VARDOF_TEST_SEED replays a draw. A run that ends before its kill is tried
// again with an earlier one.

#include "ServerHost.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

using namespace vardof;
using namespace vardof::test;

namespace {

void scriviFile(const QString &path, const QStringList &righe)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    for (const QString &r : righe)
        f.write((r + QStringLiteral("\r\n")).toLatin1());
}

// Rows 1..n of a table (CODICE INTEGER, DESCRIZIONE, PREZZO) made on the server.
void riempi(db::Attachment &att, const QString &tabella, int da, int a, const QString &descrizione)
{
    esegui(att, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = %1; BEGIN WHILE (I <= %2) DO BEGIN "
                               "INSERT INTO %3 (CODICE, DESCRIZIONE, PREZZO) VALUES (:I, '%4 ' || :I, :I / 7.0); "
                               "I = I + 1; END END")
                    .arg(da)
                    .arg(a)
                    .arg(tabella, descrizione));
}

struct Scenario
{
    ServerHost *host = nullptr;
    db::Attachment archivio;
    db::Attachment filiale;
    QStringList argomenti;
    Impronta restoArchivio; // rows the run must not touch
};

struct Caso
{
    const char *nome;
    std::function<void(Scenario &)> prepara;
    // The state the databases are in: one of `ammessi`, "completo", or
    // anything else to say what is wrong.
    std::function<QString(Scenario &)> stato;
    std::vector<const char *> ammessi; // after a kill, besides "completo"
    qint64 scritture;                  // rows the whole run inserts, updates and deletes, about
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nome;
}

const QString kListino = QStringLiteral("CODICELISTINO || '|' || CODICEARTICOLO || '|' || COALESCE(PREZZO, '') || '|' "
                                        "|| COALESCE(DATAINIZIO, '')");
const QString kTabella = QStringLiteral("CODICE || '|' || COALESCE(DESCRIZIONE, '') || '|' || COALESCE(PREZZO, '')");

constexpr int kRigheFile = 40000;
constexpr int kRighePresenti = 10000;

void preparaImport(Scenario &s, bool eliminaEDuplicati)
{
    esegui(s.archivio, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                      "INSERT INTO LISTINI VALUES ('KILL', 'K' || LPAD(:I, 7, '0'), 1, '2026-01-01'); "
                                      "I = I + 1; END END")
                           .arg(kRighePresenti));
    if (eliminaEDuplicati)
        esegui(s.archivio, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 5000) DO BEGIN "
                                          "INSERT INTO LISTINI VALUES ('KILL', 'KOLD' || LPAD(:I, 7, '0'), 1, "
                                          "'2026-01-01'); I = I + 1; END END"));
    QStringList righe;
    for (int i = 1; i <= kRigheFile; ++i)
        righe << QStringLiteral("KILL;K%1;2,00;01/03/2026").arg(i, 7, 10, QLatin1Char('0'));
    scriviFile(s.host->lavoro() + QStringLiteral("kill.csv"), righe);
    QStringList script{QStringLiteral("[SCRIPT]"), QStringLiteral("TABELLADESTINAZIONE=LISTINI"),
                       QStringLiteral("AGGIUNGI=SI"), QStringLiteral("AGGIORNA=SI")};
    if (eliminaEDuplicati)
        script << QStringLiteral("ELIMINARECORDCAMPORIFERIMENTO=SI") << QStringLiteral("CAMPORIFERIMENTO=CODICELISTINO")
               << QStringLiteral("VALORECAMPORIFERIMENTO=KILL") << QStringLiteral("CONTROLLODUPLICATI=SI");
    scriviFile(s.host->lavoro() + QStringLiteral("kill.txt"), script);
    s.restoArchivio = impronta(s.archivio, QStringLiteral("LISTINI"), kListino, QStringLiteral("CODICELISTINO<>'KILL'"));
    s.argomenti = {QStringLiteral("import"), s.host->lavoro() + QStringLiteral("kill.csv")};
}

QString statoImport(Scenario &s, bool eliminaEDuplicati)
{
    if (impronta(s.archivio, QStringLiteral("LISTINI"), kListino, QStringLiteral("CODICELISTINO<>'KILL'"))
        != s.restoArchivio)
        return QStringLiteral("altre righe di LISTINI cambiate");
    const qint64 tutte = numero(s.archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='KILL'"));
    const qint64 vecchie = numero(s.archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='KILL' "
                                                             "AND PREZZO=1 AND DATAINIZIO='2026-01-01'"));
    const qint64 nuove = numero(s.archivio, QStringLiteral("SELECT COUNT(*) FROM LISTINI WHERE CODICELISTINO='KILL' "
                                                           "AND PREZZO=2 AND DATAINIZIO='2026-03-01' "
                                                           "AND CODICEARTICOLO STARTING WITH 'K0'"));
    const qint64 prima = kRighePresenti + (eliminaEDuplicati ? 5000 : 0);
    if (tutte == prima && vecchie == prima)
        return QStringLiteral("prima");
    if (tutte == kRigheFile && nuove == kRigheFile)
        return QStringLiteral("completo");
    if (eliminaEDuplicati && tutte == 0)
        return QStringLiteral("eliminate");
    return QStringLiteral("KILL: %1 righe, %2 vecchie, %3 nuove").arg(tutte).arg(vecchie).arg(nuove);
}

const char *const kSincro[] = {"SINA", "SINB", "SINC"};
constexpr int kRigheOrigine = 15000;
constexpr int kRigheDestinazione = 3000;

void preparaSincro(Scenario &s)
{
    esegui(s.archivio, QStringLiteral("UPDATE STOAGGSINCRODBFAST SET ELABORAZIONEABILITATA=0"));
    int codice = 11;
    for (const char *t : kSincro) {
        const QString tabella = QString::fromLatin1(t);
        const QString ddl = QStringLiteral("CREATE TABLE %1 (CODICE INTEGER NOT NULL PRIMARY KEY, "
                                           "DESCRIZIONE VARCHAR(40), PREZZO NUMERIC(15,2))")
                                .arg(tabella);
        esegui(s.archivio, ddl);
        esegui(s.filiale, ddl);
        riempi(s.archivio, tabella, 1, kRigheOrigine, QStringLiteral("riga"));
        riempi(s.filiale, tabella, 1, kRigheDestinazione, QStringLiteral("riga"));
        esegui(s.archivio, QStringLiteral("INSERT INTO STOAGGSINCRODBFAST (CODICE, TITOLO, DBORIGINE, TABELLAORIGINE, "
                                          "DBDESTINAZIONE, TABELLADESTINAZIONE, TIPOELABORAZIONE, "
                                          "ELABORAZIONEABILITATA) VALUES (%1, 'prova %2', '%3', '%2', '%4', '%2', "
                                          "'GIRA TUTTI RECORD MANCANTI SU BASE CHIAVE PRIMARIA', 1)")
                               .arg(codice++)
                               .arg(tabella, s.host->archivio(), s.host->filiale()));
    }
    s.argomenti = {QStringLiteral("sync")};
}

QString statoSincro(Scenario &s)
{
    // Each synchronisation whole or not at all, and only after the ones
    // before it.
    int complete = 0;
    bool interrotte = false;
    for (const char *t : kSincro) {
        const QString tabella = QString::fromLatin1(t);
        const Impronta d = impronta(s.filiale, tabella, kTabella);
        if (d == impronta(s.archivio, tabella, kTabella)) {
            if (interrotte)
                return QStringLiteral("%1 completa dopo una sincronizzazione non fatta").arg(tabella);
            ++complete;
        } else if (d == impronta(s.archivio, tabella, kTabella, QStringLiteral("CODICE <= %1").arg(kRigheDestinazione))) {
            interrotte = true;
        } else {
            return QStringLiteral("%1 a metà: %2 righe").arg(tabella).arg(d.righe);
        }
    }
    if (complete == 3)
        return QStringLiteral("completo");
    return complete == 0 ? QStringLiteral("prima") : QStringLiteral("%1 su 3").arg(complete);
}

void preparaAggiorna(Scenario &s)
{
    const QString ddl = QStringLiteral("CREATE TABLE %1 (CODICE INTEGER NOT NULL PRIMARY KEY, "
                                       "DESCRIZIONE VARCHAR(40), PREZZO NUMERIC(15,2))");
    esegui(s.archivio, ddl.arg(QStringLiteral("AGGO")));
    esegui(s.filiale, ddl.arg(QStringLiteral("AGGD")));
    riempi(s.archivio, QStringLiteral("AGGO"), 1, kRigheOrigine, QStringLiteral("nuova"));
    riempi(s.filiale, QStringLiteral("AGGD"), 1, kRigheDestinazione, QStringLiteral("vecchia"));
    esegui(s.archivio, QStringLiteral("INSERT INTO STOAGGFDBFDB (CODICE, TITOLO, NOMETABELLAFDB1, ARCHIVIOTABELLAFDB2, "
                                      "NOMETABELLAFDB2, SCRIPT) VALUES (11, 'prova', 'AGGO', '%1', 'AGGD', "
                                      "'CODICE=CODICE' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                      "'DESCRIZIONE=DESCRIZIONE' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                      "'PREZZO=PREZZO' || ASCII_CHAR(13) || ASCII_CHAR(10) || "
                                      "'(AGGIUNGI=SI)' || ASCII_CHAR(13) || ASCII_CHAR(10) || '(AGGIORNA=SI)')")
                           .arg(s.host->filiale()));
    s.restoArchivio = impronta(s.filiale, QStringLiteral("AGGD"), kTabella);
    s.argomenti = {QStringLiteral("aggiorna"), QStringLiteral("11")};
}

QString statoAggiorna(Scenario &s)
{
    const Impronta d = impronta(s.filiale, QStringLiteral("AGGD"), kTabella);
    if (d == s.restoArchivio)
        return QStringLiteral("prima");
    if (d == impronta(s.archivio, QStringLiteral("AGGO"), kTabella))
        return QStringLiteral("completo");
    return QStringLiteral("AGGD a metà: %1 righe").arg(d.righe);
}

const Caso kCasi[] = {
    // Updates and inserts of the price list.
    {"import", [](Scenario &s) { preparaImport(s, false); }, [](Scenario &s) { return statoImport(s, false); },
     {"prima"}, kRigheFile},
    // The deletion, the work table's rows and their marks, the price list.
    {"importConEliminazioneEDuplicati", [](Scenario &s) { preparaImport(s, true); },
     [](Scenario &s) { return statoImport(s, true); }, {"prima", "eliminate"},
     kRighePresenti + 5000 + 3 * kRigheFile},
    {"sync", preparaSincro, statoSincro, {"prima", "1 su 3", "2 su 3"}, 3 * (kRigheOrigine - kRigheDestinazione)},
    {"aggiorna", preparaAggiorna, statoAggiorna, {"prima"}, kRigheOrigine},
};

unsigned seme()
{
    const QByteArray s = qgetenv("VARDOF_TEST_SEED");
    return s.isEmpty() ? std::random_device{}() : s.toUInt();
}

// Rows written so far by process `pid` on one database, by attachment: the
// synchronisation reconnects for each of its tables, so the counts of
// attachments already gone are kept in `viste`.
void contaScritte(db::Attachment &att, const QString &db, qint64 pid, std::map<QString, qint64> &viste)
{
    db::Transaction t(att);
    db::Statement q(t,
                    QStringLiteral("SELECT A.MON$ATTACHMENT_ID, R.MON$RECORD_INSERTS + R.MON$RECORD_UPDATES + "
                                   "R.MON$RECORD_DELETES FROM MON$ATTACHMENTS A JOIN MON$RECORD_STATS R "
                                   "ON R.MON$STAT_ID = A.MON$STAT_ID WHERE A.MON$REMOTE_PID = %1")
                        .arg(pid),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = q.open();
    while (rs.next())
        viste[db + rs.text(0)] = rs.toInt64(1).value_or(0);
}

class RunInterrotta : public ::testing::TestWithParam<Caso>
{
protected:
    void SetUp() override
    {
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "nessun server privato (VARDOF_TEST_FB_PORT non impostata)";
    }
};

TEST_P(RunInterrotta, keepsWhatItsCommitPointsPromiseAndARerunCompletes)
{
    const Caso &c = GetParam();
    const unsigned s0 = seme();
    std::mt19937 caso(s0);
    RecordProperty("seme", std::to_string(s0));
    std::cout << "[ seme ] VARDOF_TEST_SEED=" << s0 << std::endl;

    qint64 bersaglioMassimo = c.scritture * 9 / 10;
    bool uccisaAMeta = false;
    for (int tentativo = 0; tentativo < 6 && !uccisaAMeta; ++tentativo, bersaglioMassimo /= 2) {
        ServerHost host;
        Scenario s;
        s.host = &host;
        s.archivio = host.connetti(host.archivio());
        s.filiale = host.connetti(host.filiale());
        c.prepara(s);
        ASSERT_EQ(c.stato(s), QStringLiteral("prima"));

        const qint64 bersaglio = std::uniform_int_distribution<qint64>(1, std::max<qint64>(1, bersaglioMassimo))(caso);
        std::unique_ptr<QProcess> p = host.avvia(s.argomenti);
        const qint64 pid = p->processId();
        qint64 scritte = 0;
        std::map<QString, qint64> viste;
        QElapsedTimer orologio;
        orologio.start();
        while (p->state() == QProcess::Running && orologio.elapsed() < 120000) {
            contaScritte(s.archivio, QStringLiteral("archivio:"), pid, viste);
            contaScritte(s.filiale, QStringLiteral("filiale:"), pid, viste);
            scritte = 0;
            for (const auto &[chi, quante] : viste)
                scritte += quante;
            if (scritte >= bersaglio)
                break;
            p->waitForFinished(20);
        }
        uccisaAMeta = p->state() == QProcess::Running;
        p->kill();
        p->waitForFinished(30000);
        if (!uccisaAMeta) {
            std::cout << "[ nota ] " << c.nome << ": finita prima di " << bersaglio << " righe scritte, si riprova prima"
                      << std::endl;
            continue;
        }

        // The databases open again (new connections through the server)
        // and hold one of the states the commit points allow.
        s.archivio.disconnect();
        s.filiale.disconnect();
        s.archivio = host.connetti(host.archivio());
        s.filiale = host.connetti(host.filiale());
        const QString dopo = c.stato(s);
        std::cout << "[ stato ] " << c.nome << " uccisa dopo " << scritte << " righe scritte (bersaglio " << bersaglio
                  << "): " << dopo.toStdString() << std::endl;
        bool ammesso = dopo == QLatin1String("completo");
        for (const char *a : c.ammessi)
            ammesso = ammesso || dopo == QLatin1String(a);
        EXPECT_TRUE(ammesso) << "stato dopo l'uccisione: " << dopo.toStdString();

        // The same command again completes the work.
        const Uscita di_nuovo = host.esegui(s.argomenti);
        std::cout << "[ stato ] " << c.nome << " di nuovo, fino in fondo: " << di_nuovo.millisecondi << " ms"
                  << std::endl;
        EXPECT_EQ(di_nuovo.codice, 0) << di_nuovo.out.toStdString() << di_nuovo.err.toStdString();
        EXPECT_EQ(c.stato(s), QStringLiteral("completo")) << di_nuovo.out.toStdString();
    }
    EXPECT_TRUE(uccisaAMeta) << "la corsa è sempre finita prima dell'uccisione: serve un input più grande";
}

INSTANTIATE_TEST_SUITE_P(Casi, RunInterrotta, ::testing::ValuesIn(kCasi),
                         [](const ::testing::TestParamInfo<Caso> &i) { return std::string(i.param.nome); });

} // namespace
