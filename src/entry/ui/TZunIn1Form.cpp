#include "entry/ui/TZunIn1Form.h"
#include "entry/ui/DialogFrame.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vardof::entry {

TZunIn1Form::TZunIn1Form(QWidget *parent)
    : QDialog(parent)
{
    const detail::DialogFrame f = detail::buildDialogFrame(this);
    Label1 = new QLabel(QStringLiteral("Inserisci il valore:"), f.frame);
    Edit1 = new QLineEdit(f.frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    f.content->addWidget(Label1);
    f.content->addWidget(Edit1);
    ButtonOK = f.ok;
    ButtonCancel = f.cancel;
    connect(ButtonOK, &QPushButton::clicked, this, &TZunIn1Form::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TZunIn1Form::ButtonCancelClick);
    detail::fixAndCentre(this);
}

void TZunIn1Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void TZunIn1Form::ButtonOKClick()
{
    Risposta = 1;
    accept();
}

void TZunIn1Form::ButtonCancelClick()
{
    Risposta = 2;
    reject();
}

} // namespace vardof::entry
