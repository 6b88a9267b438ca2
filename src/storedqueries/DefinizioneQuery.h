#pragma once

// The text form of a stored query: its STOQUER row, a description of the
// queried table for people, and the STOINT and STOASP rows of the query and
// of every query chained after it. Written to a file or the clipboard by
// the registry and read back into a registry of the same or another
// database, where the query gets a new number and its chain fresh ones.
//
// The format has no escaping, so the writer refuses a definition it could
// not read back as it is (a ";" in a field, a line break, a condition that
// looks like a tag of the format) instead of writing a file that would come
// back different. The reader stores all of a file or nothing: a file that
// breaks off, holds an unknown section or a line with the wrong number of
// fields leaves the registry as it was.
//
// Who owns what: the caller lends the work database and the registry's
// transaction; another archive named by a definition's Percorso is opened
// here on a connection of its own. Questions (the registry's save check)
// and warnings go through the run feedback; outcomes come back as results.

#include "platform/RunFeedback.h"
#include "db/Attachment.h"
#include "db/Catalog.h"
#include "db/Transaction.h"
#include "storedqueries/RegistroQuery.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace vardof::storedqueries {

// Field n (from 1) of a tag line: the runs after the first "=" found from
// the second character on, separated by ";". Empty when the line has no
// "=" or fewer fields.
QString LeggiCampo(const QString &riga, int n);
// How many fields the line holds: the runs ended by ";" (what follows the
// last ";", the closing ">", is no field). 0 without "=".
int NumeroCampi(const QString &riga);

// A Codice2 as the file writes it: plain digits, a decimal comma only for a
// fraction.
QString testoCodiceDefinizione(double codice2);
// The type code of a column line: A<len>, S, I, N, D, M<size>, B<size>;
// the other types by their SQL name.
QString codiceTipoColonna(const db::TableColumn &colonna);

// Lines 1 to 3: "Definizione query.", "File generato il <date> alle <time>", "".
QStringList intestazioneDefinizione(const QDateTime &quando);

// Why a stored query cannot be written as a definition (Italian, for the user).
class ErroreDefinizione : public std::runtime_error
{
public:
    explicit ErroreDefinizione(const QString &messaggio)
        : std::runtime_error(messaggio.toStdString()), m_messaggio(messaggio) {}
    const QString &messaggio() const { return m_messaggio; }

private:
    QString m_messaggio;
};

// Lines 4 onwards for the stored query `riga`, read from the archive of its
// Percorso when that file exists (a missing one is told with the archive
// message and the work database is read instead). Throws db::Error when the
// queried table cannot be read, ErroreDefinizione when a value cannot be
// carried by the format.
QStringList EsportaDefinizioneQuery(db::Attachment &att, db::Transaction &tra, const RigaStoQuer &riga,
                                    platform::RunFeedback &avvisi);

// The header and the body of stored query `codice`, as a file holds them.
QStringList TestoDefinizione(db::Attachment &att, db::Transaction &tra, int codice, platform::RunFeedback &avvisi,
                             const QDateTime &quando = QDateTime::currentDateTime());

// Writes the lines in CP1252 with CR LF, through a temporary file renamed
// into place. False with the system's reason in `motivo`.
bool ScriviDefinizione(const QString &file, const QStringList &righe, QString &motivo);

struct EsitoImportazione
{
    bool aperto = true;      // the file could be opened
    bool completa = false;   // read to "<FINEFILE>" and stored
    bool annullata = false;  // the save check was answered No: nothing stored
    std::vector<int> codici; // the stored queries added, in file order
    QString dettaglio;       // why the file was not taken (line and reason)
};

// The reader of one file: the states of the format and the numbers T (the
// Codice2 rows are stored under), N (the next chained query's) and P (the
// query before it).
class LettoreDefinizione
{
public:
    enum class Stato {
        Commenti, TestaFile, TestaQuery, TestaPasso, TestaTabella, FineTabella,
        TestaInterrogazione, TestaAspetto, FineAspetto, FinePasso, FineQuery, FineFile
    };

    // `lavoro`: the work database and the registry's transaction (STOQUER);
    // `righe`: where STOINT and STOASP rows go (the same, or another archive).
    LettoreDefinizione(db::Attachment &lavoro, db::Transaction &traLavoro, db::Attachment &righe,
                       db::Transaction &traRighe, const QString &archivioRighe, platform::RunFeedback &avvisi);

    // Handles one line (leading blanks already dropped). Throws
    // ErroreDefinizione for a line the format does not allow and db::Error
    // for a row the server refuses.
    void AcquisisciRiga(const QString &riga, const QString &precedente);

    Stato stato() const { return m_stato; }
    bool annullata() const { return m_annullata; }
    const std::vector<int> &codici() const { return m_codici; }
    double T() const { return m_T; }
    double N() const { return m_N; }
    double P() const { return m_P; }

private:
    void rigaQuery(const QString &riga);
    void rigaInterrogazione(const QString &riga, const QString &precedente);
    void rigaAspetto(const QString &riga);
    int codice1Atteso() const;

    db::Attachment &m_lavoro;
    db::Transaction &m_traLavoro;
    db::Attachment &m_righe;
    db::Transaction &m_traRighe;
    QString m_archivioRighe;
    platform::RunFeedback &m_avvisi;
    Stato m_stato = Stato::Commenti;
    double m_T = 0;
    double m_N = 0;
    double m_P = 0;
    double m_ultimaCatena = 0;
    int m_blocchi = 0;      // blocks read in the current query
    bool m_catenaAttesa = false;
    bool m_annullata = false;
    std::vector<int> m_codici;
};

// Reads `file` into the registry (ImportaDefinizioneQuery): all of it, or
// nothing when it is incomplete, malformed, refused by the server or the
// save check is answered No.
EsitoImportazione ImportaDefinizioneQuery(db::Attachment &att, db::Transaction &tra, const QString &file,
                                          platform::RunFeedback &avvisi);

// "Importazione completa." / "File di importazione query non completo."
// (with the reason on the next line) / the cancelled import.
QString messaggioImportazione(const EsitoImportazione &esito);

} // namespace vardof::storedqueries
