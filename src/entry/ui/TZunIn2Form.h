#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vardof::entry {

// Two text fields side by side (server name and drive letter).
class TZunIn2Form : public QDialog
{
    Q_OBJECT
public:
    explicit TZunIn2Form(QWidget *parent = nullptr);

    qint16 Risposta = 2;
    QLabel *Label1;
    QLineEdit *Edit1; // left
    QLineEdit *Edit2; // right
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ButtonOKClick();
    void ButtonCancelClick();
};

} // namespace vardof::entry
