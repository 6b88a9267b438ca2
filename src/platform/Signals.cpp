#include "platform/Signals.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <pthread.h>
#endif

namespace vardof::platform {

namespace {

std::atomic<int> g_signal{0};
std::mutex g_mutex;
std::vector<std::function<void()>> g_callbacks;

// Runs the callbacks on the application's thread; the application object
// may not exist yet, so a helper thread waits for it.
void notify()
{
    std::vector<std::function<void()>> callbacks;
    {
        const std::lock_guard lock(g_mutex);
        callbacks.swap(g_callbacks);
    }
    if (callbacks.empty())
        return;
    std::thread([callbacks = std::move(callbacks)] {
        QCoreApplication *app = nullptr;
        while (!(app = QCoreApplication::instance()))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const auto &callback : callbacks)
            QMetaObject::invokeMethod(app, callback, Qt::QueuedConnection);
    }).detach();
}

void record(int sig)
{
    int expected = 0;
    if (!g_signal.compare_exchange_strong(expected, sig)) {
        // Asked twice: the run did not stop in time (one long statement).
        std::_Exit(128 + expected);
    }
    notify();
}

#if defined(_WIN32)

// Runs on a thread of its own, made by the system for each event.
BOOL WINAPI consoleHandler(DWORD type)
{
    switch (type) {
    case CTRL_C_EVENT:
        record(SIGINT);
        return TRUE;
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        record(SIGTERM);
        return TRUE;
    default:
        return FALSE;
    }
}

#else

sigset_t interruptSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

#endif

} // namespace

void installInterruptSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(_WIN32)
        SetConsoleCtrlHandler(consoleHandler, TRUE);
#else
        const sigset_t set = interruptSet();
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        std::thread([set] {
            for (;;) {
                int sig = 0;
                if (sigwait(&set, &sig) == 0)
                    record(sig);
            }
        }).detach();
#endif
    });
}

int interruptSignal()
{
    return g_signal.load();
}

int interruptExitCode()
{
    const int sig = g_signal.load();
    return sig != 0 ? 128 + sig : 128 + SIGINT;
}

void resetInterruptSignal()
{
    g_signal.store(0);
}

void onInterruptSignal(std::function<void()> callback)
{
    {
        const std::lock_guard lock(g_mutex);
        g_callbacks.push_back(std::move(callback));
    }
    if (g_signal.load() != 0)
        notify();
}

void restoreSignalsInChild()
{
#if !defined(_WIN32)
    const sigset_t set = interruptSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
#endif
}

} // namespace vardof::platform
