// The query window driven offscreen: marking columns, typing conditions,
// executing, reading the answer, the answer grid's keys, the single-record
// face, the clipboard copy and the memo window.

#include "Controlli.h"
#include "Finestra.h"
#include "FinestraClienti.h"

#include "db/Statement.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"
#include "context/WorkContext.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "params/TTabXForm.h"
#include "demo/DemoBuilder.h"
#include "grid/ArchivioAspetto.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TQmtGrid.h"
#include "qbe/ui/AnswerModel.h"
#include "qbe/ui/ApriQuerySuTabella.h"
#include "qbe/ui/GrigliaQuery.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TAppoggioQuerForm.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "qbe/ui/TMostraMemoForm.h"
#include "qbe/ui/TabRecTmp.h"
#include "platform/QtPrinters.h"
#include "platform/widgets/WidgetFileDialogs.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace vardof::qbe {
inline void PrintTo(const RigaRec &r, std::ostream *os)
{
    *os << '{' << r.NomeCampo.toStdString() << ": \"" << r.Dato.toStdString() << "\"}";
}
} // namespace vardof::qbe

using namespace vardof;
using namespace vardof::qbe;

namespace {

// The window's controls by kind, found by name.
constexpr auto *bottone = &test::controllo<QPushButton>;
constexpr auto *griglia = &test::controllo<GrigliaQuery>;
constexpr auto *pannello = &test::controllo<QWidget>;
constexpr auto *etichetta = &test::controllo<QLabel>;
constexpr auto *voce = &test::controllo<QAction>;
constexpr auto *menu = &test::controllo<QMenu>;

using test::rilascia;
using test::riga;
using test::scrivi;

class QueryWindow : public test::FinestraClienti
{
protected:
    std::unique_ptr<TIBLQueryForm> apri(const QString &tabella = QStringLiteral("CLIENTI"))
    {
        auto form = std::make_unique<TIBLQueryForm>(nullptr, 0, att(), tra(), QStringLiteral("DEMO"),
                                                    m_dir.path(), m_dir.path(), tabella);
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    // The window as the user has it: active, so that the focus moves as on
    // a desktop.
    std::unique_ptr<TIBLQueryForm> apriAttiva()
    {
        auto form = apri();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // Another `quanti` customers from code 100 (by default 3,000, more than
    // the grid reads at first).
    void tantiClienti(int quanti = 3000)
    {
        db::Transaction t(att());
        db::Statement ins(att(), t, QStringLiteral("INSERT INTO CLIENTI (CODICE, CITTA) VALUES (:C, 'X')"));
        for (int i = 100; i < 100 + quanti; ++i) {
            ins.setParam(QStringLiteral("C"), db::Value(qint64(i)));
            ins.execute();
        }
        t.commit();
    }

    static QModelIndex cellaCondizione(TIBLQueryForm &f, const QString &nome)
    {
        return f.interrogationModel().index(riga(f, nome), InterrogationModel::ColCondizione);
    }

    static void segna(TIBLQueryForm &f, const QString &nome)
    {
        griglia(f, "DBGrid1")->setCurrentIndex(f.interrogationModel().index(riga(f, nome), InterrogationModel::ColNome));
        rilascia(griglia(f, "DBGrid1"), Qt::Key_F3);
    }

    static QStringList colonna(TIBLQueryForm &f, int column)
    {
        QStringList out;
        for (int r = 0; r < f.answerModel().rowCount(); ++r)
            out << f.answerModel().index(r, column).data().toString();
        return out;
    }

    static QString cella(TIBLQueryForm &f, int row, int column)
    {
        return f.answerModel().index(row, column).data().toString();
    }

    platform::ScopedServices m_services;
};

TEST_F(QueryWindow, marksTypesExecutesTogglesReturnsAndCloses)
{
    auto form = apri();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Query - Ditta: DEMO"));
    ASSERT_EQ(form->tabIntTmp().size(), 6);
    EXPECT_FALSE(pannello(*form, "Panel4")->isHidden());
    EXPECT_TRUE(pannello(*form, "Panel2")->isHidden());

    bottone(*form, "ButtonDeselezionaTutto")->click();
    segna(*form, QStringLiteral("RAGIONESOCIALE"));
    segna(*form, QStringLiteral("CITTA"));
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Mostra, MostraVisibile);
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CODICE"))).Mostra, MostraNascosto);
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("ROMA"));

    bottone(*form, "ButtonEseguiInterrogazione")->click();

    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Condizione, QStringLiteral("ROMA"));
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_TRUE(pannello(*form, "Panel4")->isHidden());
    EXPECT_FALSE(griglia(*form, "DBGrid2")->isHidden());
    EXPECT_TRUE(griglia(*form, "DBGrid1")->isHidden());
    ASSERT_EQ(form->answerModel().columnCount(), 2);
    EXPECT_EQ(colonna(*form, 0), (QStringList{QStringLiteral("ROSSI SPA"), QStringLiteral("D'ANGELO SNC")}));
    EXPECT_EQ(colonna(*form, 1), (QStringList{QStringLiteral("ROMA"), QStringLiteral("ROMA")}));
    EXPECT_TRUE(m_services.messages().texts().isEmpty());

