// Update-script rows sent to the destination in blocks against the same
// rows sent one by one: the log the user reads, every counter and the rows
// left in the destination must be the same, whatever row of a block fails.
// Built twice: on the embedded engine (test_maintenance) and with the
// destination on the private server (test_maintenance_server, with
// VARDOF_SCRIPT_SU_SERVER).

#include "Support.h"
#include "maintenance/ScriptAggiornamento.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <set>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

constexpr int kBlocco = 8;

struct BloccoCase
{
    const char *nome;
    const char *script;
    int righe = 30;                // origin codes 1..righe
    std::set<int> falliscono;      // codes whose price breaks the destination's check
    int esistentiOgni = 0;         // destination holds the codes divisible by this (0: none)
    int righePerBlocco = kBlocco;
    int interrompiDopo = -1;       // rows let through before the stop is asked
    bool ignoraOrigine = false;
    bool generatore = false;       // the script fills ID from GEN_DEST
    int blocchiAttesi = -1;        // blocks the destination took whole (-1: at least one)
    int nota = 0;                  // characters of every row's NOTE (0: NULL)
    int notaLunghissima = 0;       // the code whose NOTE is too long for any block
};

void PrintTo(const BloccoCase &c, std::ostream *os) { *os << c.nome; }

struct Risultato
{
    EsitoAggiornamento esito;
    QStringList log;
    QStringList messaggi;
    QStringList righe;
    QStringList id;
};

class ScriptBlocchi : public FbFixture, public ::testing::WithParamInterface<BloccoCase>
{
protected:
    void SetUp() override
    {
#ifdef VARDOF_SCRIPT_SU_SERVER
        if (serverPrefix().isEmpty())
            GTEST_SKIP() << "no private server (VARDOF_TEST_FB_PORT unset)";
#endif
        FbFixture::SetUp();
        exec("CREATE TABLE ORIG (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40), "
             "PREZZO DOUBLE PRECISION, CODICE2 VARCHAR(10), NOTA VARCHAR(30000), DATA DATE, MOMENTO TIMESTAMP, "
             "QTA NUMERIC(15,3), SIGLA CHAR(6), INTERO VARCHAR(12))");
#ifdef VARDOF_SCRIPT_SU_SERVER
        m_destPath = QDir(serverDir()).filePath(
            QStringLiteral("blocchi_script_%1.fdb").arg(QCoreApplication::applicationPid()));
        QFile::remove(m_destPath);
        m_login = db::loginParams(QStringLiteral("SYSDBA"), serverPassword());
        m_prefix = serverPrefix();
        m_dest.create(m_prefix + m_destPath, m_login << QStringLiteral("PAGE_SIZE 4096"));
#else
        m_destPath = m_dir.file("destinazione.fdb");
        m_login = adminParams();
        m_dest = createDatabase(m_destPath);
#endif
        execOn(m_dest, "CREATE TABLE DEST (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40), "
                       "PREZZO NUMERIC(15,2), CODICE2 VARCHAR(10), ID INTEGER, NOTA VARCHAR(30000), DATA DATE, "
                       "MOMENTO TIMESTAMP, QTA NUMERIC(15,2), SIGLA CHAR(6), INTERO INTEGER, "
                       "CONSTRAINT DEST_PREZZO CHECK (PREZZO IS NULL OR PREZZO < 1000))");
        execOn(m_dest, "CREATE GENERATOR GEN_DEST");
    }
    void TearDown() override
    {
        if (m_dest.isConnected()) {
            try {
                m_dest.dropDatabase();
            } catch (const db::Error &) {
                m_dest.disconnect();
            }
        }
        FbFixture::TearDown();
    }

