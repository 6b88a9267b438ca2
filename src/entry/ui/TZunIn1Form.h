#pragma once

// The small modal input dialogs of the library. Each answers with Risposta
// 1 after OK and 2 after Cancel; the opener sets caption and label text
// before showing it and reads the fields when Risposta is 1.

#include "entry/ui/DialogFrame.h"

class QLineEdit;

namespace vardof::entry {

// One text field.
class TZunIn1Form : public detail::ZunForm
{
    Q_OBJECT
public:
    explicit TZunIn1Form(QWidget *parent = nullptr);

    QLineEdit *Edit1;
};

} // namespace vardof::entry
