#pragma once

// What each chart template draws, for our own chart window: the kind of
// chart a template name stands for, and the point rows gathered into
// categories and series. Nothing here draws; the window turns a choice and
// its data into a chart.
//
// The templates come in an "Orizzontale" and a "Verticale" face. The
// horizontal face lays the categories along the horizontal axis (the
// ordinary column chart, lines running left to right); the vertical face
// lays them along the vertical axis (bars growing sideways). Templates made
// as 3D charts are drawn flat with the same riser, stacking and orientation.

#include "output/report/PuntiGrafico.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::output::report {

enum class FormaGrafico {
    Barre,        // one riser per category and series
    Linee,        // one line per series
    Area,         // one area per series, each on top of the one before
    Torta,        // one pie, a slice per category (the first series)
    TorteMultiple // one pie per series, a slice per category
};

enum class Impilamento {
    Affiancate,  // series side by side
    InPila,      // series stacked
    Percentuali  // series stacked to 100% of the category
};

struct SceltaGrafico
{
    FormaGrafico forma = FormaGrafico::Barre;
    Impilamento impilamento = Impilamento::Affiancate;
    bool categorieVerticali = false; // categories along the vertical axis
    bool treD = false;               // made as a 3D chart, drawn flat
    bool torteProporzionali = false; // TorteMultiple: pie areas follow their totals

    bool operator==(const SceltaGrafico &) const = default;
};

// The chart a template stands for (its name as in modelloGrafico(), any
// case); nullopt for a name that is not one of the templates.
std::optional<SceltaGrafico> sceltaGrafico(const QString &modello);

// The point rows as a chart reads them: categories by the text of
// "Descrizione1" (the order prefix of "Originale" keeps the answer's order),
// series in the order they first come (the y field, then the further
// fields), the values of rows with the same category and series added up.
struct DatiGrafico
{
    QStringList categorie;
    QStringList serie;
    std::vector<std::vector<double>> valori; // [serie][categoria]

    double valore(int serie, int categoria) const { return valori[size_t(serie)][size_t(categoria)]; }
    double totaleSerie(int serie) const;
};

DatiGrafico raccogliPunti(const QList<PuntoGrafico> &punti);

// What the chart shows of the four formulas "Titolo", "DescrizioneX",
// "DescrizioneY" and "DescrizioneZ", read back from their literals: the
// title ("Senza titolo " when none was typed), "Asse X: ..." and so on, or
// an empty text for an axis without one.
struct TestiGrafico
{
    QString titolo;
    QString asseX, asseY, asseZ;
};

TestiGrafico testiGrafico(const QString &titolo, const QString &asseX, const QString &asseY, const QString &asseZ);

} // namespace vardof::output::report
