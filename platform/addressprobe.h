#pragma once
// The host-name and address queries, run away from the caller's thread: a resolver that
// does not answer must never hold up the thread that paints.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/probe.h"

namespace platform {

struct ProbeAnswer {
    enum Stage {
        kName,      // the host name is known; the address lookup is under way
        kFallback,  // the lookup has not answered in time: the interfaces' address stands in
        kFinal,     // the lookup has ended: what the name resolves to, or the interfaces'
    };
    Stage stage = kName;
    std::string hostName;
    std::string address;       // empty for kName, and when the machine has no address at all
    unsigned long lookup = 0;  // which lookup this belongs to, counted from 1
};

// Runs lookups on a worker thread, one at a time. Asking while one runs asks for one more
// after it, never for a pile of them. Answers are handed over through `post` and reach
// `answer` on the owner's thread, in order, each only once and never one older than the
// last; none arrives after the probe is gone. The owner's thread times the resolver, and
// asks the interfaces for their address when it is late. A lookup still running when the
// probe goes is abandoned, not waited for: its thread ends by itself when the resolver
// gives up, and the process may exit before it does.
class AddressProbe {
  public:
    // Runs the work later on the owner's thread, no sooner than the delay from now; called
    // from any thread.
    using Post = std::function<void(std::chrono::milliseconds delay, std::function<void()>)>;
    using Answer = std::function<void(const ProbeAnswer&)>;

    // `fallbackAfter` is how long a lookup may take before the interfaces' address is shown.
    AddressProbe(Post post, Answer answer,
                 std::chrono::milliseconds fallbackAfter = std::chrono::milliseconds(1000));
    ~AddressProbe();
    AddressProbe(const AddressProbe&) = delete;
    AddressProbe& operator=(const AddressProbe&) = delete;

    // Starts a lookup with the backend in use now, or queues one behind the running one.
    void Request();
    // No lookup runs and nothing is waiting to be handed over.
    bool Idle() const;
    // Lookups started so far.
    unsigned long Started() const;

    // What the probe and its workers share; a worker keeps it for as long as it runs.
    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace platform
