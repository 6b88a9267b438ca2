#pragma once

// Charts of an answer: the point rows (category, series, value) written
// from the answer, the order prefix that keeps the answer's order, the
// chart kind chosen from the two groups of types and the orientation, and
// the title and axis texts.

#include "output/report/StampaReport.h"
#include "platform/LocalTable.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vardof::output::report {

struct PuntoGrafico
{
    QString descrizione1; // the category (x), in full
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

// The chart's texts as string literals of the templates' formula language.
// An apostrophe typed in the text is doubled, so that the literal stays one
// literal and reads back as typed.
QString formulaTitolo(const QString &titolo);
QString formulaAsse(const QString &asse, const QString &testo); // asse "X", "Y", "Z"
// What a string literal of that language stands for: the text between the
// outer apostrophes, a doubled apostrophe read as one. Text that is not a
// literal comes back as given.
QString testoFormula(const QString &formula);

// ---- the point table ---------------------------------------------------------

// The point table of the working folder: {working folder}QUERY/RISPTMP/GRAFTMP,
// standard name GRAFTMP.DB, an alternative (GRAFT01.DB, ...) while another
// copy of the system holds it.
inline const QString kGraftmp = QStringLiteral("GRAFTMP.DB");
QString cartellaPuntiGrafico(const QString &dirLavoro);
// "Descrizione1" text 20, "Descrizione2" text 20, "Valore" floating point.
// The 20 characters stay the declared width, so that a table already in the
// working folder and a new one are alike; the local tables never cut a text
// to its declared width, so categories are stored and read back whole.
platform::LocalTableLayout layoutPuntiGrafico();

struct TabellaPunti
{
    QString percorso;            // the table used, folder + name
    QString nome;                // its name (GRAFTMP.DB or an alternative)
    QList<PuntoGrafico> punti;   // the rows as the table gives them back
};

// Settles the point table by the free-table rule (creating it, with its
// folder, when there is no free one), empties it, writes the points of the
// answer and reads them back before letting the table go, so that what is
// drawn is what the table held. False with the reason; `esito` then names
// the table when one was reached (for its deletion).
bool ScriviTabellaPunti(SorgenteStampa &risposta, const QString &campoX, const QStringList &campiValore,
                        bool originale, const QString &dirLavoro, TabellaPunti &esito, QString *errore);

} // namespace vardof::output::report
