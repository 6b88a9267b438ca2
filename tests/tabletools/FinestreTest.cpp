// The windows over a work context on a fresh database, driven through
// their handlers with scripted boxes and file dialogs.
#include "qbe/ui/TIBLQueryForm.h"
#include "tabletools/ui/ModelloEditabile.h"
#include "tabletools/ui/StrumentiTabella.h"
#include "tabletools/ui/TEdTabIBImportForm.h"
#include "tabletools/ui/TFormEdTab.h"
#include "tabletools/ui/TParametriSQLForm.h"
#include "tabletools/ui/TStoSQL.h"

#include "context/WorkContext.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"
#include "tabletools/TabellaEditor.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QPointer>
#include <QTimer>
#include <QHeaderView>
#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

class Finestre : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(20), "
                            "PUNTI INTEGER, NOTE BLOB SUB_TYPE 1)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROSSI', NULL, 'uno')"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'BIANCHI', NULL, NULL)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (3, 'O''NEIL', NULL, NULL)"));
        m_context = std::make_unique<context::TTabForm>(m_dir.path() + QLatin1Char('/'));
        m_context->NomeProgetto = QStringLiteral("DEMO");
        m_context->database().connect(dbPath(), test::adminParams());
        m_vecchiaScelta = TStoSQL::setSceltaTabella(
            [](db::Attachment &, db::Transaction &, QWidget *) { return std::optional<QString>(QStringLiteral("CLIENTI")); });
        m_vecchioRisultato = TStoSQL::setMostraRisultato([this](TStoSQL &, const QString &sql, const ValoriParametri &p) {
            m_mostrate << sql;
            m_parametriMostrati = p;
        });
        m_vecchiaTabella = TFormEdTab::setSceltaTabella([this](TFormEdTab &) -> std::optional<TFormEdTab::Scelta> {
            return TFormEdTab::Scelta{m_tabellaScelta, m_fileScelto};
        });
    }
    void TearDown() override
    {
        TStoSQL::setSceltaTabella(m_vecchiaScelta);
        TStoSQL::setMostraRisultato(m_vecchioRisultato);
        TFormEdTab::setSceltaTabella(m_vecchiaTabella);
        m_context.reset();
        FbFixture::TearDown();
    }
    QStringList valori(const QString &sql)
    {
        db::Attachment a = db::Attachment::attach(dbPath(), test::adminParams());
        db::Transaction t(a);
        db::Statement st(t, sql, db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        QStringList v;
        while (rs.next())
            v << (rs.isNull(0) ? QStringLiteral("<null>") : rs.text(0));
        return v;
    }
    platform::ScriptedMessages &msg() { return m_services.messages(); }

    platform::ScopedServices m_services;
    std::unique_ptr<context::TTabForm> m_context;
    TStoSQL::SceltaTabella m_vecchiaScelta;
    TStoSQL::MostraRisultato m_vecchioRisultato;
    TFormEdTab::SceltaTabella m_vecchiaTabella;
    QStringList m_mostrate;
    ValoriParametri m_parametriMostrati;
    QString m_tabellaScelta = QStringLiteral("CLIENTI");
    QString m_fileScelto;
};

TEST_F(Finestre, StoredSqlNewSaveRunQueryAndUpdate)
{
    TStoSQL w(m_context.get());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Esecuzioni SQL - Ditta: DEMO"));
    ASSERT_TRUE(w.funzionante());
    EXPECT_EQ(w.righe(), 0);
    w.ButtonNuovoClick();
    EXPECT_EQ(w.EditCodice->text(), QStringLiteral("1"));
    EXPECT_TRUE(w.inModifica());
    EXPECT_FALSE(w.ButtonEsegui->isEnabled());
    w.EditTitolo->setText(QStringLiteral("Clienti"));
    w.MemoSQL->setPlainText(QStringLiteral("select * from CLIENTI"));
    w.ButtonEseguiClick(); // while editing: refused
    w.ButtonMemorizzaClick();
    EXPECT_FALSE(w.inModifica());
    EXPECT_EQ(valori(QStringLiteral("SELECT TITOLO FROM STOSQL")), QStringList{QStringLiteral("Clienti")});
    w.ButtonEseguiClick();
    EXPECT_EQ(m_mostrate, QStringList{QStringLiteral("select * from CLIENTI")});

    w.ButtonNuovoClick();
    EXPECT_EQ(w.EditCodice->text(), QStringLiteral("2"));
    w.MemoSQL->setPlainText(QStringLiteral("UPDATE CLIENTI SET PUNTI = 5 WHERE CODICE = 2"));
    w.ButtonMemorizzaClick();
    EXPECT_EQ(w.codiceCorrente(), 2);
    w.ButtonEseguiClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT PUNTI FROM CLIENTI WHERE CODICE = 2")), QStringList{QStringLiteral("5")});
    EXPECT_EQ(msg().texts(), (QStringList{QStringLiteral("Si prega di memorizzare le modifiche prima"),
                                          QStringLiteral("Script SQL eseguito correttamente")}));
}

TEST_F(Finestre, StoredSqlBadStatementShowsTheServerMessageAndCommitsNothing)
{
    TStoSQL w(m_context.get());
    w.ButtonNuovoClick();
    w.MemoSQL->setPlainText(QStringLiteral("UPDATE CLIENTI SET NESSUNO = 1"));
    w.ButtonMemorizzaClick();
    w.ButtonEseguiClick();
    ASSERT_EQ(msg().texts().size(), 1);
    EXPECT_TRUE(msg().texts()[0].startsWith(QStringLiteral("Esecuzione fallita. Controllare lo script SQL\r\n (")));
    EXPECT_TRUE(msg().texts()[0].contains(QStringLiteral("NESSUNO")));
}

