#include "output/Risposta.h"

#include "core/Cp1252.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "platform/Formats.h"

#include <algorithm>
#include <memory>

namespace vardof::output {

int larghezzaPredefinita(const db::Column &c)
{
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        return c.length > 0 ? c.length : 1;
    case db::TypeSmallint:
        return c.scale > 0 ? 10 : 6;
    case db::TypeInteger:
        return c.scale > 0 ? 10 : 11;
    case db::TypeBigint:
        return c.scale > 0 ? 10 : 15;
    case db::TypeTimestamp:
        return 18;
    default:
        return 10;
    }
}

int larghezzaCampo(const CampoEsportato &campo, const db::Column &colonna)
{
    const int w = campo.larghezza > 0 ? campo.larghezza : larghezzaPredefinita(colonna);
    const QString &label = campo.etichetta.isEmpty() ? campo.nome : campo.etichetta;
    return std::max(w, int(label.size()));
}

int larghezzaMassimaTesto(const db::Column &c)
{
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        return c.length;
    case db::TypeSmallint:
        return c.scale > 0 ? 8 : 6;
    case db::TypeInteger:
        return c.scale > 0 ? 13 : 11;
    case db::TypeBigint:
        return c.scale > 0 ? 21 : 20;
    case db::TypeFloat:
    case db::TypeDouble:
        return 23; // "-1,7976931348623157E308"
    case db::TypeDate:
        return 10;
    case db::TypeTime:
        return 8;
    case db::TypeTimestamp:
        return 19;
    case db::TypeBoolean:
        return 5;
    default:
        return 0;
    }
}

int raggruppamento(int codice)
{
    return std::abs(codice) % 100000 % 10;
}

bool conTotale(int codice)
{
    return std::abs(codice) % 100000 / 10 % 10 == 1;
}

bool eVirgola(const db::Column &c)
{
    return c.typeCode == db::TypeFloat || c.typeCode == db::TypeDouble || c.scale > 0;
}

bool eBlob(const db::Column &c)
{
    return c.typeCode == db::TypeBlob;
}

bool eNumerico(const db::Column &c)
{
    return c.isNumeric() || c.scale > 0;
}

QString testoRaggruppato(double valore, int tipo)
{
    if (valore == 0.0)
        return QString();
    return platform::formatFloat(tipo == 1 ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0"), valore);
}

QString codiceTipoCampo(const db::Column &c)
{
    QString code;
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        code = QStringLiteral("A%1").arg(c.length);
        break;
    case db::TypeSmallint:
        code = c.scale > 0 ? QStringLiteral("N%1").arg(c.scale) : QStringLiteral("S");
        break;
    case db::TypeInteger:
    case db::TypeBigint:
        code = c.scale > 0 ? QStringLiteral("N%1").arg(c.scale) : QStringLiteral("I");
        break;
    case db::TypeFloat:
    case db::TypeDouble:
        code = QStringLiteral("N");
        break;
    case db::TypeDate:
        code = QStringLiteral("D");
        break;
    case db::TypeTime:
        code = QStringLiteral("T");
        break;
    case db::TypeTimestamp:
        code = QStringLiteral("TS");
        break;
    case db::TypeBlob:
        code = QStringLiteral("M");
        break;
    default:
        code = QStringLiteral("X");
    }
    return c.nullable ? code : QLatin1Char('*') + code;
}

