// The preview's pages: a page not held runs the print again only as far as
// needed and keeps a few pages around it, so what is held stays within the
// cache's size however many pages are looked at, in any order; the pages
// made again are the pages the whole run makes.

#include "ReportProva.h"

#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <gtest/gtest.h>

using namespace vardof::output::report;

using vardof::test::MisuraFissa;
using vardof::test::Righe;
using vardof::test::testi;

namespace {

// The grid layout with "Pag. x di y": the count is needed.
ModelloReport griglia(bool numeraPagine)
{
    OpzioniLayoutGriglia o;
    o.numeraPagine = numeraPagine;
    auto m = LeggiLayout(CreaLayoutGriglia({{QStringLiteral("CODICE"), QStringLiteral("Codice"), 200}}, o));
    EXPECT_TRUE(m);
    return m.value_or(ModelloReport{});
}

struct Giro
{
    const char *nome;
    bool numeraPagine;
    std::vector<int> pagine; // asked for in this order
};

class CachePagineGiri : public ::testing::TestWithParam<Giro> {};

TEST_P(CachePagineGiri, holdFewPagesAndGiveThePagesOfTheWholeRun)
{
    const ModelloReport m = griglia(GetParam().numeraPagine);
    Righe righe(2000);
    Corsa corsa = [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
        DatiStampa d;
        d.pagineTotali = totali;
        return StampaRighe(m, righe, d, misura, consegna, e, n);
    };
    MisuraFissa misura;

    // The whole run, for comparison.
    std::vector<QStringList> attese;
    int totale = 0;
    QString errore;
    ASSERT_TRUE(corsa(misura, [](PaginaReport &&) {}, 0, &errore, &totale));
    ASSERT_TRUE(corsa(misura, [&](PaginaReport &&p) { attese.push_back(testi(p)); }, totale, &errore, nullptr));
    ASSERT_GT(totale, 20);

    CachePagine cache(corsa, contaPagine(m), 5);
    ASSERT_TRUE(cache.conta(misura, &errore)) << errore.toStdString();
    EXPECT_EQ(cache.pagine(), totale);
    EXPECT_LE(cache.tenute(), 5);
    for (int n : GetParam().pagine) {
        const int pagina = n > 0 ? n : totale + n + 1; // negative: from the end
        const int lettePrima = righe.lette;
        const int corsePrima = cache.corse();
        const PaginaReport *p = cache.pagina(pagina, misura, &errore);
        ASSERT_TRUE(p) << pagina << ": " << errore.toStdString();
        EXPECT_EQ(p->numero, pagina);
        EXPECT_EQ(testi(*p), attese[size_t(pagina - 1)]) << pagina;
        EXPECT_LE(cache.tenute(), 5);
        // A run made for this page stopped soon after it: rows of at most
        // the cache's pages beyond it were read.
        if (cache.corse() > corsePrima)
            EXPECT_LE(righe.lette - lettePrima, (pagina + 5) * 2000 / totale + 100) << pagina;
        else
            EXPECT_EQ(righe.lette, lettePrima);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CachePagineGiri, ::testing::Values(
    Giro{"avanti", false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    Giro{"avanti_con_il_totale", true, {1, 2, 3, 4, 5, 6, 7, 8}},
    Giro{"salti", true, {1, -1, 10, 9, 11, -2, 1}},
    Giro{"indietro", false, {-1, -2, -3, -4, -5, -6, -7}}),
    [](const auto &info) { return std::string(info.param.nome); });

// A cache of five pages over 2000 rows, its pages counted.
class CachePagineContata : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(cache.conta(misura, nullptr)); }

    const ModelloReport m = griglia(false);
    Righe righe{2000};
    CachePagine cache{[this](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
                          return StampaRighe(m, righe, {}, misura, consegna, e, n);
                      },
                      false, 5};
    MisuraFissa misura;
};

TEST_F(CachePagineContata, aPageNearThoseHeldIsServedWithoutARun)
{
    EXPECT_EQ(cache.corse(), 1);
    for (int n = 1; n <= 5; ++n)
        ASSERT_TRUE(cache.pagina(n, misura, nullptr));
    EXPECT_EQ(cache.corse(), 1); // the counting run kept the first pages
    ASSERT_TRUE(cache.pagina(20, misura, nullptr));
    EXPECT_EQ(cache.corse(), 2);
    for (int n : {19, 21, 22, 23})
        ASSERT_TRUE(cache.pagina(n, misura, nullptr));
    EXPECT_EQ(cache.corse(), 2);
    EXPECT_FALSE(cache.pagina(0, misura, nullptr));
    EXPECT_FALSE(cache.pagina(cache.pagine() + 1, misura, nullptr));
}

TEST_F(CachePagineContata, anInterruptedRunHoldsNothingAndSaysSo)
{
    int viste = 0;
    QString errore;
    EXPECT_FALSE(cache.pagina(30, misura, &errore, [&] {
        if (++viste == 3)
            throw StampaInterrotta{};
    }));
    EXPECT_EQ(errore, QStringLiteral("Stampa interrotta"));
    EXPECT_EQ(cache.tenute(), 0);
    // Asked again, the page comes.
    EXPECT_TRUE(cache.pagina(30, misura, &errore));
}

} // namespace
