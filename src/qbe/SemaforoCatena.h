#pragma once

// One user walks chains of queries in one place at a time: the answer tables
// are named by user and level only, so two sessions of the same user would
// overwrite each other's. The situation semaphore "QUERY_SUCC_" + user is
// taken before every forward move and released when the chain is left.

#include "db/Attachment.h"

#include <QString>

#include <memory>

namespace vardof::maintenance {
class TSemaforiSituazioni;
}

namespace vardof::qbe {

inline const QString kMsgQuerySuccessiveStessoUtente = QStringLiteral(
    "ATTENZIONE: SI STA PROVANDO AD OPERARE CON LE QUERY SUCCESSIVE CON LO STESSO UTENTE SUGLI STESSI ARCHIVI.\r"
    "QUESTA OPERATIVITA' NON E' AMMESSA E PROVOCA UN BLOCCO DI TUTTE LE SESSIONI COINVOLTE.\r"
    "SI PREGA DI CHIUDERE TUTTE LE ISTANZE DEL GESTIONALE APERTE CON L'UTENTE CORRENTE E POI DOPO AVERLE RIAPERTE "
    "DI OPERARE CON UNA SOLA DI ESSE CON LE QUERY SUCCESSIVE.");

class SemaforoCatena
{
public:
    enum class Esito { Preso, Occupato, Errore };

    SemaforoCatena(int utente, db::Attachment &lavoro);
    ~SemaforoCatena(); // releases
    SemaforoCatena(const SemaforoCatena &) = delete;
    SemaforoCatena &operator=(const SemaforoCatena &) = delete;

    // Takes the semaphore (kept when already held). On Errore `messaggio`
    // holds the machinery's error text (an error box); on Occupato the
    // warning kMsgQuerySuccessiveStessoUtente.
    Esito prendi(QString &messaggio);
    void libera();
    bool preso() const;

private:
    int m_utente;
    db::Attachment &m_lavoro;
    std::unique_ptr<maintenance::TSemaforiSituazioni> m_semafori;
};

} // namespace vardof::qbe
