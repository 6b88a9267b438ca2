// Update scripts and the names they write: a table or field that passed the
// check is the one the statements change, even beside a name that differs
// only by case ("zone" and ZONE); names and values that look like SQL are
// refused by the check or carried as data; and nothing outside the intended
// table changes, in either database.

#include "Support.h"
#include "maintenance/ScriptAggiornamento.h"
#include "support/TableChecksum.h"

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

const QString kLunga = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"); // 31 characters: the longest name

struct NomeCase
{
    const char *nome;
    const char *origine;
    QString destinazione;
    QString script;
    bool ignora = false;
    // The run stops at the check with this message (empty: it runs).
    QString rifiuto;
    // The table the run may change, as the catalogue holds it, and what it
    // holds afterwards (ordered by its first column).
    const char *tabella = "";
    QString righe = {};
    QStringList attese = {};
    int falliti = 0;
    int ricalcoliFalliti = 0;
    bool letturaFallita = false; // the server refused the origin statement
    int righePerBlocco = 1;      // 2: the first two rows go as one block
};

void PrintTo(const NomeCase &c, std::ostream *os) { *os << c.nome; }

class ScriptNomi : public FbFixture, public ::testing::WithParamInterface<NomeCase>
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec("CREATE TABLE ORIG (CODICE INTEGER NOT NULL PRIMARY KEY, DESCR VARCHAR(60), \"Descr\" VARCHAR(60))");
        exec("CREATE TABLE \"orig\" (CODICE INTEGER NOT NULL PRIMARY KEY, DESCR VARCHAR(60))");
        exec("CREATE TABLE ALTRA (X INTEGER, Y VARCHAR(10))");
        exec("INSERT INTO ORIG VALUES (1, 'x''); DELETE FROM ZONE; --', 'misto 1')");
        exec("INSERT INTO ORIG VALUES (2, '-- commento', 'misto 2')");
        exec("INSERT INTO ORIG VALUES (3, 'a;b', 'misto 3')");
        exec("INSERT INTO \"orig\" VALUES (7, 'minuscola')");
        exec("INSERT INTO ALTRA VALUES (1, 'uno')");

        m_destPath = m_dir.file("destinazione.fdb");
        m_dest = createDatabase(m_destPath);
        execOn(m_dest, "CREATE TABLE ZONE (CODICE INTEGER NOT NULL, ALTRO INTEGER NOT NULL, DESCR VARCHAR(60), "
                       "PRIMARY KEY (CODICE, ALTRO))");
        execOn(m_dest, "CREATE TABLE \"zone\" (CODICE INTEGER NOT NULL PRIMARY KEY, DESCR VARCHAR(60), "
                       "\"Descr\" VARCHAR(60))");
        execOn(m_dest, "CREATE TABLE \"a;b--c\" (\"x;y--z\" INTEGER NOT NULL PRIMARY KEY, DESCR VARCHAR(60))");
        execOn(m_dest, "CREATE TABLE LUNGA (CODICE INTEGER NOT NULL PRIMARY KEY, " + kLunga + " VARCHAR(60))");
        execOn(m_dest, "CREATE TABLE TESTIMONE (X INTEGER, Y VARCHAR(10))");
        execOn(m_dest, "INSERT INTO ZONE VALUES (100, 1, 'maiuscola')");
        execOn(m_dest, "INSERT INTO \"zone\" VALUES (200, 'minuscola', 'misto 2')");
        execOn(m_dest, "INSERT INTO TESTIMONE VALUES (1, 'uno')");
        execOn(m_dest, "CREATE GENERATOR \"gen\"");
        execOn(m_dest, "CREATE GENERATOR GEN");
        execOn(m_dest, "SET GENERATOR GEN TO 50");
    }
    void TearDown() override
    {
        m_dest.disconnect();
        FbFixture::TearDown();
    }

    QString m_destPath;
    db::Attachment m_dest;
};

