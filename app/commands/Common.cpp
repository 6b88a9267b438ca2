#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "platform/Messages.h"
#include "platform/Services.h"

#include <cstdio>

namespace vardof::app {

bool takeUserOption(QStringList &args, int &user)
{
    user = 1;
    const qsizetype i = args.indexOf(QStringLiteral("--utente"));
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    bool ok = false;
    user = args.at(i + 1).toInt(&ok);
    args.remove(i, 2);
    return ok;
}

namespace {

bool daMostrareEscaped(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Forwards to the messages it replaced, with the texts escaped.
class TerminalMessages : public platform::IMessages
{
public:
    explicit TerminalMessages(std::shared_ptr<platform::IMessages> inner) : m_inner(std::move(inner)) {}
    platform::Answer show(platform::MessageKind kind, const QString &caption, const QString &text,
                          platform::Buttons buttons) override
    {
        return inner().show(kind, testoTerminale(caption), testoTerminale(text), buttons);
    }
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &defaultValue) override
    {
        return inner().input(testoTerminale(caption), testoTerminale(prompt), testoTerminale(defaultValue));
    }

private:
    platform::IMessages &inner()
    {
        if (m_inner)
            return *m_inner;
        static platform::StderrMessages fallback;
        return fallback;
    }
    std::shared_ptr<platform::IMessages> m_inner;
};

} // namespace

QString testoTerminale(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool crlf = c == u'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n');
        if (c == u'\n' || c == u'\t' || crlf || !daMostrareEscaped(c))
            out += QChar(c);
        else
            out += QStringLiteral("\\x") + QString::number(int(c), 16).toUpper().rightJustified(2, u'0');
    }
    return out;
}

void TerminalFeedback::line(const QString &text)
{
    platform::CommandLineFeedback::line(testoTerminale(text));
}

platform::Answer TerminalFeedback::ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons)
{
    return platform::CommandLineFeedback::ask(kind, testoTerminale(text), buttons);
}

void installTerminalMessages()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // The replaced service is kept and called: only the texts change.
    std::shared_ptr<platform::IMessages> previous = platform::setMessages(nullptr);
    platform::setMessages(std::make_shared<TerminalMessages>(std::move(previous)));
}

void printLine(const QString &line)
{
    std::fputs(testoTerminale(line).toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString &text)
{
    std::fputs((testoTerminale(text) + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

std::unique_ptr<context::TTabForm> openUserContext(int user)
{
    std::unique_ptr<context::TTabForm> context;
    try {
        context = entry::CreaContestoLavoro(user);
    } catch (const db::Error &e) {
        platform::error(e.message());
        return nullptr;
    }
    if (!context->isConnected())
        return nullptr;
    return context;
}

} // namespace vardof::app
