#pragma once

// Charts of an answer: the point rows (category, series, value) written
// from the answer, the order prefix that keeps the answer's order, the
// chart kind chosen from the two groups of types and the orientation, and
// the title and axis texts.

#include "output/report/StampaReport.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vardof::output::report {

struct PuntoGrafico
{
    QString descrizione1; // the category (x), at most 20 characters
    QString descrizione2; // the series: the value field's name
    double valore = 0;
};

// Digits of the order prefix: 2 up to 99 records, 4 above 999, else 3.
int cifrePrefisso(qint64 record);
// "001." for the first of 150 records.
QString prefissoOrdine(qint64 posizione, qint64 record);

// One pass for the y field, then one for each further field, over every
// record. With `originale` the category carries the order prefix. Points
// go to `punto` as they are made; false with the reason.
bool scriviPunti(SorgenteStampa &risposta, const QString &campoX, const QStringList &campiValore, bool originale,
                 const std::function<bool(const PuntoGrafico &)> &punto, QString *errore);

// The x/y types: "Normale", "Normale 3D", "A linee", "A barre", "A torta";
// the x/y/z types: "Normale", "Normale 3D", "In pila", "In pila 3D",
// "Percentuali", "Percentuali 3D", "A linee", "Area", "A barre 3D",
// "A torta con torte a dim. fissa", "A torta con torte a dim. proporz.".
QString modelloGrafico(bool xyz, int tipo, bool verticale);

QString formulaTitolo(const QString &titolo);
QString formulaAsse(const QString &asse, const QString &testo); // asse "X", "Y", "Z"

} // namespace vardof::output::report
