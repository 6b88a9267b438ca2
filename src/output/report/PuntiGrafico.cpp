#include "output/report/PuntiGrafico.h"

#include "output/PagineTesto.h"
#include "platform/HostPaths.h"

#include <QDir>

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
            // In full: a cut category would merge two x values that only
            // differ after the cut, summing their values under one label.
            p.descrizione1 = (originale ? prefissoOrdine(n, record) : QString()) + x->testo;
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

namespace {

QString raddoppiaApici(QString testo)
{
    return testo.replace(QLatin1Char('\''), QLatin1String("''"));
}

} // namespace

QString formulaTitolo(const QString &titolo)
{
    return titolo.isEmpty() ? QStringLiteral("'Senza titolo '")
                            : QLatin1Char('\'') + raddoppiaApici(titolo) + QLatin1Char('\'');
}

QString formulaAsse(const QString &asse, const QString &testo)
{
    return testo.isEmpty() ? QStringLiteral("' '")
                           : QStringLiteral("'Asse %1: ").arg(asse) + raddoppiaApici(testo) + QLatin1Char('\'');
}

QString testoFormula(const QString &formula)
{
    if (formula.size() < 2 || !formula.startsWith(QLatin1Char('\'')) || !formula.endsWith(QLatin1Char('\'')))
        return formula;
    return formula.mid(1, formula.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
}

QString cartellaPuntiGrafico(const QString &dirLavoro)
{
    return platform::ensureTrailingSeparator(dirLavoro) + QStringLiteral("QUERY/RISPTMP/GRAFTMP");
}

platform::LocalTableLayout layoutPuntiGrafico()
{
    platform::LocalTableLayout l;
    l.fields = {{QStringLiteral("Descrizione1"), platform::LocalField::Text, 20},
                {QStringLiteral("Descrizione2"), platform::LocalField::Text, 20},
                {QStringLiteral("Valore"), platform::LocalField::Float, 0}};
    return l;
}

bool ScriviTabellaPunti(SorgenteStampa &risposta, const QString &campoX, const QStringList &campiValore,
                        bool originale, const QString &dirLavoro, TabellaPunti &esito, QString *errore)
{
    const QString cartella = cartellaPuntiGrafico(dirLavoro);
    QString nome = kGraftmp;
    std::unique_ptr<platform::ILocalTable> tabella;
    const StatoTabella stato = VerificaTabellaLibera(cartella, nome, tabella);
    esito.nome = nome;
    esito.percorso = cartella + QLatin1Char('/') + nome;
    esito.punti.clear();
    auto fallisci = [&](const QString &motivo) {
        if (errore)
            *errore = motivo;
        return false;
    };
    if (stato != StatoTabella::EsisteLibera || !tabella) {
        tabella.reset();
        QDir().mkpath(cartella); // a failure shows at the creation
        QString motivo;
        tabella = platform::localTables().create(esito.percorso, layoutPuntiGrafico(), &motivo);
        if (!tabella)
            return fallisci(QStringLiteral("Impossibile creare la tabella \"%1\": %2").arg(esito.percorso, motivo));
    }
    if (!tabella->empty())
        return fallisci(QStringLiteral("Impossibile svuotare la tabella \"%1\": %2").arg(esito.percorso, tabella->errorString()));
    QString motivo;
    qsizetype scritte = 0;
    const bool scritti = scriviPunti(risposta, campoX, campiValore, originale, [&](const PuntoGrafico &p) {
        if (tabella->append({QVariant(p.descrizione1), QVariant(p.descrizione2), QVariant(p.valore)})) {
            ++scritte;
            return true;
        }
        motivo = QStringLiteral("Impossibile scrivere la tabella \"%1\": %2").arg(esito.percorso, tabella->errorString());
        return false;
    }, &motivo);
    if (!scritti)
        return fallisci(motivo);
    const QList<QVariantList> righe = tabella->rows();
    if (righe.size() != scritte) // a read that stopped half way
        return fallisci(QStringLiteral("Impossibile leggere la tabella \"%1\": %2")
                            .arg(esito.percorso, tabella->errorString().isEmpty() ? QStringLiteral("righe mancanti")
                                                                                 : tabella->errorString()));
    esito.punti.reserve(righe.size());
    for (const QVariantList &r : righe) {
        if (r.size() < 3)
            continue;
        esito.punti.push_back({r.at(0).toString(), r.at(1).toString(), r.at(2).toDouble()});
    }
    tabella->close();
    return true;
}

} // namespace vardof::output::report
