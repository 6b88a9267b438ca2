#pragma once

// The import window: choose the data file, read and check its script, run
// the import. The window keeps the parameters and descriptors of the last
// script loaded; the engine classes (ScriptLoader, ImportRun) do the work on
// the work context's connection and default transaction, which the window
// borrows and never releases.

#include "import/ImportScript.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vardof::context { class TTabForm; }
namespace vardof::params { class TTabXForm; }

namespace vardof::importcsv {

class TAvanzamentoForm;

class TImportCSVForm : public QDialog
{
    Q_OBJECT
public:
    TImportCSVForm(context::TTabForm *context, int userNumber, QWidget *parent = nullptr);
    ~TImportCSVForm() override;

    // Reads, shows and checks the script. Throws ScriptFileError (missing
    // file, wrong first line) and db::Error (a catalogue statement failed);
    // an irregular script ends with a warning and ButtonElabora disabled.
    void CaricaScript(const QString &percorso);

    void ButtonFileClick();
    void ButtonHelpClick();
    void ButtonWizardClick();
    void ButtonElaboraClick();
    void ButtonInterrompiClick();
    void FormClose();

    const TParametriScript &parametri() const { return m_parametri; }
    const QList<TCampo> &colonne() const { return m_colonne; }
    const QList<TCampo> &chiavi() const { return m_chiavi; }
    bool inElaborazione() const { return m_inElaborazione; }
    // The progress window while a run is going on, else null.
    TAvanzamentoForm *avanzamento() const { return m_avanzamento.get(); }

    QPushButton *ButtonFile = nullptr;
    QLineEdit *EditFile = nullptr;
    QPushButton *ButtonHelp = nullptr;
    QLabel *LabelScript = nullptr;
    QPlainTextEdit *MemoScript = nullptr;
    QLabel *LabelRiepilogo = nullptr;
    QPlainTextEdit *MemoRiepilogo = nullptr;
    QPushButton *ButtonWizard = nullptr;
    QCheckBox *CheckSaltaRiga = nullptr;
    QPushButton *ButtonElabora = nullptr;
    QPushButton *ButtonInterrompi = nullptr;
    QPushButton *ButtonChiudi = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    void done(int result) override;

private:
    class Sink;
    friend class Sink;

    void mostraErrore(const std::exception &e);

    context::TTabForm *m_context;
    int m_userNumber;
    std::unique_ptr<params::TTabXForm> m_parametriUtente;
    TParametriScript m_parametri;
    QList<TCampo> m_colonne;
    QList<TCampo> m_chiavi;
    std::unique_ptr<TAvanzamentoForm> m_avanzamento;
    bool m_richiestaInterruzione = false; // the button's tag
    bool m_inElaborazione = false;
    bool m_chiuso = false;
};

} // namespace vardof::importcsv
