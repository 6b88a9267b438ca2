#pragma once
// "Import": appends the rows of a ";" file to the table being edited. The
// run stays in the "Importa" handler, shows its progress and can be
// stopped between lines; what was imported before a stop is kept.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace vardof::context { class TTabForm; }

namespace vardof::tabletools {

class TEdTabIBImportForm : public QDialog
{
    Q_OBJECT
public:
    TEdTabIBImportForm(context::TTabForm *context, const QString &tabella, QWidget *parent = nullptr);

    QWidget *PanelAlto;
    QPushButton *ButtonFile;
    QLineEdit *EditFile;
    QCheckBox *CheckSaltaPrimaRiga;
    QCheckBox *CheckAbilitaCR;
    QLabel *LabelCR;
    QSpinBox *SpinEditCR;
    QCheckBox *CheckMemoEstesi;
    QLabel *LabelTag;
    QLineEdit *EditMemoEstesiTag;
    QRadioButton *RadioRecord;
    QRadioButton *RadioCampo;
    QPushButton *ButtonImporta;
    QPushButton *ButtonChiudi;
    QPlainTextEdit *MemoRiepilogo;
    QWidget *PanelProgresso;
    QProgressBar *BarraProgresso;
    QPushButton *ButtonInterrompi;

    void ButtonFileClick();
    void ButtonImportaClick();
    void ButtonInterrompiClick();

    bool inCorso() const { return m_inCorso; }
    // Called after an import, to reopen the editor's grid.
    std::function<void()> dopoImport;

protected:
    void reject() override;

private:
    context::TTabForm *m_context;
    QString m_tabella;
    bool m_inCorso = false;
};

} // namespace vardof::tabletools
