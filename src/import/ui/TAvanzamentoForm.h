#pragma once

// The progress window of an import run: shown without blocking while the
// run lasts and deleted at its end by the window that opened it. The user
// cannot close it: the run would go on with no sign of its progress.

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

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

public:
    QProgressBar *ProgressBar = nullptr;
};

} // namespace vardof::importcsv
