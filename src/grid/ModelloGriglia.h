#pragma once

// The model of a data grid over a source of ours: rows are fetched as the
// view scrolls to them (the first screen of a large answer shows at once),
// cell texts come from the one cell formatter, and the view's layout
// (titles, column and title colours, the current row's indicator) is kept
// here by field so that it survives the view moving columns around.
//
// The model never owns the source. It starts over whenever the source
// opens or closes. A fetch that fails (the transaction ended under the
// cursor, the server went away) stops fetching and is reported once
// through fetchFailed().

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>

namespace vardof::grid {

class SorgenteDati;

// A stored colour (red in the low byte; a top byte of 128 names a system
// colour by its index) as the screen shows it; invalid for 0.
QColor coloreDa(int valore);
// The stored form of a colour picked on the screen.
int valoreColore(const QColor &colore);

class ModelloGriglia : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ModelloGriglia(QObject *parent = nullptr);

    void setSorgente(SorgenteDati *sorgente);
    SorgenteDati *sorgente() const { return m_sorgente; }

    // Fetches every remaining row; false when the fetch failed.
    bool fetchAll();
    void setBatchSize(int rows) { m_batch = rows > 0 ? rows : 1; }

    // Titles and colours by field name (upper case); an empty title or an
    // invalid colour gives the default back.
    void setTitolo(const QString &campo, const QString &titolo);
    QString titolo(int column) const;
    void setColoreColonna(const QString &campo, const QColor &colore);
    QColor coloreColonna(int column) const;
    void setColoreTitolo(const QString &campo, const QColor &colore);
    QColor coloreTitolo(int column) const;
    void azzeraColoriTitoli();
    void azzeraAspetto();
    // The row marked in the indicator column.
    void setRigaCorrente(int row);

    QString nomeCampo(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void fetchFailed(const QString &serverMessage);

private:
    void riparti();
    void annunciaRighe();

    SorgenteDati *m_sorgente = nullptr;
    int m_righe = 0;
    int m_colonne = 0;
    int m_batch = 256;
    bool m_fallito = false;
    int m_corrente = -1;
    QHash<QString, QString> m_titoli;
    QHash<QString, QColor> m_coloriColonne;
    QHash<QString, QColor> m_coloriTitoli;
};

} // namespace vardof::grid
