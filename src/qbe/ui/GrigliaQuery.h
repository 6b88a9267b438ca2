#pragma once

// The grids of the query window. The window acts on function keys when they
// are released, also while a condition is being typed (the helpers insert
// into the text being edited), so the grid reports releases of F1..F12 from
// itself and from its cell editor. postEdit() writes a pending cell edit
// into the model, as a button does before it reads the interrogation.
//
// A model that fetches its rows as the view scrolls only knows the rows it
// has read; Ctrl+End and the vertical scroll bar taken to its bottom mean
// the last record, so the grid asks for the rest (fineRichiesta) first.

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

class QLineEdit;

namespace vardof::qbe {

class GrigliaQuery : public QTableView
{
    Q_OBJECT
public:
    explicit GrigliaQuery(QWidget *parent = nullptr);

    // Writes the text of an open cell editor into the model and closes it.
    void postEdit();
    // The open cell editor, if any.
    QLineEdit *editorAperto() const;

signals:
    void tastoRilasciato(int key);
    // The user asked for the last record while the model can fetch more:
    // the receiver fetches the rest before the grid moves there.
    void fineRichiesta();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class EditorCella;
    void editorCreato(QLineEdit *editor);
    bool richiediFine();
    void barraVerticale(int action);
    QPointer<QLineEdit> m_editor;
};

// The cell editor: a line as long as the column allows.
class EditorCella : public QStyledItemDelegate
{
    Q_OBJECT
public:
    EditorCella(GrigliaQuery *grid, int maxLength);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

private:
    GrigliaQuery *m_grid;
    int m_maxLength;
};

} // namespace vardof::qbe
