#include "support/ModalDialogs.h"
#include "ConvertTestSupport.h"

#include "convert/ConversionRun.h"
#include "convert/ConversionTexts.h"
#include "convert/ui/TConvFileForm.h"
#include "convert/ui/THelpConvFileForm.h"
#include "convert/ui/TSceltaWConvFileForm.h"
#include "convert/ui/TWConvFileForm.h"
#include "context/WorkContext.h"
#include "platform/HostPaths.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/widgets/TextEditorWindow.h"
#include "../platform/FileSizeLimit.h"
#include "support/FbFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QKeyEvent>
#include <QSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace vardof;
using namespace vardof::convert;
using namespace vardof::test;
using platform::Answer;
using platform::MessageKind;

namespace {

using vardof::test::whenShown;

class ConvWindow : public ::testing::Test
{
protected:
    ConvWindow() : m_context(m_dir.path() + QLatin1Char('/'))
    {
        m_context.NomeProgetto = QStringLiteral("DEMO");
    }
    QString file(const char *name) const { return m_dir.file(QString::fromUtf8(name)); }
    void prepare(const QList<QByteArray> &definition, const QByteArray &source)
    {
        writeBytes(file("listino.conf"), crlf(definition));
        writeBytes(file("listino.txt"), source);
        m_form.EditFileOrigine->setText(file("listino.txt"));
        m_form.EditFileDestinazione->setText(file("listino.dat"));
    }

