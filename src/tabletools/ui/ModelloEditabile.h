#pragma once
// The table editor's grid model: the rows of the data grid's model (fetched
// as the view scrolls), made editable, with rows added and removed.
//
// A changed cell of a stored row is posted at once as an UPDATE of that row
// by its key (TabellaEditor) and committed retaining. A new row collects
// what is typed into it and is inserted when it is saved (the window saves
// it when the user leaves it); a deleted row is removed from the table at
// once. Whatever the server refuses (another user changed the row
// meanwhile, a value that does not fit, a missing required value) is
// reported with the server's message and what was typed stays on screen,
// marked, so nothing typed is lost: the user may change it and try again.
//
// The model keeps its own list of rows over the grid's: rows fetched later
// are appended, new rows sit where they were added, deleted rows leave the
// list. A reload of the grid starts the list over.
#include "db/Column.h"
#include "db/Value.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

namespace vardof::grid { class ModelloGriglia; }

namespace vardof::tabletools {

class TabellaEditor;

class ModelloEditabile : public QAbstractTableModel
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
    // Typed values not in the table: refused cells and new rows not saved.
    bool haModificheNonSalvate() const;
    // Forgets the posted and refused changes and the new rows (the grid was reopened).
    void azzera();

    // ---- rows added and removed ----------------------------------------------
    // Adds an empty row before `row` (at the end for rowCount()); returns its row.
    int nuovaRiga(int row);
    // A row added here and not yet in the table.
    bool rigaNuova(int row) const;
    // Inserts a new row into the table. An untouched new row is dropped
    // instead. False, with the reason in ultimoErrore, when the server
    // refuses: the row and what was typed stay.
    bool salvaRigaNuova(int row);
    // A new row not yet saved that holds something typed.
    bool daSalvare(int row) const;
    // The first new row not yet saved that holds something typed, -1 when none.
    int rigaNuovaDaSalvare() const;
    // Drops a new row not yet saved (nothing reaches the table).
    void scartaRigaNuova(int row);
    // Deletes a row from the table (a new row not yet saved is only
    // dropped) and from the list. False, with the reason, when refused:
    // the row stays.
    bool cancellaRiga(int row);

    // Told of every refused post (the window shows it).
    std::function<void(const QString &)> rifiutato;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct RigaNuova
    {
        std::vector<db::FieldValue> valori; // by column
        QSet<int> scritte;                  // columns typed into
        bool salvata = false;
    };
    // A row of the list: >= 0 a row of the grid, < 0 a new row.
    int id(int row) const { return row >= 0 && size_t(row) < m_righe.size() ? m_righe[size_t(row)] : 0; }
    int riga(int id) const;
    static quint64 chiave(int id, int column) { return (quint64(quint32(id)) << 32) | quint32(column); }
    void ricomincia();
    void dimenticaRiga(int id);
    std::vector<db::Column> colonne() const;

    grid::ModelloGriglia *m_griglia = nullptr;
    TabellaEditor *m_tabella = nullptr;
    std::vector<int> m_righe;
    int m_righeGriglia = 0; // rows of the grid already in the list
    QHash<int, RigaNuova> m_nuove;
    int m_prossimaNuova = -1;
    QHash<quint64, db::FieldValue> m_postati;
    QHash<quint64, QString> m_pendenti;
    QString m_errore;
};

} // namespace vardof::tabletools
