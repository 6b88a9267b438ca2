// Update scripts: the language, the validity check and the run, on two
// real embedded databases.

#include "Support.h"
#include "maintenance/ScriptAggiornamento.h"

#include <functional>
#include <utility>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

// ---- the language -------------------------------------------------------------

struct LineCase
{
    const char *line;
    char tipo;
    const char *nome;
    const char *valore;
    const char *costante;
    const char *inclEscl;
};

class ScriptLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(ScriptLine, isReadIntoOneScriptRow)
{
    const LineCase &c = GetParam();
    const ScriptAnalizzato s = analizzaScript({QString::fromUtf8(c.line)}, nullptr);
    ASSERT_EQ(s.righe.size(), 1u);
    const RigaScript &r = s.righe.front();
    EXPECT_EQ(r.Tipo, QLatin1Char(c.tipo));
    EXPECT_EQ(r.Nome, QString::fromUtf8(c.nome));
    EXPECT_EQ(r.Valore, QString::fromUtf8(c.valore));
    EXPECT_EQ(r.Costante, QString::fromUtf8(c.costante));
    EXPECT_EQ(r.InclEscl, QString::fromUtf8(c.inclEscl));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptLine,
    ::testing::Values(LineCase{"(AGGIORNA=SI)", 'D', "AGGIORNA", "SI", "", ""},
                      LineCase{"(aggiungi=si)", 'D', "AGGIUNGI", "SI", "", ""},
                      LineCase{"(AGGIUNGI=NO)", 'D', "AGGIUNGI", "NO", "", ""},
                      LineCase{"Descrizione=AGGIUNGI", 'A', "Descrizione", "AGGIUNGI", "", ""},
                      LineCase{"FiltroTab1=CODICEFORN;'0272';Includi", 'F', "FILTROTAB1", "CODICEFORN", "0272", "I"},
                      LineCase{"filtrotab2 = STA TO ;'A';escludi", 'F', "FILTROTAB2", "STATO", "A", "E"},
                      LineCase{"FiltroTab2=STATO;'A';forse", 'F', "FILTROTAB2", "STATO", "A", ""},
                      LineCase{"Perc Sconto2='30'", 'A', "PercSconto2", "", "30", ""},
                      LineCase{"Prezzo=PREZZO-(PREZZO/100*SCONTO1)", 'A', "Prezzo", "PREZZO-(PREZZO/100*SCONTO1)", "", ""},
                      LineCase{"Stato=CASE WHEN X=1 THEN 'A' ELSE 'B' END", 'A', "Stato", "", "A", ""}));

TEST(ScriptAnalizzatoTest, recalculationsLocateAndGeneratorAreSplitAsWritten)
{
    const ScriptAnalizzato s = analizzaScript(
        {"RICALCOLACAMPOTAB2=PercSconto2;(((PercSconto2+PercSconto2)/2)+15);((PercSconto2='30')AND(F='0272'))",
         "LocateSecondario=Codice2,Altro;", "POPOLACONGENERATORE=ID;IDTAB2COUNTER", "Codice2=CodiceIB", "Riga inutile"},
        nullptr);
    ASSERT_EQ(s.ricalcoli.size(), 1u);
    EXPECT_EQ(s.ricalcoli[0].NomeCampo, "PercSconto2");
    EXPECT_EQ(s.ricalcoli[0].Formula, "(((PercSconto2+PercSconto2)/2)+15)");
    EXPECT_EQ(s.ricalcoli[0].Filtro, "((PercSconto2='30')AND(F='0272'))");
    EXPECT_TRUE(s.locateSecondario);
    ASSERT_EQ(s.locate.size(), 2u);
    EXPECT_EQ(s.locate[0].CampoFDB2, "Codice2");
    EXPECT_EQ(s.locate[0].Trovato, 1);
    EXPECT_EQ(s.locate[1].CampoFDB2, "Altro");
    EXPECT_EQ(s.locate[1].Trovato, 0);
    EXPECT_EQ(s.campoGenerato, "ID");
    EXPECT_EQ(s.generatore, "IDTAB2COUNTER");
    EXPECT_EQ(s.numeroAssegnazioni, 1);
    EXPECT_FALSE(s.aggiorna());
}

