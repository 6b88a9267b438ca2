#include "qbe/ValidazioneRisposta.h"

#include "qbe/Catena.h"

namespace vardof::qbe {

QStringList colonneRisposta(const TabRispTmp &risposta)
{
    QStringList out;
    for (const db::Column &c : risposta.columns())
        out << (c.alias.isEmpty() ? c.name : c.alias);
    return out;
}

EsitoValidazione ValidazioneNuovaRisposta(StoricoQuery &storico, int codice1, double codice2,
                                          const QStringList &colonne, TabIntTmp &tab,
                                          const std::function<bool(const QString &)> &chiedi)
{
    EsitoValidazione esito;
    esito.successiva = numeroSuccessiva(tab);
    if (!storico.ControllaInterrogazioneSalvata(codice1, codice2, tab))
        return esito;

    auto chiediESalva = [&] {
        if (chiedi && chiedi(kMsgAggiornareStorico))
            storico.SalvaInterrogazioneSuStorico(codice1, codice2, tab);
    };
    if (!esito.successiva) {
        chiediESalva();
        return esito;
    }

    TabIntTmp seguente;
    SessioneQuery nessuna;
    storico.RecuperaInterrogazionedaStorico(kCodice1Catena, *esito.successiva, seguente, nessuna);
    const ConfrontoSuccessiva confronto = confrontaSuccessiva(seguente.righe(), colonne);
    if (confronto.adatta()) {
        chiediESalva();
        return esito;
    }
    if (confronto.perditaGrave) {
        esito.accettata = false;
        if (chiedi && chiedi(kMsgRipristino)) {
            TabIntTmp salvata;
            SessioneQuery s;
            if (storico.RecuperaInterrogazionedaStorico(codice1, codice2, salvata, s))
                tab.setRighe(salvata.righe());
        }
        return esito;
    }
    // The following query is rewritten for the new columns so that it never
    // names a column its source no longer has.
    TabIntTmp adattata;
    adattata.setRighe(adattaSuccessiva(seguente.righe(), colonne));
    storico.SalvaInterrogazioneSuStorico(kCodice1Catena, *esito.successiva, adattata);
    storico.SalvaInterrogazioneSuStorico(codice1, codice2, tab);
    return esito;
}

} // namespace vardof::qbe
