#include "entry/ui/TZunIn2Form.h"
#include "entry/ui/DialogFrame.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vardof::entry {

TZunIn2Form::TZunIn2Form(QWidget *parent)
    : QDialog(parent)
{
    const detail::DialogFrame f = detail::buildDialogFrame(this);
    Label1 = new QLabel(QStringLiteral("Inserisci data e numero:"), f.frame);
    Edit1 = new QLineEdit(f.frame);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(f.frame);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto *row = new QHBoxLayout;
    row->addWidget(Edit1, 3);
    row->addWidget(Edit2, 1);
    f.content->addWidget(Label1);
    f.content->addLayout(row);
    ButtonOK = f.ok;
    ButtonCancel = f.cancel;
    connect(ButtonOK, &QPushButton::clicked, this, &TZunIn2Form::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TZunIn2Form::ButtonCancelClick);
    detail::fixAndCentre(this);
}

void TZunIn2Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void TZunIn2Form::ButtonOKClick()
{
    Risposta = 1;
    accept();
}

void TZunIn2Form::ButtonCancelClick()
{
    Risposta = 2;
    reject();
}

} // namespace vardof::entry
