// Chart points: the order prefix, the passes per value field, the chart
// kind chosen from the type and the orientation, the title and axis texts.

#include "output/report/PuntiGrafico.h"

#include <gtest/gtest.h>

using namespace vardof::output::report;

namespace {

// Records: X = "Voce n", A = n, B = 10 n, C = empty.
class Voci : public SorgenteStampa
{
public:
    explicit Voci(int n) : m_n(n) {}
    bool apri(QString *) override { m_i = 0; ++aperture; return true; }
    bool prossimo() override { return ++m_i <= m_n; }
    std::optional<ValoreReport> campo(const QString &c) const override
    {
        if (c == QLatin1String("X")) return ValoreReport::diTesto(QStringLiteral("Voce %1").arg(m_i));
        if (c == QLatin1String("A")) return ValoreReport::diNumero(m_i, {});
        if (c == QLatin1String("B")) return ValoreReport::diNumero(10.0 * m_i, {});
        if (c == QLatin1String("C")) return ValoreReport::diTesto(QString());
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {}; }
    int aperture = 0;

private:
    int m_n, m_i = 0;
};

std::vector<PuntoGrafico> punti(int record, const QStringList &campi, bool originale, QString *errore = nullptr)
{
    Voci v(record);
    std::vector<PuntoGrafico> out;
    QString e;
    const bool ok = scriviPunti(v, QStringLiteral("X"), campi, originale, [&](const PuntoGrafico &p) {
        out.push_back(p);
        return true;
    }, &e);
    if (errore)
        *errore = ok ? QString() : e;
    return out;
}

} // namespace

struct PrefissoCase
{
    int record;
    int posizione;
    const char *atteso;
};

class Prefissi : public ::testing::TestWithParam<PrefissoCase> {};

TEST_P(Prefissi, padTheRecordPositionToTheDigitsOfTheAnswer)
{
    const auto p = punti(GetParam().record, {QStringLiteral("A")}, true);
    ASSERT_EQ(int(p.size()), GetParam().record);
    EXPECT_EQ(p[size_t(GetParam().posizione - 1)].descrizione1.toStdString(),
              std::string(GetParam().atteso) + "Voce " + std::to_string(GetParam().posizione));
}

INSTANTIATE_TEST_SUITE_P(Cases, Prefissi, ::testing::Values(
    PrefissoCase{150, 1, "001."}, PrefissoCase{150, 150, "150."}, PrefissoCase{99, 1, "01."},
    PrefissoCase{99, 99, "99."}, PrefissoCase{100, 7, "007."}, PrefissoCase{999, 999, "999."},
    PrefissoCase{1000, 1, "0001."}, PrefissoCase{1000, 1000, "1000."}, PrefissoCase{1, 1, "01."}));

TEST(PuntiGrafico, onePassPerValueFieldInListOrder)
{
    const auto p = punti(10, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, false);
    ASSERT_EQ(p.size(), 30u);
    EXPECT_EQ(p[0].descrizione1, QStringLiteral("Voce 1")); // "Ordina": the text unchanged
    EXPECT_EQ(p[9].descrizione2, QStringLiteral("A"));
    EXPECT_EQ(p[10].descrizione2, QStringLiteral("B"));
    EXPECT_EQ(p[10].valore, 10.0);
    EXPECT_EQ(p[29].descrizione2, QStringLiteral("C"));
    EXPECT_EQ(p[29].valore, 0.0); // an empty value counts as 0
}

TEST(PuntiGrafico, longCategoriesKeepTheirWholeText)
{
    const auto p = punti(1000, {QStringLiteral("A")}, true);
    EXPECT_EQ(p[999].descrizione1, QStringLiteral("1000.Voce 1000"));
    class Lunga : public Voci {
    public:
        Lunga() : Voci(1) {}
        std::optional<ValoreReport> campo(const QString &c) const override
        {
            return c == QLatin1String("X") ? std::optional(ValoreReport::diTesto(QStringLiteral("Una voce davvero troppo lunga")))
                                           : Voci::campo(c);
        }
    } l;
    std::vector<PuntoGrafico> out;
    ASSERT_TRUE(scriviPunti(l, QStringLiteral("X"), {QStringLiteral("A")}, true, [&](const PuntoGrafico &p) {
        out.push_back(p);
        return true;
    }, nullptr));
    EXPECT_EQ(out[0].descrizione1, QStringLiteral("01.Una voce davvero troppo lunga"));
}

