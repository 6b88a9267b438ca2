#include "qbe/ui/TAppoggioQuerForm.h"

#include "qbe/TIBFQuerForm.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vardof::qbe {

TAppoggioQuerForm::TAppoggioQuerForm(TIBFQuerForm &engine, QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
{
    setWindowTitle(TIBFQuerForm::kCaption);
    auto *layout = new QVBoxLayout(this);
    MemoPerClipboard = new QPlainTextEdit(this);
    MemoPerClipboard->setObjectName(QStringLiteral("MemoPerClipboard"));
    MemoPerClipboard->setReadOnly(true);
    MemoPerClipboard->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoPerClipboard->setPlainText(engine.MemoPerClipboard());
    layout->addWidget(MemoPerClipboard);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    ButtonOk = new QPushButton(TIBFQuerForm::kCaptionOk, this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    bottom->addWidget(ButtonOk);
    layout->addLayout(bottom);
    connect(ButtonOk, &QPushButton::clicked, this, &TAppoggioQuerForm::ButtonOkClick);
    resize(560, 400);
}

void TAppoggioQuerForm::ButtonOkClick()
{
    MemoPerClipboard->selectAll();
    m_engine.ButtonOkClick();
    accept();
}

} // namespace vardof::qbe