    // F3 hides the selected column, but never the last one shown.
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(0, 1));
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F3);
    EXPECT_TRUE(griglia(*form, "DBGrid2")->isColumnHidden(1));
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(0, 0));
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F3);
    EXPECT_FALSE(griglia(*form, "DBGrid2")->isColumnHidden(0));

    bottone(*form, "ButtonRitornaQuery")->click();
    EXPECT_FALSE(pannello(*form, "Panel4")->isHidden());
    EXPECT_TRUE(pannello(*form, "Panel2")->isHidden());
    EXPECT_FALSE(griglia(*form, "DBGrid1")->isHidden());
    EXPECT_TRUE(bottone(*form, "ButtonEseguiInterrogazione")->isEnabled());
    EXPECT_FALSE(bottone(*form, "ButtonNumeroRecord")->isEnabled());

    bottone(*form, "ButtonChiudi")->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(QueryWindow, rawConditionWithDayFirstDatesAndQuotedSearch)
{
    auto form = apri();
    scrivi(*form, QStringLiteral("DATAINSERIMENTO"),
           QStringLiteral("(DATAINSERIMENTO >= '01/02/2024' AND DATAINSERIMENTO <= '31/03/2024')"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(colonna(*form, 0), (QStringList{QStringLiteral("2"), QStringLiteral("3")}));

    // A quote inside a plain search no longer breaks the statement.
    bottone(*form, "ButtonRitornaQuery")->click();
    scrivi(*form, QStringLiteral("DATAINSERIMENTO"), QString());
    scrivi(*form, QStringLiteral("RAGIONESOCIALE"), QStringLiteral("D'ANG"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(colonna(*form, 0), QStringList{QStringLiteral("3")});
}

TEST_F(QueryWindow, rejectedConditionKeepsTheInterrogationFace)
{
    auto form = apri();
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("(CITTA = )"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    EXPECT_FALSE(form->rispostaVisibile());
    EXPECT_FALSE(pannello(*form, "Panel4")->isHidden());
    // The message, then the server's reason.
    const QStringList testi = m_services.messages().texts();
    ASSERT_EQ(testi.size(), 1);
    EXPECT_TRUE(testi.first().startsWith(QStringLiteral("Si prega di verificare la sintassi delle condizioni o dei collegamenti\n")));
    EXPECT_TRUE(testi.first().contains(QLatin1String("Token unknown"))) << testi.first().toStdString();
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Condizione, QStringLiteral("(CITTA = )"));
}

TEST_F(QueryWindow, eachExecutionSeesDataCommittedMeanwhile)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_EQ(form->answerModel().rowCount(), 4);
    bottone(*form, "ButtonRitornaQuery")->click();

    // Another user adds a customer.
    db::Attachment other = db::Attachment::attach(dbPath(), test::adminParams());
    db::Transaction t(other);
    db::executeSql(other, t, QStringLiteral("INSERT INTO CLIENTI (CODICE, CITTA) VALUES (5, 'TORINO')"));
    t.commit();
    other.disconnect();

    bottone(*form, "ButtonEseguiInterrogazione")->click();
    EXPECT_EQ(form->answerModel().rowCount(), 5);
}

TEST_F(QueryWindow, whatTheOpenerSetsAfterBuildingReachesTheEngine)
{
    auto form = apri();
    form->setArchivio(QStringLiteral("D:\\dati\\"));
    form->setModoStorico(3, 17, QStringLiteral("ESPORTA"));
    EXPECT_EQ(form->engine().archivio(), QStringLiteral("D:\\dati\\"));
    EXPECT_EQ(&form->engine().sessione(), &form->sessione());
    EXPECT_TRUE(form->engine().sessione().modoStorico());
    EXPECT_EQ(form->engine().sessione().codice1(), 3);
    EXPECT_EQ(form->engine().sessione().codice2(), 17.0);
    EXPECT_EQ(form->engine().livello(), 0);
}

TEST_F(QueryWindow, controlsAreFoundByTheirNames)
{
    auto form = apri();
    for (const char *nome : {"ButtonEseguiInterrogazione", "ButtonSelezionaTutto", "ButtonDeselezionaTutto",
                             "ButtonAggiungiT", "ButtonEliminaT", "ButtonElabAvanzate", "ButtonChiudi",
                             "ButtonCount", "ButtonSum", "ButtonNumeroRecord", "ButtonFont", "ButtonCappotta",
                             "ButtonSomma", "ButtonOrdina", "ButtonGrafico", "ButtonStampa", "ButtonEsporta",
                             "ButtonRitornaQuery", "ButtonChiudi1"})
        EXPECT_NO_THROW(bottone(*form, nome)) << nome;
    for (const char *nome : {"Panel1", "Panel2", "Panel4", "Panel5"})
        EXPECT_NO_THROW(pannello(*form, nome)) << nome;
    for (const char *nome : {"DBGrid1", "DBGrid2"})
        EXPECT_NO_THROW(griglia(*form, nome)) << nome;
    for (const char *nome : {"LabelPrec", "LabelSucc", "LegendaRisposta1", "LegendaRisposta2", "LegendaRisposta3"})
        EXPECT_NO_THROW(etichetta(*form, nome)) << nome;
    for (const char *nome : {"Precedente1", "Successiva1", "CopiaSqlnelclipboard1", "Inseriscisomma1"})
        EXPECT_NO_THROW(voce(*form, nome)) << nome;
    for (const char *nome : {"PopupMenu1", "PopupMenu2"})
        EXPECT_NO_THROW(menu(*form, nome)) << nome;
}

TEST_F(QueryWindow, lockedQueryRefusesSelectAllAndDeselectAll)
{
    auto form = apri();
    form->sessione().setBloccata(true);
    const std::vector<RigaInt> prima = form->tabIntTmp().righe();
    bottone(*form, "ButtonDeselezionaTutto")->click();
    bottone(*form, "ButtonSelezionaTutto")->click();
    segna(*form, QStringLiteral("CITTA"));
    EXPECT_EQ(form->tabIntTmp().righe(), prima);
    EXPECT_EQ(m_services.messages().texts(),
              QStringList(2, QStringLiteral("Attenzione: operazione non possibile, la Query è bloccata!")));
}

TEST_F(QueryWindow, deselectAllKeepsUnionAndGreyRowsAndMovesToTheFirstRow)
{
    auto form = apri();
    form->tabIntTmp().setMostra(riga(*form, QStringLiteral("CITTA")), MostraVisibileUnione);
    form->tabIntTmp().setMostra(riga(*form, QStringLiteral("FIDO")), MostraVisibileGrigio);
    griglia(*form, "DBGrid1")->setCurrentIndex(form->interrogationModel().index(4, 0));
    bottone(*form, "ButtonDeselezionaTutto")->click();
    EXPECT_EQ(griglia(*form, "DBGrid1")->currentIndex().row(), 0);
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Mostra, MostraVisibileUnione);
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("FIDO"))).Mostra, MostraVisibileGrigio);
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CODICE"))).Mostra, MostraNascosto);

    // F3 and a double click leave a union row alone.
    segna(*form, QStringLiteral("CITTA"));
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Mostra, MostraVisibileUnione);
    bottone(*form, "ButtonSelezionaTutto")->click();
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CODICE"))).Mostra, MostraVisibile);
}

