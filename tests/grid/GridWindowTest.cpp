// The grid on screen (offscreen): an owner that rebuilds its statement
// before each opening and saves the layout before each closing, as the
// registry does; title sorts, personalisation, closing and reopening, the
// switch that turns remembering off, the search dialog and the menu.

#include "grid/ArchivioAspetto.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TPQmtGridForm.h"
#include "grid/ui/TQmtGrid.h"
#include "grid/ui/TRQmtGridForm.h"

#include "db/Statement.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::grid;

namespace {

const QString kBase = QStringLiteral("SELECT CODICE, NOME, CITTA, SALDO FROM \"CLIENTI\"");

// One opening of the grid by its owner; destroying it closes the source
// (which saves the layout) as closing the owner's window does.
struct Finestra
{
    SorgenteQuery sorgente;
    std::unique_ptr<TQmtGrid> griglia;
    bool ricerca = false;
    QString base = kBase;

    Finestra(db::Attachment &att, db::Transaction &tra, int utente, int situazione, bool piccola = true)
        : griglia(std::make_unique<TQmtGrid>())
    {
        sorgente.attach(att, tra);
        TQmtGrid *g = griglia.get();
        g->CodiceProgetto = 526;
        g->setSituazione(situazione);
        g->Utente = utente;
        g->TabellaPiccola = piccola;
        g->CampiIndicizzati = QStringLiteral("CODICE");
        sorgente.primaDellApertura = [this](SorgenteDati &) {
            if (ricerca)
                return;
            sorgente.setTesto(base);
            griglia->SQLIniziale = sorgente.SQL();
            griglia->CaricaAspetto();
        };
        sorgente.primaDellaChiusura = [this](SorgenteDati &) {
            if (!ricerca && !griglia->AspettoInModifica())
                griglia->SalvaAspetto();
        };
        QObject::connect(g, &TQmtGrid::OnInizioRicerca, [this] { ricerca = true; });
        QObject::connect(g, &TQmtGrid::OnFineRicerca, [this] { ricerca = false; });
        g->SetSorgenteDati(&sorgente);
        g->resize(700, 400);
        g->show();
        sorgente.open();
        QCoreApplication::processEvents();
    }
    ~Finestra()
    {
        sorgente.close();
        griglia.reset();
    }

    QHeaderView *titoli() const { return griglia->horizontalHeader(); }
    // Field names in the order the grid shows them, hidden ones left out.
    QStringList colonneVisibili() const
    {
        QStringList v;
        for (int i = 0; i < titoli()->count(); ++i) {
            const int l = titoli()->logicalIndex(i);
            if (!titoli()->isSectionHidden(l))
                v << griglia->modello()->nomeCampo(l);
        }
        return v;
    }
    int logica(const QString &campo) const { return sorgente.indiceCampo(campo); }
    void doppioClickTitolo(const QString &campo, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        const int l = logica(campo);
        const QPoint p(titoli()->sectionViewportPosition(l) + titoli()->sectionSize(l) / 2, titoli()->height() / 2);
        QTest::mouseDClick(titoli()->viewport(), Qt::LeftButton, mod, p);
        QCoreApplication::processEvents();
    }
    QString cella(int riga, const QString &campo)
    {
        return griglia->modello()->data(griglia->modello()->index(riga, logica(campo))).toString();
    }
    QColor coloreTitolo(const QString &campo) { return griglia->modello()->coloreTitolo(logica(campo)); }
};

class Griglia : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        CreaTabelleAspetto(att());
        exec("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(30), CITTA VARCHAR(20), "
             "SALDO NUMERIC(12,2))");
        exec("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 3000) DO BEGIN "
             "INSERT INTO CLIENTI VALUES (:I, 'Cliente ' || (3001 - :I), "
             "DECODE(MOD(:I, 3), 0, 'Milano', 1, 'Roma', 'Torino'), :I * 1.5); I = I + 1; END END");
        // No pause in typing: each change searches at once.
        exec("INSERT INTO SETGRID (CODICEPROGETTO, CODICEUTENTE, ABILITATIMERRIC) VALUES (526, 1, 0)");
        exec("INSERT INTO SETGRID (CODICEPROGETTO, CODICEUTENTE, ABILITATIMERRIC) VALUES (526, 2, 0)");
    }
    QStringList testi() { return m_servizi.messages().texts(); }

    platform::ScopedServices m_servizi;
};

} // namespace

