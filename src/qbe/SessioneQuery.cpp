#include "qbe/SessioneQuery.h"

#include "storedqueries/StoredQueryTables.h"

#include <cstdlib>

namespace vardof::qbe {

void CodiciColonne::setCodice(int colonna, int codice)
{
    if (valida(colonna))
        m_codici[size_t(colonna)] = codice;
}

int CodiciColonne::cifre(int colonna) const
{
    return std::abs(codice(colonna)) % 100000;
}

void CodiciColonne::setRaggruppamento(int colonna, int tipo)
{
    if (!valida(colonna))
        return;
    // Digits are read from the magnitude, so they are written there too: a
    // negative code read back gives the digit written.
    int &c = m_codici[size_t(colonna)];
    const int cifre = std::abs(c) - std::abs(c) % 10 + tipo;
    c = c < 0 ? -cifre : cifre;
}

void SessioneQuery::setChiaveStorico(int codice1, double codice2)
{
    m_modoStorico = true;
    m_codice1 = codice1;
    m_codice2 = codice2;
}

int SessioneQuery::codice1Aspetto() const
{
    return m_livello > 0 ? storedqueries::kCodice1Catena : m_codice1;
}

double SessioneQuery::codice2Aspetto() const
{
    return m_livello > 0 ? m_codiceCatena : m_codice2;
}

void SessioneQuery::azzeraIndicatori()
{
    m_unione = false;
    m_bloccata = false;
    m_catena = false;
    m_precedente = false;
    m_successiva = false;
}

SessioneQuery SessioneQuery::successiva(double codiceCatena) const
{
    SessioneQuery s;
    s.m_livello = m_livello + 1;
    s.m_codiceCatena = codiceCatena;
    s.m_modoStorico = m_modoStorico;
    s.m_codice1 = m_codice1;
    s.m_codice2 = m_codice2;
    s.m_archivio = m_archivio;
    return s;
}

} // namespace vardof::qbe
