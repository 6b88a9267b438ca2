#pragma once

// The stored form of a query: its interrogation rows in STOINT and the
// appearance of its answer in STOASP, one key (Codice1, Codice2) at a time.
// Loading sets the session's flags; saving replaces the key's rows;
// comparing tells whether what is on screen differs from what is stored.
//
// Everything goes to the stored-query connection and its transaction, which
// the caller lends for the object's lifetime. Writes are committed
// (retaining) when complete; a write that fails takes back its own part and
// throws db::Error with the server's text, the stored rows staying as they
// were. Reads throw db::Error too.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"
#include "storedqueries/StoredQueryTables.h"

#include <vector>

namespace vardof::qbe {

using RigheAspetto = std::vector<storedqueries::RigaStoAsp>;

// The flags a loaded interrogation sets (only ever set, never cleared).
void impostaIndicatori(const std::vector<RigaInt> &righe, SessioneQuery &sessione);

// Whether the interrogation differs from the stored rows: no stored rows, a
// different count, or any of Numero, Nome, Mostra, Condizione different in
// the same place.
bool interrogazioneCambiata(const std::vector<storedqueries::RigaStoInt> &salvate, const TabIntTmp &tab);
// Whether the captured appearance differs from the saved one: no saved rows,
// or any difference row by row in NCampo order.
bool aspettoCambiato(const RigheAspetto &salvato, const RigheAspetto &catturato);

class StoricoQuery
{
public:
    StoricoQuery(db::Attachment &att, db::Transaction &tra) : m_att(att), m_tra(tra) {}

    // Loads the rows of the key into the interrogation (sorted, first row
    // current) and sets the session's flags; with no stored rows the
    // interrogation is left as it is. Returns whether rows were found.
    bool RecuperaInterrogazionedaStorico(int codice1, double codice2, TabIntTmp &tab, SessioneQuery &sessione);
    void SalvaInterrogazioneSuStorico(int codice1, double codice2, const TabIntTmp &tab);
    bool ControllaInterrogazioneSalvata(int codice1, double codice2, const TabIntTmp &tab);
    void EliminaInterrogazioneDaStorico(int codice1, double codice2);

    RigheAspetto LeggiAspetto(int codice1, double codice2);
    bool ControllaAspettoSalvato(int codice1, double codice2, const RigheAspetto &catturato);
    void SalvaAspettoSuStorico(int codice1, double codice2, const RigheAspetto &catturato);
    void EliminaAspettoDaStorico(int codice1, double codice2);
    // Every code 0, then each saved row's Raggruppa at its NCampo.
    void InizializzaRaggruppa(int codice1, double codice2, CodiciColonne &codici);

private:
    db::Attachment &m_att;
    db::Transaction &m_tra;
};

} // namespace vardof::qbe
