#pragma once

#include "entry/ui/DialogFrame.h"

#include <QDate>

class QDateEdit;

namespace vardof::entry {

// One date field, shown and typed as dd/MM/yyyy.
class TZunDataForm : public detail::ZunForm
{
    Q_OBJECT
public:
    explicit TZunDataForm(QWidget *parent = nullptr);

    QDateEdit *EditData;

    QDate data() const;
};

} // namespace vardof::entry