TEST_F(Finestre, StoredSqlWizardWhileBrowsingPutsTheRowInEditing)
{
    TStoSQL w(m_context.get());
    w.ButtonNuovoClick();
    w.ButtonMemorizzaClick();
    w.ApriWizard(GruppoWizard::Delete);
    EXPECT_TRUE(w.PanelWizard->isEnabled());
    const auto scelte = w.GroupWizard->findChildren<QAbstractButton *>();
    ASSERT_EQ(scelte.size(), 3);
    scelte[1]->setChecked(true);
    w.ButtonAvantiClick();
    EXPECT_FALSE(w.PanelWizard->isEnabled());
    EXPECT_TRUE(w.inModifica());
    EXPECT_EQ(w.MemoSQL->toPlainText(), QStringLiteral("DELETE FROM CLIENTI\nWHERE <Condizione>"));
    w.ButtonMemorizzaClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT CAST(SQL AS VARCHAR(100)) FROM STOSQL")),
              QStringList{QStringLiteral("DELETE FROM CLIENTI\rWHERE <Condizione>")});
}

TEST_F(Finestre, StoredSqlClosingWhileEditingIsRefused)
{
    TStoSQL w(m_context.get());
    w.ButtonNuovoClick();
    w.close();
    EXPECT_EQ(msg().texts(),
              QStringList{QStringLiteral("Si prega di salvare o annullare le modifiche prima di chiudere la finestra")});
    msg().queueAnswer(platform::Answer::Yes);
    w.ButtonAnnullaClick();
    EXPECT_FALSE(w.inModifica());
    EXPECT_EQ(w.righe(), 0);
    w.ButtonEliminaClick();
    EXPECT_EQ(msg().texts().last(), QStringLiteral("Non ci sono record da cancellare!"));
}

TEST_F(Finestre, StoredSqlAsksTheParametersBindsThemAndRemembersThem)
{
    TStoSQL w(m_context.get());
    w.ButtonNuovoClick();
    w.MemoSQL->setPlainText(QStringLiteral("SELECT * FROM CLIENTI WHERE NOME = :NOME AND CODICE > :DA"));
    w.ButtonMemorizzaClick();
    QString titolo;
    test::whenShown<TParametriSQLForm>([&](TParametriSQLForm *d) {
        titolo = d->windowTitle();
        ASSERT_EQ(d->EditParametri.size(), 2u);
        d->EditParametri[0]->setText(QStringLiteral("O'NEIL"));
        d->EditParametri[1]->setText(QStringLiteral("dieci"));
        d->ButtonOkClick(); // refused: stays open
        d->EditParametri[1]->setText(QStringLiteral("0"));
        d->ButtonOkClick();
    });
    w.ButtonEseguiClick();
    EXPECT_EQ(titolo, QStringLiteral("Parametri della query - Ditta: DEMO"));
    EXPECT_EQ(msg().texts(), QStringList{QStringLiteral("Valore non valido per il parametro DA: \"dieci\"")});
    ASSERT_EQ(m_mostrate.size(), 1);
    ASSERT_EQ(m_parametriMostrati.size(), 2u);
    EXPECT_EQ(m_parametriMostrati[0].first, QStringLiteral("NOME"));
    EXPECT_EQ(db::toText(m_parametriMostrati[0].second), QStringLiteral("O'NEIL"));
    EXPECT_EQ(db::toText(m_parametriMostrati[1].second), QStringLiteral("0"));

    // Given up: nothing runs; the lines come back with the last values.
    QString ricordato;
    test::whenShown<TParametriSQLForm>([&](TParametriSQLForm *d) {
        ricordato = d->EditParametri[0]->text();
        d->ButtonAnnulla->click();
    });
    w.ButtonEseguiClick();
    EXPECT_EQ(ricordato, QStringLiteral("O'NEIL"));
    EXPECT_EQ(m_mostrate.size(), 1);

    // A command takes them too, instead of nulls.
    w.ButtonNuovoClick();
    w.MemoSQL->setPlainText(QStringLiteral("UPDATE CLIENTI SET PUNTI = :PUNTI WHERE CODICE = :CODICE"));
    w.ButtonMemorizzaClick();
    test::whenShown<TParametriSQLForm>([](TParametriSQLForm *d) {
        d->EditParametri[0]->setText(QStringLiteral("7"));
        d->EditParametri[1]->setText(QStringLiteral("2"));
        d->ButtonOkClick();
    });
    w.ButtonEseguiClick();
    EXPECT_EQ(msg().texts().last(), QStringLiteral("Script SQL eseguito correttamente"));
    EXPECT_EQ(valori(QStringLiteral("SELECT CODICE || ':' || PUNTI FROM CLIENTI WHERE PUNTI IS NOT NULL")),
              QStringList{QStringLiteral("2:7")});
}

