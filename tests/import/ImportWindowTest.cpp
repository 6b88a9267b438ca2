// The import window as a user drives it, on the demo archive: file choice,
// script summary, run, interruption, wizard; and the command line giving
// the same summary for the same file.

#include "ImportTestSupport.h"

#include "db/Statement.h"
#include "db/Value.h"
#include "demo/DemoBuilder.h"
#include "entry/Context.h"
#include "import/ui/TAvanzamentoForm.h"
#include "import/ui/TImportCSVForm.h"
#include "import/ui/TWImportCSVForm.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

using test::senzaOra;

QStringList righeListino(int n)
{
    QStringList r{"CODICE;DESCRIZIONE;UM;PREZZO;IVA;GIACENZA;DATA;NOTE"};
    for (int i = 1; i <= n; ++i)
        r << QString("ART%1;Articolo di listino n. %2;PZ;%3,%4;22;%5,500;15/03/2024;nota %2")
                 .arg(i, 6, 10, QChar('0')).arg(i).arg(i % 500).arg(i % 100, 2, 10, QChar('0')).arg(i % 50);
    return r;
}

const QStringList kScriptListino{"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIUNGI=SI", "AGGIORNA=SI",
                                 "ESCLUSIONIAGGIORNA=NOTE"};

class ImportWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host = preparaHost(dirA);
        platform::setHostDir(host);
        context = entry::CreaContestoLavoro(1);
        ASSERT_TRUE(context && context->isConnected());
        dati = host + "lavoro/listino.csv";
        test::scriviFile(dati, righeListino(10000));
        test::scriviFile(host + "lavoro/listino.txt", kScriptListino);
    }
    static QString preparaHost(const vardof::test::TempDir &dir)
    {
        const QString h = dir.path() + '/';
        app::DemoOptions o;
        o.hostDir = h;
        app::buildDemo(o);
        return h;
    }
    QStringList memo(QPlainTextEdit *m) const { return m->toPlainText().split('\n'); }
    void scegliFile(TImportCSVForm &form, const QString &path)
    {
        services.fileDialogs().queueFile(path);
        form.ButtonFileClick();
    }
    qint64 conta(const QString &sql)
    {
        db::Transaction t(context->database());
        return db::toInt64(*db::queryValue(context->database(), t, sql)).value_or(-1);
    }

    platform::ScopedServices services;
    vardof::test::TempDir dirA;
    QString host;
    QString dati;
    std::unique_ptr<entry::TTabForm> context;
};

TEST_F(ImportWindow, opensWithOnlyTheFileChoiceAvailable)
{
    TImportCSVForm form(context.get(), 0);
    EXPECT_EQ(form.windowTitle(), "Importazione file CSV - Ditta: " + context->NomeProgetto);
    EXPECT_FALSE(form.ButtonWizard->isEnabled());
    EXPECT_FALSE(form.ButtonElabora->isEnabled());
    EXPECT_FALSE(form.ButtonInterrompi->isEnabled());
    EXPECT_TRUE(form.ButtonFile->isEnabled());
    EXPECT_EQ(form.ButtonFile->text(), "&File da acquisire");
    EXPECT_EQ(form.CheckSaltaRiga->text(), "Salta prima riga");
}