    TempDir m_dir;
    platform::ScopedServices m_services;
    context::TTabForm m_context;
    TConvFileForm m_form{&m_context, 0};
};

TEST_F(ConvWindow, captionAndDefaults)
{
    EXPECT_EQ(TConvFileForm(&m_context, 0).windowTitle(), QStringLiteral("Conversione file - Ditta: DEMO"));
    EXPECT_EQ(m_form.EditCarattere->text(), QStringLiteral(":"));
    EXPECT_TRUE(m_form.EditFileOrigine->isReadOnly());
    EXPECT_TRUE(m_form.EditFileDestinazione->isReadOnly());
    EXPECT_FALSE(m_form.CheckSaltaRiga->isChecked());
    EXPECT_TRUE(m_form.ProgressElab->isHidden());
}

TEST_F(ConvWindow, convertsWithTheOptionsAndReportsAnomalies)
{
    prepare({"[LUNGHEZZAFISSA]", "1;COD;1;4;A;", "2;DES;5;6;A;", "3;PREZZO;11;5;N;"},
            "COD DESCR PREZZ\r\nA1  a;b   12,5\r\nA2  cd    1.5\r\n");
    m_form.CheckSaltaRiga->setChecked(true);
    m_form.CheckIntestazione->setChecked(true);
    m_form.EditCarattere->setText(QStringLiteral("/"));
    m_services.messages().queueAnswer(Answer::Yes);
    m_form.ButtonConvertiClick();

    EXPECT_EQ(readBytes(file("listino.dat")), crlf({"COD;DES;PREZZO;", "A1;a/b;12,5;", "A2;cd;0;"}));
    const QStringList anomalies{
        QStringLiteral("Riga n. 1, Colonna DES, Il dato: \"a;b\" contiente il carattere \";\". Verrà sostituito con \"/\""),
        QStringLiteral("Riga n. 2, Colonna PREZZO, Il dato: \"1.5\" non è numerico")};
    EXPECT_EQ(m_form.MemoAnomalie->toPlainText(), anomalies.join(QLatin1Char('\n')));
    EXPECT_EQ(readBytes(file("Anomalie.txt")), core::toCp1252(anomalies.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    EXPECT_EQ(m_services.messages().texts(),
              (QStringList{QStringLiteral("Avviare la conversione?"), QStringLiteral("Elaborazione Completata")}));
    EXPECT_TRUE(m_form.ProgressElab->isHidden());
    EXPECT_TRUE(m_form.ButtonConverti->isEnabled());
}

// A supplier's price list of the usual size: the window and the command line
// (which runs Converti with the same options) give the same bytes, and the
// window keeps every anomaly.
TEST_F(ConvWindow, fiftyThousandLinePriceListMatchesTheUnattendedRun)
{
    QByteArray source;
    for (int i = 1; i <= 50000; ++i) {
        QByteArray price = QByteArray::number(i % 9973) + (i % 400 == 0 ? "." : ",") + "50";
        source += QByteArray("ART" + QByteArray::number(i)).leftJustified(15, ' ')
                  + QByteArray(i % 300 == 0 ? "Vite;testa piana" : "Vite testa piana").leftJustified(30, ' ')
                  + price.rightJustified(12, ' ') + "\r\n";
    }
    prepare({"[LUNGHEZZAFISSA]", "1;CODICE;1;15;A;", "2;DESCRIZIONE;16;30;A;", "3;PREZZO;46;12;N;",
             "4;FORNITORE;Costante;'2061';A;"},
            source);
    m_form.ButtonConvertiClick();
    const QByteArray windowOutput = readBytes(file("listino.dat"));
    EXPECT_EQ(windowOutput.count("\r\n"), 50000);
    EXPECT_EQ(m_form.MemoAnomalie->toPlainText().split(QLatin1Char('\n')).size(), 125 + 166);

    ConversionOptions options = m_form.options();
    options.destination = file("riga-di-comando.dat");
    RecordingSink sink;
    ASSERT_TRUE(Converti(options, sink).completed);
    EXPECT_TRUE(readBytes(options.destination) == windowOutput);
    EXPECT_EQ(sink.anomalies.join(QLatin1Char('\n')), m_form.MemoAnomalie->toPlainText());
}

// A source where every line is bad: the memo lists the first anomalies and
// says how many more there are and where; the file has every one of them.
struct ManyAnomaliesCase
{
    const char *name;
    qint64 lines;
};
void PrintTo(const ManyAnomaliesCase &c, std::ostream *os) { *os << c.name; }

class ManyAnomalies : public ConvWindow, public ::testing::WithParamInterface<ManyAnomaliesCase> {};
TEST_P(ManyAnomalies, memoListsTheFirstAndTheFileHasThemAll)
{
    const qint64 lines = GetParam().lines;
    prepare({"[CSV]", "1;N;1;N;"}, QByteArray("x\r\n").repeated(lines));
    m_services.messages().queueAnswer(Answer::Yes);
    m_form.ButtonConvertiClick();

    const QStringList memo = m_form.MemoAnomalie->toPlainText().split(QLatin1Char('\n'));
    const qint64 listed = std::min(lines, TConvFileForm::kShownAnomalies);
    const QString first = QStringLiteral("Riga n. 1, Colonna N, Il dato: \"x\" non è numerico");
    EXPECT_EQ(memo.first(), first);
    if (lines > listed) {
        ASSERT_EQ(memo.size(), listed + 1);
        EXPECT_EQ(memo.last(), texts::moreAnomalies(lines - listed, file("Anomalie.txt")));
    } else {
        EXPECT_EQ(memo.size(), listed);
    }
    EXPECT_EQ(readBytes(file("Anomalie.txt")).count("\r\n"), lines);
    EXPECT_EQ(m_services.messages().texts().last(), QStringLiteral("Elaborazione Completata"));
}
INSTANTIATE_TEST_SUITE_P(Cases, ManyAnomalies, ::testing::Values(
    ManyAnomaliesCase{"exactlyAsManyAsShown", TConvFileForm::kShownAnomalies},
    ManyAnomaliesCase{"oneMore", TConvFileForm::kShownAnomalies + 1},
    ManyAnomaliesCase{"tenTimesAsMany", 10 * TConvFileForm::kShownAnomalies}));

TEST_F(ConvWindow, cleanRunSaysSoInTheMemo)
{
    prepare({"[CSV]", "1;A;1;A;"}, "x\r\n");
    m_form.MemoAnomalie->setPlainText(QStringLiteral("vecchie anomalie"));
    m_form.ButtonConvertiClick();
    EXPECT_EQ(m_form.MemoAnomalie->toPlainText(), QStringLiteral("Non sono state rilevate anomalie"));
    EXPECT_FALSE(QFile::exists(file("Anomalie.txt")));
}

TEST_F(ConvWindow, answeringNoConvertsNothing)
{
    prepare({"[CSV]", "1;A;1;A;"}, "x\r\n");
    m_services.messages().queueAnswer(Answer::No);
    m_form.ButtonConvertiClick();
    EXPECT_FALSE(QFile::exists(file("listino.dat")));
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Avviare la conversione?")});
}

TEST_F(ConvWindow, definitionErrorIsShownAndNothingCompleted)
{
    prepare({"[CSV]", "1;A;uno;A;"}, "x\r\n");
    m_form.ButtonConvertiClick();
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].text, QStringLiteral("Errore nella riga 2 del file di definizione (\"1;A;uno;A;\"): "
                                               "il numero di campo \"uno\" non è un numero valido"));
    EXPECT_TRUE(m_form.MemoAnomalie->toPlainText().isEmpty());
}

// A run that cannot write one of its files has failed: the error says why
// in the system's words, "Elaborazione Completata" is not shown, and the
// files written before keep their content.
TEST_F(ConvWindow, destinationThatCannotBeWrittenIsAFailedRunAndKeepsTheOldFile)
{
    QByteArray source;
    for (int i = 0; i < 3000; ++i)
        source += QByteArray(40, 'a') + "\r\n";
    prepare({"[CSV]", "1;A;1;A;"}, source);
    writeBytes(file("listino.dat"), "vecchia\r\n");
    {
        FileSizeLimit limit(64 * 1024);
        if (!limit.active())
            GTEST_SKIP() << "no file size limit on this system";
        m_form.ButtonConvertiClick();
    }
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_EQ(messages[1].text, texts::destinationUnwritable(file("listino.dat"), FileSizeLimit::reason()));
    EXPECT_EQ(readBytes(file("listino.dat")), "vecchia\r\n");
    EXPECT_FALSE(m_form.MemoAnomalie->toPlainText().contains(texts::noAnomalies()));
    EXPECT_TRUE(m_form.ButtonConverti->isEnabled());
}

TEST_F(ConvWindow, anomaliesFileThatCannotBeWrittenIsAFailedRun)
{
    prepare({"[CSV]", "1;PREZZO;1;N;"}, "abc\r\n");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Anomalie.txt")));
    m_form.ButtonConvertiClick();
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].kind, MessageKind::Error);
    EXPECT_TRUE(messages[1].text.startsWith(texts::anomaliesUnwritable(file("Anomalie.txt"), QString())))
        << messages[1].text.toStdString();
    EXPECT_EQ(m_form.MemoAnomalie->toPlainText(),
              QStringLiteral("Riga n. 1, Colonna PREZZO, Il dato: \"abc\" non è numerico"));
    EXPECT_EQ(readBytes(file("listino.dat")), crlf({"0;"}));
}

