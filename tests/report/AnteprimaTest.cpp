// The preview window offscreen: pages drawn as they are shown, what it
// holds bounded by its cache whatever is looked at, runs with their
// progress and "Interrompi" while the other buttons wait, an interrupted
// page change or PDF leaving things as they were.

#include "ReportProva.h"

#include "output/report/LayoutLst.h"
#include "output/report/ui/FinestraAnteprima.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::output::report;
using vardof::test::pagineDelPdf;
using vardof::test::Righe;
using vardof::test::TempDir;

namespace {

class Anteprima : public ::testing::Test
{
protected:
    Anteprima()
    {
        OpzioniLayoutGriglia o;
        o.numeraPagine = true;
        m_modello = *LeggiLayout(CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 200}}, o));
    }
    std::unique_ptr<FinestraAnteprima> apri(int righe)
    {
        m_righe = std::make_unique<Righe>(righe);
        return std::make_unique<FinestraAnteprima>(
            nullptr, QStringLiteral("Prova"), m_modello,
            [this](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
                DatiStampa d;
                d.pagineTotali = totali;
                return StampaRighe(m_modello, *m_righe, d, misura, consegna, e, n);
            });
    }
    QPushButton *bottone(FinestraAnteprima &a, const char *nome)
    {
        return a.findChild<QPushButton *>(QLatin1String(nome));
    }

    platform::ScopedServices m_servizi;
    ModelloReport m_modello;
    std::unique_ptr<Righe> m_righe;
};

TEST_F(Anteprima, holdsAFewPagesWhateverIsLookedAt)
{
    auto a = apri(3000);
    ASSERT_TRUE(a->errore().isEmpty()) << a->errore().toStdString();
    ASSERT_GT(a->pagine(), 30);
    EXPECT_EQ(a->paginaCorrente(), 1);
    EXPECT_FALSE(a->immagine().isNull());
    const QSize dimensione = a->immagine().size();
    // Forward through every page, then a few jumps.
    for (int n = 2; n <= a->pagine(); ++n) {
        bottone(*a, "ButtonAvanti")->click();
        ASSERT_EQ(a->paginaCorrente(), n);
        ASSERT_LE(a->cache().tenute(), a->cache().capienza());
        ASSERT_EQ(a->immagine().size(), dimensione);
    }
    // Forward paging runs the print once per cache's worth of pages.
    EXPECT_LE(a->cache().corse(), a->pagine() / (a->cache().capienza() - 1) + 2);
    bottone(*a, "ButtonPrima")->click();
    EXPECT_EQ(a->paginaCorrente(), 1);
    bottone(*a, "ButtonUltima")->click();
    EXPECT_EQ(a->paginaCorrente(), a->pagine());
    EXPECT_LE(a->cache().tenute(), a->cache().capienza());
    EXPECT_EQ(a->findChild<QLabel *>(QStringLiteral("LabelPagina"))->text(),
              QStringLiteral("Pagina %1 di %1").arg(a->pagine()));
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
}

TEST_F(Anteprima, zoomDrawsTheSamePageLarger)
{
    auto a = apri(50);
    const QSize prima = a->immagine().size();
    bottone(*a, "ButtonZoomPiu")->click();
    EXPECT_EQ(a->paginaCorrente(), 1);
    EXPECT_GT(a->immagine().width(), prima.width());
    EXPECT_GT(a->immagine().height(), prima.height());
}

TEST_F(Anteprima, aRunDisablesTheOtherButtonsAndCanBeInterrupted)
{
    auto a = apri(3000);
    ASSERT_GT(a->pagine(), 30);
    int controlli = 0;
    bool bottoniSpenti = true, interrompiAcceso = true;
    a->controllo = [&] {
        ++controlli;
        for (const char *n : {"ButtonAvanti", "ButtonUltima", "ButtonStampa", "ButtonSalvaPdf", "ButtonChiudi"})
            bottoniSpenti = bottoniSpenti && !bottone(*a, n)->isEnabled();
        interrompiAcceso = interrompiAcceso && bottone(*a, "ButtonInterrompi")->isEnabled()
                           && !bottone(*a, "ButtonInterrompi")->isHidden();
        EXPECT_TRUE(a->inCorso());
        if (controlli == 3)
            a->interrompi();
    };
    EXPECT_FALSE(a->vaiAPagina(a->pagine()));
    EXPECT_EQ(controlli, 3);
    EXPECT_TRUE(bottoniSpenti);
    EXPECT_TRUE(interrompiAcceso);
    // As it was: the first page shown, the buttons back, nothing told.
    EXPECT_EQ(a->paginaCorrente(), 1);
    EXPECT_FALSE(a->inCorso());
    EXPECT_TRUE(bottone(*a, "ButtonUltima")->isEnabled());
    EXPECT_TRUE(bottone(*a, "ButtonInterrompi")->isHidden());
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty()) << m_servizi.messages().texts().join(QLatin1Char('|')).toStdString();
    // Not interrupted, the same page comes.
    a->controllo = {};
    EXPECT_TRUE(a->vaiAPagina(a->pagine()));
}

