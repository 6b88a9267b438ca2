#include "maintenance/ui/TMemoForm.h"

#include "platform/Messages.h"
#include "platform/Services.h"

#include <QFont>
#include <QTextOption>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::maintenance {

TMemoForm::TMemoForm(const QString &nomeProgetto, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Note - Ditta: ") + nomeProgetto);
    Memo = new QPlainTextEdit(this);
    Memo->setReadOnly(true);
    Memo->setFont(QFont(QStringLiteral("Tahoma")));
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Statements and server messages run long: they wrap, at a blank when
    // there is one, so that the whole line is read without scrolling sideways.
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ButtonAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonAnnulla);
    buttons->addWidget(ButtonChiudi);
    layout->addLayout(buttons);
    resize(640, 480);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TMemoForm::ButtonMemoInterrompiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void TMemoForm::preparaElaborazione()
{
    m_interrompi = false;
    m_lines = 0;
    Memo->clear();
    ButtonAnnulla->setText(QStringLiteral("Interrompi"));
    ButtonAnnulla->setEnabled(true);
}

void TMemoForm::fineElaborazione()
{
    ButtonAnnulla->setEnabled(false);
}

void TMemoForm::aggiungiRiga(const QString &riga)
{
    Memo->appendPlainText(riga);
    ++m_lines;
}

int TMemoForm::righe() const
{
    return m_lines;
}

void TMemoForm::ButtonMemoInterrompiClick()
{
    const platform::Answer a = platform::messages().show(platform::Warning, QString(),
                                                          QStringLiteral("Interrompere l'elaborazione?"),
                                                          platform::Buttons::YesNo);
    if (a == platform::Answer::Yes)
        m_interrompi = true;
}

} // namespace vardof::maintenance
