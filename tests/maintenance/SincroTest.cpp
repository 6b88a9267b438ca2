// Fast synchronisation between three embedded databases: the work database
// keeps the list, origin and destination are files of their own.

#include "Support.h"
#include "maintenance/SincroDB.h"
#include "maintenance/StoreTables.h"

#include <functional>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

class SincroTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        assicuraStoAggSincroDbFast(att(), tra());
        tra().commit();
        m_originPath = m_dir.file("origine.fdb");
        m_destPath = m_dir.file("destinazione.fdb");
        m_origin = createDatabase(m_originPath);
        m_dest = createDatabase(m_destPath);
    }
    void TearDown() override
    {
        m_origin.disconnect();
        m_dest.disconnect();
        FbFixture::TearDown();
    }
    void store(int codice, const QString &titolo, const QString &from, const QString &to, int abilitata = 1,
               const QString &tipo = kTipoRecordMancanti)
    {
        exec(QStringLiteral("INSERT INTO STOAGGSINCRODBFAST (CODICE, TITOLO, DBORIGINE, TABELLAORIGINE, DBDESTINAZIONE, "
                            "TABELLADESTINAZIONE, TIPOELABORAZIONE, ELABORAZIONEABILITATA) VALUES (%1, '%2', '%3', "
                            "'%4', '%5', '%6', '%7', %8)")
                 .arg(codice)
                 .arg(titolo, m_originPath, from, m_destPath, to, tipo)
                 .arg(abilitata));
    }
    EsitoSincro run(RecordingReporter &r, TSincroDB::Metodo metodo = TSincroDB::Metodo::Confronto)
    {
        return eseguiSincronizzazioni(att(), tra(), testOpener(), r, &r, metodo);
    }
    QString check(const QString &from, const QString &to, const QString &tipo = kTipoRecordMancanti)
    {
        TSincroDB s(testOpener());
        s.carica({1, "t", tipo, m_originPath, from, m_destPath, to});
        try {
            s.VerificaElaborazione();
        } catch (const ErroreSincro &e) {
            return e.message();
        }
        return QString();
    }

    QString m_originPath, m_destPath;
    db::Attachment m_origin, m_dest;
};

struct ColumnCase
{
    const char *origin;
    const char *destination;
    const char *message;
};

class VerificaColonne : public SincroTest, public ::testing::WithParamInterface<ColumnCase>
{
};

