#pragma once

// Moving along a chain of queries: forward (creating the following query
// the first time), back, and removing the last link. Each level has its own
// session, kept on a stack; the engine is lent the session of the current
// level. The per-user exclusion is the caller's: it takes the situation
// semaphore before a forward move and releases it when this object says the
// chain is back at level 0.
//
// Failures: an execution the server refuses ends the move with
// Esito::ErroreEsecuzione (the engine has told the user); answer-table and
// STOINT work throws db::Error with the server's text.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"
#include "qbe/Storico.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/TabRispTmp.h"

#include <QString>

#include <deque>
#include <functional>

namespace vardof::qbe {

inline const QString kMsgSoloUltimaSuccessiva =
    QStringLiteral("Attenzione: Si può eliminare soltanto l'ultima query successiva!");

class MotoreCatena
{
public:
    enum class Esito { Fatto, Rifiutato, ErroreEsecuzione };

    // Whether the answer just run suits the query that follows (the check
    // of a changed query); none installed accepts.
    using Validazione = std::function<bool(const SessioneQuery &sessione, TabRispTmp &risposta, TabIntTmp &tab)>;

    // `sessione0` is the window's session of level 0, lent to the engine.
    MotoreCatena(TIBFQuerForm &motore, StoricoQuery &storico, db::Attachment &attStorico,
                 db::Transaction &traStorico, TabIntTmp &tab, TabRispTmp &risposta,
                 const QString &tabellaSorgente, SessioneQuery &sessione0);

    void setValidazione(Validazione v) { m_validazione = std::move(v); }

    SessioneQuery &sessione();
    int livello() const;

    // One more than the largest chained-query number in STOINT; 1 when none.
    double prossimoNumero();

    Esito PassaAQuerySuccessiva();
    // Back one level. `ask`, when set, is asked whether to save a changed
    // interrogation first ("Aggiornare lo storico interrogazioni?"). Returns
    // false when the first row is not a chain marker (nothing moved).
    bool PassaAQueryPrecedente(const std::function<bool()> &ask = {});
    // Removes the current (last) chained query; the refusal message, or
    // empty when removed.
    QString EliminaUltimaQuerySuccessiva();

private:
    void ricomincia();
    bool esegui();
    void carica(int codice1, double codice2);

    TIBFQuerForm &m_motore;
    StoricoQuery &m_storico;
    db::Attachment &m_attStorico;
    db::Transaction &m_traStorico;
    TabIntTmp &m_tab;
    TabRispTmp &m_risposta;
    QString m_tabellaSorgente;
    SessioneQuery &m_sessione0;
    std::deque<SessioneQuery> m_pila; // levels 1, 2, ...
    Validazione m_validazione;
};

} // namespace vardof::qbe