TEST_F(Griglia, opensAtOnceReadingOnlyTheFirstRows)
{
    Finestra f(att(), tra(), 1, 3);
    EXPECT_GT(f.griglia->modello()->rowCount(), 0);
    EXPECT_LT(f.griglia->modello()->rowCount(), 3000);
    EXPECT_EQ(f.cella(0, "SALDO"), "1,50");
    EXPECT_EQ(f.colonneVisibili(), (QStringList{"CODICE", "NOME", "CITTA", "SALDO"}));
    // Nothing sorted yet: the statement is the owner's.
    EXPECT_EQ(f.sorgente.testo(), kBase);
}

TEST_F(Griglia, titleDoubleClicksSortByRerunningTheStatement)
{
    Finestra f(att(), tra(), 1, 3);
    f.doppioClickTitolo("NOME");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.NOME");
    EXPECT_EQ(f.cella(0, "NOME"), "Cliente 1");
    EXPECT_EQ(f.coloreTitolo("NOME"), QColor(255, 0, 0));
    EXPECT_EQ(f.coloreTitolo("CODICE"), QColor(255, 255, 0)); // indexed
    EXPECT_EQ(f.griglia->campoSelezionato(), "NOME");

    f.doppioClickTitolo("NOME");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.NOME DESC");
    EXPECT_EQ(f.cella(0, "NOME"), "Cliente 999");

    f.doppioClickTitolo("CITTA", Qt::ControlModifier);
    f.doppioClickTitolo("CODICE", Qt::ControlModifier);
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.NOME DESC\n,CLIENTI.CITTA\n,CLIENTI.CODICE");
    EXPECT_EQ(f.coloreTitolo("NOME"), QColor(255, 0, 0));
    EXPECT_EQ(f.coloreTitolo("CITTA"), QColor(243, 180, 180));
    EXPECT_EQ(f.coloreTitolo("CODICE"), QColor(255, 164, 119));

    // A plain double-click goes back to one key.
    f.doppioClickTitolo("SALDO");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.SALDO");
    EXPECT_FALSE(f.coloreTitolo("CITTA").isValid());
    EXPECT_TRUE(testi().isEmpty()) << testi().join('\n').toStdString();
}

TEST_F(Griglia, aBigTableRefusesToSortOnColumnsThatAreNotIndexed)
{
    Finestra f(att(), tra(), 1, 3, false);
    f.doppioClickTitolo("CODICE");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.CODICE");
    f.doppioClickTitolo("NOME");
    EXPECT_EQ(testi(), QStringList{QString::fromUtf8("Attenzione: Non è possibile eseguire la ricerca su un campo non "
                                                     "indicizzato di una tabella di grandi dimensioni")});
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.CODICE");
    EXPECT_EQ(f.griglia->ordinamento().singola->nome, "CODICE");
}

