#include "qbe/Composizione.h"

#include "db/Catalog.h"

#include <optional>

namespace vardof::qbe {

namespace {

const QString kAlias = QStringLiteral("XX.");

bool eCarattereNome(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

QString EstraiCalc(const QString &condizione)
{
    const int at = condizione.indexOf(QLatin1String("CALC"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    const QString resto = condizione.mid(at + 4, 255);
    QString colonna;
    int profondita = 0;
    for (const QChar c : resto) {
        if (c == QLatin1Char('('))
            ++profondita;
        else if (c == QLatin1Char(')'))
            --profondita;
        if (profondita < 0)
            break;
        colonna += c;
    }
    return colonna;
}

QString EstraiExtract(const QString &condizione)
{
    const QString upper = condizione.toUpper();
    return upper.contains(QLatin1String("EXTRACT")) ? upper : QString();
}

bool TestGroupBy(const QString &testo)
{
    const QString upper = testo.toUpper();
    for (const char *aggregato : {"SUM", "COUNT", "MIN", "MAX", "AVG"})
        if (upper.contains(QLatin1String(aggregato)))
            return true;
    return false;
}

QString ConvertiDateCondizione(const QString &condizione)
{
    // Indexes are 0-based here. Every "/" is a candidate wherever it stands:
    // a date left as typed would reach the server month first and answer
    // silently for another day, so '1/2/93' right before the closing quote
    // and parenthesis is turned around like one in the middle.
    const QChar apice = QLatin1Char('\'');
    const QChar barra = QLatin1Char('/');
    const int n = condizione.size();
    QString out;
    int copiato = 0; // condizione[0 .. copiato) is already in out
    int i = 0;
    while (i < n) {
        if (condizione[i] != barra) {
            ++i;
            continue;
        }
        // The closing quote of a date already turned around never opens
        // another one.
        int apertura = -1;
        if (i - 2 >= copiato && condizione[i - 2] == apice)
            apertura = i - 2;
        else if (i - 3 >= copiato && condizione[i - 3] == apice)
            apertura = i - 3;
        if (apertura < 0) {
            ++i;
            continue;
        }
        int chiusura = -1;
        for (int k = 5; k <= 8; ++k) {
            if (i + k < n && condizione[i + k] == apice) {
                chiusura = i + k;
                break;
            }
        }
        if (chiusura < 0) {
            ++i;
            continue;
        }
        const int seconda = (chiusura - i == 5 || chiusura - i == 7) ? i + 2 : i + 3;
        if (condizione[seconda] != barra) {
            ++i;
            continue;
        }
        const QString giorno = condizione.mid(apertura + 1, i - apertura - 1);
        const QString mese = condizione.mid(i + 1, seconda - i - 1);
        const QString anno = condizione.mid(seconda + 1, chiusura - seconda - 1);
        out += condizione.mid(copiato, apertura - copiato);
        out += apice + mese + barra + giorno + barra + anno + apice;
        copiato = chiusura + 1;
        i = chiusura + 1;
    }
    out += condizione.mid(copiato);
    return out;
}

QString IncrementaIdentificatore(const QString &precedente)
{
    if (precedente.size() >= 2 && precedente[1] == QLatin1Char('.') && precedente[0].isLetter())
        return QString(QChar(precedente[0].unicode() + 1)) + QLatin1Char('.');
    return QStringLiteral("A.");
}

QString raddoppiaApici(const QString &testo)
{
    QString out = testo;
    out.replace(QLatin1String("'"), QLatin1String("''"));
    return out;
}

QString qualificaCondizione(const QString &condizione, const QString &nome)
{
    if (nome.isEmpty() || condizione.contains(QLatin1Char('.')))
        return condizione;
    QString out;
    const int n = condizione.size();
    const int len = nome.size();
    QChar quote; // the quote of the literal or quoted name we are inside
    int i = 0;
    while (i < n) {
        const QChar c = condizione[i];
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (condizione.mid(i, len) == nome && (i == 0 || !eCarattereNome(condizione[i - 1]))
            && (i + len >= n || !eCarattereNome(condizione[i + len]))) {
            out += kAlias + nome;
            i += len;
            continue;
        }
        // Skip the rest of a word so a name is never matched inside another.
        if (eCarattereNome(c)) {
            while (i < n && eCarattereNome(condizione[i]))
                out += condizione[i++];
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

QString nomeColonnaSql(const QString &colonna)
{
    // Upper-case names the server reads unquoted as they stand: written as
    // ever, so stored statements and their texts stay the same.
    bool semplice = !colonna.isEmpty() && colonna[0] >= QLatin1Char('A') && colonna[0] <= QLatin1Char('Z');
    for (const QChar c : colonna) {
        if (!semplice)
            break;
        semplice = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                   || c == QLatin1Char('_') || c == QLatin1Char('$');
    }
    if (semplice)
        return colonna;
    // A name someone already wrote in double quotes is meant as it stands.
    if (colonna.size() >= 2 && colonna.startsWith(QLatin1Char('"')) && colonna.endsWith(QLatin1Char('"')))
        return colonna;
    return db::quotedName(colonna);
}

namespace {

bool eQualificato(const QString &nome)
{
    return nome.size() >= 2 && nome[1] == QLatin1Char('.');
}

} // namespace

QString nomeQualificato(const QString &nome)
{
    if (eQualificato(nome))
        return nome.left(2) + nomeColonnaSql(nome.mid(2));
    return kAlias + nomeColonnaSql(nome);
}

namespace {

// The name a condition's search is written on: Nome when it is qualified
// in some other way than by an alias letter.
QString nomeRicerca(const QString &nome)
{
    if (!eQualificato(nome) && nome.contains(QLatin1Char('.')))
        return nome;
    return nomeQualificato(nome);
}

} // namespace

QString ricercaContiene(const QString &nome, const QString &testo, TipoCampo tipo)
{
    const QString campo = nomeRicerca(nome);
    const QString testoSql = QStringLiteral("'%") + raddoppiaApici(testo) + QStringLiteral("%'");
    const QString pattern = QStringLiteral("UPPER(") + testoSql + QLatin1Char(')');
    // UPPER leaves binary content as it is, so the text is searched as typed;
    // a text blob is compared in upper case on both sides like any other text.
    if (tipo == TipoCampo::BlobBinario)
        return QStringLiteral("(UPPER(") + campo + QStringLiteral(") LIKE (") + testoSql + QStringLiteral("))");
    if (tipo == TipoCampo::BlobTesto)
        return QStringLiteral("(UPPER(") + campo + QStringLiteral(") LIKE ") + pattern + QLatin1Char(')');
    return QStringLiteral("(UPPER (CAST(") + campo + QStringLiteral(" AS CHARACTER(256)) ) LIKE ") + pattern
           + QLatin1Char(')');
}

namespace {

bool eRaw(const QString &condizione)
{
    return condizione.startsWith(QLatin1Char('('));
}

struct Calcolata
{
    QString testo;
    bool daCalc = false;
    bool tenuta = false;
};

// The call of `funzione` in `testo` (any case): where its name starts, where
// its closing parenthesis ends, and its arguments split at the commas of
// the outer level. Nothing when the name is not followed by a parenthesis
// that closes.
struct Chiamata
{
    int inizio = -1;
    int fine = -1; // one past the closing parenthesis
    QStringList argomenti;
};

std::optional<Chiamata> trovaChiamata(const QString &testo, const QString &funzione, int da = 0)
{
    const int at = testo.indexOf(funzione, da, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    int i = at + int(funzione.size());
    while (i < testo.size() && testo[i].isSpace())
        ++i;
    if (i >= testo.size() || testo[i] != QLatin1Char('('))
        return std::nullopt;
    Chiamata c;
    c.inizio = at;
    int profondita = 0;
    QString argomento;
    QChar apice;
    for (++i; i < testo.size(); ++i) {
        const QChar ch = testo[i];
        if (!apice.isNull()) {
            argomento += ch;
            if (ch == apice)
                apice = QChar();
            continue;
        }
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"'))
            apice = ch;
        if (ch == QLatin1Char('('))
            ++profondita;
        if (ch == QLatin1Char(')') && profondita-- == 0) {
            c.argomenti << argomento.trimmed();
            c.fine = i + 1;
            return c;
        }
        if (ch == QLatin1Char(',') && profondita == 0) {
            c.argomenti << argomento.trimmed();
            argomento.clear();
            continue;
        }
        argomento += ch;
    }
    return std::nullopt;
}

const QString kSommaProg = QStringLiteral("SOMMAPROG");
const QString kInteroQmt = QStringLiteral("INTEROQMT");
const QString kSumNoGroup = QStringLiteral("SUMNOGROUP");
// The row order a running sum follows after its own order columns: the
// order rows are stored in, which is the order an unordered answer shows.
const QString kOrdineRighe = QStringLiteral("XX.RDB$DB_KEY");

// SOMMAPROG(column, order 1, ..., order N): the running sum of the column,
// by the order columns and then by row, computed by the server.
QString riscriviSommaProg(const QString &testo, QStringList &ordine)
{
    QString out = testo;
    int da = 0;
    while (const std::optional<Chiamata> c = trovaChiamata(out, kSommaProg, da)) {
        const QStringList ordinamento = c->argomenti.mid(1);
        QStringList chiavi = ordinamento;
        chiavi << kOrdineRighe;
        const QString somma = QStringLiteral("SUM(") + c->argomenti.value(0) + QStringLiteral(") OVER (ORDER BY ")
                              + chiavi.join(QStringLiteral(", ")) + QLatin1Char(')');
        out.replace(c->inizio, c->fine - c->inizio, somma);
        da = c->inizio + int(somma.size());
        if (ordine.isEmpty())
            ordine = ordinamento;
    }
    return out;
}

// INTEROQMT(column): the integer part of the column, toward zero.
QString riscriviInteroQmt(const QString &testo)
{
    QString out = testo;
    int da = 0;
    while (const std::optional<Chiamata> c = trovaChiamata(out, kInteroQmt, da)) {
        const QString intero = QStringLiteral("TRUNC(") + c->argomenti.join(QStringLiteral(", ")) + QLatin1Char(')');
        out.replace(c->inizio, c->fine - c->inizio, intero);
        da = c->inizio + int(intero.size());
    }
    return out;
}

// The text with every SUMNOGROUP(...) call left out: what asks for a
// GROUP BY is what remains.
QString senzaSumNoGroup(const QString &testo)
{
    QString out = testo;
    while (const std::optional<Chiamata> c = trovaChiamata(out, kSumNoGroup))
        out.remove(c->inizio, c->fine - c->inizio);
    return out;
}

Calcolata colonnaCalcolata(const QString &condizione, const QString &tabella, BloccoComposto &blocco,
                           bool &chiedeGroupBy, QStringList &ordineProgressivo)
{
    Calcolata c;
    c.testo = EstraiCalc(condizione);
    c.daCalc = !c.testo.isEmpty();
    if (!c.daCalc)
        c.testo = EstraiExtract(condizione);
    if (c.testo.isEmpty())
        return c;
    const QString upper = c.testo.toUpper();
    const int set = c.testo.indexOf(QLatin1String("(Set)"), 0, Qt::CaseInsensitive);
    if (set >= 0)
        c.testo.replace(set, 5, QStringLiteral("(\"") + tabella + QStringLiteral("\".\"Set\")"));
    if (upper.contains(kSommaProg)) {
        // A running sum is no aggregate: it never groups the answer.
        // Without a call to rewrite (no parenthesis after the name) the
        // column is dropped, as the name alone means nothing to the server.
        blocco.sommaProg = true;
        c.tenuta = trovaChiamata(c.testo, kSommaProg).has_value();
        if (c.tenuta)
            c.testo = riscriviSommaProg(c.testo, ordineProgressivo);
        return c;
    }
    if (upper.contains(kInteroQmt)) {
        blocco.interoQmt = true;
        if (!trovaChiamata(c.testo, kInteroQmt))
            return c;
        c.testo = riscriviInteroQmt(c.testo);
    }
    if (upper.contains(kSumNoGroup))
        blocco.sumNoGroup = true;
    if (TestGroupBy(senzaSumNoGroup(c.testo)))
        chiedeGroupBy = true;
    c.tenuta = true;
    return c;
}

void aggiungiElenco(QStringList &righe, const QStringList &elenco)
{
    for (int i = 0; i < elenco.size(); ++i)
        righe << (i + 1 < elenco.size() ? elenco[i] + QLatin1Char(',') : elenco[i]);
}

} // namespace

BloccoComposto ComponiBlocco(const std::vector<RigaInt> &righe, const QString &tabellaSorgente,
                             const TipoDiCampo &tipo)
{
    BloccoComposto blocco;
    const int n = int(righe.size());

    // Rows of an added table whose header says "P": their conditions go
    // into the join, never into WHERE.
    std::vector<bool> diTabellaP(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        if (righe[size_t(i)].Mostra != MostraTestataLeft || righe[size_t(i)].Condizione != kTestataP)
            continue;
        for (int j = i + 1; j < n; ++j) {
            const int m = righe[size_t(j)].Mostra;
            if (m != MostraCollegamento && m != MostraNascosto && m != MostraVisibile)
                break;
            diTabellaP[size_t(j)] = true;
        }
    }

    // SELECT
    bool chiedeGroupBy = false;
    QStringList ordineProgressivo;
    QStringList selezione;
    QStringList semplici;
    std::vector<bool> calcolata(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        const RigaInt &r = righe[size_t(i)];
        const Calcolata c = colonnaCalcolata(r.Condizione, tabellaSorgente, blocco, chiedeGroupBy, ordineProgressivo);
        calcolata[size_t(i)] = !c.testo.isEmpty();
        if (eVisibile(r.Mostra)) {
            selezione << nomeQualificato(r.Nome);
            semplici << nomeQualificato(r.Nome);
            ++blocco.colonneContate;
        }
        if (c.tenuta) {
            selezione << c.testo;
            if (!c.daCalc)
                ++blocco.colonneContate;
        }
    }
    blocco.righe << QStringLiteral("SELECT");
    aggiungiElenco(blocco.righe, selezione);
    const int fineSelezione = int(blocco.righe.size());

    // FROM and the joins
    blocco.righe << QStringLiteral("FROM ");
    QStringList tabelle;
    tabelle << QLatin1Char('"') + tabellaSorgente + QStringLiteral("\" XX ");
    int joins = 0;
    for (int i = 0; i < n; ++i) {
        const RigaInt &h = righe[size_t(i)];
        if (!eTestata(h.Mostra))
            continue;
        const bool left = h.Mostra == MostraTestataLeft;
        const bool conP = left && h.Condizione == kTestataP;
        const QString tabella = h.Nome.left(qMax(0, int(h.Nome.size()) - 4));
        QString join = left ? QStringLiteral("LEFT JOIN \"") : QStringLiteral("RIGHT JOIN \"");
        if (!conP)
            join += h.Condizione;
        join += tabella + QStringLiteral("\" ") + h.Nome.right(2);

        QStringList termini;
        int j = i + 1;
        for (; j < n && righe[size_t(j)].Mostra == MostraCollegamento; ++j) {
            const RigaInt &l = righe[size_t(j)];
            termini << nomeQualificato(l.Nome) + QLatin1Char('=') + nomeRicerca(l.Condizione);
        }
        if (conP) {
            for (; j < n && (righe[size_t(j)].Mostra == MostraNascosto || righe[size_t(j)].Mostra == MostraVisibile);
                 ++j) {
                const RigaInt &r = righe[size_t(j)];
                if (r.Condizione.isEmpty() || calcolata[size_t(j)])
                    continue;
                if (eRaw(r.Condizione))
                    termini << ConvertiDateCondizione(r.Condizione); // the same day as in WHERE
                else
                    termini << ricercaContiene(r.Nome, r.Condizione, tipo ? tipo(r.Nome) : TipoCampo::Altro);
            }
        }
        if (++joins > 1) {
            tabelle.first().prepend(QLatin1Char('('));
            tabelle.last().append(QLatin1Char(')'));
        }
        tabelle << join;
        tabelle << QStringLiteral("ON ((") + termini.join(QStringLiteral(") AND (")) + QStringLiteral("))");
    }
    blocco.righe << tabelle;

    // WHERE
    QStringList condizioni;
    bool serveWhere = false;
    for (int i = 0; i < n; ++i) {
        const RigaInt &r = righe[size_t(i)];
        if (r.Condizione.isEmpty() || eStrutturale(r.Mostra) || diTabellaP[size_t(i)] || calcolata[size_t(i)])
            continue;
        serveWhere = true;
        if (!eColonna(r.Mostra))
            continue;
        if (eRaw(r.Condizione))
            condizioni << ConvertiDateCondizione(qualificaCondizione(r.Condizione, r.Nome));
        else
            condizioni << ricercaContiene(r.Nome, r.Condizione, tipo ? tipo(r.Nome) : TipoCampo::Altro);
    }
    QStringList where;
    if (serveWhere) {
        where << QStringLiteral("WHERE ");
        for (int i = 0; i < condizioni.size(); ++i)
            where << QLatin1Char('(') + condizioni[i]
                         + (i + 1 < condizioni.size() ? QStringLiteral(") and") : QStringLiteral(")"));
    }
    blocco.righe << where;

    // SUMNOGROUP(expression): the sum of the expression over every row the
    // statement selects, the same in each row of the answer, whatever the
    // grouping.
    if (blocco.sumNoGroup) {
        const QString sorgente = QStringLiteral(" FROM ") + tabelle.join(QLatin1Char(' '))
                                 + (where.isEmpty() ? QString() : QLatin1Char(' ') + where.join(QLatin1Char(' ')));
        for (int i = 1; i < fineSelezione; ++i) {
            QString &riga = blocco.righe[i];
            while (const std::optional<Chiamata> c = trovaChiamata(riga, kSumNoGroup)) {
                const QString somma = QStringLiteral("(SELECT SUM(") + c->argomenti.join(QStringLiteral(", "))
                                      + QLatin1Char(')') + sorgente + QLatin1Char(')');
                riga.replace(c->inizio, c->fine - c->inizio, somma);
            }
        }
    }

    // GROUP BY
    if (chiedeGroupBy && blocco.colonneContate > 0) {
        blocco.groupBy = true;
        blocco.righe << QStringLiteral("GROUP BY");
        aggiungiElenco(blocco.righe, semplici);
    }

    // A running sum with order columns shows the answer in that order.
    if (!ordineProgressivo.isEmpty()) {
        blocco.righe << QStringLiteral("ORDER BY");
        aggiungiElenco(blocco.righe, ordineProgressivo);
        blocco.ordinata = true;
    }
    return blocco;
}

QStringList senzaOrderBy(const QStringList &righe)
{
    for (int i = 1; i < righe.size(); ++i)
        if (righe[i].toUpper().contains(QLatin1String("ORDER BY")))
            return righe.mid(0, i);
    return righe;
}

} // namespace vardof::qbe
