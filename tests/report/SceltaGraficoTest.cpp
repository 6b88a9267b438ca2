// Charts of an answer: what each template draws, the point rows gathered
// into categories and series, the texts read back from their formulas, and
// the point table written, read back and placed by the free-table rule.

#include "output/report/SceltaGrafico.h"
#include "platform/LocalTable.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::output::report;

namespace {

using F = FormaGrafico;
using I = Impilamento;

struct SceltaCase
{
    const char *modello;
    FormaGrafico forma;
    Impilamento impilamento;
    bool categorieVerticali;
    bool treD;
    bool proporzionali;
};

void PrintTo(const SceltaCase &c, std::ostream *os)
{
    *os << c.modello;
}

class Modelli : public ::testing::TestWithParam<SceltaCase> {};

// Records: X = "Voce n", A = n, B = 10 n.
class Voci : public SorgenteStampa
{
public:
    explicit Voci(int n) : m_n(n) {}
    bool apri(QString *) override { m_i = 0; return true; }
    bool prossimo() override { return ++m_i <= m_n; }
    std::optional<ValoreReport> campo(const QString &c) const override
    {
        if (c == QLatin1String("X")) return ValoreReport::diTesto(QStringLiteral("Voce %1").arg(m_i));
        if (c == QLatin1String("A")) return ValoreReport::diNumero(m_i, {});
        if (c == QLatin1String("B")) return ValoreReport::diNumero(10.0 * m_i, {});
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {}; }

private:
    int m_n, m_i = 0;
};

class TabellaPuntiTest : public ::testing::Test
{
protected:
    void SetUp() override { m_prima = platform::setLocalTables(m_tabelle); }
    void TearDown() override { platform::setLocalTables(m_prima); }
    std::shared_ptr<platform::ScriptedLocalTables> m_tabelle = std::make_shared<platform::ScriptedLocalTables>();
    std::shared_ptr<platform::ILocalTables> m_prima;
    const QString m_lavoro = QStringLiteral("/lavoro/");
};

} // namespace

TEST_P(Modelli, drawTheirTypeFlatWithTheirStackingAndOrientation)
{
    const SceltaCase &c = GetParam();
    const auto s = sceltaGrafico(QLatin1String(c.modello));
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->forma, c.forma);
    EXPECT_EQ(s->impilamento, c.impilamento);
    EXPECT_EQ(s->categorieVerticali, c.categorieVerticali);
    EXPECT_EQ(s->treD, c.treD);
    EXPECT_EQ(s->torteProporzionali, c.proporzionali);
}

INSTANTIATE_TEST_SUITE_P(Cases, Modelli, ::testing::Values(
    SceltaCase{"QGr01N.RPT", F::Barre, I::Affiancate, false, false, false},
    SceltaCase{"QGr01VN.RPT", F::Barre, I::Affiancate, true, false, false},
    SceltaCase{"QGr02N3.RPT", F::Barre, I::Affiancate, false, true, false},
    SceltaCase{"QGr02VN3.RPT", F::Barre, I::Affiancate, true, true, false},
    SceltaCase{"QGr03L.RPT", F::Linee, I::Affiancate, false, false, false},
    SceltaCase{"QGr03VL.RPT", F::Linee, I::Affiancate, true, false, false},
    SceltaCase{"QGr04B3.RPT", F::Barre, I::Affiancate, false, true, false},
    SceltaCase{"QGr05T.RPT", F::Torta, I::Affiancate, false, false, false},
    SceltaCase{"QGr11N.RPT", F::Barre, I::Affiancate, false, false, false},
    SceltaCase{"QGr11VN.RPT", F::Barre, I::Affiancate, true, false, false},
    SceltaCase{"QGr12N3.RPT", F::Barre, I::Affiancate, false, true, false},
    SceltaCase{"QGr12VN3.RPT", F::Barre, I::Affiancate, true, true, false},
    SceltaCase{"QGr13P.RPT", F::Barre, I::InPila, false, false, false},
    SceltaCase{"QGr13VP.RPT", F::Barre, I::InPila, true, false, false},
    SceltaCase{"QGr14P3.RPT", F::Barre, I::InPila, false, true, false},
    SceltaCase{"QGr14VP3.RPT", F::Barre, I::InPila, true, true, false},
    SceltaCase{"QGr15P.RPT", F::Barre, I::Percentuali, false, false, false},
    SceltaCase{"QGr15VP.RPT", F::Barre, I::Percentuali, true, false, false},
    SceltaCase{"QGr16P3.RPT", F::Barre, I::Percentuali, false, true, false},
    SceltaCase{"QGr16VP3.RPT", F::Barre, I::Percentuali, true, true, false},
    SceltaCase{"QGr17L.RPT", F::Linee, I::Affiancate, false, false, false},
    SceltaCase{"QGr17VL.RPT", F::Linee, I::Affiancate, true, false, false},
    SceltaCase{"QGr18A.RPT", F::Area, I::InPila, false, false, false},
    SceltaCase{"QGr18VA.RPT", F::Area, I::InPila, true, false, false},
    SceltaCase{"QGr19B.RPT", F::Barre, I::Affiancate, false, true, false},
    SceltaCase{"QGr20TF.RPT", F::TorteMultiple, I::Affiancate, false, false, false},
    SceltaCase{"QGr21TP.RPT", F::TorteMultiple, I::Affiancate, false, false, true},
    SceltaCase{"qgr13vp.rpt", F::Barre, I::InPila, true, false, false}));

