// The classification tables: their creation, the checks of a typed
// description, the next code, and the refusal to delete a value in use.

#include "ArchivioQuery.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "storedqueries/Classificazioni.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::storedqueries;
using namespace vardof::test;

namespace {

class Classificazioni : public FbFixture
{
protected:
    void valori(int n, std::initializer_list<std::pair<int, const char *>> righe)
    {
        for (const auto &[codice, descrizione] : righe)
            exec(QStringLiteral("INSERT INTO QUERYCLASS%1 VALUES (%2, '%3')")
                     .arg(n)
                     .arg(codice)
                     .arg(QString::fromUtf8(descrizione)));
    }
    void crea()
    {
        platform::RecordingFeedback f;
        ASSERT_TRUE(CheckTabQueryClass(att(), tra(), 1, f));
        ASSERT_TRUE(CheckTabQueryClass(att(), tra(), 2, f));
        tra().commit();
    }
};

TEST_F(Classificazioni, checkCreatesTheTableOnceWithItsColumns)
{
    platform::RecordingFeedback f;
    EXPECT_FALSE(db::catalog::relationExists(att(), tra(), QStringLiteral("QUERYCLASS2")));
    ASSERT_TRUE(CheckTabQueryClass(att(), tra(), 2, f));
    ASSERT_TRUE(CheckTabQueryClass(att(), tra(), 2, f));
    EXPECT_TRUE(f.asked.isEmpty());
    const auto colonne = db::catalog::columns(att(), tra(), QStringLiteral("QUERYCLASS2"));
    ASSERT_EQ(colonne.size(), 2u);
    EXPECT_EQ(colonne[1].name, QStringLiteral("DESCRIZIONE"));
    EXPECT_EQ(colonne[1].length, 20);
    EXPECT_FALSE(db::catalog::relationExists(att(), tra(), QStringLiteral("QUERYCLASS1")));
    EXPECT_EQ(creaQueryClass(1), (QStringList{"CREATE TABLE QUERYCLASS1(", "CODICE INTEGER NOT NULL PRIMARY KEY,",
                                              "DESCRIZIONE VARCHAR(20)", ")"}));
}

TEST_F(Classificazioni, theRegistryPreparationCreatesBoth)
{
    preparaArchivio(att());
    db::Transaction t(att());
    EXPECT_TRUE(db::catalog::relationExists(t, QStringLiteral("QUERYCLASS1")));
    EXPECT_TRUE(db::catalog::relationExists(t, QStringLiteral("QUERYCLASS2")));
}

TEST_F(Classificazioni, aFailedCreationIsToldWithTheServersReason)
{
    db::Transaction lettura(att(), {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_read")});
    platform::RecordingFeedback f;
    EXPECT_FALSE(CheckTabQueryClass(att(), lettura, 1, f));
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0].kind, platform::Error);
    EXPECT_TRUE(f.asked[0].text.startsWith(QStringLiteral("Errore interno durante la creazione della tabella \"QUERYCLASS1\":\r")))
        << f.asked[0].text.toStdString();
    EXPECT_GT(f.asked[0].text.size(), 70);
}

struct CasoDescrizione
{
    const char *nome;
    const char *digitato;
    std::optional<int> escluso; // renaming that code
    EsitoDescrizione esito;
    const char *memorizzata;
};

class Descrizioni : public Classificazioni, public ::testing::WithParamInterface<CasoDescrizione>
{
protected:
    void SetUp() override
    {
        Classificazioni::SetUp();
        crea();
        valori(1, {{1, "Vendite"}, {2, "O´Neil"}, {5, "Acquisti"}});
        valori(2, {{1, "Mensili"}});
    }
};

TEST_P(Descrizioni, areCheckedInTheDialogsOrder)
{
    QString accettata;
    EXPECT_EQ(verificaDescrizione(att(), 1, QString::fromUtf8(GetParam().digitato), GetParam().escluso, accettata),
              GetParam().esito);
    EXPECT_EQ(accettata, QString::fromUtf8(GetParam().memorizzata));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Descrizioni,
    ::testing::Values(CasoDescrizione{"empty", "", std::nullopt, EsitoDescrizione::Vuota, ""},
                      CasoDescrizione{"twentyOne", "123456789012345678901", std::nullopt,
                                      EsitoDescrizione::TroppoLunga, ""},
                      CasoDescrizione{"twenty", "12345678901234567890", std::nullopt, EsitoDescrizione::Accettata,
                                      "12345678901234567890"},
                      CasoDescrizione{"twentyAccented", "àèìòùàèìòùàèìòùàèìòù", std::nullopt,
                                      EsitoDescrizione::Accettata, "àèìòùàèìòùàèìòùàèìòù"},
                      CasoDescrizione{"duplicate", "Vendite", std::nullopt, EsitoDescrizione::GiaUtilizzata, ""},
                      CasoDescrizione{"caseCounts", "VENDITE", std::nullopt, EsitoDescrizione::Accettata, "VENDITE"},
                      CasoDescrizione{"quoteBecomesAccent", "D'Amico", std::nullopt, EsitoDescrizione::Accettata,
                                      "D´Amico"},
                      CasoDescrizione{"quotedDuplicate", "O'Neil", std::nullopt, EsitoDescrizione::GiaUtilizzata, ""},
                      CasoDescrizione{"otherTableDoesNotCount", "Mensili", std::nullopt, EsitoDescrizione::Accettata,
                                      "Mensili"},
                      CasoDescrizione{"renameToItself", "Vendite", 1, EsitoDescrizione::Accettata, "Vendite"},
                      CasoDescrizione{"renameToAnother", "Acquisti", 1, EsitoDescrizione::GiaUtilizzata, ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(MessaggiDescrizione, areTheDialogsWarnings)
{
    EXPECT_EQ(messaggioDescrizione(EsitoDescrizione::Vuota), QStringLiteral("Inserire una descrizione"));
    EXPECT_EQ(messaggioDescrizione(EsitoDescrizione::TroppoLunga),
              QString::fromUtf8("La descrizione non può superare i 20 caratteri"));
    EXPECT_EQ(messaggioDescrizione(EsitoDescrizione::GiaUtilizzata), QString::fromUtf8("Descrizione già utilizzata"));
    EXPECT_TRUE(messaggioDescrizione(EsitoDescrizione::Accettata).isEmpty());
}

TEST_F(Classificazioni, theNextCodeIsOneAboveTheGreatest)
{
    crea();
    EXPECT_EQ(nuovoCodiceClassificazione(att(), 1), 1);
    valori(1, {{1, "a"}, {2, "b"}, {5, "c"}});
    EXPECT_EQ(nuovoCodiceClassificazione(att(), 1), 6);
    EXPECT_EQ(nuovoCodiceClassificazione(att(), 2), 1);
}

TEST_F(Classificazioni, addRenameAndDeleteAreCommittedAtOnce)
{
    crea();
    inserisciClassificazione(att(), tra(), 1, 1, QString::fromUtf8("D´Amico"));
    {
        db::Transaction altra(att());
        EXPECT_EQ(descrizioniClassificazione(att(), altra, 1), QStringList{QString::fromUtf8("D´Amico")});
    }
    rinominaClassificazione(att(), tra(), 1, 1, QStringLiteral("Acquisti"));
    inserisciClassificazione(att(), tra(), 1, 2, QStringLiteral("Vendite"));
    {
        db::Transaction altra(att());
        EXPECT_EQ(descrizioniClassificazione(att(), altra, 1), (QStringList{"Acquisti", "Vendite"}));
    }
    eliminaClassificazione(att(), tra(), 1, 1);
    db::Transaction altra(att());
    EXPECT_EQ(descrizioniClassificazione(att(), altra, 1), QStringList{"Vendite"});
}

TEST_F(Classificazioni, twoValuesUnderOneCodeAreRefusedByTheServer)
{
    crea();
    inserisciClassificazione(att(), tra(), 1, 1, QStringLiteral("Vendite"));
    EXPECT_THROW(inserisciClassificazione(att(), tra(), 1, 1, QStringLiteral("Altro")), db::Error);
    // The failed insert leaves nothing for the context's next commit.
    tra().commit();
    db::Transaction t(att());
    EXPECT_EQ(descrizioniClassificazione(att(), t, 1), QStringList{"Vendite"});
}

TEST_F(Classificazioni, aValueInUseIsRecognisedInItsOwnClassificationOnly)
{
    preparaArchivio(att());
    exec(QStringLiteral("INSERT INTO STOQUER (CODICE, CLASSIFICAZIONE1, CLASSIFICAZIONE2) VALUES (1, 'Vendite', 'Mensili')"));
    EXPECT_TRUE(classificazioneUsata(att(), 1, QStringLiteral("Vendite")));
    EXPECT_FALSE(classificazioneUsata(att(), 2, QStringLiteral("Vendite")));
    EXPECT_TRUE(classificazioneUsata(att(), 2, QStringLiteral("Mensili")));
    EXPECT_FALSE(classificazioneUsata(att(), 1, QStringLiteral("l'anno")));
}

TEST_F(Classificazioni, withoutTheStoredQueriesTheUsageTestFailsWithTheServersReason)
{
    crea();
    EXPECT_THROW(classificazioneUsata(att(), 1, QStringLiteral("Vendite")), db::Error);
}

} // namespace