struct CheckCase
{
    const char *source;
    const char *destination;
    const char *warning;
};
class ConvWindowChecks : public ConvWindow, public ::testing::WithParamInterface<CheckCase> {};
TEST_P(ConvWindowChecks, warnAndStop)
{
    writeBytes(file("listino.txt"), "x\r\n");
    m_form.EditFileOrigine->setText(QString::fromUtf8(GetParam().source).replace(QStringLiteral("$"), m_dir.path()));
    m_form.EditFileDestinazione->setText(QString::fromUtf8(GetParam().destination).replace(QStringLiteral("$"), m_dir.path()));
    m_form.ButtonConvertiClick();
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages[0].text, QString::fromUtf8(GetParam().warning));
}
INSTANTIATE_TEST_SUITE_P(Cases, ConvWindowChecks, ::testing::Values(
    CheckCase{"", "$/out.dat", "Attenzione: file origine inesistente"},
    CheckCase{"$/manca.txt", "$/out.dat", "Attenzione: file origine inesistente"},
    CheckCase{"$/listino.txt", "", "Attenzione: si prega di specificare un file di destinazione"},
    CheckCase{"$/listino.txt", "$/manca/out.dat", "Attenzione: il percorso scelto per il file destinazione è inesistente"},
    CheckCase{"$/listino.txt", "$/listino.txt",
              "Attenzione: il file destinazione non può coincidere con il file origine, con il file di definizione o con il file delle anomalie"}));

