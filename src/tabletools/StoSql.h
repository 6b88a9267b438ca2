#pragma once
// The stored SQL texts of a database (table STOSQL) and what running one
// means: a query is opened for the result window, anything else is executed
// as one statement and committed; a block is sent exactly as stored. The
// copy of a result into TMP222 and the wizard's template texts live here
// too, so that the window only shows and asks.
//
// Failures: every database failure is a db::Error with the server's text;
// the callers add the Italian lead-in.
#include "db/Column.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vardof::db { class Transaction; class Statement; class ResultSet; }

namespace vardof::tabletools {

struct RigaStoSql
{
    int codice = 0;
    QString titolo;
    QString sql;
};

// The seven lines of the creation statement.
QStringList creazioneStoSql();

// Opens STOSQL, or creates it (and commits) when it cannot be read.
void apriOCreaStoSql(db::Transaction &tra);

// The rows in ascending Codice (the order of the primary key).
std::vector<RigaStoSql> leggiStoSql(db::Transaction &tra);

// MAX(CODICE) + 1, 1 for an empty table.
int prossimoCodice(db::Transaction &tra);

// Insert or update of one row (by Codice); no commit.
void scriviRiga(db::Transaction &tra, const RigaStoSql &riga, bool nuova);
void cancellaRiga(db::Transaction &tra, int codice);

// A text is a command when it holds, anywhere and in these capitals, one of
// DELETE, UPDATE, DROP, CREATE, ALTER, INSERT; otherwise a query.
bool eComando(const QString &testo);

// ":NAME" parameters of a text, each once, in the order of first use
// (upper case); none for a PSQL body, whose colons belong to the server.
QStringList nomiParametri(const QString &testo);

// The value the user gives a parameter, by name.
using ValoriParametri = std::vector<std::pair<QString, db::FieldValue>>;

// What the server expects of each parameter of `nomi` (prepares the text;
// throws db::Error when the server refuses it).
std::vector<db::Column> tipiParametri(db::Transaction &tra, const QString &testo, const QStringList &nomi);

// Whether a date without time is taken for a timestamp (at midnight).
enum class DataPerTimestamp { Rifiutata, Mezzanotte };

// A value typed for a column or parameter of type `tipo` (numbers with the
// decimal comma, dates day/month/year as everywhere on screen); an empty
// text is null; nullopt when it does not convert.
std::optional<db::FieldValue> valoreDaTesto(const db::Column &tipo, const QString &testo, DataPerTimestamp data);

// A parameter's value: a date alone is accepted for a timestamp.
inline std::optional<db::FieldValue> valoreParametro(const db::Column &tipo, const QString &testo)
{
    return valoreDaTesto(tipo, testo, DataPerTimestamp::Mezzanotte);
}

// Executes a command with its parameters bound (those not given are sent
// as null), then commits the transaction. Throws db::Error; nothing is
// committed then.
void eseguiComando(db::Transaction &tra, const QString &testo, const ValoriParametri &parametri = {});

// Sends the text exactly as stored (colons of EXECUTE BLOCK variables
// included) and commits retaining. Throws db::Error.
void eseguiBlocco(db::Transaction &tra, const QString &testo);

// The wizard: its groups, their choices and the template for a table.
enum class GruppoWizard { Delete, Update, Alter, Select };
QString titoloGruppo(GruppoWizard gruppo);
QStringList sceltePerGruppo(GruppoWizard gruppo);
QString testoWizard(GruppoWizard gruppo, int scelta, const QString &tabella);

// ---- the copy of a result into TMP222 ----------------------------------------

inline const QString kTabellaCopia = QStringLiteral("TMP222");

// " VARCHAR(20)", " INTEGER", ... the type a result column gets in TMP222;
// empty for a column that is not copied (arrays).
QString tipoColonnaCopia(const db::Column &colonna);
// "CREATE TABLE" text of TMP222 for the result columns.
QString creazioneCopia(const std::vector<db::Column> &colonne);
// The literal of one value in the copy's INSERT ("NULL", '3.5', '03/25/2024', 'O´BRIEN').
QString valoreCopia(const db::Column &colonna, const db::FieldValue &valore);

// Which step of the copy failed; the window shows its own message per step.
enum class PassoCopia { Nessuno, Drop, Create, Insert };
struct EsitoCopia
{
    PassoCopia fallito = PassoCopia::Nessuno;
    QString messaggio;
    qint64 righe = 0;
    bool ok() const { return fallito == PassoCopia::Nessuno; }
};

// Drops TMP222 when it exists, creates it for `colonne` and inserts every
// row `prossima` gives (false at the end), committing retaining after each
// of the three steps. Rows inserted before a failing one stay pending in
// the transaction, as they would in the window.
EsitoCopia copiaInTmp222(db::Transaction &tra, const std::vector<db::Column> &colonne,
                         const std::function<bool(std::vector<db::FieldValue> &)> &prossima);

} // namespace vardof::tabletools
