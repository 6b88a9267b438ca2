#include "entry/ui/DialogFrame.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
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

ZunForm::ZunForm(const QString &label, QWidget *parent)
    : QDialog(parent)
    , m_frame(buildDialogFrame(this))
{
    Label1 = new QLabel(label, m_frame.frame);
    m_frame.content->addWidget(Label1);
    ButtonOK = m_frame.ok;
    ButtonCancel = m_frame.cancel;
    connect(ButtonOK, &QPushButton::clicked, this, &ZunForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &ZunForm::ButtonCancelClick);
}

void ZunForm::completa(QWidget *first)
{
    m_first = first;
    fixAndCentre(this);
}

void ZunForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_first)
        m_first->setFocus();
}

void ZunForm::ButtonOKClick()
{
    Risposta = 1;
    accept();
}

void ZunForm::ButtonCancelClick()
{
    Risposta = 2;
    reject();
}

} // namespace vardof::entry::detail