TEST(SceltaGrafico, everyTypeOfBothGroupsHasAChartAndOtherNamesNone)
{
    for (bool xyz : {false, true})
        for (int tipo = 0; tipo < (xyz ? 11 : 5); ++tipo)
            for (bool verticale : {false, true})
                EXPECT_TRUE(sceltaGrafico(modelloGrafico(xyz, tipo, verticale)).has_value())
                    << xyz << " " << tipo << " " << verticale;
    EXPECT_FALSE(sceltaGrafico(QStringLiteral("TEXT.RPT")).has_value());
    EXPECT_FALSE(sceltaGrafico(QString()).has_value());
}

TEST(RaccogliPunti, categoriesInTextOrderSeriesAsTheyComeSameCategoryAddedUp)
{
    const QList<PuntoGrafico> punti = {
        {QStringLiteral("Roma"), QStringLiteral("QTA"), 3},   {QStringLiteral("ancona"), QStringLiteral("QTA"), 1},
        {QStringLiteral("Milano"), QStringLiteral("QTA"), 2}, {QStringLiteral("Roma"), QStringLiteral("QTA"), 4},
        {QStringLiteral("Roma"), QStringLiteral("IMPORTO"), 30}, {QStringLiteral("ancona"), QStringLiteral("IMPORTO"), 10},
        {QStringLiteral("Ancona"), QStringLiteral("IMPORTO"), 5}};
    const DatiGrafico d = raccogliPunti(punti);
    EXPECT_EQ(d.categorie, (QStringList{QStringLiteral("Ancona"), QStringLiteral("ancona"), QStringLiteral("Milano"),
                                        QStringLiteral("Roma")}));
    EXPECT_EQ(d.serie, (QStringList{QStringLiteral("QTA"), QStringLiteral("IMPORTO")}));
    EXPECT_EQ(d.valore(0, 3), 7.0); // Roma twice
    EXPECT_EQ(d.valore(0, 0), 0.0); // no QTA for "Ancona"
    EXPECT_EQ(d.valore(1, 0), 5.0);
    EXPECT_EQ(d.valore(1, 1), 10.0);
    EXPECT_EQ(d.totaleSerie(0), 10.0);
    EXPECT_EQ(d.totaleSerie(1), 45.0);
}

TEST(RaccogliPunti, theOrderPrefixKeepsTheAnswersOrder)
{
    QList<PuntoGrafico> punti;
    Voci v(120);
    ASSERT_TRUE(scriviPunti(v, QStringLiteral("X"), {QStringLiteral("A")}, true, [&](const PuntoGrafico &p) {
        punti << p;
        return true;
    }, nullptr));
    const DatiGrafico d = raccogliPunti(punti);
    ASSERT_EQ(d.categorie.size(), 120);
    EXPECT_EQ(d.categorie.first(), QStringLiteral("001.Voce 1"));
    EXPECT_EQ(d.categorie.at(9), QStringLiteral("010.Voce 10")); // not after "Voce 1" as text alone would put it
    EXPECT_EQ(d.valore(0, 119), 120.0);
}

