#include "support/Options.h"

#include <cstdio>

namespace vardof::bench {

Options::Options(const QStringList &arguments, const QStringList &withValue, const QStringList &flags)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (withValue.contains(word) && i + 1 < arguments.size())
            m_values.insert(word, arguments[++i]);
        else if (flags.contains(word))
            m_values.insert(word, QString());
        else
            m_valid = false;
    }
}

bool Options::check(const char *usage, const QStringList &required) const
{
    if (!m_valid) {
        std::fprintf(stderr, "%s\n", usage);
        return false;
    }
    for (const QString &name : required)
        if (text(name).isEmpty()) {
            std::fprintf(stderr, "manca %s\n", qPrintable(name));
            return false;
        }
    return true;
}

QString Options::text(const QString &name, const QString &fallback) const
{
    return m_values.value(name, fallback);
}

int Options::number(const QString &name, int fallback) const
{
    const auto it = m_values.constFind(name);
    return it == m_values.cend() ? fallback : it->toInt();
}

} // namespace vardof::bench