TEST_F(Finestre, ResultWindowShowsAndCopiesAQueryWithParameters)
{
    TSelectRisForm ris(m_context.get(), QStringLiteral("SELECT CODICE, NOME FROM CLIENTI WHERE NOME = :NOME OR CODICE = :C"),
                       nullptr, {{QStringLiteral("NOME"), db::FieldValue(QStringLiteral("O'NEIL"))},
                                 {QStringLiteral("C"), db::Value(qint64(1))}});
    ris.apri();
    ris.GridRisultato->modello()->fetchAll();
    EXPECT_EQ(ris.GridRisultato->modello()->rowCount(), 2);
    int aperte = 0;
    const TSelectRisForm::ApriQuery vecchia = TSelectRisForm::setApriQuery([&](TSelectRisForm &) { ++aperte; });
    ris.ButtonElaboraClick();
    TSelectRisForm::setApriQuery(vecchia);
    EXPECT_EQ(aperte, 1);
    EXPECT_TRUE(msg().texts().isEmpty()) << msg().texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(valori(QStringLiteral("SELECT NOME FROM TMP222 ORDER BY CODICE")),
              (QStringList{QStringLiteral("ROSSI"), QStringLiteral("O'NEIL")}));
}

TEST_F(Finestre, EditorEditsACellByKeyAndNumbersAColumn)
{
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    QCoreApplication::processEvents(); // the count follows the first screen
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record presenti tabella CLIENTI : 3    "));
    ASSERT_EQ(w.modello()->rowCount(), 3);
    EXPECT_EQ(w.PopupMenu->actions().size(), 1);
    EXPECT_EQ(w.PopupMenu->actions()[0]->text(), QStringLiteral("Edita campo NOTE"));
    EXPECT_TRUE(w.modello()->setData(w.modello()->index(1, 1), QStringLiteral("VERDI"), Qt::EditRole));
    EXPECT_EQ(valori(QStringLiteral("SELECT NOME FROM CLIENTI ORDER BY CODICE")),
              (QStringList{QStringLiteral("ROSSI"), QStringLiteral("VERDI"), QStringLiteral("O'NEIL")}));
    // A value that does not convert stays on screen with the reason.
    EXPECT_FALSE(w.modello()->setData(w.modello()->index(0, 2), QStringLiteral("dieci"), Qt::EditRole));
    EXPECT_EQ(w.modello()->data(w.modello()->index(0, 2)).toString(), QStringLiteral("dieci"));
    EXPECT_TRUE(msg().texts().last().startsWith(QStringLiteral("Valore non valido per il campo PUNTI")));

    m_services.messages().clear();
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 2));
    test::whenShown<TGenProForm>([](TGenProForm *d) {
        d->EditProgressivo->setText(QStringLiteral("100"));
        d->ButtonOkClick();
    });
    w.Generaprogressivo1Click();
    EXPECT_EQ(valori(QStringLiteral("SELECT PUNTI FROM CLIENTI ORDER BY CODICE")),
              (QStringList{QStringLiteral("100"), QStringLiteral("101"), QStringLiteral("102")}));
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record filtrati: 3"));
}

TEST_F(Finestre, EditorF3AndF5OnTheSelectedColumn)
{
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 1));
    msg().queueInput(QStringLiteral("12"));
    w.ButtonF3RipetiClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT DISTINCT NOME FROM CLIENTI")), QStringList{QStringLiteral("12")});
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 1));
    msg().queueInput(QStringLiteral("5; DROP TABLE CLIENTI"));
    w.BottonF5ZeriClick();
    EXPECT_TRUE(msg().texts().last().startsWith(QStringLiteral("Numero di zeri non valido")));
    msg().queueInput(QStringLiteral("5"));
    w.BottonF5ZeriClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT DISTINCT NOME FROM CLIENTI")), QStringList{QStringLiteral("00012")});
    EXPECT_EQ(w.modello()->data(w.modello()->index(0, 1)).toString(), QStringLiteral("00012"));
}

TEST_F(Finestre, EditorFilterFromTheQueryWindowLimitsTheGridAndTheBulkChanges)
{
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    {
        qbe::TIBLQueryForm finestra(&w, 1, m_context->database(), m_context->transaction(), QStringLiteral("DEMO"),
                                    m_dir.path(), m_dir.path(), QStringLiteral("CLIENTI"));
        const int riga = finestra.tabIntTmp().indexOfNome(QStringLiteral("NOME"));
        ASSERT_GE(riga, 0);
        finestra.tabIntTmp().setCondizione(riga, QStringLiteral("ROSSI"));
        w.ButtonRitornaClick(finestra);
    }
    ASSERT_EQ(w.righeFiltro().size() > 0, true);
    EXPECT_TRUE(TabellaEditor::filtrato(w.statementGriglia())) << w.statementGriglia().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(w.modello()->rowCount(), 1);
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 2));
    msg().queueInput(QStringLiteral("9"));
    w.ButtonF3RipetiClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT COALESCE(PUNTI, 0) FROM CLIENTI ORDER BY CODICE")),
              (QStringList{QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("0")}));
    w.AnnullaFiltro();
    EXPECT_TRUE(w.righeFiltro().empty());
    EXPECT_EQ(w.modello()->rowCount(), 3);
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record presenti tabella CLIENTI : 3    "));
}

