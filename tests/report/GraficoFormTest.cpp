// "Elaborazione grafici" offscreen: the field lists, the further value
// fields and the two groups of chart types, the messages of missing
// choices, the point table behind each chart, and the window "STAMPA
// GRAFICO" with the chart of each template, printed and saved.

#include "ReportProva.h"

#include "OutputDb.h"

#include "output/report/ui/grafico/FinestraGrafico.h"
#include "output/report/ui/grafico/Grafico.h"
#include "output/report/ui/grafico/TGraficoForm.h"
#include "platform/LocalTable.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"

#include <QAbstractBarSeries>
#include <QAreaSeries>
#include <QBarSet>
#include <QLineSeries>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPieSeries>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::output::report;

using vardof::test::pagineDelPdf;

namespace {

// Ten sales: CITTA "Citta n", ANNO 2000 + n, QTA n, IMPORTO 10 n, COSTO 3 n.
class Vendite : public SorgenteStampa
{
public:
    explicit Vendite(int n = 10) : m_n(n) {}
    bool apri(QString *) override { m_i = 0; return true; }
    bool prossimo() override { return ++m_i <= m_n; }
    std::optional<ValoreReport> campo(const QString &c) const override
    {
        if (c == QLatin1String("CITTA")) return ValoreReport::diTesto(QStringLiteral("Citta %1").arg(m_i));
        if (c == QLatin1String("ANNO")) return ValoreReport::diNumero(2000 + m_i, QString::number(2000 + m_i));
        if (c == QLatin1String("QTA")) return ValoreReport::diNumero(m_i, {});
        if (c == QLatin1String("IMPORTO")) return ValoreReport::diNumero(10.0 * m_i, {});
        if (c == QLatin1String("COSTO")) return ValoreReport::diNumero(3.0 * m_i, {});
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {}; }

private:
    int m_n, m_i = 0;
};

const QList<CampoGrafico> kCampi = {{QStringLiteral("CITTA"), false}, {QStringLiteral("ANNO"), true},
                                    {QStringLiteral("QTA"), true}, {QStringLiteral("IMPORTO"), true},
                                    {QStringLiteral("COSTO"), true}};

QStringList voci(const QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QStringList voci(const QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

class GraficoForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_prima = platform::setLocalTables(m_tabelle);
        m_form = std::make_unique<TGraficoForm>(nullptr, QStringLiteral("D01"), QStringLiteral("/bin/"),
                                                m_lavoro.path() + QLatin1Char('/'), m_vendite, kCampi);
    }
    void TearDown() override
    {
        m_form.reset();
        platform::setLocalTables(m_prima);
    }

    // Chooses x and y (names; empty leaves it unchosen).
    void scegli(const QString &x, const QString &y = {})
    {
        if (!x.isEmpty())
            m_form->EditDescrizione1->setCurrentIndex(m_form->EditDescrizione1->findText(x));
        if (!y.isEmpty())
            m_form->EditValore->setCurrentIndex(m_form->EditValore->findText(y));
    }
    // "&Campi valori aggiunti", the given candidates selected, then OK.
    void aggiunti(const QStringList &campi)
    {
        m_form->ButtonCampiValoriAggiuntivi->click();
        for (int i = 0; i < m_form->ListBox2->count(); ++i)
            m_form->ListBox2->item(i)->setSelected(campi.contains(m_form->ListBox2->item(i)->text()));
        m_form->ButtonOKClick();
    }
    QString tabella(const QString &nome = QStringLiteral("GRAFTMP.DB")) const
    {
        return m_lavoro.path() + QStringLiteral("/QUERY/RISPTMP/GRAFTMP/") + nome;
    }

    platform::ScopedServices m_servizi;
    std::shared_ptr<platform::ScriptedLocalTables> m_tabelle = std::make_shared<platform::ScriptedLocalTables>();
    std::shared_ptr<platform::ILocalTables> m_prima;
    QTemporaryDir m_lavoro;
    Vendite m_vendite;
    std::unique_ptr<TGraficoForm> m_form;
};

} // namespace

TEST_F(GraficoForm, opensWithTheFieldsAndNothingChosen)
{
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Elaborazione grafici"));
    EXPECT_EQ(voci(m_form->EditDescrizione1), (QStringList{"CITTA", "ANNO", "QTA", "IMPORTO", "COSTO"}));
    EXPECT_EQ(m_form->EditDescrizione1->currentIndex(), -1);
    EXPECT_EQ(m_form->EditValore->count(), 0);
    EXPECT_TRUE(m_form->RadioGroup1->isEnabled());
    EXPECT_EQ(m_form->RadioGroup1->itemIndex(), -1);
    EXPECT_FALSE(m_form->RadioGroup2->isEnabled());
    EXPECT_EQ(m_form->RadioGroup2->count(), 11);
    EXPECT_EQ(m_form->RadioGroup3->itemIndex(), 0);
    EXPECT_EQ(m_form->RadioGroup3->voce(0)->text(), QStringLiteral("Orizzontale"));
    EXPECT_EQ(m_form->RadioGroup4->itemIndex(), 0);
    EXPECT_EQ(m_form->RadioGroup4->voce(1)->text(), QStringLiteral("Originale"));
    EXPECT_FALSE(m_form->ListBox1->isEnabled());
    EXPECT_TRUE(m_form->ListBox2->isHidden());
    EXPECT_TRUE(m_form->ButtonOK->isHidden());
    EXPECT_TRUE(m_form->ButtonCancel->isHidden());
}

