// The import run on files and situations that go wrong: a file that is no
// text, keys that do not convert or hold control characters, a connection
// that goes away, too many failed lines, and the rejects kept for the user.

#include "ImportTestSupport.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "db/Value.h"
#include "import/ImportValues.h"
#include "core/Cp1252.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

namespace vardof::importcsv {
namespace {

using test::senzaOra;

QByteArray leggi(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<manca>");
}

class ImportFaults : public test::ImportFixture
{
protected:
    QStringList log() const { return senzaOra(sink.righe); }
    CaricamentoScript caricaByte(const QStringList &script, const QByteArray &dati)
    {
        test::scriviFile(percorsoScript(file("dati.csv")), script);
        test::scriviByte(file("dati.csv"), dati);
        CaricamentoScript c;
        ScriptLoader(att(), tra()).carica(percorsoScript(file("dati.csv")), c);
        return c;
    }
    EsitoImport esegui(const CaricamentoScript &c, const OpzioniImport &o = OpzioniImport())
    {
        ImportRun run(att(), tra(), c.parametri, c.colonne, c.chiavi);
        const EsitoImport e = run.esegui(file("dati.csv"), false, sink, o, &sink);
        contatori = run.contatori();
        return e;
    }
    // The summary lines that start with `inizio`.
    QStringList righeCon(const QString &inizio) const
    {
        QStringList r;
        for (const QString &l : sink.righe)
            if (l.startsWith(inizio))
                r << l;
        return r;
    }
};

// ---- files that are no text ------------------------------------------------

struct NonTestoCase
{
    const char *nome;
    QByteArray dati;
};

void PrintTo(const NonTestoCase &c, std::ostream *os) { *os << c.nome; }

class FileNonTesto : public ImportFaults, public ::testing::WithParamInterface<NonTestoCase> {};

TEST_P(FileNonTesto, isRefusedBeforeAnythingIsAsked)
{
    exec("INSERT INTO ARTICOLI (CODICE) VALUES ('OLD')");
    const auto c = caricaByte({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                               "CAMPORIFERIMENTO=CODICE", "VALORECAMPORIFERIMENTO=OLD"},
                              GetParam().dati);
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::NonAvviato);
    EXPECT_EQ(sink.messaggi, QStringList{"errore: Il file \"" + file("dati.csv")
                                         + "\" non è un file di testo: importazione annullata"});
    EXPECT_EQ(sink.avvii, 0);
    EXPECT_TRUE(sink.righe.isEmpty());
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI"), QStringList{"OLD"});
}

QByteArray png()
{
    return QByteArray("\x89PNG\r\n\x1a\n\0\0\0\r" "IHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0\x1f\xf3\xff" "a", 33)
           + QByteArray("\0\0\0\x0c" "IDATx\x9c" "c`\x18\x05\xa3`\x14\x0c\x0c\0\0\x04\x10\0\x01", 25);
}

QByteArray senzaNulMaBinario()
{
    QByteArray b;
    for (int i = 0; i < 40; ++i)
        b += char(1 + (i * 7) % 31);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNonTesto,
    ::testing::Values(NonTestoCase{"png picture", png()},
                      NonTestoCase{"NUL in the first block of a text",
                                   QByteArray("A1;uno\r\nA2;d", 12) + QByteArray(1, '\0') + "ue\r\nA3;tre\r\n"},
                      NonTestoCase{"zip archive", QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10) + "listino.csv"},
                      NonTestoCase{"UTF-16 text", QByteArray("\xff\xfe" "A\0" "1\0" ";\0" "x\0" "\r\0\n\0", 14)},
                      NonTestoCase{"control bytes at every turn", senzaNulMaBinario()}),
    [](const ::testing::TestParamInfo<NonTestoCase> &info) { return "case" + std::to_string(info.index); });

