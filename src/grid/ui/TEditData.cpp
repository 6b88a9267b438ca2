#include "grid/ui/TEditData.h"

#include "grid/Ricerca.h"

#include <QKeyEvent>

namespace vardof::grid {

TEditData::TEditData(QWidget *parent)
    : QLineEdit(parent)
{
}

void TEditData::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    // Moving and deleting never complete: the user is correcting.
    switch (event->key()) {
    case Qt::Key_Cancel:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Delete:
        return;
    default:
        break;
    }
    const CompletamentoData c = completaData(text());
    if (c.testo != text()) {
        setText(c.testo);
        setCursorPosition(int(c.testo.size()));
    }
    if (c.selezioneInizio >= 0)
        setSelection(c.selezioneInizio, c.selezioneLunghezza);
}

} // namespace vardof::grid
