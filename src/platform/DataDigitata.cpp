#include "platform/DataDigitata.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace vardof::platform {

std::optional<QString> normalizzaData(const QString &testo)
{
    static const QRegularExpression forma(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})\\s*$"));
    const QRegularExpressionMatch m = forma.match(testo);
    if (!m.hasMatch())
        return std::nullopt;
    int anno = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        anno += anno >= 50 ? 1900 : 2000;
    const QDate d(anno, m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

namespace {

// The digits among `testo` as a number; false when there are none.
bool cifre(const QString &testo, int &numero)
{
    QString d;
    for (const QChar c : testo)
        if (c.isDigit())
            d += c;
    bool ok = false;
    numero = d.toInt(&ok);
    return ok;
}

bool soloCifre(const QString &testo)
{
    return !testo.isEmpty() && std::all_of(testo.begin(), testo.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

CompletamentoData completaData(const QString &digitato)
{
    // A separator typed right after the one the box wrote itself is the
    // same separator: "30/" then "/" stays "30/".
    QString testo = digitato;
    if (testo.endsWith(QLatin1String("//")))
        testo.chop(1);
    CompletamentoData out{testo, 0, 0};
    int numero = 0;
    switch (testo.size()) {
    case 2:
        if (cifre(testo, numero) && numero >= 1 && numero <= 31)
            out.testo = QStringLiteral("%1/").arg(numero, 2, 10, QLatin1Char('0'));
        else
            out.inizioSelezione = 0, out.lunghezzaSelezione = 2;
        break;
    case 5:
        if (cifre(testo.mid(3, 2), numero) && numero >= 1 && numero <= 12)
            out.testo = testo.left(3) + QStringLiteral("%1/").arg(numero, 2, 10, QLatin1Char('0'));
        else
            out.inizioSelezione = 3, out.lunghezzaSelezione = 3;
        break;
    case 8: {
        // Only digits make a year: "+1" or " 1" would read as a number.
        const QString anno = testo.mid(6, 2);
        if (!soloCifre(anno)) {
            out.inizioSelezione = 6, out.lunghezzaSelezione = 3;
        } else if (const int a = anno.toInt(); a != 19 && a != 20) {
            out.testo = testo.left(6) + QString::number(a >= 50 ? 1900 + a : 2000 + a);
        }
        break;
    }
    default:
        break;
    }
    if (out.lunghezzaSelezione == 0)
        out.inizioSelezione = int(out.testo.size());
    else
        out.lunghezzaSelezione = std::min(out.lunghezzaSelezione, int(out.testo.size()) - out.inizioSelezione);
    return out;
}

} // namespace vardof::platform
