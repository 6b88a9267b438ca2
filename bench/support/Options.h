#pragma once

// The runners' command lines: "--name value" pairs and bare flags. A runner
// names what it takes; anything else makes the line invalid, which a runner
// that has a usage line reports and the others pass over.

#include <QHash>
#include <QStringList>

namespace vardof::bench {

class Options
{
public:
    // `arguments` as QCoreApplication gives them: the program first.
    Options(const QStringList &arguments, const QStringList &withValue, const QStringList &flags = {});

    // False after an unknown word or a name given without its value.
    bool valid() const { return m_valid; }

    // For a runner that has a usage line: false, after printing it (or
    // "manca NAME" for the first of `required` not given), when the line
    // cannot be run.
    bool check(const char *usage, const QStringList &required = {}) const;

    // The last value given for `name`, or `fallback`.
    QString text(const QString &name, const QString &fallback = QString()) const;
    int number(const QString &name, int fallback) const;
    bool has(const QString &name) const { return m_values.contains(name); }

private:
    QHash<QString, QString> m_values;
    bool m_valid = true;
};

} // namespace vardof::bench