TEST(ScriptAnalizzatoTest, everyKeyAssignmentMakesAKeyPairAndTextsAreCut)
{
    const ScriptAnalizzato s = analizzaScript(
        {"CODICE=CODICE", "CODICE=ALTRO", "NOTE='" + QString(100, 'x') + "'", "FiltroTab1=A;'1';Includi"},
        [](const QString &f) { return f == "CODICE"; });
    ASSERT_EQ(s.chiavi.size(), 2u);
    EXPECT_EQ(s.chiavi[1].CampoFDB1, "ALTRO");
    EXPECT_EQ(s.chiavi[1].CampoFDB2, "CODICE");
    EXPECT_EQ(s.righe[2].Costante.size(), 64);
    EXPECT_EQ(s.numeroAssegnazioni, 3);
    EXPECT_EQ(s.numeroFiltriOrigine, 1);
}

// ---- literals -------------------------------------------------------------------

struct LiteralCase
{
    int typeCode;
    int scale;
    db::FieldValue value;
    const char *literal;
};

class Literal : public ::testing::TestWithParam<LiteralCase>
{
};

TEST_P(Literal, carriesTheValueFaithfully)
{
    db::Column c;
    c.typeCode = GetParam().typeCode;
    c.scale = GetParam().scale;
    EXPECT_EQ(InserimentoValoreSQL(c, GetParam().value), QString::fromUtf8(GetParam().literal));
}

INSTANTIATE_TEST_SUITE_P(
    Values, Literal,
    ::testing::Values(LiteralCase{db::TypeVarchar, 0, db::Value(QString("O'Brien")), "'O''Brien'"},
                      LiteralCase{db::TypeVarchar, 0, db::Value(QString()), "NULL"},
                      LiteralCase{db::TypeVarchar, 0, std::nullopt, "NULL"},
                      LiteralCase{db::TypeDouble, 0, db::Value(12.5), "'12.5'"},
                      LiteralCase{db::TypeBigint, 2, db::Value(db::Decimal{-123456, 2}), "'-1234.56'"},
                      LiteralCase{db::TypeInteger, 0, db::Value(qint64(42)), "'42'"},
                      LiteralCase{db::TypeDate, 0, db::Value(QDate(2020, 1, 31)), "'01/31/2020'"},
                      LiteralCase{db::TypeTime, 0, db::Value(QTime(7, 5, 9)), "'07:05:09'"},
                      LiteralCase{db::TypeTimestamp, 0, db::Value(QDateTime(QDate(2024, 3, 25), QTime(13, 0, 1))),
                                  "'03/25/2024 13:00:01'"}));

// ---- check and run on two databases -------------------------------------------------

class ScriptDbTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec("CREATE TABLE ORIG (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40), PREZZO DOUBLE "
             "PRECISION, STATO CHAR(1), DATA DATE, FORN VARCHAR(5), CODICE2 VARCHAR(10))");
        m_destPath = m_dir.file("destinazione.fdb");
        m_dest = createDatabase(m_destPath);
        execOn(m_dest, "CREATE TABLE DEST (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40), PREZZO "
                       "NUMERIC(15,2), STATO CHAR(1), DATA DATE, ID INTEGER, SCONTO INTEGER, CODICE2 VARCHAR(10))");
        execOn(m_dest, "CREATE GENERATOR GEN_DEST");
        m_engine = std::make_unique<AggiornamentoFDB>(att(), tra(), testOpener());
    }
    void TearDown() override
    {
        m_engine.reset();
        m_dest.disconnect();
        FbFixture::TearDown();
    }
    ScriptFDB script(const QString &text, const QString &origine = "ORIG", const QString &dest = "DEST")
    {
        ScriptFDB s;
        s.codice = 1;
        s.tabellaOrigine = origine;
        s.tabellaDestinazione = dest;
        s.archivioDestinazione = m_destPath;
        s.script = text;
        return s;
    }
    // What the run wrote is committed when the engine lets the destination go.
    QStringList destRows(const QString &sql = "SELECT CODICE || '|' || COALESCE(DESCRIZIONE,'<null>') || '|' || "
                                              "COALESCE(PREZZO,'') || '|' || COALESCE(STATO,'') || '|' || "
                                              "COALESCE(DATA,'') || '|' || COALESCE(ID,'') || '|' || "
                                              "COALESCE(SCONTO,'') FROM DEST ORDER BY CODICE")
    {
        m_engine->chiudiDestinazione();
        return column(m_dest, sql);
    }

    QString m_destPath;
    db::Attachment m_dest;
    std::unique_ptr<AggiornamentoFDB> m_engine;
};