TEST_F(Griglia, personalisedLayoutComesBackAtTheNextOpening)
{
    {
        Finestra f(att(), tra(), 1, 3);
        f.doppioClickTitolo("CITTA");
        f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("SALDO")), 0);
        f.titoli()->resizeSection(f.logica("NOME"), 222);
        test::whenShown<TPQmtGridForm>([](TPQmtGridForm *p) {
            QTableWidget *t = p->DBGrid1;
            for (int r = 0; r < t->rowCount(); ++r) {
                if (t->item(r, TPQmtGridForm::ColNomeCampo)->text() == QLatin1String("CODICE"))
                    t->item(r, TPQmtGridForm::ColVisibile)->setCheckState(Qt::Unchecked);
                if (t->item(r, TPQmtGridForm::ColNomeCampo)->text() == QLatin1String("NOME"))
                    t->item(r, TPQmtGridForm::ColNomeColonna)->setText(QStringLiteral("Ragione sociale"));
            }
            p->ButtonChiudi->click();
        });
        f.griglia->menu()->actions().at(5)->trigger(); // "Personalizza Griglia"
        EXPECT_EQ(f.colonneVisibili(), (QStringList{"SALDO", "NOME", "CITTA"}));
        EXPECT_EQ(f.griglia->modello()->headerData(f.logica("NOME"), Qt::Horizontal).toString(), "Ragione sociale");
    }
    Finestra f(att(), tra(), 1, 3);
    EXPECT_EQ(f.colonneVisibili(), (QStringList{"SALDO", "NOME", "CITTA"}));
    EXPECT_EQ(f.titoli()->sectionSize(f.logica("NOME")), 222);
    EXPECT_EQ(f.griglia->modello()->headerData(f.logica("NOME"), Qt::Horizontal).toString(), "Ragione sociale");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.CITTA");
    EXPECT_EQ(f.coloreTitolo("CITTA"), QColor(255, 0, 0));

    // Another user and another situation keep their own natural layout.
    Finestra altroUtente(att(), tra(), 2, 3);
    EXPECT_EQ(altroUtente.colonneVisibili(), (QStringList{"CODICE", "NOME", "CITTA", "SALDO"}));
    Finestra altraSituazione(att(), tra(), 1, 1);
    EXPECT_EQ(altraSituazione.colonneVisibili(), (QStringList{"CODICE", "NOME", "CITTA", "SALDO"}));
}

TEST_F(Griglia, withRememberingOffChangesAreGoneAtTheNextOpening)
{
    {
        Finestra f(att(), tra(), 1, 3);
        f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("CITTA")), 0);
    }
    exec("INSERT INTO TABX (CODICE, NOME, TESTO, UTENTE) VALUES (1, 'DisabilitaMemPosGriglie', '1', 1)");
    {
        Finestra f(att(), tra(), 1, 3);
        EXPECT_TRUE(f.griglia->memorizzazioneDisabilitata());
        EXPECT_EQ(f.colonneVisibili(), (QStringList{"CITTA", "CODICE", "NOME", "SALDO"}));
        EXPECT_EQ(f.griglia->situazioneMemorizzata(), -3);
        EXPECT_EQ(f.griglia->Situazione(), 3);
        f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("SALDO")), 0);
        f.doppioClickTitolo("NOME");
    }
    Finestra f(att(), tra(), 1, 3);
    EXPECT_EQ(f.colonneVisibili(), (QStringList{"CITTA", "CODICE", "NOME", "SALDO"}));
    EXPECT_EQ(f.sorgente.testo(), kBase);
}

TEST_F(Griglia, resetGivesTheNaturalColumnsAndForgetsTheSearchMemory)
{
    Finestra f(att(), tra(), 1, 3);
    f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("CITTA")), 0);
    f.griglia->SalvaAspetto();
    ArchivioAspetto(att()).scriviMemoria({526, 3, 1}, {10, 10, 1, true, 1});
    test::whenShown<TPQmtGridForm>([](TPQmtGridForm *p) {
        test::whenShown<TAvQmtGrForm>([](TAvQmtGrForm *a) { a->ButtonOK->click(); });
        p->ButtonAspettoBase->click();
        EXPECT_EQ(p->DBGrid1->rowCount(), 4);
        EXPECT_EQ(p->DBGrid1->item(0, TPQmtGridForm::ColNomeCampo)->text(), "CODICE");
        p->ButtonChiudi->click();
    });
    f.griglia->menu()->actions().at(5)->trigger();
    EXPECT_EQ(f.colonneVisibili(), (QStringList{"CODICE", "NOME", "CITTA", "SALDO"}));
    EXPECT_FALSE(ArchivioAspetto(att()).leggiMemoria({526, 3, 1}));
    EXPECT_FALSE(f.griglia->AspettoInModifica());
}