TEST_P(VerificaColonne, comparesEveryOriginColumn)
{
    execOn(m_origin, QStringLiteral("CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, %1)").arg(GetParam().origin));
    execOn(m_dest, QStringLiteral("CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, %1)").arg(GetParam().destination));
    EXPECT_EQ(check("T", "T"), QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Types, VerificaColonne,
    ::testing::Values(
        ColumnCase{"C VARCHAR(30)", "C VARCHAR(20)", "Incompatibilità tipo campo \"C\" in destinazione (dimensione)"},
        ColumnCase{"C SMALLINT", "C INTEGER", "Incompatibilità campo \"C\" in destinazione (tipo dato)"},
        ColumnCase{"C CHAR(10)", "C VARCHAR(10)", ""},
        ColumnCase{"C FLOAT", "C DOUBLE PRECISION", ""},
        ColumnCase{"C DOUBLE PRECISION", "C FLOAT", "Incompatibilità tipo campo \"C\" in destinazione (precisione)"},
        ColumnCase{"C NUMERIC(15,2)", "C NUMERIC(15,1)", "Incompatibilità tipo campo \"C\" in destinazione (dimensione)"},
        ColumnCase{"C NUMERIC(15,2)", "C NUMERIC(9,2)", "Incompatibilità tipo campo \"C\" in destinazione (precisione)"},
        ColumnCase{"C NUMERIC(9,2)", "C INTEGER", "Incompatibilità campo \"C\" in destinazione (tipo dato)"},
        ColumnCase{"C BLOB SUB_TYPE TEXT", "C BLOB SUB_TYPE 0", "Incompatibilità campo \"C\" in destinazione (tipo dato)"},
        ColumnCase{"C DATE", "C TIMESTAMP", "Incompatibilità campo \"C\" in destinazione (tipo dato)"},
        ColumnCase{"C INTEGER", "D INTEGER", "Campo \"C\" origine non presente in destinazione"},
        ColumnCase{"C INTEGER", "C INTEGER, EXTRA VARCHAR(5)", ""}));

TEST_F(SincroTest, checksStopAtTheFirstMissingPiece)
{
    execOn(m_origin, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_origin, "CREATE TABLE SENZA (K INTEGER)");
    execOn(m_dest, "CREATE TABLE SENZA (K INTEGER)");
    execOn(m_dest, "CREATE TABLE SOLOD (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_origin, "CREATE TABLE SOLOD (K INTEGER NOT NULL)");

    EXPECT_EQ(check("T", "T", "ALTRO"), "Tipo elaborazione non impostata");
    EXPECT_EQ(check("", "T"), "Tabella orgine non impostata");
    EXPECT_EQ(check("T", ""), "Tabella destinazione non impostata");
    EXPECT_EQ(check("NIENTE", "T"), "Tabella origine \"NIENTE\" non trovata");
    EXPECT_EQ(check("T", "NIENTE"), "Tabella destinazione \"NIENTE\" non trovata");
    EXPECT_EQ(check("SENZA", "SENZA"), "Tabella origine priva di chiave primaria");
    EXPECT_EQ(check("T", "SENZA"), "Tabella destinazione priva di chiave primaria");
    EXPECT_EQ(check("T", "T"), "");

    TSincroDB s(testOpener());
    s.carica({1, "t", kTipoRecordMancanti, m_dir.file("manca.fdb"), "T", m_destPath, "T"});
    EXPECT_THROW(s.VerificaElaborazione(), ErroreSincro);
    try {
        s.VerificaElaborazione();
    } catch (const ErroreSincro &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Database origine \"%1\" non trovato").arg(m_dir.file("manca.fdb")));
    }
    s.carica({1, "t", kTipoRecordMancanti, m_originPath, "T", m_originPath + "x", "T"});
    try {
        s.VerificaElaborazione();
        FAIL();
    } catch (const ErroreSincro &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Database destinazione \"%1x\" non trovato").arg(m_originPath));
    }
    TSincroDB refused([](db::Attachment &, const QString &, const QString &) { return false; });
    refused.carica({1, "t", kTipoRecordMancanti, m_originPath, "T", m_destPath, "T"});
    try {
        refused.VerificaElaborazione();
        FAIL();
    } catch (const ErroreSincro &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Connessione database origine \"%1\" fallita").arg(m_originPath));
    }
}

TEST_F(SincroTest, keyFieldsInAnotherOrderAreRefusedBeforeAnyCopy)
{
    execOn(m_origin, "CREATE TABLE R (A INTEGER NOT NULL, B INTEGER NOT NULL, CONSTRAINT R_PK PRIMARY KEY (A, B))");
    execOn(m_dest, "CREATE TABLE R (A INTEGER NOT NULL, B INTEGER NOT NULL, CONSTRAINT R_PK PRIMARY KEY (B, A))");
    execOn(m_origin, "INSERT INTO R VALUES (1, 2)");
    store(1, "righe", "R", "R");
    RecordingReporter r;
    EXPECT_EQ(run(r), EsitoSincro::NonEseguibile);
    EXPECT_EQ(r.messages, QStringList{"W:Elaborazione cod. 1 (Titolo \"righe\") non eseguibile:\nIncongruità chiave "
                                      "primaria tra origine e destinazione"});
    EXPECT_EQ(r.events, (QStringList{"analisi", "fine analisi"}));
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM R"), 0);
}