struct CheckCase
{
    const char *script;
    const char *origine;
    const char *destinazione;
    bool ignora;
    int result;
    const char *message;
};

class ControllaValidita : public ScriptDbTest, public ::testing::WithParamInterface<CheckCase>
{
};

TEST_P(ControllaValidita, answersWithTheFirstProblem)
{
    const CheckCase &c = GetParam();
    RecordingReporter r;
    QString message;
    const int result = m_engine->ControllaValiditaScript(
        script(QString::fromUtf8(c.script), QString::fromUtf8(c.origine), QString::fromUtf8(c.destinazione)), c.ignora,
        r, message);
    EXPECT_EQ(result, c.result) << message.toStdString();
    EXPECT_EQ(message, QString::fromUtf8(c.message));
    EXPECT_TRUE(r.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControllaValidita,
    ::testing::Values(
        CheckCase{"", "ORIG", "DEST", false, -1, "Non è stato scritto uno script"},
        CheckCase{"CODICE=CODICE", "", "DEST", false, -1, "Non è stata specificata nessuna tabella FDB Origine"},
        CheckCase{"CODICE=CODICE", "ORIG", "", false, -1, "Non è stata specificata nessuna tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE", "NIENTE", "DEST", false, -1, "La tabella FDB Origine specificata non esiste"},
        CheckCase{"CODICE=CODICE", "ORIG", "NIENTE", false, -1, "La tabella FDB Destinazione specificata non esiste"},
        CheckCase{"parole a caso", "ORIG", "DEST", false, -1,
                  "Script invalido: non è stata riconosciuta nessuna indicazione"},
        CheckCase{"DESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Script incompleto: non è stato coinvolto nessun campo chiave nelle assegnazioni o in alternativa "
                  "non risulta implementato un locate secondario"},
        CheckCase{"CODICE=CODICE\nCODICE=CODICE\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Script incompleto: è necessario coinvolgere tutti i campi chiave della Tabella FDB Destinazione"},
        CheckCase{"LocateSecondario=DESCRIZIONE;\nPREZZO=PREZZO\n(AGGIORNA=SI)", "ORIG", "DEST", false, -1,
                  "Script incompleto: non tutti i campi del LocateSecondario sono presenti nell'elenco delle "
                  "assegnazioni"},
        CheckCase{"CODICE=CODICE\nDESCRIZIONE=\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Il campo DESCRIZIONE non è stato associato a nessun campo o costante"},
        CheckCase{"CODICE=CODICE\ndescrizione=DESCRIZIONE\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Il campo \"descrizione\" non è stato trovato nella tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE\nPREZZO=PREZZO*2\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Il campo \"PREZZO*2\" non è stato trovato nella tabella FDB Origine"},
        CheckCase{"CODICE=CODICE\nPREZZO=PREZZO*2\n(AGGIUNGI=SI)", "ORIG", "DEST", true, 0, ""},
        CheckCase{"CODICE=CODICE\nFiltroTab2=NIENTE;'A';Escludi\n(AGGIORNA=SI)", "ORIG", "DEST", true, -1,
                  "Il campo \"NIENTE\" non è stato trovato nella tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE\nFiltroTab1=NIENTE;'A';Includi\n(AGGIORNA=SI)", "ORIG", "DEST", false, -1,
                  "Il campo \"NIENTE\" non è stato trovato nella tabella FDB Origine"},
        CheckCase{"CODICE=CODICE\nFiltroTab1=NIENTE;'A';Includi\n(AGGIORNA=SI)", "ORIG", "DEST", true, 0, ""},
        CheckCase{"CODICE=CODICE\nRICALCOLACAMPOTAB2=NIENTE;(1);(1=1)\n(AGGIORNA=SI)", "ORIG", "DEST", false, -1,
                  "Il campo \"NIENTE\" non è stato trovato nella tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE\nPOPOLACONGENERATORE=NIENTE;GEN_DEST\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Il campo \"NIENTE\" non è stato trovato nella tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE\nPOPOLACONGENERATORE=ID;NOGEN\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Il generatore \"NOGEN\" non è stato trovato nella tabella FDB Destinazione"},
        CheckCase{"CODICE=CODICE\nFiltroTab1=FORN;'A'\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Filtro incompleto (servono campo, valore e Includi o Escludi): FiltroTab1=FORN;'A'"},
        CheckCase{"CODICE=CODICE\nSTATO='A\n(AGGIUNGI=SI)", "ORIG", "DEST", false, -1,
                  "Costante senza apice di chiusura: STATO='A"},
        CheckCase{"CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=NO)", "ORIG", "DEST", false, 1,
                  "Nessuna condizione di AGGIORNA o AGGIUNGI - questo script non farà nulla"},
        CheckCase{"LocateSecondario=CODICE2;\nCODICE2=CODICE2\n(AGGIORNA=SI)", "ORIG", "DEST", false, 0, ""},
        CheckCase{"CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nSTATO='A'\nPOPOLACONGENERATORE=ID;GEN_DEST\n"
                  "(AGGIUNGI=SI)\n(AGGIORNA=SI)",
                  "ORIG", "DEST", false, 0, ""}));

TEST_F(ScriptDbTest, missingDestinationArchiveIsToldAndBlocks)
{
    RecordingReporter r;
    QString message = "x";
    ScriptFDB s = script("CODICE=CODICE");
    s.archivioDestinazione = m_dir.file("manca.fdb");
    EXPECT_EQ(m_engine->ControllaValiditaScript(s, false, r, message), -1);
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(r.messages, QStringList{"W:L'Archivio FDB Destinazione impostato è inesistente"});
    s.archivioDestinazione.clear();
    m_engine->ControllaValiditaScript(s, false, r, message);
    EXPECT_EQ(r.messages.last(), "W:Archivio FDB Destinazione non impostato");
}

TEST_F(ScriptDbTest, fullScriptWithFilterGeneratorAndRecalculations)
{
    exec("INSERT INTO ORIG VALUES (1, 'O''Brien', 12.5, 'A', '2020-01-31', '0272', NULL)");
    exec("INSERT INTO ORIG VALUES (2, '', 3.25, NULL, NULL, '0272', NULL)");
    exec("INSERT INTO ORIG VALUES (3, 'altro fornitore', 1, 'A', NULL, '0999', NULL)");
    exec("INSERT INTO ORIG VALUES (4, 'esistente nuovo', 7, 'B', NULL, '0272', NULL)");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE, PREZZO, ID) VALUES (4, 'esistente vecchio', 1, 99)");
    execOn(m_dest, "SET GENERATOR GEN_DEST TO 10");

    RecordingReporter r;
    const EsitoAggiornamento e = m_engine->esegui(
        script("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO*2\nSTATO=STATO\nDATA=DATA\nSCONTO='30'\n"
               "(AGGIORNA=SI)\n(AGGIUNGI=SI)\nFiltroTab1=FORN;'0272';Includi\n"
               "POPOLACONGENERATORE=ID;GEN_DEST\n"
               "RICALCOLACAMPOTAB2=SCONTO;(((SCONTO+SCONTO)/2)+15);(SCONTO=30)\n"
               "RICALCOLACAMPOTAB2=SCONTO;(SCONTO+1);(SCONTO=45)"),
        true, r);
    EXPECT_TRUE(e.eseguito);
    EXPECT_EQ(e.aggiunti, 2);
    EXPECT_EQ(e.aggiornati, 1);
    EXPECT_EQ(e.falliti, 0);
    EXPECT_EQ(r.log.mid(r.log.size() - 6),
              (QStringList{"Elaborazione terminata", "", "Record aggiornati: 1", "Record aggiunti: 2",
                           "Record falliti: 0", "Totale record elaborati: 3"}));
    EXPECT_TRUE(r.log.contains("Esecuzione Ricalcolo Campo Destinazione n° 2"));
    EXPECT_TRUE(r.log.contains("RICALCOLACAMPOTAB2=SCONTO eseguita con successo!"));
    EXPECT_EQ(r.lastProgress, 100);
    // The quote arrives as typed, an empty text as NULL, 12,5 * 2 as 25.
    EXPECT_EQ(destRows(), (QStringList{"1|O'Brien|25.00|A|2020-01-31|11|46", "2|<null>|6.50| ||12|46",
                                       "4|esistente nuovo|14.00|B||99|46"}));
}

