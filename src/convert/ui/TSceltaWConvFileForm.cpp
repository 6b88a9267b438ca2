#include "convert/ui/TSceltaWConvFileForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardof::convert {

TSceltaWConvFileForm::TSceltaWConvFileForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Scelta wizard"));
    LabelNota = new QLabel(QStringLiteral("NOTA: con l'opzione \"Salta prima riga su file origine\" verranno "
                                          "visualizzati i nomi delle colonne nel wizard"),
                           this);
    LabelNota->setWordWrap(true);
    RadioGroupWizard = new QGroupBox(QStringLiteral("Scegliere il tipo di wizard"), this);
    RadioGuidata = new QRadioButton(QStringLiteral("Composizione guidata"), RadioGroupWizard);
    RadioLibera = new QRadioButton(QStringLiteral("Editazione libera"), RadioGroupWizard);
    RadioGuidata->setChecked(true);
    auto *radios = new QVBoxLayout(RadioGroupWizard);
    radios->addWidget(RadioGuidata);
    radios->addWidget(RadioLibera);

    ButtonOk = new QPushButton(QStringLiteral("Ok"), this);
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);

    auto *main = new QVBoxLayout(this);
    main->addWidget(LabelNota);
    main->addWidget(RadioGroupWizard);
    main->addLayout(buttons);

    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSceltaWConvFileForm::Tipo TSceltaWConvFileForm::Scelta() const
{
    return RadioLibera->isChecked() ? EditazioneLibera : ComposizioneGuidata;
}

} // namespace vardof::convert