TEST_F(SincroTest, aDisabledSynchronisationIsNeitherCheckedNorRun)
{
    execOn(m_origin, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, V VARCHAR(10))");
    execOn(m_dest, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, V VARCHAR(10))");
    execOn(m_origin, "INSERT INTO T VALUES (1, 'uno')");
    store(1, "", "NON_ESISTE", "T", 0);
    store(2, "", "T", "T", 1);
    RecordingReporter r;
    EXPECT_EQ(run(r), EsitoSincro::Completata);
    EXPECT_EQ(r.messages, (QStringList{"Q:Trovate 1 elaborazioni da eseguire: avviare l'esecuzione?",
                                       "I:Elaborazione completata"}));
    EXPECT_EQ(r.events, (QStringList{"analisi", "fine analisi", "esecuzione", "1/1 100%", "fine esecuzione"}));
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM T"), 1);
}

TEST_F(SincroTest, nothingEnabledAndANoAnswerCopyNothing)
{
    RecordingReporter none;
    EXPECT_EQ(run(none), EsitoSincro::Nessuna);
    EXPECT_EQ(none.messages, QStringList{"W:Nessuna elaborazione da eseguire"});

    execOn(m_origin, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_origin, "INSERT INTO T VALUES (1)");
    store(1, "", "T", "T");
    RecordingReporter no;
    no.answer = false;
    EXPECT_EQ(run(no), EsitoSincro::Annullata);
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM T"), 0);
}

class Metodi : public SincroTest, public ::testing::WithParamInterface<TSincroDB::Metodo>
{
};

TEST_P(Metodi, copyOnlyMissingKeysAndLeaveExistingRowsAsTheyAre)
{
    const char *table = "CREATE TABLE A (CODICE VARCHAR(15) NOT NULL, RIGA SMALLINT NOT NULL, PREZZO NUMERIC(15,2), "
                        "DATA DATE, NOTE BLOB SUB_TYPE TEXT, CONSTRAINT A_PK PRIMARY KEY (CODICE, RIGA))";
    execOn(m_origin, table);
    execOn(m_dest, table);
    for (int i = 1; i <= 30; ++i)
        execOn(m_origin, QStringLiteral("INSERT INTO A VALUES ('ART%1', %2, %3.25, '2024-03-%4', 'nota %1')")
                             .arg(i % 7)
                             .arg(i)
                             .arg(i)
                             .arg(i % 28 + 1));
    execOn(m_origin, "INSERT INTO A VALUES ('L''ALTRO', 1, NULL, NULL, NULL)");
    // Present already, with other values: they must stay as they are.
    execOn(m_dest, "INSERT INTO A (CODICE, RIGA, PREZZO, NOTE) VALUES ('ART1', 1, 999, 'vecchia')");
    execOn(m_dest, "INSERT INTO A (CODICE, RIGA, PREZZO, NOTE) VALUES ('ART3', 10, 999, 'vecchia')");
    execOn(m_dest, "INSERT INTO A (CODICE, RIGA, PREZZO) VALUES ('NONINORIGINE', 1, 1)");
    store(1, "articoli", "A", "A");

    RecordingReporter r;
    ASSERT_EQ(run(r, GetParam()), EsitoSincro::Completata) << r.messages.join('|').toStdString();
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM A"), 31 - 2 + 3);
    EXPECT_EQ(column(m_dest, "SELECT PREZZO || '/' || NOTE FROM A WHERE PREZZO = 999 ORDER BY RIGA"),
              (QStringList{"999.00/vecchia", "999.00/vecchia"}));
    EXPECT_EQ(column(m_dest, "SELECT CODICE || RIGA || PREZZO || DATA || NOTE FROM A WHERE CODICE='ART2' AND RIGA=9"),
              QStringList{"ART299.252024-03-10nota 2"});
    EXPECT_EQ(column(m_dest, "SELECT CODICE FROM A WHERE RIGA=1 AND PREZZO IS NULL"), QStringList{"L'ALTRO"});
}

INSTANTIATE_TEST_SUITE_P(BothWays, Metodi,
                         ::testing::Values(TSincroDB::Metodo::Confronto, TSincroDB::Metodo::ConteggioPerRiga));

