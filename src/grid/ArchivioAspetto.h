#pragma once

// The stored grid layouts, per project, situation and user, in a settings
// database: the layout table (STOASP1 by default, one row per column), the
// search-dialog memory (STOPOS1, one row per grid), the grid settings
// (SETGRID, one row per user and project, only read) and the one parameter
// of TABX that switches the remembering of layouts off.
//
// Each operation is one short transaction of its own on the settings
// database, committed when it wrote something. Failures throw db::Error
// with the server's message, except where a comment says otherwise: the
// caller (the grid's opening, closing or menu action) reports them.

#include "grid/Ordinamento.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace vardof::db { class Attachment; class Transaction; }

namespace vardof::grid {

inline const QString TabellaAspettoPredefinita = QStringLiteral("STOASP1");
inline const QString TabellaPosizioniPredefinita = QStringLiteral("STOPOS1");
inline const QString TabellaImpostazioniPredefinita = QStringLiteral("SETGRID");

// Project code, situation code as stored (negative while remembering is
// off) and user number.
struct ChiaveAspetto
{
    int progetto = 0;
    int situazione = 0;
    int utente = 0;
    friend bool operator==(const ChiaveAspetto &, const ChiaveAspetto &) = default;
};

// "WHERE (CodiceSituazione=s)", "AND (CodiceUtente=u)", "AND (CodiceProgetto=p)".
QStringList righeChiave(const ChiaveAspetto &chiave);

// The creation statements, line by line.
QStringList creazioneStoasp1();
QStringList creazioneStopos1();
QStringList creazioneSetgrid();
QStringList creazioneTabx();

// Creates STOASP1, STOPOS1, SETGRID and TABX where missing, in one transaction.
void CreaTabelleAspetto(db::Attachment &impostazioni);

// One row of the layout table.
struct RigaAspetto
{
    QString nomeCampo;
    std::optional<double> larghezza;
    std::optional<int> posizione;
    QString nomeColonna;
    std::optional<int> ordinamento;
    std::optional<int> visibile;
    std::optional<int> colore; // 0 or NULL: the grid's own colour
    QString origine;

    friend bool operator==(const RigaAspetto &, const RigaAspetto &) = default;
};

// What the grid shows now, column by column in display order.
struct ColonnaAttuale
{
    QString nomeCampo;
    QString origine;
    int larghezza = 0;
    QString titolo;
    int colore = 0;
    bool visibile = true;
};

// Whether the stored rows (in position order) differ from the columns shown
// in number, field order or widths, or in the sort they hold. Titles,
// colours and visibility are the personalisation window's and not compared.
bool aspettoCambiato(const std::vector<RigaAspetto> &memorizzate, const std::vector<ColonnaAttuale> &colonne,
                     const StatoOrdinamento &ordinamento);

// The sort stored in layout rows; an undecided mode is decided by them
// (multi-key when some ORDINAMENTO is above 2 in absolute value).
StatoOrdinamento ordinamentoDaRighe(const std::vector<RigaAspetto> &righe, ModoOrdinamento modo,
                                    const CampiPersonalizzati &personalizzati);

// Colours as stored: red in the low byte, then green, then blue; a top
// byte of 128 names a system colour by its index.
constexpr int ColoreSistemaDesktop = int(0x80000001u);
constexpr int Giallo = 0x0000FFFF;
constexpr int Rosso = 0x000000FF;
constexpr int ColoreSecondaChiave = (180 << 16) | (180 << 8) | 243;
constexpr int ColoreAltreChiavi = (119 << 16) | (164 << 8) | 255;

struct Impostazioni
{
    int coloreRecordSelezionato = ColoreSistemaDesktop;
    int coloreIndicizzati = Giallo;
    int coloreOrdinamento = Rosso;
    bool ricercaConPausa = true;     // ABILITATIMERRIC
    bool ricercaSuOgniCampo = false; // ABILITARICF5SEMPRE
};

// The search dialog's remembered place and options.
struct MemoriaDialogo
{
    int posX = 0;
    int posY = 0;
    int tipo = 0;       // INFO3
    bool upper = true;  // INFO4
    int ordine = 1;     // INFO1
    friend bool operator==(const MemoriaDialogo &, const MemoriaDialogo &) = default;
};

class ArchivioAspetto
{
public:
    explicit ArchivioAspetto(db::Attachment &impostazioni, QString tabellaAspetto = TabellaAspettoPredefinita,
                             QString tabellaPosizioni = TabellaPosizioniPredefinita,
                             QString tabellaImpostazioni = TabellaImpostazioniPredefinita);

    db::Attachment &database() const { return m_db; }
    const QString &tabellaAspetto() const { return m_aspetto; }

