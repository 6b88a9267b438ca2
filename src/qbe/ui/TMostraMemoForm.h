#pragma once

// The read-only memo window of "Mostra campo": the whole value of a memo
// column of the current answer row.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::qbe {

class TMostraMemoForm : public QDialog
{
    Q_OBJECT
public:
    TMostraMemoForm(const QString &nomeCampo, const QString &testo, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1;
    QPushButton *ButtonChiudi;
};

} // namespace vardof::qbe
