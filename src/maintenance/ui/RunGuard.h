#pragma once

// A long run stays inside one handler and lets pending input through
// between its rows. Whatever the user can reach meanwhile runs in the middle
// of the run: a button that checks, edits, saves or starts again may close
// and reopen the very connection and transaction the run is writing
// through, and the run then goes on over freed objects (a crash, with part
// of its work committed by the other handler and the rest lost).
//
// A RunGuard, held for the length of a run, keeps the user to what is safe
// then:
// - the controls it is given are disabled, and each gets back the enabled
//   state it had when the guard ends (a control that was disabled stays so);
// - the windows it holds open refuse to close (their caption's close button,
//   Alt+F4, Escape) and call the given function instead, typically the
//   run's interruption question, or nothing;
// - the running flag it is given is true meanwhile.
//
// Programmatic accept()/reject() are not intercepted: the buttons that call
// them are among the disabled controls. Nothing here creates threads; the
// guard and the windows live on the user-interface thread.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vardof::maintenance {

class RunGuard
{
public:
    explicit RunGuard(std::initializer_list<QWidget *> controls, bool *running = nullptr);
    explicit RunGuard(const std::vector<QWidget *> &controls, bool *running = nullptr);
    ~RunGuard();
    RunGuard(const RunGuard &) = delete;
    RunGuard &operator=(const RunGuard &) = delete;

    // Until the guard ends, an attempt to close `window` calls `onCloseAttempt`
    // (may be empty) and the window stays open.
    RunGuard &holdOpen(QWidget *window, std::function<void()> onCloseAttempt = {});

private:
    class CloseFilter;
    struct Saved
    {
        QPointer<QWidget> widget;
        bool enabled;
    };
    void disable(QWidget *w);

    std::vector<Saved> m_saved;
    std::vector<std::unique_ptr<CloseFilter>> m_filters;
    bool *m_running;
    bool m_wasRunning = false;
};

} // namespace vardof::maintenance
