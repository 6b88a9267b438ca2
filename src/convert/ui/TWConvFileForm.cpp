#include "convert/ui/TWConvFileForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "platform/Messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace vardof::convert {

namespace {

const QStringList kTipi{QStringLiteral("A - Alfanumerico"), QStringLiteral("D - Data"),
                        QStringLiteral("N - Numerico")};
const QColor kGrey(0xD0, 0xD0, 0xD0);
const QColor kYellow(0xFF, 0xFF, 0x80);

bool isFlagColumn(int column)
{
    return column == TWConvFileForm::ColNoBlankIni || column == TWConvFileForm::ColPrimaParolaIntera
           || column == TWConvFileForm::ColUltimaParolaIntera;
}

// The cell editors of the layout: each edits one value and hands it to the
// window, which applies the column's rules and redraws the row.
class LayoutDelegate : public QStyledItemDelegate
{
public:
    explicit LayoutDelegate(TWConvFileForm *form) : QStyledItemDelegate(form), m_form(form) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const LayoutRow &row = m_form->TabTracciato.at(size_t(index.row()));
        switch (index.column()) {
        case TWConvFileForm::ColTipo: {
            auto *combo = new QComboBox(parent);
            combo->setObjectName(QStringLiteral("ListTipo"));
            combo->addItems(kTipi);
            return combo;
        }
        case TWConvFileForm::ColOrigine: {
            auto *combo = new QComboBox(parent);
            combo->setObjectName(QStringLiteral("ComboOrigine"));
            for (const SourceField &source : m_form->TabOrigine)
                combo->addItem(source.Origine);
            return combo;
        }
        case TWConvFileForm::ColIntervalloInizio:
        case TWConvFileForm::ColIntervalloFine: {
            auto *spin = new QSpinBox(parent);
            spin->setRange(0, index.column() == TWConvFileForm::ColIntervalloInizio ? row.startMaximum()
                                                                                    : row.lengthMaximum());
            return spin;
        }
        case TWConvFileForm::ColCostante:
            return new QLineEdit(parent);
        default:
            return nullptr;
        }
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const LayoutRow &row = m_form->TabTracciato.at(size_t(index.row()));
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            if (index.column() == TWConvFileForm::ColTipo) {
                combo->setCurrentIndex(std::max(0, int(QStringLiteral("ADN").indexOf(row.Tipo))));
            } else {
                int current = 0;
                for (size_t i = 0; i < m_form->TabOrigine.size(); ++i) {
                    if (m_form->TabOrigine[i].Origine == row.Origine) {
                        current = int(i);
                        break;
                    }
                }
                combo->setCurrentIndex(current);
            }
        } else if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
            spin->setValue(index.column() == TWConvFileForm::ColIntervalloInizio ? row.IntervalloInizio.value_or(0)
                                                                                 : row.IntervalloFine.value_or(0));
        } else if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
            edit->setText(row.Costante);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        QVariant value;
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            value = index.column() == TWConvFileForm::ColTipo ? QVariant(QString(QStringLiteral("ADN").at(combo->currentIndex())))
                                                              : QVariant(combo->currentIndex());
        else if (auto *spin = qobject_cast<QSpinBox *>(editor))
            value = spin->value();
        else if (auto *edit = qobject_cast<QLineEdit *>(editor))
            value = edit->text();
        m_form->storeCell(index.row(), index.column(), value);
    }

private:
    TWConvFileForm *m_form;
};

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

