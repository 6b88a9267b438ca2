// Chained queries from the query window, offscreen: forward through the
// menu and F12, back through F11 and "&Chiudi", removing the last link,
// the answer tables each step leaves, the per-user semaphore between two
// windows of one user, and the check of a changed query against the query
// that follows it when the window closes.

#include "FinestraAvanzate.h"

#include "params/TTabXForm.h"
#include "qbe/Catena.h"
#include "qbe/ElaborazioniAvanzate.h"
#include "qbe/MotoreCatena.h"
#include "qbe/SemaforoCatena.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/ValidazioneRisposta.h"
#include "qbe/ui/DialoghiOrdinamento.h"

#include <QComboBox>

#include <QAction>
#include <QLabel>
#include <QTest>

using namespace vardof;
using namespace vardof::qbe;
using platform::Answer;

namespace {

constexpr auto *bottone = &test::controllo<QPushButton>;
constexpr int kUtente = 7;

class CatenaFinestra : public test::FinestraAvanzate
{
protected:
    void SetUp() override
    {
        FinestraAvanzate::SetUp();
        // The user's parameter store exists already, as on a host.
        params::TTabXForm store;
        m_services.messages().clear();
        // The stored query: customers of Rome, code, name and city shown.
        salvaRighe({{1, "CODICE", 1, ""}, {2, "RAGIONESOCIALE", 1, ""}, {3, "CITTA", 1, "ROMA"},
                    {4, "ZONA", 0, ""}, {5, "FIDO", 0, ""}},
                   0, 5);
    }

    static QString tabellaRisposta(int livello) { return TIBFQuerForm::NomeTabellaRisposta(kUtente, livello); }

    static void avanti(TIBLQueryForm &f) { voceMenu(f, &TElabAvanForm::ButtonPassaSuccessiva); }

    static bool etichetta(TIBLQueryForm &f, const char *nome) { return !test::controllo<QLabel>(f, nome)->isHidden(); }

