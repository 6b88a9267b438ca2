// Definition files of stored queries: the field reader, files written and
// read back byte for byte on a second registry, chains re-linked to fresh
// numbers, malformed files refused without storing anything, and stored
// queries the format cannot carry refused at writing.

#include "ArchivioQuery.h"

#include "db/Error.h"
#include "storedqueries/DefinizioneQuery.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::storedqueries;
using namespace vardof::test;

namespace {

const QDateTime kQuando(QDate(2024, 3, 5), QTime(9, 7, 2));

QByteArray leggiFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void scriviFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// ---- the field reader -------------------------------------------------------------

struct CasoCampo
{
    const char *riga;
    int n;
    const char *atteso;
};

class LeggiCampoCasi : public ::testing::TestWithParam<CasoCampo> {};

TEST_P(LeggiCampoCasi, givesTheFieldWithoutSeparators)
{
    EXPECT_EQ(LeggiCampo(QString::fromUtf8(GetParam().riga), GetParam().n), QString::fromUtf8(GetParam().atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, LeggiCampoCasi,
    ::testing::Values(CasoCampo{"<query=12;Clienti attivi;CLIENTI;;Vendite;;clienti.csv;>", 1, "12"},
                      CasoCampo{"<query=12;Clienti attivi;CLIENTI;;Vendite;;clienti.csv;>", 2, "Clienti attivi"},
                      CasoCampo{"<query=12;Clienti attivi;CLIENTI;;Vendite;;clienti.csv;>", 4, ""},
                      CasoCampo{"<query=12;Clienti attivi;CLIENTI;;Vendite;;clienti.csv;>", 7, "clienti.csv"},
                      // ">" closes the line and is never a field.
                      CasoCampo{"<query=12;Clienti attivi;CLIENTI;;Vendite;;clienti.csv;>", 8, ""},
                      CasoCampo{"<campo=0;1;3;CITTA;1;>", 4, "CITTA"},
                      CasoCampo{"<campo=0;1;3;;1;>", 4, ""},
                      CasoCampo{"nessun uguale;a;b;", 1, ""},
                      // The "=" is looked for from the second character on.
                      CasoCampo{"=a;b;>", 1, ""},
                      CasoCampo{"x=a=b;c;>", 1, "a=b"},
                      CasoCampo{"<campo=0;1>", 2, ""},
                      CasoCampo{"<campo=0;1;>", 0, ""}));

struct CasoConteggio
{
    const char *riga;
    int campi;
};

class NumeroCampiCasi : public ::testing::TestWithParam<CasoConteggio> {};

TEST_P(NumeroCampiCasi, countsTheFieldsEndedBySemicolons)
{
    EXPECT_EQ(NumeroCampi(QString::fromUtf8(GetParam().riga)), GetParam().campi);
}

INSTANTIATE_TEST_SUITE_P(Casi, NumeroCampiCasi,
                         ::testing::Values(CasoConteggio{"<query=1;T;CLIENTI;;;;;>", 7},
                                           CasoConteggio{"<query=1;T;X;CLIENTI;;;;;>", 8},
                                           CasoConteggio{"<campo=0;1;2;CITTA;1;>", 5},
                                           CasoConteggio{"<campo=0;1;2;CITTA;1>", 4},
                                           CasoConteggio{"senza uguale;;", 0}));

TEST(TestoCodice, plainDigitsAndACommaOnlyForAFraction)
{
    EXPECT_EQ(testoCodiceDefinizione(12), QStringLiteral("12"));
    EXPECT_EQ(testoCodiceDefinizione(2000), QStringLiteral("2000"));
    EXPECT_EQ(testoCodiceDefinizione(1.5), QStringLiteral("1,5"));
}

// ---- written and read back -----------------------------------------------------------

struct CasoGiro
{
    const char *nome;
    // The stored query 1 of the source registry (CLIENTI).
    std::function<void(ArchivioQuery &, db::Attachment &)> riempi;
};

class Giro : public ArchivioQuery, public ::testing::WithParamInterface<CasoGiro>
{
protected:
    void SetUp() override
    {
        ArchivioQuery::SetUp();
        m_altroPath = m_dir.file(QStringLiteral("destinazione.fdb"));
        m_altro = createDatabase(m_altroPath);
        preparaArchivio(m_altro);
    }
    void TearDown() override
    {
        if (m_altro.isConnected())
            m_altro.dropDatabase();
        ArchivioQuery::TearDown();
    }
    // Writes stored query `codice` of `a` to `file`.
    void scrivi(db::Attachment &a, int codice, const QString &file)
    {
        db::Transaction t(a);
        platform::RecordingFeedback f;
        const QStringList righe = TestoDefinizione(a, t, codice, f, kQuando);
        QString motivo;
        ASSERT_TRUE(ScriviDefinizione(file, righe, motivo)) << motivo.toStdString();
        EXPECT_TRUE(f.asked.isEmpty());
    }
    QString m_altroPath;
    db::Attachment m_altro;
};

TEST_P(Giro, aFileReadIntoAnEmptyRegistryIsWrittenBackByteForByte)
{
    GetParam().riempi(*this, att());
    const QString primo = m_dir.file(QStringLiteral("primo.txt"));
    scrivi(att(), 1, primo);

    db::Transaction t(m_altro);
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(m_altro, t, primo, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    EXPECT_EQ(esito.codici, std::vector<int>{1});
    EXPECT_EQ(messaggioImportazione(esito), QStringLiteral("Importazione completa."));
    t.commit();

    const QString secondo = m_dir.file(QStringLiteral("secondo.txt"));
    scrivi(m_altro, 1, secondo);
    const QByteArray a = leggiFile(primo);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a, leggiFile(secondo));
    // An empty condition and a NULL one are both an empty line.
    auto senzaVuote = [](std::vector<RigaInt> righe) {
        for (RigaInt &r : righe)
            if (r.condizione && r.condizione->isEmpty())
                r.condizione.reset();
        return righe;
    };
    EXPECT_EQ(senzaVuote(leggiInt(att())), leggiInt(m_altro));
    // Every line ends in CR LF.
    EXPECT_EQ(a.count("\r\n"), a.count('\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Giro,
    ::testing::Values(
        CasoGiro{"everyField",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     db::Transaction t(a);
                     db::executeSql(t, "INSERT INTO STOQUER VALUES (1, 'Clienti attivi', 'CLIENTI', NULL, 'Vendite', "
                                       "'Mensili', 'clienti.csv', 'note')");
                     t.commit();
                     q.righeInt(a, {{0, 1, 1, "CODICE", 1, "(CODICE > 10)"}, {0, 1, 2, "CITTA", 0, "ROMA"},
                                    {0, 1, 3, "FIDO", 5, std::nullopt}});
                     q.righeAsp(a, {{0, 1, 0, "CODICE", 8, 1, 0, 0}, {0, 1, 1, "CITTA", 20, 0, 2, 10100},
                                    {0, 1, 2, "FIDO", 12, 1, 1, 10}});
                 }},
        CasoGiro{"emptyFieldsAndNulls",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     q.query(a, 1, QString());
                     q.righeInt(a, {{0, 1, 1, "CODICE", 1, QString()}, {0, 1, 2, "CITTA", std::nullopt, std::nullopt}});
                     q.righeAsp(a, {{0, 1, 0, "CODICE", std::nullopt, std::nullopt, std::nullopt, std::nullopt}});
                 }},
        CasoGiro{"quotes",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     q.query(a, 1, QStringLiteral("Clienti dell'Aquila"));
                     q.righeInt(a, {{0, 1, 1, "CITTA", 1, "(CITTA = 'L''AQUILA')"},
                                    {0, 1, 2, "RAGIONESOCIALE", 1, "O'Neil"}});
                 }},
        CasoGiro{"accentedText",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     q.query(a, 1, QString::fromUtf8("Città però € più"));
                     q.righeInt(a, {{0, 1, 1, "CITTA", 1, QString::fromUtf8("(CITTA = 'FORLÌ')")},
                                    {0, 1, 2, "NOTE", 1, QString::fromUtf8("perché")}});
                     q.righeAsp(a, {{0, 1, 0, "CITTA", 30, 1, 0, 0}});
                 }},
        CasoGiro{"chainOfThree",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     q.query(a, 1, QStringLiteral("Catena"));
                     q.righeInt(a, catena(1, 1, 2));
                     q.righeAsp(a, {{0, 1, 0, "CODICE", 8, 1, 0, 0}, {2000, 1, 0, "CITTA", 20, 1, 0, 0},
                                    {2000, 2, 0, "CODICE", 8, 1, 0, 100}});
                 }},
        CasoGiro{"noAppearance",
                 [](ArchivioQuery &q, db::Attachment &a) {
                     q.query(a, 1, QStringLiteral("Solo righe"));
                     q.righeInt(a, {{0, 1, 1, "CODICE", 1, "1"}});
                 }},
        // A stored query made in the registry whose interrogation was never
        // saved: the step has a table and no interrogation block.
        CasoGiro{"noInterrogation",
                 [](ArchivioQuery &q, db::Attachment &a) { q.query(a, 1, QStringLiteral("Appena creata")); }}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(ArchivioQuery, theFileIsWindowsTextWithTheLayoutLineByLine)
{
    db::Transaction t(att());
    db::executeSql(t, QString::fromUtf8("INSERT INTO STOQUER VALUES (12, 'Città', 'CLIENTI', NULL, 'Vendite', NULL, "
                                        "'clienti.csv', NULL)"));
    t.commit();
    righeInt({{0, 12, 1, "CODICE", 1, "(CODICE > 1)"}, {0, 12, 2, "CITTA", 1, QString()}});
    righeAsp({{0, 12, 0, "CODICE", 8, 1, 0, 0}, {0, 12, 1, "CITTA", 20, 1, 1, 0}, {0, 12, 2, "X", 5, 0, 2, 0}});
    platform::RecordingFeedback f;
    const QStringList righe = TestoDefinizione(att(), tra(), 12, f, kQuando);
    const QStringList attese{
        "Definizione query.", "File generato il 05/03/2024 alle 09:07:02", "", "<TESTAFILE>", "", "<TESTAQUERY>",
        QString::fromUtf8("<query=12;Città;CLIENTI;;Vendite;;clienti.csv;>"), "", "<TESTAPASSO>", "",
        "<TESTATABELLA>", "<tabdb=CLIENTI;;8;0;0;0;0;0;>", "<campo=clienti;1;CODICE;I;0;0;0;>",
        "<campo=clienti;2;RAGIONESOCIALE;A60;0;0;0;>", "<campo=clienti;3;CITTA;A40;0;0;0;>",
        "<campo=clienti;4;FIDO;N;0;0;0;>", "<campo=clienti;5;NATO;D;0;0;0;>", "<campo=clienti;6;NOTE;M8;0;0;0;>",
        "<campo=clienti;7;FOTO;B8;0;0;0;>", "<campo=clienti;8;ETA;S;0;0;0;>", "<FINETABELLA>", "",
        "<TESTAINTERROGAZIONE>", "<campo=0;12;1;CODICE;1;>", "(CODICE > 1)", "<campo=0;12;2;CITTA;1;>", "",
        "<FINEINTERROGAZIONE>", "", "<TESTAASPETTO>", "<campo=0;12;0;CODICE;8;1;0;0;>",
        "<campo=0;12;1;CITTA;20;1;1;0;>", "<campo=0;12;2;X;5;0;2;0;>", "<FINEASPETTO>", "", "<FINEPASSO>", "",
        "<FINEQUERY>", "", "<FINEFILE>"};
    EXPECT_EQ(righe, attese);

    const QString file = m_dir.file(QStringLiteral("qrydef.txt"));
    QString motivo;
    ASSERT_TRUE(ScriviDefinizione(file, righe, motivo));
    const QByteArray bytes = leggiFile(file);
    EXPECT_TRUE(bytes.contains("<query=12;Citt\xE0;CLIENTI;;Vendite;;clienti.csv;>\r\n"));
    EXPECT_TRUE(bytes.endsWith("<FINEFILE>\r\n"));

    // Read into the same registry: the next number by position, same rows.
    platform::RecordingFeedback g;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, g);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    EXPECT_EQ(esito.codici, std::vector<int>{13});
    auto letti = leggiInt(QStringLiteral("CODICE2=13"));
    ASSERT_EQ(letti.size(), 2u);
    EXPECT_EQ(letti[1].condizione, std::nullopt);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOASP WHERE CODICE1=0 AND CODICE2=13")), 3);
}

TEST_F(ArchivioQuery, aConditionBeginningWithBlanksComesBackWithoutThem)
{
    query(1, QStringLiteral("Spazi"));
    righeInt({{0, 1, 1, "CITTA", 1, "   ROMA"}});
    const QString file = m_dir.file(QStringLiteral("spazi.txt"));
    platform::RecordingFeedback f;
    QString motivo;
    ASSERT_TRUE(ScriviDefinizione(file, TestoDefinizione(att(), tra(), 1, f, kQuando), motivo));
    ASSERT_TRUE(ImportaDefinizioneQuery(att(), tra(), file, f).completa);
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE2=2"))[0].condizione, std::optional<QString>("ROMA"));
}

TEST_F(ArchivioQuery, aChainReadBackGetsFreshNumbersAndItsMarkersRelinked)
{
    // Chained numbers 1..3 are taken by another stored query here.
    query(1, QStringLiteral("Altra"));
    righeInt(catena(1, 1, 3));
    const QString file = m_dir.file(QStringLiteral("catena.txt"));
    {
        // The definition comes from another registry: stored query 1 chained to (2000, 1).
        db::Attachment origine = createDatabase(m_dir.file(QStringLiteral("origine.fdb")));
        preparaArchivio(origine);
        query(origine, 1, QStringLiteral("Da fuori"));
        righeInt(origine, catena(1, 1, 2));
        db::Transaction t(origine);
        platform::RecordingFeedback f;
        QString motivo;
        ASSERT_TRUE(ScriviDefinizione(file, TestoDefinizione(origine, t, 1, f, kQuando), motivo));
        t.commit();
        origine.dropDatabase();
    }
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    ASSERT_EQ(esito.codici, std::vector<int>{2});
    // Stored query 2 -> (2000, 4) -> (2000, 5).
    const auto principale = leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=2"));
    ASSERT_EQ(principale.back().nome, std::optional<QString>("QUERY SUCCESSIVA"));
    EXPECT_EQ(principale.back().condizione, std::optional<QString>("4"));
    const auto primo = leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=4"));
    ASSERT_EQ(primo.size(), 4u);
    EXPECT_EQ(primo.front().condizione, std::optional<QString>("2"));
    EXPECT_EQ(primo.back().condizione, std::optional<QString>("5"));
    const auto secondo = leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=5"));
    ASSERT_EQ(secondo.size(), 3u);
    EXPECT_EQ(secondo.front().condizione, std::optional<QString>("4"));
    // The other stored query's chain is untouched.
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2<=3")).size(), 4u + 4u + 3u);
}

// ---- malformed files ------------------------------------------------------------------

QByteArray fileValido()
{
    return "Definizione query.\r\nFile generato il 05/03/2024 alle 09:07:02\r\n\r\n<TESTAFILE>\r\n\r\n<TESTAQUERY>\r\n"
           "<query=7;Clienti;CLIENTI;;;;;>\r\n\r\n<TESTAPASSO>\r\n\r\n<TESTATABELLA>\r\n<tabdb=CLIENTI;;2;0;0;0;0;0;>\r\n"
           "<campo=clienti;1;CODICE;I;0;0;0;>\r\n<FINETABELLA>\r\n\r\n<TESTAINTERROGAZIONE>\r\n"
           "<campo=0;7;1;CODICE;1;>\r\n(CODICE > 1)\r\n<campo=0;7;2;CITTA;1;>\r\n\r\n<FINEINTERROGAZIONE>\r\n\r\n"
           "<TESTAASPETTO>\r\n<campo=0;7;0;CODICE;8;1;0;0;>\r\n<FINEASPETTO>\r\n\r\n<FINEPASSO>\r\n\r\n<FINEQUERY>\r\n"
           "\r\n<FINEFILE>\r\n";
}

QByteArray sostituisci(const char *da, const QByteArray &a)
{
    QByteArray f = fileValido();
    const qsizetype i = f.indexOf(da);
    return i < 0 ? QByteArray("sostituzione assente") : f.replace(i, qsizetype(strlen(da)), a);
}

QByteArray troncato(const char *dopo)
{
    const QByteArray f = fileValido();
    return f.left(f.indexOf(dopo) + qsizetype(strlen(dopo)));
}

struct CasoMalformato
{
    const char *nome;
    QByteArray testo;
    const char *motivo; // part of the reason given after the message
};

class FileMalformati : public ArchivioQuery, public ::testing::WithParamInterface<CasoMalformato> {};

TEST_P(FileMalformati, areRefusedWithTheMessageAndStoreNothing)
{
    query(1, QStringLiteral("Esistente"));
    righeInt({{0, 1, 1, "CODICE", 1, "1"}});
    const auto prima = righeTotali(att());
    const QString file = m_dir.file(QStringLiteral("rotto.txt"));
    scriviFile(file, GetParam().testo);

    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    EXPECT_FALSE(esito.completa);
    EXPECT_TRUE(esito.codici.empty());
    const QString messaggio = messaggioImportazione(esito);
    EXPECT_TRUE(messaggio.startsWith(QStringLiteral("File di importazione query non completo."))) << messaggio.toStdString();
    EXPECT_TRUE(messaggio.contains(QString::fromUtf8(GetParam().motivo))) << messaggio.toStdString();
    // Whatever the transaction holds is committed by the registry later:
    // nothing of the file may be in it.
    tra().commit();
    EXPECT_EQ(righeTotali(att()), prima);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, FileMalformati,
    ::testing::Values(
        CasoMalformato{"stopsAfterTheFirstAppearance", troncato("<FINEASPETTO>\r\n"), "<FINEFILE>"},
        CasoMalformato{"stopsInsideTheInterrogation", troncato("(CODICE > 1)\r\n"), "<FINEFILE>"},
        CasoMalformato{"stopsAfterTheQueryLine", troncato("<query=7;Clienti;CLIENTI;;;;;>\r\n"), "<FINEFILE>"},
        CasoMalformato{"empty", QByteArray(), "<FINEFILE>"},
        CasoMalformato{"unknownSection", sostituisci("<TESTAASPETTO>", "<TESTAGRAFICO>"), "sezione sconosciuta <TESTAGRAFICO>"},
        CasoMalformato{"semicolonInTheTitle", sostituisci("<query=7;Clienti;", "<query=7;Clienti; attivi;"),
                       "8 campi invece di 7"},
        CasoMalformato{"queryLineShort", sostituisci("<query=7;Clienti;CLIENTI;;;;;>", "<query=7;Clienti;CLIENTI;>"),
                       "3 campi invece di 7"},
        CasoMalformato{"interrogationRowShort", sostituisci("<campo=0;7;1;CODICE;1;>", "<campo=0;7;1;CODICE>"),
                       "3 campi invece di 5"},
        CasoMalformato{"appearanceRowShort", sostituisci("<campo=0;7;0;CODICE;8;1;0;0;>", "<campo=0;7;0;CODICE;8;1;0;>"),
                       "7 campi invece di 8"},
        CasoMalformato{"numberNotANumber", sostituisci("<campo=0;7;1;CODICE;1;>", "<campo=0;7;uno;CODICE;1;>"),
                       "numero non valido"},
        CasoMalformato{"appearanceWidthNotANumber", sostituisci("<campo=0;7;0;CODICE;8;", "<campo=0;7;0;CODICE;otto;"),
                       "numero non valido"},
        CasoMalformato{"chainKeyInTheFirstBlock", sostituisci("<campo=0;7;1;CODICE;1;>", "<campo=2000;7;1;CODICE;1;>"),
                       "Codice1 2000 invece di 0"},
        CasoMalformato{"secondBlockNotAnnounced",
                       sostituisci("<FINEASPETTO>\r\n\r\n<FINEPASSO>",
                                   "<FINEASPETTO>\r\n\r\n<TESTAINTERROGAZIONE>\r\n<campo=2000;7;1;CODICE;1;>\r\n\r\n"
                                   "<FINEINTERROGAZIONE>\r\n<TESTAASPETTO>\r\n<FINEASPETTO>\r\n<FINEPASSO>"),
                       "QUERY SUCCESSIVA"},
        CasoMalformato{"interrogationEndMissing",
                       sostituisci("<campo=0;7;2;CITTA;1;>\r\n\r\n<FINEINTERROGAZIONE>", "<campo=0;7;2;CITTA;1;>"),
                       "manca <FINEINTERROGAZIONE> prima di <TESTAASPETTO>"},
        CasoMalformato{"conditionTooLong",
                       sostituisci("(CODICE > 1)", QByteArray(1100, 'x')), "Riga 18"},
        CasoMalformato{"duplicateRowNumber", sostituisci("<campo=0;7;2;CITTA;1;>", "<campo=0;7;1;CITTA;1;>"),
                       "Riga 21"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(ArchivioQuery, aValidFileOfTheMalformedTableIsTaken)
{
    const QString file = m_dir.file(QStringLiteral("buono.txt"));
    scriviFile(file, fileValido());
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    EXPECT_EQ(esito.codici, std::vector<int>{1});
    // The save check asked its question once.
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0].text, QStringLiteral("Memorizzo le ultime modifiche?"));
}

TEST_F(ArchivioQuery, aFileWithLineFeedsOnlyAndIndentedLinesIsRead)
{
    const QString file = m_dir.file(QStringLiteral("lf.txt"));
    QByteArray testo = fileValido();
    testo.replace("\r\n", "\n    ");
    scriviFile(file, testo);
    platform::RecordingFeedback f;
    EXPECT_TRUE(ImportaDefinizioneQuery(att(), tra(), file, f).completa);
}

TEST_F(ArchivioQuery, answeringNoToTheSaveCheckStoresNothing)
{
    const auto prima = righeTotali(att());
    const QString file = m_dir.file(QStringLiteral("no.txt"));
    scriviFile(file, fileValido());
    platform::RecordingFeedback f;
    f.answers.push_back(platform::Answer::No);
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    EXPECT_TRUE(esito.annullata);
    EXPECT_FALSE(esito.completa);
    tra().commit();
    EXPECT_EQ(righeTotali(att()), prima);
}

TEST_F(ArchivioQuery, twoQueriesInOneFileAreBothAdded)
{
    QByteArray testo = fileValido();
    const QByteArray query = testo.mid(testo.indexOf("<TESTAQUERY>"), testo.indexOf("<FINEFILE>") - testo.indexOf("<TESTAQUERY>"));
    testo.replace("<FINEFILE>", query + "<FINEFILE>");
    const QString file = m_dir.file(QStringLiteral("due.txt"));
    scriviFile(file, testo);
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    EXPECT_EQ(esito.codici, (std::vector<int>{1, 2}));
    EXPECT_EQ(leggiInt().size(), 4u);
}

TEST_F(ArchivioQuery, aFileThatCannotBeOpenedSaysSo)
{
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), m_dir.file("manca.txt"), f);
    EXPECT_FALSE(esito.aperto);
    EXPECT_FALSE(esito.completa);
}

