#pragma once

// Whether a changed query may still feed the query that follows it in its
// chain: its new answer's columns are weighed against the following query's
// rows. A serious loss (a shown column, or one a raw condition names) is
// refused and the user may take the stored query back; a lesser change
// rewrites the following query for the new columns and saves both.

#include "qbe/Interrogazione.h"
#include "qbe/Storico.h"
#include "qbe/TabRispTmp.h"

#include <QString>

#include <functional>
#include <optional>

namespace vardof::qbe {

inline const QString kMsgAggiornareStorico = QStringLiteral("Aggiornare lo storico interrogazioni?");
inline const QString kMsgRipristino = QStringLiteral(
    "Attenzione: non è possibile eseguire le modifiche apportate;Ripristino la query iniziale cancellando tali cambiamenti?");

struct EsitoValidazione
{
    bool accettata = true;
    std::optional<double> successiva; // the following query's number, when there is one
};

// `chiedi` asks an OK/Cancel question and says whether OK was chosen.
// `colonne` are the columns of the new answer. STOINT errors throw db::Error.
EsitoValidazione ValidazioneNuovaRisposta(StoricoQuery &storico, int codice1, double codice2,
                                          const QStringList &colonne, TabIntTmp &tab,
                                          const std::function<bool(const QString &)> &chiedi);

// The check of the following query alone, for a query whose change is
// known and whose save the caller asks about itself: accepted when the
// following query suits the new columns (or none follows), or after it was
// adapted to them (then both queries are saved); refused on a serious loss,
// after offering to take the stored query back. Nothing is saved before the
// check, so the stored rows are still there to go back to.
EsitoValidazione ValidazioneSuccessiva(StoricoQuery &storico, int codice1, double codice2, const QStringList &colonne,
                                       TabIntTmp &tab, const std::function<bool(const QString &)> &chiedi);

// The names of an answer's columns, as answer tables take them.
QStringList colonneRisposta(const TabRispTmp &risposta);

} // namespace vardof::qbe
