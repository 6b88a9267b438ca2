#pragma once
// "Esecuzioni SQL": the stored SQL texts of the work database, edited and
// run; and the window that shows a query's result and copies it into
// TMP222 for the query window.
//
// Who owns what: the work context (connection, default transaction) is
// lent by the opener for the window's lifetime; the window owns its list
// source, its statements and its dialogs. Every message goes through the
// platform messages.
#include "tabletools/StoSql.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class QButtonGroup;

namespace vardof::context { class TTabForm; }
namespace vardof::db { class Attachment; class Transaction; }
namespace vardof::grid { class SorgenteQuery; class TQmtGrid; }

namespace vardof::tabletools {

class TStoSQL : public QDialog
{
    Q_OBJECT
public:
    explicit TStoSQL(context::TTabForm *context, QWidget *parent = nullptr);
    ~TStoSQL() override;

    // Set by the opener before showing; handed on to the result window.
    QString DirectoryTemp;
    QString DirectoryLavoro;
    QString DirectoryBin;
    QString NomeProgetto;

    // The table picker of the wizard, replaceable by tests.
    using SceltaTabella =
        std::function<std::optional<QString>(db::Attachment &, db::Transaction &, QWidget *parent)>;
    static SceltaTabella setSceltaTabella(SceltaTabella picker);
    // How a query's result is shown (the result window by default), replaceable by tests.
    using MostraRisultato = std::function<void(TStoSQL &, const QString &sql, const ValoriParametri &parametri)>;
    static MostraRisultato setMostraRisultato(MostraRisultato mostra);

    // ---- controls ----------------------------------------------------------
    QPushButton *ButtonCodice;
    QPushButton *ButtonTitolo;
    QPushButton *ButtonScript;
    QLineEdit *EditCodice;
    QLineEdit *EditTitolo;
    QPlainTextEdit *MemoSQL;
    grid::TQmtGrid *GridSQL;
    QLineEdit *EditNote;
    QPushButton *ButtonNuovo;
    QPushButton *ButtonMemorizza;
    QPushButton *ButtonAnnulla;
    QPushButton *ButtonElimina;
    QPushButton *ButtonEdit;
    QPushButton *ButtonEsegui;
    QPushButton *ButtonEseguiBlock;
    QPushButton *ButtonAggiorna;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonDelete;
    QPushButton *ButtonUpdate;
    QPushButton *ButtonAlter;
    QPushButton *ButtonSelect;
    QWidget *PanelWizard;
    QGroupBox *GroupWizard;
    QPushButton *ButtonAvanti;
    QPushButton *ButtonAnnullaWizard;

    // ---- handlers ------------------------------------------------------------
    void ButtonNuovoClick();
    void ButtonEditClick();
    void ButtonMemorizzaClick();
    void ButtonAnnullaClick();
    void ButtonAggiornaClick();
    void ButtonEliminaClick();
    void ButtonEseguiClick();
    void ButtonEseguiBlockClick();
    void ApriWizard(GruppoWizard gruppo);
    void ButtonAvantiClick();
    void ButtonAnnullaWizardClick();

    void SettaggioInterfaccia(bool editing);
    void Memorizza();
    void Annulla();

    bool inModifica() const { return m_editing; }
    bool funzionante() const { return m_funzionante; }
    int codiceCorrente() const { return m_corrente.codice; }
    const RigaStoSql &rigaCorrente() const { return m_corrente; }
    int righe() const { return int(m_righe.size()); }
    // Moves to the row of `codice` (the nearest one before when it is gone).
    void vaiA(int codice);
    context::TTabForm *contesto() const { return m_context; }
    // Asks the values of the ":NAME" parameters of `testo` (none asked
    // when it has none); nullopt when the user gives up. Throws db::Error
    // when the server refuses the text.
    std::optional<ValoriParametri> chiediParametri(const QString &testo);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void Creazione();
    void ricarica(std::optional<int> posizione);
    void mostraCorrente();
    void rigaScelta();
    void prendiCampi();

    context::TTabForm *m_context;
    std::unique_ptr<grid::SorgenteQuery> m_sorgente;
    std::vector<RigaStoSql> m_righe;
    RigaStoSql m_corrente;
    bool m_editing = false;
    bool m_nuova = false;
    bool m_funzionante = false;
    GruppoWizard m_gruppo = GruppoWizard::Delete;
    QButtonGroup *m_scelte = nullptr;
    QHash<QString, QString> m_ultimiParametri; // what was typed last, by name
};

class TSelectRisForm : public QDialog
{
    Q_OBJECT
public:
    // The result of `sql`, run on `context`'s connection and transaction
    // with `parametri` bound to its ":NAME" parameters.
    TSelectRisForm(context::TTabForm *context, const QString &sql, QWidget *parent = nullptr,
                   ValoriParametri parametri = {});
    ~TSelectRisForm() override;

    QString DirectoryTemp;
    QString DirectoryLavoro;
    QString DirectoryBin;
    QString NomeProgetto;

    // Opens the query window on TMP222; replaceable by tests.
    using ApriQuery = std::function<void(TSelectRisForm &)>;
    static ApriQuery setApriQuery(ApriQuery apri);

    grid::TQmtGrid *GridRisultato;
    QPushButton *ButtonElabora;
    QPushButton *ButtonChiudi;

    // Throws db::Error when the query cannot be opened.
    void apri();
    void ButtonElaboraClick();
    context::TTabForm *contesto() const { return m_context; }

private:
    context::TTabForm *m_context;
    QString m_sql;
    ValoriParametri m_parametri;
    std::unique_ptr<grid::SorgenteQuery> m_sorgente;
};

} // namespace vardof::tabletools
