#include "platform/Messages.h"

#include "platform/Services.h"

#include <cstdio>

namespace vardof::platform {

QString applicationTitle()
{
    return QStringLiteral("VardoF");
}

QString defaultCaption(MessageKind kind)
{
    switch (kind) {
    case Information:
        return QStringLiteral("Informazione");
    case Warning:
        return QStringLiteral("Attenzione");
    case Error:
        return QStringLiteral("Errore");
    case Confirmation:
        return QStringLiteral("Conferma");
    case Plain:
        break;
    }
    return applicationTitle();
}

bool buttonsAllow(Buttons buttons, Answer answer)
{
    switch (buttons) {
    case Buttons::Ok:
        return answer == Answer::Ok;
    case Buttons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    case Buttons::YesNoCancel:
        return answer != Answer::Ok;
    }
    return false;
}

Answer fitAnswer(Buttons buttons, Answer answer)
{
    if (buttonsAllow(buttons, answer))
        return answer;
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return answer == Answer::Cancel ? Answer::No : Answer::Yes;
    case Buttons::YesNoCancel:
        return Answer::Yes; // only Ok gets here
    case Buttons::OkCancel:
        return answer == Answer::No ? Answer::Cancel : Answer::Ok;
    }
    return answer;
}

void showMessage(const QString &text)
{
    messages().show(Plain, applicationTitle(), text, Buttons::Ok);
}

void information(const QString &text)
{
    messages().show(Information, QString(), text, Buttons::Ok);
}

void warning(const QString &text)
{
    messages().show(Warning, QString(), text, Buttons::Ok);
}

void error(const QString &text)
{
    messages().show(Error, QString(), text, Buttons::Ok);
}

bool confirm(const QString &text)
{
    return messages().show(Confirmation, QString(), text, Buttons::YesNo) == Answer::Yes;
}

bool confirmOkCancel(const QString &text)
{
    return messages().show(Confirmation, QString(), text, Buttons::OkCancel) == Answer::Ok;
}

Answer confirmYesNoCancel(const QString &text)
{
    return messages().show(Confirmation, QString(), text, Buttons::YesNoCancel);
}

std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                const QString &defaultValue)
{
    return messages().input(caption, prompt, defaultValue);
}

Answer StderrMessages::show(MessageKind kind, const QString &caption, const QString &text,
                            Buttons buttons)
{
    const QString title = caption.isEmpty() ? defaultCaption(kind) : caption;
    std::fprintf(stderr, "[%s] %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    return fitAnswer(buttons, m_default);
}

std::optional<QString> StderrMessages::input(const QString &caption, const QString &prompt,
                                             const QString &defaultValue)
{
    std::fprintf(stderr, "[%s] %s: %s\n", caption.toLocal8Bit().constData(),
                 prompt.toLocal8Bit().constData(), defaultValue.toLocal8Bit().constData());
    return defaultValue;
}

} // namespace vardof::platform
