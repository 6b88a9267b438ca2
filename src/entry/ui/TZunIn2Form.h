#pragma once

#include "entry/ui/DialogFrame.h"

class QLineEdit;

namespace vardof::entry {

// Two text fields side by side (server name and drive letter).
class TZunIn2Form : public detail::ZunForm
{
    Q_OBJECT
public:
    explicit TZunIn2Form(QWidget *parent = nullptr);

    QLineEdit *Edit1; // left
    QLineEdit *Edit2; // right
};

} // namespace vardof::entry
