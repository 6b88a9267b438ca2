#include "import/ImportValues.h"

#include "platform/Formats.h"

namespace vardof::importcsv {

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Digits with an optional sign and decimal comma, at most 18 digits: exact.
std::optional<db::Decimal> decimaleEsatto(QStringView t)
{
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negativo = t[i] == u'-';
        ++i;
    }
    qint64 unita = 0;
    int cifre = 0;
    int scala = 0;
    bool virgola = false;
    bool qualcheCifra = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (isDigit(c)) {
            if (cifre == 18)
                return std::nullopt;
            unita = unita * 10 + (c.unicode() - '0');
            if (unita != 0 || virgola)
                ++cifre;
            if (virgola)
                ++scala;
            qualcheCifra = true;
        } else if (c == u',' && !virgola) {
            virgola = true;
        } else {
            return std::nullopt;
        }
    }
    if (!qualcheCifra)
        return std::nullopt;
    return db::Decimal{negativo ? -unita : unita, scala};
}

} // namespace

std::optional<double> decimaleDaTesto(QStringView testo)
{
    if (testo.contains(u'.'))
        return std::nullopt;
    if (auto esatto = decimaleEsatto(testo))
        return esatto->toDouble();
    return platform::strToFloat(testo.toString(), platform::DecimalInput::CommaOnly);
}

std::optional<db::Value> convertiValore(QStringView testo, TipoCampo tipo, bool intero64)
{
    switch (tipo) {
    case TipoTesto:
        return db::Value(testo.toString());
    case TipoDecimale: {
        if (testo.contains(u'.'))
            return std::nullopt;
        if (auto esatto = decimaleEsatto(testo))
            return db::Value(*esatto);
        if (auto d = platform::strToFloat(testo.toString(), platform::DecimalInput::CommaOnly))
            return db::Value(*d);
        return std::nullopt;
    }
    case TipoIntero: {
        const QString s = testo.toString();
        if (intero64) {
            if (auto v = platform::strToInt64(s))
                return db::Value(qint64(*v));
        } else if (auto v = platform::strToInt(s)) {
            return db::Value(qint64(*v));
        }
        return std::nullopt;
    }
    case TipoData:
        if (auto d = platform::strToDate(testo.toString()))
            return db::Value(*d);
        return std::nullopt;
    case TipoOra:
        if (auto t = platform::strToTime(testo.toString()))
            return db::Value(*t);
        return std::nullopt;
    case TipoDataOra:
        if (auto dt = platform::strToDateTime(testo.toString()))
            return db::Value(*dt);
        return std::nullopt;
    }
    return std::nullopt;
}

QString formatoNumero(qint64 n)
{
    return platform::formatFloat(QStringLiteral("###,###,##0"), double(n));
}

} // namespace vardof::importcsv
