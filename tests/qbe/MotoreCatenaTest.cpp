// A chain of queries run on real tables: forward (creating the following
// queries), the answers of each level, back, forward over queries that
// exist, removal of the last link and the refusal of a middle one.

#include "StoricoDb.h"
#include "Righe.h"

#include "db/Catalog.h"
#include "db/Statement.h"
#include "platform/Services.h"
#include "qbe/Catena.h"
#include "qbe/MotoreCatena.h"
#include "qbe/ValidazioneRisposta.h"
#include "storedqueries/StoredQueryTables.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::qbe;
using test::R;
using test::righe;

namespace {

class Catena : public test::StoricoDb
{
protected:
    void SetUp() override
    {
        StoricoDb::SetUp();
        m_sessione0.setChiaveStorico(1, 55);
        m_motore = std::make_unique<TIBFQuerForm>(7, att(), tra(), att(), tra(), m_tab, QStringLiteral("CLIENTI"),
                                                  m_sessione0, QString(), QStringLiteral("DEMO"));
        m_storico = std::make_unique<StoricoQuery>(att(), tra());
        m_catena = std::make_unique<MotoreCatena>(*m_motore, *m_storico, att(), tra(), m_tab, m_risposta,
                                                  QStringLiteral("CLIENTI"), m_sessione0);
        // Level 0: customers of zone N, code and city shown.
        m_tab.setRighe(righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 1}, {"ZONA", 0, "(ZONA = 'N')"}}));
        m_storico->SalvaInterrogazioneSuStorico(1, 55, m_tab);
    }
    void TearDown() override
    {
        m_risposta.close();
        m_catena.reset();
        m_storico.reset();
        m_motore.reset();
        StoricoDb::TearDown();
    }

    // The codes of the current level's answer, in order.
    QStringList codici()
    {
        EXPECT_TRUE(m_motore->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta))
            << m_motore->ultimoErrore().toStdString();
        m_risposta.fetchAll();
        QStringList out;
        const int c = m_risposta.indexOfColonna(QStringLiteral("CODICE"));
        for (int r = 0; r < m_risposta.fetchedCount(); ++r)
            out << m_risposta.text(r, c);
        m_risposta.close();
        return out;
    }

    void condizione(const QString &nome, const QString &cond)
    {
        const int i = m_tab.indexOfNome(nome);
        ASSERT_GE(i, 0) << nome.toStdString();
        m_tab.setCondizione(i, cond);
    }

    platform::ScopedServices m_services;
    SessioneQuery m_sessione0;
    TabIntTmp m_tab;
    TabRispTmp m_risposta;
    std::unique_ptr<TIBFQuerForm> m_motore;
    std::unique_ptr<StoricoQuery> m_storico;
    std::unique_ptr<MotoreCatena> m_catena;
};

