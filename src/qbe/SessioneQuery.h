#pragma once

// What one query of the window is about, apart from its rows: where it sits
// in a chain (level, chained-query number), the key of the stored query,
// the archive it questions, the flags loaded with it and the ordering and
// grouping code of each answer column.
//
// Who owns what: the query window owns its sessions and lends the current
// one to its engine for as long as it is current; the engine reads and
// writes it in place, so that what the window sets after building the
// engine (the archive, the key) is what the engine sees. Moving along a
// chain pushes the session of the next level (successiva()) and pops it on
// the way back, so each level keeps its own codes. Nothing here fails.

#include <QString>

#include <array>

namespace vardof::qbe {

// The ordering and grouping codes of an answer's columns, by 0-based
// column. A code is read as its last five decimal digits d1 d2 d3 d4 d5:
// d1 descending, d2 d3 position in the sort key (00: not in it), d4 total
// printed, d5 digit grouping (0 none, 1 two decimals and thousands points,
// 2 no decimals and thousands points). Columns beyond the last one kept
// read as 0 and ignore writes.
class CodiciColonne
{
public:
    static constexpr int kMaxColonne = 256;

    static bool valida(int colonna) { return colonna >= 0 && colonna < kMaxColonne; }

    int codice(int colonna) const { return valida(colonna) ? m_codici[size_t(colonna)] : 0; }
    void setCodice(int colonna, int codice);
    void azzera() { m_codici.fill(0); }

    bool decrescente(int colonna) const { return cifre(colonna) / 10000 % 10 == 1; }
    int posizioneOrdinamento(int colonna) const { return cifre(colonna) / 100 % 100; }
    bool inChiave(int colonna) const { return posizioneOrdinamento(colonna) > 0; }
    bool conTotale(int colonna) const { return cifre(colonna) / 10 % 10 == 1; }
    int raggruppamento(int colonna) const { return cifre(colonna) % 10; }
    // Replaces d5 and keeps the other digits.
    void setRaggruppamento(int colonna, int tipo);

    bool operator==(const CodiciColonne &) const = default;

private:
    // The last five digits, as a number.
    int cifre(int colonna) const;

    std::array<int, kMaxColonne> m_codici{};
};

class SessioneQuery
{
public:
    // 0 for the query opened first, one more for each following query.
    int livello() const { return m_livello; }
    void setLivello(int livello) { m_livello = livello; }
    // The number of the current chained query (0 at level 0).
    double codiceCatena() const { return m_codiceCatena; }
    void setCodiceCatena(double codice) { m_codiceCatena = codice; }

    // The stored query of the registry this session came from.
    bool modoStorico() const { return m_modoStorico; }
    int codice1() const { return m_codice1; }
    double codice2() const { return m_codice2; }
    void setChiaveStorico(int codice1, double codice2);
    // The key its appearance is saved under: the chained query's above
    // level 0, else the stored query's.
    int codice1Aspetto() const;
    double codice2Aspetto() const;

    // The folder of the archive questioned.
    const QString &archivio() const { return m_archivio; }
    void setArchivio(const QString &directoryArchivio) { m_archivio = directoryArchivio; }

    // Flags loaded with the interrogation and cleared together before each
    // load.
    bool unione() const { return m_unione; }
    void setUnione(bool on) { m_unione = on; }
    bool bloccata() const { return m_bloccata; }
    void setBloccata(bool on) { m_bloccata = on; }
    // The interrogation has a chain marker; its first row is "QUERY
    // PRECEDENTE"; it has a "QUERY SUCCESSIVA".
    bool catena() const { return m_catena; }
    void setCatena(bool on) { m_catena = on; }
    bool precedente() const { return m_precedente; }
    void setPrecedente(bool on) { m_precedente = on; }
    bool successiva() const { return m_successiva; }
    void setSuccessiva(bool on) { m_successiva = on; }
    void azzeraIndicatori();

    CodiciColonne &codici() { return m_codici; }
    const CodiciColonne &codici() const { return m_codici; }
    // The answer carries the ORDER BY of the codes.
    bool ordinata() const { return m_ordinata; }
    void setOrdinata(bool on) { m_ordinata = on; }

    // The session of the chained query that follows this one: same key and
    // archive, one level up, its own number, codes and flags from nothing.
    SessioneQuery successiva(double codiceCatena) const;

private:
    int m_livello = 0;
    double m_codiceCatena = 0;
    bool m_modoStorico = false;
    int m_codice1 = 0;
    double m_codice2 = 0;
    QString m_archivio;
    bool m_unione = false;
    bool m_bloccata = false;
    bool m_catena = false;
    bool m_precedente = false;
    bool m_successiva = false;
    CodiciColonne m_codici;
    bool m_ordinata = false;
};

} // namespace vardof::qbe
