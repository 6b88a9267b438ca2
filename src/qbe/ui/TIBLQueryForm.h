#pragma once

// The query window: the interrogation face (one row per column of the
// questioned table, with the command buttons on the right) and the answer
// face (the answer grid with the output buttons on top), plus the
// single-record face that shows the current answer row vertically.
//
// Who owns what: the caller lends the connection and its transaction for
// the window's lifetime (the window rolls the transaction back and starts
// it again before every execution, so each answer sees committed data); the
// window owns the interrogation, the answer, the engine and its dialogs.
// Errors of the engine are shown by the engine's messages; errors met while
// reading the answer are shown here with the server's text.
//
// The window is always shown modally (exec()). Its controls are its own:
// they carry their names as object names, for whoever must find them.


#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/FileDialogs.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"
#include "qbe/Storico.h"
#include "qbe/TabRispTmp.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;

namespace vardof::params { class TTabXForm; }

namespace vardof::qbe {

class AnswerModel;
class GrigliaQuery;
class InterrogationModel;
class MotoreCatena;
class SemaforoCatena;
class TIBFQuerForm;
class TabRecTmp;

class TIBLQueryForm : public QDialog
{
    Q_OBJECT
public:
    // `directory` is the working directory (or, for a table of another
    // database file, that file's folder); `tabella` the table questioned.
    TIBLQueryForm(QWidget *owner, int numeroUtente, db::Attachment &connessione,
                  db::Transaction &transazione, const QString &ditta, const QString &directory,
                  const QString &directoryBin, const QString &tabella);
    ~TIBLQueryForm() override;

    // ---- what the opener sets before exec() -------------------------------
    void setArchivio(const QString &directoryArchivio) { m_sessione.setArchivio(directoryArchivio); }
    // A stored query of the registry: its key and export name.
    void setModoStorico(int codice1, double codice2, const QString &nomeExport);
    void setEseguiAllApertura(bool on) { m_eseguiAllApertura = on; }
    void setFileImpostazioni(const QString &path) { m_fileImpostazioni = path; }
    void setNomeExport(const QString &nome) { m_nomeExport = nome; }

    // ---- state -------------------------------------------------------------
    int numeroUtente() const { return m_utente; }
    const QString &ditta() const { return m_ditta; }
    const QString &tabella() const { return m_tabella; }
    const QString &archivio() const { return m_corrente->archivio(); }
    const QString &directoryLavoro() const { return m_directory; }
    const QString &directoryBin() const { return m_directoryBin; }
    const QString &fileImpostazioni() const { return m_fileImpostazioni; }
    const QString &nomeExport() const { return m_nomeExport; }
    bool modoStorico() const { return m_sessione.modoStorico(); }
    int codice1() const { return m_sessione.codice1(); }
    double codice2() const { return m_sessione.codice2(); }
    // Level, chained query, key, flags and column codes of the query shown
    // (the session of the chain level on screen).
    SessioneQuery &sessione() { return *m_corrente; }
    int livello() const { return m_corrente->livello(); }

    TabIntTmp &tabIntTmp() { return m_tabInt; }
    TabRispTmp &tabRispTmp() { return m_risposta; }
    TabRecTmp &tabRecTmp() { return *m_tabRec; }
    TIBFQuerForm &engine() { return *m_engine; }
    AnswerModel &answerModel() { return *m_answerModel; }
    InterrogationModel &interrogationModel() { return *m_intModel; }

    bool rispostaVisibile() const;
    bool singoloRecord() const { return m_singoloRecord; }
    // The font the font dialog offers next.
    const platform::FontChoice &fontDialogo() const { return m_fontDialogo; }

    // The user's parameter store, opened for a user number (null without one,
    // or when the user's database cannot be read).
    params::TTabXForm *storeParametri() const { return m_store.get(); }
    // The user's remembered option: the parameter store with a user number,
    // the settings file (section = company text) without one.
    QString CaricaParametro(const QString &nome);

    // Flags the later outputs and chains read and write.
    bool LayoutCorrente = false;     // the generated report layout matches the answer
    bool EsportazioneInCorso = false;

