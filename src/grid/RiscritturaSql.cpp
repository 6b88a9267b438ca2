#include "grid/RiscritturaSql.h"

#include <vector>

namespace vardof::grid {

namespace {

struct Parola
{
    QString testo; // upper case
    int inizio = 0;
    int fine = 0;
};

bool carattereNome(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The words at the top level of the text, in order.
std::vector<Parola> paroleEsterne(const QString &s)
{
    std::vector<Parola> parole;
    int profondita = 0;
    const int n = int(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote stays inside the literal.
            ++i;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int fine = int(s.indexOf(QLatin1String("*/"), i + 2));
            i = fine < 0 ? n : fine + 2;
            continue;
        }
        if (c == QLatin1Char('(')) {
            ++profondita;
            ++i;
            continue;
        }
        if (c == QLatin1Char(')')) {
            if (profondita > 0)
                --profondita;
            ++i;
            continue;
        }
        if (carattereNome(c)) {
            const int inizio = i;
            while (i < n && carattereNome(s[i]))
                ++i;
            if (profondita == 0 && s[inizio].isLetter())
                parole.push_back({s.mid(inizio, i - inizio).toUpper(), inizio, i});
            continue;
        }
        ++i;
    }
    return parole;
}

bool seguitaDa(const std::vector<Parola> &p, size_t i, const char *parola)
{
    return i + 1 < p.size() && p[i + 1].testo == QLatin1String(parola);
}

// ROWS, FETCH, OFFSET, FOR UPDATE, WITH LOCK: what may follow ORDER BY.
bool dopoLOrdine(const std::vector<Parola> &p, size_t i)
{
    const QString &w = p[i].testo;
    return w == QLatin1String("ROWS") || w == QLatin1String("FETCH") || w == QLatin1String("OFFSET")
           || (w == QLatin1String("FOR") && seguitaDa(p, i, "UPDATE"))
           || (w == QLatin1String("WITH") && seguitaDa(p, i, "LOCK"));
}

bool inizioCoda(const std::vector<Parola> &p, size_t i)
{
    const QString &w = p[i].testo;
    return (w == QLatin1String("GROUP") && seguitaDa(p, i, "BY")) || w == QLatin1String("HAVING")
           || w == QLatin1String("WINDOW") || w == QLatin1String("PLAN")
           || (w == QLatin1String("ORDER") && seguitaDa(p, i, "BY")) || dopoLOrdine(p, i);
}

QString chiudiTesta(const QString &testa)
{
    QString t = testa;
    while (!t.isEmpty() && t.back().isSpace())
        t.chop(1);
    return t;
}

// The head, the new lines and the rest, one per line.
QString inserisci(const QString &sql, int dove, int ripresa, const QStringList &righe)
{
    QString risultato = chiudiTesta(sql.left(dove));
    if (!risultato.isEmpty())
        risultato += QLatin1Char('\n');
    risultato += righe.join(QLatin1Char('\n'));
    QString resto = sql.mid(ripresa);
    while (!resto.isEmpty() && resto.front().isSpace())
        resto.remove(0, 1);
    if (!resto.isEmpty())
        risultato += QLatin1Char('\n') + resto;
    return risultato;
}

} // namespace

AnalisiSql analizzaSql(const QString &sql)
{
    AnalisiSql a;
    const int n = int(sql.size());
    a.coda = n;
    a.dopoOrdine = n;
    const std::vector<Parola> p = paroleEsterne(sql);
    size_t inizioUltima = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i].testo == QLatin1String("UNION")) {
            a.unione = true;
            inizioUltima = i + 1;
        }
    }
    bool codaTrovata = false;
    for (size_t i = inizioUltima; i < p.size(); ++i) {
        if (!codaTrovata && p[i].testo == QLatin1String("WHERE"))
            a.where = true;
        if (!codaTrovata && inizioCoda(p, i)) {
            codaTrovata = true;
            a.coda = p[i].inizio;
        }
        if (a.orderBy < 0 && p[i].testo == QLatin1String("ORDER") && seguitaDa(p, i, "BY"))
            a.orderBy = p[i].inizio;
        if (dopoLOrdine(p, i) && a.dopoOrdine == n)
            a.dopoOrdine = p[i].inizio;
    }
    if (a.orderBy >= 0)
        a.fineOrderBy = a.dopoOrdine;
    return a;
}

QString connettore(const QString &sql)
{
    return analizzaSql(sql).where ? QStringLiteral("AND") : QStringLiteral("WHERE");
}

QString incapsulaUnione(const QString &sql)
{
    const AnalisiSql a = analizzaSql(sql);
    const int taglio = a.orderBy >= 0 ? a.orderBy : a.dopoOrdine;
    QString dentro = chiudiTesta(sql.left(taglio));
    QString fuori = sql.mid(taglio).trimmed();
    QString risultato = QStringLiteral("SELECT * FROM (\n") + dentro + QStringLiteral("\n) RISULTATO");
    if (!fuori.isEmpty())
        risultato += QLatin1Char('\n') + fuori;
    return risultato;
}

QString conCondizione(const QString &sql, const QStringList &corpo)
{
    if (corpo.isEmpty())
        return sql;
    const QString base = analizzaSql(sql).unione ? incapsulaUnione(sql) : sql;
    const AnalisiSql a = analizzaSql(base);
    QStringList righe = corpo;
    righe[0] = (a.where ? QStringLiteral("AND") : QStringLiteral("WHERE")) + righe[0];
    return inserisci(base, a.coda, a.coda, righe);
}

QString conOrdine(const QString &sql, const QStringList &righe)
{
    if (righe.isEmpty())
        return sql;
    const QString base = analizzaSql(sql).unione ? incapsulaUnione(sql) : sql;
    const AnalisiSql a = analizzaSql(base);
    if (a.orderBy >= 0)
        return inserisci(base, a.orderBy, a.fineOrderBy, righe);
    return inserisci(base, a.dopoOrdine, a.dopoOrdine, righe);
}

} // namespace vardof::grid
