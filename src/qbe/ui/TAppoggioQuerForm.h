#pragma once

// The engine's support window: shows the composed statement (quotes
// already doubled, ready to paste into program text) and copies it to the
// clipboard on "Ok".

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::qbe {

class TIBFQuerForm;

class TAppoggioQuerForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAppoggioQuerForm(TIBFQuerForm &engine, QWidget *parent = nullptr);

    QPlainTextEdit *MemoPerClipboard;
    QPushButton *ButtonOk;

    void ButtonOkClick();

private:
    TIBFQuerForm &m_engine;
};

} // namespace vardof::qbe