TEST_F(ImportFaults, aNulPastTheFirstBlockRefusesOnlyItsLine)
{
    const auto c0 = caricaByte({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, {});
    QByteArray dati;
    int n = 0;
    while (dati.size() < 70 * 1024)
        dati += QByteArray("C") + QByteArray::number(++n) + ";descrizione di una riga buona\r\n";
    dati += QByteArray("X;d", 3) + QByteArray(1, '\0') + "ue\r\n";
    dati += "Z;ultima\r\n";
    test::scriviByte(file("dati.csv"), dati);
    EXPECT_EQ(esegui(c0), EsitoImport::Completato);
    EXPECT_EQ(righeCon("Riga "), QStringList{QStringLiteral("Riga %1: la riga contiene caratteri non validi e non è stata acquisita")
                                                 .arg(formatoNumero(n + 1))});
    EXPECT_EQ(contatori.aggiunti, n + 1);
    EXPECT_EQ(contatori.falliti, 1);
    EXPECT_EQ(righe("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE = 'X'"), QStringList{"0"});
}

// ---- keys ------------------------------------------------------------------

struct ChiaveCase
{
    const char *nome;
    QByteArray riga;     // the second line of the file
    const char *messaggio;
    bool fallita;        // refused as a whole line (counted failed)
};

void PrintTo(const ChiaveCase &c, std::ostream *os) { *os << c.nome; }

struct ScriptCase
{
    const char *nome;
    QStringList script;
};

void PrintTo(const ScriptCase &c, std::ostream *os) { *os << c.nome; }

class ChiaviConControlli : public ImportFaults,
                           public ::testing::WithParamInterface<std::tuple<ChiaveCase, ScriptCase>> {};

TEST_P(ChiaviConControlli, neverReachTheTable)
{
    const ChiaveCase &k = std::get<0>(GetParam());
    const ScriptCase &s = std::get<1>(GetParam());
    const auto c = caricaByte(QStringList{"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "IMPORTMEMOESTESICONTAGCR=||"} + s.script,
                              "A1;prima\r\n" + k.riga + "\r\nA3;ultima\r\n");
    ASSERT_TRUE(c.valido) << c.memoRiepilogo.join('\n').toStdString();
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(righeCon("Riga "), QStringList{QString::fromUtf8(k.messaggio)});
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1", "A3"}));
    EXPECT_EQ(contatori.aggiunti, 2);
    EXPECT_EQ(contatori.falliti, k.fallita ? 1 : 0);
    EXPECT_EQ(contatori.saltati, k.fallita ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChiaviConControlli,
    ::testing::Combine(
        ::testing::Values(
            ChiaveCase{"tab", "A\tB;tab", "Riga 2: valore \"A\\x09B\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"carriage return", "A\rB;cr", "Riga 2: valore \"A\\x0DB\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"delete", "A\x7f" "B;del", "Riga 2: valore \"A\\x7FB\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"C1 control in UTF-8", "A\xc2\x85" "B;nel", "Riga 2: valore \"A\\x85B\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"byte the code page leaves undefined", "A\x81" "B;x", "Riga 2: valore \"A\\x81B\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"line-break tag", "A||B;tag", "Riga 2: valore \"A\\x0D\\x0AB\" non valido per il campo n° 1 (CODICE)", false},
            ChiaveCase{"C0 control", "A\x01" "B;x", "Riga 2: la riga contiene caratteri non validi e non è stata acquisita", true}),
        ::testing::Values(ScriptCase{"add and update", {}}, ScriptCase{"add only", {"AGGIORNA=NO"}},
                          ScriptCase{"with duplicate check", {"CONTROLLODUPLICATI=SI"}},
                          ScriptCase{"custom key", {"AGGIORNAPERS=CODICE", "AGGIORNA=NO"}})),
    [](const ::testing::TestParamInfo<std::tuple<ChiaveCase, ScriptCase>> &info) {
        return "case" + std::to_string(info.index);
    });

TEST_F(ImportFaults, addingOnlyABadKeySkipsTheLineInsteadOfInsertingNull)
{
    exec("CREATE TABLE NUMERATI (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(20))");
    const auto c = caricaByte({"[SCRIPT]", "TABELLADESTINAZIONE=NUMERATI", "AGGIORNA=NO"},
                              "1;uno\r\nx1;sbagliato\r\n2;due\r\n1;di nuovo\r\n3000000000;troppo\r\n");
    ASSERT_TRUE(c.valido);
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    EXPECT_EQ(log().mid(2), (QStringList{"- {ora}: Inizio acquisizione file",
                                         "Riga 2: valore \"x1\" non valido per il campo n° 1 (ID)",
                                         "Riga 5: valore \"3000000000\" non valido per il campo n° 1 (ID)",
                                         "- {ora}: Terminata acquisizione file", "Record aggiornati: 0",
                                         "Record aggiunti: 2", "Record falliti: 0", "Record totali: 5"}));
    EXPECT_EQ(righe("SELECT ID, NOME FROM NUMERATI ORDER BY 1"), (QStringList{"1|uno", "2|due"}));
    EXPECT_EQ(contatori.saltati, 2);
}

// ---- a connection that goes away -------------------------------------------

class ConnessionePersa : public ImportFaults, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ConnessionePersa, endsTheRunAtTheFirstFailure)
{
    exec("INSERT INTO ARTICOLI (CODICE) VALUES ('OLD')");
    QStringList dati;
    for (int i = 0; i < 500; ++i)
        dati << QString("C%1;riga %1").arg(i);
    const auto c = carica(QStringList{"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"} + GetParam().script, dati);
    ASSERT_TRUE(c.valido);
    const qint64 id = db::toInt64(*db::queryValue(att(), tra(), "SELECT CURRENT_CONNECTION FROM RDB$DATABASE")).value_or(-1);
    tra().commit();
    db::Attachment amministratore = db::Attachment::attach(dbPath(), vardof::test::adminParams());
    sink.suRiga = [&](const QString &riga) {
        if (!riga.endsWith("Inizio acquisizione file"))
            return;
        db::Transaction t(amministratore);
        db::executeSql(amministratore, t, QString("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(id));
        t.commit();
    };
    EXPECT_EQ(test::entroSecondi(60, [&] { return esegui(c); }), EsitoImport::Fallito);
    // One failure line, then the stop: not one line per remaining row.
    const QStringList l = log();
    ASSERT_EQ(l.size(), 5) << testing::PrintToString(l);
    EXPECT_EQ(l[2], "- {ora}: Inizio acquisizione file");
    EXPECT_TRUE(l[3].contains(" riga 1: ") && l[3].contains("shutdown")) << l[3].toStdString();
    EXPECT_EQ(l.last(), "- {ora}: acquisizione interrotta: la connessione al database è stata persa, le modifiche dell'elaborazione non sono state salvate");
    EXPECT_EQ(sink.messaggi, (QStringList{"conferma: Avviare l'elaborazione?", "errore: Elaborazione interrotta"}));
    EXPECT_EQ(sink.fini, 1);
    db::Transaction t(amministratore);
    db::Statement st(amministratore, t, "SELECT CODICE FROM ARTICOLI", db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QStringList codici;
    while (rs.next())
        codici << rs.text(0);
    EXPECT_EQ(codici, QStringList{"OLD"});
}

INSTANTIATE_TEST_SUITE_P(Cases, ConnessionePersa,
                         ::testing::Values(ScriptCase{"update first", {}}, ScriptCase{"insert only", {"AGGIORNA=NO"}},
                                           ScriptCase{"lookup first", {"AGGIORNAPERS=CODICE", "AGGIORNA=NO"}}),
                         [](const ::testing::TestParamInfo<ScriptCase> &info) { return "case" + std::to_string(info.index); });

// ---- a limit on failed lines -----------------------------------------------

struct LimiteCase
{
    qint64 maxErrori;
    bool fermata;
};

class MaxErrori : public ImportFaults, public ::testing::WithParamInterface<LimiteCase> {};

TEST_P(MaxErrori, moreFailuresThanAllowedUndoTheRun)
{
    exec("INSERT INTO ARTICOLI (CODICE, DESCRIZIONE) VALUES ('A1', 'vecchia')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"},
                          {"A1;nuova;PZ", "A2;x;TROPPO", "A3;x;PZ", "A4;x;TROPPO", "A5;x;PZ"});
    OpzioniImport o;
    o.maxErrori = GetParam().maxErrori;
    const EsitoImport e = esegui(c, o);
    if (GetParam().fermata) {
        EXPECT_EQ(e, EsitoImport::Fallito);
        EXPECT_EQ(log().last(), QString("- {ora}: acquisizione interrotta: più di %1 record falliti, le modifiche dell'elaborazione sono state annullate")
                                    .arg(GetParam().maxErrori));
        EXPECT_EQ(contatori.falliti, GetParam().maxErrori + 1);
        EXPECT_EQ(sink.messaggi.last(), "errore: Elaborazione interrotta");
        EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI"), QStringList{"A1|vecchia"});
    } else {
        EXPECT_EQ(e, EsitoImport::Completato);
        EXPECT_EQ(contatori.falliti, 2);
        EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1|nuova", "A3|x", "A5|x"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MaxErrori,
                         ::testing::Values(LimiteCase{0, true}, LimiteCase{1, true}, LimiteCase{2, false},
                                           LimiteCase{-1, false}));

// ---- rejects ---------------------------------------------------------------

TEST_F(ImportFaults, rejectsKeepEveryLineNotStoredAsItWasWithItsReason)
{
    exec("CREATE TABLE NUMERATI (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(5))");
    const QByteArray intestazione = "ID;NOME\r\n";
    const QByteArray buona = "1;uno\r\n";
    const QByteArray lunga = "2;citt\xe0 lunga\r\n";          // code page, too long
    const QByteArray chiave = "x3;tre\r\n";                    // key does not convert
    const QByteArray binaria = "4;\x01quattro\r\n";            // control byte
    const QByteArray utf8 = "5;\xc3\xa8 lunghissimo\r\n";     // UTF-8, too long
    const QByteArray esistente = "1;altro\r\n";              // already there: left alone, no reject
    const QByteArray ultima = "6;sei";                         // no line end
    const auto c = caricaByte({"[SCRIPT]", "TABELLADESTINAZIONE=NUMERATI", "AGGIORNA=NO"},
                              intestazione + buona + lunga + chiave + binaria + utf8 + esistente + ultima);
    ASSERT_TRUE(c.valido);
    OpzioniImport o;
    o.fileScarti = file("scarti.csv");
    ImportRun run(att(), tra(), c.parametri, c.colonne, c.chiavi);
    EXPECT_EQ(run.esegui(file("dati.csv"), true, sink, o, &sink), EsitoImport::Completato);

    EXPECT_EQ(leggi(o.fileScarti), lunga + chiave + binaria + utf8);

    // The log gives each line's number and the summary's reason, one line each.
    auto motivo = [&](const QString &inizio) {
        const QStringList r = righeCon(inizio);
        return r.isEmpty() ? QString("<manca %1>").arg(inizio) : QString(r.first()).replace('\n', ' ');
    };
    const QStringList attese{
        "3\t" + motivo("Errore di INSERT relativo alla riga 3: "),
        "4\tRiga 4: valore \"x3\" non valido per il campo n° 1 (ID)",
        "5\tRiga 5: la riga contiene caratteri non validi e non è stata acquisita",
        "6\t" + motivo("Errore di INSERT relativo alla riga 6: "),
    };
    QByteArray attese1252;
    for (const QString &a : attese)
        attese1252 += core::toCp1252(a) + "\r\n";
    EXPECT_EQ(leggi(o.fileScarti + ".log"), attese1252);
    EXPECT_EQ(righe("SELECT ID, NOME FROM NUMERATI ORDER BY 1"), (QStringList{"1|uno", "6|sei"}));
}

TEST_F(ImportFaults, rejectsHoldTheDuplicatesWithTheirCombination)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "CONTROLLODUPLICATI=SI"},
                          {"A1;prima", "A2;altro", "A1;seconda"});
    OpzioniImport o;
    o.fileScarti = file("scarti.csv");
    EXPECT_EQ(esegui(c, o), EsitoImport::Completato);
    EXPECT_EQ(leggi(o.fileScarti), QByteArray("A1;seconda\r\n"));
    EXPECT_EQ(leggi(o.fileScarti + ".log"),
              core::toCp1252("3\tTrovata una combinazione di valori campi univoci presente più di una volta: \"CODICE\" = \"A1\"\r\n"));
}

TEST_F(ImportFaults, rejectsOfARunWithoutRejectsReplaceAnOldFile)
{
    test::scriviByte(file("scarti.csv"), "vecchio\r\n");
    test::scriviByte(file("scarti.csv.log"), "1\tvecchio\r\n");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI"}, {"A1;x"});
    OpzioniImport o;
    o.fileScarti = file("scarti.csv");
    EXPECT_EQ(esegui(c, o), EsitoImport::Completato);
    EXPECT_EQ(leggi(o.fileScarti), QByteArray());
    EXPECT_EQ(leggi(o.fileScarti + ".log"), QByteArray());
    EXPECT_EQ(QDir(m_dir.path()).entryList({"scarti*"}, QDir::Files), (QStringList{"scarti.csv", "scarti.csv.log"}));
}

TEST_F(ImportFaults, rejectsOfAnInterruptedRunSayHowItEnded)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, {"A1;x;TROPPO", "A2;x", "A3;x"});
    sink.interrompiDopo("Inizio acquisizione file", 3);
    OpzioniImport o;
    o.fileScarti = file("scarti.csv");
    EXPECT_EQ(esegui(c, o), EsitoImport::Interrotto);
    EXPECT_EQ(leggi(o.fileScarti), QByteArray("A1;x;TROPPO\r\n"));
    const QList<QByteArray> voci = leggi(o.fileScarti + ".log").split('\n');
    ASSERT_EQ(voci.size(), 3);
    EXPECT_TRUE(voci[0].startsWith("1\tErrore di INSERT relativo alla riga 1: ")) << voci[0].toStdString();
    EXPECT_EQ(senzaOra({QString::fromLatin1(voci[1].chopped(1))}), QStringList{"- {ora}: acquisizione interrotta"});
    EXPECT_TRUE(righe("SELECT CODICE FROM ARTICOLI").isEmpty());
}