TEST_F(SincroTest, keysEqualForTheServerAreEqualForTheComparison)
{
    execOn(m_origin, "CREATE TABLE C (K CHAR(8) NOT NULL PRIMARY KEY, N NUMERIC(9,2))");
    execOn(m_dest, "CREATE TABLE C (K VARCHAR(10) NOT NULL PRIMARY KEY, N NUMERIC(9,3))");
    execOn(m_origin, "INSERT INTO C VALUES ('AB', 1.5)");
    execOn(m_origin, "INSERT INTO C VALUES ('CD', 2)");
    execOn(m_dest, "INSERT INTO C VALUES ('AB', 7)");
    store(1, "", "C", "C");
    RecordingReporter r;
    ASSERT_EQ(run(r), EsitoSincro::Completata) << r.messages.join('|').toStdString();
    EXPECT_EQ(column(m_dest, "SELECT TRIM(K) || '=' || N FROM C ORDER BY K"), (QStringList{"AB=7.000", "CD=2.000"}));
}

TEST_F(SincroTest, aFailingInsertUndoesOnlyThatSynchronisation)
{
    execOn(m_origin, "CREATE TABLE OK1 (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE OK1 (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_origin, "CREATE TABLE KO (K INTEGER NOT NULL PRIMARY KEY, V INTEGER)");
    execOn(m_dest, "CREATE TABLE KO (K INTEGER NOT NULL PRIMARY KEY, V INTEGER CHECK (V < 100))");
    execOn(m_origin, "CREATE TABLE OK3 (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE OK3 (K INTEGER NOT NULL PRIMARY KEY)");
    for (const char *sql : {"INSERT INTO OK1 VALUES (1)", "INSERT INTO KO VALUES (1, 1)", "INSERT INTO KO VALUES (2, 500)",
                            "INSERT INTO OK3 VALUES (1)"})
        execOn(m_origin, sql);
    store(1, "primo", "OK1", "OK1");
    store(2, "", "KO", "KO");
    store(3, "terzo", "OK3", "OK3");

    RecordingReporter r;
    EXPECT_EQ(run(r), EsitoSincro::Fallita);
    ASSERT_EQ(r.messages.size(), 2);
    EXPECT_TRUE(r.messages[1].startsWith("W:Elaborazione cod. 2 fallita:\nINSERT SQL non riuscito\n"))
        << r.messages[1].toStdString();
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM OK1"), 1);
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM KO"), 0);
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM OK3"), 0);
    EXPECT_EQ(r.lastProgress, 0);
}

TEST_F(SincroTest, aDestinationColumnTheOriginLacksFailsTheCopy)
{
    execOn(m_origin, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, NUOVA INTEGER)");
    execOn(m_origin, "INSERT INTO T VALUES (1)");
    store(1, "", "T", "T");
    RecordingReporter r;
    EXPECT_EQ(run(r), EsitoSincro::Fallita);
    EXPECT_TRUE(r.messages.last().startsWith("W:Elaborazione cod. 1 fallita:\nINSERT SQL non riuscito"));
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM T"), 0);
}

} // namespace

namespace {

// Enough missing rows to fill several blocks of inserts, with accents,
// quotes, NULLs and text blobs on the way.
class BlocchiTest : public SincroTest
{
protected:
    void prepare(int rows)
    {
        const char *table = "CREATE TABLE B (K INTEGER NOT NULL PRIMARY KEY, T VARCHAR(30), N NUMERIC(9,2) CHECK (N < 1000), "
                            "D DATE, M BLOB SUB_TYPE TEXT)";
        execOn(m_origin, QString::fromLatin1(table).remove(" CHECK (N < 1000)"));
        execOn(m_dest, table);
        execOn(m_origin, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                        "INSERT INTO B VALUES (:I, 'perché l''a ' || :I, IIF(MOD(:I, 7) = 0, NULL, :I / 4.0), "
                                        "DATE '2024-01-01' + :I, 'nota ' || :I); I = I + 1; END END")
                              .arg(rows));
        execOn(m_dest, "INSERT INTO B (K, T) VALUES (3, 'già qui')");
        store(1, "", "B", "B");
    }
};

