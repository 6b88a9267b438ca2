// Chart categories through the point table on disk: long x values that
// share their first characters stay apart, written, read back and gathered,
// in a new table and in one already in the working folder.

#include "output/report/PuntiGrafico.h"
#include "output/report/SceltaGrafico.h"
#include "platform/LocalTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::output::report;

namespace {

// One record per x text, field A = the record's position.
class Testi : public SorgenteStampa
{
public:
    explicit Testi(QStringList x) : m_x(std::move(x)) {}
    bool apri(QString *) override { m_i = -1; return true; }
    bool prossimo() override { return ++m_i < m_x.size(); }
    std::optional<ValoreReport> campo(const QString &c) const override
    {
        if (c == QLatin1String("X")) return ValoreReport::diTesto(m_x.at(m_i));
        if (c == QLatin1String("A")) return ValoreReport::diNumero(m_i + 1, {});
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {}; }

private:
    QStringList m_x;
    qsizetype m_i = -1;
};

struct CategorieCase
{
    const char *nome;
    std::vector<const char *> x;
    bool originale;
    std::vector<const char *> categorie; // in the chart's order
    std::vector<double> valori;          // of field A, per category
};

void PrintTo(const CategorieCase &c, std::ostream *os)
{
    *os << c.nome;
}

class Categorie : public ::testing::TestWithParam<CategorieCase> {};

} // namespace

TEST_P(Categorie, keepTheirWholeTextThroughThePointTable)
{
    const CategorieCase &c = GetParam();
    QTemporaryDir lavoro;
    ASSERT_TRUE(lavoro.isValid());
    QStringList x;
    for (const char *t : c.x)
        x << QString::fromUtf8(t);

    // The first run creates the table, the second finds it in the folder.
    for (int giro = 0; giro < 2; ++giro) {
        SCOPED_TRACE(giro == 0 ? "new table" : "table already there");
        Testi risposta(x);
        TabellaPunti esito;
        QString errore;
        ASSERT_TRUE(ScriviTabellaPunti(risposta, QStringLiteral("X"), {QStringLiteral("A")}, c.originale,
                                       lavoro.path(), esito, &errore))
            << errore.toStdString();
        EXPECT_EQ(esito.nome, kGraftmp);
        const DatiGrafico d = raccogliPunti(esito.punti);
        QStringList attese;
        for (const char *t : c.categorie)
            attese << QString::fromUtf8(t);
        EXPECT_EQ(d.categorie, attese);
        ASSERT_EQ(d.serie, QStringList{QStringLiteral("A")});
        ASSERT_EQ(d.valori.at(0).size(), c.valori.size());
        for (size_t i = 0; i < c.valori.size(); ++i)
            EXPECT_EQ(d.valori[0][i], c.valori[i]) << "category " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Categorie, ::testing::Values(
    CategorieCase{"sortedLongTextsSharingTwentyCharacters",
                  {"Magazzino centrale di Verona", "Magazzino centrale di Vicenza"}, false,
                  {"Magazzino centrale di Verona", "Magazzino centrale di Vicenza"}, {1, 2}},
    CategorieCase{"originalOrderPrefixPlusLongText",
                  {"Magazzino centrale di Vicenza", "Magazzino centrale di Verona"}, true,
                  {"01.Magazzino centrale di Vicenza", "02.Magazzino centrale di Verona"}, {1, 2}},
    CategorieCase{"twentyAndTwentyOneCharacters",
                  {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRSTU"}, false,
                  {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRSTU"}, {1, 2}},
    CategorieCase{"accentedLongTexts",
                  {"Società cooperativa agricola nord", "Società cooperativa agricola sud"}, false,
                  {"Società cooperativa agricola nord", "Società cooperativa agricola sud"}, {1, 2}},
    CategorieCase{"equalLongTextsStillGatherIntoOne",
                  {"Magazzino centrale di Verona", "Magazzino centrale di Verona"}, false,
                  {"Magazzino centrale di Verona"}, {3}}),
    [](const ::testing::TestParamInfo<CategorieCase> &i) { return std::string(i.param.nome); });