TEST(RaccogliPunti, noPointsNoCategories)
{
    const DatiGrafico d = raccogliPunti({});
    EXPECT_TRUE(d.categorie.isEmpty());
    EXPECT_TRUE(d.serie.isEmpty());
}

struct TestiCase
{
    const char *titolo, *x, *y, *z;
    const char *attTitolo, *attX, *attY, *attZ;
};

class Testi : public ::testing::TestWithParam<TestiCase> {};

TEST_P(Testi, readBackAsTyped)
{
    const TestiCase &c = GetParam();
    const TestiGrafico t = testiGrafico(QString::fromUtf8(c.titolo), QString::fromUtf8(c.x), QString::fromUtf8(c.y),
                                        QString::fromUtf8(c.z));
    EXPECT_EQ(t.titolo.toStdString(), c.attTitolo);
    EXPECT_EQ(t.asseX.toStdString(), c.attX);
    EXPECT_EQ(t.asseY.toStdString(), c.attY);
    EXPECT_EQ(t.asseZ.toStdString(), c.attZ);
}

INSTANTIATE_TEST_SUITE_P(Cases, Testi, ::testing::Values(
    TestiCase{"", "", "", "", "Senza titolo ", "", "", ""},
    TestiCase{"Vendite 2024", "CITTA", "TOTALE", "ANNO", "Vendite 2024", "Asse X: CITTA", "Asse Y: TOTALE", "Asse Z: ANNO"},
    TestiCase{"L'anno dell'euro", "Citta'", "''", "", "L'anno dell'euro", "Asse X: Citta'", "Asse Y: ''", ""},
    TestiCase{"Più è già", "", "Qtà", "", "Più è già", "", "Asse Y: Qtà", ""}));

struct FormulaApiceCase
{
    const char *asse;
    const char *testo;
    const char *attesa;
};

class FormuleConApici : public ::testing::TestWithParam<FormulaApiceCase> {};

TEST_P(FormuleConApici, stayOneLiteral)
{
    const QString asse = QLatin1String(GetParam().asse);
    const QString testo = QString::fromUtf8(GetParam().testo);
    const QString f = asse.isEmpty() ? formulaTitolo(testo) : formulaAsse(asse, testo);
    EXPECT_EQ(f.toStdString(), GetParam().attesa);
    EXPECT_EQ(testoFormula(f), asse.isEmpty() ? testo : QStringLiteral("Asse %1: ").arg(asse) + testo);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormuleConApici, ::testing::Values(
    FormulaApiceCase{"", "L'anno", "'L''anno'"}, FormulaApiceCase{"", "'", "''''"},
    FormulaApiceCase{"X", "Citta'", "'Asse X: Citta'''"}, FormulaApiceCase{"Z", "a''b", "'Asse Z: a''''b'"}));

TEST(TestoFormula, whatIsNotALiteralComesBackAsGiven)
{
    EXPECT_EQ(testoFormula(QStringLiteral("CITTA")), QStringLiteral("CITTA"));
    EXPECT_EQ(testoFormula(QStringLiteral("'")), QStringLiteral("'"));
    EXPECT_EQ(testoFormula(QStringLiteral("''")), QString());
    EXPECT_EQ(testoFormula(QStringLiteral("' '")), QStringLiteral(" "));
}

TEST_F(TabellaPuntiTest, writesEveryPassAndReadsTheRowsBack)
{
    Voci v(10);
    TabellaPunti t;
    QString errore;
    ASSERT_TRUE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("A"), QStringLiteral("B")}, false, m_lavoro,
                                   t, &errore))
        << errore.toStdString();
    EXPECT_EQ(t.nome, QStringLiteral("GRAFTMP.DB"));
    EXPECT_EQ(t.percorso, QStringLiteral("/lavoro/QUERY/RISPTMP/GRAFTMP/GRAFTMP.DB"));
    ASSERT_EQ(t.punti.size(), 20);
    EXPECT_EQ(t.punti.at(10).descrizione2, QStringLiteral("B"));
    EXPECT_EQ(t.punti.at(10).valore, 10.0);
    const auto righe = m_tabelle->storedRows(t.percorso);
    ASSERT_EQ(righe.size(), 20);
    EXPECT_EQ(righe.at(0), (QVariantList{QStringLiteral("Voce 1"), QStringLiteral("A"), 1.0}));
    // Let go: another chart may take it.
    EXPECT_NE(m_tabelle->openExclusive(t.percorso), nullptr);
}

