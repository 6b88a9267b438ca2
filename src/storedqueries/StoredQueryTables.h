#pragma once

// The three tables of the stored queries, kept in the work database:
// STOQUER (one row per stored query), STOINT (its interrogation rows) and
// STOASP (the appearance of its answer columns).
//
// Who owns what: the registry window prepares the tables each time it opens
// (PreparaTabelleQuery) and numbers its rows; the query engine reads and
// writes the STOINT and STOASP rows of one key at a time. Nothing here opens
// a message box: the few messages the preparation gives go through the
// run feedback the caller passes (the default shows boxes through the platform
// messages, so windows and the command line need not write one).
//
// Failures: statements the server rejects throw db::Error unless a function
// says it catches them (the widenings of PreparaTabelleQuery report and go
// on, as the registry must still open over an old layout).

#include "platform/RunFeedback.h"
#include "db/Attachment.h"
#include "db/Transaction.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace vardof::storedqueries {

// Keys of a query's rows in STOINT and STOASP: (0, STOQUER.Codice) for a
// stored query, (2000, n) for a query chained to another, (1000, any) for
// a query whose appearance is not stored.
inline constexpr int kCodice1Storico = 0;
inline constexpr int kCodice1Catena = 2000;
inline constexpr int kCodice1SenzaAspetto = 1000;

// What the preparation and the renumbering tell the user.
// The CREATE TABLE statements, line by line as they are sent.
QStringList creaStoQuer();
QStringList creaStoInt();
QStringList creaStoAsp();

// A hook run as the last step of the preparation: creating the classification
// tables QUERYCLASS1 and QUERYCLASS2. Empty until the classifications are
// built; the classifications module installs it (setPreparaClassificazioni).
using PreparaClassificazioni = std::function<void(db::Attachment &, db::Transaction &)>;
PreparaClassificazioni setPreparaClassificazioni(PreparaClassificazioni hook);

// Creates the missing tables and widens older layouts, in the order
// STOINT, STOASP, STOQUER, then the missing STOQUER columns, then the
// classification hook. Silent when the layout is current. A failed ALTER is
// reported through `avvisi` and the preparation goes on; a failed CREATE
// throws db::Error (the registry cannot open without its tables).
// `tra` is the work context's transaction.
void PreparaTabelleQuery(db::Attachment &att, db::Transaction &tra, platform::RunFeedback &avvisi);
void PreparaTabelleQuery(db::Attachment &att, db::Transaction &tra); // platform messages

// ---- numbering of STOQUER rows ---------------------------------------------

// By insertion: a committed STOQUER row with only CODICE set, in a
// no-wait transaction of its own. Returns the new code; throws db::Error
// (nothing inserted) when the server refuses, e.g. when two users collide.
int NuovoCodiceInserimento(db::Attachment &att);
// The INSERT ... RETURNING lines it sends.
QStringList sqlNuovoCodiceInserimento();

// By position: the last CODICE in key order plus 1, 1 for an empty table.
// Read in `tra`; nothing is written.
int NuovoCodicePosizione(db::Attachment &att, db::Transaction &tra);

// Across databases: the greater of MAX(CODICE) in the work database and in
// the database `percorso` (opened through ApriOCreaDatabase, 0 when it
// cannot be opened or read), plus 1. `percorso` is a full file name; the
// folder is split at '\' or '/'.
int NuovoCodiceTraDatabase(db::Attachment &att, db::Transaction &tra, const QString &percorso);
// The MAX(CODICE) read (0 for an empty table or a failed read).
int MassimoCodice(db::Attachment &att, db::Transaction &tra);
// How the other database is opened; replaceable by tests (no dati.ini,
// no server). Returns false when it cannot be opened.
using ApriDatabase = std::function<bool(db::Attachment &c, const QString &percorso)>;
ApriDatabase setApriDatabase(ApriDatabase opener); // empty puts back ApriOCreaDatabase

// The Codice2 of a new chained query: MAX(Codice2) of the STOINT rows with
// Codice1 2000, plus 1; 1 when there is none.
double NuovoCodiceCatena(db::Attachment &att, db::Transaction &tra);

// Renumbers stored query `vecchio` to `nuovo` in the work database. Refuses
// (returns false, changes nothing) when `nuovo` is taken in STOQUER, STOINT
// or STOASP, giving one plain message per table that has it: "Codice già
// occupato STOQUER" / "... STOINT" / "... STOASP". Otherwise moves the
// STOQUER row, its STOINT and STOASP rows and the back links
// ("QUERY PRECEDENTE") of its chained queries, each statement committed
// keeping the context. Throws db::Error when one of the updates fails (the
// earlier ones stay).
bool RiassegnaNumero(db::Attachment &att, db::Transaction &tra, int vecchio, int nuovo, platform::RunFeedback &avvisi);
bool RiassegnaNumero(db::Attachment &att, db::Transaction &tra, int vecchio, int nuovo);

// ---- rows of one query key ------------------------------------------------

struct RigaStoInt
{
    int Numero = 0;
    QString Nome;
    int Mostra = 0;
    QString Condizione;
};

struct RigaStoAsp
{
    int NCampo = 0;
    QString NomeCampo;
    int Dim = 0;
    int Vis = 1;
    int Pos = 0;
    int Raggruppa = 0;
};

// Reading in Numero / NCampo order; saving deletes every row of the key
// then inserts the given ones, committing (retaining) at the end. A save
// that fails part-way takes back its own delete and inserts (the rows of
// the key stay as they were) and throws db::Error; whatever else the
// transaction holds is left alone. The ...SenzaCommit forms do the writes
// only, for a caller that makes them part of a larger unit.
std::vector<RigaStoInt> leggiStoInt(db::Attachment &att, db::Transaction &tra, int codice1, double codice2);
void scriviStoInt(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                  const std::vector<RigaStoInt> &righe);
void scriviStoIntSenzaCommit(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                             const std::vector<RigaStoInt> &righe);
std::vector<RigaStoAsp> leggiStoAsp(db::Attachment &att, db::Transaction &tra, int codice1, double codice2);
void scriviStoAsp(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                  const std::vector<RigaStoAsp> &righe);

void scriviStoAspSenzaCommit(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                             const std::vector<RigaStoAsp> &righe);
// Deletes every row of a key from "STOINT" or "STOASP", committing (retaining).
void eliminaChiave(db::Attachment &att, db::Transaction &tra, const QString &tabella, int codice1, double codice2);

// Codice2 as statements write it: a plain whole number, no separators.
QString testoCodice2(double codice2);

} // namespace vardof::storedqueries
