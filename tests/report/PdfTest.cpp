// Reports drawn to PDF files: the pages come out as the paginator counted
// them, the file appears only when complete, a folder that takes no file
// is a failed run with the system's reason. VARDOF_REPORT_PDF_DIR keeps the
// files for a look (pdftoppm -png).

#include "ReportProva.h"

#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"
#include "platform/RunFeedback.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>

#include <gtest/gtest.h>

using namespace vardof::output::report;
using vardof::test::pagineDelPdf;
using vardof::test::Righe;
using vardof::test::TempDir;

namespace {

class Clienti : public Righe
{
public:
    using Righe::Righe;
    std::optional<ValoreReport> campo(const QString &nome) const override
    {
        const int i = corrente();
        if (nome == QLatin1String("RAGIONE_SOCIALE"))
            return ValoreReport::diTesto(QStringLiteral("Cliente numero %1 S.r.l.").arg(i));
        if (nome == QLatin1String("CITTA"))
            return ValoreReport::diTesto(i % 2 ? QStringLiteral("Bolzano") : QStringLiteral("Forlì"));
        if (nome == QLatin1String("NOTE"))
            return ValoreReport::diTesto(i % 10 == 0 ? QStringLiteral("Cliente storico, pagamento a 60 giorni data fattura fine mese")
                                                      : QString());
        if (nome == QLatin1String("FATTURATO"))
            return ValoreReport::diNumero(i * 1234.5, QString());
        return Righe::campo(nome);
    }
    QStringList campiConTotale() const override { return {QStringLiteral("FATTURATO")}; }
};

std::vector<CampoLayout> campi()
{
    return {CampoLayout{QStringLiteral("CODICE"), TipoCampo::Intero, 0, 6, 0},
            CampoLayout{QStringLiteral("RAGIONE_SOCIALE"), TipoCampo::Testo, 0, 30, 0},
            CampoLayout{QStringLiteral("CITTA"), TipoCampo::Testo, 0, 12, 0},
            CampoLayout{QStringLiteral("NOTE"), TipoCampo::Memo, 0, 20, 0},
            CampoLayout{QStringLiteral("FATTURATO"), TipoCampo::Decimale, 2, 12, 11}};
}

QString cartellaPdf(const TempDir &tmp)
{
    const QString d = qEnvironmentVariable("VARDOF_REPORT_PDF_DIR");
    return d.isEmpty() ? tmp.path() : d;
}

} // namespace

struct PdfCase
{
    const char *nome;
    bool orizzontale;
    bool memoEstesi;
    int record;
};

class PdfAvanzato : public ::testing::TestWithParam<PdfCase> {};

TEST_P(PdfAvanzato, writesThePagesThePaginatorCounted)
{
    TempDir tmp;
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = campi();
    o.orizzontale = GetParam().orizzontale;
    o.memoEstesi = GetParam().memoEstesi;
    QString errore;
    const auto m = LeggiLayout(CreaFileLSTAvanzato(o), &errore);
    ASSERT_TRUE(m) << errore.toStdString();
    const QString file = cartellaPdf(tmp) + QLatin1Char('/') + QLatin1String(GetParam().nome) + QStringLiteral(".pdf");
    int pagine = 0;
    Clienti clienti(GetParam().record);
    const DatiStampa dati{QStringLiteral("Ditta: DEMO Tabella: CLIENTI  Data: 10/12/2026"), QStringLiteral("Clienti attivi"), true};
    ASSERT_TRUE(ScriviPdf(file, *m,
                          [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                              return StampaAvanzata(*m, clienti, dati, misura, consegna, nullptr, e, n);
                          },
                          &errore, &pagine))
        << errore.toStdString();
    EXPECT_GE(pagine, 1);
    EXPECT_EQ(pagineDelPdf(file), pagine);
}

INSTANTIATE_TEST_SUITE_P(Cases, PdfAvanzato, ::testing::Values(
    PdfCase{"clienti_tre_pagine", false, false, 130},
    PdfCase{"clienti_orizzontale_memo", true, true, 60},
    PdfCase{"clienti_vuota", false, false, 0}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(PdfGriglia, printsTheGridLayoutWithPageNumbersOutOfTheTotal)
{
    TempDir tmp;
    OpzioniLayoutGriglia o;
    o.intestazione1 = QStringLiteral("Elenco clienti");
    o.intestazione2 = QStringLiteral("Stampa di prova");
    o.allineamentoIntestazione = 1;
    o.numeraPagine = true;
    o.forzaUltimaColonna = true;
    const auto m = LeggiLayout(CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 76},
                                                  {QStringLiteral("RAGIONE_SOCIALE"), QStringLiteral("Ragione sociale"), 378},
                                                  {QStringLiteral("CITTA"), QStringLiteral("Città"), 300}},
                                                 o));
    ASSERT_TRUE(m);
    const QString file = cartellaPdf(tmp) + QStringLiteral("/griglia.pdf");
    Clienti clienti(140);
    int pagine = 0;
    QString errore;
    ASSERT_TRUE(ScriviPdf(file, *m,
                          [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
                              DatiStampa d;
                              d.pagineTotali = totali;
                              return StampaRighe(*m, clienti, d, misura, consegna, e, n);
                          },
                          &errore, &pagine));
    EXPECT_EQ(pagineDelPdf(file), pagine);
}