TEST_F(QueryWindow, answerIsFetchedAsScrolledAndCountedWhole)
{
    tantiClienti();

    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    QCoreApplication::processEvents();
    const int mostrate = form->answerModel().rowCount();
    EXPECT_GT(mostrate, 0);
    EXPECT_LT(mostrate, 3004);
    EXPECT_EQ(form->tabRispTmp().fetchedCount(), mostrate);

    bottone(*form, "ButtonNumeroRecord")->click();
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Numero record presenti: 3.004")});
    EXPECT_EQ(form->answerModel().rowCount(), 3004);
    EXPECT_EQ(cella(*form, 3003, 0), QStringLiteral("3099"));
}

TEST_F(QueryWindow, aFailedFetchIsReportedAndTheGridEmpties)
{
    tantiClienti(1000);
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    // The cursor dies with its transaction.
    tra().rollback();
    bottone(*form, "ButtonNumeroRecord")->click();
    ASSERT_EQ(m_services.messages().texts().size(), 1);
    EXPECT_TRUE(m_services.messages().texts().first().startsWith(
        QStringLiteral("Errore durante la lettura della risposta\r")));
    EXPECT_EQ(form->answerModel().rowCount(), 0);
}

TEST_F(QueryWindow, f5CyclesDigitGroupingOfTheSelectedColumn)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    const int fido = form->tabRispTmp().indexOfColonna(QStringLiteral("FIDO"));
    ASSERT_GE(fido, 0);
    EXPECT_EQ(colonna(*form, fido),
              (QStringList{QStringLiteral("1234,50"), QStringLiteral("0,00"), QStringLiteral("98765,43"), QString()}));
    form->LayoutCorrente = true;
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(0, fido));

    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F5);
    EXPECT_FALSE(form->LayoutCorrente);
    EXPECT_EQ(form->sessione().codici().codice(fido), 1);
    EXPECT_EQ(colonna(*form, fido),
              (QStringList{QStringLiteral("1.234,50"), QString(), QStringLiteral("98.765,43"), QString()}));
    EXPECT_EQ(form->answerModel().index(0, fido).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::AlignRight);

    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F5);
    EXPECT_EQ(colonna(*form, fido),
              (QStringList{QStringLiteral("1.235"), QString(), QStringLiteral("98.765"), QString()}));
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F5);
    EXPECT_EQ(form->sessione().codici().codice(fido), 0);
    EXPECT_EQ(cella(*form, 0, fido), QStringLiteral("1234,50"));

    // Grouping never touches a column that is not decimal.
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(0, 0));
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F5);
    EXPECT_EQ(cella(*form, 0, 0), QStringLiteral("1"));
}

