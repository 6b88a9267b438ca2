#include "maintenance/ui/TMessaggioForm.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vardof::maintenance {

TMessaggioForm::TMessaggioForm(const QString &testo, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint)
{
    Panel = new QLabel(testo, this);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setAlignment(Qt::AlignCenter);
    Panel->setMinimumSize(320, 60);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel);
}

TAggSincroDBFastElabForm::TAggSincroDBFastElabForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Comunicazione"));
    LabelElaborazione = new QLabel(this);
    ProgressElaborazione = new QProgressBar(this);
    ProgressElaborazione->setRange(0, 100);
    LabelAvanzamento = new QLabel(QStringLiteral("Avanzamento"), this);
    ProgressAvanzamento = new QProgressBar(this);
    ProgressAvanzamento->setRange(0, 100);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelElaborazione);
    layout->addWidget(ProgressElaborazione);
    layout->addWidget(LabelAvanzamento);
    layout->addWidget(ProgressAvanzamento);
    setMinimumWidth(360);
}

} // namespace vardof::maintenance
