#pragma once

// The progress window of an import run: shown without blocking while the
// run lasts and deleted at its end by the window that opened it.

#include <QDialog>

class QProgressBar;

namespace vardof::importcsv {

class TAvanzamentoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAvanzamentoForm(QWidget *parent = nullptr);

    void imposta(int percento);
    int valore() const;

    QProgressBar *ProgressBar = nullptr;
};

} // namespace vardof::importcsv