    static void tasto(TIBLQueryForm &f, const char *azione) { test::controllo<QAction>(f, azione)->trigger(); }
};

TEST_F(CatenaFinestra, forwardCreatesTheFollowingQueryOnTheAnswerAndBackLoadsTheStoredOne)
{
    auto form = apri(kUtente, 5);
    ASSERT_EQ(form->tabIntTmp().size(), 5);
    EXPECT_FALSE(etichetta(*form, "LabelPrec"));

    avanti(*form);
    EXPECT_TRUE(m_services.messages().texts().isEmpty()) << m_services.messages().texts().join('|').toStdString();
    ASSERT_EQ(form->livello(), 1);
    EXPECT_TRUE(form->semaforoCatenaPreso());
    // The answer of level 0 is in its table; the new query reads it.
    EXPECT_EQ(righeTabella(tabellaRisposta(0)), 2);
    const double numero = form->sessione().codiceCatena();
    EXPECT_EQ(righeForm(*form), (std::vector<RigaInt>{{1, "QUERY PRECEDENTE", 4, "5"},
                                                      {2, "CODICE", 1, ""},
                                                      {3, "RAGIONESOCIALE", 1, ""},
                                                      {4, "CITTA", 1, ""}}));
    EXPECT_TRUE(etichetta(*form, "LabelPrec"));
    EXPECT_FALSE(etichetta(*form, "LabelSucc"));
    // Stored: the marker on the first query, the rows of the new one.
    EXPECT_EQ(righeSalvate(0, 5).back().Nome, kQuerySuccessiva);
    EXPECT_EQ(righeSalvate(0, 5).back().Condizione, testoNumeroCatena(numero));
    EXPECT_EQ(righeSalvate(kCodice1Catena, numero).size(), 4u);

    // The chained query runs on the answer table.
    form->tabIntTmp().setCondizione(1, QStringLiteral("(CODICE > 1)"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile()) << form->engine().ultimoErrore().toStdString();
    EXPECT_EQ(colonna(*form, QStringLiteral("RAGIONESOCIALE")), QStringList{"D'ANGELO SNC"});
    EXPECT_TRUE(form->tabRispTmp().testo().contains(tabellaRisposta(0)));
    bottone(*form, "ButtonRitornaQuery")->click();

    // F11 goes back, offering to keep the change made at level 1.
    m_services.messages().clear();
    m_services.messages().queueAnswer(Answer::Ok);
    tasto(*form, "Precedente1");
    EXPECT_EQ(m_services.messages().texts(), QStringList{kMsgAggiornareStorico});
    EXPECT_EQ(form->livello(), 0);
    EXPECT_FALSE(form->semaforoCatenaPreso());
    EXPECT_EQ(righeForm(*form).back().Nome, kQuerySuccessiva);
    EXPECT_TRUE(etichetta(*form, "LabelSucc"));
    EXPECT_EQ(righeSalvate(kCodice1Catena, numero)[1].Condizione, QStringLiteral("(CODICE > 1)"));

    // F12 moves forward over the query that exists.
    m_services.messages().clear();
    tasto(*form, "Successiva1");
    EXPECT_TRUE(m_services.messages().texts().isEmpty()) << m_services.messages().texts().join('|').toStdString();
    ASSERT_EQ(form->livello(), 1);
    EXPECT_EQ(form->sessione().codiceCatena(), numero);
    EXPECT_EQ(form->tabIntTmp().at(1).Condizione, QStringLiteral("(CODICE > 1)"));
    EXPECT_EQ(righeTabella(tabellaRisposta(0)), 2);
}

TEST_F(CatenaFinestra, threeLevelsAnswerTablesAndClosingGoesBackOneLevelAtATime)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    ASSERT_EQ(form->livello(), 1);
    avanti(*form);
    ASSERT_EQ(form->livello(), 2);
    EXPECT_TRUE(esisteTabella(tabellaRisposta(1)));
    EXPECT_EQ(righeTabella(tabellaRisposta(1)), 2);
    EXPECT_EQ(form->tabIntTmp().at(0).Nome, kQueryPrecedente);

    // "&Chiudi" above level 0 goes back and keeps the window.
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_FALSE(form->isHidden());
    EXPECT_EQ(form->livello(), 1);
    EXPECT_TRUE(form->semaforoCatenaPreso());
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_EQ(form->livello(), 0);
    EXPECT_FALSE(form->semaforoCatenaPreso());
    EXPECT_FALSE(form->isHidden());
    // The answer tables stay for the next walk.
    EXPECT_TRUE(esisteTabella(tabellaRisposta(1)));
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_TRUE(form->isHidden());
    EXPECT_TRUE(m_services.messages().texts().isEmpty()) << m_services.messages().texts().join('|').toStdString();
}

TEST_F(CatenaFinestra, closingFromTheAnswerFaceAboveLevelZeroShowsTheQueryBefore)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    // The title bar's close, as "&Chiudi" of the answer face.
    form->close();
    EXPECT_EQ(form->livello(), 0);
    EXPECT_FALSE(form->rispostaVisibile());
    EXPECT_FALSE(form->isHidden());
    EXPECT_FALSE(test::controllo<QWidget>(*form, "Panel4")->isHidden());
}

TEST_F(CatenaFinestra, aNewWalkFromLevelZeroDropsTheOldAnswerTables)
{
    exec(QStringLiteral("CREATE TABLE ") + tabellaRisposta(3) + QStringLiteral(" (X INTEGER)"));
    exec(QStringLiteral("CREATE TABLE ") + TIBFQuerForm::NomeTabellaRisposta(8, 0) + QStringLiteral(" (X INTEGER)"));
    auto form = apri(kUtente, 5);
    avanti(*form);
    ASSERT_EQ(form->livello(), 1);
    EXPECT_FALSE(esisteTabella(tabellaRisposta(3)));
    // Another user's tables are not this walk's.
    EXPECT_TRUE(esisteTabella(TIBFQuerForm::NomeTabellaRisposta(8, 0)));
}