TEST_F(QueryWindow, f4ReopensTheSameTextWithTheDefaultLayout)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    // An ordering added to the text (as the ordering dialog does) survives F4.
    form->tabRispTmp().SQL() << QStringLiteral("ORDER BY") << QStringLiteral("  XX.CODICE DESC");
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(0, 1));
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F3);
    griglia(*form, "DBGrid2")->horizontalHeader()->moveSection(0, 3);
    ASSERT_TRUE(griglia(*form, "DBGrid2")->isColumnHidden(1));

    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F4);
    EXPECT_FALSE(griglia(*form, "DBGrid2")->isColumnHidden(1));
    EXPECT_EQ(griglia(*form, "DBGrid2")->horizontalHeader()->visualIndex(0), 0);
    EXPECT_EQ(colonna(*form, 0),
              (QStringList{QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1")}));
}

TEST_F(QueryWindow, singleRecordFaceShowsTheCurrentRowVertically)
{
    const QString lunga = QString(QStringLiteral("parola ")).repeated(30).trimmed(); // 209 characters
    exec(QStringLiteral("UPDATE CLIENTI SET NOTE = '%1' WHERE CODICE = 3").arg(lunga));
    exec(QStringLiteral("UPDATE CLIENTI SET RAGIONESOCIALE = 'RIGA1' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'RIGA2'"
                        " WHERE CODICE = 3"));
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(2, 0));
    const int citta = form->tabRispTmp().indexOfColonna(QStringLiteral("CITTA"));
    griglia(*form, "DBGrid2")->setColumnHidden(citta, true);

    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F7);
    ASSERT_TRUE(form->singoloRecord());
    EXPECT_EQ(griglia(*form, "DBGrid2")->model(), &form->tabRecTmp());
    const std::vector<RigaRec> attese{
        {QStringLiteral("CODICE"), QStringLiteral("3")},
        {QStringLiteral("RAGIONESOCIALE"), QStringLiteral("RIGA1  RIGA2")},
        {QStringLiteral("FIDO"), QStringLiteral("98765,43")},
        {QStringLiteral("DATAINSERIMENTO"), QStringLiteral("30/03/2024")},
        {QStringLiteral("NOTE"), QString(QStringLiteral("parola ")).repeated(14).trimmed()},
        {QStringLiteral("NOTE"), QString(QStringLiteral("parola ")).repeated(14).trimmed()},
        {QStringLiteral("NOTE"), QStringLiteral("parola parola")},
    };
    EXPECT_EQ(form->tabRecTmp().righe(), attese);
    EXPECT_EQ(form->tabRecTmp().lunghezzaMassima(), 97);
    EXPECT_TRUE(bottone(*form, "ButtonRitornaQuery")->isHidden());
    EXPECT_TRUE(bottone(*form, "ButtonEsporta")->isHidden());
    EXPECT_FALSE(bottone(*form, "ButtonChiudi1")->isHidden());
    EXPECT_TRUE(etichetta(*form, "LegendaRisposta1")->isHidden());

    bottone(*form, "ButtonCappotta")->click();
    EXPECT_FALSE(form->singoloRecord());
    EXPECT_EQ(griglia(*form, "DBGrid2")->model(), &form->answerModel());
    EXPECT_TRUE(griglia(*form, "DBGrid2")->isColumnHidden(citta));
    EXPECT_EQ(griglia(*form, "DBGrid2")->currentIndex().row(), 2);
    EXPECT_FALSE(bottone(*form, "ButtonRitornaQuery")->isHidden());
    EXPECT_TRUE(bottone(*form, "ButtonChiudi1")->isHidden());
}

TEST_F(QueryWindow, closeFromTheSingleRecordFace)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    bottone(*form, "ButtonCappotta")->click();
    bottone(*form, "ButtonChiudi1")->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(QueryWindow, copySqlShowsTheSupportWindowAndCopiesOnOk)
{
    auto form = apri();
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("(CITTA = 'ROMA')"));
    QString memo;
    test::whenShown<TAppoggioQuerForm>([&memo](TAppoggioQuerForm *w) {
        memo = w->MemoPerClipboard->toPlainText();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Form di appoggio per funzioni query"));
        w->ButtonOk->click();
    });
    voce(*form, "CopiaSqlnelclipboard1")->trigger();
    EXPECT_TRUE(memo.contains(QStringLiteral("(XX.CITTA = ''ROMA'')")));
    EXPECT_EQ(m_services.clipboard().text(), memo);
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Script SQL copiato!")});
    EXPECT_FALSE(form->rispostaVisibile());

    // The next execution runs the query again, not the clipboard text.
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    EXPECT_EQ(form->answerModel().rowCount(), 2);
}

TEST_F(QueryWindow, copySqlLeftWithoutOkCopiesNothing)
{
    auto form = apri();
    test::whenShown<TAppoggioQuerForm>([](TAppoggioQuerForm *w) { w->reject(); });
    voce(*form, "CopiaSqlnelclipboard1")->trigger();
    EXPECT_TRUE(m_services.clipboard().text().isEmpty());
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(QueryWindow, memoColumnsGetAShowFieldEntry)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    const QList<QAction *> voci = menu(*form, "PopupMenu2")->actions();
    ASSERT_EQ(voci.size(), 1);
    EXPECT_EQ(voci.first()->text(), QStringLiteral("Mostra campo NOTE"));

    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(1, 0));
    QString titolo, testo;
    test::whenShown<TMostraMemoForm>([&](TMostraMemoForm *w) {
        titolo = w->windowTitle();
        testo = w->Memo1->toPlainText();
        EXPECT_TRUE(w->Memo1->isReadOnly());
        w->ButtonChiudi->click();
    });
    voci.first()->trigger();
    EXPECT_EQ(titolo, QStringLiteral("Campo NOTE"));
    EXPECT_EQ(testo, QStringLiteral("breve"));
}

TEST_F(QueryWindow, fontButtonOffersTheReportFontAndRestylesTheGrid)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    form->LayoutCorrente = true;
    m_services.fileDialogs().queueFont(platform::FontChoice{QStringLiteral("DejaVu Sans Mono"), 11, false});
    bottone(*form, "ButtonFont")->click();
    ASSERT_EQ(m_services.fileDialogs().requests().size(), 1);
    EXPECT_EQ(m_services.fileDialogs().requests().first().initialFont,
              (platform::FontChoice{QStringLiteral("BorlandTE"), 9, true}));
    EXPECT_EQ(griglia(*form, "DBGrid2")->font().pointSize(), 11);
    EXPECT_FALSE(form->LayoutCorrente);

    // A cancelled dialog changes nothing.
    form->LayoutCorrente = true;
    bottone(*form, "ButtonFont")->click();
    EXPECT_TRUE(form->LayoutCorrente);
    EXPECT_EQ(griglia(*form, "DBGrid2")->font().pointSize(), 11);
}