TEST_F(GraficoForm, theXFieldOffersTheOtherNumbersAndNamesTheAxes)
{
    scegli(QStringLiteral("ANNO"));
    EXPECT_EQ(voci(m_form->EditValore), (QStringList{"QTA", "IMPORTO", "COSTO"}));
    EXPECT_EQ(m_form->EditValore->currentIndex(), -1);
    EXPECT_EQ(m_form->EditDescrAsseX->text(), QStringLiteral("ANNO"));
    scegli({}, QStringLiteral("IMPORTO"));
    EXPECT_EQ(m_form->EditDescrAsseY->text(), QStringLiteral("IMPORTO"));
    scegli(QStringLiteral("CITTA"));
    EXPECT_EQ(voci(m_form->EditValore), (QStringList{"ANNO", "QTA", "IMPORTO", "COSTO"}));
    EXPECT_EQ(m_form->EditDescrAsseX->text(), QStringLiteral("CITTA"));
    EXPECT_EQ(m_form->EditDescrAsseY->text(), QString()); // no y any more
}

TEST_F(GraficoForm, theTitleAndAxisButtonsOnlyMoveTheFocus)
{
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    const std::pair<QPushButton *, QLineEdit *> coppie[] = {{m_form->ButtonTitolo, m_form->EditTitolo},
                                                            {m_form->ButtonDescrAsseX, m_form->EditDescrAsseX},
                                                            {m_form->ButtonDescrAsseY, m_form->EditDescrAsseY},
                                                            {m_form->ButtonDescrAsseZ, m_form->EditDescrAsseZ}};
    for (const auto &[b, e] : coppie) {
        b->click();
        EXPECT_EQ(QApplication::focusWidget(), e) << b->objectName().toStdString();
    }
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
}

struct MessaggioCase
{
    const char *nome;
    const char *x, *y;
    int aggiunti;       // further fields chosen
    int tipo1, tipo2;   // chart type chosen in each group, -1 none
    bool visualizza;    // else "&Campi valori aggiunti"
    const char *messaggio;
};

void PrintTo(const MessaggioCase &c, std::ostream *os)
{
    *os << c.nome;
}

class Messaggi : public GraficoForm, public ::testing::WithParamInterface<MessaggioCase> {};