TEST_F(ConvWindow, destinationGetsDatWhenTypedWithoutExtension)
{
    m_services.fileDialogs().queueFile(file("uscita"));
    m_form.ButtonDestinazioneClick();
    EXPECT_EQ(m_form.EditFileDestinazione->text(), file("uscita.dat"));
    m_services.fileDialogs().queueFile(file("uscita."));
    m_form.ButtonDestinazioneClick();
    EXPECT_EQ(m_form.EditFileDestinazione->text(), file("uscita.dat"));
    m_services.fileDialogs().queueFile(std::nullopt);
    m_form.ButtonDestinazioneClick();
    EXPECT_EQ(m_form.EditFileDestinazione->text(), file("uscita.dat"));
}

TEST_F(ConvWindow, sourceComesFromTheOpenDialog)
{
    m_services.fileDialogs().queueFile(file("a.txt"));
    m_form.ButtonOrigineClick();
    EXPECT_EQ(m_form.EditFileOrigine->text(), file("a.txt"));
}

TEST_F(ConvWindow, composeChecksTheSourceFirst)
{
    m_form.ButtonComponiScriptClick();
    m_form.EditFileOrigine->setText(file("manca.txt"));
    m_form.ButtonComponiScriptClick();
    EXPECT_EQ(m_services.messages().texts(),
              (QStringList{QStringLiteral("Attenzione: File Origine mancante"),
                           QStringLiteral("Attenzione: File Origine inesistente")}));
}

TEST_F(ConvWindow, freeEditingCreatesAnEmptyDefinitionAndOpensIt)
{
    writeBytes(file("listino.txt"), "x\r\n");
    m_form.EditFileOrigine->setText(file("listino.txt"));
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) {
        EXPECT_EQ(choice->windowTitle(), QStringLiteral("Scelta wizard"));
        EXPECT_TRUE(choice->RadioGuidata->isChecked());
        choice->RadioLibera->setChecked(true);
        choice->ButtonOk->click();
    });
    m_form.ButtonComponiScriptClick();
    EXPECT_EQ(readBytes(file("listino.conf")), QByteArray());
    EXPECT_EQ(m_services.shell().openedFiles(), QStringList{file("listino.conf")});

    // An existing definition keeps its content.
    writeBytes(file("listino.conf"), "[CSV]\r\n1;A;1;A;");
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) {
        choice->RadioLibera->setChecked(true);
        choice->ButtonOk->click();
    });
    m_form.ButtonComponiScriptClick();
    EXPECT_EQ(readBytes(file("listino.conf")), "[CSV]\r\n1;A;1;A;");
}

// A desktop without a program for the file (a plain X session): the
// definition opens in our own editor, where a fixed-length definition can be
// written and saved as the converter reads it.
TEST_F(ConvWindow, freeEditingWithoutADesktopProgramOpensOurEditor)
{
    writeBytes(file("listino.txt"), "ART001        Vite\r\n");
    m_form.EditFileOrigine->setText(file("listino.txt"));
    m_services.shell().setResult(false);
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) {
        choice->RadioLibera->setChecked(true);
        choice->ButtonOk->click();
    });
    QString shownPath;
    whenShown<platform::TextEditorWindow>([&](platform::TextEditorWindow *editor) {
        shownPath = editor->LabelFile->text();
        editor->MemoTesto->setPlainText(QStringLiteral("[LUNGHEZZAFISSA]\n1;CODICE;1;14;A;\n2;DESCRIZIONE;15;4;A;"));
        editor->ButtonSalva->click();
        editor->ButtonChiudi->click();
    });
    m_form.ButtonComponiScriptClick();
    EXPECT_EQ(m_services.shell().openedFiles(), QStringList{file("listino.conf")});
    EXPECT_EQ(shownPath, QStringLiteral("File: ") + QDir::toNativeSeparators(file("listino.conf")));
    EXPECT_EQ(readBytes(file("listino.conf")), "[LUNGHEZZAFISSA]\r\n1;CODICE;1;14;A;\r\n2;DESCRIZIONE;15;4;A;");
    EXPECT_TRUE(m_services.messages().messages().isEmpty());

    m_form.EditFileDestinazione->setText(file("listino.dat"));
    m_form.ButtonConvertiClick();
    EXPECT_EQ(readBytes(file("listino.dat")), crlf({"ART001;Vite;"}));
}

