#pragma once

// The interrogation grid's model over the window's TabIntTmp: the columns
// Nome, "M" (the row kind) and Condizione. The user types only into
// Condizione, and never into a structural row (headers, links, chain and
// lock markers) unless the program has switched internal editing on; such
// attempts are refused without a word. Rows are coloured by their kind.

#include "qbe/Interrogazione.h"

#include <QAbstractTableModel>

namespace vardof::qbe {

class InterrogationModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Colonna { ColNome = 0, ColMostra = 1, ColCondizione = 2 };

    explicit InterrogationModel(TabIntTmp &tab, QObject *parent = nullptr);

    // The table was changed from outside (filled, buttons, engine).
    void reset();
    void rigaCambiata(int row);
    // Only the row's kind changed (F3): the condition's cell is left alone,
    // so an editor open on it keeps the text being typed.
    void mostraCambiato(int row);

    // While on, the program may edit any row.
    void setModificaInterna(bool on) { m_modificaInterna = on; }
    bool modificaInterna() const { return m_modificaInterna; }

    TabIntTmp &tab() const { return m_tab; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // Rows are never appended through the grid.
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

private:
    TabIntTmp &m_tab;
    bool m_modificaInterna = false;
};

} // namespace vardof::qbe
