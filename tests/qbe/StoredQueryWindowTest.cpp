// The query window over a stored query, offscreen: loading the stored
// interrogation, the close dialogue and the appearance question, the
// "Ordinamento e Totali" dialog, the immediate sum, COUNT / SUM, and the
// function-key helpers with their dialogs.

#include "Controlli.h"
#include "Finestra.h"
#include "FinestraClienti.h"

#include "db/Statement.h"
#include "entry/ui/TZunDataForm.h"
#include "entry/ui/TZunIn1Form.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/ui/AnswerModel.h"
#include "qbe/ui/DialoghiCondizione.h"
#include "qbe/ui/DialoghiOrdinamento.h"
#include "qbe/ui/GrigliaQuery.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vardof;
using namespace vardof::qbe;
using platform::Answer;

namespace {

constexpr auto *bottone = &test::controllo<QPushButton>;
constexpr auto *griglia = &test::controllo<GrigliaQuery>;

using test::rilascia;
using test::riga;
using test::scrivi;

class FinestraStorico : public test::FinestraClienti
{
protected:
    void SetUp() override
    {
        FinestraClienti::SetUp();
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (5, 'AZZURRI SNC', 'ROMA', 10, '2024-05-01', NULL)"));
        storedqueries::PreparaTabelleQuery(att(), tra());
        tra().commitRetaining();
    }

    std::unique_ptr<TIBLQueryForm> apri(double codice = 5)
    {
        auto form = std::make_unique<TIBLQueryForm>(nullptr, 0, att(), tra(), QStringLiteral("DEMO"), m_dir.path(),
                                                    m_dir.path(), QStringLiteral("CLIENTI"));
        form->setModoStorico(0, codice, QString());
        form->show();
        // Activation loads the stored rows after the window is on screen.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return form;
    }


    static void vaiA(TIBLQueryForm &f, const QString &nome)
    {
        griglia(f, "DBGrid1")->setCurrentIndex(
            f.interrogationModel().index(riga(f, nome), InterrogationModel::ColCondizione));
    }

    static QString condizione(TIBLQueryForm &f, const QString &nome)
    {
        return f.tabIntTmp().at(riga(f, nome)).Condizione;
    }

    static QStringList colonna(TIBLQueryForm &f, int column)
    {
        f.answerModel().fetchAll();
        QStringList out;
        for (int r = 0; r < f.answerModel().rowCount(); ++r)
            out << f.answerModel().index(r, column).data().toString();
        return out;
    }

    std::vector<storedqueries::RigaStoInt> righeSalvate(double codice = 5)
    {
        db::Transaction t(att());
        return storedqueries::leggiStoInt(att(), t, 0, codice);
    }
    std::vector<storedqueries::RigaStoAsp> aspettoSalvato(double codice = 5)
    {
        db::Transaction t(att());
        return storedqueries::leggiStoAsp(att(), t, 0, codice);
    }
    void salvaRighe(const std::vector<storedqueries::RigaStoInt> &righe, double codice = 5)
    {
        db::Transaction t(att());
        storedqueries::scriviStoInt(att(), t, 0, codice, righe);
        t.commit();
    }

    // Shown: CODICE, RAGIONESOCIALE, CITTA, FIDO; the rest hidden.
    void salvaQueryDiBase()
    {
        salvaRighe({{1, "CODICE", 1, ""}, {2, "RAGIONESOCIALE", 1, ""}, {3, "CITTA", 1, "ROMA"},
                    {4, "FIDO", 1, ""}, {5, "DATAINSERIMENTO", 0, ""}, {6, "NOTE", 0, ""}});
    }