TEST_F(ScriptDbTest, destinationFilterLeavesExcludedRowsAloneAndUncounted)
{
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (1, 'nuova 1')");
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (2, 'nuova 2')");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE, STATO) VALUES (1, 'vecchia 1', 'A')");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE, STATO) VALUES (2, 'vecchia 2', 'B')");
    RecordingReporter r;
    const EsitoAggiornamento e = m_engine->esegui(
        script("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIORNA=SI)\nFiltroTab2=STATO;'A';Escludi"), false, r);
    EXPECT_EQ(e.aggiornati, 1);
    EXPECT_EQ(e.totale(), 1);
    EXPECT_TRUE(r.log.contains("Record aggiornati: 1"));
    EXPECT_FALSE(r.log.contains("Record aggiunti: 0")); // adding is off: no line for it
    EXPECT_EQ(destRows("SELECT DESCRIZIONE FROM DEST ORDER BY CODICE"), (QStringList{"vecchia 1", "nuova 2"}));
}

TEST_F(ScriptDbTest, withoutUpdatingExistingRowsCountAsAlreadyPresent)
{
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (1, 'nuova')");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE) VALUES (1, 'vecchia')");
    RecordingReporter r;
    const EsitoAggiornamento e = m_engine->esegui(script("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=SI)"), false, r);
    EXPECT_EQ(e.giaPresenti, 1);
    EXPECT_TRUE(r.log.contains("Record già presenti: 1"));
    EXPECT_EQ(destRows("SELECT DESCRIZIONE FROM DEST"), QStringList{"vecchia"});
}

