#pragma once
// Queues work for the GUI thread's message loop, like a message posted to oneself: it runs
// after what is being handled now and after the messages already waiting.
#include <functional>

namespace fw {

// The work runs behind the application's guard. Keep a weak reference to anything it
// touches that may be gone by then.
void PostToMessageLoop(std::function<void()> work);

}  // namespace fw
