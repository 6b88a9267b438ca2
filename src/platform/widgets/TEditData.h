#pragma once

// The date box of the library's date dialogs (the grid's search, the range
// of the query window): a one-line box that completes a date typed as
// digits into dd/mm/yyyy while the user types (7/ -> 07/, 07/3/ -> 07/03/,
// 07/03/99 -> 07/03/1999, rules in platform/DataDigitata.h) and shows a
// valid date that way when it is left. What does not read as a date is
// left as typed: the dialog that reads the box refuses it.

#include <QLineEdit>

namespace vardof::platform {

class TEditData : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEditData(QWidget *parent = nullptr);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace vardof::platform
