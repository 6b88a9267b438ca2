// The runs of the maintenance windows let input through between their rows.
// Whatever the user presses or closes meanwhile must leave the run, its
// windows and its destination whole.

#include "WindowFixture.h"
#include "maintenance/SincroDB.h"
#include "maintenance/ui/RunGuard.h"
#include "maintenance/ui/TAggFDBFDBForm.h"
#include "maintenance/ui/TAggSincroDBFastForm.h"
#include "maintenance/ui/TCancellaTabelleTmpForm.h"
#include "maintenance/ui/TMessaggioForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;
using platform::Answer;

namespace {

void pressEscape(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

// ---- the guard itself ---------------------------------------------------------------

TEST(RunGuardTest, disablesForItsLifeAndGivesBackEachControlsOwnState)
{
    QWidget window;
    auto *container = new QWidget(&window);
    auto *inside = new QPushButton(container);
    auto *off = new QPushButton(&window);
    auto *on = new QPushButton(&window);
    off->setEnabled(false);
    inside->setEnabled(false);
    bool running = false;
    {
        RunGuard guard({container, off, on, on}, &running);
        EXPECT_TRUE(running);
        EXPECT_FALSE(container->isEnabled());
        EXPECT_FALSE(on->isEnabled());
        {
            RunGuard nested({on});
            EXPECT_FALSE(on->isEnabled());
        }
        EXPECT_FALSE(on->isEnabled()); // the outer guard still holds it
    }
    EXPECT_FALSE(running);
    EXPECT_TRUE(container->isEnabled());
    EXPECT_FALSE(inside->isEnabled()); // disabled by its owner before the run
    EXPECT_FALSE(off->isEnabled());
    EXPECT_TRUE(on->isEnabled());
}

TEST(RunGuardTest, heldWindowsStayOpenAndCallTheirFunctionInstead)
{
    QDialog dialog;
    dialog.show();
    int attempts = 0;
    {
        RunGuard guard(std::vector<QWidget *>{});
        guard.holdOpen(&dialog, [&] { ++attempts; });
        EXPECT_FALSE(dialog.close());
        pressEscape(&dialog);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(attempts, 2);
    }
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(attempts, 2);
}

// ---- update script run ----------------------------------------------------------------

// Enough rows that the run, sending them in blocks, is still going when the
// window first lets events through (its keep-alive comes every 50 ms).
constexpr int kRighe = 30000;

const char *kArticoli = "CREATE TABLE ARTICOLI (CODICE INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                        "PREZZO NUMERIC(15,2))";
const char *kDump = "SELECT CODICE || '|' || DESCRIZIONE || '|' || PREZZO FROM ARTICOLI ORDER BY CODICE";

QString fillArticoli(int rows)
{
    return QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                          "INSERT INTO ARTICOLI VALUES (:I, 'Articolo ' || :I, :I * 1.25); I = I + 1; END END")
        .arg(rows);
}

struct UpdateRunCase
{
    const char *name;
    bool interrupt;
};

class UpdateScriptRun : public WindowTest, public ::testing::WithParamInterface<UpdateRunCase>
{
};