TEST_F(Catena, treLivelliAvantiEIndietro)
{
    EXPECT_EQ(codici(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(m_catena->prossimoNumero(), 1);

    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    EXPECT_EQ(m_catena->livello(), 1);
    EXPECT_EQ(m_catena->sessione().codiceCatena(), 1);
    EXPECT_TRUE(m_catena->sessione().catena());
    EXPECT_TRUE(m_catena->sessione().precedente());
    EXPECT_EQ(m_tab.righe(), righe({{"QUERY PRECEDENTE", 4, "55"}, {"CODICE", 1}, {"CITTA", 1}}));
    EXPECT_TRUE(db::catalog::relationExists(att(), tra(), QStringLiteral("TMP_RSUCC0007_0000")));
    EXPECT_EQ(codici(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));

    condizione(QStringLiteral("CODICE"), QStringLiteral("(CODICE > 1)"));
    m_storico->SalvaInterrogazioneSuStorico(kCodice1Catena, 1, m_tab);
    EXPECT_EQ(codici(), (QStringList{QStringLiteral("3")}));

    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    EXPECT_EQ(m_catena->livello(), 2);
    EXPECT_EQ(m_catena->sessione().codiceCatena(), 2);
    EXPECT_EQ(m_tab.at(0), (RigaInt{1, kQueryPrecedente, MostraCatena, QStringLiteral("1")}));
    EXPECT_EQ(codici(), (QStringList{QStringLiteral("3")}));

    // Back to level 1: its rows carry the marker of the query after it.
    ASSERT_TRUE(m_catena->PassaAQueryPrecedente());
    EXPECT_EQ(m_catena->livello(), 1);
    EXPECT_EQ(numeroSuccessiva(m_tab), 2.0);
    EXPECT_TRUE(m_catena->sessione().successiva());
    // Back to level 0: the stored query's own rows, marker kept.
    ASSERT_TRUE(m_catena->PassaAQueryPrecedente());
    EXPECT_EQ(m_catena->livello(), 0);
    EXPECT_EQ(m_tab.size(), 5);
    EXPECT_EQ(numeroSuccessiva(m_tab), 1.0);
    EXPECT_FALSE(m_catena->PassaAQueryPrecedente());

    // Forward again over the queries that exist: nothing new is created.
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    EXPECT_EQ(m_catena->livello(), 2);
    EXPECT_EQ(m_catena->prossimoNumero(), 3);
    EXPECT_EQ(codici(), (QStringList{QStringLiteral("3")}));
}

TEST_F(Catena, eliminazioneDellUltimoAnello)
{
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    ASSERT_TRUE(m_catena->PassaAQueryPrecedente());
    // Level 1 has a following query: it is not the last link.
    const auto prima = m_tab.righe();
    EXPECT_EQ(m_catena->EliminaUltimaQuerySuccessiva(), kMsgSoloUltimaSuccessiva);
    EXPECT_EQ(m_tab.righe(), prima);
    EXPECT_EQ(m_catena->livello(), 1);

    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    EXPECT_EQ(m_catena->EliminaUltimaQuerySuccessiva(), QString());
    EXPECT_EQ(m_catena->livello(), 1);
    EXPECT_FALSE(numeroSuccessiva(m_tab).has_value());
    EXPECT_FALSE(m_catena->sessione().successiva());
    TabIntTmp tolta;
    SessioneQuery st;
    EXPECT_FALSE(m_storico->RecuperaInterrogazionedaStorico(kCodice1Catena, 2, tolta, st));

    EXPECT_EQ(m_catena->EliminaUltimaQuerySuccessiva(), QString());
    EXPECT_EQ(m_catena->livello(), 0);
    EXPECT_FALSE(m_catena->sessione().catena());
    EXPECT_EQ(m_tab.righe(),
              righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 1}, {"ZONA", 0, "(ZONA = 'N')"}}));
    // Stored so too, and the numbers start again from 1.
    TabIntTmp salvata;
    SessioneQuery s;
    ASSERT_TRUE(m_storico->RecuperaInterrogazionedaStorico(1, 55, salvata, s));
    EXPECT_EQ(salvata.righe(), m_tab.righe());
    EXPECT_EQ(m_catena->prossimoNumero(), 1);
}

TEST_F(Catena, validazioneRifiutaIlPassoSuUnaSuccessivaEsistente)
{
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    ASSERT_TRUE(m_catena->PassaAQueryPrecedente());
    int chiamate = 0;
    m_catena->setValidazione([&chiamate](const SessioneQuery &, TabRispTmp &, TabIntTmp &) {
        ++chiamate;
        return false;
    });
    EXPECT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Rifiutato);
    EXPECT_EQ(chiamate, 1);
    EXPECT_EQ(m_catena->livello(), 0);
    EXPECT_EQ(numeroSuccessiva(m_tab), 1.0);
}

TEST_F(Catena, unErroreDiEsecuzioneFermaIlPasso)
{
    condizione(QStringLiteral("ZONA"), QStringLiteral("(NONESISTE = 1)"));
    platform::ScopedServices zitto;
    EXPECT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::ErroreEsecuzione);
    EXPECT_EQ(m_catena->livello(), 0);
    // The new marker is already saved with the query.
    EXPECT_TRUE(numeroSuccessiva(m_tab).has_value());
}

// A changed first query moved forward over its existing following query
// (CODICE and CITTA shown): the check accepts, adapts or refuses.
struct CasoValidazione
{
    const char *nome;
    std::vector<RigaInt> primaQuery;     // level 0 as changed by the user
    int mostraCittaSeguente;             // CITTA's code in the following query
    bool rispostaOk;                     // the answer to every question
    MotoreCatena::Esito esito;
    QStringList domande;
    std::vector<RigaInt> seguenteDopo;   // stored rows of query 1 afterwards
    bool primaRipristinata;              // level 0 back to its stored rows
};
void PrintTo(const CasoValidazione &c, std::ostream *os) { *os << c.nome; }

