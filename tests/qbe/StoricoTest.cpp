// The stored form of a query on a real archive: interrogations and
// appearances written to STOINT / STOASP and read back, the change tests,
// the flags a load sets, a save that fails part-way, the fit of a saved
// appearance to a new answer; and, on the server, the answers the saved
// order, the aggregate conditions and the procedural functions give.

#include "StoricoDb.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/Ordinamento.h"
#include "qbe/Storico.h"
#include "qbe/TIBFQuerForm.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vardof;
using namespace vardof::qbe;
using storedqueries::RigaStoAsp;

namespace {

class Storico : public test::StoricoDb
{
protected:
    // One row of every kind, with the widest names and conditions the
    // tables hold and the characters a statement could trip on.
    static TabIntTmp interrogazioneCompleta()
    {
        TabIntTmp t;
        t.append(kQueryPrecedente, MostraCatena, QStringLiteral("12"));
        t.append(QStringLiteral("CODICE"), MostraVisibile, QStringLiteral("(CODICE>=2)"));
        t.append(QStringLiteral("RAGIONESOCIALE"), MostraNascosto, QStringLiteral("D'ANGELO"));
        t.append(QStringLiteral("CITTA"), MostraVisibileGrigio, QStringLiteral("(DATAINSERIMENTO>='01/02/2024')"));
        t.append(QStringLiteral("FIDO"), MostraVisibileUnione, QStringLiteral("(CALC (SUM(FIDO)) AS \"Tot €\")"));
        t.append(QStringLiteral("ZONE = A"), MostraTestataLeft, QString());
        t.append(QStringLiteral("A.CODICE"), MostraCollegamento, QStringLiteral("ZONA"));
        t.append(QStringLiteral("AGENTI = B"), MostraTestataRight, QString());
        t.append(QString(40, QLatin1Char('N')), MostraNascosto, QString(1024, QLatin1Char('\'')));
        t.append(kQueryBloccata, MostraBlocco, QStringLiteral("dati del blocco"));
        t.append(kQuerySuccessiva, MostraCatena, QStringLiteral("1000"));
        return t;
    }

    StoricoQuery storico() { return StoricoQuery(att(), tra()); }
    platform::ScopedServices m_services;
};

TEST_F(Storico, anInterrogationWithEveryRowKindComesBackAsItWent)
{
    const TabIntTmp scritta = interrogazioneCompleta();
    StoricoQuery s = storico();
    s.SalvaInterrogazioneSuStorico(0, 5, scritta);
    TabIntTmp letta;
    letta.append(QStringLiteral("DA SOSTITUIRE"), MostraVisibile);
    SessioneQuery sessione;
    ASSERT_TRUE(s.RecuperaInterrogazionedaStorico(0, 5, letta, sessione));
    EXPECT_EQ(letta.righe(), scritta.righe());
    EXPECT_EQ(letta.currentRow(), 0);
    EXPECT_FALSE(s.ControllaInterrogazioneSalvata(0, 5, letta));
    // Another key holds nothing of it.
    EXPECT_TRUE(s.ControllaInterrogazioneSalvata(2000, 5, letta));
}

TEST_F(Storico, aKeyWithoutRowsLeavesTheInterrogationAsItIs)
{
    TabIntTmp t;
    t.append(QStringLiteral("CODICE"), MostraVisibile);
    SessioneQuery sessione;
    EXPECT_FALSE(storico().RecuperaInterrogazionedaStorico(0, 99, t, sessione));
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t.at(0).Nome, QStringLiteral("CODICE"));
    EXPECT_FALSE(sessione.bloccata() || sessione.catena());
}

struct CasoModifica
{
    const char *nome;
    std::function<void(TabIntTmp &)> modifica;
};

class Modifiche : public Storico, public ::testing::WithParamInterface<CasoModifica>
{
};

