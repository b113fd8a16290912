#pragma once
// Hands work from any thread to the GUI thread. The work waits in a queue guarded by a
// mutex, and a posted wake-up makes the GUI thread's event loop run everything queued, in
// order. Nothing but that wake-up crosses the threads through the toolkit.
#include <functional>

namespace gif {

// Makes the receiver watch for work on the calling thread, which must be the GUI thread,
// once the application exists; later calls do nothing. Work posted before then waits.
void PrepareGuiHandover();
// Queues the work for the GUI thread; callable from any thread.
void PostToGuiThread(std::function<void()> work);

}  // namespace gif
