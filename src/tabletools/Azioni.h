#pragma once
// The clean-up actions of the table editor: the sequence the user composes
// (codes 0 to 7), its text file, the checks before an action is added and
// the run over the editor's statement. Statement actions (1, 2, 3) change
// the table with one statement; the others go row by row and each changed
// row is committed retaining, as a row posted in the editor is.
//
// Values typed by the user go into statements between quotes with their
// quotes doubled; column names are the catalogue's, quoted.
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::tabletools {

class TabellaEditor;

struct Azione
{
    int nriga = 0;
    std::optional<int> azione; // empty: a loaded row without a code
    QString descrizione;
    QString campo1;
    QString campo2;
    QString valore1;
    QString valore2;
    QString cs = QStringLiteral("0");
    bool sensibile() const { return cs == QLatin1String("1"); }
};

// The eight captions, by code.
const QStringList &didascalieAzioni();

// The messages of "Aggiungi" for the entries given (empty: may be added).
QStringList controlliAggiunta(int codice, const QString &campo1, const QString &valore1, const QString &valore2);

// Whether the fields the action needs at run time are there.
bool datiCompleti(const Azione &a);

// One line of the sequence file ("n;code;caption;c1;c2;v1;v2;cs;").
QString rigaFile(const Azione &a);
// The row of a file line with exactly eight values; nullopt otherwise.
std::optional<Azione> azioneDaRiga(const QString &riga);
// "azioni" -> "azioni.TXT"; a name holding ".TXT" (in any case) is kept.
QString nomeFileSequenza(const QString &scelto);

// The text changes of the row-by-row actions, on one value.
QString togliSpazi(const QString &testo);
QString togli(const QString &testo, const QString &valore);
// nullopt when there is no occurrence (the row is left alone).
std::optional<QString> sostituisciPrima(const QString &testo, const QString &da, const QString &a, bool sensibile);
QString sostituisciACapo(const QString &testo, const QString &con);

// Runs one action on the table over the rows of `statement`. Throws
// db::Error (the server's refusal) or std::exception; lines of the log go
// to feedback.line(), progress of row actions to feedback.step().
void eseguiAzione(TabellaEditor &tabella, const QStringList &statement, const Azione &a,
                  platform::RunFeedback &feedback);

enum class EsitoSequenza { Completata, Annullata, Fallita };
// The whole sequence: questions through feedback (Yes cancels), a failing
// action stops with "Elaborazione fallita" asked as an error. A completed
// run commits; a cancelled or failed one rolls back (only what was not yet
// committed row by row).
EsitoSequenza eseguiSequenza(TabellaEditor &tabella, const QStringList &statement, const std::vector<Azione> &azioni,
                             platform::RunFeedback &feedback, QString *errore = nullptr);

// The quote replacement over every text column of every row of
// `statement`: each quote becomes the acute accent; one log line
// "Art." + Codice + " aggiornato" per quote replaced. Returns the rows changed.
qint64 sostituisciApici(TabellaEditor &tabella, const QStringList &statement, platform::RunFeedback &feedback);

} // namespace vardof::tabletools