TEST_F(BlocchiTest, bothWaysLeaveTheSameDestination)
{
    prepare(500);
    RecordingReporter r;
    ASSERT_EQ(run(r, TSincroDB::Metodo::Confronto), EsitoSincro::Completata) << r.messages.join('|').toStdString();
    const QString dump = "SELECT K || '|' || COALESCE(T,'') || '|' || COALESCE(N,'-') || '|' || COALESCE(D,'') || '|' || "
                         "COALESCE(M,'') FROM B ORDER BY K";
    const QStringList ours = column(m_dest, dump);

    execOn(m_dest, "DELETE FROM B WHERE K <> 3");
    RecordingReporter again;
    ASSERT_EQ(run(again, TSincroDB::Metodo::ConteggioPerRiga), EsitoSincro::Completata);
    EXPECT_EQ(column(m_dest, dump), ours);
    ASSERT_EQ(ours.size(), 500);
    EXPECT_EQ(ours[2], "3|già qui|-||");
    EXPECT_EQ(ours[6], "7|perché l'a 7|-|2024-01-08|nota 7");
    EXPECT_EQ(ours[9], "10|perché l'a 10|2.50|2024-01-11|nota 10");
}

TEST_F(BlocchiTest, aRowFailingInsideABlockIsNamedByTheServerAndNothingStays)
{
    prepare(300);
    execOn(m_origin, "UPDATE B SET N = 5000 WHERE K = 150");
    RecordingReporter ours, perRow;
    EXPECT_EQ(run(ours, TSincroDB::Metodo::Confronto), EsitoSincro::Fallita);
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM B"), 1);
    EXPECT_EQ(run(perRow, TSincroDB::Metodo::ConteggioPerRiga), EsitoSincro::Fallita);
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM B"), 1);
    ASSERT_FALSE(ours.messages.isEmpty());
    EXPECT_TRUE(ours.messages.last().startsWith("W:Elaborazione cod. 1 fallita:\nINSERT SQL non riuscito\n"));
    EXPECT_EQ(ours.messages.last(), perRow.messages.last());
}

} // namespace

namespace {

// Larger tables: the origin is read while the missing rows are written, so a
// failure can come while rows are still being read, and long stretches can
// have nothing missing at all.
struct LetturaCase
{
    const char *name;
    const char *keyType;  // INTEGER, or text (keys compared as text)
    int rows;
    int presentUpTo;      // the destination already has keys 1..presentUpTo
    int failingKey;       // its row breaks a check of the destination; 0: none
};

class Lettura : public SincroTest, public ::testing::WithParamInterface<LetturaCase>
{
};

TEST_P(Lettura, endsAsTheRowByRowMethodDoes)
{
    const LetturaCase &c = GetParam();
    const QString table = QStringLiteral("CREATE TABLE L (K %1 NOT NULL PRIMARY KEY, T VARCHAR(20), N INTEGER CHECK (N < 1000000))")
                              .arg(QString::fromLatin1(c.keyType));
    execOn(m_origin, QString(table).remove(" CHECK (N < 1000000)"));
    execOn(m_dest, table);
    execOn(m_origin, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                    "INSERT INTO L VALUES (LPAD(:I, 6, '0'), 'riga ' || :I, IIF(:I = %2, 2000000, :I)); "
                                    "I = I + 1; END END")
                          .arg(c.rows)
                          .arg(c.failingKey));
    execOn(m_dest, QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                  "INSERT INTO L VALUES (LPAD(:I, 6, '0'), 'già qui', 0); I = I + 1; END END")
                        .arg(c.presentUpTo));
    store(1, "", "L", "L");
    const QString dump = QStringLiteral("SELECT COUNT(*) || '|' || COALESCE(SUM(N), 0) || '|' || COALESCE(MAX(T), '') FROM L");

    RecordingReporter ours;
    const EsitoSincro esito = run(ours, TSincroDB::Metodo::Confronto);
    const QStringList afterOurs = column(m_dest, dump);
    execOn(m_dest, QStringLiteral("DELETE FROM L WHERE T <> 'già qui'"));
    RecordingReporter perRow;
    EXPECT_EQ(run(perRow, TSincroDB::Metodo::ConteggioPerRiga), esito);
    EXPECT_EQ(column(m_dest, dump), afterOurs);
    EXPECT_EQ(ours.messages.last(), perRow.messages.last());
    if (c.failingKey) {
        EXPECT_EQ(esito, EsitoSincro::Fallita);
        EXPECT_EQ(afterOurs, QStringList{c.presentUpTo ? QStringLiteral("%1|0|già qui").arg(c.presentUpTo) : QStringLiteral("0|0|")});
        EXPECT_TRUE(ours.messages.last().startsWith("W:Elaborazione cod. 1 fallita:\nINSERT SQL non riuscito\n"));
    } else {
        EXPECT_EQ(esito, EsitoSincro::Completata) << ours.messages.join('|').toStdString();
        EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM L"), c.rows);
        EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM L WHERE T = 'riga ' || CAST(K AS INTEGER)"), c.rows - c.presentUpTo);
    }
}