TEST_F(ScriptDbTest, aNullLocatingValueUpdatesTheRowTheLookupFound)
{
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE, CODICE2) VALUES (1, 'da origine', NULL)");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE, CODICE2) VALUES (50, 'vecchia', NULL)");
    RecordingReporter r;
    const EsitoAggiornamento e = m_engine->esegui(
        script("LocateSecondario=CODICE2;\nCODICE2=CODICE2\nDESCRIZIONE=DESCRIZIONE\n(AGGIORNA=SI)"), false, r);
    EXPECT_EQ(e.aggiornati, 1);
    EXPECT_EQ(destRows("SELECT DESCRIZIONE FROM DEST"), QStringList{"da origine"});
}

TEST_F(ScriptDbTest, secondaryLocateWithFilterGeneratorAndRecalculation)
{
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE, FORN, CODICE2) VALUES (1, 'trovata', 'A', 'K1')");
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE, FORN, CODICE2) VALUES (2, 'nuova', NULL, 'K2')");
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE, FORN, CODICE2) VALUES (3, 'esclusa', 'X', 'K3')");
    execOn(m_dest, "INSERT INTO DEST (CODICE, DESCRIZIONE, CODICE2, ID) VALUES (100, 'vecchia', 'K1', 1)");
    execOn(m_dest, "SET GENERATOR GEN_DEST TO 40");
    RecordingReporter r;
    const EsitoAggiornamento e = m_engine->esegui(
        script("LocateSecondario=CODICE2;\nCODICE2=CODICE2\nDESCRIZIONE=DESCRIZIONE\nCODICE=CODICE+10\n"
               "(AGGIORNA=SI)\n(AGGIUNGI=SI)\nFiltroTab1=FORN;'X';Escludi\nPOPOLACONGENERATORE=ID;GEN_DEST\n"
               "RICALCOLACAMPOTAB2=SCONTO;(ID*2);(ID > 1)"),
        true, r);
    EXPECT_EQ(e.aggiornati, 1);
    EXPECT_EQ(e.aggiunti, 1);
    EXPECT_EQ(destRows("SELECT CODICE || '|' || DESCRIZIONE || '|' || CODICE2 || '|' || ID || '|' || COALESCE(SCONTO, '') "
                       "FROM DEST ORDER BY CODICE2"),
              (QStringList{"11|trovata|K1|1|", "12|nuova|K2|41|82"}));
}