class Validazione : public Catena, public ::testing::WithParamInterface<CasoValidazione> {};
TEST_P(Validazione, weighsTheChangedQueryAgainstTheFollowingOne)
{
    const CasoValidazione &c = GetParam();
    ASSERT_EQ(m_catena->PassaAQuerySuccessiva(), MotoreCatena::Esito::Fatto);
    m_tab.setMostra(m_tab.indexOfNome(QStringLiteral("CITTA")), c.mostraCittaSeguente);
    m_storico->SalvaInterrogazioneSuStorico(kCodice1Catena, 1, m_tab);
    ASSERT_TRUE(m_catena->PassaAQueryPrecedente());
    const auto salvata = m_tab.righe();

    auto righeUtente = c.primaQuery;
    righeUtente.push_back(RigaInt{int(righeUtente.size()) + 1, kQuerySuccessiva, MostraCatena, QStringLiteral("1")});
    m_tab.setRighe(righeUtente);
    QStringList domande;
    m_catena->setValidazione([&](const SessioneQuery &s, TabRispTmp &risposta, TabIntTmp &tab) {
        return ValidazioneNuovaRisposta(*m_storico, s.codice1Aspetto(), s.codice2Aspetto(), colonneRisposta(risposta),
                                        tab, [&](const QString &d) {
                                            domande << d;
                                            return c.rispostaOk;
                                        })
            .accettata;
    });
    EXPECT_EQ(m_catena->PassaAQuerySuccessiva(), c.esito);
    EXPECT_EQ(domande, c.domande);
    TabIntTmp seguente;
    SessioneQuery s;
    ASSERT_TRUE(m_storico->RecuperaInterrogazionedaStorico(kCodice1Catena, 1, seguente, s));
    EXPECT_EQ(seguente.righe(), c.seguenteDopo);
    if (c.primaRipristinata)
        EXPECT_EQ(m_tab.righe(), salvata);
    if (c.esito == MotoreCatena::Esito::Fatto)
        EXPECT_EQ(m_catena->livello(), 1);
    else
        EXPECT_EQ(m_catena->livello(), 0);
}
const auto kSeguente = righe({{"QUERY PRECEDENTE", 4, "55"}, {"CODICE", 1}, {"CITTA", 1}});
const auto kSeguenteCittaNascosta = righe({{"QUERY PRECEDENTE", 4, "55"}, {"CODICE", 1}, {"CITTA", 0}});
INSTANTIATE_TEST_SUITE_P(
    Casi, Validazione,
    ::testing::Values(
        CasoValidazione{"invariata",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 1}, {"ZONA", 0, "(ZONA = 'N')"}}), 1,
                        true, MotoreCatena::Esito::Fatto, {}, kSeguente, false},
        CasoValidazione{"soloCondizione",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 1}, {"ZONA", 0, "(ZONA = 'S')"}}), 1,
                        true, MotoreCatena::Esito::Fatto, {kMsgAggiornareStorico}, kSeguente, false},
        CasoValidazione{"persaMostrataRipristino",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 0}, {"ZONA", 0, "(ZONA = 'N')"}}), 1,
                        true, MotoreCatena::Esito::Rifiutato, {kMsgRipristino}, kSeguente, true},
        CasoValidazione{"persaMostrataSenzaRipristino",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 0}, {"ZONA", 0, "(ZONA = 'N')"}}), 1,
                        false, MotoreCatena::Esito::Rifiutato, {kMsgRipristino}, kSeguente, false},
        CasoValidazione{"persaNascostaAdattata",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 0}, {"ZONA", 0, "(ZONA = 'N')"}}), 0,
                        true, MotoreCatena::Esito::Fatto, {},
                        righe({{"QUERY PRECEDENTE", 4, "55"}, {"CODICE", 1}}), false},
        CasoValidazione{"nuovaAdattata",
                        righe({{"CODICE", 1}, {"RAGIONESOCIALE", 1}, {"CITTA", 1}, {"ZONA", 0, "(ZONA = 'N')"}}), 1,
                        true, MotoreCatena::Esito::Fatto, {},
                        righe({{"QUERY PRECEDENTE", 4, "55"}, {"CODICE", 1}, {"RAGIONESOCIALE", 0}, {"CITTA", 1}}),
                        false}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
