#include "support/Options.h"

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
