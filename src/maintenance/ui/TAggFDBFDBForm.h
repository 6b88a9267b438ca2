#pragma once

// "Aggiornamenti da FDB a FDB": the stored update scripts of the work
// database (STOAGGFDBFDB), their editing, their check and their run.
// Owns the destination connection (through its AggiornamentoFDB), which is
// committed and closed when the window goes.

#include "maintenance/ScriptAggiornamento.h"
#include "maintenance/ui/StoredRowsForm.h"
#include "maintenance/ui/TMemoForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;

namespace vardof::maintenance {

class TAggFDBFDBForm : public StoredRowsForm
{
    Q_OBJECT
public:
    TAggFDBFDBForm(context::TTabForm *context, int userNumber, QWidget *parent = nullptr);
    ~TAggFDBFDBForm() override;

    QTableWidget *GridAgg;
    QLineEdit *EditCodice;
    QLineEdit *EditTitolo;
    QLineEdit *EditTabellaFDB1;
    QLineEdit *EditArchivioTabellaFDB2;
    QLineEdit *EditTabellaFDB2;
    QPlainTextEdit *MemoNote;
    QPlainTextEdit *MemoScript;
    QLabel *LabelCodice;
    QPushButton *ButtonTitolo;
    QPushButton *ButtonNote;
    QPushButton *ButtonScript;
    QPushButton *ButtonTabellaFDB1;
    QPushButton *ButtonArchivioFDB2;
    QPushButton *ButtonTabellaFDB2;
    QPushButton *ButtonControllo;
    QPushButton *ButtonHelp;
    QCheckBox *CheckControllo;
    QProgressBar *ProgressElab;

    void ButtonControlloClick();
    void ButtonElaboraClick();
    void ButtonHelpClick();
    void ButtonTabellaFDB1Click();
    void ButtonArchivioFDB2Click();
    void ButtonTabellaFDB2Click();

    int ControllaValiditaScript(QString &messaggio);
    ScriptFDB scriptCorrente() const; // the fields as shown

    // The log of the last run; shown modally after the run unless turned off.
    TMemoForm *memo() { return m_memo.get(); }
    bool logModale = true;

protected:
    void enableFields(bool editing) override;
    void showRow(int row) override;
    void newRow(int codice) override;
    QMap<QString, db::FieldValue> rowValues() const override;
    int codiceCorrente() const override;
    bool canSave() override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    bool FormClose();

    int m_user;
    std::unique_ptr<AggiornamentoFDB> m_engine;
    std::unique_ptr<TMemoForm> m_memo;
};

} // namespace vardof::maintenance
