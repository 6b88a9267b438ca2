// The three maintenance windows, offscreen, with scripted answers.

#include "WindowFixture.h"
#include "maintenance/SincroDB.h"
#include "maintenance/StoreTables.h"
#include "maintenance/ui/TAggFDBFDBForm.h"
#include "maintenance/ui/TAggSincroDBFastForm.h"
#include "maintenance/ui/TCancellaTabelleTmpForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;
using platform::Answer;

namespace {

TEST_F(WindowTest, updateScriptIsWrittenSavedCheckedAndRun)
{
    exec("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60))");
    exec("INSERT INTO CLIENTI VALUES (1, 'L''Orefice')");
    exec("INSERT INTO CLIENTI VALUES (2, 'Rossi')");
    execOn(m_dest, "CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, RAGIONESOCIALE VARCHAR(60))");
    execOn(m_dest, "INSERT INTO CLIENTI VALUES (2, 'vecchia')");

    {
        TAggFDBFDBForm form(m_context.get(), 1);
        EXPECT_EQ(form.windowTitle(), "Aggiornamenti da FDB a FDB - Ditta: DEMO");
        EXPECT_EQ(count(att(), "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='STOAGGFDBFDB'"), 1);

        form.ButtonMemorizza->click();
        EXPECT_EQ(texts().last(), "Non ci sono modifiche da salvare");

        form.ButtonNuovo->click();
        EXPECT_EQ(form.EditCodice->text(), "1");
        EXPECT_FALSE(form.GridAgg->isEnabled());
        EXPECT_FALSE(form.ButtonChiudi->isEnabled());
        EXPECT_TRUE(form.MemoScript->isEnabled());

        // A blocking problem: the user keeps editing.
        m_services.messages().queueAnswer(Answer::No);
        form.EditArchivioTabellaFDB2->setText(m_destPath);
        form.ButtonMemorizza->click();
        EXPECT_EQ(texts().last(), "Segnalazioni bloccanti:\n\nNon è stato scritto uno script\n\nSalvare comunque le modifiche?");
        EXPECT_TRUE(form.editing());

        form.close();
        EXPECT_EQ(texts().last(), "Si prega di salvare o annullare le modifiche prima di chiudere la finestra");

        form.EditTitolo->setText("Clienti");
        form.EditTabellaFDB1->setText("CLIENTI");
        form.EditTabellaFDB2->setText("CLIENTI");
        form.MemoScript->setPlainText("CODICE=CODICE\nRAGIONESOCIALE=RAGIONESOCIALE\n(AGGIUNGI=SI)\n(AGGIORNA=SI)");
        const int before = int(texts().size());
        form.ButtonMemorizza->click();
        EXPECT_EQ(texts().size(), before); // nothing to ask for a correct script
        EXPECT_FALSE(form.editing());
        EXPECT_EQ(form.GridAgg->rowCount(), 1);
        EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM CLIENTI"), 1); // saving wrote nothing there
        {
            // Every column title is whole (NOMETABELLAFDB1 was cut).
            const QFontMetrics titles(form.GridAgg->horizontalHeader()->font());
            for (int c = 0; c < form.GridAgg->columnCount(); ++c) {
                const QString title = form.GridAgg->horizontalHeaderItem(c)->text();
                EXPECT_GE(form.GridAgg->columnWidth(c), titles.horizontalAdvance(title)) << title.toStdString();
            }
        }

        form.ButtonControllo->click();
        EXPECT_EQ(texts().last(), "Lo script è formalmente corretto");

        form.logModale = false;
        form.ButtonElabora->click();
        EXPECT_TRUE(texts().contains("Eseguire l'elaborazione?"));
        const QString log = form.memo()->Memo->toPlainText();
        EXPECT_TRUE(log.contains("Record aggiornati: 1\nRecord aggiunti: 1\nRecord falliti: 0\nTotale record elaborati: 2"))
            << log.toStdString();
        EXPECT_EQ(form.memo()->windowTitle(), "Note - Ditta: DEMO");
        EXPECT_FALSE(form.memo()->ButtonAnnulla->isEnabled());
    }
    // Closing the window committed what the run wrote.
    EXPECT_EQ(column(m_dest, "SELECT RAGIONESOCIALE FROM CLIENTI ORDER BY CODICE"), (QStringList{"L'Orefice", "Rossi"}));
}

TEST_F(WindowTest, updateScriptListDeleteAndCancel)
{
    TAggFDBFDBForm form(m_context.get(), 1);
    form.ButtonElimina->click();
    EXPECT_EQ(texts().last(), "Non ci sono record da cancellare!");
    form.logModale = false;
    form.ButtonElabora->click();
    EXPECT_EQ(texts().last(), "La tabella è vuota: si prega di inserire almeno un record");

    form.ButtonNuovo->click();
    form.EditTitolo->setText("da annullare");
    form.ButtonAnnulla->click();
    EXPECT_EQ(texts().last(), "Sicuro di voler annullare le modifiche?");
    EXPECT_FALSE(form.editing());
    EXPECT_EQ(form.GridAgg->rowCount(), 0);

    form.ButtonNuovo->click();
    form.EditTitolo->setText("da tenere");
    form.ButtonMemorizza->click(); // blocking problems, saved anyway (Yes)
    EXPECT_EQ(form.GridAgg->rowCount(), 1);
    form.ButtonNuovo->click();
    EXPECT_EQ(form.EditCodice->text(), "2");
    form.ButtonAnnulla->click();

    form.ButtonElimina->click();
    EXPECT_EQ(texts().last(), "Sicuro di voler cancellare il record selezionato?");
    EXPECT_EQ(form.GridAgg->rowCount(), 0);
    EXPECT_EQ(count(att(), "SELECT COUNT(*) FROM STOAGGFDBFDB"), 0);
}

TEST_F(WindowTest, synchronisationIsStoredAndRunLikeTheCommandLine)
{
    const char *ordini = "CREATE TABLE ORDINI (NUMERO INTEGER NOT NULL PRIMARY KEY, DATAORDINE DATE, CLIENTE INTEGER, "
                         "TOTALE NUMERIC(15,2), STATO CHAR(1), NOTE BLOB SUB_TYPE 1)";
    exec(ordini);
    execOn(m_dest, ordini);
    exec("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 300) DO BEGIN INSERT INTO ORDINI VALUES "
         "(:I, DATE '2024-01-01' + :I, MOD(:I, 40), :I * 1.5, 'A', 'ordine ' || :I); I = I + 1; END END");
    execOn(m_dest, "INSERT INTO ORDINI (NUMERO, STATO) VALUES (5, 'X')");

    TAggSincroDBFastForm form(m_context.get(), 1);
    form.setOpener(testOpener());
    EXPECT_EQ(form.windowTitle(), "Sincro database - Ditta: DEMO");
    form.ButtonElabora->click();
    EXPECT_EQ(texts().last(), "Nessuna elaborazione da eseguire");

    form.ButtonNuovo->click();
    EXPECT_EQ(form.EditCodice->text(), "1");
    EXPECT_EQ(form.ComboTipoElab->currentText(), kTipoRecordMancanti);
    EXPECT_TRUE(form.CheckAbilitata->isChecked());
    form.ButtonTabDestinazione->click();
    EXPECT_EQ(texts().last(), "Database destinazione non impostato");
    form.EditTitolo->setText("Ordini");
    form.EditDBOrigine->setText(dbPath());
    form.EditTabOrigine->setText("ORDINI");
    form.EditDBDestinazione->setText(m_destPath);
    form.EditTabDestinazione->setText("ORDINI");
    form.ButtonMemorizza->click();
    EXPECT_FALSE(form.editing());
    EXPECT_EQ(form.GridSto->rowCount(), 1);

    form.ButtonElabora->click();
    EXPECT_EQ(form.ultimoEsito(), EsitoSincro::Completata);
    EXPECT_TRUE(texts().contains("Trovate 1 elaborazioni da eseguire: avviare l'esecuzione?"));
    EXPECT_EQ(texts().last(), "Elaborazione completata");
    EXPECT_TRUE(form.ButtonElabora->isEnabled());
    EXPECT_EQ(count(m_dest, "SELECT COUNT(*) FROM ORDINI"), 300);
    EXPECT_EQ(column(m_dest, "SELECT STATO FROM ORDINI WHERE NUMERO = 5"), QStringList{"X"});

    // The same stored synchronisation, run as `vardof sync` runs it, copies
    // the same rows into a fresh destination.
    const QString dump = "SELECT NUMERO || '|' || COALESCE(DATAORDINE,'') || '|' || COALESCE(TOTALE,'') || '|' || "
                         "COALESCE(NOTE,'') FROM ORDINI ORDER BY NUMERO";
    const QStringList byWindow = column(m_dest, dump);
    execOn(m_dest, "DELETE FROM ORDINI WHERE NUMERO <> 5");
    RecordingReporter r;
    EXPECT_EQ(eseguiSincronizzazioni(att(), tra(), testOpener(), r, &r), EsitoSincro::Completata);
    EXPECT_EQ(column(m_dest, dump), byWindow);
}

// Types as the keyboard does, so the field's own limits apply.
void digita(QLineEdit *edit, const QString &testo)
{
    for (const QChar c : testo) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
    }
}

