#pragma once

// Stored update scripts: copy rows of a table of the work database into a
// table of another database file, adding missing rows and updating existing
// ones as the script says. The script is parsed into four small tables that
// every check rebuilds; the run reads the origin rows through the origin
// database (so assignments may be SQL expressions) and writes the
// destination with SQL text carrying the values as literals.
//
// AggiornamentoFDB owns the destination connection. Its transaction is not
// committed by a run: what a run wrote is committed when the connection is
// next closed (the next check, save, table choice or run, or destruction).
// While a run is going on (it lets input through between rows) nothing may
// close or reopen that connection: the calls that would are refused, so a
// run's writes are committed together or not at all.
//
// Every table, column and generator name that the check found in a
// catalogue is written into the statements as that catalogue holds it,
// quoted: the check and the statements name the same object even beside a
// name that differs only by case ("zone" and ZONE). What the check does not
// look at (formulas, recalculation filters, and origin expressions when the
// origin check is switched off) goes to the server as the user wrote it.

#include "db/Attachment.h"
#include "db/Column.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "maintenance/DatabaseOpener.h"
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vardof::maintenance {

struct RigaScript
{
    QChar Tipo;        // 'A' assignment, 'D' directive, 'F' filter
    QString Nome;
    QString Valore;
    QString Costante;
    QString InclEscl;  // "I", "E" or empty
    bool haCostante = false; // the line carried a quoted constant (even an empty one)
};

struct CoppiaChiave
{
    QString CampoFDB1; // origin expression assigned to the key
    QString CampoFDB2; // destination key field
};

struct Ricalcolo
{
    QString NomeCampo;
    QString Formula;
    QString Filtro;
};

struct CampoLocate
{
    QString CampoFDB2;
    int Trovato = 0;
};

struct ScriptAnalizzato
{
    std::vector<RigaScript> righe;
    std::vector<CoppiaChiave> chiavi;
    std::vector<Ricalcolo> ricalcoli;
    std::vector<CampoLocate> locate;
    bool locateSecondario = false;
    int numeroAssegnazioni = 0;
    int numeroFiltriOrigine = 0;
    QString campoGenerato;
    QString generatore;

    bool direttiva(const QString &nome) const; // (NOME=SI) present
    bool aggiorna() const { return direttiva(QStringLiteral("AGGIORNA")); }
    bool aggiungi() const { return direttiva(QStringLiteral("AGGIUNGI")); }
    std::vector<const RigaScript *> assegnazioni() const;
};

// Parses the script lines. `isDestinationKey` tells whether a destination
// field belongs to the destination's primary key.
ScriptAnalizzato analizzaScript(const QStringList &righe,
                                const std::function<bool(const QString &)> &isDestinationKey);

// A stored script (one row of STOAGGFDBFDB).
struct ScriptFDB
{
    int codice = 0;
    QString titolo;
    QString tabellaOrigine;      // NOMETABELLAFDB1
    QString archivioDestinazione; // ARCHIVIOTABELLAFDB2
    QString tabellaDestinazione; // NOMETABELLAFDB2
    QString note;
    QString script;
};

// The literal of an origin value in the statements of the run.
QString InserimentoValoreSQL(const db::Column &column, const db::FieldValue &value);

struct EsitoAggiornamento
{
    bool eseguito = false;    // the row loop ran
    bool interrotto = false;
    int aggiornati = 0;
    int aggiunti = 0;
    int falliti = 0;
    int giaPresenti = 0;
    int ricalcoliFalliti = 0;
    int blocchi = 0;               // blocks of rows the destination took whole
    bool connessionePersa = false; // the destination went away: the run ended there
    int totale() const { return aggiornati + aggiunti + falliti + giaPresenti; }
};

class AggiornamentoFDB
{
public:
    // The origin is the work database and its default transaction.
    AggiornamentoFDB(db::Attachment &origine, db::Transaction &transazioneOrigine, DatabaseOpener opener);
    ~AggiornamentoFDB();
    AggiornamentoFDB(const AggiornamentoFDB &) = delete;
    AggiornamentoFDB &operator=(const AggiornamentoFDB &) = delete;

    // Closes the destination (committing what is pending) and opens
    // `archivio`; problems are told through `feedback`. Refused during a run.
    bool ConnessioneDatabaseDestinazione(const QString &archivio, platform::RunFeedback &feedback);
    // Commits what is pending and closes; a failed commit is told through
    // `feedback` when given (the writes it held are lost). False when the
    // commit failed or a run is going on (then nothing is touched).
    bool chiudiDestinazione(platform::RunFeedback *feedback = nullptr);
    bool destinazioneAperta() const { return m_destination.isConnected(); }
    bool inEsecuzione() const { return m_running; }
    db::Attachment &destinazione() { return m_destination; }
    db::Transaction &transazioneDestinazione() { return *m_destinationTransaction; }

    // -1 blocking, 0 correct, 1 not blocking; `messaggio` names the first
    // problem. During a run: -1 with the run's notice, nothing checked.
    int ControllaValiditaScript(const ScriptFDB &script, bool ignoraControlloOrigine, platform::RunFeedback &feedback,
                                QString &messaggio);
    const ScriptAnalizzato &script() const { return m_parsed; }

    // Rows whose lookup and write travel to the destination together, as
    // one statement; 1 sends every row's statements on their own.
    static constexpr int kRighePerBlocco = 64;
    void setRighePerBlocco(int righe) { m_righePerBlocco = righe < 1 ? 1 : righe; }
    int righePerBlocco() const { return m_righePerBlocco; }

    // The run after the user agreed to it: check, read, write, recalculate,
    // counters. Log lines, progress and the question on a non-blocking
    // problem go to `feedback`; interruption is read before every row and recalculation.
    // A lost destination connection ends the run at its first failure. A
    // second run asked for while one is going on is refused.
    EsitoAggiornamento esegui(const ScriptFDB &script, bool ignoraControlloOrigine, platform::RunFeedback &feedback);

    // Statement builders of the run, one per family. Names are given as
    // they go into the statement (quoted where the catalogue has them); the
    // origin statement takes its names from the last check.
    QStringList testoOrigine() const;
    QStringList testoRicerca(const QString &tabella, const QStringList &campi, const QStringList &literals) const;
    QStringList testoAggiornamento(const QString &tabella, const QStringList &nomi, const QStringList &valori,
                                   const QStringList &campi, const QStringList &literals) const;
    QStringList testoInserimento(const QString &tabella, const QStringList &nomi,
                                 const QStringList &valori) const;

private:
    // The names of the last check as the statements write them.
    struct NomiSql
    {
        QString origine;
        QString destinazione;
        QStringList colonne;       // per assignment, in script order: the destination field
        QStringList espressioni;   // per assignment: what the origin statement computes
        QStringList filtriOrigine; // per origin filter, in script order: its field
        QStringList locate;        // the locating fields
        QString campoGenerato;
        QString generatore;
        QStringList ricalcoli;     // per recalculation: its field
    };
    void risolviNomi(const ScriptFDB &script);
    bool destinationKey(const QString &table, const QString &field);
    bool fieldExists(db::Attachment &att, db::Transaction &tra, const QString &table, const QString &field);
    bool tableExists(db::Attachment &att, db::Transaction &tra, const QString &table);
    QStringList locatingFields() const;
    void connessionePersa(EsitoAggiornamento &esito, const db::Error &e, platform::RunFeedback &feedback);

    db::Attachment &m_origin;
    db::Transaction &m_originTransaction;
    DatabaseOpener m_opener;
    db::Attachment m_destination;
    std::unique_ptr<db::Transaction> m_destinationTransaction;
    ScriptAnalizzato m_parsed;
    NomiSql m_nomi;
    int m_righePerBlocco = kRighePerBlocco;
    bool m_running = false;
};

// Told when something would close the destination of a run in progress.
QString avvisoElaborazioneInCorso();

} // namespace vardof::maintenance