TEST_F(ImportFaults, rejectsThatCannotBeWrittenStopTheRunBeforeItStarts)
{
    exec("INSERT INTO ARTICOLI (CODICE) VALUES ('OLD')");
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                           "CAMPORIFERIMENTO=CODICE", "VALORECAMPORIFERIMENTO=OLD"},
                          {"A1;x"});
    OpzioniImport o;
    o.fileScarti = file("manca/scarti.csv");
    EXPECT_EQ(esegui(c, o), EsitoImport::NonAvviato);
    ASSERT_EQ(sink.righe.size(), 1);
    EXPECT_TRUE(sink.righe.first().startsWith("Impossibile scrivere il file \"" + o.fileScarti + "\": "))
        << sink.righe.first().toStdString();
    EXPECT_GT(sink.righe.first().size(), QString("Impossibile scrivere il file \"" + o.fileScarti + "\": ").size());
    EXPECT_EQ(sink.messaggi.last(), "errore: Elaborazione interrotta");
    EXPECT_EQ(sink.fini, 1);
    EXPECT_EQ(righe("SELECT CODICE FROM ARTICOLI"), QStringList{"OLD"});
}

// ---- a lookup of the work table that fails ---------------------------------

TEST_F(ImportFaults, aFailedDuplicateLookupIsReportedAndSkipsItsLine)
{
    const auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "CONTROLLODUPLICATI=SI"},
                          {"A1;uno", "A2;due", "A1;tre", "A3;quattro"});
    ASSERT_TRUE(c.valido);
    // Between the passes the work table's mark becomes a text the lookup
    // cannot read back as a number, for A2 only.
    sink.suRiga = [&](const QString &riga) {
        if (!riga.endsWith("Controllo duplicati terminato"))
            return;
        db::executeSql(att(), tra(), "ALTER TABLE TMP_DUPLICATI ALTER INSERITO TYPE VARCHAR(10)");
        tra().commitRetaining();
        db::executeSql(att(), tra(), "UPDATE TMP_DUPLICATI SET INSERITO='abc' WHERE CODICE='A2'");
    };
    EXPECT_EQ(esegui(c), EsitoImport::Completato);
    const QStringList l = log();
    ASSERT_GE(l.size(), 8);
    EXPECT_EQ(l.mid(6, 2), (QStringList{"- {ora}: Inizio acquisizione file",
                                        "Errore interno durante l'analisi della riga 2: conversion error from string \"abc\""}));
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1|uno", "A3|quattro"}));
    EXPECT_EQ(contatori.saltati, 1);
    EXPECT_EQ(contatori.duplicati, 1);
    EXPECT_EQ(contatori.aggiunti, 2);
}

// ---- the run keeps what it was given ----------------------------------------

TEST_F(ImportFaults, aRunKeepsItsScriptWhenTheLoadItCameFromChanges)
{
    exec("CREATE TABLE ALTRA (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60))");
    auto c = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"}, {"A1;uno", "A2;due"});
    ASSERT_TRUE(c.valido);
    ImportRun run(att(), tra(), c.parametri, c.colonne, c.chiavi);
    // The window loads the next script into the same place before a run
    // it had built is started.
    c.parametri.tabellaDestinazione = QStringLiteral("ALTRA");
    c.colonne.clear();
    c.chiavi.clear();
    c = CaricamentoScript();
    EXPECT_EQ(run.esegui(file("dati.csv"), false, sink, OpzioniImport(), &sink), EsitoImport::Completato);
    EXPECT_EQ(righe("SELECT CODICE, DESCRIZIONE FROM ARTICOLI ORDER BY 1"), (QStringList{"A1|uno", "A2|due"}));
    EXPECT_EQ(righe("SELECT COUNT(*) FROM ALTRA"), QStringList{"0"});
}

} // namespace
} // namespace vardof::importcsv
