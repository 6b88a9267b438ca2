#pragma once

// Fast synchronisation: copies every origin row whose primary key is missing
// from the destination table; rows already there are never touched. One
// TSincroDB serves a whole run: it is loaded with one stored
// synchronisation at a time, checked (VerificaElaborazione) and executed.
// Both connections use no-wait snapshot transactions. A failed copy undoes
// every insert of that synchronisation and nothing else.
//
// Failures are thrown as ErroreSincro carrying the text shown to the user.

#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Transaction.h"
#include "maintenance/DatabaseOpener.h"
#include "maintenance/StoreTables.h"
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

namespace vardof::maintenance {

class ErroreSincro : public std::runtime_error
{
public:
    explicit ErroreSincro(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class TSincroDB
{
public:
    // How missing keys are found. Confronto reads the destination keys once
    // and looks each origin key up in memory; ConteggioPerRiga runs one
    // prepared count on the destination per origin row (kept to measure
    // the difference and to check that both copy the same rows).
    enum class Metodo { Confronto, ConteggioPerRiga };

    explicit TSincroDB(DatabaseOpener opener);
    ~TSincroDB(); // rolls back and closes both connections
    TSincroDB(const TSincroDB &) = delete;
    TSincroDB &operator=(const TSincroDB &) = delete;

    void carica(const SincroFDB &sincro);

    int Tipo = 0; // 1 for the known kind
    QString DBOrigine;
    QString TabellaOrigine;
    QString DBDestinazione;
    QString TabellaDestinazione;

    void setMetodo(Metodo metodo) { m_metodo = metodo; }
    // ProgressAvanzamento: progress and keep-alive of the copy; may be null.
    void setAvanzamento(platform::RunFeedback *feedback) { m_avanzamento = feedback; }

    void VerificaElaborazione();
    void EseguiElaborazione();
    void CopiaRecordMancanti();

    const QStringList &chiavi() const { return m_chiavi; }
    qint64 righeCopiate() const { return m_copied; }
    void chiudi() noexcept;

private:
    void open(db::Attachment &att, std::unique_ptr<db::Transaction> &tra, const QString &path,
              const QString &failure);
    QStringList primaryKey(db::Attachment &att, db::Transaction &tra, const QString &table);
    void copy();
    int insertBlockRows(const QStringList &columns);
    QString insertBlockText(const QStringList &columns, int rows) const;

    DatabaseOpener m_opener;
    db::Attachment m_origin;
    db::Attachment m_destination;
    std::unique_ptr<db::Transaction> m_originTransaction;
    std::unique_ptr<db::Transaction> m_destinationTransaction;
    QStringList m_chiavi;
    // The two tables as each catalogue holds them (found by
    // VerificaElaborazione): every statement names them quoted.
    QString m_originTable;
    QString m_destinationTable;
    std::vector<db::TableColumn> m_destinationColumns;
    Metodo m_metodo = Metodo::Confronto;
    platform::RunFeedback *m_avanzamento = nullptr;
    qint64 m_copied = 0;
};

// What the run shows besides its feedback: the checking message window, the
// "Comunicazione" window with its two bars (the feedback's progress is the
// bar of the current copy).
class FasiSincro
{
public:
    virtual ~FasiSincro() = default;
    virtual void analisiIniziata() {}
    virtual void analisiFinita() {}
    virtual void esecuzioneIniziata() {}
    virtual void elaborazione(int /*i*/, int /*n*/, int /*percentuale*/) {}
    // After a synchronisation was committed, with the rows it copied.
    virtual void elaborazioneCompletata(const SincroFDB & /*sincro*/, qint64 /*righeCopiate*/) {}
    virtual void esecuzioneFinita() {}
};

enum class EsitoSincro { Nessuna, NonEseguibile, Annullata, Fallita, Completata };

// The whole run of the enabled synchronisations stored in the work
// database: checking pass, confirmation, execution pass. Messages and the
// question go to `feedback`, the windows' steps to `fasi` when given.
EsitoSincro eseguiSincronizzazioni(db::Attachment &lavoro, db::Transaction &transazione, const DatabaseOpener &opener,
                                   platform::RunFeedback &feedback, FasiSincro *fasi = nullptr,
                                   TSincroDB::Metodo metodo = TSincroDB::Metodo::Confronto);

} // namespace vardof::maintenance