TEST_F(ConvWindow, cancelledChoiceTouchesNothing)
{
    writeBytes(file("listino.txt"), "x\r\n");
    m_form.EditFileOrigine->setText(file("listino.txt"));
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) { choice->ButtonCancel->click(); });
    m_form.ButtonComponiScriptClick();
    EXPECT_FALSE(QFile::exists(file("listino.conf")));
    EXPECT_TRUE(m_services.shell().openedFiles().isEmpty());
}

// The store of a user whose database lacks the host's tables must not keep
// the conversion (which needs no database) from opening.
TEST_F(ConvWindow, opensForAUserWhoseParametersCannotBeRead)
{
    const QString previous = platform::hostDir();
    platform::setHostDir(m_dir.path() + QLatin1Char('/'));
    {
        TConvFileForm form(&m_context, 7);
        EXPECT_EQ(form.EditCarattere->text(), QStringLiteral(":"));
    }
    platform::setHostDir(previous);
}

TEST(HelpWindow, holdsBothExamples)
{
    THelpConvFileForm help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Help conversione file"));
    const QString text = help.MemoHelp->toPlainText();
    EXPECT_TRUE(help.MemoHelp->isReadOnly());
    for (const char *line : {"[LUNGHEZZAFISSA]", "2;CODICEFORN;Costante;'2061';A;", "5;PRLISINVAL;28;8;N;",
                             "[CSV]", "1;CODICE;2[NOBLANKINI];A;", "13;NOTE;7(10,50)PPI;A;",
                             "20;CAMPI_CONCATENATI;1+' '+2;A;", ".dat", ".conf"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(help.ButtonChiudi->text(), QStringLiteral("Ch&iudi"));
}

// ---- the wizard over a table of the work database --------------------------------

class WizardWindow : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15), DESCRIZIONE VARCHAR(40), "
                            "PREZZO NUMERIC(15,2), DATACARICO DATE)"));
        m_context = std::make_unique<context::TTabForm>(m_dir.path() + QLatin1Char('/'));
        m_context->database().connect(dbPath(), adminParams());
        m_source = m_dir.file(QStringLiteral("listino.txt"));
        writeBytes(m_source, "COD;DESCR;PREZZO;\r\nA1;Vite;1,5;\r\n");
    }
    void TearDown() override
    {
        m_context.reset();
        FbFixture::TearDown();
    }
    int rowOf(const QString &name, const TWConvFileForm &w)
    {
        for (size_t i = 0; i < w.TabOrigine.size(); ++i)
            if (w.TabOrigine[i].Origine == name)
                return int(i);
        return -1;
    }

    platform::ScopedServices m_services;
    std::unique_ptr<context::TTabForm> m_context;
    QString m_source;
};