TEST(PuntiGrafico, aFieldTheAnswerLacksStopsWithTheReason)
{
    QString errore;
    punti(3, {QStringLiteral("NONCE")}, false, &errore);
    EXPECT_EQ(errore, QStringLiteral("campo NONCE non presente nella risposta"));
}

struct ModelloCase
{
    bool xyz;
    int tipo;
    const char *orizzontale;
    const char *verticale;
};

class Modelli : public ::testing::TestWithParam<ModelloCase> {};

TEST_P(Modelli, followTheTypeAndTheOrientation)
{
    EXPECT_EQ(modelloGrafico(GetParam().xyz, GetParam().tipo, false).toStdString(), GetParam().orizzontale);
    EXPECT_EQ(modelloGrafico(GetParam().xyz, GetParam().tipo, true).toStdString(), GetParam().verticale);
}

INSTANTIATE_TEST_SUITE_P(Cases, Modelli, ::testing::Values(
    ModelloCase{false, 0, "QGr01N.RPT", "QGr01VN.RPT"}, ModelloCase{false, 1, "QGr02N3.RPT", "QGr02VN3.RPT"},
    ModelloCase{false, 2, "QGr03L.RPT", "QGr03VL.RPT"}, ModelloCase{false, 3, "QGr04B3.RPT", "QGr04B3.RPT"},
    ModelloCase{false, 4, "QGr05T.RPT", "QGr05T.RPT"}, ModelloCase{true, 0, "QGr11N.RPT", "QGr11VN.RPT"},
    ModelloCase{true, 1, "QGr12N3.RPT", "QGr12VN3.RPT"}, ModelloCase{true, 2, "QGr13P.RPT", "QGr13VP.RPT"},
    ModelloCase{true, 3, "QGr14P3.RPT", "QGr14VP3.RPT"}, ModelloCase{true, 4, "QGr15P.RPT", "QGr15VP.RPT"},
    ModelloCase{true, 5, "QGr16P3.RPT", "QGr16VP3.RPT"}, ModelloCase{true, 6, "QGr17L.RPT", "QGr17VL.RPT"},
    ModelloCase{true, 7, "QGr18A.RPT", "QGr18VA.RPT"}, ModelloCase{true, 8, "QGr19B.RPT", "QGr19B.RPT"},
    ModelloCase{true, 9, "QGr20TF.RPT", "QGr20TF.RPT"}, ModelloCase{true, 10, "QGr21TP.RPT", "QGr21TP.RPT"},
    ModelloCase{false, 5, "", ""}, ModelloCase{true, -1, "", ""}));

struct FormulaCase
{
    const char *asse;
    const char *testo;
    const char *attesa;
};

class Formule : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(Formule, putTheTextBetweenApostrophes)
{
    const QString asse = QLatin1String(GetParam().asse);
    const QString testo = QString::fromUtf8(GetParam().testo);
    EXPECT_EQ((asse.isEmpty() ? formulaTitolo(testo) : formulaAsse(asse, testo)).toStdString(), GetParam().attesa);
}

INSTANTIATE_TEST_SUITE_P(Cases, Formule, ::testing::Values(
    FormulaCase{"", "", "'Senza titolo '"}, FormulaCase{"", "Vendite 2024", "'Vendite 2024'"},
    FormulaCase{"X", "", "' '"}, FormulaCase{"X", "CITTA", "'Asse X: CITTA'"},
    FormulaCase{"Y", "TOTALE", "'Asse Y: TOTALE'"}, FormulaCase{"Z", "", "' '"}));
