// Tables joined to a query and the rules of the advanced-processing menu.

#include "platform/QtPrinters.h"
#include "qbe/ElaborazioniAvanzate.h"
#include "qbe/TabelleAggiunte.h"
#include "Righe.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;
using vardof::test::R;
using vardof::test::righe;
using vardof::test::tabella;

namespace {

QString q(const char *s) { return QString::fromUtf8(s); }

TabellaDaAggiungere zone(ModoJoin modo = ModoJoin::Left)
{
    TabellaDaAggiungere t;
    t.nome = q("ZONE");
    t.aggiungiCollegamento(q("ZONA"), q("CODICE"));
    t.colonne << q("DESCR");
    t.modo = modo;
    return t;
}

const auto kClienti = righe({{"CODICE", 1}, {"NOME", 1}, {"ZONA", 0}});

struct CasoAggiunta
{
    const char *nome;
    ModoJoin modo;
    int mostraTestata;
    const char *condTestata;
};
void PrintTo(const CasoAggiunta &c, std::ostream *os) { *os << c.nome; }

class Aggiunta : public ::testing::TestWithParam<CasoAggiunta> {};
TEST_P(Aggiunta, appendsHeaderLinksAndColumns)
{
    TabIntTmp t;
    t.setRighe(kClienti);
    TabellaDaAggiungere z = zone(GetParam().modo);
    z.aggiungiCollegamento(q("NOME"), q("NOTE"));
    z.colonne << q("NOTE");
    ASSERT_EQ(aggiungiTabella(t, z), QString());
    EXPECT_EQ(t.righe(), righe({{"CODICE", 1}, {"NOME", 1}, {"ZONA", 0},
                                {"ZONE = A", GetParam().mostraTestata, GetParam().condTestata},
                                {"A.CODICE", 8, "ZONA"}, {"A.NOTE", 8, "NOME"}, {"A.DESCR", 1}, {"A.NOTE", 1}}));
}
INSTANTIATE_TEST_SUITE_P(Casi, Aggiunta,
                         ::testing::Values(CasoAggiunta{"left", ModoJoin::Left, 9, ""},
                                           CasoAggiunta{"right", ModoJoin::Right, 3, ""},
                                           CasoAggiunta{"condizioniPrima", ModoJoin::LeftCondizioniPrima, 9, "P"}),
                         [](const auto &info) { return std::string(info.param.nome); });

struct CasoRiporta
{
    const char *nome;
    bool conTabella, conLink, conColonna;
    const QString *messaggio;
};
void PrintTo(const CasoRiporta &c, std::ostream *os) { *os << c.nome; }

class Riporta : public ::testing::TestWithParam<CasoRiporta> {};
TEST_P(Riporta, refusesInOrderAndAddsNothing)
{
    TabellaDaAggiungere z;
    if (GetParam().conTabella)
        z.nome = q("ZONE");
    if (GetParam().conLink)
        z.aggiungiCollegamento(q("ZONA"), q("CODICE"));
    if (GetParam().conColonna)
        z.colonne << q("DESCR");
    TabIntTmp t;
    t.setRighe(kClienti);
    EXPECT_EQ(aggiungiTabella(t, z), *GetParam().messaggio);
    EXPECT_EQ(t.righe(), kClienti);
}
INSTANTIATE_TEST_SUITE_P(Casi, Riporta,
                         ::testing::Values(CasoRiporta{"nienteTabella", false, false, false, &kMsgScegliereTabella},
                                           CasoRiporta{"nienteTabellaMaAltro", false, true, true, &kMsgScegliereTabella},
                                           CasoRiporta{"nienteLink", true, false, true, &kMsgCreareCollegamento},
                                           CasoRiporta{"nienteColonna", true, true, false, &kMsgScegliereCampo}),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST(TabelleAggiunte, coppiaRipetutaElencataUnaVolta)
{
    TabellaDaAggiungere z = zone();
    z.aggiungiCollegamento(q("ZONA"), q("CODICE"));
    z.aggiungiCollegamento(q(""), q("CODICE"));
    EXPECT_EQ(z.collegamenti.size(), 1u);
}

TEST(TabelleAggiunte, aliasDopoRimozioneRiusato)
{
    TabIntTmp t;
    t.setRighe(kClienti);
    EXPECT_EQ(prefissoAlias(t), q("A."));
    ASSERT_EQ(aggiungiTabella(t, zone()), QString());
    TabellaDaAggiungere agenti;
    agenti.nome = q("AGENTI");
    agenti.aggiungiCollegamento(q("CODICE"), q("CLIENTE"));
    agenti.colonne << q("NOME");
    ASSERT_EQ(aggiungiTabella(t, agenti), QString());
    EXPECT_EQ(testate(t), (QStringList{q("ZONE = A"), q("AGENTI = B")}));
    EXPECT_EQ(prefissoAlias(t), q("C."));
    ASSERT_EQ(eliminaTabella(t, q("AGENTI = B")), QString());
    EXPECT_EQ(prefissoAlias(t), q("B."));
    ASSERT_EQ(aggiungiTabella(t, agenti), QString());
    EXPECT_EQ(testate(t), (QStringList{q("ZONE = A"), q("AGENTI = B")}));
}

struct CasoPresente
{
    const char *nome;
    ModoJoin modoPrima;
    bool presente;
};
void PrintTo(const CasoPresente &c, std::ostream *os) { *os << c.nome; }

class Presente : public ::testing::TestWithParam<CasoPresente> {};
TEST_P(Presente, onlyAPlainLeftJoinCounts)
{
    TabIntTmp t;
    t.setRighe(kClienti);
    EXPECT_FALSE(tabellaGiaPresente(t, q("ZONE")));
    ASSERT_EQ(aggiungiTabella(t, zone(GetParam().modoPrima)), QString());
    EXPECT_EQ(tabellaGiaPresente(t, q("ZONE")), GetParam().presente);
    EXPECT_FALSE(tabellaGiaPresente(t, q("ZON")));
}
INSTANTIATE_TEST_SUITE_P(Casi, Presente,
                         ::testing::Values(CasoPresente{"left", ModoJoin::Left, true},
                                           CasoPresente{"right", ModoJoin::Right, false},
                                           CasoPresente{"condizioniPrima", ModoJoin::LeftCondizioniPrima, false}),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST(TabelleAggiunte, colonneCollegabiliSoloCodici0e1)
{
    TabIntTmp t = tabella({{"CODICE", 1}, {"ZONA", 0}, {"X", 5}, {"ZONE = A", 9}, {"A.CODICE", 8, "ZONA"},
                           {"A.DESCR", 1}, {"QUERY BLOCCATA", 7}});
    EXPECT_EQ(colonneCollegabili(t), (QStringList{q("CODICE"), q("ZONA"), q("A.DESCR")}));
}

TEST(TabelleAggiunte, eliminazioneRifiutataFinoAQuandoUnAltraTabellaEColl)
{
    TabIntTmp t;
    t.setRighe(kClienti);
    ASSERT_EQ(aggiungiTabella(t, zone()), QString());
    TabellaDaAggiungere regioni;
    regioni.nome = q("REGIONI");
    regioni.aggiungiCollegamento(q("A.DESCR"), q("NOME"));
    regioni.colonne << q("CAPOLUOGO");
    ASSERT_EQ(aggiungiTabella(t, regioni), QString());
    const auto prima = t.righe();
    EXPECT_EQ(eliminaTabella(t, q("ZONE = A")), kMsgTabellaCollegata);
    EXPECT_EQ(t.righe(), prima);
    EXPECT_EQ(eliminaTabella(t, q("REGIONI = B")), QString());
    EXPECT_EQ(eliminaTabella(t, q("ZONE = A")), QString());
    EXPECT_EQ(t.righe(), kClienti);
    // Unknown header: nothing to remove, nothing refused.
    EXPECT_EQ(eliminaTabella(t, q("ZONE = A")), QString());
}

TEST(TabelleAggiunte, eliminazioneLasciaBuchiNeiNumeri)
{
    TabIntTmp t = tabella({{"CODICE", 1}, {"ZONE = A", 9}, {"A.CODICE", 8, "CODICE"}, {"A.DESCR", 1},
                           {"AGENTI = B", 3}, {"B.CODICE", 8, "CODICE"}, {"B.NOME", 1}});
    ASSERT_EQ(eliminaTabella(t, q("ZONE = A")), QString());
    ASSERT_EQ(t.size(), 4);
    EXPECT_EQ(t.at(1).Numero, 5);
    EXPECT_EQ(t.at(3), (RigaInt{7, q("B.NOME"), 1, QString()}));
}

// ---- the advanced-processing menu --------------------------------------

struct CasoVoce
{
    const char *nome;
    VoceElaborazione voce;
    StatoElaborazione stato;
    const char *rifiuto; // "" accepted
};
void PrintTo(const CasoVoce &c, std::ostream *os) { *os << c.nome; }

class Voce : public ::testing::TestWithParam<CasoVoce> {};
TEST_P(Voce, refusesWithTheFirstFailedCheck)
{
    EXPECT_EQ(rifiutoVoce(GetParam().voce, GetParam().stato), q(GetParam().rifiuto));
}
using V = VoceElaborazione;
StatoElaborazione st(int livello, bool catena, bool unione, bool bloccata)
{
    return StatoElaborazione{livello, catena, unione, bloccata, true};
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Voce,
    ::testing::Values(
        CasoVoce{"campiLibera", V::CampiVisibili, st(0, false, false, false), ""},
        CasoVoce{"campiBloccataECatena", V::CampiVisibili, st(1, true, false, true),
                 "Attenzione: operazione non possibile, la Query è bloccata!"},
        CasoVoce{"campiCatena", V::CampiVisibili, st(1, true, false, false),
                 "Attenzione: operazione non possibile, la Query è successiva!"},
        CasoVoce{"bloccaUnione", V::BloccaQuery, st(0, false, true, true),
                 "Attenzione: operazione non possibile, la Query è affiancata!"},
        CasoVoce{"bloccaLibera", V::BloccaQuery, st(0, false, false, false), ""},
        CasoVoce{"affiancaNonBloccata", V::AffiancaUnione, st(0, false, false, false),
                 "Attenzione: operazione non possibile, la Query deve essere bloccata!"},
        CasoVoce{"affiancaBloccata", V::AffiancaUnione, st(0, false, false, true), ""},
        CasoVoce{"togliSenzaUnione", V::TogliAffiancata, st(0, false, false, true),
                 "Attenzione: operazione non possibile, la Query deve avere almeno un affiancamento!"},
        CasoVoce{"togliConUnione", V::TogliAffiancata, st(0, false, true, true), ""},
        CasoVoce{"precedenteSenzaCatena", V::PassaPrecedente, st(1, false, false, false),
                 "Attenzione: operazione non possibile, la Query non è successiva!"},
        CasoVoce{"precedenteLivello0", V::PassaPrecedente, st(0, true, false, false),
                 "Attenzione: operazione non possibile, nessuna query precedente!"},
        CasoVoce{"precedenteLivello1", V::PassaPrecedente, st(1, true, false, false), ""},
        CasoVoce{"successivaSempre", V::PassaSuccessiva, st(0, false, true, true), ""},
        CasoVoce{"eliminaSenzaCatena", V::EliminaSuccessiva, st(2, false, false, true),
                 "Attenzione: operazione non possibile, nessuna query successiva presente!"},
        CasoVoce{"eliminaLivello0", V::EliminaSuccessiva, st(0, true, false, true),
                 "Attenzione: operazione non possibile, query iniziale!"},
        CasoVoce{"eliminaBloccata", V::EliminaSuccessiva, st(2, true, false, true),
                 "Attenzione: operazione non possibile, query bloccata!"},
        CasoVoce{"eliminaAmmessa", V::EliminaSuccessiva, st(2, true, false, false), ""},
        CasoVoce{"chiudi", V::Chiudi, st(0, true, true, true), ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(ElaborazioniAvanzate, testiDelRisultato)
{
    EXPECT_EQ(risultatoVoce(V::CampiVisibili), q("CampiVisibili"));
    EXPECT_EQ(risultatoVoce(V::BloccaQuery), q("BloccaQuery"));
    EXPECT_EQ(risultatoVoce(V::AffiancaUnione), q("QueryAffiancata"));
    EXPECT_EQ(risultatoVoce(V::TogliAffiancata), q("TogliQueryAffiancata"));
    EXPECT_EQ(risultatoVoce(V::PassaPrecedente), q("PassaPrecedente"));
    EXPECT_EQ(risultatoVoce(V::PassaSuccessiva), q("PassaSuccessiva"));
    EXPECT_EQ(risultatoVoce(V::EliminaSuccessiva), q("EliminaSuccessiva"));
    EXPECT_EQ(risultatoVoce(V::Chiudi), QString());
    EXPECT_TRUE(voceCatena(V::PassaPrecedente) && voceCatena(V::PassaSuccessiva) && voceCatena(V::EliminaSuccessiva));
    EXPECT_FALSE(voceCatena(V::BloccaQuery) || voceCatena(V::AffiancaUnione) || voceCatena(V::Chiudi));
}

} // namespace