// ---- another archive -----------------------------------------------------------------

TEST_F(ArchivioQuery, aDefinitionNamingAMissingArchiveGoesToTheWorkDatabase)
{
    const QString file = m_dir.file(QStringLiteral("altrove.txt"));
    scriviFile(file, sostituisci("<query=7;Clienti;CLIENTI;;", "<query=7;Clienti;CLIENTI;C:\\dati\\altro.fdb;"));
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    ASSERT_FALSE(f.asked.isEmpty());
    EXPECT_EQ(f.asked[0].text, QString::fromUtf8("L'archivio \"C:\\dati\\altro.fdb\" non è stato trovato"));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE2=1")).size(), 2u);
}

TEST_F(ArchivioQuery, aDefinitionNamingAnArchiveStoresItsRowsThereNumberedAcrossBoth)
{
    ApritoreDiTest apritore;
    const QString altroPath = m_dir.file(QStringLiteral("altro.fdb"));
    db::Attachment altro = createDatabase(altroPath);
    preparaArchivio(altro);
    query(altro, 40, QStringLiteral("Lontana"));
    query(12, QStringLiteral("Vicina"));

    const QString file = m_dir.file(QStringLiteral("altro.txt"));
    scriviFile(file, sostituisci("<query=7;Clienti;CLIENTI;;", QByteArray("<query=7;Clienti;CLIENTI;") + altroPath.toLocal8Bit() + ";"));
    platform::RecordingFeedback f;
    const EsitoImportazione esito = ImportaDefinizioneQuery(att(), tra(), file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    ASSERT_EQ(esito.codici, std::vector<int>{41});
    EXPECT_EQ(leggiInt(altro, QStringLiteral("CODICE2=41")).size(), 2u);
    EXPECT_TRUE(leggiInt(QStringLiteral("CODICE2=41")).empty());
    EXPECT_EQ(conta(altro, QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=41 AND TITOLO='Clienti'")), 1);
    altro.dropDatabase();
}

// ---- what the writer refuses ----------------------------------------------------------

struct CasoRifiuto
{
    const char *nome;
    const char *titolo;
    RigaInt riga;
    const char *motivo;
};

class ScritturaRifiutata : public ArchivioQuery, public ::testing::WithParamInterface<CasoRifiuto> {};

TEST_P(ScritturaRifiutata, givesTheReasonInsteadOfAFileThatReadsBackDifferent)
{
    query(1, QString::fromUtf8(GetParam().titolo));
    righeInt({GetParam().riga});
    platform::RecordingFeedback f;
    try {
        TestoDefinizione(att(), tra(), 1, f, kQuando);
        FAIL() << "written";
    } catch (const ErroreDefinizione &e) {
        EXPECT_TRUE(e.messaggio().contains(QString::fromUtf8(GetParam().motivo))) << e.messaggio().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ScritturaRifiutata,
    ::testing::Values(
        CasoRifiuto{"semicolonInTitle", "Clienti; attivi", {0, 1, 1, "CODICE", 1, ""}, "il titolo contiene il carattere ;"},
        CasoRifiuto{"lineBreakInCondition", "T", {0, 1, 1, "CODICE", 1, "(CODICE > 1\n OR CODICE < 0)"}, "ritorno a capo"},
        CasoRifiuto{"tagInCondition", "T", {0, 1, 1, "CODICE", 1, "x <FINEFILE> y"}, "etichetta del formato"},
        CasoRifiuto{"conditionShapedAsTag", "T", {0, 1, 1, "CODICE", 1, "<ROMA>"}, "forma di un'etichetta"},
        CasoRifiuto{"semicolonInName", "T", {0, 1, 1, "A;B", 1, ""}, "il nome della riga 1"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(ArchivioQuery, aMissingTableStopsTheWriterWithTheReason)
{
    query(att(), 1, QStringLiteral("Persa"), QStringLiteral("SPARITA"));
    platform::RecordingFeedback f;
    EXPECT_THROW(TestoDefinizione(att(), tra(), 1, f, kQuando), db::Error);
}

TEST_F(ArchivioQuery, aFailedWriteLeavesTheOldFile)
{
    const QString file = m_dir.file(QStringLiteral("cartella"));
    ASSERT_TRUE(QDir().mkpath(file));
    QString motivo;
    EXPECT_FALSE(ScriviDefinizione(file, {QStringLiteral("x")}, motivo));
    EXPECT_FALSE(motivo.isEmpty());
}

} // namespace

namespace {

TEST_F(ArchivioQuery, aQueryOfAnotherArchiveIsWrittenFromThereAndReadBackThere)
{
    ApritoreDiTest apritore;
    const QString altroPath = m_dir.file(QStringLiteral("magazzino.fdb"));
    db::Attachment altro = createDatabase(altroPath);
    preparaArchivio(altro);
    {
        db::Transaction t(altro);
        db::executeSql(t, QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, PREZZO DOUBLE PRECISION)"));
        t.commit();
    }
    query(att(), 3, QStringLiteral("Articoli"), QStringLiteral("ARTICOLI"), altroPath);
    righeInt(altro, {{0, 3, 1, "CODICE", 1, ""}, {0, 3, 2, "PREZZO", 1, "(PREZZO > 10)"}});

    platform::RecordingFeedback f;
    const QStringList righe = TestoDefinizione(att(), tra(), 3, f, kQuando);
    EXPECT_TRUE(righe.contains(QStringLiteral("<tabdb=ARTICOLI;") + altroPath + QStringLiteral(";2;0;0;0;0;0;>")));
    EXPECT_TRUE(righe.contains(QStringLiteral("<campo=0;3;2;PREZZO;1;>")));
    EXPECT_TRUE(f.asked.isEmpty());
    const QString file = m_dir.file(QStringLiteral("articoli.txt"));
    QString motivo;
    ASSERT_TRUE(ScriviDefinizione(file, righe, motivo));

    // Read into another registry: the rows go to the archive the file names.
    db::Attachment registro = createDatabase(m_dir.file(QStringLiteral("registro.fdb")));
    preparaArchivio(registro);
    db::Transaction t(registro);
    const EsitoImportazione esito = ImportaDefinizioneQuery(registro, t, file, f);
    ASSERT_TRUE(esito.completa) << esito.dettaglio.toStdString();
    t.commit();
    // Numbered across both databases: neither holds a stored query yet.
    ASSERT_EQ(esito.codici, std::vector<int>{1});
    EXPECT_EQ(leggiInt(altro, QStringLiteral("CODICE2=1")).size(), 2u);
    EXPECT_EQ(conta(altro, QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=1 AND TABELLA='ARTICOLI'")), 1);
    EXPECT_TRUE(leggiInt(registro).empty());
    registro.dropDatabase();
    altro.dropDatabase();
}

} // namespace
