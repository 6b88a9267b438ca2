#pragma once

// The data grid of the library's lists: a read-only view over a source of
// ours (a statement fetched as it is scrolled, or an in-memory table), with
// an indicator column, the column layout and sort remembered per project,
// situation and user, sorting by a double-click on a title (Ctrl adds
// columns), coloured titles for indexed and sort columns, a search by
// column or in all columns, and a context menu.
//
// How an owner drives it:
//   grid->CodiceProgetto = context.CodiceProgetto;
//   grid->setSituazione(context.SituazioneStorico);
//   grid->Utente = userNumber;
//   grid->TabellaPiccola = true;
//   grid->DatabaseImpostazioni = &context.database();   // else the source's
//   grid->CreaTabelleAspetto();                          // once, where wanted
//   source->primaDellApertura = [&](auto &) {            // unless a search runs:
//       source->SQL() = statement; grid->SQLIniziale = statement; grid->CaricaAspetto(); };
//   source->primaDellaChiusura = [&](auto &) {           // unless a search runs:
//       if (!grid->AspettoInModifica()) grid->SalvaAspetto(); };
//   grid->SetSorgenteDati(source);
//   source->open();
// The owner learns of the current row through rigaCorrenteCambiata() and of
// a double-click on a data row through doppioClickRiga(); OnInizioRicerca
// and OnFineRicerca bracket a search (owners skip rebuilding the statement
// in between).
//
// Failures: statements on the layout tables throw db::Error out of the
// operation the owner called (opening or closing the source, SalvaAspetto,
// CaricaAspetto). What the user starts from the grid itself (menu, title
// double-click, search dialog) is reported in a message box with the
// server's reason.

#include "grid/ArchivioAspetto.h"
#include "grid/Ordinamento.h"
#include "grid/Ricerca.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TRQmtGridForm.h"

#include <QFont>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QAction;
class QTimer;

namespace vardof::db { class Attachment; class Transaction; }

namespace vardof::grid {

class ModelloGriglia;
class TPQmtGridForm;

// What the printing of a grid needs, taken when "Stampa" is chosen.
struct RichiestaStampa
{
    int progetto = 0;
    int situazione = 0; // absolute value
    int utente = 0;
    QString nomeTabella;
    QString statement;
    QString dirBin;
    db::Attachment *impostazioni = nullptr;
    QFont font;
};

// What the Query action (F8) needs: the grid's table, read through the
// connection and transaction of its source, and where the query window
// finds its settings.
struct RichiestaQuery
{
    QString tabella;
    db::Attachment *connessione = nullptr;
    db::Transaction *transazione = nullptr;
    int utente = 0;
    QString dirBin;
    QString fileImpostazioni;
    QString sezioneImpostazioni;
    QString dirLavoro;
};

class TQmtGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TQmtGrid(QWidget *parent = nullptr);
    ~TQmtGrid() override;

    // ---- properties --------------------------------------------------------
    QStringList SQLIniziale;
    bool TabellaPiccola = false;
    QString TabellaAspettoGriglia;
    db::Attachment *DatabaseImpostazioni = nullptr;
    // The situation code as given; reading it yields its absolute value
    // while the grid works under the negative code (remembering off).
    int Situazione() const;
    void setSituazione(int codice);
    int situazioneMemorizzata() const { return m_situazione; }
    int Utente = 0;
    int TipoTabella() const { return m_tipo; }
    int CodiceProgetto = 0;
    QString TabellaPosizioneFinestre;
    QString TabellaAspettoGriglie;
    int ColoreRecordSelezionato() const { return m_impostazioni.coloreRecordSelezionato; }
    QString CampiIndicizzati;
    SorgenteDati *sorgenteDati() const { return m_sorgente; }
    bool OrderBy = true;
    QStringList CampiPersonalizzati;
    QStringList CampiPersonalizzatiDecodifica;

    QString NomeTabella;
    bool AbilitaRicerca = true;
    bool AbilitaOrdinamento = true;
    bool OrdinaPerChiave = true;
    QString DirBin;
    QString FileImpostazioni;
    QString SezioneImpostazioni;
    QString DirLavoro;
    bool AspettoInModifica() const { return m_aspettoInModifica; }

    // ---- operations ----------------------------------------------------------
    // Binds a source (nullptr binds the previous one again): takes over its
    // before-open and after-open handlers, reads the user's grid settings.
    void SetSorgenteDati(SorgenteDati *sorgente);
    void CreaTabelleAspetto();
    void SalvaAspetto();
    void CaricaAspetto();
    void RipristinaSorgente();
    void CercaSuCampoCorrente();
    void AnnullaRicerca();
    // The two grid operations of the personalisation window.
    void RipristinaAspettoBase(TPQmtGridForm *finestra);
    void AcquisisciAspettoDa(TPQmtGridForm *finestra);

