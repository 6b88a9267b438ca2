#pragma once

// The fixed help text of the conversion, with one example per mode.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::convert {

class THelpConvFileForm : public QDialog
{
    Q_OBJECT

public:
    explicit THelpConvFileForm(QWidget *parent = nullptr);

    static QString testoHelp();

    QPlainTextEdit *MemoHelp;
    QPushButton *ButtonChiudi;
};

} // namespace vardof::convert
