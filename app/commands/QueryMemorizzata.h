#pragma once

// A stored query of the user's registry opened for a run without a window,
// as the registry opens it for its query window: the user's work context,
// the archive of the query's path when it has one (where its rows and its
// table live), its table as the catalogue names it, and its stored
// interrogation loaded into the engine (or every column of the table when
// nothing was stored). What cannot be opened is told on standard error.

#include "context/WorkContext.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"

#include <QString>

#include <memory>

namespace vardof::qbe { class TabRispTmp; }

namespace vardof::app {

class QueryMemorizzata
{
public:
    // nullptr when the context, the query, its archive or its table is not
    // there (the reason already on standard error).
    static std::unique_ptr<QueryMemorizzata> apri(int utente, int codice);

    QueryMemorizzata(const QueryMemorizzata &) = delete;
    QueryMemorizzata &operator=(const QueryMemorizzata &) = delete;

    context::TTabForm &contesto() { return *m_contesto; }
    // Where the query runs: the work context's archive or the query's own.
    db::Transaction &transazione() { return *m_transazione; }
    // The table as the catalogue holds it.
    const QString &tabella() const { return m_tabella; }
    const qbe::SessioneQuery &sessione() const { return m_sessione; }
    // For hooks set before the run.
    qbe::TIBFQuerForm &engine() { return *m_engine; }

    // Runs the interrogation into `risposta`; false after telling the
    // server's reason. A saved order the statement no longer takes is told
    // on standard error and is not fatal.
    bool esegui(qbe::TabRispTmp &risposta);

private:
    QueryMemorizzata() = default;

    std::unique_ptr<context::TTabForm> m_contesto;
    db::Attachment m_altroArchivio;
    std::unique_ptr<db::Transaction> m_traAltroArchivio;
    db::Attachment *m_archivio = nullptr;
    db::Transaction *m_transazione = nullptr;
    QString m_tabella;
    qbe::TabIntTmp m_interrogazione;
    qbe::SessioneQuery m_sessione;
    std::unique_ptr<qbe::TIBFQuerForm> m_engine;
};

} // namespace vardof::app