TEST_F(Griglia, cancelInTheWarningChangesNothing)
{
    Finestra f(att(), tra(), 1, 3);
    f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("CITTA")), 0);
    test::whenShown<TPQmtGridForm>([](TPQmtGridForm *p) {
        test::whenShown<TAvQmtGrForm>([](TAvQmtGrForm *a) { a->ButtonCancel->click(); });
        p->ButtonAspettoBase->click();
        p->ButtonChiudi->click();
    });
    f.griglia->menu()->actions().at(5)->trigger();
    EXPECT_EQ(f.colonneVisibili().first(), "CITTA");
}

TEST_F(Griglia, copyTakesAnotherUsersLayout)
{
    {
        Finestra f(att(), tra(), 2, 3);
        f.titoli()->moveSection(f.titoli()->visualIndex(f.logica("SALDO")), 0);
    }
    Finestra f(att(), tra(), 1, 3);
    test::whenShown<TPQmtGridForm>([](TPQmtGridForm *p) {
        test::whenShown<TAcqAspettoDaQmtGridForm>([](TAcqAspettoDaQmtGridForm *s) {
            EXPECT_EQ(s->ComboUtente->count(), 1);
            s->ComboUtente->setCurrentIndex(0);
            s->ButtonConferma->click();
        });
        p->ButtonAcqAspettoDa->click();
        EXPECT_EQ(p->DBGrid1->item(0, TPQmtGridForm::ColNomeCampo)->text(), "SALDO");
        p->ButtonChiudi->click();
    });
    f.griglia->menu()->actions().at(5)->trigger();
    EXPECT_EQ(f.colonneVisibili().first(), "SALDO");
}

TEST_F(Griglia, copyWithoutAChosenUserWarnsAndKeepsTheWindow)
{
    Finestra f(att(), tra(), 1, 3);
    test::whenShown<TPQmtGridForm>([this](TPQmtGridForm *p) {
        test::whenShown<TAcqAspettoDaQmtGridForm>([this](TAcqAspettoDaQmtGridForm *s) {
            s->ButtonConferma->click();
            EXPECT_TRUE(s->isVisible());
            EXPECT_EQ(testi(), QStringList{"E' necessario inserire l'id utente"});
            s->ButtonAnnulla->click();
        });
        p->ButtonAcqAspettoDa->click();
        p->ButtonChiudi->click();
    });
    f.griglia->menu()->actions().at(5)->trigger();
    EXPECT_EQ(f.colonneVisibili().first(), "CODICE");
}