TEST_F(Finestre, EditorWithoutNotNullColumnsWarnsAndStaysReadOnly)
{
    exec(QStringLiteral("CREATE TABLE LIBERA (A VARCHAR(5))"));
    exec(QStringLiteral("INSERT INTO LIBERA VALUES ('x')"));
    m_tabellaScelta = QStringLiteral("libera");
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    EXPECT_EQ(msg().texts(), QStringList{QStringLiteral("Attenzione: data l'assenza della chiave primaria, non sarà "
                                                        "possibile modificare i dati sulla griglia")});
    EXPECT_EQ(w.modello()->rowCount(), 1);
    EXPECT_FALSE(w.modello()->flags(w.modello()->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(Finestre, EditorOnATableWithoutPrimaryKeyHidesTheDbKeyAndEditsOneRow)
{
    exec(QStringLiteral("CREATE TABLE DOPPI (A VARCHAR(5) NOT NULL, B INTEGER)"));
    exec(QStringLiteral("INSERT INTO DOPPI VALUES ('x', 1)"));
    exec(QStringLiteral("INSERT INTO DOPPI VALUES ('x', 1)"));
    m_tabellaScelta = QStringLiteral("DOPPI");
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    ASSERT_EQ(w.modello()->columnCount(), 3);
    EXPECT_TRUE(w.DBGrid1->isColumnHidden(0));
    EXPECT_FALSE(w.DBGrid1->isColumnHidden(1));
    // Two identical rows: only the one edited changes.
    EXPECT_TRUE(w.modello()->setData(w.modello()->index(1, 2), QStringLiteral("2"), Qt::EditRole));
    EXPECT_EQ(valori(QStringLiteral("SELECT B FROM DOPPI ORDER BY B")), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

// ---- rows added and deleted in the editor's grid -------------------------------

class RigheEditor : public Finestre
{
protected:
    void tasto(TFormEdTab &w, int key, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        QKeyEvent ev(QEvent::KeyPress, key, mod);
        QCoreApplication::sendEvent(w.DBGrid1, &ev);
    }
    void scrivi(TFormEdTab &w, int riga, int colonna, const QString &testo)
    {
        w.modello()->setData(w.modello()->index(riga, colonna), testo, Qt::EditRole);
    }
    // Leaves the current row for `riga`, as the user does with the mouse.
    void vaiA(TFormEdTab &w, int riga)
    {
        w.DBGrid1->setCurrentIndex(w.modello()->index(riga, 1));
        QCoreApplication::processEvents();
    }
    QString segno(TFormEdTab &w, int riga) { return w.modello()->headerData(riga, Qt::Vertical).toString(); }
    void apri(TFormEdTab &w)
    {
        w.ButtonSelezioneClick();
        QCoreApplication::processEvents(); // the count follows the first screen
        w.DBGrid1->setCurrentIndex(w.modello()->index(1, 1));
    }
};

TEST_F(RigheEditor, ANewRowIsInsertedWhenLeftAndCounted)
{
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    tasto(w, Qt::Key_Insert);
    ASSERT_EQ(w.modello()->rowCount(), 4);
    EXPECT_EQ(w.DBGrid1->currentIndex().row(), 1) << "the new row comes before the current one";
    EXPECT_EQ(w.DBGrid1->currentIndex().column(), 0) << "and is typed from its first column";
    EXPECT_EQ(segno(w, 1), QStringLiteral("*"));
    scrivi(w, 1, 0, QStringLiteral("10"));
    scrivi(w, 1, 1, QStringLiteral("D'ANGELO"));
    // Nothing reaches the table while the row is being typed.
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), QStringList{QStringLiteral("3")});
    vaiA(w, 0);
    EXPECT_TRUE(msg().texts().isEmpty()) << msg().texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(valori(QStringLiteral("SELECT NOME || '|' || COALESCE(PUNTI, -1) FROM CLIENTI WHERE CODICE = 10")),
              QStringList{QStringLiteral("D'ANGELO|-1")});
    EXPECT_EQ(segno(w, 1), QString());
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record presenti tabella CLIENTI : 4    "));
    // Saved, it is a row like the others: a cell is posted at once.
    scrivi(w, 1, 2, QStringLiteral("7"));
    EXPECT_EQ(valori(QStringLiteral("SELECT PUNTI FROM CLIENTI WHERE CODICE = 10")), QStringList{QStringLiteral("7")});
}

TEST_F(RigheEditor, ARefusedNewRowStaysWithWhatWasTypedUntilCorrected)
{
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    tasto(w, Qt::Key_Insert);
    scrivi(w, 1, 1, QStringLiteral("SENZA CODICE"));
    vaiA(w, 3);
    ASSERT_EQ(msg().texts().size(), 1);
    EXPECT_TRUE(msg().texts()[0].startsWith(QStringLiteral("Inserimento della riga non riuscito\r")));
    EXPECT_TRUE(msg().texts()[0].contains(QStringLiteral("CODICE"))) << "the server's reason: " << msg().texts()[0].toStdString();
    EXPECT_EQ(w.DBGrid1->currentIndex().row(), 1) << "back on the refused row";
    EXPECT_EQ(segno(w, 1), QStringLiteral("*"));
    EXPECT_EQ(w.modello()->data(w.modello()->index(1, 1)).toString(), QStringLiteral("SENZA CODICE"));
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), QStringList{QStringLiteral("3")});
    // The same key as another row: refused again, still kept.
    scrivi(w, 1, 0, QStringLiteral("2"));
    vaiA(w, 3);
    ASSERT_EQ(msg().texts().size(), 2);
    EXPECT_TRUE(msg().texts()[1].startsWith(QStringLiteral("Inserimento della riga non riuscito\r")));
    EXPECT_EQ(w.modello()->data(w.modello()->index(1, 1)).toString(), QStringLiteral("SENZA CODICE"));
    scrivi(w, 1, 0, QStringLiteral("20"));
    vaiA(w, 3);
    EXPECT_EQ(msg().texts().size(), 2);
    EXPECT_EQ(valori(QStringLiteral("SELECT NOME FROM CLIENTI WHERE CODICE = 20")), QStringList{QStringLiteral("SENZA CODICE")});
}

TEST_F(RigheEditor, AnUntouchedNewRowAndEscLeaveNothing)
{
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    tasto(w, Qt::Key_Insert);
    vaiA(w, 3);
    EXPECT_EQ(w.modello()->rowCount(), 3);
    w.DBGrid1->setCurrentIndex(w.modello()->index(2, 1));
    tasto(w, Qt::Key_Down); // past the last row: a new row at the end
    ASSERT_EQ(w.modello()->rowCount(), 4);
    EXPECT_EQ(w.DBGrid1->currentIndex().row(), 3);
    tasto(w, Qt::Key_Down); // an empty new row is not followed by another
    EXPECT_EQ(w.modello()->rowCount(), 4);
    scrivi(w, 3, 1, QStringLiteral("VIA"));
    tasto(w, Qt::Key_Escape);
    EXPECT_EQ(w.modello()->rowCount(), 3);
    EXPECT_TRUE(msg().texts().isEmpty());
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), QStringList{QStringLiteral("3")});
}

