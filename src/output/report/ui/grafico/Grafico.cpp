#include "output/report/ui/grafico/Grafico.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QHorizontalPercentBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QSet>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vardof::output::report {

namespace {

// Slices and risers of the same category or series keep one colour in
// every pie of a chart.
QColor colore(int i)
{
    static const QRgb tavolozza[] = {0x209fdf, 0x99ca53, 0xf6a625, 0x6d5fd5, 0xbf593e, 0x2eb8a4,
                                     0xd4a6c8, 0x8c6d31, 0x5b8cc7, 0xe15759, 0x76b7b2, 0xb07aa1};
    return QColor(tavolozza[size_t(i) % std::size(tavolozza)]);
}

QString numero(double v)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(v, 'f', std::abs(v - std::round(v)) < 1e-9 ? 0 : 2);
}

// The category axis takes neither empty nor repeated names, and would
// leave them out, moving every later name onto the wrong riser: an empty
// text is shown blank, and names stay apart by trailing blanks.
QStringList etichetteCategorie(const QStringList &categorie)
{
    QStringList out;
    QSet<QString> usate(categorie.begin(), categorie.end());
    for (const QString &c : categorie) {
        if (!c.isEmpty()) {
            out << c;
            continue;
        }
        QString e = QStringLiteral(" ");
        while (usate.contains(e))
            e += QLatin1Char(' ');
        usate.insert(e);
        out << e;
    }
    return out;
}

// The value axis covers every riser, stacks included, and zero; its
// labels carry decimals only when its steps do.
void rangeValori(QValueAxis *asse, const SceltaGrafico &s, const DatiGrafico &d)
{
    double minimo = 0, massimo = 0;
    const bool pila = s.impilamento == Impilamento::InPila || s.forma == FormaGrafico::Area;
    for (int c = 0; c < d.categorie.size(); ++c) {
        double sopra = 0, sotto = 0;
        for (int i = 0; i < d.serie.size(); ++i) {
            const double v = d.valore(i, c);
            if (pila) {
                (v < 0 ? sotto : sopra) += v;
            } else {
                minimo = std::min(minimo, v);
                massimo = std::max(massimo, v);
            }
        }
        minimo = std::min(minimo, sotto);
        massimo = std::max(massimo, sopra);
    }
    if (minimo == massimo)
        massimo = minimo + 1;
    asse->setRange(minimo, massimo);
    asse->applyNiceNumbers();
    const double passo = (asse->max() - asse->min()) / std::max(1, asse->tickCount() - 1);
    const int decimali = std::abs(passo - std::round(passo)) < 1e-9 ? 0 : std::abs(passo * 10 - std::round(passo * 10)) < 1e-9 ? 1 : 2;
    asse->setLabelFormat(QStringLiteral("%.%1f").arg(decimali));
}

void assi(QChart *grafico, const QList<QAbstractSeries *> &serie, const SceltaGrafico &s, const DatiGrafico &d,
          const TestiGrafico &t)
{
    auto *categorie = new QBarCategoryAxis;
    categorie->append(etichetteCategorie(d.categorie));
    categorie->setTitleText(t.asseX);
    auto *valori = new QValueAxis;
    valori->setTitleText(t.asseY);
    grafico->addAxis(categorie, s.categorieVerticali ? Qt::AlignLeft : Qt::AlignBottom);
    grafico->addAxis(valori, s.categorieVerticali ? Qt::AlignBottom : Qt::AlignLeft);
    for (QAbstractSeries *x : serie) {
        x->attachAxis(categorie);
        x->attachAxis(valori);
    }
    if (s.impilamento == Impilamento::Percentuali) {
        valori->setRange(0, 100);
        valori->setLabelFormat(QStringLiteral("%.0f%%"));
    } else {
        rangeValori(valori, s, d);
    }
}

