#pragma once

// Shared look of the small input dialogs: a frame holding the label and the
// fields, OK and Cancel under it, fixed size, centred on the screen.

#include <QDialog>

class QBoxLayout;
class QFrame;
class QPushButton;

namespace vardof::entry::detail {

struct DialogFrame
{
    QFrame *frame;
    QBoxLayout *content; // label and fields go here
    QPushButton *ok;
    QPushButton *cancel;
};

DialogFrame buildDialogFrame(QDialog *dialog);
void fixAndCentre(QDialog *dialog);

} // namespace vardof::entry::detail
