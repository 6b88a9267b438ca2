#include "platform/FileDialogs.h"

namespace vardof::platform {

namespace {

bool looksLikePatterns(QStringView text)
{
    return text.contains(u'*') || text.contains(u'?');
}

} // namespace

QString qtFilterFromDelphi(const QString &delphiFilter)
{
    const QStringList parts = delphiFilter.split(u'|');
    QStringList filters;
    // A trailing description without patterns is ignored, as Windows does.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';')) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty())
                continue;
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            continue;
        if (description.endsWith(u')')) {
            const qsizetype open = description.lastIndexOf(u'(');
            if (open >= 0 && looksLikePatterns(QStringView(description).mid(open)))
                description = description.left(open).trimmed();
        }
        const QString list = patterns.join(u' ');
        filters << (description.isEmpty() ? list : description + QStringLiteral(" (") + list + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace vardof::platform
