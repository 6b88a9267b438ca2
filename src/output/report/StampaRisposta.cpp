#include "output/report/StampaRisposta.h"

#include "db/Error.h"

#include <QDate>

namespace vardof::output::report {

std::vector<CampoLayout> campiLayout(const std::vector<CampoEsportato> &campi, const std::vector<db::Column> &colonne)
{
    std::vector<CampoLayout> out;
    for (const CampoEsportato &c : campi) {
        if (c.colonna < 0 || c.colonna >= int(colonne.size()))
            continue;
        const db::Column &col = colonne[size_t(c.colonna)];
        out.push_back(CampoLayout{c.nome, tipoCampo(col), col.scale,
                                  c.larghezza > 0 ? c.larghezza : larghezzaPredefinita(col), c.codice});
    }
    return out;
}

QByteArray layoutAvanzatoRisposta(const RispostaDaEsportare &risposta, const OpzioniStampaRisposta &o, QString *errore)
{
    SorgenteRisposta s(risposta);
    if (!s.apri(errore))
        return {};
    OpzioniLayoutAvanzato l;
    l.campi = l.colonneGriglia = campiLayout(s.campi(), s.colonne());
    l.unRecord = o.unRecord;
    l.orizzontale = o.orizzontale;
    l.numeraPagine = o.dati.numeraPagine;
    l.memoEstesi = o.memoEstesi;
    l.font = o.font;
    return CreaFileLSTAvanzato(l);
}

bool StampaRispostaPdf(const RispostaDaEsportare &risposta, const QString &uscita, const OpzioniStampaRisposta &o,
                       QString *errore, platform::RunFeedback *feedback, const QByteArray &layout, int *pagine)
{
    const QByteArray testo = layout.isEmpty() ? layoutAvanzatoRisposta(risposta, o, errore) : layout;
    if (testo.isEmpty())
        return false;
    QString motivo;
    const auto modello = LeggiLayout(testo, &motivo);
    if (!modello) {
        if (errore)
            *errore = motivo;
        return false;
    }
    SorgenteRisposta sorgente(risposta);
    return ScriviPdf(uscita, *modello,
                     [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
                         DatiStampa d = o.dati;
                         d.pagineTotali = totali;
                         return StampaAvanzata(*modello, sorgente, d, misura, consegna, feedback, e, n);
                     },
                     errore, pagine, feedback);
}

QString titoloStampa(const QString &ditta, const QString &tabella)
{
    return QStringLiteral("Ditta: ") + ditta + QStringLiteral(" Tabella: ") + tabella + QStringLiteral("  Data: ")
           + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace vardof::output::report