TEST_F(RigheEditor, DeletingAsksAndARefusalKeepsTheRow)
{
    exec(QStringLiteral("CREATE EXCEPTION E_PROTETTO 'Cliente protetto'"));
    exec(QStringLiteral("CREATE TRIGGER T_PROTETTO FOR CLIENTI BEFORE DELETE AS BEGIN "
                        "IF (OLD.CODICE = 1) THEN EXCEPTION E_PROTETTO; END"));
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    msg().queueAnswer(platform::Answer::No);
    tasto(w, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(msg().texts(), QStringList{QStringLiteral("Cancellare la riga selezionata?")});
    EXPECT_EQ(w.modello()->rowCount(), 3);
    msg().queueAnswer(platform::Answer::Yes);
    tasto(w, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w.modello()->rowCount(), 2);
    EXPECT_EQ(valori(QStringLiteral("SELECT CODICE FROM CLIENTI ORDER BY CODICE")),
              (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record presenti tabella CLIENTI : 2    "));
    EXPECT_EQ(w.modello()->data(w.modello()->index(1, 1)).toString(), QStringLiteral("O'NEIL"));
    EXPECT_EQ(w.DBGrid1->currentIndex().row(), 1) << "on the row that took the deleted one's place";

    msg().clear();
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 1));
    msg().queueAnswer(platform::Answer::Yes);
    EXPECT_FALSE(w.CancellaRiga());
    ASSERT_EQ(msg().texts().size(), 2);
    EXPECT_TRUE(msg().texts()[1].startsWith(QStringLiteral("Cancellazione della riga non riuscita\r")));
    EXPECT_TRUE(msg().texts()[1].contains(QStringLiteral("Cliente protetto")));
    EXPECT_EQ(w.modello()->rowCount(), 2);
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), QStringList{QStringLiteral("2")});
}

TEST_F(RigheEditor, WithoutPrimaryKeyTheNewRowIsDeletedByItsDbKey)
{
    exec(QStringLiteral("CREATE TABLE DOPPI (A VARCHAR(5) NOT NULL, B INTEGER DEFAULT 5)"));
    exec(QStringLiteral("INSERT INTO DOPPI VALUES ('x', 1)"));
    m_tabellaScelta = QStringLiteral("DOPPI");
    TFormEdTab w(m_context.get(), 1);
    w.ButtonSelezioneClick();
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, 1));
    const int riga = w.AggiungiRiga();
    ASSERT_EQ(riga, 1);
    scrivi(w, riga, 1, QStringLiteral("x"));
    scrivi(w, riga, 2, QStringLiteral("9"));
    scrivi(w, riga, 2, QString()); // typed, then emptied again
    ASSERT_TRUE(w.salvaRigheNuove());
    // The column left empty took the table's default, and the grid shows it.
    EXPECT_EQ(w.modello()->data(w.modello()->index(riga, 2)).toString(), QStringLiteral("5"));
    scrivi(w, riga, 2, QStringLiteral("1")); // now both rows are alike
    EXPECT_EQ(valori(QStringLiteral("SELECT A || B FROM DOPPI")), (QStringList{QStringLiteral("x1"), QStringLiteral("x1")}));
    w.DBGrid1->setCurrentIndex(w.modello()->index(riga, 1));
    msg().queueAnswer(platform::Answer::Yes);
    EXPECT_TRUE(w.CancellaRiga());
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM DOPPI")), QStringList{QStringLiteral("1")});
}