    // The origin rows, and the destination as it stands before each run.
    void origine(const BloccoCase &c)
    {
        for (int i = 1; i <= c.righe; ++i) {
            const double prezzo = c.falliscono.count(i) ? 5000 : i * 1.25;
            const int nota = i == c.notaLunghissima ? 26000 : c.nota;
            exec(QStringLiteral("INSERT INTO ORIG VALUES (%1, 'riga %1 l''apice; -- e altro', %2, %3, %4, "
                                "DATEADD(%1 DAY TO DATE '2020-01-30'), "
                                "DATEADD(%1 * 1001 MILLISECOND TO TIMESTAMP '2021-12-31 23:59:58.5'), "
                                "%1 * 1.005, 'S%1', IIF(MOD(%1, 5) = 0, ' %1 ', '%1'))")
                     .arg(i)
                     .arg(prezzo)
                     .arg(i % 7 == 0 ? QStringLiteral("NULL") : QStringLiteral("'K%1'").arg(i))
                     .arg(nota > 0 ? QStringLiteral("'%1'").arg(QString(nota, QLatin1Char('a' + i % 26)))
                                   : QStringLiteral("NULL")));
        }
    }
    void destinazioneIniziale(const BloccoCase &c)
    {
        execOn(m_dest, "DELETE FROM DEST");
        if (c.esistentiOgni > 0)
            execOn(m_dest, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                          "IF (MOD(I, %2) = 0) THEN INSERT INTO DEST (CODICE, DESCRIZIONE, PREZZO, CODICE2, "
                                          "ID, SIGLA) VALUES (:I, 'vecchia', 1, 'K' || :I, 900 + :I, 'S' || :I); "
                                          "I = I + 1; END END")
                               .arg(c.righe)
                               .arg(c.esistentiOgni));
        execOn(m_dest, "SET GENERATOR GEN_DEST TO 100");
    }

    Risultato esegui(const BloccoCase &c, int righePerBlocco)
    {
        destinazioneIniziale(c);
        Risultato out;
        {
            const QStringList login = m_login;
            const QString prefix = m_prefix;
            AggiornamentoFDB engine(att(), tra(), testOpener(login, prefix));
            engine.setRighePerBlocco(righePerBlocco);
            RecordingReporter r;
            r.interruptAfter = c.interrompiDopo;
            ScriptFDB s;
            s.codice = 1;
            s.tabellaOrigine = "ORIG";
            s.tabellaDestinazione = "DEST";
            s.archivioDestinazione = m_destPath;
            s.script = QString::fromUtf8(c.script);
            out.esito = engine.esegui(s, c.ignoraOrigine, r);
            EXPECT_TRUE(engine.chiudiDestinazione(&r));
            out.log = r.log;
            out.messaggi = r.messages;
        }
        out.righe = column(m_dest, "SELECT CODICE || '|' || COALESCE(DESCRIZIONE, '<null>') || '|' || "
                                   "COALESCE(PREZZO, '<null>') || '|' || COALESCE(CODICE2, '<null>') || '|' || "
                                   "COALESCE(CHAR_LENGTH(NOTA) || ' ' || HASH(NOTA), '<null>') || '|' || "
                                   "COALESCE(DATA, '<null>') || '|' || COALESCE(MOMENTO, '<null>') || '|' || "
                                   "COALESCE(QTA, '<null>') || '|' || COALESCE('[' || SIGLA || ']', '<null>') || '|' || "
                                   "COALESCE(INTERO, '<null>') FROM DEST ORDER BY CODICE");
        out.id = column(m_dest, "SELECT COALESCE(ID, -1) FROM DEST ORDER BY CODICE");
        return out;
    }

    QString m_destPath;
    QString m_prefix;
    QStringList m_login;
    db::Attachment m_dest;
};

