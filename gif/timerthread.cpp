#include "gif/timerthread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/controls/controls.h"
#include "framework/core/guithread.h"
#include "framework/x11/firstpaint.h"

namespace gif {

struct TTimerThread::Shared {
    std::mutex m;
    std::condition_variable cv;
    fw::TPropertyObject* owner = nullptr;  // null once the owner is gone
    std::function<void()> tick;            // the owner's, run only while owner is set
    bool suspended = true;
    bool terminated = false;
    unsigned interval = 1000;
    // Bumped by every suspension, so that a sleep under way knows it was re-planned.
    unsigned long generation = 0;
    bool syncEvent = true;
    TThreadPriority priority = tpNormal;
    // Where the first sleep after a resumption counts from: the resumption, even when the
    // worker itself was started later.
    std::chrono::steady_clock::time_point resumedAt;
    bool freshlyResumed = false;
    bool started = false;          // the worker thread has been asked for
    bool guiTickPending = false;   // handed to the GUI thread, not yet run
    bool awaitingGuiTick = false;  // the worker waits for that tick to be run
    // The pending tick's sleep, and the record kept alive for it until it has run: the
    // hand-over itself carries only the record's address, so that the worker allocates
    // nothing (a thread that never allocates gets no allocator arena of its own).
    unsigned long guiTickGeneration = 0;
    std::shared_ptr<Shared> keptForGuiTick;
    std::recursive_mutex tickMutex;  // held by a tick running on the worker itself
    TWorkerState state = TWorkerState::Starting;
};

namespace {

std::atomic<int> liveWorkers{0};

void ApplyNice(int nice) {
    // Best effort: raising the priority needs a privilege the user may not have.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice);
}

}  // namespace

int NiceValueFor(TThreadPriority p) {
    switch (p) {
        case tpIdle:
            return 19;
        case tpLowest:
            return 10;
        case tpLower:
            return 5;
        case tpNormal:
            return 0;
        case tpHigher:
            return -5;
        case tpHighest:
            return -10;
        case tpTimeCritical:
            return -20;
    }
    return 0;
}

class TTimerThread::Worker {
  public:
    static void Run(std::shared_ptr<Shared> s) {
        int appliedNice = 0;
        std::unique_lock lock(s->m);
        while (!s->terminated) {
            if (s->suspended) {
                s->state = TWorkerState::Parked;
                s->cv.wait(lock, [&] { return s->terminated || !s->suspended; });
                continue;
            }
            const unsigned long generation = s->generation;
            const int nice = NiceValueFor(s->priority);
            if (nice != appliedNice) {
                ApplyNice(nice);
                appliedNice = nice;
            }
            s->state = TWorkerState::Asleep;
            const auto from = s->freshlyResumed ? s->resumedAt : std::chrono::steady_clock::now();
            s->freshlyResumed = false;
            const bool woken =
                s->cv.wait_until(lock, from + std::chrono::milliseconds(s->interval),
                                 [&] { return s->terminated || s->generation != generation; });
            if (woken) continue;  // terminated, or stopped and maybe started afresh
            if (s->syncEvent)
                TickOnGuiThread(s, lock);
            else
                TickHere(s, lock);
        }
        s->state = TWorkerState::Ended;
        lock.unlock();
        --liveWorkers;
    }

  private:
    // The tick is handed over and the worker goes straight back to sleep: the GUI thread
    // wakes it only when it is still waiting for an earlier tick, not after every tick. A
    // tick not yet run when the next sleep ends holds the next one back (ticks never pile
    // up); the worker then sleeps afresh from the moment it has run.
    static void TickOnGuiThread(const std::shared_ptr<Shared>& s,
                                std::unique_lock<std::mutex>& lock) {
        if (s->guiTickPending) {
            s->state = TWorkerState::TickQueued;
            s->awaitingGuiTick = true;
            s->cv.wait(lock, [&] { return s->terminated || !s->guiTickPending; });
            s->awaitingGuiTick = false;
            return;
        }
        s->guiTickPending = true;
        s->guiTickGeneration = s->generation;
        s->keptForGuiTick = s;
        lock.unlock();
        fw::PostToGuiThread([record = s.get()] { RunGuiTick(record); });
        lock.lock();
    }

