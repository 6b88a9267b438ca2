#include "commands/Commands.h"

#include "db/Error.h"
#include "entry/Context.h"
#include "platform/Messages.h"

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

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
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
