#pragma once
// The table editor's grid model: the rows of the data grid's model (fetched
// as the view scrolls), made editable. A changed cell is posted at once as
// an UPDATE of that row by its key (TabellaEditor) and committed retaining.
// A post the server refuses (another user changed the row meanwhile, a
// value that does not fit) is reported with the server's message and the
// typed value stays in the cell, marked, so nothing typed is lost; the user
// may change it again or reload.
#include "db/Value.h"

#include <QHash>
#include <QIdentityProxyModel>

#include <functional>
#include <optional>

namespace vardof::grid { class ModelloGriglia; }

namespace vardof::tabletools {

class TabellaEditor;

class ModelloEditabile : public QIdentityProxyModel
{
    Q_OBJECT
public:
    explicit ModelloEditabile(QObject *parent = nullptr);

    void setGriglia(grid::ModelloGriglia *griglia);
    // Null: read only.
    void setTabella(TabellaEditor *tabella);
    TabellaEditor *tabella() const { return m_tabella; }
    // The current values of a row (posted changes included), by column.
    std::vector<db::FieldValue> valori(int row) const;
    db::FieldValue valore(int row, int column) const;
    // Posts `value` into a cell; false (with the reason in ultimoErrore) when refused.
    bool posta(int row, int column, const db::FieldValue &value);
    // Text typed into a cell to the column's value; nullopt when it does not convert.
    std::optional<db::FieldValue> daTesto(int column, const QString &testo) const;
    const QString &ultimoErrore() const { return m_errore; }
    bool haModificheNonSalvate() const { return !m_pendenti.isEmpty(); }
    // Forgets the posted and refused changes (the grid was reopened).
    void azzera();

    // Told of every refused post (the window shows it).
    std::function<void(const QString &)> rifiutato;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    static quint64 chiave(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    grid::ModelloGriglia *m_griglia = nullptr;
    TabellaEditor *m_tabella = nullptr;
    QHash<quint64, db::FieldValue> m_postati;
    QHash<quint64, QString> m_pendenti;
    QString m_errore;
};

} // namespace vardof::tabletools
