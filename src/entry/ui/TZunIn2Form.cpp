#include "entry/ui/TZunIn2Form.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLineEdit>

namespace vardof::entry {

TZunIn2Form::TZunIn2Form(QWidget *parent)
    : ZunForm(QStringLiteral("Inserisci data e numero:"), parent)
{
    Edit1 = new QLineEdit(frame());
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(frame());
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto *row = new QHBoxLayout;
    row->addWidget(Edit1, 3);
    row->addWidget(Edit2, 1);
    content()->addLayout(row);
    completa(Edit1);
}

} // namespace vardof::entry