    platform::ScopedServices m_services;
    int m_larghezza = 0;
};

TEST_F(FinestraStorico, openChangeOrderTotalRunCloseSaveAndReopen)
{
    salvaQueryDiBase();
    {
        auto form = apri();
        ASSERT_EQ(form->tabIntTmp().size(), 6);
        EXPECT_EQ(condizione(*form, "CITTA"), QStringLiteral("ROMA"));
        EXPECT_EQ(form->tabIntTmp().at(riga(*form, "DATAINSERIMENTO")).Mostra, MostraNascosto);

        // The user narrows the city and runs.
        scrivi(*form, "CITTA", QStringLiteral("ROM"));
        bottone(*form, "ButtonEseguiInterrogazione")->click();
        ASSERT_TRUE(form->rispostaVisibile());

        // Order by city then name, descending; totals on FIDO.
        test::whenShown<TOrdETotForm>([](TOrdETotForm *d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Ordinamento e Totali"));
            EXPECT_TRUE(d->Crescente->isChecked());
            auto sposta = [d](QListWidget *l, const char *nome) {
                const auto trovati = l->findItems(QLatin1String(nome), Qt::MatchExactly);
                ASSERT_EQ(trovati.size(), 1) << nome;
                d->sposta(l, l->row(trovati.first()));
            };
            sposta(d->ListBox1, "CITTA");
            sposta(d->ListBox1, "RAGIONESOCIALE");
            sposta(d->ListBox3, "FIDO");
            d->Decrescente->setChecked(true);
            d->ButtonAggiorna->click();
        });
        bottone(*form, "ButtonOrdina")->click();
        const QStringList sql = form->tabRispTmp().SQL();
        EXPECT_EQ(sql.mid(sql.size() - 4), (QStringList{"ORDER BY", "3, ", "2", "DESCENDING"}));
        EXPECT_EQ(colonna(*form, 1), (QStringList{"ROSSI SPA", "D'ANGELO SNC", "AZZURRI SNC"}));
        EXPECT_EQ(form->sessione().codici().codice(2), 10100);
        EXPECT_EQ(form->sessione().codici().codice(3), 10);

        // A wider name column, then back: the appearance is offered and kept.
        auto *risposta = griglia(*form, "DBGrid2");
        risposta->setColumnWidth(1, risposta->columnWidth(1) + 80);
        const int larghezza = risposta->columnWidth(1);
        m_services.messages().queueAnswer(Answer::Ok);
        bottone(*form, "ButtonRitornaQuery")->click();
        const auto aspetto = aspettoSalvato();
        ASSERT_EQ(aspetto.size(), 4u);
        EXPECT_EQ(aspetto[2].Raggruppa, 10100);
        EXPECT_EQ(aspetto[1].Raggruppa, 10200);

        // Close: the change is offered, OK saves it.
        m_services.messages().queueAnswer(Answer::Ok);
        bottone(*form, "ButtonChiudi")->click();
        EXPECT_TRUE(form->isHidden());
        EXPECT_EQ(m_services.messages().texts(),
                  (QStringList{"Aggiornare lo storico aspetto?", "Aggiornare lo storico interrogazioni?"}));
        EXPECT_EQ(m_services.messages().pendingAnswers(), 0);
        m_larghezza = larghezza;
    }
    const auto salvate = righeSalvate();
    ASSERT_EQ(salvate.size(), 6u);
    EXPECT_EQ(salvate[2].Condizione, QStringLiteral("ROM"));

    m_services.messages().clear();
    auto form = apri();
    EXPECT_EQ(condizione(*form, "CITTA"), QStringLiteral("ROM"));
    EXPECT_EQ(form->sessione().codici().codice(2), 10100);
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    const QStringList sql = form->tabRispTmp().SQL();
    EXPECT_EQ(sql.mid(sql.size() - 4), (QStringList{"ORDER BY", "3, ", "2", "DESCENDING"}));
    EXPECT_EQ(colonna(*form, 1), (QStringList{"ROSSI SPA", "D'ANGELO SNC", "AZZURRI SNC"}));
    // Widths are kept in characters of the grid's font.
    const int carattere = griglia(*form, "DBGrid2")->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    EXPECT_NEAR(griglia(*form, "DBGrid2")->columnWidth(1), m_larghezza, carattere / 2 + 1);
    // Nothing changed: returning and closing ask nothing.
    bottone(*form, "ButtonRitornaQuery")->click();
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(FinestraStorico, aStoredQueryWithoutRowsOpensWithTheTablesColumnsAllShown)
{
    auto form = apri(77);
    ASSERT_EQ(form->tabIntTmp().size(), 6);
    for (const RigaInt &r : form->tabIntTmp().righe())
        EXPECT_EQ(r.Mostra, MostraVisibile);
    // Closing an unsaved query offers to save it.
    m_services.messages().queueAnswer(Answer::Cancel);
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_EQ(m_services.messages().texts(), QStringList{"Aggiornare lo storico interrogazioni?"});
    EXPECT_TRUE(righeSalvate(77).empty());
}

TEST_F(FinestraStorico, theLoadShowsTheChainLegend)
{
    salvaRighe({{1, "QUERY PRECEDENTE", 4, "3"}, {2, "CODICE", 1, ""}, {3, "QUERY SUCCESSIVA", 4, "8"}});
    auto form = apri();
    EXPECT_FALSE(test::controllo<QLabel>(*form, "LabelPrec")->isHidden());
    EXPECT_FALSE(test::controllo<QLabel>(*form, "LabelSucc")->isHidden());
    EXPECT_TRUE(form->sessione().catena());
}

// ---- the "Ordinamento e Totali" dialog ------------------------------------------------

TEST_F(FinestraStorico, theKeyTakesThirtyOneColumnsAndEntriesGoBackToTheEndOfTheOtherList)
{
    QStringList nomi;
    ListeOrdETot liste;
    for (int i = 0; i < 33; ++i) {
        nomi << QStringLiteral("C%1").arg(i);
        liste.disponibili.push_back(i);
    }
    liste.numerici = {0, 1};
    TOrdETotForm d(nomi, liste);
    for (int i = 0; i < kMaxChiavi; ++i)
        d.sposta(d.ListBox1, 0);
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
    d.sposta(d.ListBox1, 0);
    EXPECT_EQ(m_services.messages().texts(), QStringList{kMsgTroppeChiavi});
    EXPECT_EQ(d.liste().chiave.size(), size_t(kMaxChiavi));
    // Back from the key: at the end of the available columns.
    d.sposta(d.ListBox2, 0);
    EXPECT_EQ(d.liste().disponibili, (std::vector<int>{31, 32, 0}));
    d.sposta(d.ListBox3, 1);
    d.sposta(d.ListBox3, 0);
    EXPECT_EQ(d.liste().totali, (std::vector<int>{1, 0}));
    EXPECT_TRUE(d.liste().numerici.empty());
}

// ---- a saved appearance on the grid ------------------------------------------------

struct CasoAspetto
{
    const char *nome;
    std::vector<storedqueries::RigaStoAsp> aspetto;
    std::function<void(TIBLQueryForm &)> verifica;
};

class AspettoSullaGriglia : public FinestraStorico, public ::testing::WithParamInterface<CasoAspetto>
{
};

TEST_P(AspettoSullaGriglia, afterARunTheSavedLookIsPutBack)
{
    salvaRighe({{1, "CODICE", 1, ""}, {2, "RAGIONESOCIALE", 1, ""}, {3, "CITTA", 1, ""}});
    {
        db::Transaction t(att());
        storedqueries::scriviStoAsp(att(), t, 0, 5, GetParam().aspetto);
        t.commit();
    }
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    GetParam().verifica(*form);
}

QString titolo(TIBLQueryForm &f, int colonna)
{
    return f.answerModel().headerData(colonna, Qt::Horizontal).toString();
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AspettoSullaGriglia,
    ::testing::Values(
        CasoAspetto{"titoloTagliato",
                    {{0, "CODICE", 6, 1, 0, 0}, {1, "RAGIONESOCIALE", 3, 1, 1, 0}, {2, "CITTA", 10, 1, 2, 0}},
                    [](TIBLQueryForm &f) {
                        EXPECT_EQ(titolo(f, 1), QStringLiteral("RAG"));
                        EXPECT_EQ(titolo(f, 0), QStringLiteral("CODICE"));
                        EXPECT_LT(griglia(f, "DBGrid2")->columnWidth(1), griglia(f, "DBGrid2")->columnWidth(2));
                    }},
        CasoAspetto{"colonnaNascosta",
                    {{0, "CODICE", 6, 0, 0, 0}, {1, "RAGIONESOCIALE", 20, 1, 1, 0}, {2, "CITTA", 10, 1, 2, 0}},
                    [](TIBLQueryForm &f) {
                        EXPECT_TRUE(griglia(f, "DBGrid2")->isColumnHidden(0));
                        EXPECT_FALSE(griglia(f, "DBGrid2")->isColumnHidden(1));
                    }},
        CasoAspetto{"colonneSpostate",
                    {{0, "CODICE", 6, 1, 2, 0}, {1, "RAGIONESOCIALE", 20, 1, 0, 0}, {2, "CITTA", 10, 1, 1, 0}},
                    [](TIBLQueryForm &f) {
                        const QHeaderView *h = griglia(f, "DBGrid2")->horizontalHeader();
                        EXPECT_EQ(h->visualIndex(0), 2);
                        EXPECT_EQ(h->visualIndex(1), 0);
                        EXPECT_EQ(h->visualIndex(2), 1);
                    }},
        // A column the answer no longer has: the default look.
        CasoAspetto{"nonCompatibile",
                    {{0, "CODICE", 6, 0, 0, 100}, {1, "RAGIONESOCIALE", 3, 1, 1, 0}, {2, "ZONA", 10, 1, 2, 0}},
                    [](TIBLQueryForm &f) {
                        EXPECT_FALSE(griglia(f, "DBGrid2")->isColumnHidden(0));
                        EXPECT_EQ(titolo(f, 1), QStringLiteral("RAGIONESOCIALE"));
                        EXPECT_FALSE(f.tabRispTmp().testo().contains(QStringLiteral("ORDER BY")));
                    }}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- the close dialogue ---------------------------------------------------------

struct CasoChiusura
{
    const char *nome;
    bool successiva;                 // the query has a following one
    std::vector<Answer> risposte;    // the answers given, in order
    QStringList domande;             // the questions asked, in order
    bool salvata;
    bool chiusa;
};

class DialogoChiusura : public FinestraStorico, public ::testing::WithParamInterface<CasoChiusura>
{
};

TEST_P(DialogoChiusura, asksAndSavesAsAnswered)
{
    const CasoChiusura &c = GetParam();
    std::vector<storedqueries::RigaStoInt> righe{{1, "CODICE", 1, ""}, {2, "CITTA", 1, ""}};
    if (c.successiva)
        righe.push_back({3, "QUERY SUCCESSIVA", 4, "9"});
    salvaRighe(righe);
    auto form = apri();
    int validazioni = 0;
    form->ValidazioneNuovaRisposta = [&] {
        ++validazioni;
        return true;
    };
    scrivi(*form, "CITTA", QStringLiteral("MILANO"));
    for (Answer a : c.risposte)
        m_services.messages().queueAnswer(a);
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_EQ(m_services.messages().texts(), c.domande);
    EXPECT_EQ(righeSalvate()[1].Condizione == QStringLiteral("MILANO"), c.salvata);
    EXPECT_EQ(form->isHidden(), c.chiusa);
}

const QString kValida =
    QStringLiteral("La query è stata modificata; Effettuo il controllo di validazione delle query successive ?");
const QString kSenzaValida = QStringLiteral(
    "La query è stata modificata; Effettuo il salvataggio senza il controllo validazione delle query successive ?");
const QString kAggiorna = QStringLiteral("Aggiornare lo storico interrogazioni?");

INSTANTIATE_TEST_SUITE_P(
    Casi, DialogoChiusura,
    ::testing::Values(CasoChiusura{"ok", false, {Answer::Ok}, {kAggiorna}, true, true},
                      CasoChiusura{"annulla", false, {Answer::Cancel}, {kAggiorna}, false, true},
                      CasoChiusura{"validaESalva", true, {Answer::Ok, Answer::Ok}, {kValida, kAggiorna}, true, true},
                      CasoChiusura{"validaSenzaSalvare", true, {Answer::Ok, Answer::Cancel}, {kValida, kAggiorna}, false,
                                   true},
                      CasoChiusura{"salvaSenzaValidare", true, {Answer::Cancel, Answer::Ok}, {kValida, kSenzaValida},
                                   true, true},
                      CasoChiusura{"nienteDiNiente", true, {Answer::Cancel, Answer::Cancel}, {kValida, kSenzaValida},
                                   false, true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(FinestraStorico, aRefusedValidationKeepsTheWindowOpen)
{
    salvaRighe({{1, "CODICE", 1, ""}, {2, "CITTA", 1, ""}, {3, "QUERY SUCCESSIVA", 4, "9"}});
    auto form = apri();
    form->ValidazioneNuovaRisposta = [] { return false; };
    scrivi(*form, "CITTA", QStringLiteral("MILANO"));
    m_services.messages().queueAnswer(Answer::Ok);
    m_services.messages().queueAnswer(Answer::Cancel);
    bottone(*form, "ButtonChiudi")->click();
    EXPECT_FALSE(form->isHidden());
}

TEST_F(FinestraStorico, aSaveThatFailsKeepsTheWindowOpenAndTheStoredRows)
{
    salvaRighe({{1, "CODICE", 1, ""}, {2, "CITTA", 1, ""}});
    // The table no longer takes this condition: the insert of its row fails
    // after the key's rows were deleted.
    exec(QStringLiteral("ALTER TABLE STOINT ADD CONSTRAINT STOINT_PROVA CHECK (CONDIZIONE IS NULL OR CONDIZIONE <> 'MILANO')"));
    {
        auto form = apri();
        scrivi(*form, "CITTA", QStringLiteral("MILANO"));
        m_services.messages().queueAnswer(Answer::Ok);
        bottone(*form, "ButtonChiudi")->click();
        EXPECT_FALSE(form->isHidden());
        const QStringList testi = m_services.messages().texts();
        ASSERT_EQ(testi.size(), 2);
        EXPECT_TRUE(testi[1].startsWith(QStringLiteral("Errore durante il salvataggio della query\r")))
            << testi[1].toStdString();
        // The user gives up: the window closes and commits what it holds.
        m_services.messages().queueAnswer(Answer::Cancel);
        bottone(*form, "ButtonChiudi")->click();
        EXPECT_TRUE(form->isHidden());
    }
    ASSERT_EQ(righeSalvate().size(), 2u);
    EXPECT_EQ(righeSalvate()[1].Condizione, QString());
}

// ---- sums and aggregates -----------------------------------------------------------

TEST_F(FinestraStorico, theSumOfAColumnIsToldWithTwoDecimals)
{
    auto form = apri(77);
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    QStringList offerti;
    test::whenShown<TSommaForm>([&](TSommaForm *d) {
        for (int i = 0; i < d->ComboCampi->count(); ++i)
            offerti << d->ComboCampi->itemText(i);
        d->ComboCampi->setCurrentIndex(d->ComboCampi->findText(QStringLiteral("FIDO")));
        d->ButtonCalcola->click();
        d->ComboCampi->setCurrentIndex(d->ComboCampi->findText(QStringLiteral("CODICE")));
        d->ButtonCalcola->click();
        d->ButtonOk->click();
    });
    bottone(*form, "ButtonSomma")->click();
    EXPECT_EQ(offerti, (QStringList{"CODICE", "FIDO"}));
    EXPECT_EQ(m_services.messages().texts(), (QStringList{"100.009,93", "15,00"}));
}

struct CasoAggregato
{
    const char *nome;
    const char *bottone;
    const char *campo;
    bool deseleziona;
    const char *condizione;
    QStringList primaColonna;
};

class Aggregati : public FinestraStorico, public ::testing::WithParamInterface<CasoAggregato>
{
};

TEST_P(Aggregati, theDialogWritesTheConditionAndTheNextRunGroups)
{
    const CasoAggregato &c = GetParam();
    salvaRighe({{1, "CODICE", 0, ""}, {2, "CITTA", 1, ""}, {3, "FIDO", 0, ""}});
    auto form = apri();
    vaiA(*form, QString::fromUtf8(c.campo));
    test::whenShown<TQRaggruppamentiForm>([&](TQRaggruppamentiForm *d) {
        EXPECT_EQ(d->EditCampo->text(), QString::fromUtf8(c.campo));
        d->CheckDeseleziona->setChecked(c.deseleziona);
        d->ButtonOk->click();
    });
    bottone(*form, c.bottone)->click();
    EXPECT_EQ(condizione(*form, QString::fromUtf8(c.campo)), QString::fromUtf8(c.condizione));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(colonna(*form, 0), c.primaColonna);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Aggregati,
    // The computed column stands where its row does: CODICE comes before CITTA.
    ::testing::Values(CasoAggregato{"conteggioPerCitta", "ButtonCount", "CODICE", false, "(CALC (COUNT(CODICE)) AS TOT)",
                                    {"1", "1", "3"}},
                      CasoAggregato{"sommaPerCitta", "ButtonSum", "FIDO", false, "(CALC (SUM(FIDO)) AS VALORE)",
                                    {"MILANO", "NAPOLI", "ROMA"}},
                      CasoAggregato{"conteggioDiTutto", "ButtonCount", "CODICE", true, "(CALC (COUNT(CODICE)) AS TOT)",
                                    {"5"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(FinestraStorico, theSumWithTheCurrentGroupingGoesToTheRowOfItsColumn)
{
    salvaRighe({{1, "CODICE", 0, ""}, {2, "CITTA", 1, ""}, {3, "FIDO", 0, ""}});
    auto form = apri();
    QStringList offerti;
    test::whenShown<TCalcSommaForm>([&](TCalcSommaForm *d) {
        for (int i = 0; i < d->ComboCampo->count(); ++i)
            offerti << d->ComboCampo->itemText(i);
        d->ButtonOk->click(); // no column chosen: refused, stays open
        EXPECT_TRUE(d->isVisible());
        d->ComboCampo->setCurrentIndex(d->ComboCampo->findText(QStringLiteral("FIDO")));
        d->ButtonOk->click();
    });
    test::controllo<QAction>(*form, "Inseriscisomma1")->trigger();
    EXPECT_EQ(offerti, (QStringList{"CODICE", "FIDO"}));
    EXPECT_EQ(condizione(*form, "FIDO"), QStringLiteral("(Calc (Sum(FIDO)) as Tot)"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(colonna(*form, 1), (QStringList{"0,00", "", "100009,93"}));
}

// ---- the function-key helpers --------------------------------------------------------

struct CasoTasto
{
    const char *nome;
    const char *campo;
    const char *prima;
    int key;
    std::function<void()> dialogo; // acts on the dialog the key opens
    const char *dopo;
    const char *messaggio;
};

class Tasti : public FinestraStorico, public ::testing::WithParamInterface<CasoTasto>
{
};

TEST_P(Tasti, theHelperWritesItsText)
{
    const CasoTasto &c = GetParam();
    auto form = apri(77);
    const int r = riga(*form, QString::fromUtf8(c.campo));
    form->tabIntTmp().setCondizione(r, QString::fromUtf8(c.prima));
    vaiA(*form, QString::fromUtf8(c.campo));
    if (c.dialogo)
        c.dialogo();
    rilascia(griglia(*form, "DBGrid1"), c.key);
    griglia(*form, "DBGrid1")->postEdit();
    EXPECT_EQ(condizione(*form, QString::fromUtf8(c.campo)), QString::fromUtf8(c.dopo));
    EXPECT_EQ(m_services.messages().texts(), *c.messaggio ? QStringList{QString::fromUtf8(c.messaggio)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Tasti,
    ::testing::Values(
        CasoTasto{"parentesiAperta", "CITTA", "", Qt::Key_F4, nullptr, "(", ""},
        CasoTasto{"parentesiChiusa", "CITTA", "(CITTA='ROMA'", Qt::Key_F4, nullptr, "(CITTA='ROMA')", ""},
        CasoTasto{"nomeCampo", "CITTA", "(UPPER(", Qt::Key_F5, nullptr, "(UPPER(CITTA", ""},
        CasoTasto{"rangeDate", "DATAINSERIMENTO", "", Qt::Key_F6,
                  [] {
                      test::whenShown<TRangeForm>([](TRangeForm *d) {
                          EXPECT_NE(qobject_cast<TEditData *>(d->EditDa), nullptr);
                          d->EditDa->setText(QStringLiteral("1/2/2024"));
                          d->EditA->setText(QStringLiteral("31/3/24"));
                          d->ButtonOk->click();
                      });
                  },
                  "(DATAINSERIMENTO>='01/02/2024')AND(DATAINSERIMENTO<='31/03/2024')", ""},
        CasoTasto{"rangeNumeri", "CODICE", "vecchia", Qt::Key_F6,
                  [] {
                      test::whenShown<TRangeForm>([](TRangeForm *d) {
                          EXPECT_EQ(qobject_cast<TEditData *>(d->EditDa), nullptr);
                          d->EditDa->setText(QStringLiteral("2"));
                          d->EditA->setText(QStringLiteral("4"));
                          d->ButtonOk->click();
                      });
                  },
                  "(CODICE>=2)AND(CODICE<=4)", ""},
        CasoTasto{"rangeRifiutato", "CODICE", "vecchia", Qt::Key_F6,
                  [] {
                      test::whenShown<TRangeForm>([](TRangeForm *d) {
                          d->EditDa->setText(QStringLiteral("9"));
                          d->EditA->setText(QStringLiteral("10"));
                          d->ButtonOk->click();
                      });
                  },
                  "vecchia", "Impostare correttamente i valori del range"},
        CasoTasto{"rangeConApice", "RAGIONESOCIALE", "", Qt::Key_F6,
                  [] {
                      test::whenShown<TRangeForm>([](TRangeForm *d) {
                          d->EditDa->setText(QStringLiteral("D'A"));
                          d->ButtonOk->click();
                      });
                  },
                  "(RAGIONESOCIALE>='D''A')", ""},
        CasoTasto{"formula", "FIDO", "", Qt::Key_F7,
                  [] {
                      test::whenShown<TFormuleForm>([](TFormuleForm *d) {
                          EXPECT_EQ(d->EditNomiCampi->currentText(), QStringLiteral("FIDO"));
                          d->ButtonAggiungiCampo->click();
                          d->EditFormula->setText(d->EditFormula->text() + QStringLiteral("*2"));
                          d->EditNome->setText(QStringLiteral("DOPPIO"));
                          d->ButtonOk->click();
                      });
                  },
                  "(CALC (FIDO*2) AS DOPPIO)", ""},
        CasoTasto{"formulaVuota", "FIDO", "vecchia", Qt::Key_F7,
                  [] { test::whenShown<TFormuleForm>([](TFormuleForm *d) { d->ButtonOk->click(); }); }, "vecchia",
                  "Formula non impostata!"},
        CasoTasto{"cast", "FIDO", "", Qt::Key_F7,
                  [] {
                      test::whenShown<TFormuleForm>([](TFormuleForm *d) {
                          d->EditFormula->setText(QStringLiteral("cast"));
                          test::whenShown<TSceltaTipoForm>([](TSceltaTipoForm *t) {
                              t->ComboTipo->setCurrentText(QStringLiteral("INTEGER"));
                              t->ButtonOk->click();
                          });
                          d->ButtonOk->click();
                      });
                  },
                  "(CALC (CAST(FIDO AS INTEGER)))", ""},
        CasoTasto{"anno", "CODICE", "", Qt::Key_F8,
                  [] {
                      test::whenShown<TRaggMesiForm>([](TRaggMesiForm *d) {
                          EXPECT_EQ(d->ComboCampo->currentText(), QStringLiteral("DATAINSERIMENTO"));
                          d->ButtonOk->click(); // no choice yet: told, stays open
                          d->RadioAnno->setChecked(true);
                          EXPECT_EQ(d->EditNome->text(), QStringLiteral("Anno"));
                          d->ButtonOk->click();
                      });
                  },
                  "(EXTRACT (YEAR from DATAINSERIMENTO)) AS Anno", "Selezionare il dato da estrarre!"},
        CasoTasto{"editor", "CITTA", "(CITTA='ROMA')", Qt::Key_F9,
                  [] {
                      test::whenShown<TEditCondForm>([](TEditCondForm *d) {
                          EXPECT_EQ(d->Memo->toPlainText(), QStringLiteral("(CITTA='ROMA')"));
                          d->Memo->setPlainText(QStringLiteral("(CITTA='ROMA'\nOR\nCITTA='BARI')"));
                          d->ButtonOk->click();
                      });
                  },
                  "(CITTA='ROMA'ORCITTA='BARI')", ""},
        CasoTasto{"valoreTesto", "CITTA", "", Qt::Key_F10,
                  [] {
                      test::whenShown<entry::TZunIn1Form>([](entry::TZunIn1Form *d) {
                          EXPECT_EQ(d->Label1->text(), QStringLiteral("Inserisci il valore:"));
                          d->Edit1->setText(QStringLiteral("L'AQUILA"));
                          d->ButtonOK->click();
                      });
                  },
                  "(CITTA='L''AQUILA')", ""},
        CasoTasto{"valoreNumero", "CODICE", "", Qt::Key_F10,
                  [] {
                      test::whenShown<entry::TZunIn1Form>([](entry::TZunIn1Form *d) {
                          d->Edit1->setText(QStringLiteral("3"));
                          d->ButtonOK->click();
                      });
                  },
                  "(CODICE=3)", ""},
        CasoTasto{"valoreData", "DATAINSERIMENTO", "", Qt::Key_F10,
                  [] {
                      test::whenShown<entry::TZunDataForm>([](entry::TZunDataForm *d) {
                          d->EditData->setDate(QDate(2024, 2, 29));
                          d->ButtonOK->click();
                      });
                  },
                  "(DATAINSERIMENTO='29/02/2024')", ""},
        CasoTasto{"valoreAnnullato", "CITTA", "vecchia", Qt::Key_F10,
                  [] { test::whenShown<entry::TZunIn1Form>([](entry::TZunIn1Form *d) { d->ButtonCancel->click(); }); },
                  "vecchia", ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(FinestraStorico, aLockedQueryRefusesTheFormulaExtractionAndEditorKeys)
{
    salvaRighe({{1, "CODICE", 1, "x"}, {2, "CITTA", 1, ""}, {3, "QUERY BLOCCATA", 7, ""}});
    auto form = apri();
    ASSERT_TRUE(form->sessione().bloccata());
    vaiA(*form, "CODICE");
    for (int key : {Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F3})
        rilascia(griglia(*form, "DBGrid1"), key);
    EXPECT_EQ(form->tabIntTmp().at(0).Condizione, QStringLiteral("x"));
    EXPECT_EQ(form->tabIntTmp().at(0).Mostra, MostraVisibile);
    // F4 still works on a locked query.
    rilascia(griglia(*form, "DBGrid1"), Qt::Key_F4);
    griglia(*form, "DBGrid1")->postEdit();
    EXPECT_EQ(form->tabIntTmp().at(0).Condizione, QStringLiteral("(x"));
}

TEST_F(FinestraStorico, helpersLeaveMarkerRowsAlone)
{
    salvaRighe({{1, "CODICE", 1, ""}, {2, "QUERY SUCCESSIVA", 4, "9"}});
    auto form = apri();
    vaiA(*form, "QUERY SUCCESSIVA");
    for (int key : {Qt::Key_F4, Qt::Key_F5, Qt::Key_F10})
        rilascia(griglia(*form, "DBGrid1"), key);
    bottone(*form, "ButtonCount")->click();
    EXPECT_EQ(form->tabIntTmp().at(1).Condizione, QStringLiteral("9"));
}

TEST_F(FinestraStorico, aHelperTextLongerThanAConditionIsRefused)
{
    auto form = apri(77);
    const QString lunga(kLunghezzaCondizione - 3, QLatin1Char('a'));
    form->tabIntTmp().setCondizione(riga(*form, "RAGIONESOCIALE"), lunga);
    vaiA(*form, "RAGIONESOCIALE");
    rilascia(griglia(*form, "DBGrid1"), Qt::Key_F5);
    EXPECT_EQ(condizione(*form, "RAGIONESOCIALE"), lunga);
    EXPECT_EQ(m_services.messages().texts().size(), 1);
}

} // namespace
