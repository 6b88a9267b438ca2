#pragma once

// The grids of the query window. The window acts on function keys when they
// are released, also while a condition is being typed (the helpers insert
// into the text being edited), so the grid reports releases of F1..F12 from
// itself and from its cell editor. postEdit() writes a pending cell edit
// into the model, as a button does before it reads the interrogation.

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

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class EditorCella;
    void editorCreato(QLineEdit *editor);
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
