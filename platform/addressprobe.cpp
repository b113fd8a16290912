#include "platform/addressprobe.h"

#include <condition_variable>
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
    int pending = 0;  // answers posted and not yet taken on the owner's thread
    // The newest answer taken, as (lookup, stage): anything not newer is dropped.
    std::pair<unsigned long, int> newest{0, -1};
};

namespace {

using SharedPtr = std::shared_ptr<AddressProbe::Shared>;

// The resolver's answer, handed from the thread that waits on it.
struct Resolution {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<std::string> address;
};

}  // namespace

// Hands one answer to the owner's thread, unless the owner is gone.
static void Deliver(const SharedPtr& s, ProbeAnswer a) {
    // Posted under the lock, so that the probe cannot go, and take what `post` hands work
    // to with it, while a hand-over is under way.
    std::lock_guard lock(s->mutex);
    if (!s->alive) return;
    ++s->pending;
    s->post([s, a = std::move(a)] {
        AddressProbe::Answer answer;
        {
            std::lock_guard lock(s->mutex);
            --s->pending;
            const std::pair<unsigned long, int> key{a.lookup, a.stage};
            if (!s->alive || key <= s->newest) return;
            s->newest = key;
            answer = s->answer;
        }
        // Outside the lock: the answer may well ask for the next lookup.
        if (answer) answer(a);
    });
}

// The resolver runs on a thread of its own so that its caller can stop waiting for it: a
// resolver that does not answer is left to give up by itself.
static std::optional<std::string> Resolve(const SharedPtr& s, HostBackend& backend,
                                          const std::string& name, unsigned long lookup) {
    auto r = std::make_shared<Resolution>();
    try {
        std::thread([r, &backend, name] {
            std::optional<std::string> address = ResolvedAddressText(backend, name);
            std::lock_guard lock(r->mutex);
            r->address = std::move(address);
            r->finished = true;
            r->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;  // no thread to be had: as if the name did not resolve
    }
    std::unique_lock lock(r->mutex);
    if (!r->done.wait_for(lock, s->fallbackAfter, [&] { return r->finished; })) {
        lock.unlock();
        Deliver(s, {ProbeAnswer::kFallback, name, InterfaceAddressText(backend), lookup});
        lock.lock();
        r->done.wait(lock, [&] { return r->finished; });
    }
    return r->address;
}

static void RunLookups(SharedPtr s, HostBackend& backend, unsigned long lookup) {
    for (;;) {
        std::string name;
        std::optional<std::string> resolved;
        const bool named = ReadLocalHostName(backend, name);
        Deliver(s, {ProbeAnswer::kName, name, {}, lookup});
        if (named) resolved = Resolve(s, backend, name, lookup);
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
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->running) {
            shared_->again = true;
            return;
        }
        shared_->running = true;
        lookup = ++shared_->started;
    }
    HostBackend& backend = CurrentHostBackend();
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
