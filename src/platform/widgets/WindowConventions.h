#pragma once

// The conventions every window of the library follows, applied while an
// entry runs rather than window by window:
// - drop-downs and spin boxes change only when they have the focus: a wheel
//   notch over a closed one scrolls what contains it (an import wizard once
//   had a generator chosen, irrevocably, by a passing wheel);
// - read-only memos (logs and summaries) wrap long lines.
//
// The filter sits on the application object only for the life of this
// object, so the host's own windows are left as the host made them.

#include <QObject>

namespace vardof::platform {

class WindowConventions : public QObject
{
public:
    WindowConventions();
    ~WindowConventions() override;

    // The same conventions applied at once to a window and its children
    // (for windows made before the filter was installed).
    static void apply(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace vardof::platform