TEST_P(ScriptBlocchi, giveTheSameLogCountersAndRowsAsOneByOne)
{
    const BloccoCase &c = GetParam();
    origine(c);
    const Risultato uno = esegui(c, 1);
    const Risultato blocchi = esegui(c, c.righePerBlocco);

    EXPECT_EQ(uno.esito.blocchi, 0);
    if (c.blocchiAttesi < 0)
        EXPECT_GT(blocchi.esito.blocchi, 0);
    else
        EXPECT_EQ(blocchi.esito.blocchi, c.blocchiAttesi);
    EXPECT_TRUE(uno.esito.eseguito) << uno.log.join("\n").toStdString();
    EXPECT_EQ(blocchi.log, uno.log);
    EXPECT_EQ(blocchi.messaggi, uno.messaggi);
    EXPECT_EQ(blocchi.esito.aggiornati, uno.esito.aggiornati);
    EXPECT_EQ(blocchi.esito.aggiunti, uno.esito.aggiunti);
    EXPECT_EQ(blocchi.esito.falliti, uno.esito.falliti);
    EXPECT_EQ(blocchi.esito.giaPresenti, uno.esito.giaPresenti);
    EXPECT_EQ(blocchi.esito.interrotto, uno.esito.interrotto);
    EXPECT_EQ(blocchi.esito.ricalcoliFalliti, uno.esito.ricalcoliFalliti);
    EXPECT_EQ(uno.esito.falliti, int(c.falliscono.size()));
    EXPECT_EQ(blocchi.righe, uno.righe);
    if (!c.generatore || c.falliscono.empty()) {
        EXPECT_EQ(blocchi.id, uno.id);
    } else {
        // A block undone by the server keeps the generator values it drew,
        // as a failed insert does: the rows added after it carry later
        // numbers, each still its own and in the order of the rows.
        std::set<QString> distinti(blocchi.id.begin(), blocchi.id.end());
        EXPECT_EQ(distinti.size(), size_t(blocchi.id.size()));
    }
}

// Blocks of 8: rows 1-8, 9-16, 17-24, then 25-30 one by one (too few for a block).
INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptBlocchi,
    ::testing::Values(
        BloccoCase{"aggiunte_senza_errori", "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)",
                   30, {}, 0, kBlocco, -1, false, false, 3},
        BloccoCase{"aggiunte_errore_inizio_blocco",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {1, 9}, 0, kBlocco,
                   -1, false, false, 1},
        BloccoCase{"aggiunte_errore_centro_blocco",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {12}, 0, kBlocco, -1,
                   false, false, 2},
        BloccoCase{"aggiunte_errore_fine_blocco",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {16, 24}, 0, kBlocco,
                   -1, false, false, 1},
        BloccoCase{"aggiorna_e_aggiungi_errori_inizio_centro_fine",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\nCODICE2=CODICE2\n(AGGIORNA=SI)\n"
                   "(AGGIUNGI=SI)",
                   30, {9, 12, 15, 16, 27}, 3, kBlocco, -1, false, false, 2},
        BloccoCase{"solo_aggiorna_con_righe_mancanti",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIORNA=SI)", 30, {6, 12, 14}, 2,
                   kBlocco, -1, false, false, 1},
        BloccoCase{"solo_aggiungi_righe_gia_presenti", "CODICE=CODICE\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {17, 19},
                   4, kBlocco, -1, false, false, 2},
        BloccoCase{"nessuna_scrittura", "CODICE=CODICE\nPREZZO=PREZZO\n(AGGIUNGI=NO)", 30, {}, 3, kBlocco, -1, false,
                   false, 3},
        BloccoCase{"locate_secondario_con_chiavi_nulle",
                   "LocateSecondario=CODICE2;\nCODICE2=CODICE2\nCODICE=CODICE+1000\nDESCRIZIONE=DESCRIZIONE\n"
                   "PREZZO=PREZZO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)",
                   30, {10, 11}, 3, kBlocco, -1, true, false, -1},
        BloccoCase{"costante_e_formula",
                   "CODICE=CODICE\nDESCRIZIONE='costante; -- con segni'\nPREZZO=PREZZO*2\n(AGGIORNA=SI)\n(AGGIUNGI=SI)",
                   30, {}, 5, kBlocco, -1, true, false, 3},
        BloccoCase{"generatore", "CODICE=CODICE\nPREZZO=PREZZO\nPOPOLACONGENERATORE=ID;GEN_DEST\n(AGGIUNGI=SI)", 30,
                   {}, 0, kBlocco, -1, false, true, 3},
        BloccoCase{"generatore_con_errori",
                   "CODICE=CODICE\nPREZZO=PREZZO\nPOPOLACONGENERATORE=ID;GEN_DEST\n(AGGIUNGI=SI)", 30, {11, 18}, 0,
                   kBlocco, -1, false, true, 1},
        BloccoCase{"ricalcoli_dopo_i_blocchi",
                   "CODICE=CODICE\nPREZZO=PREZZO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)\n"
                   "RICALCOLACAMPOTAB2=DESCRIZIONE;('r' || CODICE);(CODICE > 20)\n"
                   "RICALCOLACAMPOTAB2=NONESISTE;(1);(1=1)",
                   30, {3}, 2, kBlocco, -1, true, false, 2},
        BloccoCase{"interrotta_a_meta_blocco",
                   "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {19}, 0, kBlocco, 21,
                   false, false, 2},
        BloccoCase{"blocchi_da_64", "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)",
                   150, {65, 96, 128}, 2, AggiornamentoFDB::kRighePerBlocco, -1, false, false, 1},
        // Dates, times without their fraction, decimals rounded by the
        // destination, a CHAR locating key, texts into a whole-number field.
        BloccoCase{"tipi_di_valore",
                   "CODICE=CODICE\nDATA=DATA\nMOMENTO=MOMENTO\nQTA=QTA\nSIGLA=SIGLA\nINTERO=INTERO\nPREZZO=PREZZO\n"
                   "(AGGIORNA=SI)\n(AGGIUNGI=SI)",
                   30, {2, 20}, 4, kBlocco, -1, false, false, 1},
        BloccoCase{"locate_su_chiave_char",
                   "LocateSecondario=SIGLA;\nSIGLA=SIGLA\nCODICE=CODICE+100\nQTA=QTA\nDATA=DATA\nPREZZO=PREZZO\n"
                   "(AGGIORNA=SI)\n(AGGIUNGI=SI)",
                   30, {30}, 3, kBlocco, -1, true, false, 3},
        // Six rows of 7000 characters fill what a block's input may carry:
        // blocks of six. A value of 26000 characters leaves room for no
        // second row: every row goes one by one.
        BloccoCase{"righe_lunghe", "CODICE=CODICE\nNOTA=NOTA\nPREZZO=PREZZO\n(AGGIUNGI=SI)", 30, {4},
                   3, kBlocco, -1, false, false, 4, 7000, 0},
        BloccoCase{"riga_troppo_lunga_per_un_blocco",
                   "CODICE=CODICE\nNOTA=NOTA\nPREZZO=PREZZO\n(AGGIORNA=SI)\n(AGGIUNGI=SI)", 30, {}, 3, kBlocco, -1,
                   false, false, 0, 10, 12}));