    // ---- handlers ----------------------------------------------------------
    void FormActivate();
    void ButtonEseguiInterrogazioneClick();
    void SettaFormRisposta();
    void ButtonRitornaQueryClick();
    void ButtonChiudiClick();
    void ButtonSelezionaTuttoClick();
    void ButtonDeselezionaTuttoClick();
    void SelezionaRigaInt();
    void DBGrid1KeyUp(int key);
    void DBGrid2KeyUp(int key);
    void ButtonNumeroRecordClick();
    void ButtonFontClick();
    void ButtonCappottaClick();
    void MostraUnRecord();
    void CopiaSqlnelclipboard1Click();
    void MostraCampo(int column);
    void SettaggioControlli();

    // ---- stored interrogation and appearance ------------------------------
    // Loads the stored rows and column codes of the stored query's key.
    void CheckArchiviStorico();
    // The appearance of the answer on screen, into TabAspRTmp.
    void SalvaAspetto();
    // The captured appearance (TabAspRTmp).
    const RigheAspetto &tabAspRTmp() const { return m_tabAspRTmp; }
    // The key the current query's rows are stored under.
    int codice1Corrente() const { return m_corrente->codice1Aspetto(); }
    double codice2Corrente() const { return m_corrente->codice2Aspetto(); }
    // The stored-mode part of closing: true when the window may close.
    bool ChiusuraStorico();
    // Whether the query that follows this one accepts the new answer; the
    // chain operations replace it. Without them: accepted.
    std::function<bool()> ValidazioneNuovaRisposta;

    // ---- added tables, advanced processing, chains ------------------------
    void ButtonAggiungiTClick();
    void ButtonEliminaTClick();
    void ButtonElabAvanzateClick();
    // Moves along the chain; each takes the internal-edit flag for the move.
    void PassaAQuerySuccessiva();
    void PassaAQueryPrecedente(bool ask);
    void EliminaUltimaQuerySuccessiva();
    void AggiungiUnioneQuery();
    void EliminaUltimaQueryAffiancata();
    // The chain semaphore of this user: true when held (taken now or
    // before); a refusal is told here.
    bool PrendiSemaforoCatena();
    bool semaforoCatenaPreso() const;
    // F11 and F12 (the pop-up menu's "Precedente" and "Successiva").
    void Precedente1Click();
    void Successiva1Click();

    // ---- ordering, totals, sums -------------------------------------------
    void ButtonOrdinaClick();
    void ButtonSommaClick();
    // "&Esporta": the export dialog over the answer as the grid shows it.
    void ButtonEsportaClick();
    void ButtonStampaClick();
    void ButtonCountClick();
    void ButtonSumClick();
    void Inseriscisomma1Click();

    // ---- condition helpers (F4..F10) --------------------------------------
    void MettiParentesi();
    void InserisciNomeCampo();
    void InserisciRange();
    void InserisciFormule();
    void RaggruppaMesi();
    void EditorCondizione();
    void InserisciValore();

    // The title bar's close button goes through "&Chiudi"; Esc only cancels
    // the cell being edited.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // ---- controls ----------------------------------------------------------
    QWidget *Panel4;  // interrogation face, right
    QWidget *Panel5;  // client area of both grids
    QWidget *Panel2;  // answer face, top
    QWidget *Panel1;  // answer face, bottom legend
    GrigliaQuery *DBGrid1;
    GrigliaQuery *DBGrid2;

    QPushButton *ButtonEseguiInterrogazione;
    QPushButton *ButtonSelezionaTutto;
    QPushButton *ButtonDeselezionaTutto;
    QPushButton *ButtonAggiungiT;
    QPushButton *ButtonEliminaT;
    QPushButton *ButtonElabAvanzate;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonCount;
    QPushButton *ButtonSum;
    QLabel *LabelPrec;
    QLabel *LabelSucc;

    QPushButton *ButtonNumeroRecord;
    QPushButton *ButtonFont;
    QPushButton *ButtonCappotta;
    QPushButton *ButtonSomma;
    QPushButton *ButtonOrdina;
    QPushButton *ButtonGrafico;
    QPushButton *ButtonStampa;
    QPushButton *ButtonEsporta;
    QPushButton *ButtonRitornaQuery;
    QPushButton *ButtonChiudi1;
    QList<QLabel *> LegendaRisposta;

    QMenu *PopupMenu1;
    QAction *Precedente1;
    QAction *Successiva1;
    QAction *CopiaSqlnelclipboard1;
    QAction *Inseriscisomma1;
    QMenu *PopupMenu2;