QList<QAbstractSeries *> barre(const SceltaGrafico &s, const DatiGrafico &d)
{
    QAbstractBarSeries *serie = nullptr;
    switch (s.impilamento) {
    case Impilamento::Affiancate:
        serie = s.categorieVerticali ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries) : new QBarSeries;
        break;
    case Impilamento::InPila:
        serie = s.categorieVerticali ? static_cast<QAbstractBarSeries *>(new QHorizontalStackedBarSeries)
                                     : new QStackedBarSeries;
        break;
    case Impilamento::Percentuali:
        serie = s.categorieVerticali ? static_cast<QAbstractBarSeries *>(new QHorizontalPercentBarSeries)
                                     : new QPercentBarSeries;
        break;
    }
    for (int i = 0; i < d.serie.size(); ++i) {
        auto *insieme = new QBarSet(d.serie.at(i));
        insieme->setColor(colore(i));
        insieme->setBorderColor(colore(i).darker(130));
        for (int c = 0; c < d.categorie.size(); ++c)
            insieme->append(d.valore(i, c));
        serie->append(insieme);
    }
    return {serie};
}

// The point of category c at value v, the categories lying on their axis
// at 0, 1, 2...
QPointF punto(const SceltaGrafico &s, int c, double v)
{
    return s.categorieVerticali ? QPointF(v, c) : QPointF(c, v);
}

QList<QAbstractSeries *> linee(const SceltaGrafico &s, const DatiGrafico &d)
{
    QList<QAbstractSeries *> out;
    for (int i = 0; i < d.serie.size(); ++i) {
        auto *linea = new QLineSeries;
        linea->setName(d.serie.at(i));
        QPen penna(colore(i));
        penna.setWidthF(2);
        linea->setPen(penna);
        linea->setPointsVisible(d.categorie.size() <= 40);
        for (int c = 0; c < d.categorie.size(); ++c)
            linea->append(punto(s, c, d.valore(i, c)));
        out << linea;
    }
    return out;
}

QList<QAbstractSeries *> aree(const SceltaGrafico &s, const DatiGrafico &d)
{
    QList<QAbstractSeries *> out;
    std::vector<double> base(size_t(d.categorie.size()), 0.0);
    for (int i = 0; i < d.serie.size(); ++i) {
        auto *sotto = new QLineSeries;
        auto *sopra = new QLineSeries;
        for (int c = 0; c < d.categorie.size(); ++c) {
            sotto->append(punto(s, c, base[size_t(c)]));
            base[size_t(c)] += d.valore(i, c);
            sopra->append(punto(s, c, base[size_t(c)]));
        }
        auto *area = new QAreaSeries(sopra, sotto);
        sopra->setParent(area);
        sotto->setParent(area);
        area->setName(d.serie.at(i));
        area->setColor(colore(i));
        area->setBorderColor(colore(i).darker(130));
        out << area;
    }
    return out;
}

QPieSeries *torta(const DatiGrafico &d, int i, bool etichette, int &negativi)
{
    auto *t = new QPieSeries;
    t->setName(d.serie.at(i));
    const double totale = d.totaleSerie(i);
    for (int c = 0; c < d.categorie.size(); ++c) {
        const double v = d.valore(i, c);
        if (!(v > 0)) { // a slice needs a positive share
            negativi += v < 0;
            continue;
        }
        auto *fetta = t->append(d.categorie.at(c), v);
        fetta->setColor(colore(c));
        fetta->setBorderColor(Qt::white);
        if (etichette && totale > 0) {
            fetta->setLabel(d.categorie.at(c) + QStringLiteral(" ") + numero(100.0 * v / totale) + QStringLiteral("%"));
            fetta->setLabelVisible(true);
            fetta->setLabelArmLengthFactor(0.08);
        }
    }
    return t;
}

