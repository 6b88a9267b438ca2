#include "entry/ui/TListTabForm.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "platform/Messages.h"

#include <QBoxLayout>
#include <QListWidget>
#include <QPushButton>

namespace vardof::entry {

TListTabForm::TListTabForm(db::Attachment &database, db::Transaction &transaction, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Elenco tabelle"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    layout->addWidget(ListBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    ButtonApri = new QPushButton(QStringLiteral("Apri"), this);
    ButtonApri->setDefault(true);
    ButtonAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    buttons->addWidget(ButtonApri);
    buttons->addWidget(ButtonAnnulla);
    layout->addLayout(buttons);
    resize(320, 420);

    try {
        ListBox1->addItems(db::catalog::userTables(database, transaction));
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile leggere l'elenco delle tabelle") + QLatin1Char('\r') + e.message());
    }
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);

    connect(ButtonApri, &QPushButton::clicked, this, &TListTabForm::ButtonApriClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TListTabForm::ButtonAnnullaClick);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TListTabForm::ListBox1DblClick);
}

QString TListTabForm::tabellaScelta() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item ? item->text() : QString();
}

void TListTabForm::ButtonApriClick()
{
    Risposta = 1;
    accept();
}

void TListTabForm::ButtonAnnullaClick()
{
    Risposta = 2;
    reject();
}

void TListTabForm::ListBox1DblClick(QListWidgetItem *item)
{
    ListBox1->setCurrentItem(item);
    ButtonApriClick();
}

} // namespace vardof::entry
