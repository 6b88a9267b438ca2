#include "output/report/Espressioni.h"

#include <QLocale>
#include <QStringList>

#include <cmath>
#include <vector>

namespace vardof::output::report {

QString formattaMaschera(double valore, const QString &maschera)
{
    const int punto = maschera.indexOf(QLatin1Char('.'));
    const int decimali = punto < 0 ? 0 : int(maschera.mid(punto + 1).count(QLatin1Char('#')));
    const bool gruppi = maschera.contains(QLatin1Char(','));
    const double arrotondato = std::round(std::fabs(valore) * std::pow(10.0, decimali)) / std::pow(10.0, decimali);
    QString cifre = QString::number(arrotondato, 'f', decimali);
    QString intera = cifre.section(QLatin1Char('.'), 0, 0);
    const QString frazione = decimali > 0 ? cifre.section(QLatin1Char('.'), 1, 1) : QString();
    if (gruppi)
        for (int i = int(intera.size()) - 3; i > 0; i -= 3)
            intera.insert(i, QLatin1Char('.'));
    QString out = intera;
    if (decimali > 0)
        out += QLatin1Char(',') + frazione;
    if (valore < 0 && arrotondato != 0)
        out.prepend(QLatin1Char('-'));
    return out;
}

namespace {

class Lettore
{
public:
    Lettore(const QString &t, const AmbienteEspressioni &a) : s(t), amb(a) {}

    std::optional<ValoreReport> espressione()
    {
        auto v = termine();
        if (!v)
            return v;
        spazi();
        while (i < s.size() && s[i] == QLatin1Char('+')) {
            ++i;
            auto w = termine();
            if (!w)
                return w;
            if (v->tipo == ValoreReport::Numero && w->tipo == ValoreReport::Numero) {
                const double n = v->numero + w->numero;
                v = ValoreReport::diNumero(n, QLocale(QLocale::Italian).toString(n, 'f', 2));
            } else {
                v = ValoreReport::diTesto(v->testo + w->testo);
            }
            spazi();
        }
        return v;
    }
    bool finito()
    {
        spazi();
        return i >= s.size();
    }
    QString errore;

private:
    void spazi()
    {
        while (i < s.size() && s[i].isSpace())
            ++i;
    }
    std::optional<ValoreReport> fallisci(const QString &e)
    {
        if (errore.isEmpty())
            errore = e;
        return std::nullopt;
    }
    std::optional<std::vector<ValoreReport>> argomenti()
    {
        std::vector<ValoreReport> out;
        spazi();
        if (i >= s.size() || s[i] != QLatin1Char('('))
            return std::nullopt;
        ++i;
        spazi();
        if (i < s.size() && s[i] == QLatin1Char(')')) {
            ++i;
            return out;
        }
        for (;;) {
            auto v = espressione();
            if (!v)
                return std::nullopt;
            out.push_back(*v);
            spazi();
            if (i < s.size() && s[i] == QLatin1Char(',')) {
                ++i;
                continue;
            }
            if (i < s.size() && s[i] == QLatin1Char(')')) {
                ++i;
                return out;
            }
            return std::nullopt;
        }
    }
    std::optional<ValoreReport> termine()
    {
        spazi();
        if (i >= s.size())
            return fallisci(QStringLiteral("espressione incompleta"));
        const QChar c = s[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int fine = int(s.indexOf(c, i + 1));
            if (fine < 0)
                return fallisci(QStringLiteral("testo senza virgolette di chiusura"));
            const QString t = s.mid(i + 1, fine - i - 1);
            i = fine + 1;
            return ValoreReport::diTesto(t);
        }
        if (c.isDigit()) {
            const int inizio = i;
            while (i < s.size() && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            const QString t = s.mid(inizio, i - inizio);
            return ValoreReport::diNumero(t.toDouble(), t);
        }
        if (!(c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@')))
            return fallisci(QStringLiteral("carattere inatteso \"%1\"").arg(c));
        const int inizio = i;
        while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') || s[i] == QLatin1Char('.')
                                || s[i] == QLatin1Char('$') || s[i] == QLatin1Char('@')))
            ++i;
        const QString nome = s.mid(inizio, i - inizio);
        int j = i;
        while (j < s.size() && s[j].isSpace())
            ++j;
        if (j < s.size() && s[j] == QLatin1Char('(')) {
            auto args = argomenti();
            if (!args)
                return errore.isEmpty() ? fallisci(QStringLiteral("argomenti di %1 non leggibili").arg(nome))
                                        : std::nullopt;
            return funzione(nome, *args);
        }
        auto v = amb.nome ? amb.nome(nome) : std::nullopt;
        if (!v)
            return fallisci(QStringLiteral("campo o variabile %1 sconosciuto").arg(nome));
        return v;
    }
    std::optional<ValoreReport> funzione(const QString &nome, const std::vector<ValoreReport> &a)
    {
        const QString f = nome.toLower();
        if (f == QLatin1String("page") && a.empty())
            return ValoreReport::diNumero(amb.pagina, QString::number(amb.pagina));
        if (f == QLatin1String("page$") && a.empty())
            return ValoreReport::diTesto(QString::number(amb.pagina));
        if (f == QLatin1String("totalpages$") && a.empty())
            return ValoreReport::diTesto(QString::number(amb.pagineTotali));
        if (f == QLatin1String("fstr$") && a.size() >= 2) {
            // An empty field stays empty rather than printing as zero.
            if (a[0].tipo != ValoreReport::Numero)
                return ValoreReport::diTesto(a[0].testo.isEmpty() ? QString() : a[0].testo);
            return ValoreReport::diTesto(formattaMaschera(a[0].numero, a[1].testo));
        }
        if (f == QLatin1String("str$") && !a.empty()) {
            const int lunghezza = a.size() > 1 ? int(a[1].numero) : 0;
            const int decimali = a.size() > 2 ? int(a[2].numero) : 0;
            const QString t = QString::number(a[0].numero, 'f', decimali);
            return ValoreReport::diTesto(t.rightJustified(lunghezza, QLatin1Char(' ')).trimmed());
        }
        return fallisci(QStringLiteral("funzione %1 non disponibile").arg(nome));
    }

    const QString &s;
    const AmbienteEspressioni &amb;
    int i = 0;
};

} // namespace

std::optional<QString> valuta(const QString &espressione, const AmbienteEspressioni &ambiente, QString *errore)
{
    Lettore l(espressione, ambiente);
    auto v = l.espressione();
    if (v && !l.finito()) {
        v.reset();
        l.errore = QStringLiteral("testo in più dopo l'espressione");
    }
    if (!v) {
        if (errore)
            *errore = l.errore;
        return std::nullopt;
    }
    return v->testo;
}

} // namespace vardof::output::report
