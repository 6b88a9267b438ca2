#pragma once

// Values written into SQL text as literals: the single quotes inside the
// value are doubled so that the server stores exactly what was given.

#include <QString>

namespace vardof::maintenance {

inline QString sqlQuote(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace vardof::maintenance
