#include "qbe/Storico.h"

namespace vardof::qbe {

void impostaIndicatori(const std::vector<RigaInt> &righe, SessioneQuery &sessione)
{
    for (size_t i = 0; i < righe.size(); ++i) {
        const RigaInt &r = righe[i];
        if (r.Mostra == MostraCatena) {
            sessione.setCatena(true);
            if (i == 0 && r.Nome == kQueryPrecedente)
                sessione.setPrecedente(true);
            if (r.Nome == kQuerySuccessiva)
                sessione.setSuccessiva(true);
        }
        if (r.Mostra == MostraBlocco)
            sessione.setBloccata(true);
        else if (sessione.bloccata() && r.Mostra != MostraCatena)
            sessione.setUnione(true);
    }
}

bool interrogazioneCambiata(const std::vector<storedqueries::RigaStoInt> &salvate, const TabIntTmp &tab)
{
    if (salvate.empty() || int(salvate.size()) != tab.size())
        return true;
    for (int i = 0; i < tab.size(); ++i) {
        const RigaInt &r = tab.at(i);
        const storedqueries::RigaStoInt &s = salvate[size_t(i)];
        if (s.Numero != r.Numero || s.Nome != r.Nome || s.Mostra != r.Mostra || s.Condizione != r.Condizione)
            return true;
    }
    return false;
}

bool aspettoCambiato(const RigheAspetto &salvato, const RigheAspetto &catturato)
{
    if (salvato.empty() || salvato.size() != catturato.size())
        return true;
    for (size_t i = 0; i < salvato.size(); ++i) {
        const auto &s = salvato[i];
        const auto &c = catturato[i];
        if (s.NCampo != c.NCampo || s.NomeCampo != c.NomeCampo || s.Dim != c.Dim || s.Vis != c.Vis
            || s.Pos != c.Pos || s.Raggruppa != c.Raggruppa)
            return true;
    }
    return false;
}

bool StoricoQuery::RecuperaInterrogazionedaStorico(int codice1, double codice2, TabIntTmp &tab,
                                                    SessioneQuery &sessione)
{
    const auto salvate = storedqueries::leggiStoInt(m_att, m_tra, codice1, codice2);
    if (salvate.empty())
        return false;
    std::vector<RigaInt> righe;
    righe.reserve(salvate.size());
    for (const auto &s : salvate)
        righe.push_back(RigaInt{s.Numero, s.Nome, s.Mostra, s.Condizione});
    impostaIndicatori(righe, sessione);
    tab.setRighe(std::move(righe));
    tab.setCurrentRow(0);
    return true;
}

void StoricoQuery::SalvaInterrogazioneSuStorico(int codice1, double codice2, const TabIntTmp &tab)
{
    std::vector<storedqueries::RigaStoInt> righe;
    righe.reserve(size_t(tab.size()));
    for (const RigaInt &r : tab.righe())
        righe.push_back(storedqueries::RigaStoInt{r.Numero, r.Nome, r.Mostra, r.Condizione});
    storedqueries::scriviStoInt(m_att, m_tra, codice1, codice2, righe);
}

bool StoricoQuery::ControllaInterrogazioneSalvata(int codice1, double codice2, const TabIntTmp &tab)
{
    return interrogazioneCambiata(storedqueries::leggiStoInt(m_att, m_tra, codice1, codice2), tab);
}

void StoricoQuery::EliminaInterrogazioneDaStorico(int codice1, double codice2)
{
    storedqueries::eliminaChiave(m_att, m_tra, QStringLiteral("STOINT"), codice1, codice2);
}

RigheAspetto StoricoQuery::LeggiAspetto(int codice1, double codice2)
{
    return storedqueries::leggiStoAsp(m_att, m_tra, codice1, codice2);
}

bool StoricoQuery::ControllaAspettoSalvato(int codice1, double codice2, const RigheAspetto &catturato)
{
    return aspettoCambiato(LeggiAspetto(codice1, codice2), catturato);
}

void StoricoQuery::SalvaAspettoSuStorico(int codice1, double codice2, const RigheAspetto &catturato)
{
    storedqueries::scriviStoAsp(m_att, m_tra, codice1, codice2, catturato);
}

void StoricoQuery::EliminaAspettoDaStorico(int codice1, double codice2)
{
    storedqueries::eliminaChiave(m_att, m_tra, QStringLiteral("STOASP"), codice1, codice2);
}

void StoricoQuery::InizializzaRaggruppa(int codice1, double codice2, CodiciColonne &codici)
{
    const RigheAspetto salvato = LeggiAspetto(codice1, codice2);
    codici.azzera();
    for (const auto &a : salvato)
        codici.setCodice(a.NCampo, a.Raggruppa);
}

} // namespace vardof::qbe