TEST_P(ScriptNomi, changeOnlyTheTableTheCheckFound)
{
    const NomeCase &c = GetParam();
    const QString tabella = QString::fromUtf8(c.tabella);
    const auto origineIntatta = impronteTabelle(att());
    const auto destinazioneIntatta = impronteTabelle(m_dest);

    EsitoAggiornamento e;
    RecordingReporter r;
    {
        AggiornamentoFDB engine(att(), tra(), testOpener());
        engine.setRighePerBlocco(c.righePerBlocco);
        ScriptFDB s;
        s.codice = 1;
        s.tabellaOrigine = QString::fromUtf8(c.origine);
        s.tabellaDestinazione = c.destinazione;
        s.archivioDestinazione = m_destPath;
        s.script = c.script;
        e = engine.esegui(s, c.ignora, r);
        EXPECT_TRUE(engine.chiudiDestinazione(&r));
    }
    if (tra().isActive())
        tra().commit();

    if (!c.rifiuto.isEmpty()) {
        EXPECT_FALSE(e.eseguito);
        EXPECT_EQ(r.log.last(), c.rifiuto);
    } else if (c.letturaFallita) {
        EXPECT_FALSE(e.eseguito);
        EXPECT_TRUE(r.log.contains("Errore durante la lettura dei dati:")) << r.log.join("\n").toStdString();
    } else {
        EXPECT_TRUE(e.eseguito) << r.log.join("\n").toStdString();
        EXPECT_EQ(e.falliti, c.falliti) << r.log.join("\n").toStdString();
        EXPECT_EQ(e.ricalcoliFalliti, c.ricalcoliFalliti) << r.log.join("\n").toStdString();
        EXPECT_EQ(e.blocchi, c.righePerBlocco > 1 ? 1 : 0);
    }
    if (!c.righe.isEmpty())
        EXPECT_EQ(column(m_dest, c.righe), c.attese);
    // Everything else, in both databases, is as it was.
    EXPECT_EQ(impronteTabelle(att()), origineIntatta);
    auto dopo = impronteTabelle(m_dest);
    auto prima = destinazioneIntatta;
    if (!tabella.isEmpty()) {
        dopo.erase(tabella);
        prima.erase(tabella);
    }
    EXPECT_EQ(dopo, prima);
}

