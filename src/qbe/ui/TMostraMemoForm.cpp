#include "qbe/ui/TMostraMemoForm.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vardof::qbe {

TMostraMemoForm::TMostraMemoForm(const QString &nomeCampo, const QString &testo, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Campo ") + nomeCampo);
    auto *layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(testo);
    layout->addWidget(Memo1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    ButtonChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    bottom->addWidget(ButtonChiudi);
    layout->addLayout(bottom);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 360);
}

} // namespace vardof::qbe
