#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace vardof::maintenance {

// A panel with one text and no caption buttons, shown while something is
// being checked.
class TMessaggioForm : public QDialog
{
    Q_OBJECT
public:
    explicit TMessaggioForm(const QString &testo, QWidget *parent = nullptr);
    QLabel *Panel;
};

// "Comunicazione": which synchronisation of how many is running, the
// overall bar and the bar of the current one.
class TAggSincroDBFastElabForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAggSincroDBFastElabForm(QWidget *parent = nullptr);
    QLabel *LabelElaborazione;
    QProgressBar *ProgressElaborazione;
    QLabel *LabelAvanzamento;
    QProgressBar *ProgressAvanzamento;
};

} // namespace vardof::maintenance
