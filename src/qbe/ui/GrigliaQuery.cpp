#include "qbe/ui/GrigliaQuery.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

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
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &GrigliaQuery::barraVerticale);
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this,
            [this] { barraVerticale(QAbstractSlider::SliderMove); });
}

bool GrigliaQuery::richiediFine()
{
    if (!model() || !model()->canFetchMore(rootIndex()))
        return false;
    emit fineRichiesta();
    // The scroll range follows the rows just read at once, not at the next
    // layout, so that the move that follows can reach them.
    updateGeometries();
    return true;
}

void GrigliaQuery::barraVerticale(int action)
{
    QScrollBar *barra = verticalScrollBar();
    // Dragged to the bottom (the drag reports SliderMove with the position
    // it is going to take), or sent there from the bar's own menu.
    const bool inFondo = action == QAbstractSlider::SliderToMaximum
                         || (action == QAbstractSlider::SliderMove && barra->sliderPosition() >= barra->maximum());
    if (!inFondo || !richiediFine())
        return;
    // The range grows with the rows just read; stay at the bottom of it.
    scrollToBottom();
    barra->setSliderPosition(barra->maximum());
}

QModelIndex GrigliaQuery::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (cursorAction == MoveEnd && (modifiers & Qt::ControlModifier))
        richiediFine();
    return QTableView::moveCursor(cursorAction, modifiers);
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

void GrigliaQuery::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Closed by Enter, Esc or a click elsewhere: nothing is pending any more,
    // even before the editor is deleted.
    if (editor == m_editor)
        m_editor = nullptr;
    QTableView::closeEditor(editor, hint);
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