TEST_F(Griglia, searchOnAColumnFiltersAndSurvivesTheOwnersReopening)
{
    Finestra f(att(), tra(), 1, 3);
    f.griglia->selezionaCampo("NOME");
    int inizio = 0, fine = 0;
    QObject::connect(f.griglia.get(), &TQmtGrid::OnInizioRicerca, [&] { ++inizio; });
    QObject::connect(f.griglia.get(), &TQmtGrid::OnFineRicerca, [&] { ++fine; });
    test::whenShown<TRQmtGridForm>([&](TRQmtGridForm *d) {
        EXPECT_EQ(d->windowTitle(), "Ricerca su NOME");
        EXPECT_TRUE(d->EditGenerica->isEnabled());
        d->EditTipoRicerca->setItemIndex(Contiene);
        QTest::keyClicks(d->EditStringa, "e 29");
        EXPECT_TRUE(f.sorgente.testo().contains("WHERE(UPPER(CLIENTI.NOME) LIKE '%E 29%')"));
        QTest::keyClick(d->EditStringa, Qt::Key_Return);
    });
    f.griglia->CercaSuCampoCorrente();
    EXPECT_EQ(inizio, 1);
    EXPECT_EQ(fine, 2);
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nWHERE(UPPER(CLIENTI.NOME) LIKE '%E 29%')\nORDER BY UPPER(CLIENTI.NOME)");
    f.griglia->modello()->fetchAll();
    EXPECT_EQ(f.griglia->modello()->rowCount(), 111);
    EXPECT_EQ(f.cella(0, "NOME"), "Cliente 29");

    // The owner rebuilds its statement at the next opening: the condition stays.
    f.sorgente.close();
    f.sorgente.open();
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nWHERE(UPPER(CLIENTI.NOME) LIKE '%E 29%')");

    f.griglia->AnnullaRicerca();
    EXPECT_EQ(f.sorgente.testo(), kBase);
    f.doppioClickTitolo("NOME");
    EXPECT_EQ(f.sorgente.testo(), kBase + "\nORDER BY CLIENTI.NOME");
}

TEST_F(Griglia, searchDialogRemembersItsPlaceAndOptions)
{
    Finestra f(att(), tra(), 1, 3);
    f.griglia->selezionaCampo("CITTA");
    test::whenShown<TRQmtGridForm>([](TRQmtGridForm *d) {
        d->move(140, 90);
        d->EditTipoRicerca->setItemIndex(IniziaCon);
        d->EditUpper->setChecked(false);
        d->EditOrdinamento->setItemIndex(OrdineDecrescente);
        QTest::keyClick(d->EditStringa, Qt::Key_Escape);
    });
    f.griglia->CercaSuCampoCorrente();
    EXPECT_EQ(f.sorgente.testo(), kBase);
    const std::optional<MemoriaDialogo> memoria = ArchivioAspetto(att()).leggiMemoria({526, 3, 1});
    ASSERT_TRUE(memoria);
    EXPECT_EQ(*memoria, (MemoriaDialogo{140, 90, IniziaCon, false, OrdineDecrescente}));
    test::whenShown<TRQmtGridForm>([](TRQmtGridForm *d) {
        // The searched column stays selected after the reopening.
        EXPECT_EQ(d->windowTitle(), "Ricerca su CITTA");
        EXPECT_EQ(d->pos(), QPoint(140, 90));
        EXPECT_EQ(d->EditTipoRicerca->itemIndex(), IniziaCon);
        EXPECT_FALSE(d->EditUpper->isChecked());
        EXPECT_EQ(d->EditOrdinamento->itemIndex(), OrdineDecrescente);
        // A numeric column offers two types; a stored "starts with" becomes ">=".
        d->reject();
    });
    f.griglia->CercaSuCampoCorrente();
    f.griglia->selezionaCampo("SALDO");
    test::whenShown<TRQmtGridForm>([](TRQmtGridForm *d) {
        EXPECT_EQ(d->EditTipoRicerca->voci(), (QStringList{">=", "LIKE %%"}));
        EXPECT_EQ(d->EditTipoRicerca->itemIndex(), MaggioreUguale);
        d->reject();
    });
    f.griglia->CercaSuCampoCorrente();
}

TEST_F(Griglia, apostropheTypedBecomesTheAcuteAccent)
{
    Finestra f(att(), tra(), 1, 3);
    f.griglia->selezionaCampo("NOME");
    test::whenShown<TRQmtGridForm>([&](TRQmtGridForm *d) {
        d->EditTipoRicerca->setItemIndex(Contiene);
        QTest::keyClicks(d->EditStringa, "O'Neil");
        EXPECT_EQ(d->EditStringa->text(), QString::fromUtf8("O´Neil"));
        EXPECT_TRUE(f.sorgente.testo().contains(QString::fromUtf8("LIKE '%O´NEIL%'")));
        QTest::keyClick(d->EditStringa, Qt::Key_Return);
    });
    f.griglia->CercaSuCampoCorrente();
    EXPECT_EQ(f.griglia->modello()->rowCount(), 0);
}

