#pragma once

// Shared look and answer of the small input dialogs: a frame holding the
// label and the fields, OK and Cancel under it, fixed size, centred on the
// screen; Risposta 1 after OK and 2 after Cancel.

#include <QDialog>

class QBoxLayout;
class QFrame;
class QLabel;
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

// The base of TZunIn1Form, TZunIn2Form and TZunDataForm: the opener sets the
// caption and Label1's text before showing one and reads its fields when
// Risposta is 1.
class ZunForm : public QDialog
{
    Q_OBJECT
public:
    qint16 Risposta = 2;
    QLabel *Label1;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

protected:
    // The frame with Label1 (showing `label`) at the top of its content.
    ZunForm(const QString &label, QWidget *parent);
    QBoxLayout *content() const { return m_frame.content; }
    QFrame *frame() const { return m_frame.frame; }
    // Called once the fields are in: the size is fixed and the dialog
    // centred; `first` takes the focus whenever the dialog is shown.
    void completa(QWidget *first);

    void showEvent(QShowEvent *event) override;

private:
    void ButtonOKClick();
    void ButtonCancelClick();

    DialogFrame m_frame;
    QWidget *m_first = nullptr;
};

} // namespace vardof::entry::detail
