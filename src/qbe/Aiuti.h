#pragma once

// The texts the condition helpers (F4 to F10 of the interrogation grid)
// write into a row's condition, with their checks and refusals. No widgets: the window's
// dialogs ask, these decide what is written.
//
// Values typed into a helper go into SQL literals with their single quotes
// doubled, once; what the user writes as a whole condition (F9) or a
// formula (F7) stays raw.

#include "platform/DataDigitata.h"
#include "qbe/Interrogazione.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::qbe {

// Which keys a row takes: F4 to F8 and F10 only on column rows (0, 1, 5,
// 6), F9 on any; F3, F7, F8 and F9 are refused on a locked query.
bool tastoAmmesso(int key, int mostra, bool bloccata);

// ---- F4, F5 ------------------------------------------------------------------

struct EsitoParentesi
{
    QString condizione;
    bool apriEditor = false; // the cell editor opens on the new text
};
// Empty -> "(" (editor); "(..." -> "(...)"; any other c -> "(" + c (editor).
EsitoParentesi MettiParentesi(const QString &condizione);
// The row's Nome appended, no separator.
QString InserisciNomeCampo(const QString &condizione, const QString &nome);

// ---- dates -------------------------------------------------------------------

// Dates are read as the date box writes them (platform/DataDigitata.h).
using platform::normalizzaData;

// ---- F6, range ---------------------------------------------------------------

inline const QString kMsgRange = QStringLiteral("Impostare correttamente i valori del range");

// The condition of a range on `nome` from `da` to `a` (either may be
// empty), by the class of the column: dates (the dialog's date boxes) are
// checked and written gg/mm/aaaa in quotes, integer and floating values
// bare, every other class in quotes. Nothing when the range is refused
// (kMsgRange): an invalid date, or two texts whose first sorts after the
// second; an empty text when neither bound is filled (the condition stays
// as it is).
std::optional<QString> testoRange(const QString &nome, const QString &da, const QString &a, TipoCampo tipo);

// ---- F7, formulas -------------------------------------------------------------

inline const QString kMsgFormulaVuota = QStringLiteral("Formula non impostata!");
inline const QString kMsgCastSenzaCampo =
    QStringLiteral("Per la funzione CAST è necessario indicare un campo di riferimento");
inline const QString kMsgTipoCast = QStringLiteral("Tipo dato obbligatorio");
// The types offered for CAST. DATETIME is not a type of the server's SQL:
// TIMESTAMP stands in its place, so that the formula can run.
QStringList tipiCast();
// The formula is the single word CAST (any case, blanks around ignored).
bool eFormulaCast(const QString &formula);
QString formulaCast(const QString &campo, const QString &tipo);
// "(CALC (" + formula + ")" [+ " AS " + nome] + ")".
QString testoFormula(const QString &formula, const QString &nome);

// ---- F8, year or month -------------------------------------------------------

enum class DatoEstratto { Nessuno, Anno, Mese };
// The message that keeps the dialog open, empty when it may close.
QString verificaEstrazione(const QString &campo, DatoEstratto dato, const QString &nome);
QString testoEstrazione(const QString &campo, DatoEstratto dato, const QString &nome);
// The name the choice proposes for an empty answer column: "Anno" / "Mese".
QString nomeEstrazione(DatoEstratto dato);

// ---- F9, F10 -----------------------------------------------------------------

// The memo text as one line: every CR and LF removed.
QString testoEditor(const QString &memo);
// (N=v) for integer and floating columns, (N='v') for every other class.
QString testoValore(const QString &nome, const QString &valore, TipoCampo tipo);

} // namespace vardof::qbe