TEST_F(QueryWindow, executeOnOpenShowsTheAnswerAtOnce)
{
    auto form = std::make_unique<TIBLQueryForm>(nullptr, 0, att(), tra(), QStringLiteral("DEMO"), m_dir.path(),
                                                m_dir.path(), QStringLiteral("CLIENTI"));
    form->setEseguiAllApertura(true);
    form->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(form->answerModel().rowCount(), 4);
}

TEST_F(QueryWindow, theTitleBarCloseGoesThroughChiudi)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->tabRispTmp().isOpen());
}

TEST_F(QueryWindow, escapeCancelsTheEditAndNeverClosesTheWindow)
{
    auto form = apriAttiva();
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("ROMA"));
    QTest::keyClick(griglia(*form, "DBGrid1")->editorAperto(), Qt::Key_Escape);
    EXPECT_EQ(griglia(*form, "DBGrid1")->editorAperto(), nullptr);
    EXPECT_TRUE(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Condizione.isEmpty());
    EXPECT_TRUE(form->isVisible());

    // A condition already entered stays, and so does the window.
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("ROMA"));
    griglia(*form, "DBGrid1")->postEdit();
    QTest::keyClick(griglia(*form, "DBGrid1"), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->tabIntTmp().at(riga(*form, QStringLiteral("CITTA"))).Condizione, QStringLiteral("ROMA"));

    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    QTest::keyClick(griglia(*form, "DBGrid2"), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->rispostaVisibile());
}

TEST_F(QueryWindow, f3WhileTypingAConditionKeepsTheTextAndTogglesTheRow)
{
    auto form = apriAttiva();
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("ROM"));
    QLineEdit *editor = griglia(*form, "DBGrid1")->editorAperto();
    const int citta = riga(*form, QStringLiteral("CITTA"));

    QTest::keyClick(editor, Qt::Key_F3);
    EXPECT_EQ(form->tabIntTmp().at(citta).Mostra, MostraNascosto);
    ASSERT_EQ(griglia(*form, "DBGrid1")->editorAperto(), editor);
    EXPECT_EQ(editor->text(), QStringLiteral("ROM"));

    QTest::keyClicks(editor, QStringLiteral("A"));
    QTest::keyClick(editor, Qt::Key_F3);
    EXPECT_EQ(form->tabIntTmp().at(citta).Mostra, MostraVisibile);
    EXPECT_EQ(editor->text(), QStringLiteral("ROMA"));

    bottone(*form, "ButtonEseguiInterrogazione")->click();
    EXPECT_EQ(form->tabIntTmp().at(citta).Condizione, QStringLiteral("ROMA"));
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_EQ(form->answerModel().rowCount(), 2);
}

TEST_F(QueryWindow, afterTheAnswerTheCurrentCellIsWhereTheUserLeftIt)
{
    auto form = apriAttiva();
    scrivi(*form, QStringLiteral("CITTA"), QStringLiteral("ROMA"));
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    EXPECT_TRUE(griglia(*form, "DBGrid2")->hasFocus());
    griglia(*form, "DBGrid2")->setCurrentIndex(form->answerModel().index(1, 1));

    bottone(*form, "ButtonRitornaQuery")->click();
    EXPECT_EQ(griglia(*form, "DBGrid1")->currentIndex(), cellaCondizione(*form, QStringLiteral("CITTA")));
    EXPECT_TRUE(griglia(*form, "DBGrid1")->hasFocus());

    // Typing goes on in the same cell, and again after another round.
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    bottone(*form, "ButtonRitornaQuery")->click();
    EXPECT_EQ(griglia(*form, "DBGrid1")->currentIndex(), cellaCondizione(*form, QStringLiteral("CITTA")));
}

// How the user asks for the last record of a long answer.
struct FineCase
{
    const char *name;
    std::function<void(GrigliaQuery *)> chiedi;
};

void PrintTo(const FineCase &c, std::ostream *os)
{
    *os << c.name;
}

class QueryWindowFine : public QueryWindow, public ::testing::WithParamInterface<FineCase>
{
};

TEST_P(QueryWindowFine, theGridFetchesWhatItNeedsToReachTheLastRecord)
{
    tantiClienti();
    auto form = apriAttiva();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    ASSERT_LT(form->answerModel().rowCount(), 3004);

    GetParam().chiedi(griglia(*form, "DBGrid2"));
    QCoreApplication::processEvents();

    EXPECT_EQ(form->answerModel().rowCount(), 3004);
    EXPECT_FALSE(form->answerModel().canFetchMore(QModelIndex()));
    QScrollBar *barra = griglia(*form, "DBGrid2")->verticalScrollBar();
    EXPECT_EQ(barra->value(), barra->maximum());
    // The last customer is on screen (Ctrl+End also goes to the last column).
    const QRect ultima = griglia(*form, "DBGrid2")->visualRect(form->answerModel().index(3003, 0));
    EXPECT_GE(ultima.top(), 0);
    EXPECT_LE(ultima.bottom(), griglia(*form, "DBGrid2")->viewport()->height());
    EXPECT_EQ(form->answerModel().index(3003, 0).data().toString(), QStringLiteral("3099"));
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, QueryWindowFine,
    ::testing::Values(
        FineCase{"ctrlEnd",
                 [](GrigliaQuery *g) {
                     QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
                     EXPECT_EQ(g->currentIndex().row(), 3003);
                 }},
        FineCase{"scrollBarDraggedToTheBottom",
                 [](GrigliaQuery *g) {
                     QScrollBar *barra = g->verticalScrollBar();
                     barra->setSliderDown(true);
                     barra->setSliderPosition(barra->maximum());
                     barra->setSliderDown(false);
                 }},
        FineCase{"scrollBarSentToTheBottom",
                 [](GrigliaQuery *g) { g->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum); }}),
    [](const ::testing::TestParamInfo<FineCase> &info) { return std::string(info.param.name); });