// A block that fails while each of its rows, sent again on its own,
// succeeds failed for a reason of its own: the rest of the run sends no
// more blocks. Here a trigger refuses the third insert of the transaction,
// counting in a context variable that the block's undoing does not reset.
class ScriptBlocchiRinuncia : public ScriptBlocchi
{
};

TEST_F(ScriptBlocchiRinuncia, aBlockThatFailsWithoutAFailingRowEndsTheBlocks)
{
    BloccoCase c;
    c.righe = 30;
    origine(c);
    execOn(m_dest, "CREATE EXCEPTION TERZA 'terzo inserimento'");
    execOn(m_dest, "CREATE TRIGGER DEST_TERZA FOR DEST BEFORE INSERT AS DECLARE N INTEGER; BEGIN "
                   "N = COALESCE(CAST(RDB$GET_CONTEXT('USER_TRANSACTION', 'N') AS INTEGER), 0) + 1; "
                   "RDB$SET_CONTEXT('USER_TRANSACTION', 'N', N); IF (N = 3) THEN EXCEPTION TERZA; END");
    c.script = "CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=SI)";
    const Risultato r = esegui(c, kBlocco);
    EXPECT_EQ(r.esito.blocchi, 0);
    EXPECT_EQ(r.esito.aggiunti, 30);
    EXPECT_EQ(r.esito.falliti, 0);
    EXPECT_EQ(r.righe.size(), 30);
}

} // namespace
