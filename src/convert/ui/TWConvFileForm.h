#pragma once

// The definition wizard: the columns of a table of the work database become
// the destination fields, and for each the user says where its value comes
// from (a source field, optionally cut to a range, a constant, or nothing).
// On OK, Risultato() holds the lines of a delimited definition. The lists
// and the composition live in convert/ConfWizard.h; this window shows them
// and edits them. Database failures are shown to the user; when the table
// list cannot be read isReady() is false and the window must not be shown.

#include "convert/ConfWizard.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace vardof::context { class TTabForm; }

namespace vardof::convert {

class TWConvFileForm : public QDialog
{
    Q_OBJECT

public:
    // Columns of GridTracciato, in the order of TabTracciato's items.
    enum ColonnaTracciato {
        ColN, ColDestinazione, ColTipo, ColOrigine, ColNoBlankIni, ColIntervalloInizio,
        ColIntervalloFine, ColPrimaParolaIntera, ColUltimaParolaIntera, ColCostante, ColDimensione,
        NumeroColonne
    };

    TWConvFileForm(QWidget *owner, bool intestazioni, const QString &fileOrigine, context::TTabForm *context);

    bool isReady() const { return m_ready; }
    const QStringList &Risultato() const { return m_risultato; }

    void ComboTabellaSelect(int index);
    void CaricaTabella(const QString &tabella);
    void ButtonOkClick();

    // Whether a cell of the layout takes a value for its row.
    bool cellApplies(int row, int column) const;
    // Stores an edited value with the rules of its column: types by their
    // letter, sources by their index in TabOrigine (with the use marks),
    // ranges clamped to their bounds (0 clears), flags, constants.
    void storeCell(int row, int column, const QVariant &value);

    std::vector<LayoutRow> TabTracciato;
    std::vector<SourceField> TabOrigine;
    std::vector<TableColumnRow> TabTabella;

    QPushButton *ButtonTabella;
    QComboBox *ComboTabella;
    QLabel *LabelTracciato;
    QTableWidget *GridTracciato;
    QLabel *LabelOrigine;
    QTableWidget *GridOrigine;
    QLabel *LabelTabella;
    QTableWidget *GridTabella;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;

protected:
    // Enter in a cell of the layout opens the cell's editor where the cell
    // has one (type list, range numbers) and never presses a button.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showLayoutRow(int row);
    void showLayout();
    void showSources();
    void showTableColumns();
    void layoutItemChanged(QTableWidgetItem *item);

    context::TTabForm *m_context;
    QStringList m_risultato;
    bool m_ready = false;
    bool m_showing = false;
};

} // namespace vardof::convert
