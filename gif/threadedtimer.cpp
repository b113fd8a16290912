#include "gif/threadedtimer.h"

#include <climits>

#include "framework/controls/controls.h"
#include "framework/controls/imagepanel.h"
#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"

namespace gif {

const fw::EnumInfo& ThreadPriorityInfo() {
    static const fw::EnumInfo info{
        "TThreadPriority",
        {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"}};
    return info;
}

const fw::TClassInfo& TThreadedTimer::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TThreadedTimer>("TThreadedTimer", &fw::TComponent::StaticClassInfo())
            .Boolean("Enabled", &TThreadedTimer::Enabled, &TThreadedTimer::SetEnabled, true)
            .Integer("Interval", &TThreadedTimer::Interval, &TThreadedTimer::SetInterval, 1000)
            .Event("OnTimer", &TThreadedTimer::OnTimer)
            .Boolean("SyncEvent", &TThreadedTimer::SyncEvent, &TThreadedTimer::SetSyncEvent, true)
            .Boolean("Threaded", &TThreadedTimer::Threaded, &TThreadedTimer::SetThreaded, true)
            .Enum("ThreadPriority", &TThreadedTimer::ThreadPriority,
                  &TThreadedTimer::SetThreadPriority, ThreadPriorityInfo(), tpNormal)
            .Creatable()
            .Build();
    return info;
}

TThreadedTimer::TThreadedTimer(fw::TComponent* owner)
    : fw::TComponent(owner), thread_(std::make_unique<TTimerThread>(this, [this] { Timer(); })) {}

TThreadedTimer::~TThreadedTimer() {
    // The worker is told to end; it does so by itself, without this destructor waiting
    // for its sleep.
    thread_->Terminate();
    enabled_ = false;
    OnTimer.Set(nullptr);
    window_.reset();
}

void TThreadedTimer::BeforeDestruction() {
    thread_->Terminate();
    fw::TComponent::BeforeDestruction();
}

void TThreadedTimer::SetEnabled(bool v) {
    if (fw::SetIfChanged(enabled_, v)) UpdateTimer();
}

void TThreadedTimer::SetInterval(unsigned v) {
    if (fw::SetIfChanged(interval_, v)) UpdateTimer();
}

void TThreadedTimer::SetThreaded(bool v) {
    if (fw::SetIfChanged(threaded_, v)) UpdateTimer();
}

void TThreadedTimer::SetSyncEvent(bool v) {
    syncEvent_ = v;
    thread_->SetSyncEvent(v);
}

void TThreadedTimer::SetThreadPriority(TThreadPriority v) {
    if (!fw::SetIfChanged(priority_, v)) return;
    if (threaded_) UpdateTimer();
}

void TThreadedTimer::SetOnTimer(std::function<void(fw::TPropertyObject*)> fn, std::string name) {
    const bool had = static_cast<bool>(OnTimer);
    {
        auto ticks = thread_->LockTicks();
        OnTimer.Set(std::move(fn), std::move(name));
    }
    if (had != static_cast<bool>(OnTimer)) UpdateTimer();
}

void TThreadedTimer::Loaded() {
    fw::TComponent::Loaded();
    UpdateTimer();
}

bool TThreadedTimer::WindowTimerRunning() const { return window_ && window_->Running(); }

void TThreadedTimer::Timer() {
    if (enabled_ && !Destroying() && OnTimer) OnTimer(this);
}

void TThreadedTimer::UpdateTimer() {
    if (threaded_) {
        window_.reset();
        thread_->Suspend();
        thread_->SetInterval(interval_);
        if (Runnable()) {
            thread_->SetPriority(priority_);
            thread_->Resume();
        }
        return;
    }
    thread_->Suspend();
    if (!window_) {
        window_.reset(new fw::TTimer(nullptr));
        window_->SetEnabled(false);
        window_->OnTimer.Set(
            [this](fw::TPropertyObject*) { fw::Guarded(this, [this] { Timer(); }); });
    } else {
        window_->SetEnabled(false);
    }
    if (!Runnable()) return;
    // The toolkit's timers take a signed count of milliseconds.
    if (interval_ > static_cast<unsigned>(INT_MAX)) throw EOutOfResources(strings::kOutOfTimers);
    window_->SetInterval(interval_);
    window_->SetEnabled(true);
}

}  // namespace gif