TEST_F(Griglia, searchInAllColumns)
{
    Finestra f(att(), tra(), 1, 3);
    f.griglia->selezionaCampo("NOME");
    test::whenShown<TRQmtGridForm>([&](TRQmtGridForm *d) {
        d->EditGenerica->setChecked(true);
        EXPECT_EQ(d->windowTitle(), "Ricerca su TUTTI i campi");
        EXPECT_TRUE(d->ButtonEsegui->isEnabled());
        EXPECT_FALSE(d->EditOrdinamento->isEnabled());
        // The text box no longer searches as it is typed into.
        QTest::keyClicks(d->EditStringa, "torino");
        EXPECT_EQ(f.sorgente.testo(), kBase);
        d->ButtonEsegui->click();
        d->reject();
    });
    f.griglia->CercaSuCampoCorrente();
    EXPECT_EQ(f.sorgente.testo(), kBase
                                      + "\nWHERE(\n(CLIENTI.CODICE CONTAINING 'TORINO')\nOR(CLIENTI.NOME CONTAINING "
                                        "'TORINO')\nOR(CLIENTI.CITTA CONTAINING 'TORINO')\nOR(CLIENTI.SALDO "
                                        "CONTAINING 'TORINO')\n)");
    f.griglia->modello()->fetchAll();
    EXPECT_EQ(f.griglia->modello()->rowCount(), 1000);
}

TEST_F(Griglia, menuStatesAndThePrintingSeam)
{
    Finestra f(att(), tra(), 1, 3);
    const QList<QAction *> voci = f.griglia->menu()->actions();
    QStringList testiVoci;
    for (QAction *a : voci)
        testiVoci << a->text() + (a->shortcut().isEmpty() ? QString() : " " + a->shortcut().toString());
    EXPECT_EQ(testiVoci, (QStringList{"Ricerca su campo Corrente F5", "Annulla ricerca F6", "Ricerca su chiave  F7",
                                      "Query F8", "Dimezza larghezza colonna F9", "Personalizza Griglia", "Stampa"}));
    QMetaObject::invokeMethod(f.griglia->menu(), "aboutToShow");
    EXPECT_FALSE(voci[2]->isVisible());
    EXPECT_TRUE(voci[3]->isEnabled()); // FROM "CLIENTI"
    EXPECT_FALSE(voci[6]->isEnabled()); // no NomeTabella
    f.griglia->NomeTabella = QStringLiteral("CLIENTI");
    QMetaObject::invokeMethod(f.griglia->menu(), "aboutToShow");
    EXPECT_TRUE(voci[6]->isEnabled());
    voci[6]->trigger();
    EXPECT_EQ(testi(), QStringList{"Funzione non ancora disponibile"});

    RichiestaStampa vista;
    TQmtGrid::setStampa([&](const RichiestaStampa &r, QWidget *) { vista = r; });
    voci[6]->trigger();
    TQmtGrid::setStampa(nullptr);
    EXPECT_EQ(vista.situazione, 3);
    EXPECT_EQ(vista.nomeTabella, "CLIENTI");
    EXPECT_EQ(vista.statement, kBase);

    f.base = QStringLiteral("SELECT * FROM CLIENTI");
    f.griglia->NomeTabella.clear();
    f.sorgente.close();
    f.sorgente.open();
    QMetaObject::invokeMethod(f.griglia->menu(), "aboutToShow");
    EXPECT_FALSE(voci[3]->isEnabled()); // table name not quoted

    f.griglia->selezionaCampo("NOME");
    const int prima = f.titoli()->sectionSize(f.logica("NOME"));
    voci[4]->trigger();
    EXPECT_EQ(f.titoli()->sectionSize(f.logica("NOME")), prima / 2);
}