QString sostituisciRitorniCapo(const QString &testo, const QString &sostituto)
{
    if (!testo.contains(QLatin1Char('\r')) && !testo.contains(QLatin1Char('\n')))
        return testo;
    QString out;
    out.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar ch = testo.at(i);
        if (ch == QLatin1Char('\r')) {
            out += sostituto;
            if (i + 1 < testo.size() && testo.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (ch == QLatin1Char('\n')) {
            out += sostituto;
        } else {
            out += ch;
        }
    }
    return out;
}

QString rtfInChiaro(const QString &originale)
{
    QString testo = originale;
    testo.replace(QChar(0xB4), QLatin1Char('\''));
    if (!testo.startsWith(QLatin1String("{\\rtf")))
        return testo;

    // Destinations whose content is not text.
    static const QStringList saltate = {
        QStringLiteral("fonttbl"), QStringLiteral("colortbl"), QStringLiteral("stylesheet"), QStringLiteral("info"),
        QStringLiteral("pict"),    QStringLiteral("object"),   QStringLiteral("header"),     QStringLiteral("footer"),
        QStringLiteral("listtable"), QStringLiteral("listoverridetable"), QStringLiteral("themedata"),
        QStringLiteral("colorschememapping"), QStringLiteral("datastore"), QStringLiteral("latentstyles"),
        QStringLiteral("generator"), QStringLiteral("xmlnstbl"), QStringLiteral("rsidtbl")};
    QString out;
    std::vector<bool> skip{false};
    int ucSkip = 1;
    int pendingSkip = 0;
    const qsizetype n = testo.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = testo.at(i);
        if (ch == QLatin1Char('{')) {
            skip.push_back(skip.back());
            continue;
        }
        if (ch == QLatin1Char('}')) {
            if (skip.size() > 1)
                skip.pop_back();
            continue;
        }
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            continue;
        if (ch != QLatin1Char('\\')) {
            if (pendingSkip > 0) {
                --pendingSkip;
                continue;
            }
            if (!skip.back())
                out += ch;
            continue;
        }
        // A control sequence.
        if (i + 1 >= n)
            break;
        const QChar next = testo.at(i + 1);
        if (next == QLatin1Char('\\') || next == QLatin1Char('{') || next == QLatin1Char('}')) {
            if (!skip.back())
                out += next;
            ++i;
            continue;
        }
        if (next == QLatin1Char('*')) {
            skip.back() = true;
            ++i;
            continue;
        }
        if (next == QLatin1Char('\'')) {
            if (i + 3 < n) {
                bool ok = false;
                const int byte = testo.mid(i + 2, 2).toInt(&ok, 16);
                if (ok && !skip.back()) {
                    if (pendingSkip > 0)
                        --pendingSkip;
                    else
                        out += core::fromCp1252(QByteArray(1, char(byte)));
                }
            }
            i += 3;
            continue;
        }
        if (!next.isLetter()) {
            if (next == QLatin1Char('~') && !skip.back())
                out += QChar(0xA0);
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && testo.at(j).isLetter())
            ++j;
        const QString word = testo.mid(i + 1, j - i - 1);
        qsizetype k = j;
        if (k < n && (testo.at(k) == QLatin1Char('-') || testo.at(k).isDigit())) {
            ++k;
            while (k < n && testo.at(k).isDigit())
                ++k;
        }
        const QString param = testo.mid(j, k - j);
        if (k < n && testo.at(k) == QLatin1Char(' '))
            ++k;
        i = k - 1;
        if (saltate.contains(word)) {
            skip.back() = true;
            continue;
        }
        if (skip.back())
            continue;
        if (word == QLatin1String("par") || word == QLatin1String("line"))
            out += QStringLiteral("\r\n");
        else if (word == QLatin1String("tab"))
            out += QLatin1Char('\t');
        else if (word == QLatin1String("uc"))
            ucSkip = param.toInt();
        else if (word == QLatin1String("u")) {
            int code = param.toInt();
            if (code < 0)
                code += 65536;
            out += QChar(char16_t(code));
            pendingSkip = ucSkip;
        }
    }
    // A paragraph mark closes the last paragraph too; the text does not end with it.
    while (out.endsWith(QStringLiteral("\r\n")))
        out.chop(2);
    return out;
}

// ---- cursor -------------------------------------------------------------

struct CursoreRisposta::Impl
{
    std::unique_ptr<db::Statement> statement;
    db::ResultSet cursor;
    std::vector<db::Column> columns;
};

CursoreRisposta::CursoreRisposta(const RispostaDaEsportare &risposta) : m_risposta(risposta), d(new Impl) {}

CursoreRisposta::~CursoreRisposta()
{
    delete d;
}

void CursoreRisposta::apri()
{
    if (!m_risposta.transazione)
        throw db::Error(QStringLiteral("nessuna risposta da esportare"));
    d->statement = std::make_unique<db::Statement>(*m_risposta.transazione, m_risposta.sql.join(QLatin1Char('\n')),
                                                   db::ParamStyle::AsWritten);
    d->cursor = d->statement->open();
    d->columns = d->cursor.columns();
    m_campi.clear();
    if (m_risposta.campi.empty()) {
        for (int i = 0; i < int(d->columns.size()); ++i) {
            const db::Column &c = d->columns[size_t(i)];
            m_campi.push_back(CampoEsportato{i, c.alias.isEmpty() ? c.name : c.alias, {}, 0, 0});
        }
    } else {
        for (const CampoEsportato &c : m_risposta.campi)
            if (c.colonna >= 0 && c.colonna < int(d->columns.size()))
                m_campi.push_back(c);
    }
    for (CampoEsportato &c : m_campi)
        if (c.etichetta.isEmpty())
            c.etichetta = c.nome;
}

bool CursoreRisposta::prossima()
{
    return d->cursor.next();
}

const std::vector<db::Column> &CursoreRisposta::colonne() const
{
    return d->columns;
}

db::FieldValue CursoreRisposta::valore(int colonna) const
{
    return d->cursor.value(colonna);
}

QString CursoreRisposta::testo(int colonna) const
{
    return d->cursor.text(colonna);
}

bool CursoreRisposta::nullo(int colonna) const
{
    return d->cursor.isNull(colonna);
}

qint64 CursoreRisposta::conta()
{
    if (!m_risposta.transazione)
        return -1;
    try {
        const db::FieldValue v = db::queryValue(
            *m_risposta.transazione,
            QStringLiteral("SELECT COUNT(*) AS TOT FROM (\n") + m_risposta.sql.join(QLatin1Char('\n')) + QStringLiteral("\n)"));
        if (v)
            if (auto n = db::toInt64(*v))
                return *n;
    } catch (const db::Error &) {
        // The progress then runs without a total.
    }
    return -1;
}

} // namespace vardof::output