TEST_F(TabellaPuntiTest, aSecondChartEmptiesTheTableFirst)
{
    TabellaPunti t;
    Voci dieci(10), tre(3);
    ASSERT_TRUE(ScriviTabellaPunti(dieci, QStringLiteral("X"), {QStringLiteral("A")}, false, m_lavoro, t, nullptr));
    ASSERT_TRUE(ScriviTabellaPunti(tre, QStringLiteral("X"), {QStringLiteral("A")}, true, m_lavoro, t, nullptr));
    EXPECT_EQ(t.punti.size(), 3);
    EXPECT_EQ(m_tabelle->storedRows(t.percorso).size(), 3);
    EXPECT_EQ(t.punti.at(0).descrizione1, QStringLiteral("01.Voce 1"));
}

TEST_F(TabellaPuntiTest, aTableHeldElsewhereGivesWayToTheNextName)
{
    m_tabelle->setHeldElsewhere(QStringLiteral("/lavoro/QUERY/RISPTMP/GRAFTMP/GRAFTMP.DB"));
    Voci v(2);
    TabellaPunti t;
    ASSERT_TRUE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("A")}, false, m_lavoro, t, nullptr));
    EXPECT_EQ(t.nome, QStringLiteral("GRAFT01.DB"));
    EXPECT_EQ(m_tabelle->storedRows(t.percorso).size(), 2);
}

TEST_F(TabellaPuntiTest, aFieldTheAnswerLacksFailsWithTheReasonAndNamesTheTable)
{
    Voci v(2);
    TabellaPunti t;
    QString errore;
    EXPECT_FALSE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("NONCE")}, false, m_lavoro, t, &errore));
    EXPECT_EQ(errore, QStringLiteral("campo NONCE non presente nella risposta"));
    EXPECT_EQ(t.nome, QStringLiteral("GRAFTMP.DB"));
    EXPECT_TRUE(t.punti.isEmpty());
}

TEST(TabellaPuntiSqlite, aFolderThatCannotBeMadeFailsWithTheSystemsReason)
{
    // The working folder is a file: neither the folder nor the table can be made.
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    Voci v(2);
    TabellaPunti t;
    QString errore;
    EXPECT_FALSE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("A")}, false, file.fileName(), t, &errore));
    EXPECT_TRUE(errore.startsWith(QStringLiteral("Impossibile creare la tabella \"") + file.fileName()))
        << errore.toStdString();
    EXPECT_GT(errore.size(), (QStringLiteral("Impossibile creare la tabella \"\": ") + t.percorso).size());
}

TEST(TabellaPuntiSqlite, theTableFileIsWrittenAndAHeldOneGivesWayToTheNext)
{
    QTemporaryDir lavoro;
    const QString cartella = lavoro.path() + QStringLiteral("/QUERY/RISPTMP/GRAFTMP/");
    Voci v(5);
    TabellaPunti t;
    QString errore;
    ASSERT_TRUE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("A"), QStringLiteral("B")}, true,
                                   lavoro.path(), t, &errore))
        << errore.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cartella + QStringLiteral("GRAFTMP.DB")));
    ASSERT_EQ(t.punti.size(), 10);
    EXPECT_EQ(t.punti.at(5).descrizione1, QStringLiteral("01.Voce 1"));
    EXPECT_EQ(t.punti.at(5).descrizione2, QStringLiteral("B"));
    EXPECT_EQ(t.punti.at(5).valore, 10.0);

    // Another copy of the system holds the standard table.
    auto altra = platform::localTables().openExclusive(cartella + QStringLiteral("GRAFTMP.DB"));
    ASSERT_NE(altra, nullptr);
    ASSERT_TRUE(ScriviTabellaPunti(v, QStringLiteral("X"), {QStringLiteral("A")}, false, lavoro.path(), t, &errore))
        << errore.toStdString();
    EXPECT_EQ(t.nome, QStringLiteral("GRAFT01.DB"));
    EXPECT_TRUE(QFileInfo::exists(cartella + QStringLiteral("GRAFT01.DB")));
    EXPECT_EQ(t.punti.size(), 5);
}