TEST_F(ScriptDbTest, aFailedRowIsReportedAndTheOthersStay)
{
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (1, 'uno')");
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE, PREZZO) VALUES (2, 'troppo', 1e20)");
    exec("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (3, 'tre')");
    RecordingReporter r;
    const EsitoAggiornamento e =
        m_engine->esegui(script("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)"), false, r);
    EXPECT_EQ(e.aggiunti, 2);
    EXPECT_EQ(e.falliti, 1);
    const int at = int(r.log.indexOf("Errore durante la scrittura dei dati:"));
    ASSERT_GE(at, 0);
    EXPECT_TRUE(r.log[at + 1].startsWith("INSERT INTO \"DEST\" ("));
    EXPECT_EQ(r.log[at + 2], "Il record che non è stato possibile inserire è individuabile nella tabella Firebird "
                             "Origine secondo i seguenti criteri:");
    EXPECT_EQ(r.log[at + 3], "CODICE = 2");
    EXPECT_EQ(destRows("SELECT DESCRIZIONE FROM DEST ORDER BY CODICE"), (QStringList{"uno", "tre"}));
}

TEST_F(ScriptDbTest, aGeneratedFieldAlsoAssignedFailsEveryInsert)
{
    exec("INSERT INTO ORIG (CODICE) VALUES (1)");
    RecordingReporter r;
    const EsitoAggiornamento e =
        m_engine->esegui(script("CODICE=CODICE\nID=CODICE\nPOPOLACONGENERATORE=ID;GEN_DEST\n(AGGIUNGI=SI)"), false, r);
    EXPECT_EQ(e.falliti, 1);
    EXPECT_EQ(e.aggiunti, 0);
}

TEST_F(ScriptDbTest, interruptionStopsRowsAndRecalculations)
{
    for (int i = 1; i <= 5; ++i)
        exec(QStringLiteral("INSERT INTO ORIG (CODICE) VALUES (%1)").arg(i));
    RecordingReporter r;
    r.interruptAfter = 2;
    const EsitoAggiornamento e = m_engine->esegui(
        script("CODICE=CODICE\n(AGGIUNGI=SI)\nRICALCOLACAMPOTAB2=SCONTO;(1);(1=1)"), false, r);
    EXPECT_TRUE(e.interrotto);
    EXPECT_EQ(e.aggiunti, 2);
    EXPECT_FALSE(r.log.contains("Esecuzione Ricalcolo Campo Destinazione n° 1"));
    EXPECT_TRUE(r.log.contains("Elaborazione interrotta"));
}

// A reporter that does something of its own at a given point of the run.
class HookReporter : public RecordingReporter
{
public:
    void keepAlive() override
    {
        if (onKeepAlive)
            std::exchange(onKeepAlive, nullptr)();
    }
    bool interruptRequested() override
    {
        ++rowsAsked;
        if (onRow)
            onRow(rowsAsked);
        return false;
    }
    std::function<void()> onKeepAlive;
    std::function<void(int)> onRow;
    int rowsAsked = 0;
};

