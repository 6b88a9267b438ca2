#include "maintenance/ui/StoredRowsForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "maintenance/StoreTables.h"
#include "platform/Messages.h"

#include <QHBoxLayout>
#include <QHeaderView>

#include <algorithm>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardof::maintenance {

StoredRowsForm::StoredRowsForm(context::TTabForm *context, const QString &table, const QString &selectSql,
                               QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_table(table)
    , m_rows(std::make_unique<StoredRows>(context->database(), context->transaction(), table, selectSql))
{
    Grid = new QTableWidget(this);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->verticalHeader()->hide();
    ButtonNuovo = new QPushButton(QStringLiteral("Nuovo"), this);
    ButtonEdit = new QPushButton(QStringLiteral("Edit"), this);
    ButtonMemorizza = new QPushButton(QStringLiteral("Memorizza"), this);
    ButtonAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    ButtonElimina = new QPushButton(QStringLiteral("Elimina"), this);
    ButtonElabora = new QPushButton(QStringLiteral("Elabora"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    ButtonAggiorna = new QPushButton(QStringLiteral("Aggiorna ±"), this);
    for (QPushButton *b : {ButtonNuovo, ButtonEdit, ButtonMemorizza, ButtonAnnulla, ButtonElimina, ButtonElabora,
                           ButtonChiudi, ButtonAggiorna})
        b->setAutoDefault(false);

    connect(ButtonNuovo, &QPushButton::clicked, this, &StoredRowsForm::ButtonNuovoClick);
    connect(ButtonEdit, &QPushButton::clicked, this, &StoredRowsForm::ButtonEditClick);
    connect(ButtonMemorizza, &QPushButton::clicked, this, &StoredRowsForm::ButtonMemorizzaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &StoredRowsForm::ButtonAnnullaClick);
    connect(ButtonElimina, &QPushButton::clicked, this, &StoredRowsForm::ButtonEliminaClick);
    connect(ButtonAggiorna, &QPushButton::clicked, this, &StoredRowsForm::ButtonAggiornaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::close);
    connect(Grid, &QTableWidget::itemSelectionChanged, this, &StoredRowsForm::gridRowChanged);
}

void StoredRowsForm::build(QWidget *fields, const QList<QPushButton *> &extraButtons)
{
    m_fields = fields;
    m_extraButtons = extraButtons;
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(Grid, 1);
    m_layout->addWidget(fields);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {ButtonNuovo, ButtonEdit, ButtonMemorizza, ButtonAnnulla, ButtonElimina, ButtonAggiorna})
        buttons->addWidget(b);
    for (QPushButton *b : extraButtons)
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(ButtonElabora);
    buttons->addWidget(ButtonChiudi);
    m_layout->addLayout(buttons);
}

std::vector<QWidget *> StoredRowsForm::controlliElaborazione() const
{
    std::vector<QWidget *> out{Grid, m_fields, ButtonNuovo, ButtonEdit, ButtonMemorizza, ButtonAnnulla,
                               ButtonElimina, ButtonElabora, ButtonChiudi, ButtonAggiorna};
    for (QPushButton *b : m_extraButtons)
        out.push_back(b);
    return out;
}

void StoredRowsForm::fillGrid()
{
    const QSignalBlocker block(Grid);
    StoredRows &r = *m_rows;
    Grid->clear();
    Grid->setColumnCount(int(r.fields().size()));
    Grid->setHorizontalHeaderLabels(r.fields());
    Grid->setRowCount(r.count());
    for (int i = 0; i < r.count(); ++i)
        for (int c = 0; c < r.fields().size(); ++c) {
            QString t = r.text(i, r.fields()[c]);
            t.replace(QLatin1Char('\n'), QLatin1Char(' '));
            Grid->setItem(i, c, new QTableWidgetItem(t.left(200)));
        }
    // Every title whole (NOMETABELLAFDB1 was cut at the default width);
    // long texts such as scripts and notes stop at a readable width.
    Grid->resizeColumnsToContents();
    const QFontMetrics titles(Grid->horizontalHeader()->font());
    for (int c = 0; c < Grid->columnCount(); ++c) {
        const int title = titles.horizontalAdvance(r.fields()[c]) + 24;
        Grid->setColumnWidth(c, std::max(title, std::min(Grid->columnWidth(c), 300)));
    }
    if (r.current() >= 0)
        Grid->selectRow(r.current());
}

void StoredRowsForm::reopen(int codice, int fallback)
{
    try {
        m_rows->reload(codice, fallback);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante la lettura dell'elenco:") + QLatin1Char('\n') + e.message());
    }
    fillGrid();
    showCurrent();
}

void StoredRowsForm::showCurrent()
{
    showRow(m_rows->current());
}

void StoredRowsForm::gridRowChanged()
{
    if (m_editing)
        return;
    const auto selected = Grid->selectionModel()->selectedRows();
    m_rows->setCurrent(selected.isEmpty() ? -1 : selected.first().row());
    showCurrent();
}

void StoredRowsForm::SettaggioInterfaccia(bool editing)
{
    m_editing = editing;
    ButtonAggiorna->setProperty("tag", editing ? 1 : 0);
    enableFields(editing);
    for (QWidget *w : std::initializer_list<QWidget *>{ButtonChiudi, ButtonEdit, ButtonElimina, ButtonNuovo,
                                                        ButtonElabora, Grid})
        w->setEnabled(!editing);
}

void StoredRowsForm::ButtonNuovoClick()
{
    if (m_inElaborazione)
        return;
    int codice = 1;
    try {
        codice = prossimoCodice(m_context->database(), m_context->transaction(), m_table);
    } catch (const db::Error &) {
        codice = 1;
    }
    m_inserting = true;
    m_editedCodice = -1;
    newRow(codice);
    SettaggioInterfaccia(true);
    afterEditEntered();
}

void StoredRowsForm::ButtonEditClick()
{
    if (m_inElaborazione)
        return;
    if (m_rows->current() < 0)
        return;
    m_inserting = false;
    m_editedCodice = m_rows->currentCodice();
    SettaggioInterfaccia(true);
    afterEditEntered();
}

void StoredRowsForm::ButtonMemorizzaClick()
{
    if (m_inElaborazione)
        return;
    if (!m_editing) {
        platform::information(QStringLiteral("Non ci sono modifiche da salvare"));
        return;
    }
    Memorizzazione();
}

void StoredRowsForm::Memorizzazione()
{
    if (!canSave())
        return;
    const int codice = codiceCorrente();
    try {
        m_rows->post(rowValues(), m_inserting ? -1 : m_editedCodice);
        if (commitRetaining())
            m_context->transaction().commitRetaining();
        else
            m_context->transaction().commit();
    } catch (const db::Error &e) {
        // Still editing: the user can correct the value the server refused.
        platform::error(QStringLiteral("Errore interno durante il salvataggio delle modifiche:") + QLatin1Char('\n')
                        + e.message());
        return;
    }
    m_inserting = false;
    SettaggioInterfaccia(false);
    reopen(codice, m_rows->current());
}

void StoredRowsForm::ButtonAnnullaClick()
{
    if (m_inElaborazione)
        return;
    if (!m_editing) {
        platform::information(QStringLiteral("Non ci sono modifiche da annullare"));
        return;
    }
    if (platform::confirm(QStringLiteral("Sicuro di voler annullare le modifiche?")))
        Annullamento();
}

void StoredRowsForm::Annullamento()
{
    const int codice = m_rows->currentCodice();
    try {
        db::Transaction &t = m_context->transaction();
        if (t.isActive())
            t.rollback();
        t.start();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante l'annullamento delle modifiche:") + QLatin1Char('\n')
                        + e.message());
    }
    m_inserting = false;
    SettaggioInterfaccia(false);
    reopen(codice, m_rows->current());
}

void StoredRowsForm::ButtonAggiornaClick()
{
    if (m_inElaborazione)
        return;
    Annullamento();
}

void StoredRowsForm::ButtonEliminaClick()
{
    if (m_inElaborazione)
        return;
    if (m_rows->count() == 0 || m_rows->current() < 0) {
        platform::information(QStringLiteral("Non ci sono record da cancellare!"));
        return;
    }
    if (!platform::confirm(QStringLiteral("Sicuro di voler cancellare il record selezionato?")))
        return;
    const int previous = m_rows->current() > 0 ? m_rows->current() - 1 : 0;
    try {
        m_rows->remove(m_rows->currentCodice());
        if (commitRetaining())
            m_context->transaction().commitRetaining();
        else
            m_context->transaction().commit();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore interno durante l'eliminazione:") + QLatin1Char('\n') + e.message());
        return;
    }
    reopen(-1, previous);
}

} // namespace vardof::maintenance