TEST_F(RigheEditor, UnsavedRowsAreSavedBeforeTheGridReloadsOrTheWindowCloses)
{
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    // A new row typed and not left: the filter's reload would lose it.
    w.AggiungiRiga();
    scrivi(w, 3, 0, QStringLiteral("30"));
    w.AnnullaFiltro();
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE CODICE = 30")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(w.modello()->rowCount(), 4);

    // One the server refuses stops the reload and, on closing, asks.
    w.AggiungiRiga();
    scrivi(w, 4, 1, QStringLiteral("SENZA CODICE"));
    w.AnnullaFiltro();
    ASSERT_EQ(msg().texts().size(), 1);
    EXPECT_TRUE(msg().texts()[0].startsWith(QStringLiteral("Inserimento della riga non riuscito\r")));
    EXPECT_EQ(w.modello()->rowCount(), 5);
    msg().queueAnswer(platform::Answer::No);
    EXPECT_FALSE(w.puoChiudere());
    EXPECT_EQ(msg().texts().last(), QStringLiteral("Ci sono modifiche non salvate che andranno perse. Chiudere comunque?"));
    EXPECT_EQ(w.modello()->data(w.modello()->index(4, 1)).toString(), QStringLiteral("SENZA CODICE"));
    msg().queueAnswer(platform::Answer::Yes);
    EXPECT_TRUE(w.puoChiudere());

    // Closed by the title bar: asked once, and No keeps it open.
    w.show();
    msg().clear();
    msg().queueAnswer(platform::Answer::No);
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(msg().texts().count(QStringLiteral("Ci sono modifiche non salvate che andranno perse. Chiudere comunque?")), 1);
    msg().queueAnswer(platform::Answer::Yes);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(msg().texts().count(QStringLiteral("Ci sono modifiche non salvate che andranno perse. Chiudere comunque?")), 2);
}

// Every action that reads the grid again, with a value the server refused
// on a stored row still on screen: asked first, No keeps the value and
// skips the action, Yes drops the value and the action takes place.
constexpr auto *kDomandaRicarica = "Ci sono modifiche non salvate che andranno perse. Continuare?";

struct AzioneRicarica
{
    const char *nome;
    int colonna;                                    // the grid column chosen before the action
    std::function<QTimer *(platform::ScriptedMessages &)> avanti; // what it asks when it goes ahead
    std::function<void(TFormEdTab &)> esegui;
    const char *controllo;                          // what the action changes in the table
    std::vector<const char *> dopo;                 // ... once it took place
    bool ricarica = true;                           // false: its window is closed before anything is read again
};

enum class Situazione { RifiutoTenuto, RifiutoScartato, NienteRifiutato };

void PrintTo(const AzioneRicarica &a, std::ostream *os)
{
    *os << a.nome;
}

QTimer *nulla(platform::ScriptedMessages &)
{
    return nullptr;
}

template<typename T>
QTimer *chiudi(platform::ScriptedMessages &)
{
    return test::whenShown<T>([](T *d) { d->close(); });
}

const AzioneRicarica kAzioniRicarica[] = {
    {"AnnullaFiltro", 1, nulla, [](TFormEdTab &w) { w.AnnullaFiltro(); }, "SELECT COUNT(*) FROM CLIENTI", {"3"}},
    {"SelezioneTabella", 1, nulla, [](TFormEdTab &w) { w.ButtonSelezioneClick(); }, "SELECT COUNT(*) FROM CLIENTI",
     {"3"}},
    {"F3Ripeti", 1,
     [](platform::ScriptedMessages &m) {
         m.queueInput(QStringLiteral("TUTTI"));
         return nullptr;
     },
     [](TFormEdTab &w) { w.ButtonF3RipetiClick(); }, "SELECT NOME FROM CLIENTI ORDER BY CODICE",
     {"TUTTI", "TUTTI", "TUTTI"}},
    {"F5Zeri", 1,
     [](platform::ScriptedMessages &m) {
         m.queueInput(QStringLiteral("8"));
         return nullptr;
     },
     [](TFormEdTab &w) { w.BottonF5ZeriClick(); }, "SELECT NOME FROM CLIENTI ORDER BY CODICE",
     {"000ROSSI", "0BIANCHI", "00O'NEIL"}},
    {"AzzeraTabella", 1,
     [](platform::ScriptedMessages &m) {
         m.queueAnswer(platform::Answer::Ok);
         return nullptr;
     },
     [](TFormEdTab &w) { w.AzzeraTabella1Click(); }, "SELECT COUNT(*) FROM CLIENTI", {"0"}},
    {"GeneraProgressivo", 2,
     [](platform::ScriptedMessages &) {
         return test::whenShown<TGenProForm>([](TGenProForm *d) {
             d->EditProgressivo->setText(QStringLiteral("100"));
             d->ButtonOkClick();
         });
     },
     [](TFormEdTab &w) { w.Generaprogressivo1Click(); }, "SELECT PUNTI FROM CLIENTI ORDER BY CODICE",
     {"100", "101", "102"}},
    {"Import", 1, chiudi<TEdTabIBImportForm>, [](TFormEdTab &w) { w.ButtonImportClick(); },
     "SELECT COUNT(*) FROM CLIENTI", {"3"}, false},
    {"Azioni", 1, chiudi<TAzioniForm>, [](TFormEdTab &w) { w.Azioni1Click(); }, "SELECT COUNT(*) FROM CLIENTI", {"3"}},
    {"SostituzioneAccenti", 1, chiudi<TSostApForm>, [](TFormEdTab &w) { w.SostituzioneAccenti1Click(); },
     "SELECT COUNT(*) FROM CLIENTI", {"3"}},
    {"Filtro", 1, chiudi<qbe::TIBLQueryForm>, [](TFormEdTab &w) { w.ButtonFiltroClick(); },
     "SELECT COUNT(*) FROM CLIENTI", {"3"}, false},
};

class RicaricaConRifiuti : public RigheEditor,
                           public ::testing::WithParamInterface<std::tuple<AzioneRicarica, Situazione>>
{
};

