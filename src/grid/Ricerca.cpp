#include "grid/Ricerca.h"

#include "db/Column.h"

namespace vardof::grid {

namespace {

QString letterale(const QString &valore)
{
    return QString(valore).replace(QLatin1Char('\''), QLatin1String("''"));
}

bool soloCifre(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (!c.isDigit())
            return false;
    return true;
}

} // namespace

ClasseCampo classeCampo(const db::Column &column)
{
    switch (column.typeCode) {
    case db::TypeSmallint:
    case db::TypeInteger:
    case db::TypeBigint:
    case db::TypeFloat:
    case db::TypeDouble:
        return ClasseCampo::Numerico;
    case db::TypeDate:
        return ClasseCampo::Data;
    case db::TypeTimestamp:
        return ClasseCampo::Timestamp;
    case db::TypeBlob:
        return column.subType == 1 ? ClasseCampo::BlobTesto : ClasseCampo::Stringa;
    default:
        return ClasseCampo::Stringa;
    }
}

std::optional<QDate> leggiData(const QString &testo)
{
    const QStringList parti = testo.trimmed().split(QLatin1Char('/'));
    if (parti.size() != 3)
        return std::nullopt;
    const QString &g = parti[0], &m = parti[1], &a = parti[2];
    if (!soloCifre(g) || !soloCifre(m) || !soloCifre(a) || g.size() > 2 || m.size() > 2
        || (a.size() != 2 && a.size() != 4))
        return std::nullopt;
    int anno = a.toInt();
    if (a.size() == 2)
        anno += anno >= 50 ? 1900 : 2000;
    const QDate d(anno, m.toInt(), g.toInt());
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString dataPerSql(const QDate &data)
{
    return data.toString(QStringLiteral("MM/dd/yyyy"));
}

bool condizioneVuota(const ParametriRicerca &p)
{
    if (p.modoData)
        return p.data1.trimmed().isEmpty();
    return p.testo.isEmpty();
}

QString corpoCondizione(const ParametriRicerca &p)
{
    if (condizioneVuota(p))
        return QString();
    if (p.modoData) {
        const std::optional<QDate> d1 = leggiData(p.data1);
        QString corpo = QStringLiteral("(") + p.espressione + QStringLiteral(" >= '")
                        + (d1 ? dataPerSql(*d1) : letterale(p.data1)) + QStringLiteral("')");
        if (!p.data2.trimmed().isEmpty()) {
            const std::optional<QDate> d2 = leggiData(p.data2);
            corpo += QStringLiteral("AND(") + p.espressione + QStringLiteral(" <= '")
                     + (d2 ? dataPerSql(*d2) : letterale(p.data2)) + QStringLiteral("')");
        }
        return corpo;
    }
    QString valore = p.testo;
    QString espressione = p.espressione;
    if (p.classe == ClasseCampo::Stringa && p.upper) {
        valore = valore.toUpper();
        espressione = QStringLiteral("UPPER(") + espressione + QLatin1Char(')');
    }
    valore = letterale(valore);
    switch (p.tipo) {
    case Contiene:
        return QLatin1Char('(') + espressione + QStringLiteral(" LIKE '%") + valore + QStringLiteral("%')");
    case IniziaCon:
        return QLatin1Char('(') + espressione + QStringLiteral(" LIKE '") + valore + QStringLiteral("%')");
    default:
        return QLatin1Char('(') + espressione + QStringLiteral(" >= '") + valore + QStringLiteral("')");
    }
}

QStringList ordineRicerca(const ParametriRicerca &p)
{
    if (p.ordine != OrdineCrescente && p.ordine != OrdineDecrescente)
        return {};
    const bool maiuscole = p.classe == ClasseCampo::Stringa && p.upper;
    QString riga = QStringLiteral("ORDER BY ")
                   + (maiuscole ? QStringLiteral("UPPER(") + p.espressione + QLatin1Char(')') : p.espressione);
    if (p.ordine == OrdineDecrescente)
        riga += QLatin1String(" DESC");
    return {riga};
}

QStringList corpoGenerica(const QStringList &origini, const QString &testo)
{
    const QString valore = letterale(testo.toUpper());
    QStringList righe;
    for (const QString &origine : origini) {
        if (origine.isEmpty())
            continue;
        righe << (righe.isEmpty() ? QStringLiteral("(") : QStringLiteral("OR(")) + origine
                     + QStringLiteral(" CONTAINING '") + valore + QStringLiteral("')");
    }
    if (righe.isEmpty())
        return {};
    righe.prepend(QStringLiteral("("));
    righe << QStringLiteral(")");
    return righe;
}

bool accettaValore(const QString &v, const QString &t, bool upper, int tipo)
{
    const QString valore = upper ? v.toUpper() : v;
    const QString cercato = upper ? t.toUpper() : t;
    switch (tipo) {
    case Contiene:
        return !cercato.isEmpty() && valore.contains(cercato);
    case IniziaCon:
        return valore.startsWith(cercato);
    default:
        return valore >= cercato;
    }
}

QString nomeTabellaDaSql(const QStringList &righe)
{
    const QString testo = righe.join(QLatin1String("\r\n"));
    const int from = int(testo.indexOf(QLatin1String("FROM")));
    if (from < 0)
        return QString();
    const QString dopo = testo.mid(from + 4);
    const int primo = int(dopo.indexOf(QLatin1Char('"')));
    if (primo < 0)
        return QString();
    const int secondo = int(dopo.indexOf(QLatin1Char('"'), primo + 1));
    if (secondo < 0)
        return QString();
    return dopo.mid(primo + 1, secondo - primo - 1);
}

} // namespace vardof::grid
