#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

namespace vardof::entry {

// One date field, shown and typed as dd/MM/yyyy.
class TZunDataForm : public QDialog
{
    Q_OBJECT
public:
    explicit TZunDataForm(QWidget *parent = nullptr);

    qint16 Risposta = 2;
    QLabel *Label1;
    QDateEdit *EditData;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

    QDate data() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ButtonOKClick();
    void ButtonCancelClick();
};

} // namespace vardof::entry
