#include "qbe/Unione.h"

#include <vector>

namespace vardof::qbe {

bool fineBloccoAggiunto(const RigaInt &riga)
{
    static const QString marcatori[] = {kUnione, QStringLiteral("AFFIANCA CON BUCHI"),
                                        QStringLiteral("AFFIANCA SENZA BUCHI"), QStringLiteral("APPENDI")};
    if (riga.Mostra != MostraBlocco)
        return false;
    for (const QString &m : marcatori)
        if (riga.Condizione == m)
            return true;
    return false;
}

bool AggiungiUnioneQuery(TabIntTmp &tab, const QString &tabellaSorgente, SessioneQuery &sessione)
{
    bool mostrato = false;
    for (const RigaInt &r : tab.righe())
        mostrato = mostrato || r.Mostra == MostraVisibile;
    if (!mostrato)
        return false;

    const std::vector<RigaInt> copia = tab.righe();
    for (int i = 0; i < tab.size(); ++i) {
        const int mostra = tab.at(i).Mostra;
        if (mostra == MostraVisibile)
            tab.setMostra(i, MostraVisibileUnione);
        if (mostra == MostraBlocco)
            break;
    }

    tab.append(tabellaSorgente, MostraTestataLeft, kUnione);
    for (const RigaInt &r : copia) {
        if (r.Mostra == MostraTestataLeft)
            tab.append(kUnione, MostraTestataLeft, QString());
        else if (r.Mostra == MostraBlocco)
            tab.append(r.Nome, r.Mostra, kUnione);
        else
            tab.append(r.Nome, r.Mostra, r.Condizione);
        if (r.Mostra == MostraBlocco)
            break;
    }
    sessione.setUnione(true);
    return true;
}

void EliminaUltimaQueryAffiancata(TabIntTmp &tab, SessioneQuery &sessione)
{
    std::vector<RigaInt> righe = tab.righe();
    for (int i = int(righe.size()) - 1; i >= 0; --i) {
        if (righe[size_t(i)].Mostra == MostraBlocco) {
            righe.erase(righe.begin() + i);
            break;
        }
    }
    int i = int(righe.size()) - 1;
    while (i >= 0 && righe[size_t(i)].Mostra != MostraBlocco) {
        const RigaInt &r = righe[size_t(i)];
        if (!(r.Mostra == MostraCatena && r.Nome == kQuerySuccessiva))
            righe.erase(righe.begin() + i);
        --i;
    }
    const bool resta = i >= 0 && fineBloccoAggiunto(righe[size_t(i)]);
    if (!resta) {
        for (RigaInt &r : righe)
            if (r.Mostra == MostraVisibileUnione)
                r.Mostra = MostraVisibile;
    }
    tab.setRighe(std::move(righe));
    sessione.setUnione(resta);
}

} // namespace vardof::qbe
