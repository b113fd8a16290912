#pragma once
// The worker of the threaded timer: sleeps for the interval, then has the owner's tick run
// on the GUI thread (one tick at a time) or on the worker itself. Instead of being
// suspended and resumed from outside it waits on a condition variable, so that a stopped
// worker gives no further tick and a new interval is picked up by the next sleep.
//
// Everything the two threads share lives in one record that both hold; the owner gives up
// its hold on destruction without waiting for a sleeping worker, and the worker, which
// ends by itself, never reaches an owner that is gone.
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/core/classes.h"

namespace gif {

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Where the worker's loop is, for tests that must reach a state before they act: parked
// while stopped, asleep for the interval, waiting for its tick on the GUI thread, running
// a tick itself, or ended.
enum class TWorkerState { Starting, Parked, Asleep, TickQueued, Ticking, Ended };

class TTimerThread {
  public:
    // Created stopped (no ticks) with an interval of 1000 ms; the worker thread starts with
    // the first Resume. tick is the owner's work; the owner is named as the sender of its
    // errors and must outlive the worker's use of it, which ends with Terminate.
    TTimerThread(fw::TPropertyObject* owner, std::function<void()> tick);
    ~TTimerThread() { Terminate(); }
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    // Tells the worker to end and wakes it; waits only for a tick that is running on the
    // worker itself at that moment, never for a sleep. Later calls do nothing.
    void Terminate();
    // Held by a tick that runs on the worker; whoever changes what such a tick reads
    // (the handler) takes it too. Recursive, so a tick may change its own timer.
    std::unique_lock<std::recursive_mutex> LockTicks();

    // Stops the ticks at once; a sleep under way is abandoned.
    void Suspend();
    // Starts a fresh sleep with the current interval, counted from this call even when the
    // worker starts later (after the first paint).
    void Resume();
    bool Suspended() const;
    unsigned Interval() const;
    void SetInterval(unsigned ms);
    void SetSyncEvent(bool v);
    void SetPriority(TThreadPriority p);
    TWorkerState State() const;

    // Workers whose loop has not ended yet (all timers of the process).
    static int LiveCount();

    struct Shared;
    class Worker;

  private:
    std::shared_ptr<Shared> shared_;
};

// The nice value a priority stands for: idle 19 down to time-critical -20, normal 0.
int NiceValueFor(TThreadPriority p);

}  // namespace gif
