#pragma once

// The help window of the import: what the script keywords mean, with three
// example scripts.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::importcsv {

class THelpImpFileForm : public QDialog
{
    Q_OBJECT
public:
    explicit THelpImpFileForm(QWidget *parent = nullptr);

    static QString testoHelp();

    QPlainTextEdit *MemoHelp = nullptr;
    QPushButton *ButtonChiudi = nullptr;
};

} // namespace vardof::importcsv
