#include "import/ImportValues.h"

#include "platform/Formats.h"

#include <QDate>

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

// The shape dates have in almost every file, day, month and year in digits
// with "/", "." or "-" (the same twice) and nothing around them, read
// without building a string: false for any other shape, which the general
// reader takes (blanks around, other digits). `data` is empty when the
// shape is right but the day does not exist.
bool dataSemplice(QStringView t, std::optional<QDate> &data)
{
    qsizetype i = 0;
    const auto cifre = [&](int &valore) {
        int quante = 0;
        valore = 0;
        for (; i < t.size() && isDigit(t[i]); ++i, ++quante) {
            if (quante < 5)
                valore = valore * 10 + (t[i].unicode() - '0');
        }
        return quante;
    };
    int giorno = 0, mese = 0, anno = 0;
    const int cifreGiorno = cifre(giorno);
    if (cifreGiorno < 1 || cifreGiorno > 2 || i >= t.size())
        return false;
    const QChar separatore = t[i];
    if (separatore != u'/' && separatore != u'.' && separatore != u'-')
        return false;
    ++i;
    const int cifreMese = cifre(mese);
    if (cifreMese < 1 || cifreMese > 2 || i >= t.size() || t[i] != separatore)
        return false;
    ++i;
    const int cifreAnno = cifre(anno);
    if ((cifreAnno != 2 && cifreAnno != 4) || i != t.size())
        return false;
    if (cifreAnno == 2)
        anno += anno < 50 ? 2000 : 1900;
    const QDate d(anno, mese, giorno);
    data = d.isValid() ? std::optional<QDate>(d) : std::nullopt;
    return true;
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
    case TipoData: {
        std::optional<QDate> d;
        if (!dataSemplice(testo, d))
            d = platform::strToDate(testo.toString());
        if (d)
            return db::Value(*d);
        return std::nullopt;
    }
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