// Pies side by side in a grid, each with its field's name under it; sizes
// relative to the plot area, so they follow the chart when it is resized.
// Gives the count of negative values, which no slice can show.
int torte(QChart *grafico, const SceltaGrafico &s, const DatiGrafico &d)
{
    int negativi = 0;
    const int n = int(d.serie.size());
    if (n == 0)
        return 0;
    const int colonne = int(std::ceil(std::sqrt(double(n))));
    const int righe = (n + colonne - 1) / colonne;
    double massimo = 0;
    for (int i = 0; i < n; ++i)
        massimo = std::max(massimo, d.totaleSerie(i));
    QList<QGraphicsSimpleTextItem *> nomi;
    // One pie with few slices names them around itself (room left for the
    // names) and needs no legend; otherwise the legend names the slices.
    const bool etichette = n == 1 && d.categorie.size() <= 12;
    grafico->legend()->setVisible(!etichette);
    for (int i = 0; i < n; ++i) {
        QPieSeries *t = torta(d, i, etichette, negativi);
        const double cella = 1.0 / std::max(colonne, righe);
        double dimensione = (etichette ? 0.6 : 0.8) * cella;
        if (s.torteProporzionali)
            dimensione *= massimo > 0 && d.totaleSerie(i) > 0 ? std::sqrt(d.totaleSerie(i) / massimo) : 0.0;
        t->setPieSize(dimensione);
        t->setHorizontalPosition((i % colonne + 0.5) / colonne);
        t->setVerticalPosition((i / colonne + (n == 1 ? 0.5 : 0.45)) / righe);
        grafico->addSeries(t);
        if (i > 0) // the legend names the categories once
            for (QLegendMarker *m : grafico->legend()->markers(t))
                m->setVisible(false);
        if (n > 1) {
            auto *nome = new QGraphicsSimpleTextItem(d.serie.at(i), grafico);
            nomi << nome;
        }
    }
    if (nomi.isEmpty())
        return negativi;
    auto colloca = [nomi, colonne, righe](const QRectF &area) {
        for (int i = 0; i < nomi.size(); ++i) {
            QGraphicsSimpleTextItem *nome = nomi.at(i);
            const QRectF r = nome->boundingRect();
            const double x = area.left() + area.width() * (i % colonne + 0.5) / colonne - r.width() / 2;
            const double y = area.top() + area.height() * (i / colonne + 1.0) / righe - r.height() - 2;
            nome->setPos(x, y);
        }
    };
    QObject::connect(grafico, &QChart::plotAreaChanged, grafico, colloca);
    colloca(grafico->plotArea());
    return negativi;
}

} // namespace

QString titoloGrafico(const SceltaGrafico &scelta, const TestiGrafico &testi)
{
    QString html = QStringLiteral("<b>") + testi.titolo.toHtmlEscaped() + QStringLiteral("</b>");
    QStringList sotto;
    if (scelta.forma == FormaGrafico::Torta || scelta.forma == FormaGrafico::TorteMultiple) {
        if (!testi.asseX.isEmpty())
            sotto << testi.asseX;
        if (!testi.asseY.isEmpty())
            sotto << testi.asseY;
    }
    if (!testi.asseZ.isEmpty())
        sotto << testi.asseZ;
    for (const QString &r : std::as_const(sotto))
        html += QStringLiteral("<br><small>") + r.toHtmlEscaped() + QStringLiteral("</small>");
    return QStringLiteral("<div align=\"center\">") + html + QStringLiteral("</div>");
}

QChart *costruisciGrafico(const SceltaGrafico &scelta, const DatiGrafico &dati, const TestiGrafico &testi)
{
    auto *grafico = new QChart;
    grafico->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    grafico->setLocalizeNumbers(true);
    grafico->setTitle(titoloGrafico(scelta, testi));
    grafico->legend()->setAlignment(Qt::AlignBottom);
    grafico->setAnimationOptions(QChart::NoAnimation);
    QList<QAbstractSeries *> serie;
    switch (scelta.forma) {
    case FormaGrafico::Barre: serie = barre(scelta, dati); break;
    case FormaGrafico::Linee: serie = linee(scelta, dati); break;
    case FormaGrafico::Area: serie = aree(scelta, dati); break;
    case FormaGrafico::Torta:
    case FormaGrafico::TorteMultiple: {
        DatiGrafico una;
        if (scelta.forma == FormaGrafico::Torta && dati.serie.size() > 1) {
            una = dati;
            una.serie = dati.serie.mid(0, 1);
            una.valori.resize(1);
        }
        const int negativi = torte(grafico, scelta, una.serie.isEmpty() ? dati : una);
        if (negativi > 0) // a pie cannot show them: the title says how many were left out
            grafico->setTitle(grafico->title().replace(
                QStringLiteral("</div>"),
                QStringLiteral("<br><small>Valori negativi non rappresentati: %1</small></div>").arg(negativi)));
        return grafico;
    }
    }
    for (QAbstractSeries *x : serie)
        grafico->addSeries(x);
    assi(grafico, serie, scelta, dati, testi);
    return grafico;
}

} // namespace vardof::output::report