TEST_F(Anteprima, anInterruptedPdfLeavesNoFile)
{
    TempDir tmp;
    auto a = apri(3000);
    int controlli = 0;
    a->controllo = [&] {
        if (++controlli == 5)
            a->interrompi();
    };
    EXPECT_FALSE(a->salvaPdf(tmp.file(QStringLiteral("stampa.pdf"))));
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
    EXPECT_TRUE(bottone(*a, "ButtonSalvaPdf")->isEnabled());
}

TEST_F(Anteprima, thePdfHasThePagesShown)
{
    TempDir tmp;
    auto a = apri(500);
    const QString file = tmp.file(QStringLiteral("stampa.pdf"));
    ASSERT_TRUE(a->salvaPdf(file));
    EXPECT_EQ(pagineDelPdf(file), a->pagine());
}

// "Stampa..." to a file: every page, or, stopped, no file and the older one
// as it was.
TEST_F(Anteprima, printsEveryPageToAFileOrLeavesTheOlderOne)
{
    TempDir tmp;
    {
        QFile f(tmp.file(QStringLiteral("interrotta.pdf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precedente");
    }
    auto a = apri(1500);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(tmp.file(QStringLiteral("stampante.pdf")));
        ASSERT_TRUE(a->stampaSu(printer)) << a->errore().toStdString();
    }
    EXPECT_EQ(pagineDelPdf(tmp.file(QStringLiteral("stampante.pdf"))), a->pagine());

    int controlli = 0;
    a->controllo = [&] {
        if (++controlli == 4)
            a->interrompi();
    };
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(tmp.file(QStringLiteral("interrotta.pdf")));
    EXPECT_FALSE(a->stampaSu(printer));
    EXPECT_EQ(a->errore(), QStringLiteral("Stampa interrotta"));
    QFile f(tmp.file(QStringLiteral("interrotta.pdf")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("precedente"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 2);
    EXPECT_FALSE(a->inCorso());
    EXPECT_TRUE(bottone(*a, "ButtonStampa")->isEnabled());
}

// The count runs with the window up: "Interrompi" stops it, and the opener
// reads the interruption rather than a fault.
TEST_F(Anteprima, theCountCanBeStoppedFromTheWindow)
{
    bool suSchermo = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *a = qobject_cast<FinestraAnteprima *>(w)) {
                suSchermo = a->isVisible() && a->inCorso();
                a->findChild<QPushButton *>(QStringLiteral("ButtonInterrompi"))->click();
            }
    });
    m_servizi.messages().queueAnswer(platform::Answer::Yes); // "Interrompere la stampa?"
    auto a = apri(200000);
    EXPECT_TRUE(suSchermo);
    EXPECT_EQ(a->errore(), QStringLiteral("Stampa interrotta"));
    EXPECT_EQ(a->pagine(), 0);
    EXPECT_TRUE(a->isHidden());
    EXPECT_EQ(m_servizi.messages().texts(), QStringList{QStringLiteral("Interrompere la stampa?")});
}

TEST_F(Anteprima, closingDuringARunAsksItToStop)
{
    auto a = apri(3000);
    int chiusa = 0;
    QObject::connect(a.get(), &QDialog::finished, [&] { ++chiusa; });
    int controlli = 0;
    a->controllo = [&] {
        if (++controlli == 2)
            a->reject();
    };
    EXPECT_FALSE(a->vaiAPagina(a->pagine()));
    EXPECT_EQ(chiusa, 0); // the run stopped; closing is for the next click
    a->reject();
    EXPECT_EQ(chiusa, 1);
}

} // namespace
