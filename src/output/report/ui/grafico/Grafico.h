#pragma once

// A chart template's drawing in Qt Charts: the series of the template's
// kind over the categories and series of the point rows, the title and the
// axis texts. The chart window shows what this builds and builds it again
// at the size of a page or picture when printing and saving.

#include "output/report/SceltaGrafico.h"

#include <QChart>

namespace vardof::output::report {

// A new chart (owned by the caller) of the kind `scelta` over `dati`.
QChart *costruisciGrafico(const SceltaGrafico &scelta, const DatiGrafico &dati, const TestiGrafico &testi);

// Texts of the category and value axes, the title's further lines: which
// of the axis texts a kind shows where (pies have no axes, so their x and y
// texts go under the title, as the z text does for every kind).
QString titoloGrafico(const SceltaGrafico &scelta, const TestiGrafico &testi);

} // namespace vardof::output::report
