#pragma once

// Command-line runs of the engines, with the same code paths as the windows.
// Each returns the process exit code: 0 success, 1 the run refused or failed,
// 2 bad usage. `args` are the words after the command name. Messages for the
// user go to standard error in Italian, results and logs to standard output.

#include "platform/RunFeedback.h"

#include <QStringList>

#include <memory>

namespace vardof::context { class TTabForm; }

namespace vardof::app {

int commandImport(const QStringList &args);     // vardof import DATAFILE [--salta-prima-riga] [--scarti FILE] [--max-errori N] [--utente N]
int commandConvert(const QStringList &args);    // vardof convert SOURCE [DEST] [--salta-prima-riga] [--intestazione] [--carattere C]
int commandSync(const QStringList &args);       // vardof sync [--utente N]
int commandAggiorna(const QStringList &args);   // vardof aggiorna CODICE [--utente N]
int commandPulisciTmp(const QStringList &args); // vardof pulisci-tmp [--utente N]
int commandQuery(const QStringList &args);     // vardof query --importa FILE | CODICE --sql | --elenco | CODICE --esporta FORMATO FILE [--utente N]

// Parses "--utente N" out of args (default: the demo user 1); false on a bad number.
bool takeUserOption(QStringList &args, int &user);

// One line of results on standard output, flushed at once.
void printLine(const QString &line);
// A message for the user on standard error, escaped as testoTerminale does.
void printError(const QString &text);

// Text for the terminal: control characters that came from the user's
// files (ESC, BEL, a lone CR, NUL...) would drive the terminal instead of
// being read, so each is shown as \xHH. Line feeds, CR LF and tabs stay.
QString testoTerminale(const QString &text);

// The command-line feedback with every line and message shown escaped.
class TerminalFeedback : public platform::CommandLineFeedback
{
public:
    void line(const QString &text) override;
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override;
};

// Messages of the platform (standard error) shown escaped from now on.
void installTerminalMessages();

// The user's work context with the archive open, as an entry builds it;
// nullptr when it could not be built or connected (why is already shown).
std::unique_ptr<context::TTabForm> openUserContext(int user);

} // namespace vardof::app
