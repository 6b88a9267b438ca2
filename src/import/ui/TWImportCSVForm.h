#pragma once

// The script wizard: composes an import script from the catalogue of the
// work database, checks it and overwrites the script file. Reads nothing
// from the script file: what it shows at opening comes from precompila().
// Catalogue failures throw db::Error from the constructor (the window does
// not open) and are shown in an error box afterwards.

#include "import/ImportScript.h"
#include "import/WizardScript.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;

namespace vardof::context { class TTabForm; }

namespace vardof::importcsv {

class TWImportCSVForm : public QDialog
{
    Q_OBJECT
public:
    TWImportCSVForm(QWidget *owner, const QString &percorsoScript, context::TTabForm *context);
    ~TWImportCSVForm() override;

    // Shows the parameters of the last script loaded.
    void precompila(const TParametriScript &p);
    // What the controls say now.
    ComposizioneWizard composizione() const;

    void Configurazione_SP1_ComboTabDestSelect();
    void ButtonOkClick();

    // Section buttons.
    void Configurazione_SP5_ButtonAggiungiClick();
    void Configurazione_SP5_ButtonEliminaClick();
    void Configurazione_SP6_ButtonAggiungiClick();
    void Configurazione_SP6_ButtonEliminaClick();
    void Configurazione_SP7_ButtonAggiungiClick();
    void Configurazione_SP7_ButtonEliminaClick();
    void Configurazione_SP8_ButtonAggiungiClick();
    void Configurazione_SP8_ButtonAggiungiTuttiClick();
    void Configurazione_SP8_ButtonEliminaClick();
    void Configurazione_SP8_ButtonEliminaTuttiClick();

    QScrollArea *ScrollBox = nullptr;
    QComboBox *Configurazione_SP1_ComboTabDest = nullptr;
    QRadioButton *Configurazione_SP2_RadioSi = nullptr;
    QRadioButton *Configurazione_SP2_RadioNo = nullptr;
    QComboBox *Configurazione_SP2_ComboCampo = nullptr;
    QLineEdit *Configurazione_SP2_EditValore = nullptr;
    QCheckBox *Configurazione_SP3_CheckAggiorna = nullptr;
    QCheckBox *Configurazione_SP3_CheckAggiungi = nullptr;
    QCheckBox *Configurazione_SP3_CheckDuplicati = nullptr;
    QComboBox *Configurazione_SP4_ComboCampo = nullptr;
    QComboBox *Configurazione_SP4_ComboGeneratore = nullptr;
    QComboBox *Configurazione_SP5_ComboCampo = nullptr;
    QLineEdit *Configurazione_SP5_EditPercentuale = nullptr;
    QTableWidget *Configurazione_SP5_TabAumentiPercentuali = nullptr;
    QComboBox *Configurazione_SP6_ComboCampo = nullptr;
    QLineEdit *Configurazione_SP6_EditValore = nullptr;
    QTableWidget *Configurazione_SP6_TabAssegnaValori = nullptr;
    QComboBox *Configurazione_SP7_ComboCampo = nullptr;
    QTableWidget *Configurazione_SP7_TabAggiornaPersonalizzato = nullptr;
    QComboBox *Configurazione_SP8_ComboCampo = nullptr;
    QTableWidget *Configurazione_SP8_TabEsclusioniAggiorna = nullptr;
    QCheckBox *Configurazione_SP9_CheckTag = nullptr;
    QLineEdit *Configurazione_SP9_EditaTag = nullptr;
    QPlainTextEdit *MemoRiepilogo = nullptr;
    QPushButton *ButtonOk = nullptr;
    QPushButton *ButtonCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *controllo(FuocoWizard fuoco) const;
    void avvisa(const QString &testo, QWidget *fuoco);
    QList<QComboBox *> combiCampi() const;
    static void aggiungiRiga(QTableWidget *t, const QStringList &valori);
    static QStringList colonna(const QTableWidget *t, int c);

    QString m_percorso;
    context::TTabForm *m_context;
};

} // namespace vardof::importcsv
