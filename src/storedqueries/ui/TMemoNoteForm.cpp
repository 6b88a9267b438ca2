#include "storedqueries/ui/TMemoNoteForm.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vardof::storedqueries {

TMemoNoteForm::TMemoNoteForm(const QString &testo, bool readOnly, const QPalette &colori, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Note"));
    auto *layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlainText(testo);
    Memo1->setReadOnly(readOnly);
    Memo1->setPalette(colori);
    layout->addWidget(Memo1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    ButtonChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    ButtonAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    bottom->addWidget(ButtonChiudi);
    bottom->addWidget(ButtonAnnulla);
    layout->addLayout(bottom);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    resize(460, 320);
}

QString TMemoNoteForm::testo() const
{
    return Memo1->toPlainText();
}

} // namespace vardof::storedqueries
