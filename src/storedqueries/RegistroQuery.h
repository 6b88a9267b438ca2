#pragma once

// The record operations of the stored-query registry, without a window:
// reading and listing STOQUER rows, the save check every post of a row
// goes through, duplicating a stored query with the queries chained after
// it, deleting one, and the cancel of a row just created. The history
// layout of the registry, the definition files and `vardof query` all use
// these, so a stored query is handled the same way whoever asks.
//
// Who owns what: the caller lends the work database and the transaction its
// rows are read and written in; another archive named by a row's Percorso
// is opened here on a connection of its own and closed before returning.
// Questions and messages go through the run feedback the caller passes.
//
// Failures: statements the server rejects throw db::Error with its text,
// after taking back what the operation had written in the caller's
// transaction; refusals a user can answer (No to a question, an archive
// that is not there) come back as results.

#include "platform/RunFeedback.h"
#include "db/Attachment.h"
#include "db/Transaction.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace vardof::storedqueries {

// One STOQUER row; an absent value is a NULL.
struct RigaStoQuer
{
    int Codice = 0;
    std::optional<QString> Titolo;
    std::optional<QString> Tabella;
    std::optional<QString> Percorso;
    std::optional<QString> Classificazione1;
    std::optional<QString> Classificazione2;
    std::optional<QString> NomeExport;
    std::optional<QString> Note;

    // Percorso without surrounding blanks; empty for the work database.
    QString percorso() const { return Percorso.value_or(QString()).trimmed(); }
    bool operator==(const RigaStoQuer &) const = default;
};

// A text read from a field: an empty one is stored as NULL.
std::optional<QString> testoCampo(const QString &testo);

std::optional<RigaStoQuer> leggiStoQuer(db::Transaction &tra, int codice);
// Every row in CODICE order; an empty filter keeps every value.
std::vector<RigaStoQuer> elencoStoQuer(db::Transaction &tra, const QString &classificazione1 = QString(),
                                       const QString &classificazione2 = QString());

// The registry's statement, line by line: every row with a code, narrowed
// to the classification entries chosen in the filters (empty: all).
QStringList sqlStorico(const QString &classificazione1, const QString &classificazione2);

// ---- other archives --------------------------------------------------------

// "L'archivio "<path>" non è stato trovato"
QString messaggioArchivioNonTrovato(const QString &percorso);
// Whether the path names an existing file ('\' or '/' separators).
bool archivioEsiste(const QString &percorso);
// Opens another archive as every window of the library does (the opener
// replaceable through setApriDatabase of StoredQueryTables.h).
bool apriArchivio(db::Attachment &connessione, const QString &percorso);

// Another archive on a connection of its own, opened by apriArchivio, with a
// transaction on it; both closed when this goes (what was not committed is
// rolled back).
struct AltroArchivio
{
    db::Attachment connessione;
    std::unique_ptr<db::Transaction> transazione;

    // False when the archive does not open (the opener has told the user).
    bool apri(const QString &percorso);
    ~AltroArchivio();
};

// ---- the save check ----------------------------------------------------------

// Asks "Memorizzo le ultime modifiche?"; on No tells "Si prega di premere
// Annulla prima di abbandonare il record" and answers false. A NOTE of one
// blank (how clearing the notes is asked for) becomes NULL.
bool ControlloSalvataggio(RigaStoQuer &riga, platform::RunFeedback &avvisi);

// The copy of the row kept in the archive of its Percorso: CODICE, TITOLO,
// NOTE and TABELLA, line by line as sent.
QStringList sqlCopiaStoQuer(const RigaStoQuer &riga);
// Sends it in `tra` of that archive; no commit.
void copiaStoQuer(db::Transaction &tra, const RigaStoQuer &riga);
// Opens the archive of the row's Percorso when that file exists and sends
// the copy there in a transaction of its own. A failure is told as "Errore
// interno durante l'aggiornamento di STOQUER sul database "<path>":" + CR +
// the server's message; the caller's post goes on either way.
void copiaSuArchivioDellaRiga(const RigaStoQuer &riga, platform::RunFeedback &avvisi);

// Writes the row in the work database (update of `vecchioCodice`, or of
// the row's own code, else insert); no commit.
void scriviStoQuer(db::Transaction &tra, const RigaStoQuer &riga, std::optional<int> vecchioCodice = {});

// The post of a row by the registry: the save check, the copy to the other
// archive, the write, a commit keeping the transaction context. False when
// the user answered No (nothing written).
bool PostStoQuer(db::Transaction &tra, RigaStoQuer &riga, platform::RunFeedback &avvisi);

// Gives the row of `codice` the number across databases (its Percorso must
// name an existing file) and saves it without the check and without the
// copy. Returns the new number.
int rinumeraTraDatabase(db::Attachment &att, db::Transaction &tra, int codice, const QString &percorso);

// ---- chains ----------------------------------------------------------------------

using ChiaveQuery = std::pair<int, double>; // (Codice1, Codice2)

// The keys of a stored query and of every query chained after it, in chain
// order, following the "QUERY SUCCESSIVA" markers. A chain that loops back
// stops at the first key met twice.
std::vector<ChiaveQuery> chiaviCatena(db::Transaction &tra, int codice);

// The copy step of a duplicate: every STOASP and STOINT row of `sorgente`
// under `destinazione`, chain markers relinked: "QUERY SUCCESSIVA" to a
// new chained number (given in the same database and transaction), the
// back link to `precedente` (the target code of the step that led here, 0
// for the first). Returns the next (source, target) keys when the source
// announced one. No commit.
std::optional<std::pair<ChiaveQuery, ChiaveQuery>> copiaPasso(db::Attachment &att, db::Transaction &tra,
                                                              ChiaveQuery sorgente, ChiaveQuery destinazione,
                                                              double precedente);

// ---- record operations -------------------------------------------------------------

enum class EsitoOperazione { Eseguita, Rifiutata, ArchivioNonTrovato, ArchivioNonAperto, RecordMancante };

// Duplicates stored query `codice`: a new row by position with its fields,
// posted with the save check (and renumbered across databases when it has a
// Percorso), then the rows of the query and of its whole chain copied where
// they live. `nuovo` gets the new code. Rifiutata when the save check was
// answered No: nothing is written then.
EsitoOperazione DuplicaQuery(db::Attachment &att, db::Transaction &tra, int codice, platform::RunFeedback &avvisi,
                             int *nuovo = nullptr);

// Deletes stored query `codice`: its interrogation and appearance rows and
// those of the queries chained after it where they live, then its STOQUER
// row. An archive that is missing or does not open deletes nothing (the
// missing one is told with the archive message).
EsitoOperazione EliminaQuery(db::Attachment &att, db::Transaction &tra, int codice, platform::RunFeedback &avvisi);

// Deletes the row a "&Nuovo" created, in a no-wait transaction of its own.
void EliminaNuovoRecord(db::Attachment &att, int codice);
QStringList sqlEliminaNuovoRecord(int codice);

// One line of `vardof query --elenco`: code, title, table, classifications.
QString rigaElenco(const RigaStoQuer &riga);

} // namespace vardof::storedqueries
