#pragma once

// The two classifications of the stored queries: the tables QUERYCLASS1 and
// QUERYCLASS2 of the work database, whose DESCRIZIONE values a STOQUER row
// carries (by text, not by code) in CLASSIFICAZIONE1 and CLASSIFICAZIONE2.
//
// Who owns what: the caller lends the connection and its transaction; the
// short reading checks (duplicate, usage, next code) run in transactions of
// their own on the same connection, so they see what others committed.
// Every statement goes to the server as written (no parameter markers).
//
// Failures: CheckTabQueryClass tells its message through the feedback and
// answers false; the other functions throw db::Error with the server's text
// and leave the caller to add the Italian lead-in.

#include "platform/RunFeedback.h"
#include "db/Attachment.h"
#include "db/Transaction.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vardof::storedqueries {

inline constexpr int kLunghezzaDescrizione = 20;

// "QUERYCLASS" + n.
QString tabellaClassificazione(int n);
// The four lines of its CREATE TABLE.
QStringList creaQueryClass(int n);

// Creates QUERYCLASSn when the database has no relation of that name.
// A failed creation is told as "Errore interno durante la creazione della
// tabella "QUERYCLASSn":" + CR + the server's message; false then.
bool CheckTabQueryClass(db::Attachment &att, db::Transaction &tra, int n, platform::RunFeedback &avvisi);
bool CheckTabQueryClass(db::Attachment &att, db::Transaction &tra, int n); // platform messages

// Makes the stored-query preparation create both tables as its last step.
void installaPreparaClassificazioni();

// The descriptions of QUERYCLASSn in DESCRIZIONE order (the registry's lists).
QStringList descrizioniClassificazione(db::Attachment &att, db::Transaction &tra, int n);

// What a user types is stored with every single quote as the acute accent ´.
QString senzaApici(const QString &testo);

// The check of a typed description, in the order the dialog applies it.
enum class EsitoDescrizione { Accettata, Vuota, TroppoLunga, GiaUtilizzata };
// `escluso`: the code of the row being renamed (left out of the duplicate
// test). `accettata` gets the text as it would be stored.
EsitoDescrizione verificaDescrizione(db::Attachment &att, int n, const QString &testo, std::optional<int> escluso,
                                     QString &accettata);
// The warning text of a refusal; empty for Accettata.
QString messaggioDescrizione(EsitoDescrizione esito);

// The greatest CODICE plus one (1 for an empty table), read on its own.
int nuovoCodiceClassificazione(db::Attachment &att, int n);
// Each statement in `tra`, committed keeping the transaction context.
void inserisciClassificazione(db::Attachment &att, db::Transaction &tra, int n, int codice,
                              const QString &descrizione);
void rinominaClassificazione(db::Attachment &att, db::Transaction &tra, int n, int codice,
                             const QString &descrizione);
void eliminaClassificazione(db::Attachment &att, db::Transaction &tra, int n, int codice);
// Whether some stored query carries the description in CLASSIFICAZIONEn.
bool classificazioneUsata(db::Attachment &att, int n, const QString &descrizione);

} // namespace vardof::storedqueries
