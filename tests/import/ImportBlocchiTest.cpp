// Lines sent to the server in blocks against the same lines sent one by
// one: the summary the user reads, every counter and the rows left in the
// table must be the same, whatever line of a block fails. Built twice: on
// the embedded engine (test_import) and on the private server
// (test_import_server, with VARDOF_IMPORT_SU_SERVER).

#include "ImportTestSupport.h"

#include "db/Catalog.h"
#include "db/Statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace vardof::importcsv {
namespace {

using test::senzaOra;

constexpr int kRighePerBlocco = 4;

struct BloccoCase
{
    const char *nome;
    QStringList script;            // after TABELLADESTINAZIONE
    std::set<int> falliscono;      // lines (from 1) whose QTA breaks the table's check
    qint64 maxErrori = -1;
    bool conScarti = false;        // lines with values that do not convert, keys that skip the line
    const char *tabella = "PREZZI";
    // Codes already in the destination before the run; by default every
    // even one.
    std::optional<std::set<int>> presenti = std::nullopt;
};

void PrintTo(const BloccoCase &c, std::ostream *os) { *os << c.nome; }

// What a run leaves behind.
struct Esito
{
    EsitoImport esito;
    QStringList riepilogo;
    QStringList messaggi;
    ContatoriImport contatori;
    QStringList righe;
};

class ImportBlocchi : public test::ImportFixture, public ::testing::WithParamInterface<BloccoCase>
{
protected:
    void SetUp() override
    {
        test::ImportFixture::SetUp();
#ifdef VARDOF_IMPORT_SU_SERVER
        if (vardof::test::serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
        // The same tests with every statement a network round trip.
        m_tra.reset();
        m_att.dropDatabase();
        m_path = QDir(vardof::test::serverDir())
                     .filePath(QStringLiteral("blocchi_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_path);
        m_att.create(vardof::test::serverPrefix() + m_path,
                     db::loginParams(QStringLiteral("SYSDBA"), vardof::test::serverPassword())
                         << QStringLiteral("PAGE_SIZE 4096"));
        m_tra = std::make_unique<db::Transaction>(m_att);
#endif
        for (const char *t : {"PREZZI", "SENZACHIAVE"}) {
            exec(QStringLiteral("CREATE TABLE %1 (CODICE VARCHAR(10) %2, DESCRIZIONE VARCHAR(20), GRUPPO VARCHAR(5),"
                                " PREZZO NUMERIC(9,2), QTA INTEGER, CONSTRAINT %1_QTA CHECK (QTA IS NULL OR QTA >= 0))")
                     .arg(QLatin1String(t), QLatin1String(t == QLatin1String("PREZZI") ? "NOT NULL PRIMARY KEY" : "")));
        }
        // Beside PREZZI, a table whose name differs only by quoting.
        exec("CREATE TABLE \"prezzi\" (CODICE VARCHAR(10) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(20), GRUPPO VARCHAR(5),"
             " PREZZO NUMERIC(9,2), QTA INTEGER, CONSTRAINT \"prezzi_QTA\" CHECK (QTA IS NULL OR QTA >= 0))");
    }

    // Every even code is there before the run, in group G (in the
    // destination, the codes the case names).
    void statoIniziale(const BloccoCase &c)
    {
        exec("DELETE FROM PREZZI");
        exec("DELETE FROM SENZACHIAVE");
        exec("DELETE FROM \"prezzi\"");
        for (const char *t : {"PREZZI", "prezzi"}) {
            std::set<int> codici{2, 4, 6, 8, 10, 12, 14};
            if (c.presenti && QLatin1String(t) == QLatin1String(c.tabella))
                codici = *c.presenti;
            for (int i : codici)
                exec(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE, GRUPPO, QTA) VALUES ('P%2', 'vecchia', 'G', 0)")
                         .arg(db::quotedName(QLatin1String(t)))
                         .arg(i, 2, 10, QLatin1Char('0')));
        }
    }

    static QStringList dati(const BloccoCase &c)
    {
        QStringList out;
        for (int i = 1; i <= 14; ++i) {
            QString codice = QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0'));
            QString prezzo = QStringLiteral("%1,50").arg(i);
            if (c.conScarti && i == 3)
                prezzo = QStringLiteral("1.234,50"); // a thousands point: written NULL, with a message
            if (c.conScarti && i == 6)
                codice = QStringLiteral("P\x01") + QString::number(i); // a key no one could type: skipped
            if (c.conScarti && i == 11)
                prezzo = QStringLiteral("dieci");
            out << QStringLiteral("%1;riga %2;G;%3;%4").arg(codice).arg(i).arg(prezzo).arg(c.falliscono.count(i) ? -1 : i);
        }
        return out;
    }

    Esito esegui(const BloccoCase &c, int righePerBlocco)
    {
        statoIniziale(c);
        sink = test::RecordingSink();
        const CaricamentoScript s =
            carica(QStringList{"[SCRIPT]", QStringLiteral("TABELLADESTINAZIONE=%1").arg(QLatin1String(c.tabella))} + c.script,
                   dati(c));
        EXPECT_TRUE(s.valido) << s.memoRiepilogo.join('\n').toStdString();
        OpzioniImport o;
        o.maxErrori = c.maxErrori;
        o.righePerBlocco = righePerBlocco;
        ImportRun run(att(), tra(), s.parametri, s.colonne, s.chiavi);
        Esito e;
        e.esito = run.esegui(file("dati.csv"), false, sink, o, &sink);
        e.riepilogo = senzaOra(sink.righe);
        e.messaggi = sink.messaggi;
        e.contatori = run.contatori();
        e.righe = righe(QStringLiteral("SELECT CODICE, DESCRIZIONE, GRUPPO, PREZZO, QTA FROM %1 ORDER BY 1, 2")
                            .arg(db::quotedName(QLatin1String(c.tabella))));
        // Whatever the table, the others keep their rows.
        for (const char *altra : {"PREZZI", "prezzi", "SENZACHIAVE"}) {
            if (QLatin1String(altra) == QLatin1String(c.tabella))
                continue;
            const QStringList restano = righe(QStringLiteral("SELECT CODICE, DESCRIZIONE FROM %1 ORDER BY 1")
                                                  .arg(db::quotedName(QLatin1String(altra))));
            EXPECT_EQ(restano.size(), QLatin1String(altra) == QLatin1String("SENZACHIAVE") ? 0 : 7) << altra;
            for (const QString &r : restano)
                EXPECT_TRUE(r.endsWith(QLatin1String("|vecchia"))) << altra << " " << r.toStdString();
        }
        return e;
    }
};

TEST_P(ImportBlocchi, giveWhatTheLineByLineRunGives)
{
    const BloccoCase &c = GetParam();
    const Esito uno = esegui(c, 1);
    const Esito blocchi = esegui(c, kRighePerBlocco);

    EXPECT_EQ(blocchi.esito, uno.esito);
    EXPECT_EQ(blocchi.riepilogo, uno.riepilogo);
    EXPECT_EQ(blocchi.messaggi, uno.messaggi);
    EXPECT_EQ(blocchi.righe, uno.righe);
    EXPECT_EQ(blocchi.contatori.aggiornati, uno.contatori.aggiornati);
    EXPECT_EQ(blocchi.contatori.aggiunti, uno.contatori.aggiunti);
    EXPECT_EQ(blocchi.contatori.falliti, uno.contatori.falliti);
    EXPECT_EQ(blocchi.contatori.saltati, uno.contatori.saltati);

    // The line-by-line run really met the failures the case is about.
    int errori = 0;
    for (const QString &l : uno.riepilogo)
        errori += l.startsWith(QLatin1String("Errore di ")) ? 1 : 0;
    if (c.maxErrori < 0)
        EXPECT_EQ(errori, int(c.falliscono.size())) << testing::PrintToString(uno.riepilogo);
    else
        EXPECT_EQ(errori, c.maxErrori + 1) << testing::PrintToString(uno.riepilogo);
    // And the blocked run really sent blocks: some block of every case
    // goes through whole unless the run stops at its first failures.
    EXPECT_EQ(uno.contatori.blocchi, 0);
    if (c.maxErrori < 0) {
        EXPECT_GT(blocchi.contatori.blocchi, 0);
    }
}

// Blocks of four lines: 1-4, 5-8, 9-12; lines 13 and 14 are fewer than a
// block and always go one by one.
INSTANTIATE_TEST_SUITE_P(
    Cases, ImportBlocchi,
    ::testing::Values(
        BloccoCase{"adding only, failures at the start of blocks", {"AGGIORNA=NO"}, {1, 5}},
        BloccoCase{"adding only, a failure in the middle", {"AGGIORNA=NO"}, {6}},
        BloccoCase{"adding only, failures at the end of blocks", {"AGGIORNA=NO"}, {4, 12}},
        BloccoCase{"by key, failures at the start of blocks", {}, {1, 9}},
        BloccoCase{"by key, failures in the middle", {}, {2, 3, 7}},
        BloccoCase{"by key, failures at the end of blocks", {}, {8, 12}},
        BloccoCase{"by key, every line of a block fails", {}, {5, 6, 7, 8}},
        BloccoCase{"by key, no failure", {}, {}},
        BloccoCase{"updating only", {"AGGIUNGI=NO"}, {2, 12}},
        BloccoCase{"lookup before adding", {"AGGIORNAPERS=CODICE", "AGGIORNA=NO"}, {5, 9}},
        BloccoCase{"one line updates several rows", {"AGGIORNAPERS=GRUPPO", "ESCLUSIONIAGGIORNA=CODICE"}, {3}},
        BloccoCase{"a table without keys", {"AGGIORNA=NO"}, {4, 5}, -1, false, "SENZACHIAVE"},
        BloccoCase{"values that do not convert and a skipped line", {}, {10}, -1, true},
        BloccoCase{"adding only, values that do not convert", {"AGGIORNA=NO"}, {2}, -1, true},
        BloccoCase{"more failures than allowed", {}, {2, 6}, 1},
        BloccoCase{"more failures than allowed, adding only", {"AGGIORNA=NO"}, {3, 5, 9}, 2},
        BloccoCase{"adding only, the lower-case table beside PREZZI", {"AGGIORNA=NO"}, {1, 6}, -1, false, "prezzi"},
        BloccoCase{"by key, the lower-case table beside PREZZI", {}, {2, 9}, -1, false, "prezzi"},
        BloccoCase{"lookup before adding, the lower-case table", {"AGGIORNAPERS=CODICE", "AGGIORNA=NO"}, {5}, -1, false,
                   "prezzi"},
        // Adding only into a table that holds few of the file's keys or
        // none: blocks of plain inserts until a key that is there is met.
        BloccoCase{"adding only, no key there", {"AGGIORNA=NO"}, {}, -1, false, "PREZZI", std::set<int>{}},
        BloccoCase{"adding only, no key there, a failure", {"AGGIORNA=NO"}, {6}, -1, false, "PREZZI", std::set<int>{}},
        BloccoCase{"adding only, a key there in the third block", {"AGGIORNA=NO"}, {}, -1, false, "PREZZI", std::set<int>{10}},
        BloccoCase{"adding only, a key there and a failure in one block", {"AGGIORNA=NO"}, {7}, -1, false, "PREZZI",
                   std::set<int>{5, 13}},
        BloccoCase{"adding only, a failure before the first key there", {"AGGIORNA=NO"}, {2}, -1, false, "PREZZI",
                   std::set<int>{3, 9}},
        BloccoCase{"adding only, keys there only past the last block", {"AGGIORNA=NO"}, {}, -1, false, "PREZZI",
                   std::set<int>{13, 14}},
        BloccoCase{"adding only, a key there, values that do not convert", {"AGGIORNA=NO"}, {}, -1, true, "PREZZI",
                   std::set<int>{9}},
        BloccoCase{"adding only, the lower-case table, a key there", {"AGGIORNA=NO"}, {}, -1, false, "prezzi",
                   std::set<int>{7}}),
    [](const ::testing::TestParamInfo<BloccoCase> &info) { return "case" + std::to_string(info.index); });

// Files of many blocks: the lines are read and prepared by a second thread
// in batches while the blocks run, and the run must still read, count,
// reject and stop exactly where the line-by-line run does.
struct LungoCase
{
    const char *nome;
    QStringList script;
    std::set<int> falliscono;   // QTA breaks the check
    std::set<int> nonValide;    // a control character: the line is refused
    std::set<int> nonConverte;  // a price that does not convert: NULL with a message
    int fermaAlla = 0;          // the user stops before this line (0: never)
    qint64 maxErrori = -1;
};

void PrintTo(const LungoCase &c, std::ostream *os) { *os << c.nome; }

class ImportLungo : public test::ImportFixture, public ::testing::WithParamInterface<LungoCase>
{
protected:
    static constexpr int kRighe = 3000;

    void SetUp() override
    {
        test::ImportFixture::SetUp();
        exec("CREATE TABLE PREZZI (CODICE VARCHAR(10) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(20), "
             "PREZZO NUMERIC(9,2), QTA INTEGER, CONSTRAINT PREZZI_QTA CHECK (QTA IS NULL OR QTA >= 0))");
    }

    struct Fatto
    {
        EsitoImport esito;
        QStringList riepilogo, messaggi, righe;
        QByteArray scarti, scartiLog;
        ContatoriImport contatori;
    };

    Fatto esegui(const LungoCase &c, int righePerBlocco)
    {
        exec("DELETE FROM PREZZI");
        exec("EXECUTE BLOCK AS DECLARE I INTEGER = 2; BEGIN WHILE (I <= 3000) DO BEGIN "
             "INSERT INTO PREZZI VALUES ('P' || LPAD(:I, 5, '0'), 'vecchia', 0, 0); I = I + 7; END END");
        QStringList dati;
        for (int i = 1; i <= kRighe; ++i) {
            const QString descrizione = c.nonValide.count(i) ? QStringLiteral("riga\x01%1").arg(i) : QStringLiteral("riga %1").arg(i);
            const QString prezzo = c.nonConverte.count(i) ? QStringLiteral("dieci") : QStringLiteral("%1,25").arg(i);
            dati << QStringLiteral("P%1;%2;%3;%4").arg(i, 5, 10, QLatin1Char('0')).arg(descrizione, prezzo).arg(c.falliscono.count(i) ? -1 : i);
        }
        sink = test::RecordingSink();
        if (c.fermaAlla > 0)
            sink.interrompiDopo(QStringLiteral("Inizio acquisizione file"), c.fermaAlla);
        const CaricamentoScript s = carica(QStringList{"[SCRIPT]", "TABELLADESTINAZIONE=PREZZI"} + c.script, dati);
        EXPECT_TRUE(s.valido);
        const QString scarti = file(QStringLiteral("scarti_%1.csv").arg(righePerBlocco));
        OpzioniImport o;
        o.maxErrori = c.maxErrori;
        o.righePerBlocco = righePerBlocco;
        o.fileScarti = scarti;
        ImportRun run(att(), tra(), s.parametri, s.colonne, s.chiavi);
        Fatto f;
        f.esito = run.esegui(file("dati.csv"), false, sink, o, &sink);
        f.riepilogo = test::senzaOra(sink.righe);
        f.messaggi = sink.messaggi;
        f.contatori = run.contatori();
        f.righe = righe("SELECT CODICE, DESCRIZIONE, PREZZO, QTA FROM PREZZI ORDER BY 1");
        QFile a(scarti), b(scarti + ".log");
        if (a.open(QIODevice::ReadOnly))
            f.scarti = a.readAll();
        // The log's lines of the run's end carry the time of day.
        if (b.open(QIODevice::ReadOnly))
            f.scartiLog = test::senzaOra(QString::fromUtf8(b.readAll()).split(QLatin1Char('\n'))).join(QLatin1Char('\n')).toUtf8();
        return f;
    }
};

TEST_P(ImportLungo, giveWhatTheLineByLineRunGives)
{
    const LungoCase &c = GetParam();
    const Fatto uno = esegui(c, 1);
    const Fatto blocchi = esegui(c, 0);
    EXPECT_EQ(blocchi.esito, uno.esito);
    EXPECT_EQ(blocchi.riepilogo, uno.riepilogo);
    EXPECT_EQ(blocchi.messaggi, uno.messaggi);
    EXPECT_EQ(blocchi.righe, uno.righe);
    EXPECT_EQ(blocchi.scarti, uno.scarti);
    EXPECT_EQ(blocchi.scartiLog, uno.scartiLog);
    EXPECT_EQ(blocchi.contatori.aggiornati, uno.contatori.aggiornati);
    EXPECT_EQ(blocchi.contatori.aggiunti, uno.contatori.aggiunti);
    EXPECT_EQ(blocchi.contatori.falliti, uno.contatori.falliti);
    EXPECT_EQ(blocchi.contatori.saltati, uno.contatori.saltati);
    if (c.fermaAlla == 0 || c.fermaAlla > 1000) {
        EXPECT_GT(blocchi.contatori.blocchi, 0);
    }
    if (c.fermaAlla > 0) {
        EXPECT_EQ(uno.esito, EsitoImport::Interrotto);
    } else if (c.maxErrori < 0) {
        EXPECT_EQ(uno.esito, EsitoImport::Completato);
        EXPECT_EQ(uno.contatori.falliti, qint64(c.falliscono.size() + c.nonValide.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportLungo,
    ::testing::Values(
        LungoCase{"byKey", {}, {1, 256, 257, 1024, 2999}, {300, 2048}, {5, 700}},
        LungoCase{"addingOnly", {"AGGIORNA=NO"}, {2, 513, 3000}, {1, 1500}, {800}},
        LungoCase{"byKeyStoppedMidway", {}, {10}, {20}, {}, 1700},
        LungoCase{"addingOnlyStoppedAtTheStart", {"AGGIORNA=NO"}, {}, {}, {}, 2},
        LungoCase{"byKeyStoppedAfterTheLastLine", {}, {}, {}, {}, 3001},
        LungoCase{"tooManyFailures", {}, {100, 900, 1800, 2700}, {}, {}, 0, 2}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
} // namespace vardof::importcsv