TEST_P(RicaricaConRifiuti, askBeforeDroppingWhatTheServerRefused)
{
    const auto &[azione, situazione] = GetParam();
    exec(QStringLiteral("ALTER TABLE CLIENTI ADD CONSTRAINT PUNTI_POSITIVI CHECK (PUNTI IS NULL OR PUNTI >= 0)"));
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    const QStringList prima = valori(QString::fromUtf8(azione.controllo));
    if (situazione != Situazione::NienteRifiutato) {
        scrivi(w, 1, 2, QStringLiteral("-5"));
        ASSERT_EQ(msg().texts().size(), 1) << "the server's refusal is shown";
        EXPECT_TRUE(msg().texts()[0].contains(QStringLiteral("PUNTI_POSITIVI"))) << msg().texts()[0].toStdString();
        ASSERT_EQ(w.modello()->data(w.modello()->index(1, 2)).toString(), QStringLiteral("-5"));
        msg().clear();
    }
    const bool avanti = situazione != Situazione::RifiutoTenuto;
    if (situazione != Situazione::NienteRifiutato)
        msg().queueAnswer(avanti ? platform::Answer::Yes : platform::Answer::No);
    // Kept: no dialog of the action may open (one that did is closed, so
    // that the test fails instead of waiting for it).
    bool apertoDialogo = false;
    const QPointer<QTimer> dialogo = avanti ? azione.avanti(msg()) : test::whenShown<QDialog>([&apertoDialogo](QDialog *d) {
        apertoDialogo = true;
        d->close();
    });
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, azione.colonna));
    azione.esegui(w);
    delete dialogo.data(); // a dialog not shown leaves its timer behind
    EXPECT_FALSE(apertoDialogo) << "the action went ahead";

    const QStringList domande = msg().texts().filter(QString::fromUtf8(kDomandaRicarica));
    EXPECT_EQ(domande.size(), situazione == Situazione::NienteRifiutato ? 0 : 1) << msg().texts().join('|').toStdString();
    if (!msg().texts().isEmpty() && situazione != Situazione::NienteRifiutato)
        EXPECT_EQ(msg().texts()[0], QString::fromUtf8(kDomandaRicarica)) << "asked before anything else";
    QStringList dopo;
    for (const char *v : azione.dopo)
        dopo << QString::fromUtf8(v);
    if (avanti) {
        EXPECT_EQ(valori(QString::fromUtf8(azione.controllo)), dopo);
        if (azione.ricarica && w.modello()->rowCount() > 1)
            EXPECT_NE(w.modello()->data(w.modello()->index(1, 2)).toString(), QStringLiteral("-5"));
    } else {
        EXPECT_EQ(valori(QString::fromUtf8(azione.controllo)), prima);
        EXPECT_EQ(w.modello()->data(w.modello()->index(1, 2)).toString(), QStringLiteral("-5")) << "what was typed stays";
        EXPECT_TRUE(w.modello()->haModificheNonSalvate());
    }
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE PUNTI < 0")), QStringList{QStringLiteral("0")});
}

