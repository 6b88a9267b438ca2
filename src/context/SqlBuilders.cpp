#include "context/SqlBuilders.h"

#include "db/Catalog.h"
#include "db/Statement.h"

namespace vardof::context {

void GeneraSQLAggiornamento(const QStringList &fields, const QString &table, const QString &kind,
                            UpdateStatements &set)
{
    const QString k = kind.toUpper();
    if (k == QLatin1String("UPDATE")) {
        set.modifica.clear();
        set.modifica << QStringLiteral("UPDATE ") + db::quotedName(table) << QStringLiteral("SET");
        for (qsizetype i = 0; i < fields.size(); ++i) {
            QString line = fields[i] + QStringLiteral("=:") + fields[i];
            if (i + 1 < fields.size())
                line += QLatin1Char(',');
            set.modifica << line;
        }
    } else if (k == QLatin1String("INSERT")) {
        set.inserisci.clear();
        set.inserisci << QStringLiteral("INSERT INTO ") + db::quotedName(table) << QStringLiteral("(");
        for (qsizetype i = 0; i < fields.size(); ++i)
            set.inserisci << fields[i] + (i + 1 < fields.size() ? QStringLiteral(",") : QString());
        set.inserisci << QStringLiteral(")") << QStringLiteral("VALUES") << QStringLiteral("(");
        for (qsizetype i = 0; i < fields.size(); ++i)
            set.inserisci << QLatin1Char(':') + fields[i] + (i + 1 < fields.size() ? QStringLiteral(",") : QString());
        set.inserisci << QStringLiteral(")");
    }
}

void GeneraSQLAggiornamento(db::Attachment &attachment, db::Transaction &transaction, const QString &sourceSql,
                            const QString &table, const QString &kind, UpdateStatements &set)
{
    // A fresh statement learns the field names without running the query.
    db::Statement probe(attachment, transaction, sourceSql);
    QStringList fields;
    for (const db::Column &c : probe.columns())
        fields << (c.alias.isEmpty() ? c.name : c.alias);
    probe.close();
    GeneraSQLAggiornamento(fields, table, kind, set);
}

QString DataSQL(const QDate &date)
{
    return QLatin1Char('\'') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('\'');
}

QString quoted(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

} // namespace vardof::context