TEST_F(WizardWindow, composesTheDefinitionFromTheEditedLayout)
{
    TWConvFileForm wizard(nullptr, true, m_source, m_context.get());
    ASSERT_TRUE(wizard.isReady());
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("Wizard composizione file .conf per la conversione"));
    EXPECT_EQ(wizard.ComboTabella->currentIndex(), -1);
    EXPECT_TRUE(wizard.GridTracciato->isColumnHidden(TWConvFileForm::ColDimensione));
    ASSERT_EQ(wizard.TabOrigine.size(), 4u);

    wizard.ComboTabellaSelect(wizard.ComboTabella->findText(QStringLiteral("ARTICOLI")));
    ASSERT_EQ(wizard.TabTracciato.size(), 4u);
    EXPECT_EQ(wizard.GridTabella->item(2, 1)->text(), QStringLiteral("DECIMAL(18,2)"));

    wizard.storeCell(0, TWConvFileForm::ColOrigine, rowOf(QStringLiteral("COD"), wizard));
    wizard.storeCell(1, TWConvFileForm::ColOrigine, rowOf(QStringLiteral("DESCR"), wizard));
    wizard.storeCell(1, TWConvFileForm::ColNoBlankIni, true);
    wizard.storeCell(1, TWConvFileForm::ColIntervalloInizio, 1);
    wizard.storeCell(1, TWConvFileForm::ColIntervalloFine, 500); // clamped to the 40 characters
    wizard.storeCell(1, TWConvFileForm::ColUltimaParolaIntera, true);
    wizard.storeCell(2, TWConvFileForm::ColOrigine, rowOf(QStringLiteral("PREZZO"), wizard));
    wizard.storeCell(2, TWConvFileForm::ColIntervalloInizio, 3); // a number takes no range
    wizard.storeCell(3, TWConvFileForm::ColCostante, QStringLiteral("01/01/2024"));
    wizard.storeCell(3, TWConvFileForm::ColOrigine, 1); // disabled under a constant

    EXPECT_TRUE(wizard.TabOrigine[1].Usato);
    EXPECT_EQ(wizard.GridTracciato->item(3, TWConvFileForm::ColCostante)->background().color(), QColor(0xFF, 0xFF, 0x80));
    EXPECT_TRUE(wizard.GridTracciato->item(2, TWConvFileForm::ColIntervalloInizio)->text().isEmpty());

    wizard.ButtonOkClick();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(wizard.Risultato(), (QStringList{"[CSV]", "1;CODICE;1;A;", "2;DESCRIZIONE;2[NOBLANKINI](1,40)UPI;A;",
                                               "3;PREZZO;3;N;", "4;DATACARICO;'01/01/2024';D;"}));
}

TEST_F(WizardWindow, useMarksFollowTheChoice)
{
    TWConvFileForm wizard(nullptr, false, m_source, m_context.get());
    EXPECT_EQ(wizard.TabOrigine[1].Origine, QStringLiteral("Colonna 01"));
    wizard.CaricaTabella(QStringLiteral("ARTICOLI"));
    wizard.storeCell(0, TWConvFileForm::ColOrigine, 2);
    EXPECT_TRUE(wizard.TabOrigine[2].Usato);
    wizard.storeCell(0, TWConvFileForm::ColOrigine, 3);
    EXPECT_FALSE(wizard.TabOrigine[2].Usato);
    EXPECT_TRUE(wizard.TabOrigine[3].Usato);
    wizard.storeCell(0, TWConvFileForm::ColOrigine, 0);
    EXPECT_FALSE(wizard.TabOrigine[3].Usato);
    // Another table discards the layout and the marks.
    wizard.storeCell(1, TWConvFileForm::ColOrigine, 1);
    wizard.CaricaTabella(QStringLiteral("ARTICOLI"));
    EXPECT_FALSE(wizard.TabOrigine[1].Usato);
    EXPECT_EQ(wizard.TabTracciato[1].Origine, QStringLiteral("No origine"));
}

TEST_F(WizardWindow, emptyLayoutIsRefused)
{
    TWConvFileForm wizard(nullptr, true, m_source, m_context.get());
    wizard.ButtonOkClick();
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Nessun tracciato impostato")});
    EXPECT_NE(wizard.result(), QDialog::Accepted);
}

