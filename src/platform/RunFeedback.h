#pragma once

// How a long run talks back to whoever started it: the lines of its log, its
// progress, a chance for the window to stay alive, the interruption request
// and the questions it must ask. Engines take a RunFeedback and never open a
// box or touch a widget; each face implements it once: the window
// (widgets/WindowRunFeedback.h), the command line and the test recorder
// (both here). What a tool says stays in the tool; only the channel is
// shared.
//
// Progress and keep-alive are throttled here, once for every engine: an
// engine calls step() per row, and the implementation sees progress() and
// keepAlive() at most every ~50 ms, as painting per row would cost more
// than the row itself.

#include "platform/Messages.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace vardof::platform {

// Per cent of `done` over `total`, rounded half up and kept within 0..100;
// 0 when total is not positive.
int percentOf(qint64 done, qint64 total);

// True at most once per interval: the shared rhythm of progress reports.
class ProgressThrottle
{
public:
    static constexpr qint64 kIntervalMs = 50;

    ProgressThrottle() { m_timer.start(); }
    // True when the interval has passed since the start or the last true;
    // the interval then starts again.
    bool due()
    {
        if (m_timer.elapsed() < kIntervalMs)
            return false;
        m_timer.restart();
        return true;
    }
    void restart() { m_timer.restart(); }

private:
    QElapsedTimer m_timer;
};

class RunFeedback
{
public:
    virtual ~RunFeedback() = default;

    // One line of the run's log, in order.
    virtual void line(const QString &text) = 0;
    // Per cent of the current run, as it is to be shown now.
    virtual void progress(int percent) = 0;
    // Lets pending input through (painting, the stop button).
    virtual void keepAlive() {}
    // True when someone asked the run to stop.
    virtual bool interruptRequested() = 0;
    // A box of `kind`; the answer is one `buttons` allows. Plain messages
    // ask with Buttons::Ok and ignore the answer.
    virtual Answer ask(MessageKind kind, const QString &text, Buttons buttons) = 0;

    void tell(MessageKind kind, const QString &text) { (void)ask(kind, text, Buttons::Ok); }
    // A Yes/No question (a confirmation, or a warning with its icon): true on Yes.
    bool confirm(const QString &text, MessageKind kind = Confirmation);

    // Between rows: progress(percentOf(done, total)) and keepAlive() when
    // the throttle is due; true when they were called.
    bool step(qint64 done, qint64 total);
    // The same now, whatever the throttle says (the start and end of a
    // pass); the interval starts again.
    void report(qint64 done, qint64 total);
    // A new pass starts its interval afresh.
    void restartThrottle() { m_throttle.restart(); }

private:
    ProgressThrottle m_throttle;
};

// The command line: log lines on standard output, boxes through the
// installed platform messages (standard error from the launcher), progress
// as one line rewritten on standard error when that is a terminal and not
// at all otherwise, and interruption by SIGINT/SIGTERM (platform/Signals.h).
class CommandLineFeedback : public RunFeedback
{
public:
    CommandLineFeedback();
    ~CommandLineFeedback() override;

    void line(const QString &text) override;
    void progress(int percent) override;
    bool interruptRequested() override;
    Answer ask(MessageKind kind, const QString &text, Buttons buttons) override;

protected:
    // Removes the progress line before anything else is written.
    void clearProgress();

private:
    bool m_terminal = false;
    int m_shown = -1;
};

// Boxes only, through the installed platform messages: for engines that
// work inside one handler of a window and have no log of their own (the
// query engine, the stored-query tables). A plain message carries the
// application's title, as platform::showMessage() does.
class MessageBoxFeedback : public RunFeedback
{
public:
    void line(const QString &) override {}
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    Answer ask(MessageKind kind, const QString &text, Buttons buttons) override;
};

// The test recorder: remembers everything and answers the questions from a
// queue (Yes when it is empty, fitted to the buttons).
class RecordingFeedback : public RunFeedback
{
public:
    struct Question
    {
        MessageKind kind;
        QString text;
        Buttons buttons;
    };

    void line(const QString &text) override;
    void progress(int percent) override { percents << percent; }
    void keepAlive() override { ++keepAlives; }
    bool interruptRequested() override;
    Answer ask(MessageKind kind, const QString &text, Buttons buttons) override;

    QStringList lines;
    QList<Question> asked;
    QList<int> percents;
    int keepAlives = 0;
    std::deque<Answer> answers;
    // Asked on every interruptRequested(); none: never.
    std::function<bool()> interruption;
    // Called with every line, after it is recorded.
    std::function<void(const QString &)> onLine;
};

} // namespace vardof::platform