// A window whose menu already binds a key the grid also offers (the
// registry's F9 saves the query to a file): the key starts the window's item
// alone, with the focus in the grid too; the grid's item stays in the menu.
TEST_F(Griglia, aKeyOfTheWindowsMenuStartsTheWindowsItemOnly)
{
    Finestra f(att(), tra(), 1, 3);
    QMenu menu;
    QAction *propria = menu.addAction(QStringLiteral("Salva Query su File"));
    propria->setShortcut(QKeySequence(Qt::Key_F9));
    propria->setShortcutContext(Qt::WindowShortcut);
    f.griglia->addAction(propria);
    int salvate = 0;
    QObject::connect(propria, &QAction::triggered, [&] { ++salvate; });
    f.griglia->setMenuContestuale(&menu);

    f.griglia->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.griglia.get()));
    f.griglia->setFocus();
    f.griglia->selezionaCampo("NOME");
    const int larghezza = f.titoli()->sectionSize(f.logica("NOME"));
    QTest::keyClick(f.griglia.get(), Qt::Key_F9);
    EXPECT_EQ(salvate, 1);
    EXPECT_EQ(f.titoli()->sectionSize(f.logica("NOME")), larghezza);

    QStringList testiVoci;
    for (QAction *a : menu.actions())
        testiVoci << a->text();
    EXPECT_TRUE(testiVoci.contains(QStringLiteral("Dimezza larghezza colonna")));
    int query = 0;
    const TQmtGrid::Query prima = TQmtGrid::setQuery([&](const RichiestaQuery &, QWidget *) { ++query; });
    QTest::keyClick(f.griglia.get(), Qt::Key_F8); // the grid's other keys still work
    TQmtGrid::setQuery(prima);
    EXPECT_EQ(query, 1);
}

// F8 hands the table and the source's connection to the query window the
// owner installed; with none installed, or a list of no table, it only says so.
TEST_F(Griglia, theQueryActionGoesThroughTheInstalledHook)
{
    Finestra f(att(), tra(), 2, 3);
    f.griglia->DirBin = QStringLiteral("B:\\bin\\");
    f.griglia->DirLavoro = QStringLiteral("L:\\lavoro\\");
    f.griglia->FileImpostazioni = QStringLiteral("c:\\windows\\ostrel.ini");
    f.griglia->SezioneImpostazioni = QStringLiteral("DITTA");
    QAction *query = f.griglia->menu()->actions().at(3);
    ASSERT_EQ(query->text(), "Query");

    const TQmtGrid::Query prima = TQmtGrid::setQuery(nullptr);
    query->trigger();
    EXPECT_EQ(testi(), QStringList{"Funzione non ancora disponibile"});

    std::vector<RichiestaQuery> viste;
    QWidget *genitore = nullptr;
    TQmtGrid::setQuery([&](const RichiestaQuery &r, QWidget *parent) {
        viste.push_back(r);
        genitore = parent;
    });
    query->trigger(); // the table named in the statement
    f.griglia->NomeTabella = QStringLiteral("ALTRA");
    QTest::keyClick(f.griglia.get(), Qt::Key_F8); // the grid's own table first
    TQmtGrid::setQuery(prima);

    ASSERT_EQ(viste.size(), 2u);
    EXPECT_EQ(viste[0].tabella, "CLIENTI");
    EXPECT_EQ(viste[1].tabella, "ALTRA");
    EXPECT_EQ(viste[0].connessione, &att());
    EXPECT_EQ(viste[0].transazione, &tra());
    EXPECT_EQ(viste[0].utente, 2);
    EXPECT_EQ(viste[0].dirBin, "B:\\bin\\");
    EXPECT_EQ(viste[0].dirLavoro, "L:\\lavoro\\");
    EXPECT_EQ(viste[0].fileImpostazioni, "c:\\windows\\ostrel.ini");
    EXPECT_EQ(viste[0].sezioneImpostazioni, "DITTA");
    EXPECT_EQ(genitore, f.griglia.get());
    EXPECT_EQ(testi().size(), 1);
}

