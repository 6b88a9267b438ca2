#include "entry/ui/TZunDataForm.h"
#include "entry/ui/DialogFrame.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

namespace vardof::entry {

TZunDataForm::TZunDataForm(QWidget *parent)
    : QDialog(parent)
{
    const detail::DialogFrame f = detail::buildDialogFrame(this);
    Label1 = new QLabel(QStringLiteral("Inserisci la data:"), f.frame);
    EditData = new QDateEdit(QDate::currentDate(), f.frame);
    EditData->setObjectName(QStringLiteral("EditData"));
    EditData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    EditData->setCalendarPopup(true);
    f.content->addWidget(Label1);
    f.content->addWidget(EditData);
    ButtonOK = f.ok;
    ButtonCancel = f.cancel;
    connect(ButtonOK, &QPushButton::clicked, this, &TZunDataForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TZunDataForm::ButtonCancelClick);
    detail::fixAndCentre(this);
}

QDate TZunDataForm::data() const
{
    return EditData->date();
}

void TZunDataForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EditData->setFocus();
}

void TZunDataForm::ButtonOKClick()
{
    Risposta = 1;
    accept();
}

void TZunDataForm::ButtonCancelClick()
{
    Risposta = 2;
    reject();
}

} // namespace vardof::entry