const char *kZoneMinuscola = "SELECT CODICE || '|' || COALESCE(DESCR, '<null>') || '|' || COALESCE(\"Descr\", "
                             "'<null>') FROM \"zone\" ORDER BY CODICE";

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptNomi,
    ::testing::Values(
        // The key of "zone" is its own (CODICE), not ZONE's (CODICE, ALTRO),
        // and the rows go into "zone".
        NomeCase{"minuscola_accanto_a_maiuscola", "ORIG", "zone", "CODICE=CODICE\nDESCR=DESCR\n(AGGIUNGI=SI)", false,
                 "", "zone", kZoneMinuscola,
                 {"1|x'); DELETE FROM ZONE; --|<null>", "2|-- commento|<null>", "3|a;b|<null>", "200|minuscola|misto 2"}},
        NomeCase{"maiuscola_accanto_a_minuscola", "ORIG", "ZONE",
                 "CODICE=CODICE\nALTRO='2'\nDESCR=DESCR\n(AGGIUNGI=SI)\n(AGGIORNA=SI)", false, "", "ZONE",
                 "SELECT CODICE || '|' || ALTRO || '|' || DESCR FROM ZONE ORDER BY CODICE",
                 {"1|2|x'); DELETE FROM ZONE; --", "2|2|-- commento", "3|2|a;b", "100|1|maiuscola"}},
        NomeCase{"minuscola_accanto_a_maiuscola_a_blocchi", "ORIG", "zone",
                 "CODICE=CODICE\nDescr=DESCR\n(AGGIUNGI=SI)\n(AGGIORNA=SI)", false, "", "zone", kZoneMinuscola,
                 {"1|<null>|x'); DELETE FROM ZONE; --", "2|<null>|-- commento", "3|<null>|a;b",
                  "200|minuscola|misto 2"},
                 0, 0, false, 2},
        NomeCase{"maiuscola_accanto_a_minuscola_a_blocchi", "ORIG", "ZONE",
                 "CODICE=CODICE\nALTRO='2'\nDESCR=DESCR\n(AGGIUNGI=SI)\n(AGGIORNA=SI)", false, "", "ZONE",
                 "SELECT CODICE || '|' || ALTRO || '|' || DESCR FROM ZONE ORDER BY CODICE",
                 {"1|2|x'); DELETE FROM ZONE; --", "2|2|-- commento", "3|2|a;b", "100|1|maiuscola"}, 0, 0, false, 2},
        NomeCase{"origine_minuscola", "orig", "zone", "CODICE=CODICE\nDESCR=DESCR\n(AGGIUNGI=SI)", false, "", "zone",
                 kZoneMinuscola, {"7|minuscola|<null>", "200|minuscola|misto 2"}},
        // "Descr" and DESCR are two fields on both sides.
        NomeCase{"campi_che_differiscono_per_maiuscole", "ORIG", "zone",
                 "CODICE=CODICE\nDescr=DESCR\nDESCR=Descr\n(AGGIUNGI=SI)", false, "", "zone", kZoneMinuscola,
                 {"1|misto 1|x'); DELETE FROM ZONE; --", "2|misto 2|-- commento", "3|misto 3|a;b", "200|minuscola|misto 2"}},
        NomeCase{"aggiornamento_e_ricerca_per_campo_misto", "ORIG", "zone",
                 "LocateSecondario=Descr;\nDescr=Descr\nDESCR='aggiornata'\n(AGGIORNA=SI)\n"
                 "FiltroTab1=Descr;'misto 2';Includi",
                 false, "", "zone", kZoneMinuscola, {"200|aggiornata|misto 2"}},
        NomeCase{"nomi_con_segni_che_esistono", "ORIG", "a;b--c",
                 "x;y--z=CODICE\nDESCR=DESCR\n(AGGIUNGI=SI)\nRICALCOLACAMPOTAB2=DESCR;(DESCR || '!');(\"x;y--z\" = 2)",
                 false, "", "a;b--c", "SELECT \"x;y--z\" || '|' || DESCR FROM \"a;b--c\" ORDER BY 1",
                 {"1|x'); DELETE FROM ZONE; --", "2|-- commento!", "3|a;b"}},
        NomeCase{"costante_e_filtro_che_sembrano_sql", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR='; DELETE FROM ZONE; --'\n(AGGIUNGI=SI)\nFiltroTab1=DESCR;'-- commento';Escludi",
                 false, "", "zone", kZoneMinuscola,
                 {"1|; DELETE FROM ZONE; --|<null>", "3|; DELETE FROM ZONE; --|<null>", "200|minuscola|misto 2"}},
        NomeCase{"generatore_minuscolo", "ORIG", "LUNGA",
                 "CODICE=CODICE\n(AGGIUNGI=SI)\nPOPOLACONGENERATORE=" + kLunga + ";gen\nFiltroTab1=CODICE;'1';Includi",
                 false, "", "LUNGA", "SELECT CODICE || '|' || " + kLunga + " FROM LUNGA", {"1|1"}},
        // Refused by the check: nothing is read or written.
        NomeCase{"tabella_destinazione_con_sql", "ORIG", "ZONE; DELETE FROM \"zone\"",
                 "CODICE=CODICE\n(AGGIUNGI=SI)", false, "La tabella FDB Destinazione specificata non esiste"},
        NomeCase{"tabella_origine_con_commento", "ORIG --", "zone", "CODICE=CODICE\n(AGGIUNGI=SI)", false,
                 "La tabella FDB Origine specificata non esiste"},
        NomeCase{"tabella_tra_virgolette", "ORIG", "\"zone\"", "CODICE=CODICE\n(AGGIUNGI=SI)", false,
                 "La tabella FDB Destinazione specificata non esiste"},
        NomeCase{"tabella_lunghissima", "ORIG", QString(200, QLatin1Char('Z')), "CODICE=CODICE\n(AGGIUNGI=SI)", false,
                 "La tabella FDB Destinazione specificata non esiste"},
        NomeCase{"campo_destinazione_con_sql", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR; DELETE FROM ZONE --=DESCR\n(AGGIUNGI=SI)", false,
                 "Il campo \"DESCR;DELETEFROMZONE--\" non è stato trovato nella tabella FDB Destinazione"},
        NomeCase{"campo_origine_con_sql", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR=DESCR); DELETE FROM ALTRA; --\n(AGGIUNGI=SI)", false,
                 "Il campo \"DESCR); DELETE FROM ALTRA; --\" non è stato trovato nella tabella FDB Origine"},
        NomeCase{"campo_scritto_tra_virgolette", "ORIG", "zone", "CODICE=CODICE\n\"Descr\"=DESCR\n(AGGIUNGI=SI)",
                 false, "Il campo \"\"Descr\"\" non è stato trovato nella tabella FDB Destinazione"},
        // A name longer than any the catalogue holds would have been cut to
        // the 31 characters of an existing field.
        NomeCase{"campo_troppo_lungo", "ORIG", "LUNGA", "CODICE=CODICE\n" + kLunga + "XYZ=DESCR\n(AGGIUNGI=SI)", false,
                 "Nome di campo troppo lungo (al massimo 31 caratteri): " + kLunga + "XYZ=DESCR"},
        NomeCase{"costante_troppo_lunga", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR='" + QString(70, QLatin1Char('c')) + "'\n(AGGIUNGI=SI)", false,
                 "Costante troppo lunga (al massimo 64 caratteri): DESCR='" + QString(70, QLatin1Char('c')) + "'"},
        NomeCase{"espressione_troppo_lunga", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR=" + QString(300, QLatin1Char('D')) + "\n(AGGIUNGI=SI)", true,
                 "Espressione troppo lunga (al massimo 256 caratteri): DESCR=" + QString(300, QLatin1Char('D'))},
        NomeCase{"ricalcolo_troppo_lungo", "ORIG", "zone",
                 "CODICE=CODICE\n(AGGIUNGI=SI)\nRICALCOLACAMPOTAB2=DESCR;('x');(" + QString(600, QLatin1Char('1'))
                     + " > 0)",
                 false,
                 "Formula o filtro di ricalcolo troppo lungo (al massimo 512 caratteri): RICALCOLACAMPOTAB2=DESCR;('x');("
                     + QString(600, QLatin1Char('1')) + " > 0)"},
        // Raw SQL the user typed stays raw: the server refuses it, and nothing
        // changes.
        NomeCase{"formula_con_istruzione_in_piu", "ORIG", "zone",
                 "CODICE=CODICE\nDESCR=DESCR); DELETE FROM ALTRA; --\n(AGGIUNGI=SI)", true, "", "zone",
                 kZoneMinuscola, {"200|minuscola|misto 2"}, 0, 0, true},
        NomeCase{"filtro_di_ricalcolo_con_istruzione_in_piu", "ORIG", "zone",
                 "CODICE=CODICE\n(AGGIUNGI=SI)\nRICALCOLACAMPOTAB2=DESCR;('r');(1=1); DELETE FROM TESTIMONE", false, "",
                 "zone", kZoneMinuscola, {"1|<null>|<null>", "2|<null>|<null>", "3|<null>|<null>", "200|minuscola|misto 2"},
                 0, 1}));

TEST_F(ScriptNomi, statementsNameWhatTheCatalogueHolds)
{
    AggiornamentoFDB engine(att(), tra(), testOpener());
    RecordingReporter r;
    ScriptFDB s;
    s.tabellaOrigine = "orig";
    s.tabellaDestinazione = "zone";
    s.archivioDestinazione = m_destPath;
    s.script = "CODICE=CODICE\nDescr=DESCR\nFiltroTab1=DESCR;'a';Escludi\n(AGGIUNGI=SI)";
    QString message;
    ASSERT_EQ(engine.ControllaValiditaScript(s, false, r, message), 0) << message.toStdString();
    EXPECT_EQ(engine.testoOrigine(),
              (QStringList{"SELECT", "(\"CODICE\") AS \"CODICE\"", ",", "(\"DESCR\") AS \"Descr\"", "FROM \"orig\"",
                           "WHERE", "((\"DESCR\"<>'a')OR(", "\"DESCR\" IS NULL))"}));
    engine.chiudiDestinazione();
}

} // namespace
