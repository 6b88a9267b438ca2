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
#include <QDir>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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
    std::unique_ptr<context::TTabForm> context;
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

TEST_F(ImportWindow, scriptWithANulIsIrregularAndTheWindowStaysUsable)
{
    TImportCSVForm form(context.get(), 0);
    test::scriviFile(host + "lavoro/listino.txt",
                     {"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", test::conControlli("AGGIORNAPERS=CODICE{00}")});
    scegliFile(form, dati);
    EXPECT_EQ(services.messages().texts(), QStringList{"Irregolarità nello script"});
    EXPECT_EQ(memo(form.MemoRiepilogo),
              QStringList{"Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"CODICE\\x00\" non esiste"});
    EXPECT_EQ(memo(form.MemoScript).last(), ". CODICE\\x00");
    EXPECT_FALSE(form.ButtonElabora->isEnabled());
    EXPECT_TRUE(form.ButtonFile->isEnabled());
}

TEST_F(ImportWindow, pictureChosenByMistakeIsRefusedWithoutAQuestion)
{
    const QString immagine = host + "lavoro/foto.png";
    test::scriviByte(immagine, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    test::scriviFile(host + "lavoro/foto.txt", kScriptListino);
    TImportCSVForm form(context.get(), 0);
    scegliFile(form, immagine);
    ASSERT_TRUE(form.ButtonElabora->isEnabled());
    form.ButtonElaboraClick();
    EXPECT_EQ(services.messages().texts(),
              QStringList{"Il file \"" + immagine + "\" non è un file di testo: importazione annullata"});
    EXPECT_EQ(services.messages().messages().first().kind, platform::Error);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM ARTICOLI"), 300);
    EXPECT_TRUE(form.ButtonElabora->isEnabled());
}

// The command line on a second archive: exit status, rejects, the limit on
// failed lines, a file that is no text, and the stop by SIGTERM.
class ImportCommand : public ImportWindow
{
protected:
    void SetUp() override
    {
        ImportWindow::SetUp();
        hostB = preparaHost(dirB);
        archivioB = db::Attachment::attach(app::demoArchivePath(hostB), vardof::test::adminParams());
    }
    void TearDown() override { archivioB.disconnect(); }
    struct Esito
    {
        int codice = -1;
        QStringList out;
        QString err;
    };
    Esito vardof(const QStringList &args)
    {
        // The archive is the command's while it runs.
        archivioB.disconnect();
        QProcess p;
        p.start(QStringLiteral(VARDOF_BIN), QStringList{"--host", hostB, "import"} + args);
        Esito e;
        if (!p.waitForFinished(120000))
            return e;
        e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        e.out = senzaOra(QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n'));
        e.err = QString::fromLocal8Bit(p.readAllStandardError());
        archivioB = db::Attachment::attach(app::demoArchivePath(hostB), vardof::test::adminParams());
        return e;
    }
    qint64 contaB(const QString &sql)
    {
        db::Transaction t(archivioB);
        return db::toInt64(*db::queryValue(archivioB, t, sql)).value_or(-1);
    }
    QString datiB(const QString &nome, const QStringList &righe, const QStringList &script)
    {
        const QString f = hostB + "lavoro/" + nome + ".csv";
        test::scriviFile(f, righe);
        test::scriviFile(hostB + "lavoro/" + nome + ".txt", script);
        return f;
    }

    vardof::test::TempDir dirB;
    QString hostB;
    db::Attachment archivioB;
};

TEST_F(ImportCommand, badUsageExitsTwo)
{
    const QString f = datiB("u", {"X1;x"}, kScriptListino);
    const QList<QStringList> casi{{f, "--max-errori"}, {f, "--max-errori", "-1"}, {f, "--max-errori", "molti"},
                                  {f, "--scarti"}, {f, "--scarti", "a", "--scarti", "b"}, {f, "--sconosciuta"}, {}};
    for (const QStringList &c : casi) {
        const Esito e = vardof(c);
        EXPECT_EQ(e.codice, 2) << c.join(' ').toStdString();
        EXPECT_TRUE(e.err.startsWith("uso: vardof import FILEDATI")) << e.err.toStdString();
    }
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE = 'X1'"), 0);
}

TEST_F(ImportCommand, exitStatusSaysWhetherEveryLineWentIn)
{
    const QStringList soloAggiunta{"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"};
    const QStringList clienti{"[SCRIPT]", "TABELLADESTINAZIONE=CLIENTI", "AGGIORNAPERS=CODICE", "AGGIORNA=NO"};
    struct Caso
    {
        const char *nome;
        QStringList righe;
        QStringList script;
        int codice;
        const char *riga; // a line of the output
    };
    const Caso casi[] = {
        {"all good", {"N1;uno;PZ", "N2;due;PZ"}, soloAggiunta, 0, "Record falliti: 0"},
        {"every line fails", {"F1;uno;TROPPO", "F2;due;TROPPO"}, soloAggiunta, 1, "Record falliti: 2"},
        {"one line of three fails", {"G1;uno;PZ", "G2;due;TROPPO", "G3;tre;PZ"}, soloAggiunta, 1, "Record falliti: 1"},
        {"a key that does not convert", {"9001;Rossi", "x;Bianchi"}, clienti, 1,
         "Riga 2: valore \"x\" non valido per il campo n° 1 (CODICE)"},
        {"irregular script", {"N9;x"}, {"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", test::conControlli("ESCLUSIONIAGGIORNA={00}")}, 1,
         "Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"\\x00\" non esiste"},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        const Esito e = vardof({datiB("e", c.righe, c.script)});
        EXPECT_EQ(e.codice, c.codice) << e.err.toStdString();
        EXPECT_TRUE(e.out.contains(QString::fromUtf8(c.riga))) << e.out.join('\n').toStdString();
    }
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE IN ('N1', 'N2', 'G1', 'G3')"), 4);
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE IN ('F1', 'F2', 'G2', 'N9')"), 0);
}

TEST_F(ImportCommand, rejectsAndTheLimitOnFailedLines)
{
    const QStringList script{"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"};
    const QString f = datiB("s", {"S1;uno;PZ", "S2;due;TROPPO", "S3;tre;PZ"}, script);
    const QString scarti = hostB + "lavoro/scarti.csv";

    Esito e = vardof({f, "--scarti", scarti, "--max-errori", "0"});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.out.contains("- {ora}: acquisizione interrotta: più di 0 record falliti, le modifiche dell'elaborazione sono state annullate"))
        << e.out.join('\n').toStdString();
    EXPECT_TRUE(e.err.contains("Elaborazione interrotta"));
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE STARTING WITH 'S'"), 0);
    QFile f1(scarti);
    ASSERT_TRUE(f1.open(QIODevice::ReadOnly));
    EXPECT_EQ(f1.readAll(), QByteArray("S2;due;TROPPO\r\n"));

    e = vardof({f, "--scarti", scarti, "--max-errori", "1"});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.out.contains("Record falliti: 1"));
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE STARTING WITH 'S'"), 2);
    QFile f2(scarti + ".log");
    ASSERT_TRUE(f2.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f2.readAll().startsWith("2\tErrore di INSERT relativo alla riga 2: "));
    EXPECT_EQ(QDir(hostB + "lavoro").entryList({"scarti*"}, QDir::Files), (QStringList{"scarti.csv", "scarti.csv.log"}));

    e = vardof({f, "--scarti", hostB + "manca/scarti.csv"});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.out.contains("Impossibile scrivere il file \"" + hostB + "manca/scarti.csv\": "
                               + QString::fromLocal8Bit(std::strerror(ENOENT))))
        << e.out.join('\n').toStdString();
}