TEST_F(QueryWindow, endWithoutCtrlAndPageDownReadNothingMore)
{
    tantiClienti();
    auto form = apriAttiva();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    QTest::keyClick(griglia(*form, "DBGrid2"), Qt::Key_End); // the last column of the same row
    QTest::keyClick(griglia(*form, "DBGrid2"), Qt::Key_PageDown);
    QCoreApplication::processEvents();
    EXPECT_LT(form->answerModel().rowCount(), 3004);
    EXPECT_TRUE(form->answerModel().canFetchMore(QModelIndex()));
    EXPECT_EQ(griglia(*form, "DBGrid2")->currentIndex().column(), form->answerModel().columnCount() - 1);
}

TEST_F(QueryWindow, answerTitlesAreWholeAndHaveRoom)
{
    exec(QStringLiteral("ALTER TABLE CLIENTI ADD PROVINCIA_DI_RESIDENZA CHAR(2)"));
    exec(QStringLiteral("ALTER TABLE CLIENTI ADD SCONTO_RISERVATO_AL_CLIENTE SMALLINT"));
    auto form = apri();
    QHeaderView *titoli = griglia(*form, "DBGrid1")->horizontalHeader();
    for (int i = 0; i < form->interrogationModel().columnCount(); ++i)
        EXPECT_GE(griglia(*form, "DBGrid1")->columnWidth(i), titoli->sectionSizeHint(i)) << i;

    bottone(*form, "ButtonEseguiInterrogazione")->click();
    ASSERT_TRUE(form->rispostaVisibile());
    auto controlla = [&form](const char *quando) {
        QHeaderView *h = griglia(*form, "DBGrid2")->horizontalHeader();
        for (int i = 0; i < form->answerModel().columnCount(); ++i) {
            const QString nome = form->tabRispTmp().nomeColonna(i);
            EXPECT_EQ(form->answerModel().headerData(i, Qt::Horizontal).toString(), nome) << quando;
            EXPECT_GE(griglia(*form, "DBGrid2")->columnWidth(i), h->sectionSizeHint(i)) << quando << ' ' << nome.toStdString();
        }
    };
    controlla("first look");

    m_services.fileDialogs().queueFont(platform::FontChoice{QStringLiteral("DejaVu Sans"), 20, true});
    bottone(*form, "ButtonFont")->click();
    controlla("larger font");
    rilascia(griglia(*form, "DBGrid2"), Qt::Key_F4);
    controlla("base look");
}

TEST_F(QueryWindow, theFontDialogStartsBoldAsTheReportFontIs)
{
    const auto scripted = platform::setFileDialogs(std::make_shared<platform::WidgetFileDialogs>());
    auto form = apriAttiva();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    std::optional<QFont> iniziale;
    test::whenShown<QFontDialog>([&iniziale](QFontDialog *d) {
        iniziale = d->currentFont();
        d->reject();
    });
    bottone(*form, "ButtonFont")->click();
    platform::setFileDialogs(scripted);
    ASSERT_TRUE(iniziale.has_value());
    EXPECT_TRUE(iniziale->bold()) << iniziale->toString().toStdString();
    EXPECT_FALSE(iniziale->italic());
    EXPECT_EQ(iniziale->pointSize(), 9);
}

