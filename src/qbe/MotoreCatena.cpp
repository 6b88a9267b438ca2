#include "qbe/MotoreCatena.h"

#include "db/Statement.h"
#include "db/Value.h"
#include "qbe/Catena.h"

#include <QStringList>

namespace vardof::qbe {

MotoreCatena::MotoreCatena(TIBFQuerForm &motore, StoricoQuery &storico, db::Attachment &attStorico,
                           db::Transaction &traStorico, TabIntTmp &tab, TabRispTmp &risposta,
                           const QString &tabellaSorgente, SessioneQuery &sessione0)
    : m_motore(motore), m_storico(storico), m_attStorico(attStorico), m_traStorico(traStorico), m_tab(tab),
      m_risposta(risposta), m_tabellaSorgente(tabellaSorgente), m_sessione0(sessione0)
{
}

SessioneQuery &MotoreCatena::sessione()
{
    return m_pila.empty() ? m_sessione0 : m_pila.back();
}

int MotoreCatena::livello() const
{
    return m_pila.empty() ? m_sessione0.livello() : m_pila.back().livello();
}

double MotoreCatena::prossimoNumero()
{
    const db::FieldValue v =
        db::queryValue(m_attStorico, m_traStorico,
                       QStringLiteral("SELECT MAX(Codice2) FROM \"STOINT\"\nWHERE Codice1=")
                           + QString::number(kCodice1Catena));
    const double massimo = v ? db::toDouble(*v).value_or(0) : 0;
    return massimo + 1;
}

void MotoreCatena::ricomincia()
{
    // A chain step reads what the previous step committed.
    db::Transaction &t = m_motore.traLavoro();
    m_risposta.close();
    if (t.isActive())
        t.rollback();
    t.start();
}

bool MotoreCatena::esegui()
{
    return m_motore.EseguiInterrogazione(m_tab, m_tabellaSorgente, m_risposta);
}

void MotoreCatena::carica(int codice1, double codice2)
{
    m_tab.clear();
    m_storico.RecuperaInterrogazionedaStorico(codice1, codice2, m_tab, sessione());
}

MotoreCatena::Esito MotoreCatena::PassaAQuerySuccessiva()
{
    ricomincia();
    if (livello() == 0)
        m_motore.EliminaTabelleRisposta();

    SessioneQuery &corrente = sessione();
    const std::optional<double> esistente = numeroSuccessiva(m_tab);
    double numero = 0;
    if (esistente) {
        numero = *esistente;
        if (!esegui())
            return Esito::ErroreEsecuzione;
        if (m_validazione && !m_validazione(corrente, m_risposta, m_tab))
            return Esito::Rifiutato;
        if (!esegui())
            return Esito::ErroreEsecuzione;
        m_motore.CreaTabellaRisposta(m_risposta);
    } else {
        numero = prossimoNumero();
        aggiungiMarcatoreSuccessiva(m_tab, numero);
        m_storico.SalvaInterrogazioneSuStorico(corrente.codice1Aspetto(), corrente.codice2Aspetto(), m_tab);
        if (!esegui())
            return Esito::ErroreEsecuzione;
        m_motore.CreaTabellaRisposta(m_risposta);
    }

    QStringList colonne;
    for (const db::Column &c : m_risposta.columns())
        colonne << (c.alias.isEmpty() ? c.name : c.alias);
    const double codicePrecedente = corrente.livello() > 0 ? corrente.codiceCatena() : corrente.codice2();

    m_pila.push_back(corrente.successiva(numero));
    m_motore.setSessione(m_pila.back());
    // The answer table was filled by a transaction of its own: a snapshot
    // taken before it would question an empty table at the next level.
    ricomincia();
    if (!esistente) {
        m_tab.setRighe(righeNuovaSuccessiva(codicePrecedente, colonne));
        m_storico.SalvaInterrogazioneSuStorico(kCodice1Catena, numero, m_tab);
    }
    sessione().azzeraIndicatori();
    carica(kCodice1Catena, numero);
    return Esito::Fatto;
}

bool MotoreCatena::PassaAQueryPrecedente(const std::function<bool()> &ask)
{
    if (m_pila.empty())
        return false;
    SessioneQuery &corrente = sessione();
    if (ask && m_storico.ControllaInterrogazioneSalvata(kCodice1Catena, corrente.codiceCatena(), m_tab) && ask())
        m_storico.SalvaInterrogazioneSuStorico(kCodice1Catena, corrente.codiceCatena(), m_tab);
    m_tab.setCurrentRow(m_tab.isEmpty() ? -1 : 0);
    ricomincia();
    if (!numeroPrecedente(m_tab))
        return false;
    m_pila.pop_back();
    m_motore.setSessione(sessione());
    sessione().azzeraIndicatori();
    if (m_pila.empty())
        carica(m_sessione0.codice1(), m_sessione0.codice2());
    else
        carica(kCodice1Catena, m_pila.back().codiceCatena());
    return true;
}

QString MotoreCatena::EliminaUltimaQuerySuccessiva()
{
    if (ultimaRigaMarcatore(m_tab))
        return kMsgSoloUltimaSuccessiva;
    if (m_pila.empty() || !numeroPrecedente(m_tab))
        return QString();
    const double numero = sessione().codiceCatena();
    m_storico.EliminaInterrogazioneDaStorico(kCodice1Catena, numero);
    m_storico.EliminaAspettoDaStorico(kCodice1Catena, numero);
    m_pila.pop_back();
    m_motore.setSessione(sessione());
    SessioneQuery &s = sessione();
    s.azzeraIndicatori();
    carica(s.codice1Aspetto(), s.codice2Aspetto());
    togliUltimoMarcatore(m_tab);
    s.setSuccessiva(false);
    if (s.livello() == 0) {
        s.setCatena(false);
        s.setPrecedente(false);
    }
    m_storico.SalvaInterrogazioneSuStorico(s.codice1Aspetto(), s.codice2Aspetto(), m_tab);
    return QString();
}

} // namespace vardof::qbe
