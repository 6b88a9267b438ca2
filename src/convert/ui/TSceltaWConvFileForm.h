#pragma once

// Asks how the definition is to be composed: with the wizard over a table
// of the work database, or by hand in the editor.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vardof::convert {

class TSceltaWConvFileForm : public QDialog
{
    Q_OBJECT

public:
    enum Tipo { ComposizioneGuidata = 0, EditazioneLibera = 1 };

    explicit TSceltaWConvFileForm(QWidget *parent = nullptr);

    Tipo Scelta() const;

    QLabel *LabelNota;
    QGroupBox *RadioGroupWizard;
    QRadioButton *RadioGuidata;
    QRadioButton *RadioLibera;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
};

} // namespace vardof::convert
