#include "import/ui/TAvanzamentoForm.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vardof::importcsv {

TAvanzamentoForm::TAvanzamentoForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TAvanzamentoForm"));
    setWindowTitle(QStringLiteral("Avanzamento"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar);
    resize(400, 60);
}

void TAvanzamentoForm::imposta(int percento)
{
    ProgressBar->setValue(percento);
}

int TAvanzamentoForm::valore() const
{
    return ProgressBar->value();
}

void TAvanzamentoForm::reject()
{
}

void TAvanzamentoForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

} // namespace vardof::importcsv