TEST_F(ImportWindow, priceListThroughTheWindowAndTheCommandGiveTheSameSummary)
{
    TImportCSVForm form(context.get(), 1);
    scegliFile(form, dati);
    EXPECT_EQ(services.fileDialogs().requests().first().caption, "Selezione file");
    EXPECT_EQ(form.EditFile->text(), dati);
    EXPECT_TRUE(form.ButtonWizard->isEnabled());
    ASSERT_TRUE(form.ButtonElabora->isEnabled()) << form.MemoRiepilogo->toPlainText().toStdString();
    const QStringList script = memo(form.MemoScript);
    EXPECT_EQ(script, (QStringList{"Tabella di destinazione = ARTICOLI", "Elimina dati campo di riferimento = NO",
                                   "Controllo duplicati = NO", "Aggiungi record = SI", "Aggiorna record = SI", "",
                                   "- CAMPI ESCLUSI DALL'AGGIORNAMENTO:", ". NOTE"}));

    form.CheckSaltaRiga->setChecked(true);
    form.ButtonElaboraClick();
    const QStringList finestra = senzaOra(memo(form.MemoRiepilogo));
    EXPECT_EQ(finestra, (QStringList{"- {ora}: Scansione preliminare file", "Individuati 10000 record nel file",
                                     "- {ora}: Inizio acquisizione file", "- {ora}: Terminata acquisizione file",
                                     "Record aggiornati: 300", "Record aggiunti: 9.700", "Record falliti: 0",
                                     "Record totali: 10.000"}));
    EXPECT_EQ(services.messages().texts(), (QStringList{"Avviare l'elaborazione?", "Elaborazione terminata"}));
    EXPECT_EQ(form.avanzamento(), nullptr);
    EXPECT_FALSE(form.ButtonInterrompi->isEnabled());
    EXPECT_EQ(conta("SELECT COUNT(*) FROM ARTICOLI"), 10000);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM ARTICOLI WHERE NOTE STARTING WITH 'nota'"), 9700);

    // The same file on a second demo archive, from the command line.
    vardof::test::TempDir dirB;
    const QString hostB = preparaHost(dirB);
    test::scriviFile(hostB + "lavoro/listino.csv", righeListino(10000));
    test::scriviFile(hostB + "lavoro/listino.txt", kScriptListino);
    QProcess p;
    p.start(QStringLiteral(VARDOF_BIN), {"--host", hostB, "import", hostB + "lavoro/listino.csv", "--salta-prima-riga"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QStringList riga = QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n');
    if (riga.last().isEmpty())
        riga.removeLast();
    EXPECT_EQ(senzaOra(riga), script + finestra);
}

TEST_F(ImportWindow, missingAndIrregularScriptsAreReported)
{
    TImportCSVForm form(context.get(), 0);
    scegliFile(form, host + "lavoro/altro.csv");
    EXPECT_EQ(services.messages().texts(), QStringList{"File di script \"" + host + "lavoro/altro.txt\" non trovato"});
    EXPECT_FALSE(form.ButtonElabora->isEnabled());

    services.messages().clear();
    test::scriviFile(host + "lavoro/listino.txt", {"[SCRIPT]", "TABELLADESTINAZIONE=NESSUNA"});
    scegliFile(form, dati);
    EXPECT_EQ(services.messages().texts(), QStringList{"Irregolarità nello script"});
    EXPECT_EQ(services.messages().messages().first().kind, platform::Warning);
    EXPECT_EQ(memo(form.MemoRiepilogo), QStringList{"Tabella di destinazione inesistente"});
    EXPECT_FALSE(form.ButtonElabora->isEnabled());
}

TEST_F(ImportWindow, interruptConfirmedStopsTheRunAndUndoesIt)
{
    TImportCSVForm form(context.get(), 0);
    scegliFile(form, dati);
    ASSERT_TRUE(form.ButtonElabora->isEnabled());
    bool premuto = false;
    QTimer::singleShot(0, &form, [&] {
        premuto = form.ButtonInterrompi->isEnabled() && form.avanzamento() != nullptr;
        form.ButtonInterrompiClick();
    });
    form.ButtonElaboraClick();
    EXPECT_TRUE(premuto);
    EXPECT_EQ(services.messages().texts(), (QStringList{"Avviare l'elaborazione?", "Interrompere l'elaborazione?"}));
    EXPECT_EQ(senzaOra(memo(form.MemoRiepilogo)).last(), "- {ora}: acquisizione interrotta");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM ARTICOLI"), 300);
}

TEST_F(ImportWindow, wizardShowsTheLoadedScriptAndTheWindowReloadsWhatItWrites)
{
    TImportCSVForm form(context.get(), 0);
    scegliFile(form, dati);
    QStringList vistoNelWizard;
    QTimer::singleShot(0, &form, [&] {
        auto *w = qobject_cast<TWImportCSVForm *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        vistoNelWizard << w->Configurazione_SP1_ComboTabDest->currentText()
                       << w->Configurazione_SP8_TabEsclusioniAggiorna->item(0, 0)->text();
        w->Configurazione_SP3_CheckAggiorna->setChecked(false);
        w->Configurazione_SP6_ComboCampo->setCurrentText("UNITAMISURA");
        w->Configurazione_SP6_EditValore->setText("KG");
        w->Configurazione_SP6_ButtonAggiungiClick();
        w->ButtonOkClick();
    });
    form.ButtonWizardClick();
    EXPECT_EQ(vistoNelWizard, (QStringList{"ARTICOLI", "NOTE"}));
    EXPECT_EQ(memo(form.MemoScript), (QStringList{"Tabella di destinazione = ARTICOLI", "Elimina dati campo di riferimento = NO",
                                                  "Controllo duplicati = NO", "Aggiungi record = SI", "Aggiorna record = NO",
                                                  "", "- ASSEGNAZIONI COSTANTI:", "UNITAMISURA = KG", "",
                                                  "- CAMPI ESCLUSI DALL'AGGIORNAMENTO:", ". NOTE"}));
    EXPECT_TRUE(form.ButtonElabora->isEnabled());
}

TEST_F(ImportWindow, wizardChecksKeepTheWindowOpen)
{
    TWImportCSVForm w(nullptr, host + "lavoro/nuovo.txt", context.get());
    EXPECT_EQ(w.windowTitle(), "Wizard composizione script per import file CSV");
    EXPECT_EQ(w.Configurazione_SP1_ComboTabDest->currentIndex(), -1);
    w.ButtonOkClick();
    EXPECT_EQ(services.messages().texts(), QStringList{"E' necessario indicare la tabella"});
    EXPECT_FALSE(QFile::exists(host + "lavoro/nuovo.txt"));

    w.Configurazione_SP1_ComboTabDest->setCurrentText("ZONE");
    w.Configurazione_SP1_ComboTabDestSelect();
    w.Configurazione_SP8_ButtonAggiungiTuttiClick();
    EXPECT_EQ(w.composizione().esclusioni, (QStringList{"CODICE", "DESCRIZIONE"}));
    w.Configurazione_SP5_ComboCampo->setCurrentText("DESCRIZIONE");
    w.Configurazione_SP5_EditPercentuale->setText("0,009");
    w.Configurazione_SP5_ButtonAggiungiClick();
    EXPECT_EQ(services.messages().texts().last(), "Indicare una percentuale numerica valida e non nulla");

    w.Configurazione_SP1_ComboTabDest->setCurrentText("CLIENTI");
    w.Configurazione_SP1_ComboTabDestSelect();
    EXPECT_TRUE(w.composizione().esclusioni.isEmpty());
    w.ButtonOkClick();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    platform::ScriptedMessages &m = services.messages();
    EXPECT_EQ(m.texts().size(), 2);
    EXPECT_TRUE(QFile::exists(host + "lavoro/nuovo.txt"));
}

} // namespace
} // namespace vardof::importcsv

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