TEST_F(ScriptDbTest, whatWouldReopenTheDestinationIsRefusedDuringARun)
{
    for (int i = 1; i <= 5; ++i)
        exec(QStringLiteral("INSERT INTO ORIG (CODICE, DESCRIZIONE) VALUES (%1, 'riga %1')").arg(i));
    const ScriptFDB s = script("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\n(AGGIUNGI=SI)\n"
                               "RICALCOLACAMPOTAB2=SCONTO;(7);(CODICE>2)");
    HookReporter r;
    HookReporter inner;
    int check = 0;
    bool reconnected = true, closed = true;
    EsitoAggiornamento second;
    QString message;
    // Called between the rows and the recalculation, with the rows written
    // and not committed: a check, a table choice, a close or a second run.
    r.onKeepAlive = [&] {
        EXPECT_TRUE(m_engine->inEsecuzione());
        check = m_engine->ControllaValiditaScript(s, false, inner, message);
        reconnected = m_engine->ConnessioneDatabaseDestinazione(m_destPath, inner);
        closed = m_engine->chiudiDestinazione(&inner);
        second = m_engine->esegui(s, false, inner);
    };
    const EsitoAggiornamento e = m_engine->esegui(s, false, r);

    EXPECT_EQ(check, -1);
    EXPECT_EQ(message, avvisoElaborazioneInCorso());
    EXPECT_FALSE(reconnected);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(second.eseguito);
    EXPECT_TRUE(inner.log.isEmpty());
    EXPECT_EQ(inner.messages, QStringList(3, "W:" + avvisoElaborazioneInCorso()));
    EXPECT_EQ(message, "Elaborazione in corso.\nPer fermare l'elaborazione premere il tasto Interrompi");

    EXPECT_FALSE(m_engine->inEsecuzione());
    EXPECT_EQ(e.aggiunti, 5);
    EXPECT_TRUE(r.log.contains("RICALCOLACAMPOTAB2=SCONTO eseguita con successo!"));
    EXPECT_EQ(destRows(), (QStringList{"1|riga 1|| |||", "2|riga 2|| |||", "3|riga 3|| |||7", "4|riga 4|| |||7",
                                       "5|riga 5|| |||7"}));
}