TEST_P(Modifiche, anyDifferenceCountsAsAChange)
{
    StoricoQuery s = storico();
    TabIntTmp t = interrogazioneCompleta();
    s.SalvaInterrogazioneSuStorico(0, 6, t);
    GetParam().modifica(t);
    EXPECT_TRUE(s.ControllaInterrogazioneSalvata(0, 6, t));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Modifiche,
    ::testing::Values(
        CasoModifica{"condizione", [](TabIntTmp &t) { t.setCondizione(1, QStringLiteral("(CODICE>=3)")); }},
        CasoModifica{"condizioneSvuotata", [](TabIntTmp &t) { t.setCondizione(2, QString()); }},
        CasoModifica{"mostra", [](TabIntTmp &t) { t.toggle(2); }},
        CasoModifica{"nome", [](TabIntTmp &t) { t.setNome(3, QStringLiteral("citta")); }},
        CasoModifica{"rigaInPiu", [](TabIntTmp &t) { t.append(QStringLiteral("NOTE"), MostraNascosto); }},
        CasoModifica{"rigaInMeno",
                     [](TabIntTmp &t) {
                         auto r = t.righe();
                         r.pop_back();
                         t.setRighe(r);
                     }},
        CasoModifica{"numero",
                     [](TabIntTmp &t) {
                         auto r = t.righe();
                         r.back().Numero = 50;
                         t.setRighe(r);
                     }}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Storico, aSaveReplacesTheRowsOfItsKeyOnly)
{
    StoricoQuery s = storico();
    TabIntTmp t = interrogazioneCompleta();
    s.SalvaInterrogazioneSuStorico(0, 7, t);
    s.SalvaInterrogazioneSuStorico(2000, 7, t);
    TabIntTmp corta;
    corta.append(QStringLiteral("CODICE"), MostraVisibile);
    s.SalvaInterrogazioneSuStorico(0, 7, corta);
    EXPECT_FALSE(s.ControllaInterrogazioneSalvata(0, 7, corta));
    EXPECT_FALSE(s.ControllaInterrogazioneSalvata(2000, 7, t));
    s.EliminaInterrogazioneDaStorico(0, 7);
    EXPECT_TRUE(storedqueries::leggiStoInt(att(), tra(), 0, 7).empty());
    EXPECT_EQ(storedqueries::leggiStoInt(att(), tra(), 2000, 7).size(), size_t(t.size()));
}

TEST_F(Storico, aSaveThatFailsPartWayKeepsTheStoredRows)
{
    StoricoQuery s = storico();
    const TabIntTmp buona = interrogazioneCompleta();
    s.SalvaInterrogazioneSuStorico(0, 8, buona);
    TabIntTmp cattiva = buona;
    // A name longer than the column: the insert of that row fails.
    cattiva.append(QString(41, QLatin1Char('X')), MostraVisibile);
    EXPECT_THROW(s.SalvaInterrogazioneSuStorico(0, 8, cattiva), db::Error);
    // Whatever commits next must not make the delete of the failed save final.
    tra().commitRetaining();
    EXPECT_FALSE(s.ControllaInterrogazioneSalvata(0, 8, buona));

    const std::vector<RigaStoAsp> aspetto{{0, QStringLiteral("CODICE"), 6, 1, 0, 100}};
    s.SalvaAspettoSuStorico(0, 8, aspetto);
    EXPECT_THROW(s.SalvaAspettoSuStorico(0, 8, {{0, QStringLiteral("A"), 1, 1, 0, 0}, {0, QStringLiteral("B"), 1, 1, 0, 0}}),
                 db::Error);
    tra().commitRetaining();
    EXPECT_FALSE(s.ControllaAspettoSalvato(0, 8, aspetto));
}

struct CasoIndicatori
{
    const char *nome;
    std::vector<std::pair<const char *, int>> righe;
    bool precedente, catena, successiva, bloccata, unione;
};

class Indicatori : public ::testing::TestWithParam<CasoIndicatori>
{
};

TEST_P(Indicatori, aLoadSetsTheFlagsOfItsRows)
{
    const CasoIndicatori &c = GetParam();
    std::vector<RigaInt> righe;
    for (const auto &[nome, mostra] : c.righe)
        righe.push_back(RigaInt{int(righe.size()) + 1, QString::fromUtf8(nome), mostra, QString()});
    SessioneQuery s;
    impostaIndicatori(righe, s);
    EXPECT_EQ(s.precedente(), c.precedente);
    EXPECT_EQ(s.catena(), c.catena);
    EXPECT_EQ(s.successiva(), c.successiva);
    EXPECT_EQ(s.bloccata(), c.bloccata);
    EXPECT_EQ(s.unione(), c.unione);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Indicatori,
    ::testing::Values(
        CasoIndicatori{"semplice", {{"CODICE", 1}, {"CITTA", 0}}, false, false, false, false, false},
        CasoIndicatori{"successiva", {{"CODICE", 1}, {"QUERY SUCCESSIVA", 4}}, false, true, true, false, false},
        CasoIndicatori{"precedente", {{"QUERY PRECEDENTE", 4}, {"CODICE", 1}}, true, true, false, false, false},
        // The back link counts only as the first row.
        CasoIndicatori{"precedenteNonPrima", {{"CODICE", 1}, {"QUERY PRECEDENTE", 4}}, false, true, false, false, false},
        CasoIndicatori{"bloccata", {{"CODICE", 1}, {"QUERY BLOCCATA", 7}, {"QUERY SUCCESSIVA", 4}}, false, true, true,
                       true, false},
        CasoIndicatori{"unione",
                       {{"CODICE", 6}, {"QUERY BLOCCATA", 7}, {"UNION", 9}, {"CODICE", 1}, {"QUERY BLOCCATA", 7}},
                       false, false, false, true, true}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- appearance -----------------------------------------------------------------

TEST_F(Storico, anAppearanceComesBackAsItWentAndGivesItsCodes)
{
    StoricoQuery s = storico();
    const std::vector<RigaStoAsp> aspetto{{0, QStringLiteral("CODICE"), 6, 1, 2, 10200},
                                          {1, QString(31, QLatin1Char('C')), 3, 0, 0, 0},
                                          {2, QStringLiteral("FIDO"), 12, 1, 1, 10112}};
    s.SalvaAspettoSuStorico(0, 9, aspetto);
    const auto letto = s.LeggiAspetto(0, 9);
    ASSERT_EQ(letto.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(letto[i].NCampo, aspetto[i].NCampo);
        EXPECT_EQ(letto[i].NomeCampo, aspetto[i].NomeCampo);
        EXPECT_EQ(letto[i].Dim, aspetto[i].Dim);
        EXPECT_EQ(letto[i].Vis, aspetto[i].Vis);
        EXPECT_EQ(letto[i].Pos, aspetto[i].Pos);
        EXPECT_EQ(letto[i].Raggruppa, aspetto[i].Raggruppa);
    }
    EXPECT_FALSE(s.ControllaAspettoSalvato(0, 9, aspetto));

    CodiciColonne codici;
    codici.setCodice(7, 2);
    s.InizializzaRaggruppa(0, 9, codici);
    EXPECT_EQ(codici.codice(0), 10200);
    EXPECT_EQ(codici.codice(1), 0);
    EXPECT_EQ(codici.codice(2), 10112);
    EXPECT_EQ(codici.codice(7), 0);

    s.EliminaAspettoDaStorico(0, 9);
    EXPECT_TRUE(s.LeggiAspetto(0, 9).empty());
    EXPECT_TRUE(s.ControllaAspettoSalvato(0, 9, aspetto));
}

struct CasoAspetto
{
    const char *nome;
    std::function<void(std::vector<RigaStoAsp> &)> modifica;
    bool cambiato;
};

class AspettoCambiato : public ::testing::TestWithParam<CasoAspetto>
{
};

TEST_P(AspettoCambiato, everyValueOfEveryRowCounts)
{
    const std::vector<RigaStoAsp> salvato{{0, QStringLiteral("CODICE"), 6, 1, 0, 0}, {1, QStringLiteral("CITTA"), 20, 1, 1, 100}};
    std::vector<RigaStoAsp> catturato = salvato;
    GetParam().modifica(catturato);
    EXPECT_EQ(aspettoCambiato(salvato, catturato), GetParam().cambiato);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AspettoCambiato,
    ::testing::Values(CasoAspetto{"uguale", [](auto &) {}, false},
                      CasoAspetto{"larghezza", [](auto &a) { a[1].Dim = 21; }, true},
                      CasoAspetto{"visibilita", [](auto &a) { a[0].Vis = 0; }, true},
                      CasoAspetto{"posizione", [](auto &a) { std::swap(a[0].Pos, a[1].Pos); }, true},
                      CasoAspetto{"codice", [](auto &a) { a[1].Raggruppa = 101; }, true},
                      CasoAspetto{"nome", [](auto &a) { a[0].NomeCampo = QStringLiteral("CODICE2"); }, true},
                      CasoAspetto{"colonnaInPiu", [](auto &a) { a.push_back({2, QStringLiteral("FIDO"), 5, 1, 2, 0}); }, true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(AspettoCambiato, nothingSavedIsAChange)
{
    EXPECT_TRUE(aspettoCambiato({}, {}));
}

// ---- answers on the server ------------------------------------------------------

class Risposte : public Storico
{
protected:
    std::unique_ptr<TIBFQuerForm> motore()
    {
        return std::make_unique<TIBFQuerForm>(7, att(), tra(), att(), tra(), m_tab, QStringLiteral("CLIENTI"),
                                              m_sessione, QString(), QStringLiteral("DEMO"));
    }
    QStringList colonna(int c)
    {
        m_risposta.fetchAll();
        QStringList out;
        for (int r = 0; r < m_risposta.fetchedCount(); ++r)
            out << m_risposta.text(r, c);
        return out;
    }
    SessioneQuery m_sessione;
    TabIntTmp m_tab;
    TabRispTmp m_risposta;
};

struct CasoFit
{
    const char *nome;
    std::vector<const char *> salvati;
    bool compatibile;
};

class Compatibilita : public Risposte, public ::testing::WithParamInterface<CasoFit>
{
};

TEST_P(Compatibilita, everySavedNameIsAColumnAndEveryColumnIsSaved)
{
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    m_tab.append(QStringLiteral("CITTA"), MostraVisibile);
    auto m = motore();
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta));
    std::vector<RigaStoAsp> aspetto;
    for (const char *nome : GetParam().salvati)
        aspetto.push_back({int(aspetto.size()), QString::fromUtf8(nome), 5, 1, int(aspetto.size()), 0});
    EXPECT_EQ(TIBFQuerForm::aspettoCompatibile(aspetto, m_risposta), GetParam().compatibile);
}

INSTANTIATE_TEST_SUITE_P(Casi, Compatibilita,
                         ::testing::Values(CasoFit{"uguale", {"CODICE", "CITTA"}, true},
                                           CasoFit{"altroOrdine", {"CITTA", "CODICE"}, true},
                                           CasoFit{"colonnaPersa", {"CODICE"}, false},
                                           CasoFit{"colonnaInPiu", {"CODICE", "CITTA", "ZONA"}, false},
                                           CasoFit{"altroNome", {"CODICE", "CITY"}, false},
                                           CasoFit{"maiuscole", {"codice", "CITTA"}, false}),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Risposte, theSavedOrderIsPutOnTheAnswerAfterARun)
{
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    m_tab.append(QStringLiteral("CITTA"), MostraVisibile);
    m_tab.append(QStringLiteral("RAGIONESOCIALE"), MostraVisibile);
    // By CITTA, then CODICE, descending (only the last key is).
    storico().SalvaAspettoSuStorico(0, 3, {{0, QStringLiteral("CODICE"), 6, 1, 0, 10200},
                                           {1, QStringLiteral("CITTA"), 10, 1, 1, 10100},
                                           {2, QStringLiteral("RAGIONESOCIALE"), 20, 1, 2, 0}});
    m_sessione.setChiaveStorico(0, 3);
    auto m = motore();
    std::vector<RigaStoAsp> applicato;
    m->setApplicaAspetto([&](TabRispTmp &, const std::vector<RigaStoAsp> &a) { applicato = a; });
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta));
    EXPECT_EQ(m_risposta.SQL().mid(m_risposta.SQL().size() - 4),
              (QStringList{"ORDER BY", "2, ", "1", "DESCENDING"}));
    EXPECT_TRUE(m_sessione.ordinata());
    EXPECT_EQ(applicato.size(), 3u);
    // MILANO sorts before Milano, NAPOLI, ROMA.
    EXPECT_EQ(colonna(0), (QStringList{"1", "3", "2", "4"}));

    // Taking every column out of the key takes the ORDER BY off again.
    AggiornaCodici(m_sessione.codici(), 3, {}, {}, false);
    m->ApplicaOrdinamento(m_risposta);
    EXPECT_FALSE(m_sessione.ordinata());
    EXPECT_FALSE(m_risposta.testo().contains(QStringLiteral("ORDER BY")));
    EXPECT_EQ(colonna(0).size(), 4);
}

TEST_F(Risposte, anOrderTheServerRefusesLeavesTheAnswerAsItWas)
{
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    auto m = motore();
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta));
    // A clause no ORDER BY may follow.
    m_risposta.SQL() << QStringLiteral("ROWS 2");
    m_risposta.reopen();
    const QStringList prima = m_risposta.SQL();
    m_sessione.codici().setCodice(0, 100);
    EXPECT_THROW(m->ApplicaOrdinamento(m_risposta), db::Error);
    EXPECT_EQ(m_risposta.SQL(), prima);
    EXPECT_TRUE(m_risposta.isOpen());
    EXPECT_FALSE(m_sessione.ordinata());
}

