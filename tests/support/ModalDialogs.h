#pragma once

// Window tests drive modal dialogs from inside their exec(): a short timer
// waits for the dialog to become the active modal widget, then acts on it.

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vardof::test {

// Runs `act` on the next modal dialog of type T once it is shown. The timer
// that waits is returned: a test that expects no dialog deletes it.
template<typename T>
QTimer *whenShown(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
    return timer;
}

} // namespace vardof::test