TEST_F(Griglia, inMemoryListsSortAndFilterInMemory)
{
    platform::ScopedServices servizi;
    TabellaMemoria t;
    db::Column c;
    c.name = QStringLiteral("NOME");
    c.typeCode = db::TypeVarchar;
    c.length = 20;
    t.setColonne({c});
    for (const char *n : {"rossi", "Bianchi", "verdi", "Rosa"})
        t.aggiungiRiga({db::Value(QString::fromLatin1(n))});
    TQmtGrid g;
    g.SetSorgenteDati(&t);
    g.show();
    t.open();
    EXPECT_EQ(g.TipoTabella(), 2);
    g.ordinaPerTitolo(0, false);
    EXPECT_EQ(g.modello()->data(g.modello()->index(0, 0)).toString(), "Bianchi");
    g.selezionaCampo("NOME");
    test::whenShown<TRQmtGridForm>([](TRQmtGridForm *d) {
        EXPECT_FALSE(d->EditGenerica->isEnabled());
        d->EditTipoRicerca->setItemIndex(IniziaCon);
        QTest::keyClicks(d->EditStringa, "ro");
        QTest::keyClick(d->EditStringa, Qt::Key_Return);
    });
    g.CercaSuCampoCorrente();
    EXPECT_EQ(g.modello()->rowCount(), 2);
    g.menu()->actions().at(6)->trigger();
    EXPECT_EQ(servizi.messages().texts(), QStringList{QString::fromUtf8("Funzionalità non disponibile per questo tipo di vista")});
    g.AnnullaRicerca();
    EXPECT_EQ(g.modello()->rowCount(), 4);
}

TEST_F(Griglia, aRefusedSearchNeitherStartsNorLeavesTheOwnerWaiting)
{
    Finestra f(att(), tra(), 1, 3, false);
    int inizio = 0, fine = 0;
    QObject::connect(f.griglia.get(), &TQmtGrid::OnInizioRicerca, [&] { ++inizio; });
    QObject::connect(f.griglia.get(), &TQmtGrid::OnFineRicerca, [&] { ++fine; });
    f.griglia->selezionaCampo("NOME");
    f.griglia->CercaSuCampoCorrente();
    EXPECT_EQ(testi(), QStringList{QString::fromUtf8("Attenzione: Non è possibile eseguire la ricerca su un campo non "
                                                     "indicizzato di una tabella di grandi dimensioni")});
    EXPECT_EQ(inizio, fine);
    EXPECT_FALSE(f.ricerca);
    // The owner still rebuilds its statement at the next opening.
    f.base = kBase + QStringLiteral("\nWHERE CODICE < 10");
    f.sorgente.close();
    f.sorgente.open();
    EXPECT_EQ(f.sorgente.testo(), f.base);
}

TEST_F(Griglia, aSourceThatOutlivesItsGridOpensWithItsOwnHandlers)
{
    auto f = std::make_unique<Finestra>(att(), tra(), 1, 3);
    f->doppioClickTitolo("NOME");
    f->sorgente.close();
    f->griglia.reset();
    EXPECT_FALSE(f->sorgente.dopoLApertura);
    f->base = QStringLiteral("SELECT CODICE FROM CLIENTI WHERE CODICE < 3");
    // The owner's handler runs alone now: its statement, nothing of the grid.
    f->sorgente.primaDellApertura = [&](SorgenteDati &) { f->sorgente.setTesto(f->base); };
    f->sorgente.primaDellaChiusura = nullptr;
    f->sorgente.open();
    f->sorgente.fetchMore(10);
    EXPECT_EQ(f->sorgente.fetchedCount(), 2);
    f->sorgente.close();
}