TEST_P(UpdateScriptRun, controlsPressedMidRunLeaveTheDestinationWhole)
{
    const bool interrupt = GetParam().interrupt;
    exec(kArticoli);
    exec(fillArticoli(kRighe));
    execOn(m_dest, kArticoli);

    int added = -1;
    {
        TAggFDBFDBForm form(m_context.get(), 1);
        form.logModale = false;
        form.ButtonNuovo->click();
        form.EditTitolo->setText("Articoli");
        form.EditTabellaFDB1->setText("ARTICOLI");
        form.EditArchivioTabellaFDB2->setText(m_destPath);
        form.EditTabellaFDB2->setText("ARTICOLI");
        form.MemoScript->setPlainText("CODICE=CODICE\nDESCRIZIONE=DESCRIZIONE\nPREZZO=PREZZO\n(AGGIUNGI=SI)");
        form.ButtonMemorizza->click();
        ASSERT_FALSE(form.editing());
        form.show();
        m_services.messages().clear();

        TMemoForm *memo = form.memo();
        bool pressed = false;
        QTimer::singleShot(0, &form, [&] {
            pressed = true;
            m_services.messages().clear(); // "Eseguire l'elaborazione?" is behind
            EXPECT_TRUE(form.inElaborazione());
            EXPECT_LT(form.ProgressElab->value(), 100); // really in the middle of the rows
            EXPECT_TRUE(memo->isVisible());

            // Check, run again, edit, save, cancel, delete, reload, help, close:
            // none of them answers, so none of them ran.
            for (QPushButton *b : {form.ButtonControllo, form.ButtonElabora, form.ButtonNuovo, form.ButtonEdit,
                                   form.ButtonMemorizza, form.ButtonAnnulla, form.ButtonElimina, form.ButtonAggiorna,
                                   form.ButtonChiudi, form.ButtonHelp, memo->ButtonChiudi}) {
                EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
                if (b != form.ButtonHelp || !b->isEnabled()) // a modal help would wait for a person
                    b->click();
            }
            for (QWidget *w : std::initializer_list<QWidget *>{form.GridAgg, form.CheckControllo, form.EditTitolo,
                                                                form.MemoScript, form.ButtonTabellaFDB2})
                EXPECT_FALSE(w->isEnabled());
            // The same handlers called from code do nothing either.
            form.ButtonControlloClick();
            form.ButtonElaboraClick();
            form.ButtonTabellaFDB2Click();
            EXPECT_TRUE(texts().isEmpty()) << texts().join(" / ").toStdString();

            // Closing either window, by its caption or by Escape, asks to interrupt.
            for (int i = 0; i < 4; ++i)
                m_services.messages().queueAnswer(Answer::No);
            form.close();
            pressEscape(&form);
            memo->close();
            pressEscape(memo);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(memo->isVisible());
            EXPECT_EQ(texts(), QStringList(4, "Interrompere l'elaborazione?"));
            EXPECT_FALSE(memo->interruzioneRichiesta());

            EXPECT_TRUE(memo->ButtonAnnulla->isEnabled());
            if (interrupt)
                memo->ButtonAnnulla->click(); // Yes
        });
        form.ButtonElabora->click();
        ASSERT_TRUE(pressed);

        const QString log = memo->Memo->toPlainText();
        const QRegularExpressionMatch m = QRegularExpression("Record aggiunti: (\\d+)").match(log);
        ASSERT_TRUE(m.hasMatch()) << log.toStdString();
        added = m.captured(1).toInt();
        EXPECT_TRUE(log.contains(interrupt ? "Elaborazione interrotta" : "Elaborazione terminata"))
            << log.toStdString();
        EXPECT_TRUE(log.contains("Record falliti: 0"));

        // After the run everything is back, and the windows close again.
        EXPECT_FALSE(form.inElaborazione());
        for (QPushButton *b : {form.ButtonControllo, form.ButtonElabora, form.ButtonNuovo, form.ButtonEdit,
                               form.ButtonElimina, form.ButtonChiudi, form.ButtonHelp, memo->ButtonChiudi})
            EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
        EXPECT_TRUE(form.GridAgg->isEnabled());
        EXPECT_FALSE(form.EditTitolo->isEnabled()); // browsing: fields stay read-only
        EXPECT_FALSE(memo->ButtonAnnulla->isEnabled());
        EXPECT_TRUE(form.close());
    }

    // Row by row: every row the run counted is in the destination exactly as
    // in the origin, and nothing else is.
    const QStringList origin = column(att(), kDump);
    const QStringList dest = column(m_dest, kDump);
    if (interrupt) {
        EXPECT_GT(added, 0);
        EXPECT_LT(added, kRighe);
    } else {
        EXPECT_EQ(added, kRighe);
    }
    EXPECT_EQ(dest.size(), added);
    const QSet<QString> originRows(origin.begin(), origin.end());
    for (const QString &row : dest) {
        EXPECT_TRUE(originRows.contains(row)) << row.toStdString();
    }
    if (!interrupt) {
        EXPECT_EQ(dest, origin);
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, UpdateScriptRun,
                         ::testing::Values(UpdateRunCase{"toTheEnd", false}, UpdateRunCase{"interrupted", true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TMemoFormLayout, longLinesWrapInsteadOfScrollingSideways)
{
    platform::ScopedServices services;
    TMemoForm memo(QStringLiteral("DEMO"));
    memo.resize(400, 300);
    memo.show();
    QString statement = QStringLiteral("INSERT INTO ARTICOLI (CODICE,DESCRIZIONE) VALUES(");
    for (int i = 0; i < 60; ++i)
        statement += QStringLiteral("'valore %1',").arg(i);
    memo.aggiungiRiga(statement);
    memo.aggiungiRiga(QString(500, QLatin1Char('X'))); // no blank to wrap at
    QCoreApplication::processEvents();
    EXPECT_EQ(memo.Memo->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(memo.Memo->document()->firstBlock().layout()->lineCount(), 1);
}

// ---- synchronisation run ---------------------------------------------------------------

TEST_F(WindowTest, synchronisationWindowsStayOpenAndDisabledDuringTheRun)
{
    const char *ddl = "CREATE TABLE MOVIMENTI (ID INTEGER NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), IMPORTO "
                      "NUMERIC(15,2))";
    exec(ddl);
    execOn(m_dest, ddl);
    exec("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 60000) DO BEGIN INSERT INTO MOVIMENTI VALUES "
         "(:I, 'Movimento ' || :I, :I * 0.5); I = I + 1; END END");

    TAggSincroDBFastForm form(m_context.get(), 1);
    form.setOpener(testOpener());
    form.ButtonNuovo->click();
    form.EditTitolo->setText("Movimenti");
    form.EditDBOrigine->setText(dbPath());
    form.EditTabOrigine->setText("MOVIMENTI");
    form.EditDBDestinazione->setText(m_destPath);
    form.EditTabDestinazione->setText("MOVIMENTI");
    form.ButtonMemorizza->click();
    ASSERT_FALSE(form.editing());
    form.show();
    m_services.messages().clear();

    // Every time the run lets input through: the window's controls do nothing
    // and no window of the run can be closed.
    QStringList phases;
    QTimer poke;
    QObject::connect(&poke, &QTimer::timeout, &form, [&] {
        EXPECT_TRUE(form.inElaborazione());
        const int before = int(texts().size());
        for (QPushButton *b : {form.ButtonElabora, form.ButtonNuovo, form.ButtonEdit, form.ButtonMemorizza,
                               form.ButtonAnnulla, form.ButtonElimina, form.ButtonAggiorna, form.ButtonChiudi}) {
            EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
            b->click();
        }
        EXPECT_FALSE(form.GridSto->isEnabled());
        form.close();
        pressEscape(&form);
        EXPECT_TRUE(form.isVisible());
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto *elab = qobject_cast<TAggSincroDBFastElabForm *>(w)) {
                elab->close();
                pressEscape(elab);
                EXPECT_TRUE(elab->isVisible());
                if (!phases.contains("copia"))
                    phases << "copia";
            } else if (auto *msg = qobject_cast<TMessaggioForm *>(w)) {
                msg->close();
                pressEscape(msg);
                EXPECT_TRUE(msg->isVisible());
                if (!phases.contains("analisi"))
                    phases << "analisi";
            }
        }
        EXPECT_EQ(int(texts().size()), before);
    });
    poke.start(0);
    form.ButtonElabora->click();
    poke.stop();

    EXPECT_EQ(phases, (QStringList{"analisi", "copia"}));
    EXPECT_EQ(form.ultimoEsito(), EsitoSincro::Completata);
    EXPECT_EQ(texts(), (QStringList{"Trovate 1 elaborazioni da eseguire: avviare l'esecuzione?",
                                    "Elaborazione completata"}));
    EXPECT_TRUE(form.ButtonElabora->isEnabled());
    EXPECT_TRUE(form.ButtonChiudi->isEnabled());
    EXPECT_TRUE(form.GridSto->isEnabled());
    EXPECT_TRUE(form.close());

    const QString dump = "SELECT ID || '|' || DESCRIZIONE || '|' || IMPORTO FROM MOVIMENTI ORDER BY ID";
    EXPECT_EQ(column(m_dest, dump), column(att(), dump));
}

// ---- temporary-table cleanup -----------------------------------------------------------

TEST_F(WindowTest, cleanupOffersOnlyItsStopButtonDuringARun)
{
    for (const char *t : {"TMP_1", "TMP_2", "TMP_3", "TMP_4"})
        execOn(m_context->database(), QStringLiteral("CREATE TABLE %1 (X INTEGER)").arg(QString::fromLatin1(t)));
    TCancellaTabelleTmpForm form(m_context.get());
    form.show();
    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.inElaborazione());
        EXPECT_FALSE(form.ButtonProcedi->isEnabled());
        EXPECT_FALSE(form.ButtonChiudi->isEnabled());
        EXPECT_TRUE(form.ButtonFerma->isEnabled());
        form.ButtonProcedi->click();
        form.ButtonChiudi->click();
        // Closing asks to stop: No goes on, Yes stops before the next table.
        m_services.messages().queueAnswer(Answer::No);
        form.close();
        EXPECT_TRUE(form.isVisible());
        pressEscape(&form);
        EXPECT_TRUE(form.isVisible());
    });
    form.ButtonProcedi->click();
    EXPECT_EQ(texts(), (QStringList{"Avviare l'elaborazione?", "Fermare l'elaborazione in corso?",
                                    "Fermare l'elaborazione in corso?", "Elaborazione fermata"}));
    EXPECT_EQ(form.LabelNumeroTotale->text(), "4");
    EXPECT_TRUE(form.ButtonProcedi->isEnabled());
    EXPECT_TRUE(form.ButtonChiudi->isEnabled());
    EXPECT_TRUE(form.close());
}

struct CaptionCase
{
    const char *name;
    const char *ditta;
};

class CleanupCaption : public WindowTest, public ::testing::WithParamInterface<CaptionCase>
{
};

TEST_P(CleanupCaption, hasRoomForTheWholeCaption)
{
    m_context->NomeProgetto = QString::fromUtf8(GetParam().ditta);
    TCancellaTabelleTmpForm form(m_context.get());
    form.show();
    QCoreApplication::processEvents();
    const QFontMetrics fm(QApplication::font("QMdiSubWindowTitleBar"));
    // The text, and room for an icon and three caption buttons besides.
    EXPECT_GE(form.width(), fm.horizontalAdvance(form.windowTitle()) + 4 * fm.height())
        << form.windowTitle().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ditte, CleanupCaption,
                         ::testing::Values(CaptionCase{"short", "DEMO"}, CaptionCase{"number", "0001"},
                                           CaptionCase{"long", "COMMERCIALE ALTOPIANO ASIAGO SRL"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