TWConvFileForm::TWConvFileForm(QWidget *owner, bool intestazioni, const QString &fileOrigine,
                               context::TTabForm *context)
    : QDialog(owner), m_context(context)
{
    setWindowTitle(QStringLiteral("Wizard composizione file .conf per la conversione"));

    ButtonTabella = new QPushButton(QStringLiteral("Tabella"), this);
    ComboTabella = new QComboBox(this);
    ComboTabella->setEditable(false);
    ComboTabella->setMinimumContentsLength(31);
    LabelTracciato = new QLabel(QStringLiteral("Tracciato:"), this);
    GridTracciato = new QTableWidget(0, NumeroColonne, this);
    GridTracciato->setHorizontalHeaderLabels(
        {QStringLiteral("N"), QStringLiteral("Destinazione"), QStringLiteral("Tipo"), QStringLiteral("Origine"),
         QStringLiteral("NoBlankIni"), QStringLiteral("IntervalloInizio"), QStringLiteral("IntervalloFine"),
         QStringLiteral("PrimaParolaIntera"), QStringLiteral("UltimaParolaIntera"), QStringLiteral("Costante"),
         QStringLiteral("Dimensione")});
    GridTracciato->setColumnHidden(ColDimensione, true);
    GridTracciato->verticalHeader()->hide();
    GridTracciato->setItemDelegate(new LayoutDelegate(this));
    GridTracciato->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    LabelOrigine = new QLabel(QStringLiteral("Campi file:"), this);
    GridOrigine = new QTableWidget(0, 3, this);
    GridOrigine->setHorizontalHeaderLabels({QStringLiteral("N"), QStringLiteral("Origine"), QStringLiteral("Usato")});
    GridOrigine->verticalHeader()->hide();
    GridOrigine->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LabelTabella = new QLabel(QStringLiteral("Campi tabella:"), this);
    GridTabella = new QTableWidget(0, 2, this);
    GridTabella->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Tipo")});
    GridTabella->verticalHeader()->hide();
    GridTabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ButtonOk = new QPushButton(QStringLiteral("Ok"), this);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto *top = new QHBoxLayout;
    top->addWidget(ButtonTabella);
    top->addWidget(ComboTabella);
    top->addStretch();
    auto *bottom = new QGridLayout;
    bottom->addWidget(LabelOrigine, 0, 0);
    bottom->addWidget(LabelTabella, 0, 1);
    bottom->addWidget(GridOrigine, 1, 0);
    bottom->addWidget(GridTabella, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(LabelTracciato);
    main->addWidget(GridTracciato, 3);
    main->addLayout(bottom, 2);
    main->addLayout(buttons);
    resize(900, 640);

    GridTracciato->installEventFilter(this);

    connect(ButtonTabella, &QPushButton::clicked, this, [this] { ComboTabella->setFocus(); });
    connect(ComboTabella, &QComboBox::activated, this, &TWConvFileForm::ComboTabellaSelect);
    connect(GridTracciato, &QTableWidget::itemChanged, this, &TWConvFileForm::layoutItemChanged);
    connect(ButtonOk, &QPushButton::clicked, this, &TWConvFileForm::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    const QFontMetrics metrics(font());
    const int charWidth = metrics.averageCharWidth();
    GridTracciato->setColumnWidth(ColN, 5 * charWidth + 8);
    GridTracciato->setColumnWidth(ColTipo, 5 * charWidth + 8);
    GridTracciato->setColumnWidth(ColCostante, 15 * charWidth + 8);

    TabOrigine = sourceFields(sourceFieldNames(fileOrigine, intestazioni));
    qsizetype longest = 0;
    for (const SourceField &source : TabOrigine)
        longest = std::max(longest, source.Origine.size());
    GridTracciato->setColumnWidth(ColOrigine, int(std::lround(longest * 1.3)) * charWidth + 24);
    showSources();

    if (!m_context)
        return;
    try {
        ComboTabella->addItems(tableNames(m_context->database(), m_context->transaction()));
        ComboTabella->setCurrentIndex(-1);
        m_ready = true;
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore nella lettura delle tabelle dell'archivio\n") + e.message());
    }
}

void TWConvFileForm::ComboTabellaSelect(int index)
{
    CaricaTabella(index >= 0 ? ComboTabella->itemText(index) : QString());
}

void TWConvFileForm::CaricaTabella(const QString &tabella)
{
    TabTracciato.clear();
    TabTabella.clear();
    if (!tabella.isEmpty() && m_context) {
        try {
            loadTableLayout(m_context->database(), m_context->transaction(), tabella, &TabTracciato, &TabTabella);
        } catch (const db::Error &e) {
            TabTracciato.clear();
            TabTabella.clear();
            platform::error(QStringLiteral("Errore nella lettura della tabella %1\n").arg(tabella) + e.message());
        }
    }
    for (SourceField &source : TabOrigine)
        source.Usato = false;
    showLayout();
    showTableColumns();
    showSources();
    if (!TabTracciato.empty())
        GridTracciato->setCurrentCell(0, ColTipo);
    if (!TabTabella.empty())
        GridTabella->setCurrentCell(0, 0);
    GridOrigine->setCurrentCell(0, 0);
}

bool TWConvFileForm::cellApplies(int row, int column) const
{
    const LayoutRow &r = TabTracciato.at(size_t(row));
    switch (column) {
    case ColTipo:
        return true;
    case ColOrigine:
        return !r.hasConstant();
    case ColNoBlankIni:
    case ColIntervalloInizio:
    case ColPrimaParolaIntera:
    case ColUltimaParolaIntera:
        return r.isRanged();
    case ColIntervalloFine:
        return r.isRanged() && r.IntervalloInizio.value_or(0) > 0;
    case ColCostante:
        return r.Origine == noOrigine();
    default:
        return false;
    }
}

void TWConvFileForm::storeCell(int row, int column, const QVariant &value)
{
    if (row < 0 || size_t(row) >= TabTracciato.size() || !cellApplies(row, column))
        return;
    LayoutRow &r = TabTracciato[size_t(row)];
    switch (column) {
    case ColTipo: {
        const QString letter = value.toString().left(1);
        if (letter == QLatin1String("A") || letter == QLatin1String("D") || letter == QLatin1String("N"))
            r.Tipo = letter;
        break;
    }
    case ColOrigine: {
        const int index = value.toInt();
        if (index < 0 || size_t(index) >= TabOrigine.size())
            break;
        // The use marks follow the choice; they are only a reading aid and
        // do not keep a field from being chosen twice.
        for (SourceField &source : TabOrigine) {
            if (source.Origine == r.Origine && source.Origine != noOrigine()) {
                source.Usato = false;
                break;
            }
        }
        r.Origine = TabOrigine[size_t(index)].Origine;
        if (index > 0)
            TabOrigine[size_t(index)].Usato = true;
        showSources();
        break;
    }
    case ColIntervalloInizio: {
        const int start = std::clamp(value.toInt(), 0, r.startMaximum());
        if (start == 0) {
            r.IntervalloInizio.reset();
            r.IntervalloFine.reset();
        } else {
            r.IntervalloInizio = start;
            if (r.IntervalloFine && *r.IntervalloFine > r.lengthMaximum())
                r.IntervalloFine = r.lengthMaximum();
        }
        break;
    }
    case ColIntervalloFine: {
        const int length = std::clamp(value.toInt(), 0, r.lengthMaximum());
        if (length == 0)
            r.IntervalloFine.reset();
        else
            r.IntervalloFine = length;
        break;
    }
    case ColNoBlankIni:
        r.NoBlankIni = value.toBool();
        break;
    case ColPrimaParolaIntera:
        r.PrimaParolaIntera = value.toBool();
        break;
    case ColUltimaParolaIntera:
        r.UltimaParolaIntera = value.toBool();
        break;
    case ColCostante:
        r.Costante = value.toString();
        break;
    default:
        break;
    }
    showLayoutRow(row);
}

void TWConvFileForm::ButtonOkClick()
{
    if (TabTracciato.empty()) {
        platform::warning(QStringLiteral("Nessun tracciato impostato"));
        return;
    }
    if (const QString problema = definitionProblem(TabTracciato); !problema.isEmpty()) {
        platform::warning(problema);
        return;
    }
    m_risultato = composeDefinition(TabTracciato, TabOrigine);
    accept();
}

void TWConvFileForm::showLayoutRow(int row)
{
    const bool wasShowing = m_showing;
    m_showing = true;
    const LayoutRow &r = TabTracciato.at(size_t(row));
    auto optionalText = [](const std::optional<int> &v) { return v ? QString::number(*v) : QString(); };
    const QString texts[NumeroColonne] = {QString::number(r.N), r.Destinazione, r.Tipo, r.Origine, QString(),
                                          optionalText(r.IntervalloInizio), optionalText(r.IntervalloFine),
                                          QString(), QString(), r.Costante, QString::number(r.Dimensione)};
    const bool flags[NumeroColonne] = {false, false, false, false, r.NoBlankIni, false, false,
                                       r.PrimaParolaIntera, r.UltimaParolaIntera, false, false};
    for (int column = 0; column < NumeroColonne; ++column) {
        auto *item = new QTableWidgetItem;
        const bool editable = column >= ColTipo && column <= ColCostante;
        const bool applies = !editable || cellApplies(row, column);
        if (!applies) {
            // Cells that do not apply to the row show nothing.
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setBackground(kGrey);
        } else if (isFlagColumn(column)) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(flags[column] ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setText(texts[column]);
            item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                    : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (column == ColCostante && r.hasConstant())
                item->setBackground(kYellow);
        }
        GridTracciato->setItem(row, column, item);
    }
    m_showing = wasShowing;
}

void TWConvFileForm::showLayout()
{
    m_showing = true;
    GridTracciato->setRowCount(int(TabTracciato.size()));
    for (int row = 0; row < int(TabTracciato.size()); ++row)
        showLayoutRow(row);
    m_showing = false;
}

void TWConvFileForm::showSources()
{
    GridOrigine->setRowCount(int(TabOrigine.size()));
    for (int row = 0; row < int(TabOrigine.size()); ++row) {
        const SourceField &source = TabOrigine[size_t(row)];
        const QString cells[3] = {source.N, source.Origine,
                                  source.Usato ? QStringLiteral("Sì") : QStringLiteral("No")};
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem *item = readOnlyItem(cells[column]);
            if (source.Usato)
                item->setBackground(kYellow);
            GridOrigine->setItem(row, column, item);
        }
    }
}

void TWConvFileForm::showTableColumns()
{
    GridTabella->setRowCount(int(TabTabella.size()));
    for (int row = 0; row < int(TabTabella.size()); ++row) {
        GridTabella->setItem(row, 0, readOnlyItem(TabTabella[size_t(row)].Campo));
        GridTabella->setItem(row, 1, readOnlyItem(TabTabella[size_t(row)].Tipo));
    }
}

bool TWConvFileForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == GridTracciato && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // An Enter that an open cell editor passes on has already stored
            // its value: it only returns to the grid.
            bool editorOpen = false;
            for (const QWidget *child : GridTracciato->viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                editorOpen = editorOpen || !child->isHidden();
            const QModelIndex index = GridTracciato->currentIndex();
            if (!editorOpen && index.isValid() && size_t(index.row()) < TabTracciato.size()) {
                const int column = index.column();
                if ((column == ColTipo || column == ColIntervalloInizio || column == ColIntervalloFine)
                    && cellApplies(index.row(), column))
                    GridTracciato->edit(index);
            }
            // Left to the dialog, Enter would press its default button.
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Check boxes are toggled by the grid itself (click or Space).
void TWConvFileForm::layoutItemChanged(QTableWidgetItem *item)
{
    if (m_showing || !item || !isFlagColumn(item->column()))
        return;
    const int row = item->row();
    const int column = item->column();
    const bool checked = item->checkState() == Qt::Checked;
    // Redrawing replaces the item: leave the signal first.
    QMetaObject::invokeMethod(this, [this, row, column, checked] { storeCell(row, column, checked); },
                              Qt::QueuedConnection);
}

} // namespace vardof::convert
