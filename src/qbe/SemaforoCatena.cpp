#include "qbe/SemaforoCatena.h"

#include "maintenance/Semafori.h"

namespace vardof::qbe {

SemaforoCatena::SemaforoCatena(int utente, db::Attachment &lavoro) : m_utente(utente), m_lavoro(lavoro) {}

SemaforoCatena::~SemaforoCatena()
{
    libera();
}

bool SemaforoCatena::preso() const
{
    return m_semafori && m_semafori->Occupata();
}

SemaforoCatena::Esito SemaforoCatena::prendi(QString &messaggio)
{
    messaggio.clear();
    if (preso())
        return Esito::Preso;
    if (!m_semafori) {
        auto s = std::make_unique<maintenance::TSemaforiSituazioni>(m_utente, m_lavoro);
        if (!s->VerificaStrutture(messaggio))
            return Esito::Errore;
        m_semafori = std::move(s);
    }
    if (!m_semafori->OccupaSituazione(maintenance::situazioneQuerySuccessiva(m_utente), QStringLiteral("QUERY"))) {
        messaggio = kMsgQuerySuccessiveStessoUtente;
        return Esito::Occupato;
    }
    return Esito::Preso;
}

void SemaforoCatena::libera()
{
    if (m_semafori && m_semafori->Occupata())
        m_semafori->LiberaSituazione();
}

} // namespace vardof::qbe