// A value the server refuses at the save (a path longer than its column):
// the message says what failed before the server's reason, and the row
// stays in edit for the user to correct. A title cannot be typed longer
// than its column in the first place.
TEST_F(WindowTest, aRefusedSaveIsNamedAndTheRowStaysInEdit)
{
    const QString lungo = m_dir.path() + '/' + QString(200, QLatin1Char('x')) + ".fdb";
    const QString titolo(60, QLatin1Char('t'));
    const QString lead = "Errore interno durante il salvataggio delle modifiche:\n";
    {
        TAggFDBFDBForm form(m_context.get(), 1);
        form.ButtonNuovo->click();
        digita(form.EditTitolo, titolo);
        EXPECT_EQ(form.EditTitolo->text(), titolo.left(40));
        form.EditArchivioTabellaFDB2->setText(lungo);
        form.ButtonMemorizza->click(); // blocking problems, saved anyway (Yes)
        EXPECT_TRUE(texts().last().startsWith(lead)) << texts().last().toStdString();
        EXPECT_GT(texts().last().size(), lead.size());
        EXPECT_TRUE(form.editing());
        form.EditArchivioTabellaFDB2->setText(m_destPath);
        form.ButtonMemorizza->click();
        EXPECT_FALSE(form.editing());
        EXPECT_EQ(column(att(), "SELECT TITOLO FROM STOAGGFDBFDB"), QStringList{titolo.left(40)});
    }
    {
        TAggSincroDBFastForm form(m_context.get(), 1);
        form.ButtonNuovo->click();
        digita(form.EditTitolo, titolo);
        EXPECT_EQ(form.EditTitolo->text(), titolo.left(40));
        form.EditDBOrigine->setText(lungo);
        form.ButtonMemorizza->click();
        EXPECT_TRUE(texts().last().startsWith(lead)) << texts().last().toStdString();
        EXPECT_TRUE(form.editing());
    }
}

