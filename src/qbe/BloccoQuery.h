#pragma once

// The lock of a query: a code 7 row "QUERY BLOCCATA" at the end of the
// interrogation, its Condizione empty for a simple lock or holding the
// scrambled six-character key. The lock state lives only in that row and in
// the session's lock flag; these functions change both together.

#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"

#include <QString>

namespace vardof::qbe {

enum class StatoBlocco { Nessuno, Semplice, ConChiave };

inline constexpr int kLunghezzaChiave = 6;

inline const QString kMsgInserireChiave = QStringLiteral("Inserire una chiave");
inline const QString kMsgChiaveSeiCaratteri =
    QStringLiteral("La chiave inserita deve essere composta da sei caratteri!");
inline const QString kMsgChiaveUguali =
    QStringLiteral("Impossibile inserire una chiave con tutti i caratteri uguali!");
inline const QString kMsgChiaveErrata = QStringLiteral("Chiave Errata");
inline const QString kMsgNuovaChiave = QStringLiteral("Nuova chiave corretta");
inline const QString kMsgChiaveNonValida = QStringLiteral("Impossibile proseguire: Chiave non valida");

// The state shown when the lock dialog opens: from the flag, and ConChiave
// when the first code 7 row holds a key.
StatoBlocco statoBlocco(const TabIntTmp &tab, bool bloccata);
// The first code 7 row; -1 when none.
int indiceRigaBlocco(const TabIntTmp &tab);

// The scrambled form of a key, character by character as 8-bit units
// (Latin-1): decimal numbers separated by single spaces.
QString CriptaChiave(const QString &chiave);
// The reason a typed key cannot be a key, in the order the dialog checks
// it; empty for a good key.
QString controlloChiave(const QString &chiave);
bool chiaveValida(const QString &chiave);
// Whether a typed key opens a keyed lock whose stored text is `salvata`.
bool ValidaChiave(const QString &chiave, const QString &salvata);

// Moves the lock from `da` to `a` (no change when equal). `chiave` is the
// typed key, `chiaveAccettata` whether it was accepted against the stored
// key. Returns the message of a refusal (kMsgChiaveNonValida), nothing
// changed; empty on success.
QString cambiaBlocco(TabIntTmp &tab, SessioneQuery &sessione, StatoBlocco da, StatoBlocco a,
                     const QString &chiave, bool chiaveAccettata);

} // namespace vardof::qbe
