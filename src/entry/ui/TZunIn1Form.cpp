#include "entry/ui/TZunIn1Form.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLineEdit>

namespace vardof::entry {

TZunIn1Form::TZunIn1Form(QWidget *parent)
    : ZunForm(QStringLiteral("Inserisci il valore:"), parent)
{
    Edit1 = new QLineEdit(frame());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    content()->addWidget(Edit1);
    completa(Edit1);
}

} // namespace vardof::entry
