#include "platform/RunFeedback.h"

#include "platform/Services.h"
#include "platform/Signals.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define VARDOF_ISATTY _isatty
#define VARDOF_FILENO _fileno
#else
#include <unistd.h>
#define VARDOF_ISATTY isatty
#define VARDOF_FILENO fileno
#endif

namespace vardof::platform {

int percentOf(qint64 done, qint64 total)
{
    if (total <= 0 || done <= 0)
        return 0;
    if (done >= total)
        return 100;
    return int((done * 200 + total) / (2 * total));
}

bool RunFeedback::confirm(const QString &text, MessageKind kind)
{
    const Answer a = ask(kind, text, Buttons::YesNo);
    return a == Answer::Yes || a == Answer::Ok;
}

bool RunFeedback::step(qint64 done, qint64 total)
{
    if (!m_throttle.due())
        return false;
    progress(percentOf(done, total));
    keepAlive();
    return true;
}

void RunFeedback::report(qint64 done, qint64 total)
{
    progress(percentOf(done, total));
    keepAlive();
    m_throttle.restart();
}

// ---- command line ----------------------------------------------------------------

CommandLineFeedback::CommandLineFeedback() : m_terminal(VARDOF_ISATTY(VARDOF_FILENO(stderr)) != 0) {}

CommandLineFeedback::~CommandLineFeedback()
{
    clearProgress();
}

void CommandLineFeedback::clearProgress()
{
    if (m_shown < 0)
        return;
    std::fputs("\r     \r", stderr);
    std::fflush(stderr);
    m_shown = -1;
}

void CommandLineFeedback::line(const QString &text)
{
    clearProgress();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CommandLineFeedback::progress(int percent)
{
    if (!m_terminal || percent == m_shown)
        return;
    std::fprintf(stderr, "\r%3d%%", percent);
    std::fflush(stderr);
    m_shown = percent;
}

bool CommandLineFeedback::interruptRequested()
{
    return interruptSignal() != 0;
}

Answer CommandLineFeedback::ask(MessageKind kind, const QString &text, Buttons buttons)
{
    clearProgress();
    return messages().show(kind, QString(), text, buttons);
}

Answer MessageBoxFeedback::ask(MessageKind kind, const QString &text, Buttons buttons)
{
    return messages().show(kind, kind == Plain ? applicationTitle() : QString(), text, buttons);
}

// ---- test recorder ---------------------------------------------------------------

void RecordingFeedback::line(const QString &text)
{
    lines << text;
    if (onLine)
        onLine(text);
}

bool RecordingFeedback::interruptRequested()
{
    return interruption && interruption();
}

Answer RecordingFeedback::ask(MessageKind kind, const QString &text, Buttons buttons)
{
    asked << Question{kind, text, buttons};
    Answer a = Answer::Yes;
    if (!answers.empty()) {
        a = answers.front();
        answers.pop_front();
    }
    return fitAnswer(buttons, a);
}

} // namespace vardof::platform