std::string nomeRicarica(const ::testing::TestParamInfo<std::tuple<AzioneRicarica, Situazione>> &info)
{
    static const char *const situazioni[] = {"tenuto", "scartato", "nienteRifiutato"};
    return std::string(std::get<0>(info.param).nome) + "_" + situazioni[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Azioni, RicaricaConRifiuti,
                         ::testing::Combine(::testing::ValuesIn(kAzioniRicarica),
                                            ::testing::Values(Situazione::RifiutoTenuto, Situazione::RifiutoScartato,
                                                              Situazione::NienteRifiutato)),
                         nomeRicarica);

// The widths the user gave the columns survive every action that reads the
// grid again.
class RicaricaLarghezze : public RigheEditor, public ::testing::WithParamInterface<AzioneRicarica>
{
};

TEST_P(RicaricaLarghezze, keepTheColumnWidths)
{
    const AzioneRicarica &azione = GetParam();
    TFormEdTab w(m_context.get(), 1);
    apri(w);
    w.DBGrid1->setColumnWidth(1, 237);
    w.DBGrid1->setColumnWidth(2, 61);
    const QPointer<QTimer> dialogo = azione.avanti(msg());
    w.DBGrid1->setCurrentIndex(w.modello()->index(0, azione.colonna));
    azione.esegui(w);
    delete dialogo.data();
    QCoreApplication::processEvents();
    ASSERT_GE(w.modello()->columnCount(), 3);
    EXPECT_EQ(w.DBGrid1->columnWidth(1), 237);
    EXPECT_EQ(w.DBGrid1->columnWidth(2), 61);
}

// Choosing a table measures its columns anew.
std::vector<AzioneRicarica> azioniSullaStessaTabella()
{
    std::vector<AzioneRicarica> v;
    for (const AzioneRicarica &a : kAzioniRicarica)
        if (std::string_view(a.nome) != "SelezioneTabella")
            v.push_back(a);
    return v;
}

INSTANTIATE_TEST_SUITE_P(Azioni, RicaricaLarghezze, ::testing::ValuesIn(azioniSullaStessaTabella()),
                         [](const ::testing::TestParamInfo<AzioneRicarica> &info) {
                             return std::string(info.param.nome);
                         });

TEST_F(Finestre, WorkTableFromAFileIsCreatedAndFilledThroughTheImportWindow)
{
    const QString file = m_dir.file(QStringLiteral("listino prezzi.csv"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("*A10_CODICE;A30_DESCRIZIONE;N2_PREZZO\r\nV1;Vite;0,25\r\nB1;Bullone;x\r\n");
    }
    TEdTabIBListTabForm lista(m_context.get());
    m_services.fileDialogs().queueFile(file);
    lista.ButtonImportTmpClick();
    EXPECT_EQ(lista.tabellaScelta(), QStringLiteral("TMP_LISTINOPREZZI"));
    EXPECT_EQ(lista.fileImport(), file);

    m_tabellaScelta = lista.tabellaScelta();
    m_fileScelto = file;
    TFormEdTab w(m_context.get(), 1);
    test::whenShown<TEdTabIBImportForm>([](TEdTabIBImportForm *d) {
        EXPECT_FALSE(d->ButtonFile->isEnabled());
        EXPECT_FALSE(d->CheckSaltaPrimaRiga->isEnabled());
        d->ButtonImportaClick();
        d->ButtonChiudi->click();
    });
    w.ButtonSelezioneClick();
    EXPECT_EQ(valori(QStringLiteral("SELECT CODICE || ':' || COALESCE(CAST(PREZZO AS VARCHAR(20)), 'null') FROM "
                                    "TMP_LISTINOPREZZI ORDER BY CODICE")),
              (QStringList{QStringLiteral("B1:null"), QStringLiteral("V1:0.25")}));
    EXPECT_TRUE(msg().texts().contains(QStringLiteral("Importazione effettuata")));
    EXPECT_EQ(w.Panel2->text(), QStringLiteral("Record presenti tabella TMP_LISTINOPREZZI : 2    "));
}

// The end of an import says how it went: rows the server refused are
// counted, so that a run that stored nothing is not taken for a success.
struct EsitoImport
{
    const char *nome;
    const char *dati;      // the file, after its heading line
    platform::MessageKind tipo;
    const char *messaggio; // the last box shown
    const char *conteggio; // rows of CLIENTI afterwards
};

class ImportEsito : public Finestre, public ::testing::WithParamInterface<EsitoImport>
{
};

TEST_P(ImportEsito, tellsHowManyRowsWereRefused)
{
    const EsitoImport &c = GetParam();
    const QString file = m_dir.file(QStringLiteral("clienti.csv"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("CODICE;NOME;PUNTI\r\n") + c.dati);
    }
    TEdTabIBImportForm w(m_context.get(), QStringLiteral("CLIENTI"));
    w.EditFile->setText(file);
    msg().queueAnswer(platform::Answer::Yes);
    w.ButtonImportaClick();
    const QList<platform::RecordedMessage> m = msg().messages();
    ASSERT_FALSE(m.isEmpty());
    EXPECT_EQ(m.last().kind, c.tipo);
    EXPECT_EQ(m.last().text, QString::fromUtf8(c.messaggio));
    EXPECT_EQ(valori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), QStringList{QString::fromUtf8(c.conteggio)});
}

INSTANTIATE_TEST_SUITE_P(Casi, ImportEsito, ::testing::Values(
    EsitoImport{"tutte", "4;VERDI;1\r\n5;NERI;2\r\n", platform::Information, "Importazione effettuata", "5"},
    EsitoImport{"una_rifiutata", "4;VERDI;1\r\n1;DOPPIO;2\r\n", platform::Warning,
                "Importazione effettuata\rRighe importate: 1\rRighe non importate: 1 (vedere il riepilogo)", "4"},
    EsitoImport{"nessuna", "1;DOPPIO;1\r\n2;ANCHE;2\r\n", platform::Warning,
                "Importazione effettuata\rRighe importate: 0\rRighe non importate: 2 (vedere il riepilogo)", "3"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Finestre, ActionsAddCheckSaveAndLoad)
{
    TabellaEditor t(m_context->transaction(), QStringLiteral("CLIENTI"));
    TAzioniForm w(t, t.statementGriglia(), {QStringLiteral("CODICE"), QStringLiteral("NOME")});
    w.ButtonAggiungiClick(); // code 0 without a column
    EXPECT_EQ(msg().texts(), QStringList{QStringLiteral("Specificare un valore per Campo1")});
    w.ComboCampo1->setCurrentText(QStringLiteral("NOME"));
    w.ButtonAggiungiClick();
    w.RadioAzioni->button(5)->setChecked(true);
    w.EditVal1->setText(QStringLiteral("'"));
    w.EditVal2->setText(QStringLiteral("´"));
    w.ButtonAggiungiClick();
    ASSERT_EQ(w.sequenza().size(), 2u);
    EXPECT_EQ(w.GridRiepil->rowCount(), 2);
    const QString file = m_dir.file(QStringLiteral("azioni"));
    m_services.fileDialogs().queueFile(file);
    w.ButtonSalvaClick();
    EXPECT_TRUE(QFile::exists(file + QStringLiteral(".TXT")));
    m_services.fileDialogs().queueFile(file + QStringLiteral(".TXT"));
    w.ButtonCaricaClick();
    EXPECT_EQ(w.sequenza().size(), 2u);
    msg().queueAnswer(platform::Answer::Yes);
    w.ButtonEseguiClick();
    EXPECT_EQ(msg().texts().last(), QStringLiteral("Elaborazione completata"));
    EXPECT_EQ(valori(QStringLiteral("SELECT NOME FROM CLIENTI WHERE CODICE = 3")), QStringList{QStringLiteral("O´NEIL")});
}

} // namespace
