#pragma once

// IMessages for tests: answers come from a queue the test fills beforehand,
// everything shown is recorded, and nothing ever waits for a person.

#include "platform/Messages.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <mutex>

namespace vardof::platform {

struct RecordedMessage
{
    MessageKind kind = Plain;
    QString caption;
    QString text;
    Buttons buttons = Buttons::Ok;

    bool operator==(const RecordedMessage &) const = default;
};

struct RecordedInput
{
    QString caption;
    QString prompt;
    QString defaultValue;

    bool operator==(const RecordedInput &) const = default;
};

class ScriptedMessages : public IMessages
{
public:
    // Answers the next question (any box with more than an OK button).
    // A queued answer the buttons cannot give is fitted (Yes <-> Ok,
    // No <-> Cancel). Boxes with only OK leave the queue alone.
    void queueAnswer(Answer answer);
    // The next inputBox result; nullopt is a Cancel.
    void queueInput(std::optional<QString> value);
    // What questions get once the queue is empty; Yes unless changed.
    void setDefaultAnswer(Answer answer);

    QList<RecordedMessage> messages() const;
    QStringList texts() const;
    QList<RecordedInput> inputs() const;
    // Queued answers and inputs not consumed yet: a test can check that the
    // code asked every question it expected.
    int pendingAnswers() const;
    int pendingInputs() const;
    void clear();

    Answer show(MessageKind kind, const QString &caption, const QString &text,
                Buttons buttons) override;
    // With an empty queue the default value is accepted as if OK were pressed.
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &defaultValue) override;

private:
    mutable std::mutex m_mutex;
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_inputs;
    Answer m_default = Answer::Yes;
    QList<RecordedMessage> m_messages;
    QList<RecordedInput> m_recordedInputs;
};

} // namespace vardof::platform
