#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::maintenance {

// The syntax reminder of the update scripts.
class THelpAggFDBFDBForm : public QDialog
{
    Q_OBJECT
public:
    explicit THelpAggFDBFDBForm(const QString &nomeProgetto, QWidget *parent = nullptr);

    QPlainTextEdit *Memo;
    QPushButton *ButtonChiudi;

    static QString testo();
};

} // namespace vardof::maintenance