const LetturaCase kLettura[] = {
    {"numbers", "INTEGER", 20000, 0, 0},
    {"textKeys", "VARCHAR(6)", 20000, 0, 0},
    {"nothingMissingForLong", "INTEGER", 20000, 15000, 0},
    {"nothingMissingAtAll", "INTEGER", 9000, 9000, 0},
    {"failsWhileReadingGoesOn", "INTEGER", 30000, 0, 10},
    {"failsWhileReadingGoesOnTextKeys", "VARCHAR(6)", 30000, 0, 10},
    {"failsInTheLastRows", "INTEGER", 12000, 0, 11999},
    {"failsAfterALongStretchPresent", "INTEGER", 20000, 12000, 12001},
};

INSTANTIATE_TEST_SUITE_P(Cases, Lettura, ::testing::ValuesIn(kLettura),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace

namespace {

// Cuts the destination's connections when the copy reports its end, just
// before its commit.
class TaglioPrimaDelCommit : public RecordingReporter
{
public:
    void progress(int p) override
    {
        RecordingReporter::progress(p);
        if (p == 100 && taglia && !tagliato) {
            tagliato = true;
            taglia();
        }
    }
    std::function<void()> taglia;
    bool tagliato = false;
};

TEST_F(SincroTest, aCommitThatFailsIsAFailedSynchronisationWithTheServersReason)
{
    execOn(m_origin, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_dest, "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY)");
    execOn(m_origin, "INSERT INTO T VALUES (1)");
    execOn(m_dest, "INSERT INTO T VALUES (1)");
    store(1, "t", "T", "T");
    m_dest.disconnect();

    TaglioPrimaDelCommit r;
    r.taglia = [this] {
        db::Attachment admin;
        admin.connect(m_destPath, adminParams());
        db::Transaction t(admin);
        db::executeSql(admin, t, "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
        t.commit();
    };
    EsitoSincro esito = EsitoSincro::Completata;
    EXPECT_NO_THROW(esito = run(r));
    EXPECT_TRUE(r.tagliato);
    EXPECT_EQ(esito, EsitoSincro::Fallita);
    ASSERT_EQ(r.messages.size(), 2) << r.messages.join('\n').toStdString();
    EXPECT_TRUE(r.messages[1].startsWith("W:Elaborazione cod. 1 (Titolo \"t\") fallita:\n")) << r.messages[1].toStdString();
    EXPECT_GT(r.messages[1].size(), QString("W:Elaborazione cod. 1 (Titolo \"t\") fallita:\n").size());
}

} // namespace
