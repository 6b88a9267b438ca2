// The clean-up actions: each kind on a real table, the sequence file, the
// checks, what a cancelled run keeps, and the quote replacement.
#include "tabletools/Azioni.h"

#include "db/ResultSet.h"
#include "db/Statement.h"
#include "support/FbFixture.h"
#include "tabletools/TabellaEditor.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

class AzioniDb : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE ART (CODICE VARCHAR(10) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(30), "
                            "NOTE BLOB SUB_TYPE 1)"));
        exec(QStringLiteral("INSERT INTO ART VALUES ('A1', ' a b ', 'riga1' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'riga2')"));
        exec(QStringLiteral("INSERT INTO ART VALUES ('A2', 'abc', NULL)"));
        exec(QStringLiteral("INSERT INTO ART VALUES ('A3', 'ABC', 'l''apice')"));
        exec(QStringLiteral("INSERT INTO ART VALUES ('A4', 'aXbXc', NULL)"));
        exec(QStringLiteral("INSERT INTO ART VALUES ('A5', NULL, NULL)"));
    }
    QStringList valori(const QString &campo)
    {
        db::Statement st(tra(), QStringLiteral("SELECT ") + campo + QStringLiteral(" FROM ART ORDER BY CODICE"),
                         db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        QStringList v;
        while (rs.next())
            v << (rs.isNull(0) ? QStringLiteral("<null>") : rs.text(0));
        return v;
    }
    Azione azione(int codice, const char *campo, const char *v1 = "", const char *v2 = "", bool cs = false)
    {
        Azione a;
        a.nriga = ++m_n;
        a.azione = codice;
        a.descrizione = didascalieAzioni().at(codice);
        a.campo1 = QString::fromUtf8(campo);
        a.valore1 = QString::fromUtf8(v1);
        a.valore2 = QString::fromUtf8(v2);
        a.cs = cs ? QStringLiteral("1") : QStringLiteral("0");
        return a;
    }
    int m_n = 0;
};

struct CasoAzione
{
    const char *nome;
    int codice;
    const char *campo;
    const char *v1;
    const char *v2;
    bool cs;
    const char *verifica;
    QStringList attesi;
};

class OgniAzione : public AzioniDb, public ::testing::WithParamInterface<CasoAzione>
{
};

TEST_P(OgniAzione, ChangesTheTable)
{
    const CasoAzione &c = GetParam();
    TabellaEditor t(tra(), QStringLiteral("ART"));
    platform::RecordingFeedback fb;
    ASSERT_EQ(eseguiSequenza(t, t.statementGriglia(), {azione(c.codice, c.campo, c.v1, c.v2, c.cs)}, fb),
              EsitoSequenza::Completata);
    EXPECT_EQ(valori(QString::fromUtf8(c.verifica)), c.attesi);
}

const QString kCrLf = QStringLiteral("\r\n");

