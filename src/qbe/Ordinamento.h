#pragma once

// Ordering, totals and sums of an answer, as text and codes: what the
// "Ordinamento e Totali" dialog lists and writes back into the column codes,
// the ORDER BY lines those codes give, the immediate sum of a column and the
// aggregate conditions the COUNT / SUM dialogs write into the interrogation.
// No widgets and no statements of their own: the window's dialogs and the
// engine use these, so each rule can be tried alone.

#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vardof::qbe {

class TabRispTmp;

inline const QString kMsgTroppeChiavi = QStringLiteral("Attenzione: Troppi campi in Chiave di ordinamento");
// At most this many columns in the sort key (the two digits of a code).
inline constexpr int kMaxChiavi = 31;

// The four lists of the dialog, as 0-based answer columns, and its choice.
struct ListeOrdETot
{
    std::vector<int> disponibili; // may join the key
    std::vector<int> chiave;      // in sort position order
    std::vector<int> numerici;    // may get a total
    std::vector<int> totali;      // total printed at the end of a report
    bool decrescente = false;
};

// The lists for an answer whose columns have the classes `tipi`. Blob
// columns are never offered as keys; only integer, floating and scaled
// columns are offered for totals.
ListeOrdETot RiempiOrdETot(const std::vector<TipoCampo> &tipi, const CodiciColonne &codici);

// Whether a column may join the key that holds `chiavi` columns already.
inline bool chiaveAmmessa(int chiavi) { return chiavi < kMaxChiavi; }

// "&Aggiorna": every column's code gets d1 (descending, key columns only),
// d2 d3 (its 1-based place in `chiave`, 00 outside) and d4 (in `totali`);
// its digit grouping stays.
void AggiornaCodici(CodiciColonne &codici, int colonne, const std::vector<int> &chiave,
                    const std::vector<int> &totali, bool decrescente);

// The ORDER BY lines the codes ask for over `colonne` answer columns:
// "ORDER BY", then the 1-based column positions in key order, each but the
// last followed by ", ", then "DESCENDING" when some code is descending.
// Empty when no column is in the key.
QStringList righeOrderBy(const CodiciColonne &codici, int colonne);

// The statement without its trailing ORDER BY: from the last line
// backwards, lines are dropped up to and including the first that contains
// "ORDER BY"; the first line always stays.
QStringList togliOrderBy(const QStringList &righe);

// ---- immediate sum ----------------------------------------------------------

// The columns a sum is offered for: integer, floating and scaled.
bool eNumerica(TipoCampo tipo);
// The sum of a column over every row of the answer (fetched to its end;
// throws db::Error when that fails). NULLs count as nothing.
double SommaColonna(TabRispTmp &risposta, int colonna);
// The message of the sum: two decimals and thousands points, empty for 0.
QString testoSomma(double somma);

// ---- aggregate conditions -------------------------------------------------

// "(CALC (COUNT(campo)) AS nome)" / "(CALC (SUM(campo)) AS nome)".
QString condizioneConteggio(const QString &campo, const QString &nome);
QString condizioneSomma(const QString &campo, const QString &nome);
// "Inserisci somma con raggruppamento corrente": "(Calc (Sum(campo)) as titolo)".
QString condizioneSommaRaggruppamento(const QString &campo, const QString &titolo);
// Writes that condition into the row named exactly `campo`; false (nothing
// changed) when there is none.
bool InserisciSommaRaggruppamento(TabIntTmp &tab, const QString &campo, const QString &titolo);

} // namespace vardof::qbe