TEST_F(WizardWindow, guidedCompositionWritesTheDefinitionWithoutFinalLineEnd)
{
    TConvFileForm form(m_context.get(), 0);
    form.EditFileOrigine->setText(m_source);
    form.CheckSaltaRiga->setChecked(true);
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) { choice->ButtonOk->click(); });
    whenShown<TWConvFileForm>([](TWConvFileForm *wizard) {
        wizard->ComboTabellaSelect(wizard->ComboTabella->findText(QStringLiteral("ARTICOLI")));
        wizard->storeCell(0, TWConvFileForm::ColOrigine, 1);
        wizard->ButtonOk->click();
    });
    form.ButtonComponiScriptClick();
    const QString conf = m_dir.file(QStringLiteral("listino.conf"));
    EXPECT_EQ(readBytes(conf), "[CSV]\r\n1;CODICE;1;A;\r\n2;DESCRIZIONE;0;A;\r\n3;PREZZO;0;N;\r\n4;DATACARICO;0;D;");
    EXPECT_EQ(m_services.shell().openedFiles(), QStringList{conf});
}

TEST_F(WizardWindow, composedDefinitionOpensInOurEditorWithoutADesktopProgram)
{
    m_services.shell().setResult(false);
    TConvFileForm form(m_context.get(), 0);
    form.EditFileOrigine->setText(m_source);
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) { choice->ButtonOk->click(); });
    whenShown<TWConvFileForm>([](TWConvFileForm *wizard) {
        wizard->ComboTabellaSelect(wizard->ComboTabella->findText(QStringLiteral("ARTICOLI")));
        wizard->ButtonOk->click();
    });
    QString shown;
    whenShown<platform::TextEditorWindow>([&](platform::TextEditorWindow *editor) {
        shown = editor->MemoTesto->toPlainText();
        editor->ButtonChiudi->click();
    });
    form.ButtonComponiScriptClick();
    EXPECT_EQ(shown, QStringLiteral("[CSV]\n1;CODICE;0;A;\n2;DESCRIZIONE;0;A;\n3;PREZZO;0;N;\n4;DATACARICO;0;D;"));
}

TEST_F(WizardWindow, definitionThatCannotBeWrittenIsReportedAndNotOpened)
{
    const QString conf = m_dir.file(QStringLiteral("listino.conf"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("listino.conf")));
    TConvFileForm form(m_context.get(), 0);
    form.EditFileOrigine->setText(m_source);
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) { choice->ButtonOk->click(); });
    whenShown<TWConvFileForm>([](TWConvFileForm *wizard) {
        wizard->ComboTabellaSelect(wizard->ComboTabella->findText(QStringLiteral("ARTICOLI")));
        wizard->ButtonOk->click();
    });
    form.ButtonComponiScriptClick();
    const auto messages = m_services.messages().messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(messages[0].text.startsWith(texts::definitionUnwritable(conf, QString()))) << messages[0].text.toStdString();
    EXPECT_TRUE(m_services.shell().openedFiles().isEmpty());
}

// Enter in a cell of the layout: the cell's own editor where it has one,
// nothing elsewhere, and never a button of the window.
struct EnterCase
{
    const char *name;
    int row;
    int column;
    bool startStored;       // row 1 gets a range start first
    const char *editorKind; // "QSpinBox", "QComboBox" or nullptr for none
};
void PrintTo(const EnterCase &c, std::ostream *os) { *os << c.name; }

