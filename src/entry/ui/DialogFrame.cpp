#include "entry/ui/DialogFrame.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace vardof::entry::detail {

DialogFrame buildDialogFrame(QDialog *dialog)
{
    DialogFrame f;
    auto *outer = new QVBoxLayout(dialog);
    f.frame = new QFrame(dialog);
    f.frame->setFrameShape(QFrame::StyledPanel);
    f.content = new QVBoxLayout(f.frame);
    outer->addWidget(f.frame);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    f.ok = new QPushButton(QStringLiteral("OK"), dialog);
    f.ok->setDefault(true);
    f.cancel = new QPushButton(QStringLiteral("Annulla"), dialog);
    buttons->addWidget(f.ok);
    buttons->addWidget(f.cancel);
    outer->addLayout(buttons);
    dialog->setWindowTitle(QStringLiteral("Dialog"));
    dialog->setModal(true);
    return f;
}

void fixAndCentre(QDialog *dialog)
{
    dialog->adjustSize();
    dialog->setFixedSize(dialog->sizeHint());
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog->move(area.center() - dialog->rect().center());
    }
}

} // namespace vardof::entry::detail
