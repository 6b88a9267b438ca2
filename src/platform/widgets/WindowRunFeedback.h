#pragma once

// The window face of a long run: the window says where lines and progress
// go and how its stop request is read; boxes go through the installed
// platform messages (scripted in tests), and keepAlive() lets pending input
// through, which the shared throttle keeps to every ~50 ms. A window with
// hooks of its own (a progress window shown and hidden) subclasses it.

#include "platform/RunFeedback.h"

#include <functional>

namespace vardof::platform {

class WindowRunFeedback : public RunFeedback
{
public:
    std::function<void(const QString &)> onLine;
    std::function<void(int)> onProgress;
    // Read on every interruptRequested(); none: the run cannot be stopped.
    std::function<bool()> interruption;

    void line(const QString &text) override;
    void progress(int percent) override;
    void keepAlive() override;
    bool interruptRequested() override;
    Answer ask(MessageKind kind, const QString &text, Buttons buttons) override;
};

} // namespace vardof::platform
