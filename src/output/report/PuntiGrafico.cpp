#include "output/report/PuntiGrafico.h"

namespace vardof::output::report {

int cifrePrefisso(qint64 record)
{
    return record <= 99 ? 2 : record > 999 ? 4 : 3;
}

QString prefissoOrdine(qint64 posizione, qint64 record)
{
    return QStringLiteral("%1.").arg(posizione, cifrePrefisso(record), 10, QLatin1Char('0'));
}

bool scriviPunti(SorgenteStampa &risposta, const QString &campoX, const QStringList &campiValore, bool originale,
                 const std::function<bool(const PuntoGrafico &)> &punto, QString *errore)
{
    qint64 record = 0;
    if (originale) {
        if (!risposta.apri(errore))
            return false;
        while (risposta.prossimo())
            ++record;
    }
    for (const QString &campo : campiValore) {
        if (!risposta.apri(errore))
            return false;
        qint64 n = 0;
        while (risposta.prossimo()) {
            ++n;
            const auto x = risposta.campo(campoX);
            const auto y = risposta.campo(campo);
            if (!x || !y) {
                if (errore)
                    *errore = QStringLiteral("campo %1 non presente nella risposta").arg(!x ? campoX : campo);
                return false;
            }
            PuntoGrafico p;
            p.descrizione1 = (originale ? prefissoOrdine(n, record) : QString()) + x->testo;
            p.descrizione1.truncate(20); // the table's text field holds 20 characters
            p.descrizione2 = campo;
            p.valore = y->tipo == ValoreReport::Numero ? y->numero : 0;
            if (!punto(p))
                return false;
        }
    }
    return true;
}

QString modelloGrafico(bool xyz, int tipo, bool verticale)
{
    struct M { const char *orizzontale, *verticale; };
    static const M xy[] = {{"QGr01N.RPT", "QGr01VN.RPT"}, {"QGr02N3.RPT", "QGr02VN3.RPT"}, {"QGr03L.RPT", "QGr03VL.RPT"},
                           {"QGr04B3.RPT", "QGr04B3.RPT"}, {"QGr05T.RPT", "QGr05T.RPT"}};
    static const M z[] = {{"QGr11N.RPT", "QGr11VN.RPT"},  {"QGr12N3.RPT", "QGr12VN3.RPT"}, {"QGr13P.RPT", "QGr13VP.RPT"},
                          {"QGr14P3.RPT", "QGr14VP3.RPT"}, {"QGr15P.RPT", "QGr15VP.RPT"},  {"QGr16P3.RPT", "QGr16VP3.RPT"},
                          {"QGr17L.RPT", "QGr17VL.RPT"},  {"QGr18A.RPT", "QGr18VA.RPT"},   {"QGr19B.RPT", "QGr19B.RPT"},
                          {"QGr20TF.RPT", "QGr20TF.RPT"}, {"QGr21TP.RPT", "QGr21TP.RPT"}};
    const M *t = xyz ? z : xy;
    const int n = xyz ? int(std::size(z)) : int(std::size(xy));
    if (tipo < 0 || tipo >= n)
        return QString();
    return QLatin1String(verticale ? t[tipo].verticale : t[tipo].orizzontale);
}

QString formulaTitolo(const QString &titolo)
{
    return titolo.isEmpty() ? QStringLiteral("'Senza titolo '") : QLatin1Char('\'') + titolo + QLatin1Char('\'');
}

QString formulaAsse(const QString &asse, const QString &testo)
{
    return testo.isEmpty() ? QStringLiteral("' '") : QStringLiteral("'Asse %1: ").arg(asse) + testo + QLatin1Char('\'');
}

} // namespace vardof::output::report