INSTANTIATE_TEST_SUITE_P(
    Azioni, OgniAzione,
    ::testing::Values(
        CasoAzione{"RemoveBlanks", 0, "DESCRIZIONE", "", "", false, "DESCRIZIONE",
                   {"ab", "abc", "ABC", "aXbXc", "<null>"}},
        CasoAzione{"DeleteNull", 1, "descrizione", "", "", false, "CODICE", {"A1", "A2", "A3", "A4"}},
        CasoAzione{"DeleteEqualCaseSensitive", 2, "DESCRIZIONE", "abc", "", true, "CODICE", {"A1", "A3", "A4", "A5"}},
        CasoAzione{"DeleteEqualAnyCase", 2, "DESCRIZIONE", "abc", "", false, "CODICE", {"A1", "A4", "A5"}},
        CasoAzione{"ReplaceAnyCaseWritesUpper", 3, "DESCRIZIONE", "abc", "Xyz", false, "DESCRIZIONE",
                   {" a b ", "XYZ", "XYZ", "aXbXc", "<null>"}},
        CasoAzione{"ReplaceCaseSensitive", 3, "DESCRIZIONE", "abc", "Xyz", true, "DESCRIZIONE",
                   {" a b ", "Xyz", "ABC", "aXbXc", "<null>"}},
        CasoAzione{"ReplaceWithQuote", 3, "DESCRIZIONE", "abc", "l'a", true, "DESCRIZIONE",
                   {" a b ", "l'a", "ABC", "aXbXc", "<null>"}},
        CasoAzione{"RemoveText", 4, "DESCRIZIONE", "X", "", false, "DESCRIZIONE", {" a b ", "abc", "ABC", "abc", "<null>"}},
        CasoAzione{"ReplaceFirstSubstring", 5, "DESCRIZIONE", "X", "-", true, "DESCRIZIONE",
                   {" a b ", "abc", "ABC", "a-bXc", "<null>"}},
        CasoAzione{"ReplaceFirstSubstringAnyCase", 5, "DESCRIZIONE", "b", "-", false, "DESCRIZIONE",
                   {" a - ", "a-c", "A-C", "aX-Xc", "<null>"}},
        CasoAzione{"ReplaceLineBreaks", 6, "NOTE", " / ", "", false, "NOTE",
                   {"riga1 /  / riga2", "<null>", "l'apice", "<null>", "<null>"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(AzioniDb, RemovingThatMakesADuplicateDeletesTheRowAndSaysSo)
{
    exec(QStringLiteral("CREATE TABLE K (ID INTEGER NOT NULL PRIMARY KEY, COD VARCHAR(10), CONSTRAINT UQ_K UNIQUE (COD))"));
    exec(QStringLiteral("INSERT INTO K VALUES (1, 'AB')"));
    exec(QStringLiteral("INSERT INTO K VALUES (2, 'AB-')"));
    exec(QStringLiteral("INSERT INTO K VALUES (3, 'CD-')"));
    TabellaEditor t(tra(), QStringLiteral("K"));
    platform::RecordingFeedback fb;
    ASSERT_EQ(eseguiSequenza(t, t.statementGriglia(), {azione(7, "COD", "-")}, fb), EsitoSequenza::Completata);
    db::Statement st(tra(), QStringLiteral("SELECT ID || ':' || COD FROM K ORDER BY ID"), db::ParamStyle::AsWritten);
    QStringList righe;
    for (const auto &r : st.open().fetchAll())
        righe << db::toText(r[0]);
    EXPECT_EQ(righe, (QStringList{QStringLiteral("1:AB"), QStringLiteral("3:CD")}));
    ASSERT_EQ(fb.lines.size(), 1);
    EXPECT_EQ(fb.lines[0], QStringLiteral("La sostituzione del valore \"AB-\" con \"AB\" per il campo COD genera un "
                                          "potenziale duplicato: il record verrà eliminato"));
}

TEST_F(AzioniDb, CancellingKeepsWhatRowsCommittedAfterAStatementAction)
{
    TabellaEditor t(tra(), QStringLiteral("ART"));
    platform::RecordingFeedback fb;
    fb.answers = {platform::Answer::Yes};
    Azione incompleta = azione(2, "DESCRIZIONE");
    EXPECT_EQ(eseguiSequenza(t, t.statementGriglia(), {azione(1, "DESCRIZIONE"), azione(0, "DESCRIZIONE"), incompleta}, fb),
              EsitoSequenza::Annullata);
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_TRUE(fb.asked[0].text.contains(QStringLiteral("incompletezza di dati")));
    EXPECT_EQ(valori(QStringLiteral("CODICE")), (QStringList{"A1", "A2", "A3", "A4"}));
    EXPECT_EQ(valori(QStringLiteral("DESCRIZIONE")).first(), QStringLiteral("ab"));
}

TEST_F(AzioniDb, AFailingActionRollsBackTheStatementsNotYetCommitted)
{
    TabellaEditor t(tra(), QStringLiteral("ART"));
    platform::RecordingFeedback fb;
    EXPECT_EQ(eseguiSequenza(t, t.statementGriglia(),
                             {azione(1, "DESCRIZIONE"), azione(3, "DESCRIZIONE", "abc", "TESTO TROPPO LUNGO PER LA COLONNA")},
                             fb),
              EsitoSequenza::Fallita);
    EXPECT_EQ(valori(QStringLiteral("CODICE")).size(), 5);
    ASSERT_FALSE(fb.asked.isEmpty());
    EXPECT_TRUE(fb.asked.last().text.startsWith(QStringLiteral("Elaborazione fallita\r")));
}

TEST_F(AzioniDb, AnInvalidRowAnsweredNoIsSkipped)
{
    TabellaEditor t(tra(), QStringLiteral("ART"));
    platform::RecordingFeedback fb;
    fb.answers = {platform::Answer::No};
    Azione senza = azione(1, "DESCRIZIONE");
    senza.azione.reset();
    EXPECT_EQ(eseguiSequenza(t, t.statementGriglia(), {senza, azione(1, "DESCRIZIONE")}, fb), EsitoSequenza::Completata);
    EXPECT_EQ(fb.asked.size(), 1);
    EXPECT_EQ(valori(QStringLiteral("CODICE")).size(), 4);
}

TEST_F(AzioniDb, QuotesBecomeAcuteAccentsWithOneLinePerQuote)
{
    exec(QStringLiteral("UPDATE ART SET DESCRIZIONE = 'l''a''b' WHERE CODICE = 'A2'"));
    TabellaEditor t(tra(), QStringLiteral("ART"));
    platform::RecordingFeedback fb;
    EXPECT_EQ(sostituisciApici(t, t.statementGriglia(), fb), 2);
    EXPECT_EQ(valori(QStringLiteral("DESCRIZIONE"))[1], QStringLiteral("l´a´b"));
    EXPECT_EQ(valori(QStringLiteral("NOTE"))[2], QStringLiteral("l´apice"));
    EXPECT_EQ(fb.lines, (QStringList{QStringLiteral("Art.A2 aggiornato"), QStringLiteral("Art.A2 aggiornato"),
                                     QStringLiteral("Art.A3 aggiornato")}));
}

TEST_F(AzioniDb, QuoteReplacementWithoutCodiceStopsAtTheFirstQuote)
{
    exec(QStringLiteral("CREATE TABLE SENZA (ID INTEGER NOT NULL PRIMARY KEY, T VARCHAR(5))"));
    exec(QStringLiteral("INSERT INTO SENZA VALUES (1, 'a''b')"));
    TabellaEditor t(tra(), QStringLiteral("SENZA"));
    platform::RecordingFeedback fb;
    EXPECT_THROW(sostituisciApici(t, t.statementGriglia(), fb), std::invalid_argument);
}

struct CasoControllo
{
    int codice;
    const char *campo, *v1, *v2;
    QStringList messaggi;
};

class Controlli : public ::testing::TestWithParam<CasoControllo>
{
};

TEST_P(Controlli, AllMessagesOfTheAction)
{
    const CasoControllo &c = GetParam();
    EXPECT_EQ(controlliAggiunta(c.codice, QString::fromUtf8(c.campo), QString::fromUtf8(c.v1), QString::fromUtf8(c.v2)),
              c.messaggi);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Controlli,
    ::testing::Values(CasoControllo{0, "", "", "", {"Specificare un valore per Campo1"}},
                      CasoControllo{1, "X", "", "", {}},
                      CasoControllo{3, "", "", "",
                                    {"Specificare un valore per Campo 1", "Specificare un valore per Valore 1",
                                     "Specificare un valore per Valore 2"}},
                      CasoControllo{5, "X", "a", "", {"Specificare un valore per Valore 2"}},
                      CasoControllo{2, "", "", "", {"Specificare un valore per Campo 1", "Specificare un valore per Valore 1"}},
                      CasoControllo{6, "X", "", "", {"Specificare un valore per Valore 1"}},
                      CasoControllo{7, "", "", "", {}}));

TEST(TestiAzioni, RowByRowTextChanges)
{
    EXPECT_EQ(togliSpazi(QStringLiteral(" a  b ")), QStringLiteral("ab"));
    EXPECT_EQ(togli(QStringLiteral("aaa"), QStringLiteral("aa")), QStringLiteral("a"));
    EXPECT_EQ(togli(QStringLiteral("aXa"), QStringLiteral("x")), QStringLiteral("aXa"));
    EXPECT_EQ(sostituisciPrima(QStringLiteral("aXbXc"), QStringLiteral("X"), QStringLiteral("-"), true),
              QStringLiteral("a-bXc"));
    EXPECT_EQ(sostituisciPrima(QStringLiteral("abc"), QStringLiteral("x"), QStringLiteral("-"), true), std::nullopt);
    EXPECT_EQ(sostituisciACapo(QStringLiteral("a\r\nb"), QStringLiteral(" / ")), QStringLiteral("a /  / b"));
}

TEST(FileAzioni, LinesRoundTripAndOtherLinesAreSkipped)
{
    Azione a;
    a.nriga = 3;
    a.azione = 5;
    a.descrizione = didascalieAzioni()[5];
    a.campo1 = QStringLiteral("NOME");
    a.valore1 = QStringLiteral("x");
    a.valore2 = QStringLiteral("y");
    a.cs = QStringLiteral("1");
    const QString riga = rigaFile(a);
    EXPECT_TRUE(riga.endsWith(QLatin1Char(';')));
    EXPECT_EQ(riga.count(QLatin1Char(';')), 8);
    const auto letta = azioneDaRiga(riga);
    ASSERT_TRUE(letta);
    EXPECT_EQ(letta->azione, 5);
    EXPECT_EQ(letta->valore2, QStringLiteral("y"));
    EXPECT_TRUE(letta->sensibile());
    EXPECT_FALSE(azioneDaRiga(QStringLiteral("1;2;3;4;5;6;7;")));
    EXPECT_FALSE(azioneDaRiga(QString()));
    a.valore1 = QStringLiteral("a;b"); // does not come back as the same row
    EXPECT_FALSE(azioneDaRiga(rigaFile(a)));
    EXPECT_TRUE(azioneDaRiga(QStringLiteral("1;;x;C;;;;0;")));
    EXPECT_FALSE(azioneDaRiga(QStringLiteral("1;;x;C;;;;0;"))->azione);
}

TEST(FileAzioni, TxtAddedOnlyWhenMissing)
{
    EXPECT_EQ(nomeFileSequenza(QStringLiteral("azioni")), QStringLiteral("azioni.TXT"));
    EXPECT_EQ(nomeFileSequenza(QStringLiteral("dati.txt.bak")), QStringLiteral("dati.txt.bak"));
    EXPECT_EQ(nomeFileSequenza(QStringLiteral("a.Txt")), QStringLiteral("a.Txt"));
}

} // namespace