TEST_F(WindowTest, cleanupCountsDropsAndAnswersWhenIdle)
{
    // Through the window's own connection: a table another attachment has
    // touched is in use there and cannot be dropped.
    for (const char *t : {"TMP_A", "TMP_B", "TMP222"})
        execOn(m_context->database(), QStringLiteral("CREATE TABLE %1 (X INTEGER)").arg(QString::fromLatin1(t)));
    TCancellaTabelleTmpForm form(m_context.get());
    EXPECT_EQ(form.windowTitle(), "Cancellazione tabelle TMP - Ditta: DEMO");
    EXPECT_EQ(form.LabelNumeroTotale->text(), "2");
    form.ButtonFerma->click();
    EXPECT_EQ(texts().last(), "Nessuna elaborazione in corso");

    form.ButtonProcedi->click();
    EXPECT_EQ(texts(), (QStringList{"Nessuna elaborazione in corso", "Avviare l'elaborazione?", "Elaborazione completata"}));
    EXPECT_EQ(form.LabelNumeroTotale->text(), "0");
    EXPECT_TRUE(form.GroupProgresso->isHidden());
    form.ButtonProcedi->click();
    EXPECT_EQ(texts().last(), "Nessuna tabella TMP_ da eliminare");
}

TEST_F(WindowTest, cleanupStopsBetweenTwoTablesAndRefusesToCloseMeanwhile)
{
    for (const char *t : {"TMP_1", "TMP_2", "TMP_3", "TMP_4"})
        execOn(m_context->database(), QStringLiteral("CREATE TABLE %1 (X INTEGER)").arg(QString::fromLatin1(t)));
    TCancellaTabelleTmpForm form(m_context.get());
    form.show();
    // Pressed while the run lets input through before its first table: only
    // the stop button is there to press.
    QTimer::singleShot(0, &form, [&form] {
        form.ButtonChiudi->click();
        form.ButtonProcedi->click();
        form.ButtonFerma->click();
    });
    form.ButtonProcedi->click();
    EXPECT_EQ(texts(), (QStringList{"Avviare l'elaborazione?", "Fermare l'elaborazione in corso?",
                                    "Elaborazione fermata"}));
    EXPECT_EQ(form.LabelNumeroTotale->text(), "4");
    EXPECT_FALSE(form.inElaborazione());
}

} // namespace

namespace {

TEST(TMemoFormTest, interruptAsksAndIsSetOnlyOnYes)
{
    platform::ScopedServices services;
    TMemoForm memo(QStringLiteral("DEMO"));
    memo.preparaElaborazione();
    EXPECT_EQ(memo.ButtonAnnulla->text(), "Interrompi");
    services.messages().queueAnswer(Answer::No);
    memo.ButtonAnnulla->click();
    EXPECT_FALSE(memo.interruzioneRichiesta());
    memo.ButtonAnnulla->click();
    EXPECT_TRUE(memo.interruzioneRichiesta());
    EXPECT_EQ(services.messages().texts(), (QStringList{"Interrompere l'elaborazione?", "Interrompere l'elaborazione?"}));
    memo.preparaElaborazione();
    EXPECT_FALSE(memo.interruzioneRichiesta());
}

} // namespace
