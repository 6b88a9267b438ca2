#include "platform/widgets/WindowRunFeedback.h"

#include "platform/Services.h"

#include <QCoreApplication>

namespace vardof::platform {

void WindowRunFeedback::line(const QString &text)
{
    if (onLine)
        onLine(text);
}

void WindowRunFeedback::progress(int percent)
{
    if (onProgress)
        onProgress(percent);
}

void WindowRunFeedback::keepAlive()
{
    QCoreApplication::processEvents();
}

bool WindowRunFeedback::interruptRequested()
{
    return interruption && interruption();
}

Answer WindowRunFeedback::ask(MessageKind kind, const QString &text, Buttons buttons)
{
    return messages().show(kind, QString(), text, buttons);
}

} // namespace vardof::platform