class WizardEnter : public WizardWindow, public ::testing::WithParamInterface<EnterCase> {};
TEST_P(WizardEnter, opensTheEditorOfTheCell)
{
    const EnterCase &c = GetParam();
    TWConvFileForm wizard(nullptr, true, m_source, m_context.get());
    wizard.CaricaTabella(QStringLiteral("ARTICOLI"));
    // Row 1 (DESCRIZIONE, text) takes its value from a source field: ranged.
    wizard.storeCell(1, TWConvFileForm::ColOrigine, rowOf(QStringLiteral("DESCR"), wizard));
    if (c.startStored)
        wizard.storeCell(1, TWConvFileForm::ColIntervalloInizio, 5);
    wizard.show();
    wizard.GridTracciato->setFocus();
    wizard.GridTracciato->setCurrentCell(c.row, c.column);

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(wizard.GridTracciato, &enter);

    QWidget *editor = nullptr;
    for (QWidget *w : wizard.GridTracciato->viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            editor = w;
    if (c.editorKind) {
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->inherits(c.editorKind)) << editor->metaObject()->className();
    } else {
        EXPECT_EQ(editor, nullptr) << editor->metaObject()->className();
    }
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_NE(wizard.result(), QDialog::Accepted);
    EXPECT_TRUE(m_services.messages().messages().isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Cases, WizardEnter, ::testing::Values(
    EnterCase{"rangeStartOfARangedRow", 1, TWConvFileForm::ColIntervalloInizio, false, "QSpinBox"},
    EnterCase{"rangeLengthAfterAStart", 1, TWConvFileForm::ColIntervalloFine, true, "QSpinBox"},
    EnterCase{"rangeLengthWithoutAStart", 1, TWConvFileForm::ColIntervalloFine, false, nullptr},
    EnterCase{"rangeOfARowWithoutSource", 0, TWConvFileForm::ColIntervalloInizio, false, nullptr},
    EnterCase{"typeList", 0, TWConvFileForm::ColTipo, false, "QComboBox"},
    EnterCase{"destinationName", 0, TWConvFileForm::ColDestinazione, false, nullptr}));

TEST_F(WizardWindow, enterInTheNumberEditorStoresTheValueAndReturnsToTheGrid)
{
    TWConvFileForm wizard(nullptr, true, m_source, m_context.get());
    wizard.CaricaTabella(QStringLiteral("ARTICOLI"));
    wizard.storeCell(1, TWConvFileForm::ColOrigine, rowOf(QStringLiteral("DESCR"), wizard));
    wizard.show();
    wizard.GridTracciato->setCurrentCell(1, TWConvFileForm::ColIntervalloInizio);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(wizard.GridTracciato, &enter);
    auto *spin = wizard.GridTracciato->viewport()->findChild<QSpinBox *>();
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->maximum(), 40);
    spin->setValue(7);
    QKeyEvent confirm(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(spin, &confirm);
    QApplication::processEvents(); // the delegate commits on the next turn of the loop
    EXPECT_EQ(wizard.TabTracciato[1].IntervalloInizio, 7);
    EXPECT_EQ(wizard.GridTracciato->item(1, TWConvFileForm::ColIntervalloInizio)->text(), QStringLiteral("7"));
    EXPECT_TRUE(spin->isHidden());
    EXPECT_EQ(wizard.GridTracciato->currentColumn(), int(TWConvFileForm::ColIntervalloInizio));
}

TEST_F(WizardWindow, enterInTheConstantEditorStoresItAndPressesNoButton)
{
    TWConvFileForm wizard(nullptr, true, m_source, m_context.get());
    wizard.CaricaTabella(QStringLiteral("ARTICOLI"));
    int clicks = 0;
    for (QPushButton *button : {wizard.ButtonTabella, wizard.ButtonOk, wizard.ButtonCancel})
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    wizard.show();
    wizard.GridTracciato->setCurrentCell(0, TWConvFileForm::ColCostante);
    wizard.GridTracciato->edit(wizard.GridTracciato->currentIndex());
    auto *edit = wizard.GridTracciato->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("X"));
    QKeyEvent confirm(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &confirm);
    QApplication::processEvents();
    EXPECT_EQ(wizard.TabTracciato[0].Costante, QStringLiteral("X"));
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(wizard.isVisible());
}

TEST_F(WizardWindow, cancelledWizardLeavesTheDefinitionAlone)
{
    const QString conf = m_dir.file(QStringLiteral("listino.conf"));
    writeBytes(conf, "[CSV]\r\n");
    TConvFileForm form(m_context.get(), 0);
    form.EditFileOrigine->setText(m_source);
    whenShown<TSceltaWConvFileForm>([](TSceltaWConvFileForm *choice) { choice->ButtonOk->click(); });
    whenShown<TWConvFileForm>([](TWConvFileForm *wizard) { wizard->ButtonCancel->click(); });
    form.ButtonComponiScriptClick();
    EXPECT_EQ(readBytes(conf), "[CSV]\r\n");
    EXPECT_TRUE(m_services.shell().openedFiles().isEmpty());
}

} // namespace
