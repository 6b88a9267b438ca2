#include "platform/ScriptedMessages.h"

namespace vardof::platform {

void ScriptedMessages::queueAnswer(Answer answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

void ScriptedMessages::queueInput(std::optional<QString> value)
{
    std::lock_guard lock(m_mutex);
    m_inputs.push_back(std::move(value));
}

void ScriptedMessages::setDefaultAnswer(Answer answer)
{
    std::lock_guard lock(m_mutex);
    m_default = answer;
}

QList<RecordedMessage> ScriptedMessages::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QStringList ScriptedMessages::texts() const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const RecordedMessage &m : m_messages)
        out << m.text;
    return out;
}

QList<RecordedInput> ScriptedMessages::inputs() const
{
    std::lock_guard lock(m_mutex);
    return m_recordedInputs;
}

int ScriptedMessages::pendingAnswers() const
{
    std::lock_guard lock(m_mutex);
    return int(m_answers.size());
}

int ScriptedMessages::pendingInputs() const
{
    std::lock_guard lock(m_mutex);
    return int(m_inputs.size());
}

void ScriptedMessages::clear()
{
    std::lock_guard lock(m_mutex);
    m_answers.clear();
    m_inputs.clear();
    m_messages.clear();
    m_recordedInputs.clear();
}

Answer ScriptedMessages::show(MessageKind kind, const QString &caption, const QString &text,
                              Buttons buttons)
{
    std::lock_guard lock(m_mutex);
    m_messages.append({kind, caption, text, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    Answer answer = m_default;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    return fitAnswer(buttons, answer);
}

std::optional<QString> ScriptedMessages::input(const QString &caption, const QString &prompt,
                                               const QString &defaultValue)
{
    std::lock_guard lock(m_mutex);
    m_recordedInputs.append({caption, prompt, defaultValue});
    if (m_inputs.empty())
        return defaultValue;
    const bool cancelled = !m_inputs.front().has_value();
    QString value = cancelled ? QString() : std::move(*m_inputs.front());
    m_inputs.pop_front();
    if (cancelled)
        return std::nullopt;
    return value;
}

} // namespace vardof::platform
