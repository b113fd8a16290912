#include "platform/addressprobe.h"

#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace platform {

struct AddressProbe::Shared {
    mutable std::mutex mutex;
    AddressProbe::Post post;
    Answer answer;
    std::chrono::milliseconds fallbackAfter{0};
    bool alive = true;     // the probe exists: answers are still wanted
    bool running = false;  // a worker is looking up
    bool again = false;    // a request came while it was
    unsigned long started = 0;
    unsigned long resolved = 0;      // the last lookup whose resolver has answered
    HostBackend* backend = nullptr;  // the one the running lookup asks
    int pending = 0;                 // answers posted and not yet taken on the owner's thread
    // The newest answer taken, as (lookup, stage): anything not newer is dropped.
    std::pair<unsigned long, int> newest{0, -1};
};

namespace {
using SharedPtr = std::shared_ptr<AddressProbe::Shared>;
}  // namespace

// Hands one answer to the owner's thread, unless the owner is gone. There the host name's
// answer starts the wait for the resolver: when it has not answered in time, the interfaces'
// address stands in.
static void Deliver(const SharedPtr& s, ProbeAnswer a) {
    // Posted under the lock, so that the probe cannot go, and take what `post` hands work
    // to with it, while a hand-over is under way.
    std::lock_guard lock(s->mutex);
    if (!s->alive) return;
    ++s->pending;
    s->post(std::chrono::milliseconds(0), [s, a = std::move(a)] {
        AddressProbe::Answer answer;
        {
            std::lock_guard lock(s->mutex);
            --s->pending;
            const std::pair<unsigned long, int> key{a.lookup, a.stage};
            if (!s->alive || key <= s->newest) return;
            s->newest = key;
            answer = s->answer;
            // The wait is not counted as pending: a lookup that has ended leaves the probe
            // idle, and the wait then comes to nothing.
            if (a.stage == ProbeAnswer::kName && s->resolved < a.lookup) {
                s->post(s->fallbackAfter, [s, a] {
                    HostBackend* backend = nullptr;
                    {
                        std::lock_guard lock(s->mutex);
                        if (!s->alive || s->resolved >= a.lookup) return;
                        backend = s->backend;
                    }
                    Deliver(s, {ProbeAnswer::kFallback, a.hostName, InterfaceAddressText(*backend),
                                a.lookup});
                });
            }
        }
        // Outside the lock: the answer may well ask for the next lookup.
        if (answer) answer(a);
    });
}

// The worker: one thread per lookup, which waits on the resolver as long as that takes. The
// owner's thread does not: it times the wait and shows the interfaces' address meanwhile.
static void RunLookups(SharedPtr s, HostBackend& backend, unsigned long lookup) {
    for (;;) {
        std::string name;
        std::optional<std::string> resolved;
        const bool named = ReadLocalHostName(backend, name);
        Deliver(s, {ProbeAnswer::kName, name, {}, lookup});
        if (named) resolved = ResolvedAddressText(backend, name);
        {
            std::lock_guard lock(s->mutex);
            s->resolved = lookup;
        }
        Deliver(s, {ProbeAnswer::kFinal, name, resolved ? *resolved : InterfaceAddressText(backend),
                    lookup});
        std::lock_guard lock(s->mutex);
        if (!s->again || !s->alive) {
            s->running = false;
            return;
        }
        s->again = false;
        lookup = ++s->started;
    }
}

AddressProbe::AddressProbe(Post post, Answer answer, std::chrono::milliseconds fallbackAfter)
    : shared_(std::make_shared<Shared>()) {
    shared_->post = std::move(post);
    shared_->answer = std::move(answer);
    shared_->fallbackAfter = fallbackAfter;
}

AddressProbe::~AddressProbe() {
    std::lock_guard lock(shared_->mutex);
    shared_->alive = false;
    shared_->answer = nullptr;
}

void AddressProbe::Request() {
    unsigned long lookup;
    HostBackend& backend = CurrentHostBackend();
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->running) {
            shared_->again = true;
            return;
        }
        shared_->running = true;
        shared_->backend = &backend;
        lookup = ++shared_->started;
    }
    try {
        std::thread(RunLookups, shared_, std::ref(backend), lookup).detach();
    } catch (const std::system_error&) {
        // No thread to be had now; the next request tries again.
        std::lock_guard lock(shared_->mutex);
        shared_->running = false;
    }
}

bool AddressProbe::Idle() const {
    std::lock_guard lock(shared_->mutex);
    return !shared_->running && shared_->pending == 0;
}

unsigned long AddressProbe::Started() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->started;
}

}  // namespace platform
