#pragma once

// The answer grid's model over the window's answer (TabRispTmp): rows are
// fetched as the view scrolls to them, so the first screen of a large
// answer shows at once and memory follows what was actually looked at.
// Whole-answer operations (the record count, sums, exports) call fetchAll().
//
// The model never owns the answer: the window does, and tells the model
// (reset) whenever it opens, reopens or closes it. A fetch that fails (the
// transaction ended under the cursor, the server went away) stops fetching
// and is reported once through fetchFailed().

#include "qbe/Interrogazione.h"

#include <QAbstractTableModel>
#include <QHash>

namespace vardof::qbe {

class CodiciColonne;
class TabRispTmp;

// Default width in characters of an answer column in the grid.
int larghezzaVisualizzata(const db::Column &column);

// A number as the answer grid draws it under digit grouping 1 or 2: a zero
// shows as nothing. Any other grouping gives the library's plain text.
QString testoRaggruppato(double value, int grouping);

class AnswerModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // `codici` are the session's ordering and grouping codes, by column; the
    // window keeps them alive as long as the model.
    AnswerModel(TabRispTmp &risposta, const CodiciColonne &codici, QObject *parent = nullptr);
    // A chain move shows the codes of another session.
    void setCodici(const CodiciColonne &codici) { m_codici = &codici; }

    // The answer was opened, reopened or closed: start over from what it holds.
    void reset();
    // Fetches every remaining row; false when the fetch failed.
    bool fetchAll();
    // Rows fetched in one go when the view asks for more.
    void setBatchSize(int rows) { m_batch = rows > 0 ? rows : 1; }

    TabRispTmp &risposta() const { return m_risposta; }
    TipoCampo classe(int column) const;
    int raggruppamento(int column) const;
    // The title a column shows until the next reset (a saved appearance's
    // cut name).
    void setTitolo(int column, const QString &titolo);
    // Repaints a column after its grouping changed.
    void raggruppamentoCambiato(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void fetchFailed(const QString &serverMessage);

private:
    TabRispTmp &m_risposta;
    const CodiciColonne *m_codici;
    // What the view has been told about; the answer may hold more rows for
    // a moment while a batch is being read.
    int m_righe = 0;
    int m_colonne = 0;
    int m_batch = 256;
    bool m_fallito = false;
    QHash<int, QString> m_titoli;
};

} // namespace vardof::qbe
