#include "commands/Commands.h"

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

} // namespace vardof::app