TEST_F(ImportCommand, fileThatIsNoTextIsRefused)
{
    const QString f = hostB + "lavoro/foto.png";
    test::scriviByte(f, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    test::scriviFile(hostB + "lavoro/foto.txt", kScriptListino);
    const qint64 prima = contaB("SELECT COUNT(*) FROM ARTICOLI");
    const Esito e = vardof({f});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains("Il file \"" + f + "\" non è un file di testo: importazione annullata")) << e.err.toStdString();
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI"), prima);
}

TEST_F(ImportCommand, sigtermStopsAtTheNextLineAndUndoesTheRun)
{
#if defined(Q_OS_WIN)
    GTEST_SKIP() << "QProcess::terminate() sends no signal to a console program on Windows";
#endif
    QStringList righe;
    for (int i = 0; i < 400000; ++i)
        righe << QString("T%1;riga;PZ").arg(i);
    const QString f = datiB("t", righe, {"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AGGIORNA=NO"});
    archivioB.disconnect();
    QProcess p;
    p.start(QStringLiteral(VARDOF_BIN), {"--host", hostB, "import", f});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    while (!out.contains("Inizio acquisizione file") && p.state() == QProcess::Running) {
        p.waitForReadyRead(1000);
        out += p.readAllStandardOutput();
    }
    p.terminate(); // SIGTERM
    ASSERT_TRUE(p.waitForFinished(120000));
    out += p.readAllStandardOutput();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 143) << p.readAllStandardError().toStdString();
    QStringList l = senzaOra(QString::fromLocal8Bit(out).split('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    EXPECT_EQ(l.last(), "- {ora}: acquisizione interrotta") << l.join('\n').toStdString();
    archivioB = db::Attachment::attach(app::demoArchivePath(hostB), vardof::test::adminParams());
    EXPECT_EQ(contaB("SELECT COUNT(*) FROM ARTICOLI WHERE CODICE STARTING WITH 'T'"), 0);
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

// The progress window stays while the run lasts, whatever the user presses
// on it (title-bar close, Esc); only the run's end takes it away.
TEST_F(ImportWindow, progressWindowCannotBeClosedDuringTheRun)
{
    TImportCSVForm form(context.get(), 0);
    scegliFile(form, dati);
    bool aperta = false;
    QTimer::singleShot(0, &form, [&] {
        TAvanzamentoForm *a = form.avanzamento();
        if (!a)
            return;
        a->close();
        a->reject();
        QCoreApplication::processEvents();
        aperta = form.avanzamento() == a && a->isVisible();
        form.ButtonInterrompiClick();
    });
    form.ButtonElaboraClick();
    EXPECT_TRUE(aperta);
    EXPECT_EQ(form.avanzamento(), nullptr);
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