TEST_P(Messaggi, missingChoicesAreNamedAndNothingElseHappens)
{
    const MessaggioCase &c = GetParam();
    scegli(QLatin1String(c.x), QLatin1String(c.y));
    if (c.aggiunti > 0)
        aggiunti(QStringList{QStringLiteral("QTA"), QStringLiteral("COSTO")}.mid(0, c.aggiunti));
    m_form->RadioGroup1->setItemIndex(c.tipo1);
    m_form->RadioGroup2->setItemIndex(c.tipo2);
    const bool sceltaPrima = !m_form->ListBox2->isHidden();
    if (c.visualizza)
        m_form->ButtonVisualizza->click();
    else
        m_form->ButtonCampiValoriAggiuntivi->click();
    const QString atteso = QString::fromUtf8(c.messaggio);
    EXPECT_EQ(m_servizi.messages().texts(), atteso.isEmpty() ? QStringList() : QStringList{atteso});
    if (!atteso.isEmpty()) {
        EXPECT_EQ(m_form->ultimoGrafico(), nullptr);
        EXPECT_TRUE(m_tabelle->paths().isEmpty());
        EXPECT_EQ(!m_form->ListBox2->isHidden(), sceltaPrima);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Messaggi, ::testing::Values(
    MessaggioCase{"nothing", "", "", 0, -1, -1, true,
                  "Dati non sufficienti per la creazione del grafico!\rVerificare e correggere"},
    MessaggioCase{"onlyX", "CITTA", "", 0, 0, -1, true,
                  "Dati non sufficienti per la creazione del grafico!\rVerificare e correggere"},
    MessaggioCase{"noTypeXY", "CITTA", "IMPORTO", 0, -1, -1, true, "Selezionare il tipo grafico da visualizzare!"},
    MessaggioCase{"noTypeXYZ", "CITTA", "IMPORTO", 2, -1, -1, true, "Selezionare il tipo grafico da visualizzare!"},
    MessaggioCase{"xyTypeDoesNotServeXYZ", "CITTA", "IMPORTO", 2, 1, -1, true,
                  "Selezionare il tipo grafico da visualizzare!"},
    MessaggioCase{"furtherWithoutY", "CITTA", "", 0, -1, -1, false,
                  "Impostare prima i Campi relativi alle coordinate X e Y"},
    MessaggioCase{"furtherWithoutAnything", "", "", 0, -1, -1, false,
                  "Impostare prima i Campi relativi alle coordinate X e Y"},
    MessaggioCase{"xyChart", "CITTA", "IMPORTO", 0, 0, -1, true, ""},
    MessaggioCase{"xyzChart", "CITTA", "IMPORTO", 1, -1, 4, true, ""}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(GraficoForm, theChoosingFaceShowsTheCandidatesWithoutTheYField)
{
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    m_form->ButtonCampiValoriAggiuntivi->click();
    EXPECT_EQ(voci(m_form->ListBox2), (QStringList{"ANNO", "QTA", "COSTO"}));
    EXPECT_FALSE(m_form->ListBox2->isHidden());
    EXPECT_FALSE(m_form->ButtonOK->isHidden());
    EXPECT_FALSE(m_form->ButtonCancel->isHidden());
    EXPECT_TRUE(m_form->ListBox1->isEnabled());
    EXPECT_FALSE(m_form->EditValore->isEnabled());
    for (QWidget *w : std::initializer_list<QWidget *>{m_form->ButtonTitolo, m_form->EditTitolo, m_form->ButtonDescrAsseZ,
                                                       m_form->EditDescrAsseZ, m_form->RadioGroup1, m_form->RadioGroup2,
                                                       m_form->RadioGroup3, m_form->RadioGroup4,
                                                       m_form->ButtonVisualizza, m_form->ButtonChiudi})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    // Selected out of list order: they come in list order.
    m_form->ListBox2->item(2)->setSelected(true);
    m_form->ListBox2->item(0)->setSelected(true);
    m_form->ButtonOKClick();
    EXPECT_EQ(voci(m_form->ListBox1), (QStringList{"ANNO", "COSTO"}));
    EXPECT_TRUE(m_form->ListBox2->isHidden());
    EXPECT_FALSE(m_form->ListBox1->isEnabled());
    EXPECT_TRUE(m_form->EditValore->isEnabled());
    EXPECT_FALSE(m_form->ButtonVisualizza->isHidden());
    EXPECT_TRUE(m_form->ButtonOK->isHidden());

    // Cancel leaves the former choice as it was.
    m_form->ButtonCampiValoriAggiuntivi->click();
    m_form->ListBox2->item(1)->setSelected(true);
    m_form->ButtonCancelClick();
    EXPECT_EQ(voci(m_form->ListBox1), (QStringList{"ANNO", "COSTO"}));
    EXPECT_FALSE(m_form->RadioGroup1->isEnabled());
    EXPECT_TRUE(m_form->RadioGroup2->isEnabled());
    EXPECT_TRUE(m_form->ListBox2->isHidden());
}

TEST_F(GraficoForm, furtherFieldsSwitchTheGroupsAndAChangedXOrYSwitchesBack)
{
    for (const char *cambio : {"x", "y", "none"}) {
        scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
        m_form->RadioGroup1->setItemIndex(2);
        aggiunti({QStringLiteral("QTA"), QStringLiteral("COSTO")});
        EXPECT_FALSE(m_form->RadioGroup1->isEnabled()) << cambio;
        EXPECT_EQ(m_form->RadioGroup1->itemIndex(), -1) << cambio;
        EXPECT_TRUE(m_form->RadioGroup2->isEnabled()) << cambio;
        if (std::string(cambio) == "x")
            scegli(QStringLiteral("ANNO"), QStringLiteral("IMPORTO"));
        else if (std::string(cambio) == "y")
            scegli({}, QStringLiteral("QTA"));
        else
            aggiunti({}); // OK with nothing selected
        EXPECT_EQ(m_form->ListBox1->count(), 0) << cambio;
        EXPECT_TRUE(m_form->RadioGroup1->isEnabled()) << cambio;
        EXPECT_FALSE(m_form->RadioGroup2->isEnabled()) << cambio;
        m_servizi.messages().clear();
        m_form->ButtonVisualizza->click();
        EXPECT_EQ(m_servizi.messages().texts(), QStringList{QStringLiteral("Selezionare il tipo grafico da visualizzare!")})
            << cambio;
    }
}

TEST_F(GraficoForm, yAndTwoFurtherFieldsGiveThirtyPointRowsAndTheChartWindow)
{
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    aggiunti({QStringLiteral("QTA"), QStringLiteral("COSTO")});
    m_form->RadioGroup2->setItemIndex(2); // "In pila"
    m_form->EditTitolo->setText(QStringLiteral("Vendite dell'anno"));
    m_form->ButtonVisualizza->click();
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty()) << m_servizi.messages().texts().join(QLatin1Char('|')).toStdString();

    const auto righe = m_tabelle->storedRows(tabella());
    ASSERT_EQ(righe.size(), 30);
    EXPECT_EQ(righe.at(0), (QVariantList{QStringLiteral("Citta 1"), QStringLiteral("IMPORTO"), 10.0}));
    EXPECT_EQ(righe.at(10).at(1), QStringLiteral("QTA"));
    EXPECT_EQ(righe.at(29), (QVariantList{QStringLiteral("Citta 10"), QStringLiteral("COSTO"), 30.0}));
    EXPECT_EQ(m_form->modello(), QStringLiteral("QGr13P.RPT"));

    FinestraGrafico *f = m_form->ultimoGrafico();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("STAMPA GRAFICO"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->geometry(), QRect(80, 100, 550, 350));
    ASSERT_EQ(f->grafico()->series().size(), 1);
    EXPECT_EQ(f->grafico()->series().at(0)->type(), QAbstractSeries::SeriesTypeStackedBar);
    auto *barre = static_cast<QAbstractBarSeries *>(f->grafico()->series().at(0));
    ASSERT_EQ(barre->count(), 3);
    EXPECT_EQ(barre->barSets().at(2)->label(), QStringLiteral("COSTO"));
    EXPECT_TRUE(f->grafico()->title().contains(QStringLiteral("Vendite dell&#39;anno"))
                || f->grafico()->title().contains(QStringLiteral("Vendite dell'anno")))
        << f->grafico()->title().toStdString();

    // A second chart empties the table and opens a window of its own.
    m_form->RadioGroup4->setItemIndex(1); // "Originale"
    m_form->ButtonVisualizza->click();
    EXPECT_NE(m_form->ultimoGrafico(), f);
    const auto nuove = m_tabelle->storedRows(tabella());
    ASSERT_EQ(nuove.size(), 30);
    EXPECT_EQ(nuove.at(9).at(0), QStringLiteral("10.Citta 10"));
}

// Each type of each group with each orientation: the template, and the
// series, stacking and axes of the chart drawn for it.
struct TipoCase
{
    bool xyz;
    int tipo;
    bool verticale;
    const char *modello;
    QAbstractSeries::SeriesType serie;
    int quante;                 // series in the chart
    Qt::Alignment categorie;    // where the category axis lies (0: no axes)
};

void PrintTo(const TipoCase &c, std::ostream *os)
{
    *os << c.modello << (c.verticale ? " verticale" : " orizzontale");
}

class Tipi : public GraficoForm, public ::testing::WithParamInterface<TipoCase> {};

TEST_P(Tipi, drawTheirTemplatesChart)
{
    const TipoCase &c = GetParam();
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    if (c.xyz)
        aggiunti({QStringLiteral("QTA"), QStringLiteral("COSTO")});
    (c.xyz ? m_form->RadioGroup2 : m_form->RadioGroup1)->setItemIndex(c.tipo);
    m_form->RadioGroup3->setItemIndex(c.verticale ? 1 : 0);
    m_form->ButtonVisualizza->click();
    EXPECT_EQ(m_form->modello().toStdString(), c.modello);
    FinestraGrafico *f = m_form->ultimoGrafico();
    ASSERT_NE(f, nullptr);
    const QList<QAbstractSeries *> serie = f->grafico()->series();
    ASSERT_EQ(serie.size(), c.quante);
    for (QAbstractSeries *s : serie)
        EXPECT_EQ(s->type(), c.serie);
    const QList<QAbstractAxis *> assi = f->grafico()->axes();
    if (c.categorie == Qt::Alignment()) {
        EXPECT_TRUE(assi.isEmpty());
        return;
    }
    const auto categorie = f->grafico()->axes(Qt::Horizontal | Qt::Vertical);
    QAbstractAxis *asseCategorie = nullptr;
    for (QAbstractAxis *a : categorie)
        if (a->type() == QAbstractAxis::AxisTypeBarCategory)
            asseCategorie = a;
    ASSERT_NE(asseCategorie, nullptr);
    EXPECT_EQ(asseCategorie->alignment(), c.categorie);
    EXPECT_EQ(static_cast<QBarCategoryAxis *>(asseCategorie)->count(), 10);
    EXPECT_EQ(asseCategorie->titleText(), QStringLiteral("Asse X: CITTA"));
}

constexpr auto B = Qt::AlignBottom;
constexpr auto L = Qt::AlignLeft;
using S = QAbstractSeries;

INSTANTIATE_TEST_SUITE_P(Cases, Tipi, ::testing::Values(
    TipoCase{false, 0, false, "QGr01N.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{false, 0, true, "QGr01VN.RPT", S::SeriesTypeHorizontalBar, 1, L},
    TipoCase{false, 1, false, "QGr02N3.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{false, 1, true, "QGr02VN3.RPT", S::SeriesTypeHorizontalBar, 1, L},
    TipoCase{false, 2, false, "QGr03L.RPT", S::SeriesTypeLine, 1, B},
    TipoCase{false, 2, true, "QGr03VL.RPT", S::SeriesTypeLine, 1, L},
    TipoCase{false, 3, false, "QGr04B3.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{false, 3, true, "QGr04B3.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{false, 4, false, "QGr05T.RPT", S::SeriesTypePie, 1, {}},
    TipoCase{false, 4, true, "QGr05T.RPT", S::SeriesTypePie, 1, {}},
    TipoCase{true, 0, false, "QGr11N.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{true, 0, true, "QGr11VN.RPT", S::SeriesTypeHorizontalBar, 1, L},
    TipoCase{true, 1, false, "QGr12N3.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{true, 1, true, "QGr12VN3.RPT", S::SeriesTypeHorizontalBar, 1, L},
    TipoCase{true, 2, false, "QGr13P.RPT", S::SeriesTypeStackedBar, 1, B},
    TipoCase{true, 2, true, "QGr13VP.RPT", S::SeriesTypeHorizontalStackedBar, 1, L},
    TipoCase{true, 3, false, "QGr14P3.RPT", S::SeriesTypeStackedBar, 1, B},
    TipoCase{true, 3, true, "QGr14VP3.RPT", S::SeriesTypeHorizontalStackedBar, 1, L},
    TipoCase{true, 4, false, "QGr15P.RPT", S::SeriesTypePercentBar, 1, B},
    TipoCase{true, 4, true, "QGr15VP.RPT", S::SeriesTypeHorizontalPercentBar, 1, L},
    TipoCase{true, 5, false, "QGr16P3.RPT", S::SeriesTypePercentBar, 1, B},
    TipoCase{true, 5, true, "QGr16VP3.RPT", S::SeriesTypeHorizontalPercentBar, 1, L},
    TipoCase{true, 6, false, "QGr17L.RPT", S::SeriesTypeLine, 3, B},
    TipoCase{true, 6, true, "QGr17VL.RPT", S::SeriesTypeLine, 3, L},
    TipoCase{true, 7, false, "QGr18A.RPT", S::SeriesTypeArea, 3, B},
    TipoCase{true, 7, true, "QGr18VA.RPT", S::SeriesTypeArea, 3, L},
    TipoCase{true, 8, false, "QGr19B.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{true, 8, true, "QGr19B.RPT", S::SeriesTypeBar, 1, B},
    TipoCase{true, 9, false, "QGr20TF.RPT", S::SeriesTypePie, 3, {}},
    TipoCase{true, 10, true, "QGr21TP.RPT", S::SeriesTypePie, 3, {}}));

TEST(Grafico, stackedAreasLieEachOnTheOneBefore)
{
    const DatiGrafico d = raccogliPunti({{QStringLiteral("a"), QStringLiteral("Y"), 2},
                                         {QStringLiteral("b"), QStringLiteral("Y"), 3},
                                         {QStringLiteral("a"), QStringLiteral("Z"), 5},
                                         {QStringLiteral("b"), QStringLiteral("Z"), 1}});
    for (bool verticali : {false, true}) {
        SceltaGrafico s{FormaGrafico::Area, Impilamento::InPila, verticali, false, false};
        std::unique_ptr<QChart> g(costruisciGrafico(s, d, {}));
        ASSERT_EQ(g->series().size(), 2);
        auto *z = static_cast<QAreaSeries *>(g->series().at(1));
        const QPointF sopra = z->upperSeries()->at(0), sotto = z->lowerSeries()->at(0);
        EXPECT_EQ(verticali ? sopra.x() : sopra.y(), 7.0);
        EXPECT_EQ(verticali ? sotto.x() : sotto.y(), 2.0);
        EXPECT_EQ(verticali ? sopra.y() : sopra.x(), 0.0); // category "a"
    }
}

TEST(Grafico, anEmptyCategoryKeepsEveryNameOnItsRiser)
{
    const DatiGrafico d = raccogliPunti({{QString(), QStringLiteral("Y"), 1},
                                         {QStringLiteral(" "), QStringLiteral("Y"), 2},
                                         {QStringLiteral("Roma"), QStringLiteral("Y"), 3}});
    ASSERT_EQ(d.categorie.size(), 3);
    for (FormaGrafico forma : {FormaGrafico::Barre, FormaGrafico::Linee, FormaGrafico::Area}) {
        SceltaGrafico s{forma, Impilamento::Affiancate, false, false, false};
        std::unique_ptr<QChart> g(costruisciGrafico(s, d, {}));
        QBarCategoryAxis *asse = nullptr;
        for (QAbstractAxis *a : g->axes())
            if (a->type() == QAbstractAxis::AxisTypeBarCategory)
                asse = static_cast<QBarCategoryAxis *>(a);
        ASSERT_NE(asse, nullptr);
        ASSERT_EQ(asse->count(), 3);
        EXPECT_EQ(asse->at(2), QStringLiteral("Roma"));
        EXPECT_EQ(asse->at(0).trimmed(), QString());
        EXPECT_EQ(asse->at(1).trimmed(), QString());
    }
}

TEST(Grafico, proportionalPiesFollowTheirTotalsFixedOnesDoNot)
{
    const DatiGrafico d = raccogliPunti({{QStringLiteral("a"), QStringLiteral("GRANDE"), 300},
                                         {QStringLiteral("b"), QStringLiteral("GRANDE"), 100},
                                         {QStringLiteral("a"), QStringLiteral("PICCOLA"), 50},
                                         {QStringLiteral("b"), QStringLiteral("PICCOLA"), 50},
                                         {QStringLiteral("a"), QStringLiteral("NULLA"), 0}});
    for (bool proporzionali : {false, true}) {
        SceltaGrafico s{FormaGrafico::TorteMultiple, Impilamento::Affiancate, false, false, proporzionali};
        std::unique_ptr<QChart> g(costruisciGrafico(s, d, {}));
        ASSERT_EQ(g->series().size(), 3);
        auto *grande = static_cast<QPieSeries *>(g->series().at(0));
        auto *piccola = static_cast<QPieSeries *>(g->series().at(1));
        auto *nulla = static_cast<QPieSeries *>(g->series().at(2));
        EXPECT_EQ(grande->count(), 2);
        EXPECT_EQ(nulla->count(), 0); // nothing to share out
        EXPECT_FALSE(g->title().contains(QStringLiteral("negativi")));
        if (proporzionali) // areas as 400 to 100
            EXPECT_NEAR(piccola->pieSize() / grande->pieSize(), 0.5, 1e-9);
        else
            EXPECT_EQ(piccola->pieSize(), grande->pieSize());
    }
}

TEST(Grafico, aPieSaysHowManyNegativeValuesItCannotShow)
{
    const DatiGrafico d = raccogliPunti({{QStringLiteral("a"), QStringLiteral("Y"), 5},
                                         {QStringLiteral("b"), QStringLiteral("Y"), -2},
                                         {QStringLiteral("c"), QStringLiteral("Y"), -1},
                                         {QStringLiteral("d"), QStringLiteral("Y"), 0}});
    SceltaGrafico s{FormaGrafico::Torta, Impilamento::Affiancate, false, false, false};
    std::unique_ptr<QChart> g(costruisciGrafico(s, d, {}));
    ASSERT_EQ(g->series().size(), 1);
    EXPECT_EQ(static_cast<QPieSeries *>(g->series().at(0))->count(), 1);
    EXPECT_TRUE(g->title().contains(QStringLiteral("Valori negativi non rappresentati: 2"))) << g->title().toStdString();
}

TEST(Grafico, theTitleIsTextNotMarkup)
{
    SceltaGrafico s;
    const QString t = titoloGrafico(s, testiGrafico(QStringLiteral("<i>Utili</i> & perdite"), {}, {}, QStringLiteral("ANNI")));
    EXPECT_TRUE(t.contains(QStringLiteral("&lt;i&gt;Utili&lt;/i&gt; &amp; perdite"))) << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("Asse Z: ANNI")));
    SceltaGrafico torta{FormaGrafico::Torta, Impilamento::Affiancate, false, false, false};
    const QString tt = titoloGrafico(torta, testiGrafico({}, QStringLiteral("CITTA"), QStringLiteral("IMPORTO"), {}));
    EXPECT_TRUE(tt.contains(QStringLiteral("Asse X: CITTA")));
    EXPECT_TRUE(tt.contains(QStringLiteral("Asse Y: IMPORTO")));
    EXPECT_TRUE(tt.contains(QStringLiteral("Senza titolo")));
}

TEST_F(GraficoForm, aTableUnderAnotherNameGoesWithTheWindowTheStandardOneStays)
{
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    m_form->RadioGroup1->setItemIndex(0);
    m_form->ButtonVisualizza->click();
    ASSERT_TRUE(m_tabelle->exists(tabella()));
    m_tabelle->setHeldElsewhere(tabella()); // another copy takes the standard table
    m_form->ButtonVisualizza->click();
    EXPECT_EQ(m_form->tabellaPunti().nome, QStringLiteral("GRAFT01.DB"));
    EXPECT_EQ(m_tabelle->storedRows(tabella(QStringLiteral("GRAFT01.DB"))).size(), 10);
    m_form->ButtonChiudi->click();
    EXPECT_FALSE(m_tabelle->exists(tabella(QStringLiteral("GRAFT01.DB"))));
    EXPECT_TRUE(m_tabelle->exists(tabella()));
}

TEST_F(GraficoForm, onDiskTheTableUnderAnotherNameIsDeletedOnClosing)
{
    platform::setLocalTables(nullptr);
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    m_form->RadioGroup1->setItemIndex(3);
    m_form->ButtonVisualizza->click();
    ASSERT_TRUE(QFileInfo::exists(tabella()));
    {
        auto altra = platform::localTables().openExclusive(tabella());
        ASSERT_NE(altra, nullptr);
        m_form->ButtonVisualizza->click();
    }
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty()) << m_servizi.messages().texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(QFileInfo::exists(tabella(QStringLiteral("GRAFT01.DB"))));
    m_form->ButtonChiudi->click();
    EXPECT_FALSE(QFileInfo::exists(tabella(QStringLiteral("GRAFT01.DB"))));
    EXPECT_TRUE(QFileInfo::exists(tabella()));
    platform::setLocalTables(m_tabelle);
}

TEST_F(GraficoForm, aFailedPointTableEndsTheActionWithItsReason)
{
    // The working folder is a file: the point table cannot be made.
    platform::setLocalTables(nullptr);
    QFile blocco(m_lavoro.path() + QStringLiteral("/QUERY"));
    ASSERT_TRUE(blocco.open(QIODevice::WriteOnly));
    blocco.close();
    scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
    m_form->RadioGroup1->setItemIndex(0);
    m_form->ButtonVisualizza->click();
    const auto messaggi = m_servizi.messages().messages();
    ASSERT_EQ(messaggi.size(), 1);
    EXPECT_EQ(messaggi.at(0).kind, platform::Error);
    EXPECT_TRUE(messaggi.at(0).text.startsWith(QStringLiteral("Impossibile creare il grafico:\rImpossibile creare la tabella \"")))
        << messaggi.at(0).text.toStdString();
    EXPECT_EQ(m_form->ultimoGrafico(), nullptr);
    platform::setLocalTables(m_tabelle);
}

// ---- the chart window: print and save --------------------------------------

class FinestraGraficoTest : public GraficoForm
{
protected:
    FinestraGrafico *grafico(bool xyz, int tipo, bool verticale = false)
    {
        scegli(QStringLiteral("CITTA"), QStringLiteral("IMPORTO"));
        if (xyz)
            aggiunti({QStringLiteral("QTA"), QStringLiteral("COSTO")});
        (xyz ? m_form->RadioGroup2 : m_form->RadioGroup1)->setItemIndex(tipo);
        m_form->RadioGroup3->setItemIndex(verticale ? 1 : 0);
        m_form->EditTitolo->setText(QStringLiteral("Vendite per città"));
        m_form->EditDescrAsseZ->setText(QStringLiteral("Campi"));
        m_form->ButtonVisualizza->click();
        return m_form->ultimoGrafico();
    }
    QTemporaryDir m_out;
};

TEST_F(FinestraGraficoTest, savesPdfAndPngThroughTheFileDialog)
{
    FinestraGrafico *f = grafico(true, 0);
    ASSERT_NE(f, nullptr);
    const QString pdf = m_out.filePath(QStringLiteral("grafico.pdf"));
    const QString png = m_out.filePath(QStringLiteral("grafico.png"));
    m_servizi.fileDialogs().queueFile(pdf);
    f->ButtonSalvaPdf->click();
    m_servizi.fileDialogs().queueFile(png);
    f->ButtonSalvaPng->click();
    m_servizi.fileDialogs().queueFile(std::nullopt); // cancelled: nothing written
    f->ButtonSalvaPng->click();
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
    EXPECT_EQ(pagineDelPdf(pdf), 1);
    QImage immagine(png);
    ASSERT_FALSE(immagine.isNull());
    EXPECT_EQ(immagine.size(), f->vista()->size() * 2);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), 2); // no temporary file left
    const auto richieste = m_servizi.fileDialogs().requests();
    ASSERT_EQ(richieste.size(), 3);
    EXPECT_EQ(richieste.at(0).defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(richieste.at(1).defaultSuffix, QStringLiteral("png"));
}

struct DestinazioneCase
{
    const char *nome;
    bool png;
};

class DestinazioniRifiutate : public FinestraGraficoTest, public ::testing::WithParamInterface<DestinazioneCase> {};

TEST_P(DestinazioniRifiutate, failWithTheSystemsReasonAndLeaveTheFormerFile)
{
    FinestraGrafico *f = grafico(false, 0);
    ASSERT_NE(f, nullptr);
    // A folder where the file should go; a file in a folder that is not there.
    const QString cartella = m_out.filePath(QStringLiteral("cartella"));
    QDir().mkpath(cartella);
    const QString mancante = m_out.filePath(QStringLiteral("manca/grafico"));
    for (const QString &file : {cartella, mancante}) {
        m_servizi.messages().clear();
        const bool ok = GetParam().png ? f->salvaPng(file) : f->salvaPdf(file);
        EXPECT_FALSE(ok);
        const auto messaggi = m_servizi.messages().messages();
        ASSERT_EQ(messaggi.size(), 1);
        EXPECT_EQ(messaggi.at(0).kind, platform::Error);
        const QString lead = QStringLiteral("Impossibile salvare il file %1 \"%2\":\r")
                                 .arg(GetParam().png ? QStringLiteral("PNG") : QStringLiteral("PDF"), file);
        EXPECT_TRUE(messaggi.at(0).text.startsWith(lead)) << messaggi.at(0).text.toStdString();
        EXPECT_GT(messaggi.at(0).text.size(), lead.size()); // the reason follows
    }
    EXPECT_TRUE(QFileInfo(cartella).isDir());
    EXPECT_FALSE(QFileInfo::exists(mancante));
}

INSTANTIATE_TEST_SUITE_P(Cases, DestinazioniRifiutate, ::testing::Values(DestinazioneCase{"pdf", false},
                                                                         DestinazioneCase{"png", true}),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST_F(FinestraGraficoTest, printsThroughThePrintDialogAndNotWhenItIsCancelled)
{
    FinestraGrafico *f = grafico(false, 2);
    ASSERT_NE(f, nullptr);
    const QString pdf = m_out.filePath(QStringLiteral("stampa.pdf"));
    auto prima = FinestraGrafico::sceltaStampante();
    int chiamate = 0;
    bool accetta = false;
    FinestraGrafico::sceltaStampante() = [&](QPrinter &p, QWidget *padre) {
        ++chiamate;
        EXPECT_EQ(padre, f);
        EXPECT_EQ(p.pageLayout().orientation(), QPageLayout::Landscape);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return accetta;
    };
    f->ButtonStampa->click();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    accetta = true;
    f->ButtonStampa->click();
    FinestraGrafico::sceltaStampante() = prima;
    EXPECT_EQ(chiamate, 2);
    EXPECT_EQ(pagineDelPdf(pdf), 1);
    EXPECT_TRUE(m_servizi.messages().texts().isEmpty());
}

// One chart of each family saved as PDF and PNG; with VARDOF_GRAFICI_DIR
// set they are kept there to be looked at.
struct FamigliaCase
{
    const char *nome;
    bool xyz;
    int tipo;
    bool verticale;
};

class Famiglie : public FinestraGraficoTest, public ::testing::WithParamInterface<FamigliaCase> {};

TEST_P(Famiglie, renderToAPageAndAPicture)
{
    FinestraGrafico *f = grafico(GetParam().xyz, GetParam().tipo, GetParam().verticale);
    ASSERT_NE(f, nullptr);
    const QString cartella = qEnvironmentVariableIsSet("VARDOF_GRAFICI_DIR") ? qEnvironmentVariable("VARDOF_GRAFICI_DIR")
                                                                             : m_out.path();
    const QString base = cartella + QLatin1Char('/') + QLatin1String(GetParam().nome);
    ASSERT_TRUE(f->salvaPdf(base + QStringLiteral(".pdf")));
    ASSERT_TRUE(f->salvaPng(base + QStringLiteral(".png")));
    EXPECT_EQ(pagineDelPdf(base + QStringLiteral(".pdf")), 1);
    // Something besides the white background was drawn in the middle.
    QImage immagine(base + QStringLiteral(".png"));
    ASSERT_FALSE(immagine.isNull());
    int colorati = 0;
    for (int y = immagine.height() / 4; y < immagine.height() * 3 / 4; y += 4)
        for (int x = immagine.width() / 4; x < immagine.width() * 3 / 4; x += 4) {
            const QColor c = immagine.pixelColor(x, y);
            colorati += c.saturation() > 60;
        }
    EXPECT_GT(colorati, 20);
}

INSTANTIATE_TEST_SUITE_P(Cases, Famiglie, ::testing::Values(
    FamigliaCase{"normale", false, 0, false}, FamigliaCase{"normale_verticale", false, 0, true},
    FamigliaCase{"linee", false, 2, false}, FamigliaCase{"barre3d", false, 3, false},
    FamigliaCase{"torta", false, 4, false}, FamigliaCase{"xyz_normale", true, 0, false},
    FamigliaCase{"xyz_in_pila_verticale", true, 2, true}, FamigliaCase{"xyz_percentuali", true, 4, false},
    FamigliaCase{"xyz_linee_verticale", true, 6, true}, FamigliaCase{"xyz_area", true, 7, false},
    FamigliaCase{"xyz_torte_fisse", true, 9, false}, FamigliaCase{"xyz_torte_proporzionali", true, 10, false}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- "&Grafico" of the query window on an answer of the archive ------------

struct CampiCase
{
    int typeCode;
    int scale;
    int subType;
    bool ammesso;
    bool numerico;
};

class CampiDellaRisposta : public ::testing::TestWithParam<CampiCase> {};

TEST_P(CampiDellaRisposta, textDatesAndNumbersOnly)
{
    db::Column c;
    c.name = QStringLiteral("F");
    c.typeCode = GetParam().typeCode;
    c.scale = GetParam().scale;
    c.subType = GetParam().subType;
    const auto campi = campiGrafico({c});
    ASSERT_EQ(campi.size(), GetParam().ammesso ? 1 : 0);
    if (GetParam().ammesso) {
        EXPECT_EQ(campi.at(0).numerico, GetParam().numerico);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CampiDellaRisposta, ::testing::Values(
    CampiCase{db::TypeVarchar, 0, 0, true, false}, CampiCase{db::TypeChar, 0, 0, true, false},
    CampiCase{db::TypeDate, 0, 0, true, false}, CampiCase{db::TypeTime, 0, 0, true, false},
    CampiCase{db::TypeTimestamp, 0, 0, true, false}, CampiCase{db::TypeSmallint, 0, 0, true, true},
    CampiCase{db::TypeInteger, 0, 0, true, true}, CampiCase{db::TypeBigint, 0, 0, true, true},
    CampiCase{db::TypeBigint, 2, 2, true, true}, CampiCase{db::TypeFloat, 0, 0, true, true},
    CampiCase{db::TypeDouble, 0, 0, true, true}, CampiCase{db::TypeBlob, 0, 1, false, false},
    CampiCase{db::TypeBlob, 0, 0, false, false}, CampiCase{db::TypeBoolean, 0, 0, false, false}));

class GraficoQuery : public test::OutputDb {};

TEST_F(GraficoQuery, chartsTheAnswerOfTheArchive)
{
    platform::ScopedServices servizi;
    auto tabelle = std::make_shared<platform::ScriptedLocalTables>();
    auto prima = platform::setLocalTables(tabelle);
    QWidget query;
    query.setFont(QFont(QStringLiteral("Sans"), 13));
    ContestoGrafico c;
    c.risposta = risposta();
    c.ditta = QStringLiteral("D01");
    c.dirLavoro = m_out.path() + QLatin1Char('/');
    c.font = query.font();
    QStringList x, y;
    QList<QVariantList> righe;
    c.esegui = [&](TGraficoForm &f) {
        EXPECT_EQ(f.font().pointSize(), 13);
        EXPECT_EQ(f.parentWidget(), &query);
        for (int i = 0; i < f.EditDescrizione1->count(); ++i)
            x << f.EditDescrizione1->itemText(i);
        f.EditDescrizione1->setCurrentIndex(f.EditDescrizione1->findText(QStringLiteral("NOME")));
        for (int i = 0; i < f.EditValore->count(); ++i)
            y << f.EditValore->itemText(i);
        f.EditValore->setCurrentIndex(f.EditValore->findText(QStringLiteral("IMPORTO")));
        f.RadioGroup1->setItemIndex(0);
        f.ButtonVisualizza->click();
        righe = tabelle->storedRows(f.tabellaPunti().percorso);
        EXPECT_NE(f.ultimoGrafico(), nullptr);
        return int(QDialog::Rejected);
    };
    ButtonGraficoClick(&query, c);
    platform::setLocalTables(prima);
    EXPECT_EQ(x, (QStringList{"ID", "NOME", "IMPORTO", "QTA", "PREZZO", "DATA", "ORA", "MOMENTO"}));
    EXPECT_EQ(y, (QStringList{"ID", "IMPORTO", "QTA", "PREZZO"}));
    ASSERT_EQ(righe.size(), 3);
    EXPECT_EQ(righe.at(0).at(0), QStringLiteral("Caffè; latte"));
    EXPECT_EQ(righe.at(0).at(2), 1234.5);
    EXPECT_EQ(righe.at(1).at(2), -0.05);
    EXPECT_EQ(righe.at(2).at(2), 0.0); // NULL
    EXPECT_TRUE(servizi.messages().texts().isEmpty());
}

TEST_F(GraficoQuery, anAnswerThatCannotBeReadIsShownWithTheServersReason)
{
    platform::ScopedServices servizi;
    ContestoGrafico c;
    c.risposta.sql = {QStringLiteral("SELECT NONCE FROM PROVA")};
    c.risposta.transazione = &tra();
    bool aperta = false;
    c.esegui = [&](TGraficoForm &) {
        aperta = true;
        return 0;
    };
    ButtonGraficoClick(nullptr, c);
    EXPECT_FALSE(aperta);
    const auto testi = servizi.messages().texts();
    ASSERT_EQ(testi.size(), 1);
    EXPECT_TRUE(testi.at(0).startsWith(QStringLiteral("Impossibile leggere la risposta della query:\r")));
    EXPECT_TRUE(testi.at(0).contains(QStringLiteral("NONCE"))) << testi.at(0).toStdString();
}