    // The layout rows of a grid: in position order, or as the server gives them.
    std::vector<RigaAspetto> leggi(const ChiaveAspetto &chiave, bool perPosizione = true) const;
    // Replaces the layout of a grid (delete, then one insert per column,
    // names and titles cut to the lengths the table declares).
    void scrivi(const ChiaveAspetto &chiave, const std::vector<ColonnaAttuale> &colonne,
                const StatoOrdinamento &ordinamento) const;
    // Writes only when aspettoCambiato(); true when it wrote.
    bool salva(const ChiaveAspetto &chiave, const std::vector<ColonnaAttuale> &colonne,
               const StatoOrdinamento &ordinamento) const;

    // The sort a stored layout holds (mode and keys).
    StatoOrdinamento leggiOrdinamento(const ChiaveAspetto &chiave, ModoOrdinamento modo,
                                      const CampiPersonalizzati &personalizzati) const;
    ModoOrdinamento leggiModo(const ChiaveAspetto &chiave) const;

    Impostazioni leggiImpostazioni(int utente, int progetto) const;
    // TABX "DisabilitaMemPosGriglie" of the user is 1. Never throws: a
    // missing table or row leaves remembering on.
    bool memorizzazioneDisabilitata(int utente) const noexcept;

    std::optional<MemoriaDialogo> leggiMemoria(const ChiaveAspetto &chiave) const;
    // Writes when there is no row or the values differ; true when it wrote.
    bool scriviMemoria(const ChiaveAspetto &chiave, const MemoriaDialogo &memoria) const;

    // "Aspetto Base": the grid's layout rows and its search memory go.
    void ripristinaBase(const ChiaveAspetto &chiave) const;

private:
    db::Attachment &m_db;
    QString m_aspetto;
    QString m_posizioni;
    QString m_impostazioni;
};

// ---- personalisation window ---------------------------------------------

struct RigaPersonalizzazione
{
    QString nomeCampo;
    QString nomeColonna;
    std::optional<int> colore;
    std::optional<int> visibile;
    std::optional<int> posizione;
    friend bool operator==(const RigaPersonalizzazione &, const RigaPersonalizzazione &) = default;
};

// The rows the personalisation window edits, in a transaction of its own
// that conferma() commits and annulla() rolls back.
class Personalizzazione
{
public:
    Personalizzazione(db::Attachment &impostazioni, const QString &tabella, const ChiaveAspetto &chiave);
    ~Personalizzazione();

    std::vector<RigaPersonalizzazione> carica();
    // Writes one edited row (found by its position).
    void aggiorna(const RigaPersonalizzazione &riga);
    void conferma();
    void annulla() noexcept;

    QStringList selezione() const;
    QStringList aggiornamento() const { return m_update; }

private:
    db::Attachment &m_db;
    QString m_tabella;
    ChiaveAspetto m_chiave;
    std::unique_ptr<db::Transaction> m_tra;
    QStringList m_update;
};

// ---- copy of another user's layout --------------------------------------

// "Acq. aspetto da": one no-wait transaction for the list, the delete and
// the copy; nothing is committed unless both succeed.
class CopiaAspetto
{
public:
    CopiaAspetto(db::Attachment &impostazioni, const ChiaveAspetto &chiave);
    ~CopiaAspetto();
    // Users with a layout for the same project and situation, ascending.
    QList<int> utenti();
    void azzera();
    void copiaDa(int utente);
    void conferma();

private:
    db::Attachment &m_db;
    ChiaveAspetto m_chiave;
    std::unique_ptr<db::Transaction> m_tra;
};

// ---- cleanup of a user's layouts -----------------------------------------

// The user code of a list entry "CODICE - NOME": its first piece, trimmed;
// nullopt when there is none or it is not a whole number.
std::optional<int> codiceUtenteDaVoce(const QString &voce);

// The two DELETE statements of the cleanup, optionally limited to a
// project and a situation (written as quoted texts).
QStringList pulizia(const QString &tabella, int utente, const std::optional<QString> &progetto,
                    const std::optional<QString> &situazione);

// Deletes the STOASP1 and STOPOS1 rows of a user in `tra` and commits it.
void pulisciAspetti(db::Attachment &att, db::Transaction &tra, int utente, const std::optional<QString> &progetto,
                    const std::optional<QString> &situazione);

} // namespace vardof::grid

namespace vardof::grid {

// The entries of the cleanup's user list, "CODICE - NOMEUTENTE", from the
// host's user table in alphabetical order of the names.
QStringList vociUtenti(db::Attachment &utenti, db::Transaction &tra);

} // namespace vardof::grid