TEST_F(CatenaFinestra, removingTheLastLinkOnlyAndBackToAQueryWithoutChain)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    const double primo = form->sessione().codiceCatena();
    avanti(*form);
    const double secondo = form->sessione().codiceCatena();
    ASSERT_EQ(form->livello(), 2);
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    tasto(*form, "Precedente1");
    ASSERT_EQ(form->livello(), 1);

    // Level 1 has a following query: refused after the confirmation.
    m_services.messages().clear();
    m_services.messages().queueAnswer(Answer::Ok);
    voceMenu(*form, &TElabAvanForm::ButtonEliminaSuccessiva);
    EXPECT_EQ(m_services.messages().texts(), (QStringList{"Elimino la query successiva?", kMsgSoloUltimaSuccessiva}));
    EXPECT_EQ(form->livello(), 1);

    tasto(*form, "Successiva1");
    ASSERT_EQ(form->livello(), 2);
    m_services.messages().clear();
    m_services.messages().queueAnswer(Answer::Ok);
    voceMenu(*form, &TElabAvanForm::ButtonEliminaSuccessiva);
    EXPECT_EQ(form->livello(), 1);
    EXPECT_TRUE(righeSalvate(kCodice1Catena, secondo).empty());
    EXPECT_NE(righeForm(*form).back().Nome, kQuerySuccessiva);
    EXPECT_FALSE(etichetta(*form, "LabelSucc"));
    EXPECT_TRUE(form->semaforoCatenaPreso());

    m_services.messages().queueAnswer(Answer::Ok);
    voceMenu(*form, &TElabAvanForm::ButtonEliminaSuccessiva);
    EXPECT_EQ(form->livello(), 0);
    EXPECT_TRUE(righeSalvate(kCodice1Catena, primo).empty());
    EXPECT_FALSE(form->sessione().catena());
    EXPECT_FALSE(form->semaforoCatenaPreso());
    EXPECT_EQ(righeSalvate(0, 5).size(), 5u);
    EXPECT_FALSE(etichetta(*form, "LabelPrec"));
    EXPECT_FALSE(etichetta(*form, "LabelSucc"));

    // At level 0 the menu refuses.
    m_services.messages().clear();
    voceMenu(*form, &TElabAvanForm::ButtonEliminaSuccessiva);
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{"Attenzione: operazione non possibile, nessuna query successiva presente!"});
}

TEST_F(CatenaFinestra, f12WithoutAFollowingQueryExecutesAndF11AtLevelZeroCloses)
{
    auto form = apri(kUtente, 5);
    tasto(*form, "Successiva1");
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(form->livello(), 0);
    EXPECT_FALSE(form->semaforoCatenaPreso());
    // On the answer face both keys do nothing.
    tasto(*form, "Precedente1");
    tasto(*form, "Successiva1");
    EXPECT_TRUE(form->rispostaVisibile());
    EXPECT_FALSE(form->isHidden());
    bottone(*form, "ButtonRitornaQuery")->click();
    tasto(*form, "Precedente1");
    EXPECT_TRUE(form->isHidden());
}

TEST_F(CatenaFinestra, theKeysMoveOncePerPress)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    avanti(*form);
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    tasto(*form, "Precedente1");
    tasto(*form, "Precedente1");
    ASSERT_EQ(form->livello(), 0);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto *grid = test::controllo<GrigliaQuery>(*form, "DBGrid1");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F12);
    EXPECT_EQ(form->livello(), 1);
    QTest::keyClick(grid, Qt::Key_F12);
    EXPECT_EQ(form->livello(), 2);
    QTest::keyClick(grid, Qt::Key_F11);
    EXPECT_EQ(form->livello(), 1);
}

TEST_F(CatenaFinestra, aSecondWindowOfTheSameUserIsRefusedAndLeavesTheFirstsTablesAlone)
{
    auto primo = apri(kUtente, 5);
    avanti(*primo);
    ASSERT_EQ(primo->livello(), 1);
    ASSERT_EQ(righeTabella(tabellaRisposta(0)), 2);

    auto secondo = apri(kUtente, 5);
    avanti(*secondo);
    EXPECT_EQ(m_services.messages().texts(), QStringList{kMsgQuerySuccessiveStessoUtente});
    EXPECT_EQ(m_services.messages().messages()[0].kind, platform::Warning);
    EXPECT_EQ(secondo->livello(), 0);
    EXPECT_TRUE(esisteTabella(tabellaRisposta(0)));
    EXPECT_EQ(righeTabella(tabellaRisposta(0)), 2);
    // F12 over the marker the first window stored is refused the same way.
    m_services.messages().clear();
    tasto(*secondo, "Successiva1");
    EXPECT_EQ(m_services.messages().texts(), QStringList{kMsgQuerySuccessiveStessoUtente});
    EXPECT_EQ(secondo->livello(), 0);
    EXPECT_FALSE(secondo->rispostaVisibile());

    // Another user is not held up.
    auto altro = apri(kUtente + 1, 5);
    m_services.messages().clear();
    avanti(*altro);
    EXPECT_EQ(altro->livello(), 1);
    EXPECT_TRUE(m_services.messages().texts().isEmpty());

    // Once the first window is back at level 0 the second may walk.
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    bottone(*primo, "ButtonChiudi")->click();
    ASSERT_EQ(primo->livello(), 0);
    m_services.messages().clear();
    avanti(*secondo);
    EXPECT_EQ(secondo->livello(), 1);
}

