#include "db/SqlParams.h"

#include <QRegularExpression>

namespace vardof::db {

namespace {

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Skips blanks and comments from position i.
qsizetype skipNoise(const QString &s, qsizetype i)
{
    while (i < s.size()) {
        if (s.at(i).isSpace()) {
            ++i;
        } else if (s.mid(i, 2) == QLatin1String("--")) {
            while (i < s.size() && s.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (s.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? s.size() : end + 2;
        } else {
            break;
        }
    }
    return i;
}

} // namespace

bool isPsqlBody(const QString &sql)
{
    static const QRegularExpression re(
        QStringLiteral("^(EXECUTE\\s+BLOCK|(CREATE|ALTER|RECREATE)(\\s+OR\\s+ALTER)?\\s+(PROCEDURE|TRIGGER|FUNCTION|PACKAGE)"
                       "|CREATE\\s+OR\\s+ALTER\\s+(PROCEDURE|TRIGGER|FUNCTION|PACKAGE))\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const qsizetype start = skipNoise(sql, 0);
    return re.match(QStringView(sql).mid(start)).hasMatch();
}

ParsedSql parseNamedParameters(const QString &sql)
{
    ParsedSql out;
    if (isPsqlBody(sql)) {
        out.sql = sql;
        return out;
    }
    out.sql.reserve(sql.size());
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Literal or quoted identifier; a doubled quote stays inside.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, n);
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            j = j < 0 ? n : j;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isIdentChar(sql.at(j)))
                ++j;
            out.markerNames << sql.mid(i + 1, j - i - 1).toUpper();
            out.sql += QLatin1Char('?');
            i = j;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

} // namespace vardof::db