TEST_F(ScriptDbTest, aLostDestinationEndsTheRunAtItsFirstFailure)
{
    for (int i = 1; i <= 6; ++i)
        exec(QStringLiteral("INSERT INTO ORIG (CODICE) VALUES (%1)").arg(i));
    HookReporter r;
    // Before the third row the destination's connection is killed, as a
    // server shutting down would.
    r.onRow = [&](int row) {
        if (row == 3)
            execOn(m_dest, "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
    };
    const EsitoAggiornamento e =
        m_engine->esegui(script("CODICE=CODICE\n(AGGIUNGI=SI)\nRICALCOLACAMPOTAB2=SCONTO;(1);(1=1)"), false, r);

    EXPECT_TRUE(e.connessionePersa);
    EXPECT_EQ(e.aggiunti, 2);
    EXPECT_EQ(e.falliti, 1);
    EXPECT_EQ(r.rowsAsked, 3);
    EXPECT_EQ(r.log.count("Errore durante la ricerca del record nella tabella FDB Destinazione:"), 1)
        << r.log.join("\n").toStdString();
    const int at = int(r.log.indexOf("Connessione all'Archivio FDB Destinazione persa: i record scritti da questa "
                                     "elaborazione non sono stati confermati"));
    ASSERT_GE(at, 0) << r.log.join("\n").toStdString();
    EXPECT_FALSE(r.log[at + 1].isEmpty()); // the server's reason
    EXPECT_FALSE(r.log.contains("Esecuzione Ricalcolo Campo Destinazione n° 1"));
    EXPECT_TRUE(r.log.contains("Elaborazione interrotta"));
    EXPECT_TRUE(r.log.contains("Record falliti: 1"));

    // The killed connection took the run's writes with it, and the next
    // check starts from a fresh one.
    EXPECT_TRUE(destRows().isEmpty());
    QString message;
    EXPECT_EQ(m_engine->ControllaValiditaScript(script("CODICE=CODICE\n(AGGIUNGI=SI)"), false, r, message), 0)
        << message.toStdString();
}

TEST_F(ScriptDbTest, aCommitThatFailsAfterTheRunIsTold)
{
    exec("INSERT INTO ORIG (CODICE) VALUES (1)");
    RecordingReporter r;
    EXPECT_EQ(m_engine->esegui(script("CODICE=CODICE\n(AGGIUNGI=SI)"), false, r).aggiunti, 1);
    // The connection goes before the writes were committed.
    execOn(m_dest, "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
    EXPECT_FALSE(m_engine->chiudiDestinazione(&r));
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_TRUE(r.messages[0].startsWith(
        "E:Errore durante la conferma dei dati scritti nell'Archivio FDB Destinazione:\n"))
        << r.messages[0].toStdString();
    EXPECT_GT(r.messages[0].size(), 80); // the server's reason follows
    EXPECT_TRUE(destRows().isEmpty());
}

TEST_F(ScriptDbTest, blockingCheckAndRefusedWarningEndBeforeReading)
{
    RecordingReporter r;
    EsitoAggiornamento e = m_engine->esegui(script("DESCRIZIONE=DESCRIZIONE"), false, r);
    EXPECT_FALSE(e.eseguito);
    EXPECT_EQ(r.log.first(), "Inizio controllo validità script...");
    EXPECT_TRUE(r.log.last().startsWith("Script incompleto"));

    RecordingReporter no;
    no.answer = false;
    e = m_engine->esegui(script("CODICE=CODICE"), false, no);
    EXPECT_FALSE(e.eseguito);
    EXPECT_EQ(no.messages, QStringList{"QW:Attenzione:\n\nNessuna condizione di AGGIORNA o AGGIUNGI - questo script "
                                       "non farà nulla\n\nContinuare lo stesso?"});
}

TEST_F(ScriptDbTest, aFailingOriginStatementIsShownWithTheServerText)
{
    exec("INSERT INTO ORIG (CODICE) VALUES (1)");
    RecordingReporter r;
    const EsitoAggiornamento e =
        m_engine->esegui(script("CODICE=CODICE\nDESCRIZIONE=NONESISTE+1\n(AGGIUNGI=SI)"), true, r);
    EXPECT_FALSE(e.eseguito);
    const int at = int(r.log.indexOf("Errore durante la lettura dei dati:"));
    ASSERT_GE(at, 0);
    // Names the catalogue has go quoted as it holds them; the formula as typed.
    EXPECT_EQ(r.log[at + 2],
              "SELECT\n(\"CODICE\") AS \"CODICE\"\n,\n(NONESISTE+1) AS \"DESCRIZIONE\"\nFROM \"ORIG\"");
    EXPECT_TRUE(r.log[at + 4].contains("NONESISTE"));
}

TEST_F(ScriptDbTest, originFilterExcludeKeepsNullsAndOthers)
{
    const ScriptAnalizzato s = analizzaScript({"A=B", "FiltroTab1=FORN;'X';Escludi", "FiltroTab1=STATO;'A';Includi"},
                                              nullptr);
    RecordingReporter r;
    QString m;
    m_engine->ControllaValiditaScript(
        script("CODICE=CODICE\nFiltroTab1=FORN;'X';Escludi\nFiltroTab1=STATO;'A';Includi\n(AGGIUNGI=SI)"), false, r, m);
    EXPECT_EQ(m_engine->testoOrigine(),
              (QStringList{"SELECT", "(\"CODICE\") AS \"CODICE\"", "FROM \"ORIG\"", "WHERE", "((\"FORN\"<>'X')OR(",
                           "\"FORN\" IS NULL))", "AND", "(\"STATO\"='A')"}));
    EXPECT_EQ(s.numeroFiltriOrigine, 2);
}

} // namespace
