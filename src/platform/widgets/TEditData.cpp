#include "platform/widgets/TEditData.h"

#include "platform/DataDigitata.h"

#include <QKeyEvent>

namespace vardof::platform {

TEditData::TEditData(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(10);
}

void TEditData::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    // Moving and deleting never complete: the user is correcting. Keys
    // that type nothing (Tab into the box, Shift) leave the text alone.
    switch (event->key()) {
    case Qt::Key_Cancel:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return;
    default:
        break;
    }
    if (event->text().isEmpty())
        return;
    const CompletamentoData c = completaData(text());
    if (c.testo != text())
        setText(c.testo);
    if (c.lunghezzaSelezione > 0)
        setSelection(c.inizioSelezione, c.lunghezzaSelezione);
    else
        setCursorPosition(int(c.testo.size()));
}

void TEditData::focusOutEvent(QFocusEvent *event)
{
    if (const std::optional<QString> d = normalizzaData(text()))
        setText(*d);
    QLineEdit::focusOutEvent(event);
}

} // namespace vardof::platform
