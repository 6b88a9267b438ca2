#pragma once

// Interruption by the operating system: SIGINT (Ctrl+C) and SIGTERM on
// POSIX; Ctrl+C, Ctrl+Break and the console's close on Windows.
//
// Only a program that owns its process (the launcher) installs this: the
// library never takes process-wide signals away from its host. Once
// installed, a signal only records itself: long runs see it through their
// interruption request and stop at the next row along their ordinary
// interruption path (rollback, "interrotta" line), and windows are closed
// through onInterruptSignal(). A second signal ends the process at once
// with the same status, for a run stuck inside one long statement.

#include <functional>

namespace vardof::platform {

// Call first thing in main(), before any thread exists. On POSIX the two
// signals are blocked in every thread and taken by one thread of ours with
// sigwait(): no handler ever interrupts a system call of the database
// engine (an interrupted engine once spun for ever inside its detach), and
// the embedded engine's own handlers, which would shut every connection
// down, never run. Child processes get the signals unblocked again
// (platform/Process.h).
void installInterruptSignals();

// The signal that arrived (SIGINT, SIGTERM, ...), 0 when none did.
int interruptSignal();

// The exit status for an interrupted process: 128 + the signal (130, 143).
int interruptExitCode();

// Calls `callback` on the application's main thread when the first signal
// arrives, as soon as an application object exists (it may be made later,
// by the library inside an entry). For window processes: the callback
// closes the windows, and a window mid-run treats that as its interruption.
void onInterruptSignal(std::function<void()> callback);

// For tests: forget a recorded signal.
void resetInterruptSignal();

// Gives a child process the default handling of the two signals back (the
// blocked mask is inherited across exec). Called in the child.
void restoreSignalsInChild();

} // namespace vardof::platform
