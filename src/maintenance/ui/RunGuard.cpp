#include "maintenance/ui/RunGuard.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace vardof::maintenance {

class RunGuard::CloseFilter : public QObject
{
public:
    CloseFilter(QWidget *window, std::function<void()> onCloseAttempt)
        : m_window(window)
        , m_onCloseAttempt(std::move(onCloseAttempt))
    {
        window->installEventFilter(this);
    }
    ~CloseFilter() override
    {
        if (m_window)
            m_window->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Close) {
            event->ignore();
            attempt();
            return true;
        }
        // A dialog rejects itself on Escape without any close event.
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)) {
            attempt();
            return true;
        }
        return false;
    }

private:
    void attempt()
    {
        // The function usually asks a question; a second attempt while it
        // is open is simply refused.
        if (!m_onCloseAttempt || m_asking)
            return;
        m_asking = true;
        const QPointer<QObject> alive(this);
        m_onCloseAttempt();
        if (alive)
            m_asking = false;
    }

    QPointer<QWidget> m_window;
    std::function<void()> m_onCloseAttempt;
    bool m_asking = false;
};

RunGuard::RunGuard(std::initializer_list<QWidget *> controls, bool *running)
    : RunGuard(std::vector<QWidget *>(controls), running)
{
}

RunGuard::RunGuard(const std::vector<QWidget *> &controls, bool *running)
    : m_running(running)
{
    if (m_running) {
        m_wasRunning = *m_running;
        *m_running = true;
    }
    for (QWidget *w : controls)
        disable(w);
}

RunGuard::~RunGuard()
{
    m_filters.clear();
    // Given back in reverse, so that a control listed twice ends as it began.
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        if (it->widget)
            it->widget->setEnabled(it->enabled);
    if (m_running)
        *m_running = m_wasRunning;
}

void RunGuard::disable(QWidget *w)
{
    if (!w)
        return;
    // The control's own setting, not the one it inherits from a disabled parent.
    m_saved.push_back({w, !w->testAttribute(Qt::WA_ForceDisabled)});
    w->setEnabled(false);
}

RunGuard &RunGuard::holdOpen(QWidget *window, std::function<void()> onCloseAttempt)
{
    if (window)
        m_filters.push_back(std::make_unique<CloseFilter>(window, std::move(onCloseAttempt)));
    return *this;
}

} // namespace vardof::maintenance
