#include "entry/ui/TZunDataForm.h"

#include <QBoxLayout>
#include <QFrame>
#include <QDateEdit>

namespace vardof::entry {

TZunDataForm::TZunDataForm(QWidget *parent)
    : ZunForm(QStringLiteral("Inserisci la data:"), parent)
{
    EditData = new QDateEdit(QDate::currentDate(), frame());
    EditData->setObjectName(QStringLiteral("EditData"));
    EditData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    EditData->setCalendarPopup(true);
    content()->addWidget(EditData);
    completa(EditData);
}

QDate TZunDataForm::data() const
{
    return EditData->date();
}

} // namespace vardof::entry