    void costruisciFacciaInterrogazione();
    void costruisciFacciaRisposta();
    void costruisciMenu();
    void apriStoreParametri();
    // The answer grid with its default widths, order and visibility.
    void aspettoBaseRisposta();
    // The width the answer grid's title of a column needs, in pixels, and
    // the columns narrower than their titles widened to them.
    int larghezzaTitolo(int column) const;
    void titoliInteri();
    void mostraPrimaPagina();
    // The answer read to its last row (Ctrl+End, scroll bar at the bottom).
    void caricaFinoAllaFine();
    int colonneVisibili() const;
    int rigaCorrenteRisposta() const;
    void rigaCorrenteInterrogazione(int row);
    // Execution as "&Esegui Query" does it; true when the answer shows.
    bool eseguiInterrogazione();
    // The seams of the chain check (linked answers): true lets the run go on.
    bool ControlloRispostaCollegata();
    void FormClose();
    void mostraErroreLettura(const QString &serverMessage);
    // The captured appearance put back on the answer grid.
    void applicaAspetto(const RigheAspetto &aspetto);
    // Width in pixels of `caratteri` characters of the answer grid, and back.
    int larghezzaCaratteri(int caratteri) const;
    int caratteriLarghezza(int pixel) const;
    // The answer grid over a reopened answer, with `aspetto` on it.
    void rimostraRisposta(const RigheAspetto &aspetto);
    void aggiornaLegendaCatena();
    // The interrogation face: its grid shown with the focus, the answer's
    // panels, legend and grid hidden, the buttons set for it.
    void mostraInterrogazione();
    // After a chain move: the level's session on the engine, the grids and
    // the legend over the interrogation loaded.
    void dopoMovimentoCatena();
    void nuovaTransazioneStorico();
    // The answer let go of before the interrogation changes under it.
    void chiudiRisposta();
    bool chiedi(const QString &domanda);
    // The COUNT and SUM buttons: the aggregate condition on the current row.
    void aggregato(bool conteggio);
    // Writes a helper's text into a row's condition; a text longer than a
    // condition may be is refused with a warning.
    bool scriviCondizione(int row, const QString &condizione);
    // The current interrogation row when it is a column row, else -1.
    int rigaColonnaCorrente() const;
    // The columns a condition may name (shown or hidden, not the chain's
    // rows), only the date columns when asked.
    QStringList campiCondizione(bool soloDate) const;
    void erroreStorico(const QString &lead, const QString &serverMessage);

    int m_utente;
    db::Attachment &m_connessione;
    db::Transaction &m_transazione;
    db::Transaction m_traStorico;
    QString m_ditta;
    QString m_tabella;
    QString m_directory;
    QString m_directoryBin;
    QString m_fileImpostazioni;
    QString m_nomeExport;
    SessioneQuery m_sessione;
    // The session of the level on screen: m_sessione at level 0, else the
    // chain engine's.
    SessioneQuery *m_corrente = &m_sessione;
    bool m_eseguiAllApertura = false;
    bool m_attivata = false;
    bool m_chiusa = false;
    bool m_singoloRecord = false;
    QByteArray m_statoIntestazione; // the answer grid's header while the single record shows
    int m_tabRecRigaRisposta = -1;
    int m_tabRecColonnaRisposta = -1;
    platform::FontChoice m_fontDialogo;

    TabIntTmp m_tabInt;
    TabRispTmp m_risposta;
    std::unique_ptr<TIBFQuerForm> m_engine;
    std::unique_ptr<params::TTabXForm> m_store;
    std::unique_ptr<StoricoQuery> m_storico;
    std::unique_ptr<MotoreCatena> m_catena;
    std::unique_ptr<SemaforoCatena> m_semaforo;
    RigheAspetto m_tabAspRTmp;
    // A saved appearance handed over by the engine, put on the grid once
    // the answer face shows.
    std::optional<RigheAspetto> m_aspettoDaApplicare;
    InterrogationModel *m_intModel;
    AnswerModel *m_answerModel;
    TabRecTmp *m_tabRec;
    // Controls whose behaviour other windows provide: kept disabled until
    // those are wired.
    QList<QWidget *> m_nonCollegati;
};

} // namespace vardof::qbe
