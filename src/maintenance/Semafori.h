#pragma once

// Exclusion between users and processes, kept in the database and nowhere
// else: a row lock taken by an UPDATE that changes nothing, inside a
// transaction that does not wait. The lock lives as long as the transaction,
// so it also vanishes when the holder's process or connection dies.
//
// TDBRecordLocker locks one row by its key fields; TSemaforiSituazioni turns
// that into named, database-wide exclusive flags ("situations") with a log of
// who took them and when. Neither opens a message box: failures come back as
// results and message texts for the caller to show.

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <set>

namespace vardof::maintenance {

// ---- transaction parameter sets ---------------------------------------------

// Codes 1..20 of the server's transaction parameters (isc_tpb_<name>).
using ParametriSet = std::set<int>;

// {concurrency, nowait}: the set every lock-sensitive transaction uses.
ParametriSet ParametriNoWait();

// "isc_tpb_" + name for each code, in increasing code order.
QStringList NomiParametri(const ParametriSet &set);

// Ends the transaction if it is running (rolling it back) and gives it the set.
void ParametriTransazione(db::Transaction &transaction, const ParametriSet &set);

// A started transaction with the set; the caller owns it.
std::unique_ptr<db::Transaction> CreaTransazione(db::Attachment &database, const ParametriSet &set);
std::unique_ptr<db::Transaction> TransazioneNoWait(db::Attachment &database);

// ---- record locker ------------------------------------------------------------

class TDBRecordLocker
{
public:
    enum Esito { RecordMancante = 0, RecordRifiutato = 1, RecordBloccato = 2 };

    TDBRecordLocker() = default;
    TDBRecordLocker(const TDBRecordLocker &) = delete;
    TDBRecordLocker &operator=(const TDBRecordLocker &) = delete;

    // The locks belong to `transaction`; the locker never commits nor rolls
    // it back. Changing either drops the prepared statement.
    void ImpostaTransazione(db::Attachment &database, db::Transaction &transaction);

    QString NomeTabella;
    QStringList CampiChiave;

    // Lines of the lock statement: "UPDATE T SET", "K=K", ..., "WHERE", "K=:K", ...
    QStringList TestoBlocco() const;

    // The key value to lock; the statement is built and prepared first if needed.
    void ParametroChiave(const QString &campo, const db::FieldValue &valore);

    // RecordBloccato when at least one row was touched, RecordMancante when
    // none, RecordRifiutato on any server error (a lock held elsewhere above
    // all, reported at once under isc_tpb_nowait).
    int BloccaRecord();

private:
    db::Statement &statement();

    db::Attachment *m_database = nullptr;
    db::Transaction *m_transaction = nullptr;
    std::unique_ptr<db::Statement> m_statement;
    QStringList m_preparedFor;
};

// ---- situation semaphores -----------------------------------------------------

class TSemaforiSituazioni
{
public:
    TSemaforiSituazioni(int utente, db::Attachment &database);
    // Rolls back the lock transaction: a held situation becomes free, but its
    // log row keeps no release time.
    ~TSemaforiSituazioni();
    TSemaforiSituazioni(const TSemaforiSituazioni &) = delete;
    TSemaforiSituazioni &operator=(const TSemaforiSituazioni &) = delete;

    // Creates SEMAFORI_SITUAZIONI, SEMAFORI_LOG and ID_SEMAFORI_LOG_COUNTER
    // when missing. On false `messaggio` says what failed, server text included.
    bool VerificaStrutture(QString &messaggio);

    // True when this object now holds `situazione`; false when another
    // holder has it (or the name cannot be stored). Releases first whatever
    // this object held. Every attempt writes a log row.
    bool OccupaSituazione(const QString &situazione, const QString &dettaglio);
    void LiberaSituazione();

    bool Occupata() const { return m_occupata; }
    qint64 IdLog() const { return m_idLog; }
    int utente() const { return m_utente; }

private:
    int tryLock(const QString &situazione);
    bool insertSituation(const QString &situazione);
    qint64 writeLog(const QString &situazione, const QString &dettaglio, bool occupata);

    int m_utente;
    db::Attachment &m_database;
    std::unique_ptr<db::Transaction> m_lockTransaction;
    TDBRecordLocker m_locker;
    bool m_occupata = false;
    qint64 m_idLog = 0;
};

// The situation name the query window takes before moving along a chain.
QString situazioneQuerySuccessiva(int utente);

} // namespace vardof::maintenance