    static void RunGuiTick(Shared* record) {
        std::shared_ptr<Shared> s;
        fw::TPropertyObject* owner = nullptr;
        {
            std::lock_guard g(record->m);
            s = std::move(record->keptForGuiTick);
            // A tick whose sleep was stopped before the GUI thread got to it is dropped.
            if (!s->terminated && s->generation == s->guiTickGeneration) owner = s->owner;
        }
        if (owner) fw::Guarded(owner, s->tick);
        bool wake = false;
        {
            std::lock_guard g(s->m);
            s->guiTickPending = false;
            wake = s->awaitingGuiTick;
        }
        if (wake) s->cv.notify_all();
    }

    // The owner waits for this tick before it goes; an exception is shown on the GUI thread.
    static void TickHere(const std::shared_ptr<Shared>& s, std::unique_lock<std::mutex>& lock) {
        s->state = TWorkerState::Ticking;
        lock.unlock();
        std::string error;
        {
            std::unique_lock tick(s->tickMutex);
            fw::TPropertyObject* owner = nullptr;
            {
                std::lock_guard g(s->m);
                if (!s->terminated) owner = s->owner;
            }
            if (owner) {
                try {
                    s->tick();
                } catch (const std::exception& e) {
                    error = e.what();
                } catch (...) {
                    error = "Unknown error in timer event";
                }
            }
        }
        if (!error.empty()) {
            fw::PostToGuiThread([s, error] {
                fw::TPropertyObject* o = nullptr;
                {
                    std::lock_guard g(s->m);
                    if (!s->terminated) o = s->owner;
                }
                fw::Guarded(o, [&] { throw fw::Exception(error); });
            });
        }
        lock.lock();
    }
};

TTimerThread::TTimerThread(fw::TPropertyObject* owner, std::function<void()> tick)
    : shared_(std::make_shared<Shared>()) {
    shared_->owner = owner;
    shared_->tick = std::move(tick);
    fw::PrepareGuiThread();
}

void TTimerThread::Terminate() {
    {
        std::lock_guard lock(shared_->m);
        if (shared_->terminated) return;
        shared_->terminated = true;
        shared_->owner = nullptr;
    }
    shared_->cv.notify_all();
    // A tick on the worker still uses the owner: let it finish.
    std::lock_guard tick(shared_->tickMutex);
}

std::unique_lock<std::recursive_mutex> TTimerThread::LockTicks() {
    return std::unique_lock(shared_->tickMutex);
}

void TTimerThread::Suspend() {
    std::lock_guard lock(shared_->m);
    shared_->suspended = true;
    ++shared_->generation;
    shared_->cv.notify_all();
}

void TTimerThread::Resume() {
    fw::PrepareGuiThread();
    {
        std::lock_guard lock(shared_->m);
        if (!shared_->suspended) return;
        shared_->suspended = false;
        shared_->resumedAt = std::chrono::steady_clock::now();
        shared_->freshlyResumed = true;
        shared_->cv.notify_all();
        if (shared_->started) return;
        shared_->started = true;
    }
    // The worker is started when first needed, and not before the window is on the screen.
    fw::AfterFirstPaint([s = shared_] {
        {
            std::lock_guard lock(s->m);
            if (s->terminated) return;
        }
        ++liveWorkers;
        std::thread(&Worker::Run, s).detach();
    });
}

bool TTimerThread::Suspended() const {
    std::lock_guard lock(shared_->m);
    return shared_->suspended;
}

unsigned TTimerThread::Interval() const {
    std::lock_guard lock(shared_->m);
    return shared_->interval;
}

void TTimerThread::SetInterval(unsigned ms) {
    std::lock_guard lock(shared_->m);
    shared_->interval = ms;
}

void TTimerThread::SetSyncEvent(bool v) {
    std::lock_guard lock(shared_->m);
    shared_->syncEvent = v;
}

void TTimerThread::SetPriority(TThreadPriority p) {
    std::lock_guard lock(shared_->m);
    shared_->priority = p;
}

TWorkerState TTimerThread::State() const {
    std::lock_guard lock(shared_->m);
    return shared_->state;
}

int TTimerThread::LiveCount() { return liveWorkers.load(); }

}  // namespace gif
