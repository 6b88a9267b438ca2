#include "qbe/ui/GrigliaQuery.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace vardof::qbe {

namespace {
bool tastoFunzione(int key)
{
    return key >= Qt::Key_F1 && key <= Qt::Key_F12;
}
} // namespace

GrigliaQuery::GrigliaQuery(QWidget *parent)
    : QTableView(parent)
{
}

void GrigliaQuery::postEdit()
{
    if (!m_editor)
        return;
    QLineEdit *editor = m_editor;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_editor = nullptr;
}

QLineEdit *GrigliaQuery::editorAperto() const
{
    return m_editor;
}

void GrigliaQuery::editorCreato(QLineEdit *editor)
{
    m_editor = editor;
    editor->installEventFilter(this);
}

void GrigliaQuery::keyReleaseEvent(QKeyEvent *event)
{
    if (tastoFunzione(event->key()) && !event->isAutoRepeat()) {
        emit tastoRilasciato(event->key());
        event->accept();
        return;
    }
    QTableView::keyReleaseEvent(event);
}

bool GrigliaQuery::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (tastoFunzione(key->key()) && !key->isAutoRepeat()) {
            emit tastoRilasciato(key->key());
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

EditorCella::EditorCella(GrigliaQuery *grid, int maxLength)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
    , m_maxLength(maxLength)
{
}

QWidget *EditorCella::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setMaxLength(m_maxLength);
    editor->setFrame(false);
    m_grid->editorCreato(editor);
    return editor;
}

} // namespace vardof::qbe