TEST_F(CatenaFinestra, theSumWithGroupingOffersTheColumnsOfTheAnswerQuestioned)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    ASSERT_EQ(form->livello(), 1);
    QStringList campi;
    test::whenShown<TCalcSommaForm>([&](TCalcSommaForm *d) {
        for (int i = 0; i < d->ComboCampo->count(); ++i)
            campi << d->ComboCampo->itemText(i);
        d->reject();
    });
    tasto(*form, "Inseriscisomma1");
    // FIDO is a column of CLIENTI, not of the answer of level 0.
    EXPECT_EQ(campi, QStringList{"CODICE"});
}

TEST_F(CatenaFinestra, theSemaphoreGoesWithTheWindow)
{
    {
        auto form = apri(kUtente, 5);
        avanti(*form);
        ASSERT_TRUE(form->semaforoCatenaPreso());
    }
    SemaforoCatena s(kUtente, att());
    QString m;
    EXPECT_EQ(s.prendi(m), SemaforoCatena::Esito::Preso) << m.toStdString();
}

// A change of the first query that takes away a column the following
// query shows is refused when the window closes, and the stored rows are
// still those before the change, so the user can take them back.
TEST_F(CatenaFinestra, closingAfterAChangeTheFollowingQueryCannotTakeKeepsTheStoredRows)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    const double numero = form->sessione().codiceCatena();
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    tasto(*form, "Precedente1");
    ASSERT_EQ(form->livello(), 0);
    const auto salvate = righeSalvate(0, 5);

    // CITTA no longer shown.
    auto *grid = test::controllo<GrigliaQuery>(*form, "DBGrid1");
    grid->setCurrentIndex(form->interrogationModel().index(2, InterrogationModel::ColNome));
    test::rilascia(grid, Qt::Key_F3);
    ASSERT_EQ(form->tabIntTmp().at(2).Mostra, MostraNascosto);

    m_services.messages().clear();
    m_services.messages().queueAnswer(Answer::Ok); // check the following queries
    m_services.messages().queueAnswer(Answer::Ok); // take the stored query back
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_EQ(m_services.messages().texts(),
              (QStringList{"La query è stata modificata; Effettuo il controllo di validazione delle query successive ?",
                           kMsgRipristino}));
    EXPECT_FALSE(form->isHidden());
    EXPECT_EQ(testo(righeSalvate(0, 5)), testo(salvate));
    EXPECT_EQ(form->tabIntTmp().at(2).Mostra, MostraVisibile);
    EXPECT_EQ(righeSalvate(kCodice1Catena, numero).size(), 4u);
}

// A new column is taken by the following query: it is adapted, both are
// saved and the window closes.
TEST_F(CatenaFinestra, closingAfterAddingAColumnAdaptsTheFollowingQuery)
{
    auto form = apri(kUtente, 5);
    avanti(*form);
    const double numero = form->sessione().codiceCatena();
    m_services.messages().setDefaultAnswer(Answer::Cancel);
    tasto(*form, "Precedente1");
    auto *grid = test::controllo<GrigliaQuery>(*form, "DBGrid1");
    grid->setCurrentIndex(form->interrogationModel().index(3, InterrogationModel::ColNome));
    test::rilascia(grid, Qt::Key_F3); // ZONA shown
    m_services.messages().clear();
    m_services.messages().queueAnswer(Answer::Ok);
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(righeSalvate(0, 5)[3].Mostra, MostraVisibile);
    const auto seguente = righeSalvate(kCodice1Catena, numero);
    ASSERT_EQ(seguente.size(), 5u);
    EXPECT_EQ(seguente[4].Nome, QStringLiteral("ZONA"));
    EXPECT_EQ(seguente[4].Mostra, MostraNascosto);
}

} // namespace