    // ---- for owners and tests ---------------------------------------------------
    ModelloGriglia *modello() const { return m_modello; }
    QMenu *menu() const { return m_menu; }
    // A menu of the window: the grid's items are added after a separator.
    void setMenuContestuale(QMenu *menu);
    const StatoOrdinamento &ordinamento() const { return m_stato; }
    const Impostazioni &impostazioni() const { return m_impostazioni; }
    bool memorizzazioneDisabilitata() const { return m_disabilitaMem; }
    // The field of the selected column, and choosing one by name.
    QString campoSelezionato() const;
    bool selezionaCampo(const QString &campo);
    int rigaCorrente() const;
    // A title double-click, as the mouse gives it.
    void ordinaPerTitolo(int colonnaLogica, bool ctrl);
    // The remembered search condition (what a reopening adds again).
    QStringList condizioneRicerca() const { return m_condizione; }
    TRQmtGridForm *dialogoRicerca() const { return m_dialogo; }
    // The chosen colour in the personalisation window; tests replace it.
    using SceltaColore = std::function<std::optional<QColor>(const QColor &attuale, QWidget *parent)>;
    static SceltaColore setSceltaColore(SceltaColore scelta);
    static SceltaColore sceltaColore();
    // Printing is started through this; until it is set "Stampa" says the
    // function is not available yet.
    using Stampa = std::function<void(const RichiestaStampa &, QWidget *parent)>;
    static Stampa setStampa(Stampa stampa);
    // The query window sits above the grid: its owner installs the Query
    // action; until then the action says the function is not available yet.
    // Returns the hook it replaces.
    using Query = std::function<void(const RichiestaQuery &, QWidget *parent)>;
    static Query setQuery(Query query);

signals:
    void OnInizioRicerca(vardof::grid::TQmtGrid *sender);
    void OnFineRicerca(vardof::grid::TQmtGrid *sender);
    void rigaCorrenteCambiata(int row);
    void doppioClickRiga(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class TRQmtGridForm;
    void PrimaDellApertura(SorgenteDati &sorgente);
    void DopoLApertura(SorgenteDati &sorgente);
    ChiaveAspetto chiave() const;
    ArchivioAspetto archivio() const;
    db::Attachment *databaseImpostazioni() const;
    grid::CampiPersonalizzati personalizzati() const;
    QStringList indicizzati() const;
    bool consentito(const QString &campo) const;
    bool unione() const;
    QString origineEspressione(int logica) const;
    std::vector<CampoRisultato> campiRisultato(const QString &testo) const;
    std::vector<ColonnaAttuale> colonneAttuali() const;
    int larghezzaNaturale(int colonna) const;
    void applicaColoriTitoli();
    void aggiornaMenu();
    void creaMenu();
    void mostraMenu(const QPoint &pos);
    void azioneQuery();
    void dimezzaColonna();
    void personalizza();
    void stampa();
    // Runs a step started from the grid itself, reporting what fails.
    void eseguiAzione(const std::function<void()> &azione);
    void riapriConTesto(const QString &testo);

    // search
    void ApplicaRicerca();
    void eseguiGenerica();
    void chiudiDialogoConEsc();
    void fineDialogo();
    bool FiltroRicerca(const std::vector<db::FieldValue> &riga) const;
    ParametriRicerca parametriDialogo() const;

    ModelloGriglia *m_modello;
    SorgenteDati *m_sorgente = nullptr;
    int m_tipo = 0;
    int m_situazione = 0;
    Impostazioni m_impostazioni;
    bool m_disabilitaMem = false;
    StatoOrdinamento m_stato;
    SorgenteDati::Gestore m_primaOwner;
    SorgenteDati::Gestore m_dopoOwner;
    bool m_aspettoInModifica = false;
    // The layout rows read before an opening, for the columns after it.
    std::optional<std::vector<RigaAspetto>> m_righeLette;

    // Layout of the columns that the view cannot hold for us: the stored
    // colour values (a system colour stays one) and the widths of hidden
    // columns.
    QHash<QString, int> m_colori;
    QHash<QString, int> m_larghezzeNascoste;

    QMenu *m_menu;
    QMenu *m_menuProprio;
    QAction *m_ricerca;
    QAction *m_annulla;
    QAction *m_ricercaChiave;
    QAction *m_query;
    QAction *m_dimezza;
    QAction *m_personalizza;
    QAction *m_stampa;

    // search state
    QStringList m_condizione;
    QString m_campoRicerca;
    QString m_espressioneRicerca;
    QPointer<TRQmtGridForm> m_dialogo;
    QTimer *m_timer;
    QString m_testoFiltro;
    bool m_upperFiltro = true;
    int m_tipoFiltro = 0;
};

} // namespace vardof::grid
