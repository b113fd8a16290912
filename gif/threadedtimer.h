#pragma once
// A non-visual timer whose ticks come from a worker thread of its own (handed to the GUI
// thread by default) or, when Threaded is false, from an ordinary timer of the GUI thread.
#include <atomic>
#include <memory>

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "gif/timerthread.h"

namespace fw {
class TTimer;
}

namespace gif {

class EOutOfResources : public fw::Exception {
  public:
    using fw::Exception::Exception;
};

namespace strings {
inline constexpr int kOutOfTimersId = 61496;
inline constexpr const char* kOutOfTimers = "Not enough timers available";
}  // namespace strings

const fw::EnumInfo& ThreadPriorityInfo();

class TThreadedTimer : public fw::TComponent {
    FW_CLASS(TThreadedTimer)
  public:
    explicit TThreadedTimer(fw::TComponent* owner);
    ~TThreadedTimer() override;

    bool Enabled() const { return enabled_.load(); }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool v);
    bool SyncEvent() const { return syncEvent_; }
    void SetSyncEvent(bool v);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority v);

    // Assign the handler through SetOnTimer: gaining or losing a handler re-plans.
    fw::TSenderEvent OnTimer;
    void SetOnTimer(std::function<void(fw::TPropertyObject*)> fn, std::string name = {});

    // The engines' state: the hidden timer window exists only while the GUI-thread engine
    // has been chosen; the worker runs exactly when threaded and runnable.
    bool WindowHandleAllocated() const { return window_ != nullptr; }
    bool WindowTimerRunning() const;
    bool WorkerSuspended() const { return thread_->Suspended(); }
    unsigned WorkerInterval() const { return thread_->Interval(); }
    TWorkerState WorkerState() const { return thread_->State(); }

    // A handler bound by a window description re-plans once loading is over.
    void Loaded() override;
    // The worker is ended first, so that no tick runs while the timer is taken apart.
    void BeforeDestruction() override;

  protected:
    // Runs OnTimer while enabled, not being destroyed and given a handler.
    virtual void Timer();

  private:
    bool Runnable() const { return interval_ != 0 && enabled_ && OnTimer; }
    void UpdateTimer();

    std::atomic<bool> enabled_{true};  // also read by ticks on the worker
    unsigned interval_ = 1000;
    bool syncEvent_ = true;
    bool threaded_ = true;
    TThreadPriority priority_ = tpNormal;
    std::unique_ptr<TTimerThread> thread_;
    std::unique_ptr<fw::TTimer, fw::ComponentDeleter> window_;
};

}  // namespace gif