TEST_F(QueryWindow, answerFaceButtonsOfOtherWindowsStayDisabled)
{
    auto form = apri();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    // "&Grafico" opens the chart window: every button of the face is wired.
    for (QPushButton *b : {bottone(*form, "ButtonGrafico"), bottone(*form, "ButtonNumeroRecord"), bottone(*form, "ButtonFont"), bottone(*form, "ButtonCappotta"),
                           bottone(*form, "ButtonSomma"), bottone(*form, "ButtonOrdina"), bottone(*form, "ButtonStampa"),
                           bottone(*form, "ButtonEsporta"), bottone(*form, "ButtonRitornaQuery")})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    for (QPushButton *b : {bottone(*form, "ButtonEseguiInterrogazione"), bottone(*form, "ButtonSelezionaTutto"), bottone(*form, "ButtonChiudi")})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(QueryWindow, openedOnATableItRunsOnItsOwnConnectionAndReadsTheSettings)
{
    const QString ini = m_dir.file(QStringLiteral("ostrel.ini"));
    platform::IniFile(ini).writeString(QStringLiteral("SEZ"), QStringLiteral("Directory di lavoro"), QStringLiteral("L:\\lavoro\\"));
    platform::IniFile(ini).writeString(QStringLiteral("SEZ"), QStringLiteral("Directory bin"), QStringLiteral("B:\\bin\\"));
    // Pending work of the caller, which the window's rollbacks must not touch.
    db::executeSql(att(), tra(), QStringLiteral("INSERT INTO CLIENTI (CODICE, CITTA) VALUES (9, 'BARI')"));

    QString titolo, lavoro, bin, impostazioni, database, archivio, archivioMotore;
    int righe = -1;
    bool eseguita = false;
    test::whenShown<TIBLQueryForm>([&](TIBLQueryForm *w) {
        titolo = w->windowTitle();
        archivio = w->archivio();
        archivioMotore = w->engine().archivio();
        lavoro = w->directoryLavoro();
        bin = w->directoryBin();
        impostazioni = w->fileImpostazioni();
        eseguita = w->rispostaVisibile();
        righe = w->answerModel().rowCount();
        w->reject();
    });
    ApriQuerySuTabella(QStringLiteral("CLIENTI"), att(), tra(), QString(), QString(), 0, ini, true,
                       QStringLiteral("SEZ"), QString());
    EXPECT_EQ(titolo, QStringLiteral("Query - Ditta: SEZ"));
    EXPECT_EQ(lavoro, QStringLiteral("L:\\lavoro\\"));
    EXPECT_EQ(bin, QStringLiteral("B:\\bin\\"));
    EXPECT_EQ(impostazioni, ini);
    // The archive is set after the window built its engine: the engine
    // works on it all the same.
    EXPECT_EQ(archivio, platform::extractFilePath(att().databaseName()));
    EXPECT_EQ(archivioMotore, archivio);
    EXPECT_TRUE(eseguita);
    EXPECT_EQ(righe, 4); // the caller's row is not committed yet
    ASSERT_TRUE(tra().isActive());
    EXPECT_EQ(db::toText(db::queryValue(att(), tra(), QStringLiteral("SELECT COUNT(*) FROM CLIENTI"))),
              QStringLiteral("5"));
    tra().commit();
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(QueryWindow, theDataGridsQueryActionOpensItOnTheGridsTable)
{
    const QString ini = m_dir.file(QStringLiteral("ostrel.ini"));
    platform::IniFile(ini).writeString(QStringLiteral("SEZ"), QStringLiteral("Directory di lavoro"), QStringLiteral("L:\\lavoro\\"));
    grid::CreaTabelleAspetto(att());
    grid::SorgenteQuery sorgente;
    sorgente.attach(att(), tra());
    sorgente.setTesto(QStringLiteral("SELECT CODICE, CITTA FROM \"CLIENTI\""));
    grid::TQmtGrid griglia;
    griglia.SQLIniziale = sorgente.SQL();
    griglia.DirBin = QStringLiteral("B:\\bin\\");
    griglia.FileImpostazioni = ini;
    griglia.SezioneImpostazioni = QStringLiteral("SEZ");
    griglia.SetSorgenteDati(&sorgente);
    sorgente.open();

    const grid::TQmtGrid::Query prima = grid::TQmtGrid::setQuery(nullptr);
    installaQueryGriglia();
    QString titolo, lavoro, bin;
    int colonne = -1;
    bool eseguita = true;
    test::whenShown<TIBLQueryForm>([&](TIBLQueryForm *w) {
        titolo = w->windowTitle();
        lavoro = w->directoryLavoro();
        bin = w->directoryBin();
        colonne = w->interrogationModel().rowCount();
        eseguita = w->rispostaVisibile();
        w->reject();
    });
    griglia.menu()->actions().at(3)->trigger();
    grid::TQmtGrid::setQuery(prima);
    sorgente.close();

    EXPECT_EQ(titolo, QStringLiteral("Query - Ditta: SEZ"));
    EXPECT_EQ(lavoro, QStringLiteral("L:\\lavoro\\"));
    EXPECT_EQ(bin, QStringLiteral("B:\\bin\\"));
    EXPECT_EQ(colonne, 6); // every column of the table, not of the grid's statement
    EXPECT_FALSE(eseguita);
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(QueryWindow, aUserNumberOpensTheUsersStoreAndFilesArchiveAndTempDir)
{
    test::TempDir host;
    app::DemoOptions demo;
    demo.hostDir = host.path() + QLatin1Char('/');
    demo.rows = 10;
    app::buildDemo(demo);
    platform::setHostDir(demo.hostDir);

    auto form = std::make_unique<TIBLQueryForm>(nullptr, 1, att(), tra(), QStringLiteral("DEMO"), m_dir.path(),
                                                m_dir.path(), QStringLiteral("CLIENTI"));
    params::TTabXForm *store = form->storeParametri();
    ASSERT_NE(store, nullptr);
    const QString archivio = store->CaricaParametro(QStringLiteral("Archivio"));
    EXPECT_FALSE(archivio.isEmpty());
    EXPECT_EQ(store->GetV(QStringLiteral("Archivio")), archivio);
    EXPECT_EQ(store->GetV(QStringLiteral("TempDir")),
              store->CaricaParametro(QStringLiteral("Directory tabelle temporanee")));
    EXPECT_EQ(form->CaricaParametro(QStringLiteral("Archivio")), archivio);
    form.reset();
    platform::setHostDir(QString());
}

TEST_F(QueryWindow, aUserWhoseParametersCannotBeReadStillQueries)
{
    test::TempDir host;
    platform::setHostDir(host.path() + QLatin1Char('/'));
    auto form = std::make_unique<TIBLQueryForm>(nullptr, 7, att(), tra(), QStringLiteral("DEMO"), m_dir.path(),
                                                m_dir.path(), QStringLiteral("CLIENTI"));
    EXPECT_EQ(form->storeParametri(), nullptr);
    EXPECT_TRUE(form->CaricaParametro(QStringLiteral("Archivio")).isEmpty());
    form->show();
    bottone(*form, "ButtonEseguiInterrogazione")->click();
    EXPECT_EQ(form->answerModel().rowCount(), 4);
    form.reset();
    platform::setHostDir(QString());
}

TEST(SettingsFile, theWindowsPathMeansTheLibrarySettings)
{
    EXPECT_EQ(fileImpostazioniEffettivo(QStringLiteral("C:\\Windows\\ostrel.ini")),
              context::TTabForm::PercorsoFileImpostazioni());
    EXPECT_EQ(fileImpostazioniEffettivo(QStringLiteral("/tmp/altro.ini")), QStringLiteral("/tmp/altro.ini"));
}

// ---- the interrogation grid's rules ------------------------------------------

struct RowKindCase
{
    int mostra;
    bool editable;
    QColor background; // invalid: the grid's own
    bool systemBackground = false;
};

class InterrogationRows : public ::testing::TestWithParam<RowKindCase>
{
};

TEST_P(InterrogationRows, editingAndColourFollowTheRowKind)
{
    TabIntTmp tab;
    tab.append(QStringLiteral("X"), GetParam().mostra, QStringLiteral("prima"));
    InterrogationModel model(tab);
    const QModelIndex cond = model.index(0, InterrogationModel::ColCondizione);
    EXPECT_EQ(bool(model.flags(cond) & Qt::ItemIsEditable), GetParam().editable);
    EXPECT_EQ(model.setData(cond, QStringLiteral("dopo")), GetParam().editable);
    EXPECT_EQ(tab.at(0).Condizione, GetParam().editable ? QStringLiteral("dopo") : QStringLiteral("prima"));
    EXPECT_FALSE(model.flags(model.index(0, InterrogationModel::ColNome)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, InterrogationModel::ColMostra), 1));

    const QVariant bg = model.index(0, 0).data(Qt::BackgroundRole);
    if (GetParam().systemBackground) {
        EXPECT_EQ(bg.value<QBrush>().color(), QApplication::palette().color(QPalette::Window));
    } else if (GetParam().background.isValid()) {
        EXPECT_EQ(bg.value<QBrush>().color(), GetParam().background);
        EXPECT_EQ(model.index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
    } else {
        EXPECT_FALSE(bg.isValid());
    }

    // The program may edit any row while it says so.
    model.setModificaInterna(true);
    EXPECT_TRUE(model.setData(cond, QStringLiteral("interna")));
    EXPECT_FALSE(model.insertRows(1, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InterrogationRows,
    ::testing::Values(RowKindCase{0, true, QColor()},
                      RowKindCase{1, true, QColor(), true},
                      RowKindCase{5, true, QColor(128, 128, 128)}, RowKindCase{6, true, QColor(Qt::cyan)},
                      RowKindCase{9, false, QColor(Qt::red)}, RowKindCase{3, false, QColor(Qt::red)},
                      RowKindCase{8, false, QColor(Qt::yellow)}, RowKindCase{7, false, QColor(255, 0, 255)},
                      RowKindCase{4, false, QColor(255, 0, 255)}));

// ---- drawing and single-record text rules --------------------------------------

struct GroupingCase
{
    double value;
    int grouping;
    const char *shown;
};

class Grouping : public ::testing::TestWithParam<GroupingCase>
{
};

TEST_P(Grouping, decimalCommaThousandsPointAndZeroAsEmpty)
{
    EXPECT_EQ(testoRaggruppato(GetParam().value, GetParam().grouping), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, Grouping,
                         ::testing::Values(GroupingCase{1234.5, 1, "1.234,50"}, GroupingCase{1234.5, 2, "1.235"},
                                           GroupingCase{0.0, 1, ""}, GroupingCase{0.0, 2, ""},
                                           GroupingCase{-1234567.891, 1, "-1.234.567,89"},
                                           GroupingCase{999.999, 1, "1.000,00"}, GroupingCase{0.4, 2, "0"},
                                           GroupingCase{12.5, 0, "12,5"}, GroupingCase{0.0, 0, "0"}));

struct SplitCase
{
    QString text;
    QStringList lines;
};

class SplitText : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitText, linesOfAtMostAHundredCharacters)
{
    const QStringList got = spezzaTesto(GetParam().text);
    EXPECT_EQ(got, GetParam().lines);
    for (const QString &l : got)
        EXPECT_LE(l.size(), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitText,
    ::testing::Values(
        SplitCase{QString(), {QString()}}, SplitCase{QStringLiteral("breve"), {QStringLiteral("breve")}},
        SplitCase{QStringLiteral("uno\r\ndue\rtre\nquattro"),
                  {QStringLiteral("uno"), QStringLiteral("due"), QStringLiteral("tre"), QStringLiteral("quattro")}},
        SplitCase{QString(99, QLatin1Char('a')) + QStringLiteral(" b"),
                  {QString(99, QLatin1Char('a')), QStringLiteral("b")}},
        SplitCase{QString(100, QLatin1Char('a')) + QStringLiteral(" b"),
                  {QString(100, QLatin1Char('a')), QStringLiteral("b")}},
        SplitCase{QString(250, QLatin1Char('x')),
                  {QString(100, QLatin1Char('x')), QString(100, QLatin1Char('x')), QString(50, QLatin1Char('x'))}},
        SplitCase{QStringLiteral("a\n\nb\n\n"), {QStringLiteral("a"), QString(), QStringLiteral("b")}}));

} // namespace
