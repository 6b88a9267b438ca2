#pragma once

// Messages and questions to the user. Code never talks to QMessageBox
// directly: it goes through IMessages so that engines run unattended from the
// command line and tests answer the questions themselves.

#include <QString>

#include <optional>

namespace vardof::platform {

enum MessageKind { Plain, Information, Warning, Error, Confirmation };
enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class IMessages
{
public:
    virtual ~IMessages() = default;
    // An empty caption lets the implementation pick the usual one for `kind`.
    virtual Answer show(MessageKind kind, const QString &caption, const QString &text,
                        Buttons buttons) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> input(const QString &caption, const QString &prompt,
                                         const QString &defaultValue) = 0;
};

// The title of plain messages.
QString applicationTitle(); // "VardoF"

// The caption used for `kind` when the caller gives none.
QString defaultCaption(MessageKind kind);

// Whether the user could give `answer` to a box with `buttons`.
bool buttonsAllow(Buttons buttons, Answer answer);
// Maps an answer onto what `buttons` can give: Yes <-> Ok and No <-> Cancel,
// Ok to Yes.
Answer fitAnswer(Buttons buttons, Answer answer);

// Convenience calls through the installed IMessages (see Services.h).
void showMessage(const QString &text);
void information(const QString &text);
void warning(const QString &text);
void error(const QString &text);
bool confirm(const QString &text);          // Yes/No; true on Yes
bool confirmOkCancel(const QString &text);  // true on OK
Answer confirmYesNoCancel(const QString &text);
std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                const QString &defaultValue = QString());

// Writes messages to stderr and answers `defaultAnswer` (fitted to the
// buttons) without waiting: what command-line tools and engines get when no
// user interface is installed.
class StderrMessages : public IMessages
{
public:
    explicit StderrMessages(Answer defaultAnswer = Answer::Yes) : m_default(defaultAnswer) {}
    Answer show(MessageKind kind, const QString &caption, const QString &text,
                Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &defaultValue) override;

private:
    Answer m_default;
};

} // namespace vardof::platform
