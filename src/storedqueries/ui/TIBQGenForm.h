#pragma once

// The query registry: where the user picks a table to question (the
// table-selection layout) and, in the history layout, manages the stored
// queries. Prepares the stored-query tables each time it is created.
//
// Who owns what: the work context (connection, transaction, directories)
// is lent by the entry for the window's lifetime. A table in another
// database file is questioned on a connection the window opens for the
// purpose and closes when the query window returns. Every message goes
// through the platform messages.

#include "storedqueries/RegistroQuery.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace vardof::db { class Attachment; class Transaction; }
namespace vardof::context { class TTabForm; }
namespace vardof::grid { class TQmtGrid; class SorgenteQuery; }
namespace vardof::maintenance { class TDBRecordLocker; }

namespace vardof::storedqueries {

class TIBQGenForm : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { QueryGenerica, Storico };

    TIBQGenForm(context::TTabForm *context, int userNumber, Mode mode, QWidget *parent = nullptr);
    ~TIBQGenForm() override;

    Mode mode() const { return m_mode; }
    int numeroUtente() const { return m_utente; }

    // Values taken from the work context at creation.
    QString DirectoryTemp;
    QString DirectoryLavoro;
    QString DirectoryBin;
    QString NomeProgetto;

    // The table picker, replaceable by tests: the chosen table, nullopt on
    // Cancel. The default shows TListTabForm.
    using SceltaTabella =
        std::function<std::optional<QString>(db::Attachment &, db::Transaction &, QWidget *parent)>;
    static SceltaTabella setSceltaTabella(SceltaTabella picker);

    // ---- controls (table-selection layout) -------------------------------
    QWidget *PanelAlto;
    QPushButton *ButtonTabella;   // "&Tabella da interr."
    QPushButton *ButtonDatabase;  // "Data&base"
    QLineEdit *EditTabella;
    QLineEdit *EditPercorso;
    QPushButton *ButtonNote;
    QPushButton *ButtonGeneraQuery;
    QPushButton *ButtonStorico;
    QPlainTextEdit *NOTE;         // the notes of the current stored query

    // ---- controls (history layout) -----------------------------------------
    QLineEdit *Codice;            // always read-only
    QLineEdit *Tabella;
    QLineEdit *Percorso;
    QLineEdit *Titolo;
    QLineEdit *NOMEEXPORT;
    QPushButton *ButtonCodiceQuery;
    QPushButton *ButtonTitolo;
    QPushButton *ButtonClassificazione1;
    QPushButton *ButtonClassificazione2;
    QPushButton *ButtonNomeExport;   // "Nome exp - opz.", a label
    // Each classification: page 0 "Consultazione" (read-only value and the
    // filter list), page 1 "Editazione" (the list bound to the row).
    QStackedWidget *PaginaClassificazione1;
    QStackedWidget *PaginaClassificazione2;
    QLineEdit *ValoreClassificazione1;
    QLineEdit *ValoreClassificazione2;
    QComboBox *FiltroClassificazione1;
    QComboBox *FiltroClassificazione2;
    QComboBox *ComboClassificazione1;
    QComboBox *ComboClassificazione2;
    QWidget *Navigatore;
    QPushButton *ButtonPrimo;
    QPushButton *ButtonPrecedente;
    QPushButton *ButtonSuccessivo;
    QPushButton *ButtonUltimo;
    QWidget *PanelGriglia;
    grid::TQmtGrid *GridStorico;
    QPushButton *ButtonChiudiStorico;
    QPushButton *ButtonRicerche;     // never shown
    QPushButton *ButtonDuplica;
    QPushButton *ButtonNuovo;
    QPushButton *ButtonAnnulla;
    QPushButton *ButtonElimina;
    QPushButton *ButtonMemorizza;
    QPushButton *ButtonEdit;
    QPushButton *ButtonChiudi;
    QMenu *PopupMenu;
    QAction *SalvaQuerySuFile;      // F9
    QAction *CaricaQueryDaFile;     // F10
    QAction *CopiaQueryInRitaglio;  // F11
    QAction *CaricaQueryDaRitaglio; // F12
    QAction *Riassegnanumeroquery1;

    // ---- handlers ----------------------------------------------------------
    void ButtonGeneraQueryClick();
    // Opens the query window over the stored query `codice` of STOQUER, in
    // stored mode: its interrogation and appearance are loaded, and saved
    // when the user agrees. The history layout's query button calls it.
    void ApriQueryStorico(int codice);
    void ButtonTabellaClick();
    void ButtonDatabaseClick();
    void ButtonNoteClick();
    // Whether the database button and the path field accept input.
    void AggiornaCampoDatabase();

    void Storico();
    void ButtonChiudiStoricoClick();
    void ButtonNuovoClick();
    void ButtonEditClick();
    void ButtonMemorizzaClick();
    void ButtonAnnullaClick();
    void ButtonEliminaClick();
    void ButtonDuplicaClick();
    void ButtonChiudiClick();
    void IBLQueryFormRiassegnanumeroquery1Click();
    void SalvaQuerySuFileClick();
    void CaricaQueryDaFileClick();
    void CopiaQueryInRitaglioClick();
    void CaricaQueryDaRitaglioClick();
    void ButtonCodiceQueryClick();
    void ButtonTitoloClick();
    void ButtonClassificazione1Click();
    void ButtonClassificazione2Click();

    // ---- state, for the owner and tests -------------------------------------------
    bool layoutStorico() const { return m_storico; }
    // 1 browsing, 0 editing a row, 2 editing a row just created.
    int stato() const { return m_stato; }
    // The code of the grid's current row, 0 without one.
    int codiceCorrente() const;
    // The codes the history shows, in grid order.
    QList<int> codiciMostrati() const;
    // Makes the row of `codice` current (the first row for -1); false when
    // it is not shown.
    bool posiziona(int codice);

    // "L'archivio "<path>" non è stato trovato"
    static QString messaggioArchivioNonTrovato(const QString &percorso);

    // Esc, the close box and "Ch&iudi" all end here: refused while a row is
    // being edited in the history.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Creazione();
    void LayoutSceltaTabella();
    struct ChiaveStorico
    {
        int codice1;
        double codice2;
        QString nomeExport;
    };
    // The query window over `tabella` (of the work database, or of the
    // database file `percorso`), in stored mode when a key is given.
    void ApriQuery(const QString &tabella, const QString &percorso, const std::optional<ChiaveStorico> &storico);

    void creaStorico(QWidget *alto, QGridLayout *griglia);
    void SettaInterfaccia(int stato);
    void riempiCampi();
    RigaStoQuer rigaDaiCampi() const;
    // Remembers the current code, reopens the list in a fresh transaction
    // and goes back to it: false when that row is gone.
    bool aggiornaERiposiziona();
    void riapriStorico(std::optional<int> codice);
    // Locks the row for editing; false (told) when refused.
    bool bloccaRiga(int codice);
    void liberaBlocco();
    bool controlliRiga(bool conRiposiziona = true);
    // Posts a row being edited (with the save check): false when it stays in edit.
    bool postInSospeso();
    void cercaSuColonna(const QString &campo);
    void caricaDaFile(const QString &file);

    context::TTabForm *m_context;
    int m_utente;
    Mode m_mode;
    bool m_storico = false;
    int m_stato = 1;
    bool m_inApertura = false;
    grid::SorgenteQuery *m_tabStoQuer = nullptr;
    std::unique_ptr<db::Transaction> m_traStorico;
    std::unique_ptr<db::Transaction> m_traBlocco;
    std::unique_ptr<maintenance::TDBRecordLocker> m_locker;
};

} // namespace vardof::storedqueries