struct CasoEsecuzione
{
    const char *nome;
    std::vector<std::tuple<const char *, int, const char *>> righe;
    int colonna;
    QStringList valori;
};

class Esecuzioni : public Risposte, public ::testing::WithParamInterface<CasoEsecuzione>
{
};

TEST_P(Esecuzioni, theServerAnswers)
{
    for (const auto &[nome, mostra, condizione] : GetParam().righe)
        m_tab.append(QString::fromUtf8(nome), mostra, QString::fromUtf8(condizione));
    auto m = motore();
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta))
        << m->ultimoErrore().toStdString() << "\n" << m_risposta.testo().toStdString();
    EXPECT_EQ(colonna(GetParam().colonna), GetParam().valori);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Esecuzioni,
    ::testing::Values(
        CasoEsecuzione{"conteggioPerZona",
                       {{"ZONA", 1, "(ZONA IS NOT NULL)"}, {"CODICE", 0, "(CALC (COUNT(CODICE)) AS TOT)"}},
                       1,
                       {"2", "1"}},
        CasoEsecuzione{"sommaPerZona",
                       {{"ZONA", 1, "(ZONA IS NOT NULL)"}, {"FIDO", 0, "(CALC (SUM(FIDO)) AS VALORE)"}},
                       1,
                       {"1000,50", "250,00"}},
        CasoEsecuzione{"sommaProgressiva",
                       {{"CODICE", 1, ""}, {"FIDO", 0, "(CALC (SOMMAPROG(FIDO,CODICE)) AS PROG)"}},
                       1,
                       // A NULL adds nothing: the sum goes on as it was.
                       {"1000,50", "1250,50", "1250,50", "1250,50"}},
        CasoEsecuzione{"sommaProgressivaDecrescente",
                       {{"CODICE", 1, "(CODICE < 4)"}, {"FIDO", 0, "(CALC (SOMMAPROG(FIDO,CODICE DESC)) AS PROG)"}},
                       0,
                       {"3", "2", "1"}},
        CasoEsecuzione{"parteIntera",
                       {{"CODICE", 1, "(CODICE < 3)"}, {"FIDO", 0, "(CALC (INTEROQMT(FIDO)) AS INTERO)"}},
                       1,
                       {"1000", "250"}},
        CasoEsecuzione{"sommaSenzaRaggruppamento",
                       {{"CODICE", 1, "(CODICE < 3)"}, {"FIDO", 0, "(CALC (SUMNOGROUP(FIDO)) AS TUTTI)"}},
                       1,
                       {"1250,50", "1250,50"}}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
