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

namespace {

enum class Confronto { Adatta, Rifiutata, Adattata };

// The following query `successiva` weighed against the new columns; a lesser
// change rewrites it and saves both queries.
Confronto confronta(StoricoQuery &storico, int codice1, double codice2, double successiva, const QStringList &colonne,
                    TabIntTmp &tab, const std::function<bool(const QString &)> &chiedi)
{
    TabIntTmp seguente;
    SessioneQuery nessuna;
    storico.RecuperaInterrogazionedaStorico(kCodice1Catena, successiva, seguente, nessuna);
    const ConfrontoSuccessiva confronto = confrontaSuccessiva(seguente.righe(), colonne);
    if (confronto.adatta())
        return Confronto::Adatta;
    if (confronto.perditaGrave) {
        if (chiedi && chiedi(kMsgRipristino)) {
            TabIntTmp salvata;
            SessioneQuery s;
            if (storico.RecuperaInterrogazionedaStorico(codice1, codice2, salvata, s))
                tab.setRighe(salvata.righe());
        }
        return Confronto::Rifiutata;
    }
    // The following query is rewritten for the new columns so that it never
    // names a column its source no longer has.
    TabIntTmp adattata;
    adattata.setRighe(adattaSuccessiva(seguente.righe(), colonne));
    storico.SalvaInterrogazioneSuStorico(kCodice1Catena, successiva, adattata);
    storico.SalvaInterrogazioneSuStorico(codice1, codice2, tab);
    return Confronto::Adattata;
}

} // namespace

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
    switch (confronta(storico, codice1, codice2, *esito.successiva, colonne, tab, chiedi)) {
    case Confronto::Adatta:
        chiediESalva();
        break;
    case Confronto::Rifiutata:
        esito.accettata = false;
        break;
    case Confronto::Adattata:
        break;
    }
    return esito;
}

EsitoValidazione ValidazioneSuccessiva(StoricoQuery &storico, int codice1, double codice2, const QStringList &colonne,
                                       TabIntTmp &tab, const std::function<bool(const QString &)> &chiedi)
{
    EsitoValidazione esito;
    esito.successiva = numeroSuccessiva(tab);
    if (esito.successiva)
        esito.accettata =
            confronta(storico, codice1, codice2, *esito.successiva, colonne, tab, chiedi) != Confronto::Rifiutata;
    return esito;
}

} // namespace vardof::qbe
