#include "commands/QueryMemorizzata.h"

#include "commands/Commands.h"
#include "db/Catalog.h"
#include "platform/HostPaths.h"
#include "qbe/Storico.h"
#include "qbe/TabRispTmp.h"
#include "storedqueries/RegistroQuery.h"
#include "storedqueries/StoredQueryTables.h"

#include <optional>

namespace vardof::app {

std::unique_ptr<QueryMemorizzata> QueryMemorizzata::apri(int utente, int codice)
{
    std::unique_ptr<QueryMemorizzata> q(new QueryMemorizzata);
    q->m_contesto = openUserContext(utente);
    if (!q->m_contesto)
        return nullptr;
    context::TTabForm &ctx = *q->m_contesto;
    std::optional<storedqueries::RigaStoQuer> riga;
    if (db::catalog::relationExists(ctx.transaction(), QStringLiteral("STOQUER")))
        riga = storedqueries::leggiStoQuer(ctx.transaction(), codice);
    if (!riga) {
        printError(QStringLiteral("Query n° %1 non trovata").arg(codice));
        return nullptr;
    }
    const QString tabella = riga->Tabella.value_or(QString()).trimmed();
    const QString percorso = riga->percorso();
    if (tabella.isEmpty()) {
        printError(QStringLiteral("Si prega di scegliere una tabella da interrogare"));
        return nullptr;
    }

    // The query questions the archive of its path, where its rows also live.
    q->m_archivio = &ctx.database();
    q->m_transazione = &ctx.transaction();
    if (!percorso.isEmpty()) {
        if (!storedqueries::archivioEsiste(percorso)) {
            printError(storedqueries::messaggioArchivioNonTrovato(percorso));
            return nullptr;
        }
        if (!storedqueries::apriArchivio(q->m_altroArchivio, percorso))
            return nullptr;
        q->m_traAltroArchivio = std::make_unique<db::Transaction>(q->m_altroArchivio);
        q->m_archivio = &q->m_altroArchivio;
        q->m_transazione = q->m_traAltroArchivio.get();
    }
    q->m_tabella = db::catalog::relationName(*q->m_transazione, tabella);
    if (q->m_tabella.isEmpty()) {
        QString testo = QStringLiteral("Tabella \"") + tabella + QStringLiteral("\" non trovata");
        if (!percorso.isEmpty())
            testo += QStringLiteral(" nell'archivio \"") + percorso + QLatin1Char('"');
        printError(testo);
        return nullptr;
    }

    db::Attachment &att = *q->m_archivio;
    db::Transaction &tra = *q->m_transazione;
    q->m_sessione.setChiaveStorico(storedqueries::kCodice1Storico, codice);
    q->m_sessione.setArchivio(platform::extractFilePath(percorso.isEmpty() ? ctx.Archivio : percorso));
    const QString directory = percorso.isEmpty() ? ctx.DirectoryLavoro : platform::extractFilePath(percorso);
    q->m_engine = std::make_unique<qbe::TIBFQuerForm>(utente, att, tra, att, tra, q->m_interrogazione, q->m_tabella,
                                                      q->m_sessione, directory, ctx.NomeProgetto);
    qbe::StoricoQuery storico(att, tra);
    if (!storico.RecuperaInterrogazionedaStorico(storedqueries::kCodice1Storico, codice, q->m_interrogazione,
                                                 q->m_sessione))
        q->m_engine->RiempiTabIntTmp(q->m_interrogazione, q->m_tabella);
    return q;
}

bool QueryMemorizzata::esegui(qbe::TabRispTmp &risposta)
{
    platform::RecordingFeedback avvisi;
    m_engine->setAvvisi(&avvisi);
    const bool eseguita = m_engine->EseguiInterrogazione(m_interrogazione, m_tabella, risposta);
    m_engine->setAvvisi(nullptr);
    if (!eseguita) {
        printError(qbe::kMsgSintassi + QLatin1Char('\n') + m_engine->ultimoErrore());
        return false;
    }
    for (const auto &a : avvisi.asked)
        printError(a.text);
    return true;
}

} // namespace vardof::app
