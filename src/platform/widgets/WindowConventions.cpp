#include "platform/widgets/WindowConventions.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWheelEvent>

namespace vardof::platform {

namespace {

bool changesWithWheel(const QWidget *w)
{
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

void conform(QWidget *w)
{
    if (changesWithWheel(w)) {
        // The wheel no longer gives the focus either.
        if (w->focusPolicy() == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
        if (plain->isReadOnly())
            plain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    } else if (auto *rich = qobject_cast<QTextEdit *>(w)) {
        if (rich->isReadOnly())
            rich->setLineWrapMode(QTextEdit::WidgetWidth);
    }
}

// The drop-down or spin box a wheel event would change: the widget itself
// or the one it is part of (a spin box's line edit).
QWidget *wheelTarget(QWidget *w)
{
    for (int depth = 0; w && depth < 2; ++depth, w = w->parentWidget()) {
        if (changesWithWheel(w))
            return w;
    }
    return nullptr;
}

} // namespace

WindowConventions::WindowConventions()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

WindowConventions::~WindowConventions()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void WindowConventions::apply(QWidget *window)
{
    conform(window);
    for (QWidget *child : window->findChildren<QWidget *>())
        conform(child);
}

bool WindowConventions::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Polish:
        conform(w);
        break;
    case QEvent::Wheel: {
        QWidget *target = wheelTarget(w);
        if (target && !target->hasFocus() && !target->isAncestorOf(QApplication::focusWidget())) {
            // Passed to what holds it (a scroll area scrolls), never to the value.
            if (QWidget *outer = target->parentWidget())
                QCoreApplication::sendEvent(outer, event);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace vardof::platform
