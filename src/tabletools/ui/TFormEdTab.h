#pragma once
// "Edita tabelle": any user table of the work database in an editable grid
// fetched as it is scrolled, its filter composed in the query window, the
// bulk column changes (F3 repeat, F5 zeros, numbering, emptying) and the
// doors to the actions, the quote replacement, the free text editor and
// the table import.
//
// Who owns what: the work context is lent by the entry for the window's
// lifetime; every statement runs on its connection and default
// transaction, each posted row committed retaining; the window commits an
// active transaction when it is destroyed.
#include "qbe/Interrogazione.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QModelIndex;
class QTableView;

namespace vardof::context { class TTabForm; }
namespace vardof::grid { class ModelloGriglia; class SorgenteQuery; }
namespace vardof::qbe { class TIBLQueryForm; }

namespace vardof::tabletools {

class ModelloEditabile;
class TabellaEditor;

// "Selezione tabella": the user tables, and the work table from a file.
class TEdTabIBListTabForm : public QDialog
{
    Q_OBJECT
public:
    TEdTabIBListTabForm(context::TTabForm *context, QWidget *parent = nullptr);

    QLabel *LabelTabella;
    QListWidget *ListTabelle;
    QPushButton *ButtonApri;
    QPushButton *ButtonAnnulla;
    QPushButton *ButtonImportTmp;
    QPushButton *ButtonAiuto;

    void ButtonApriClick();
    void ButtonImportTmpClick();
    void ButtonAiutoClick();

    QString tabellaScelta() const { return m_scelta; }
    // The file of "Import con crea tabella TMP", empty otherwise.
    QString fileImport() const { return m_file; }

private:
    context::TTabForm *m_context;
    QString m_scelta;
    QString m_file;
};

// "Genera progressivo": the column and the starting number.
class TGenProForm : public QDialog
{
    Q_OBJECT
public:
    TGenProForm(const QStringList &candidati, const QString &preselezione, QWidget *parent = nullptr);
    QComboBox *ComboCampo;
    QLineEdit *EditProgressivo;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
    void ButtonOkClick();
    QString campo() const;
    qint64 partenza() const;

private:
    QStringList m_candidati;
};

class TFormEdTab : public QDialog
{
    Q_OBJECT
public:
    TFormEdTab(context::TTabForm *context, int userNumber, QWidget *parent = nullptr);
    ~TFormEdTab() override;

    // Replaceable by tests: the table selection (table, file of the work
    // table import or empty), nullopt on Cancel.
    struct Scelta
    {
        QString tabella;
        QString file;
    };
    using SceltaTabella = std::function<std::optional<Scelta>(TFormEdTab &)>;
    static SceltaTabella setSceltaTabella(SceltaTabella scelta);

    // ---- controls ----------------------------------------------------------
    QPushButton *ButtonSelezione;
    QPushButton *ButtonAnnullaFiltro;
    QPushButton *ButtonF3;
    QPushButton *ButtonFiltro;
    QPushButton *ButtonImport;
    QPushButton *ButtonHelp;
    QPushButton *ButtonF5;
    QPushButton *ButtonQuery;
    QTableView *DBGrid1;
    QLabel *Panel2;
    QMenu *MenuElaborazioni;
    QMenu *PopupMenu;

    // ---- operations ----------------------------------------------------------
    void ButtonSelezioneClick();
    bool ImpostaTabella(const QString &tabella);
    void AnnullaFiltro();
    void ButtonFiltroClick();
    void ButtonRitornaClick(qbe::TIBLQueryForm &finestra);
    QString GeneraSQLFiltro();
    void ButtonF3RipetiClick();
    void BottonF5ZeriClick();
    void AzzeraTabella1Click();
    void Generaprogressivo1Click();
    void ButtonImportClick();
    void ButtonHelpClick();
    void ButtonQueryClick();
    void Azioni1Click();
    void SostituzioneAccenti1Click();
    void EditaCampo(int colonna);
    // Rows added and removed in the grid (keys Ins, Ctrl+Canc, freccia giù
    // on the last row, Esc on a new row). A new row is inserted into the
    // table when the user leaves it; returns its row, -1 when the table
    // cannot be edited.
    int InserisciRiga();
    int AggiungiRiga();
    // Asks, then deletes the current row; false when not deleted.
    bool CancellaRiga();
    // Inserts every new row holding something typed; at the first one the
    // server refuses, shows why, makes it current and returns false.
    bool salvaRigheNuove();
    // Before an action that reads the grid again: new rows are saved first
    // (one refused stops the action, as above); values refused on stored
    // rows, which the reload would drop, go only if the user says so.
    // False: the action does not take place.
    bool primaDiRicaricare();
    // Whether the window may close: new rows are saved first; what cannot
    // be saved is lost only if the user says so.
    bool puoChiudere();
    // Opens the import window for the current table.
    void apriImport(const QString &file = QString());

    // ---- state ----------------------------------------------------------------
    const QString &tabella() const { return m_tabella; }
    QStringList statementGriglia() const;
    TabellaEditor *editor() const { return m_editor.get(); }
    ModelloEditabile *modello() const { return m_modello; }
    grid::SorgenteQuery *sorgente() const { return m_sorgente.get(); }
    const std::vector<qbe::RigaInt> &righeFiltro() const { return m_righeFiltro; }
    context::TTabForm *contesto() const { return m_context; }
    // Closes and opens the grid statement again; false (status "Selezionare
    // una tabella ...") when it cannot be opened.
    bool riapri();
    void aggiornaStato(const QString &testo);
    QString campoSelezionato() const;

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *oggetto, QEvent *evento) override;
    void reject() override;

private:
    void aggiornaConteggio();
    void primoSchermo();
    void ricordaLarghezze();
    void costruisciMenuCampi();
    void rigaLasciata(const QModelIndex &precedente);
    void vaiARiga(int riga, bool primaColonna = false);
    void contoVariato(int differenza);

    context::TTabForm *m_context;
    int m_utente;
    QString m_tabella;
    std::unique_ptr<TabellaEditor> m_editor;
    std::unique_ptr<grid::SorgenteQuery> m_sorgente;
    grid::ModelloGriglia *m_griglia;
    ModelloEditabile *m_modello;
    std::vector<qbe::RigaInt> m_righeFiltro;
    // Column widths by name, kept while the grid is read again.
    QHash<QString, int> m_larghezze;
    bool m_modificabile = false;
};

} // namespace vardof::tabletools
