#include "maintenance/Semafori.h"

#include "db/Error.h"
#include "maintenance/SqlText.h"

namespace vardof::maintenance {

ParametriSet ParametriNoWait()
{
    return {2, 7};
}

QStringList NomiParametri(const ParametriSet &set)
{
    QStringList out;
    for (int code : set) {
        const QString name = db::Transaction::parameterName(code);
        if (!name.isEmpty())
            out << QStringLiteral("isc_tpb_") + name;
    }
    return out;
}

void ParametriTransazione(db::Transaction &transaction, const ParametriSet &set)
{
    if (transaction.isActive())
        transaction.rollback();
    transaction.setParams(NomiParametri(set));
}

std::unique_ptr<db::Transaction> CreaTransazione(db::Attachment &database, const ParametriSet &set)
{
    auto t = std::make_unique<db::Transaction>(database);
    ParametriTransazione(*t, set);
    t->start();
    return t;
}

std::unique_ptr<db::Transaction> TransazioneNoWait(db::Attachment &database)
{
    return CreaTransazione(database, ParametriNoWait());
}

// ---- TDBRecordLocker ----------------------------------------------------------

void TDBRecordLocker::ImpostaTransazione(db::Attachment &database, db::Transaction &transaction)
{
    if (m_database != &database || m_transaction != &transaction)
        m_statement.reset();
    m_database = &database;
    m_transaction = &transaction;
}

QStringList TDBRecordLocker::TestoBlocco() const
{
    QStringList lines{QStringLiteral("UPDATE ") + NomeTabella + QStringLiteral(" SET")};
    for (int i = 0; i < CampiChiave.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral(",");
        lines << CampiChiave[i] + QLatin1Char('=') + CampiChiave[i];
    }
    lines << QStringLiteral("WHERE");
    for (int i = 0; i < CampiChiave.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral("AND");
        lines << CampiChiave[i] + QStringLiteral("=:") + CampiChiave[i];
    }
    return lines;
}

db::Statement &TDBRecordLocker::statement()
{
    if (!m_database || !m_transaction)
        throw db::Error(QStringLiteral("Transazione del blocco record non impostata"));
    const QStringList text = TestoBlocco();
    if (!m_statement || m_preparedFor != text) {
        m_statement = std::make_unique<db::Statement>(*m_database, *m_transaction);
        m_statement->setSql(text);
        m_preparedFor = text;
    }
    return *m_statement;
}

void TDBRecordLocker::ParametroChiave(const QString &campo, const db::FieldValue &valore)
{
    statement().setParam(campo, valore);
}

int TDBRecordLocker::BloccaRecord()
{
    try {
        db::Statement &s = statement();
        s.execute();
        return s.rowsAffected() > 0 ? RecordBloccato : RecordMancante;
    } catch (const db::Error &) {
        return RecordRifiutato;
    }
}

// ---- TSemaforiSituazioni -----------------------------------------------------

namespace {

bool countIsZero(db::Attachment &att, db::Transaction &tra, const QStringList &lines)
{
    const db::FieldValue v = db::queryValue(att, tra, lines.join(QLatin1Char('\n')));
    return !v || db::toInt64(*v).value_or(0) == 0;
}

} // namespace

TSemaforiSituazioni::TSemaforiSituazioni(int utente, db::Attachment &database)
    : m_utente(utente)
    , m_database(database)
    , m_lockTransaction(std::make_unique<db::Transaction>(database))
{
    ParametriTransazione(*m_lockTransaction, ParametriNoWait());
    m_locker.NomeTabella = QStringLiteral("SEMAFORI_SITUAZIONI");
    m_locker.CampiChiave = QStringList{QStringLiteral("NOMESITUAZIONE")};
    m_locker.ImpostaTransazione(m_database, *m_lockTransaction);
}

TSemaforiSituazioni::~TSemaforiSituazioni()
{
    try {
        if (m_lockTransaction->isActive())
            m_lockTransaction->rollback();
    } catch (const db::Error &) {
        // A broken connection has already let the lock go.
    }
}

bool TSemaforiSituazioni::VerificaStrutture(QString &messaggio)
{
    messaggio.clear();
    struct Step
    {
        QStringList check;
        QStringList create;
        QString failure;
    };
    const Step steps[] = {
        {{QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
          QStringLiteral("  RDB$RELATIONS"), QStringLiteral("WHERE"),
          QStringLiteral("  RDB$RELATION_NAME='SEMAFORI_SITUAZIONI'")},
         {QStringLiteral("CREATE TABLE SEMAFORI_SITUAZIONI("),
          QStringLiteral("NOMESITUAZIONE Varchar(30) NOT NULL,"),
          QStringLiteral("CONSTRAINT SEMAFORI_SITUAZIONI_PK PRIMARY KEY (NOMESITUAZIONE)"),
          QStringLiteral(")")},
         QStringLiteral("Fallita creazione tabella SEMAFORI_SITUAZIONI")},
        {{QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
          QStringLiteral("  RDB$RELATIONS"), QStringLiteral("WHERE"),
          QStringLiteral("  RDB$RELATION_NAME='SEMAFORI_LOG'")},
         {QStringLiteral("CREATE TABLE SEMAFORI_LOG("), QStringLiteral("ID Integer NOT NULL,"),
          QStringLiteral("DATAORA Timestamp,"), QStringLiteral("OPERATORE Smallint,"),
          QStringLiteral("SITUAZIONE Varchar(30),"), QStringLiteral("DETTAGLIOSITUAZIONE Varchar(30),"),
          QStringLiteral("SITUAZIONEOCCUPATA Smallint,"), QStringLiteral("DATAORALIBERAZIONE Timestamp,"),
          QStringLiteral("CONSTRAINT SEMAFORI_LOG_PK PRIMARY KEY (ID)"), QStringLiteral(")")},
         QStringLiteral("Fallita creazione tabella SEMAFORI_LOG")},
        {{QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
          QStringLiteral("  RDB$GENERATORS"), QStringLiteral("WHERE"),
          QStringLiteral("  RDB$GENERATOR_NAME='ID_SEMAFORI_LOG_COUNTER'")},
         {QStringLiteral("CREATE GENERATOR ID_SEMAFORI_LOG_COUNTER")},
         QStringLiteral("Fallita creazione generatore ID_SEMAFORI_LOG_COUNTER")},
    };
    try {
        std::unique_ptr<db::Transaction> t = TransazioneNoWait(m_database);
        for (const Step &step : steps) {
            if (!countIsZero(m_database, *t, step.check))
                continue;
            try {
                db::executeSql(m_database, *t, step.create.join(QLatin1Char('\n')));
                t->commitRetaining();
            } catch (const db::Error &e) {
                messaggio = step.failure + QLatin1Char('\r') + e.message();
                return false;
            }
        }
        t->commit();
    } catch (const db::Error &e) {
        messaggio = steps[0].failure + QLatin1Char('\r') + e.message();
        return false;
    }
    return true;
}

int TSemaforiSituazioni::tryLock(const QString &situazione)
{
    // A fresh snapshot each time: a row committed by someone else after the
    // lock transaction started could not be locked by it.
    if (m_lockTransaction->isActive())
        m_lockTransaction->rollback();
    m_lockTransaction->start();
    m_locker.ParametroChiave(QStringLiteral("NOMESITUAZIONE"), db::Value(situazione));
    return m_locker.BloccaRecord();
}

bool TSemaforiSituazioni::insertSituation(const QString &situazione)
{
    try {
        std::unique_ptr<db::Transaction> t = TransazioneNoWait(m_database);
        db::executeSql(m_database, *t,
                       QStringLiteral("INSERT INTO SEMAFORI_SITUAZIONI(NOMESITUAZIONE)\nVALUES(")
                           + sqlQuote(situazione) + QLatin1Char(')'));
        t->commit();
        return true;
    } catch (const db::Error &) {
        return false;
    }
}

bool TSemaforiSituazioni::OccupaSituazione(const QString &situazione, const QString &dettaglio)
{
    if (m_occupata)
        LiberaSituazione();

    bool presa = false;
    try {
        const int esito = tryLock(situazione);
        if (esito == TDBRecordLocker::RecordBloccato) {
            presa = true;
        } else if (esito == TDBRecordLocker::RecordMancante) {
            // The new row is committed outside the lock transaction, whose
            // snapshot cannot see it: lock it again in a fresh one, or two
            // copies taking a brand-new situation would both get it.
            insertSituation(situazione);
            presa = tryLock(situazione) == TDBRecordLocker::RecordBloccato;
        }
    } catch (const db::Error &) {
        presa = false;
    }
    if (!presa && m_lockTransaction->isActive()) {
        try {
            m_lockTransaction->rollback();
        } catch (const db::Error &) {
        }
    }

    const qint64 id = writeLog(situazione, dettaglio, !presa);
    if (!presa)
        return false;
    m_occupata = true;
    m_idLog = id;
    return true;
}

qint64 TSemaforiSituazioni::writeLog(const QString &situazione, const QString &dettaglio, bool occupata)
{
    try {
        db::Transaction counter(m_database);
        const db::FieldValue v = db::queryValue(
            m_database, counter,
            QStringLiteral("SELECT\n  GEN_ID(ID_SEMAFORI_LOG_COUNTER,1) AS VALORE\nFROM\n  RDB$DATABASE"));
        counter.commit();
        const qint64 id = v ? db::toInt64(*v).value_or(0) : 0;

        std::unique_ptr<db::Transaction> t = TransazioneNoWait(m_database);
        const QStringList lines{
            QStringLiteral("INSERT INTO SEMAFORI_LOG("), QStringLiteral("ID,"), QStringLiteral("DATAORA,"),
            QStringLiteral("OPERATORE,"), QStringLiteral("SITUAZIONE,"), QStringLiteral("DETTAGLIOSITUAZIONE,"),
            QStringLiteral("SITUAZIONEOCCUPATA"), QStringLiteral(")"), QStringLiteral("VALUES("),
            QString::number(id) + QLatin1Char(','), QStringLiteral("CURRENT_TIMESTAMP,"),
            QString::number(m_utente) + QLatin1Char(','), sqlQuote(situazione) + QLatin1Char(','),
            sqlQuote(dettaglio) + QLatin1Char(','), occupata ? QStringLiteral("1") : QStringLiteral("0"),
            QStringLiteral(")")};
        db::executeSql(m_database, *t, lines.join(QLatin1Char('\n')));
        t->commit();
        return id;
    } catch (const db::Error &) {
        return 0;
    }
}

void TSemaforiSituazioni::LiberaSituazione()
{
    m_occupata = false;
    try {
        if (m_lockTransaction->isActive())
            m_lockTransaction->rollback();
    } catch (const db::Error &) {
    }
    if (m_idLog == 0)
        return;
    try {
        std::unique_ptr<db::Transaction> t = TransazioneNoWait(m_database);
        db::executeSql(m_database, *t,
                       QStringLiteral("UPDATE SEMAFORI_LOG SET\nDATAORALIBERAZIONE=CURRENT_TIMESTAMP\nWHERE\n  ID=")
                           + QString::number(m_idLog));
        t->commit();
    } catch (const db::Error &) {
    }
}

QString situazioneQuerySuccessiva(int utente)
{
    return QStringLiteral("QUERY_SUCC_") + QStringLiteral("%1").arg(utente, 4, 10, QLatin1Char('0'));
}

} // namespace vardof::maintenance