struct DestinazioneCase
{
    const char *nome;
    const char *percorso; // relative to a temporary folder
    const char *motivo;   // part of the system's reason
};

class DestinazioniRifiutate : public ::testing::TestWithParam<DestinazioneCase> {};

TEST_P(DestinazioniRifiutate, failWithTheSystemsReasonAndLeaveNoFile)
{
    TempDir tmp;
    QDir(tmp.path()).mkdir(QStringLiteral("cartella"));
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = campi();
    const auto m = LeggiLayout(CreaFileLSTAvanzato(o));
    ASSERT_TRUE(m);
    const QString file = tmp.file(QLatin1String(GetParam().percorso));
    Clienti clienti(5);
    QString errore;
    EXPECT_FALSE(ScriviPdf(file, *m,
                           [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                               return StampaAvanzata(*m, clienti, {}, misura, consegna, nullptr, e, n);
                           },
                           &errore));
    EXPECT_TRUE(errore.contains(QLatin1String(GetParam().motivo), Qt::CaseInsensitive)) << errore.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DestinazioniRifiutate, ::testing::Values(
    DestinazioneCase{"cartella_mancante", "manca/stampa.pdf", "No such file"},
    DestinazioneCase{"destinazione_cartella", "cartella", "director"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(PdfAvanzato, aLayoutThatDoesNotSuitTheAnswerLeavesNoFile)
{
    TempDir tmp;
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = campi();
    o.campi.push_back(CampoLayout{QStringLiteral("PROVINCIA"), TipoCampo::Testo, 0, 2, 0});
    const auto m = LeggiLayout(CreaFileLSTAvanzato(o));
    ASSERT_TRUE(m);
    Clienti clienti(5);
    QString errore;
    EXPECT_FALSE(ScriviPdf(tmp.file(QStringLiteral("x.pdf")), *m,
                           [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                               return StampaAvanzata(*m, clienti, {}, misura, consegna, nullptr, e, n);
                           },
                           &errore));
    EXPECT_EQ(errore, QStringLiteral("campo o variabile PROVINCIA sconosciuto"));
    EXPECT_FALSE(QFile::exists(tmp.file(QStringLiteral("x.pdf"))));
}

// Stopped at the third page, with or without an older file in place: the
// older file keeps its bytes, no partial PDF is left beside it.
struct InterruzioneCase
{
    const char *nome;
    bool conFilePrecedente;
};

class PdfInterrotto : public ::testing::TestWithParam<InterruzioneCase> {};

TEST_P(PdfInterrotto, leavesNoPartialFileAndTheOlderOneUntouched)
{
    TempDir tmp;
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = campi();
    const auto m = LeggiLayout(CreaFileLSTAvanzato(o));
    ASSERT_TRUE(m);
    const QString file = tmp.file(QStringLiteral("stampa.pdf"));
    if (GetParam().conFilePrecedente) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precedente");
    }
    Clienti clienti(2000);
    vardof::platform::RecordingFeedback feedback;
    int pagineViste = 0;
    feedback.interruption = [&] { return ++pagineViste >= 3; };
    QString errore;
    EXPECT_FALSE(ScriviPdf(file, *m,
                           [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                               return StampaAvanzata(*m, clienti, {}, misura, consegna, nullptr, e, n);
                           },
                           &errore, nullptr, &feedback));
    EXPECT_EQ(errore, QStringLiteral("Stampa interrotta"));
    EXPECT_EQ(pagineViste, 3); // read once a page, stopped at the third
    const QStringList rimasti = QDir(tmp.path()).entryList(QDir::Files);
    if (GetParam().conFilePrecedente) {
        EXPECT_EQ(rimasti, QStringList{QStringLiteral("stampa.pdf")});
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("precedente"));
    } else {
        EXPECT_TRUE(rimasti.isEmpty()) << rimasti.join(QLatin1Char(',')).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PdfInterrotto, ::testing::Values(
    InterruzioneCase{"senza_file", false},
    InterruzioneCase{"sopra_un_file", true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(PdfAvanzato, aLongPrintTellsItsPagesAndProgress)
{
    TempDir tmp;
    OpzioniLayoutAvanzato o;
    o.campi = o.colonneGriglia = campi();
    const auto m = LeggiLayout(CreaFileLSTAvanzato(o));
    ASSERT_TRUE(m);
    Clienti clienti(1500);
    vardof::platform::RecordingFeedback feedback;
    QString errore;
    int pagine = 0;
    ASSERT_TRUE(ScriviPdf(tmp.file(QStringLiteral("lunga.pdf")), *m,
                          [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                              return StampaAvanzata(*m, clienti, {}, misura, consegna, nullptr, e, n);
                          },
                          &errore, &pagine, &feedback))
        << errore.toStdString();
    ASSERT_GE(pagine, 20);
    // A line every ten pages, in order.
    QStringList attese;
    for (int p = 10; p <= pagine; p += 10)
        attese << QStringLiteral("Pagine stampate: %1").arg(p);
    EXPECT_EQ(feedback.lines, attese);
    EXPECT_GT(feedback.keepAlives, 0);
    for (int i = 1; i < feedback.percents.size(); ++i)
        EXPECT_LE(feedback.percents[i - 1], feedback.percents[i]);
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
