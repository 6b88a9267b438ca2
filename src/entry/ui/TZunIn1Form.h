#pragma once

// The small modal input dialogs of the library. Each answers with Risposta
// 1 after OK and 2 after Cancel; the opener sets caption and label text
// before showing it and reads the fields when Risposta is 1.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace vardof::entry {

class TZunIn1Form : public QDialog
{
    Q_OBJECT
public:
    explicit TZunIn1Form(QWidget *parent = nullptr);

    qint16 Risposta = 2;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ButtonOKClick();
    void ButtonCancelClick();
};

} // namespace vardof::entry
