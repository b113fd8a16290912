#pragma once
// Hands work from any thread, or from a signal handler, to the GUI thread. The work waits in
// a queue guarded by a mutex, and a byte through a pipe watched by the GUI thread's event
// loop wakes it to run everything queued, in order. Nothing else crosses the threads.
#include <chrono>
#include <functional>

namespace fw {

// Makes the GUI thread watch for work; call on the GUI thread once the application exists.
// Later calls do nothing. Work posted before then waits.
void PrepareGuiThread();
// Queues the work for the GUI thread; callable from any thread.
void PostToGuiThread(std::function<void()> work);
// As PostToGuiThread, the work run no sooner than the delay from now (a timer of the GUI
// thread's counts it).
void PostToGuiThreadAfter(std::chrono::milliseconds delay, std::function<void()> work);
// The action the GUI thread runs after a signal handler called WakeGuiThreadFromSignal.
// Setting it creates the pipe, so set it before installing the handler.
void SetSignalAction(std::function<void()> action);
// Async-signal-safe: one write to the pipe.
void WakeGuiThreadFromSignal() noexcept;

}  // namespace fw
