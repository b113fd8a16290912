// The threaded timer's two engines, re-planning on every change, exceptions from the
// handler, and destruction while the worker sleeps or waits for its tick.
#include "gif/threadedtimer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "framework/controls/forms.h"
#include "framework/x11/firstpaint.h"
#include "tests/gif/gifsupport.h"

using namespace std::chrono_literals;
using gif::TThreadedTimer;

namespace {

constexpr unsigned kHour = 3600u * 1000u;
using gif::TWorkerState;

// Like giftest::WaitUntil, but without processing events: whatever the worker hands to the
// GUI thread stays queued.
bool WaitWithoutEvents(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class ThreadedTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        giftest::EnsureApp();
        timer.reset(new TThreadedTimer(nullptr));
    }

    fw::ComponentPtr<TThreadedTimer> timer;
    int ticks = 0;
    void Count() {
        timer->SetOnTimer([this](fw::TPropertyObject*) { ++ticks; });
    }
};

TEST_F(ThreadedTimerTest, DefaultsAndNoEngineWithoutHandler) {
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000u);
    EXPECT_TRUE(timer->Threaded());
    EXPECT_TRUE(timer->SyncEvent());
    EXPECT_EQ(timer->ThreadPriority(), gif::tpNormal);
    EXPECT_TRUE(timer->WorkerSuspended());
    EXPECT_FALSE(timer->WindowHandleAllocated());
}

TEST_F(ThreadedTimerTest, DefaultTimerTicksOnTheGuiThread) {
    const auto gui = std::this_thread::get_id();
    std::vector<std::thread::id> seenOn;
    timer->SetOnTimer([&](fw::TPropertyObject* sender) {
        EXPECT_EQ(sender, timer.get());
        seenOn.push_back(std::this_thread::get_id());
    });
    EXPECT_FALSE(timer->WorkerSuspended());
    ASSERT_TRUE(giftest::WaitUntil([&] { return seenOn.size() >= 2; }));
    for (auto id : seenOn) EXPECT_EQ(id, gui);
}

TEST_F(ThreadedTimerTest, WithoutSyncEventTheTickRunsOnTheWorker) {
    const auto gui = std::this_thread::get_id();
    std::atomic<int> onWorker{0}, onGui{0};
    timer->SetSyncEvent(false);
    timer->SetInterval(1);
    timer->SetOnTimer(
        [&](fw::TPropertyObject*) { (std::this_thread::get_id() == gui ? onGui : onWorker)++; });
    ASSERT_TRUE(giftest::WaitUntil([&] { return onWorker >= 3; }));
    timer->SetEnabled(false);
    EXPECT_EQ(onGui, 0);
}

TEST_F(ThreadedTimerTest, IntervalZeroStopsBothEnginesAndANewIntervalRestarts) {
    for (bool threaded : {true, false}) {
        SCOPED_TRACE(threaded ? "thread engine" : "window timer");
        timer->SetThreaded(threaded);
        timer->SetInterval(1);
        Count();
        ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));
        timer->SetInterval(0);
        EXPECT_TRUE(timer->WorkerSuspended());
        EXPECT_FALSE(timer->WindowTimerRunning());
        ticks = 0;
        giftest::Pump(100ms);
        EXPECT_EQ(ticks, 0);
        timer->SetInterval(2);
        ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));
        timer->SetOnTimer(nullptr);
        ticks = 0;
    }
}

TEST_F(ThreadedTimerTest, HandlerChangesReplanOnlyWhenPresenceChanges) {
    timer->SetInterval(1);
    int a = 0, b = 0;
    timer->SetOnTimer([&](fw::TPropertyObject*) { ++a; });
    ASSERT_TRUE(giftest::WaitUntil([&] { return a >= 1; }));
    timer->SetOnTimer([&](fw::TPropertyObject*) { ++b; });
    EXPECT_FALSE(timer->WorkerSuspended());
    const int aThen = a;
    ASSERT_TRUE(giftest::WaitUntil([&] { return b >= 2; }));
    EXPECT_EQ(a, aThen);
    timer->SetOnTimer(nullptr);
    EXPECT_TRUE(timer->WorkerSuspended());
    b = 0;
    giftest::Pump(100ms);
    EXPECT_EQ(b, 0);
}

TEST_F(ThreadedTimerTest, DisablingStopsTheTicksAtOnce) {
    timer->SetInterval(1);
    Count();
    // Events are not processed meanwhile, so the worker's tick waits on the GUI side.
    ASSERT_TRUE(
        WaitWithoutEvents([&] { return timer->WorkerState() == TWorkerState::TickQueued; }));
    // Stopped and started again before the GUI thread gets to it: the queued tick belongs
    // to the stopped run and is dropped. The worker sleeps again only after it has gone.
    timer->SetEnabled(false);
    timer->SetInterval(kHour);
    timer->SetEnabled(true);
    ASSERT_TRUE(giftest::WaitUntil([&] { return timer->WorkerState() == TWorkerState::Asleep; }));
    EXPECT_EQ(ticks, 0);

    // Stopped while asleep for an hour: the sleep is given up at once, without a tick.
    timer->SetEnabled(false);
    EXPECT_TRUE(timer->WorkerSuspended());
    ASSERT_TRUE(giftest::WaitUntil([&] { return timer->WorkerState() == TWorkerState::Parked; }));
    EXPECT_EQ(ticks, 0);

    timer->SetInterval(1);
    timer->SetEnabled(true);
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));
}

TEST_F(ThreadedTimerTest, ABusyGuiThreadGetsOneTickNotAPileOfThem) {
    timer->SetInterval(1);
    Count();
    // The GUI thread takes no events for many intervals: the worker holds back behind the
    // one tick it handed over instead of queueing one per interval.
    ASSERT_TRUE(
        WaitWithoutEvents([&] { return timer->WorkerState() == TWorkerState::TickQueued; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(timer->WorkerState(), TWorkerState::TickQueued);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    // Having run, the tick frees the worker, and the ticks go on.
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 3; }));
}

TEST_F(ThreadedTimerTest, DisablingInsideATickGivesNoFurtherTick) {
    timer->SetInterval(1);
    timer->SetOnTimer([&](fw::TPropertyObject*) {
        if (++ticks == 3) timer->SetEnabled(false);
    });
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(timer->WorkerSuspended());
    ASSERT_TRUE(giftest::WaitUntil([&] { return timer->WorkerState() == TWorkerState::Parked; }));
    EXPECT_EQ(ticks, 3);
    timer->SetEnabled(true);
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 5; }));
}

TEST_F(ThreadedTimerTest, ANewIntervalTakesEffectWithTheNextSleep) {
    // A worker asleep for an hour picks up the short interval at once.
    timer->SetInterval(kHour);
    Count();
    ASSERT_TRUE(giftest::WaitUntil([&] { return timer->WorkerState() == TWorkerState::Asleep; }));
    timer->SetInterval(2);
    EXPECT_EQ(timer->WorkerInterval(), 2u);
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));

    // Changed inside the tick, while the worker waits for that very tick.
    timer->SetOnTimer([&](fw::TPropertyObject*) {
        ++ticks;
        timer->SetInterval(kHour);
    });
    ticks = 0;
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 1; }));
    EXPECT_EQ(timer->WorkerInterval(), kHour);
    EXPECT_FALSE(timer->WorkerSuspended());
    ASSERT_TRUE(giftest::WaitUntil([&] { return timer->WorkerState() == TWorkerState::Asleep; }));
    EXPECT_EQ(ticks, 1);
}

TEST_F(ThreadedTimerTest, SwitchingEnginesWhileRunnable) {
    timer->SetInterval(3);
    Count();
    timer->SetThreaded(false);
    EXPECT_TRUE(timer->WorkerSuspended());
    EXPECT_TRUE(timer->WindowHandleAllocated());
    EXPECT_TRUE(timer->WindowTimerRunning());
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));

    // Only stored while the window timer serves.
    timer->SetThreadPriority(gif::tpLower);
    EXPECT_EQ(timer->ThreadPriority(), gif::tpLower);
    EXPECT_TRUE(timer->WorkerSuspended());
    EXPECT_TRUE(timer->WindowTimerRunning());

    // Not runnable: the window stays, without a timer.
    timer->SetEnabled(false);
    EXPECT_TRUE(timer->WindowHandleAllocated());
    EXPECT_FALSE(timer->WindowTimerRunning());
    timer->SetEnabled(true);

    timer->SetThreaded(true);
    EXPECT_FALSE(timer->WindowHandleAllocated());
    EXPECT_FALSE(timer->WorkerSuspended());
    ticks = 0;
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));
}

TEST_F(ThreadedTimerTest, AnIntervalTheWindowTimerCannotTakeRaisesOutOfResources) {
    Count();
    timer->SetThreaded(false);
    try {
        timer->SetInterval(0x80000000u);
        FAIL() << "no exception";
    } catch (const gif::EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
    EXPECT_TRUE(timer->WindowHandleAllocated());
    EXPECT_FALSE(timer->WindowTimerRunning());
}

TEST_F(ThreadedTimerTest, ExceptionsFromTheHandlerAreShownAndTheTicksGoOn) {
    giftest::RecordingApplication app;
    timer->SetInterval(1);
    timer->SetOnTimer([](fw::TPropertyObject*) { throw std::runtime_error("tick failed"); });
    for (int engine = 0; engine < 3; ++engine) {
        SCOPED_TRACE(engine);
        timer->SetThreaded(engine != 1);
        timer->SetSyncEvent(engine != 2);
        app.messages.clear();
        ASSERT_TRUE(giftest::WaitUntil([&] { return app.messages.size() >= 3; }));
        EXPECT_EQ(app.messages.front(), "tick failed");
    }
    timer->SetEnabled(false);
}

TEST(ThreadedTimerLifetime, DestroyingWhileTheWorkerSleepsForAnHourReturnsAndTheWorkerEnds) {
    giftest::EnsureApp();
    ASSERT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
    {
        fw::ComponentPtr<TThreadedTimer> t(new TThreadedTimer(nullptr));
        t->SetInterval(kHour);
        t->SetOnTimer([](fw::TPropertyObject*) {});
        ASSERT_TRUE(giftest::WaitUntil([&] { return t->WorkerState() == TWorkerState::Asleep; }));
        EXPECT_EQ(gif::TTimerThread::LiveCount(), 1);
    }
    EXPECT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
}

TEST(ThreadedTimerLifetime, AWorkerWantedBeforeTheFirstPaintStartsAfterIt) {
    giftest::EnsureApp();
    ASSERT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
    fw::HoldUntilFirstPaint();
    std::atomic<int> calls{0};
    fw::ComponentPtr<TThreadedTimer> t(new TThreadedTimer(nullptr));
    t->SetInterval(1);
    t->SetOnTimer([&](fw::TPropertyObject*) { ++calls; });
    EXPECT_EQ(gif::TTimerThread::LiveCount(), 0);
    EXPECT_EQ(t->WorkerState(), TWorkerState::Starting);
    fw::ReleaseFirstPaintWork();
    QCoreApplication::processEvents();
    EXPECT_EQ(gif::TTimerThread::LiveCount(), 1);
    EXPECT_TRUE(giftest::WaitUntil([&] { return calls > 0; }));
}

TEST(ThreadedTimerLifetime, ATickWaitingForTheGuiThreadNeverReachesADestroyedTimer) {
    giftest::EnsureApp();
    int calls = 0;
    {
        fw::ComponentPtr<TThreadedTimer> t(new TThreadedTimer(nullptr));
        t->SetInterval(1);
        t->SetOnTimer([&](fw::TPropertyObject*) { ++calls; });
        // No events are processed: the worker's tick waits in the queue.
        ASSERT_TRUE(
            WaitWithoutEvents([&] { return t->WorkerState() == TWorkerState::TickQueued; }));
    }
    giftest::Pump(50ms);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
}

TEST(ThreadedTimerLifetime, ATimerFreedByItsOwnTickGoesQuietly) {
    giftest::EnsureApp();
    int calls = 0;
    auto* t = new TThreadedTimer(nullptr);
    t->SetInterval(1);
    t->SetOnTimer([&](fw::TPropertyObject* sender) {
        ++calls;
        fw::TComponent::Free(static_cast<fw::TComponent*>(sender));
    });
    ASSERT_TRUE(giftest::WaitUntil([&] { return calls == 1; }));
    giftest::Pump(50ms);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
}

TEST(ThreadedTimerLifetime, AWorkerTickIsWaitedForBeforeTheTimerGoes) {
    giftest::EnsureApp();
    std::atomic<bool> inTick{false}, release{false};
    std::atomic<int> calls{0};
    auto* t = new TThreadedTimer(nullptr);
    t->SetSyncEvent(false);
    t->SetInterval(1);
    t->SetOnTimer([&](fw::TPropertyObject*) {
        ++calls;
        inTick = true;
        while (!release) std::this_thread::yield();
    });
    ASSERT_TRUE(giftest::WaitUntil([&] { return inTick.load(); }));
    std::thread releaser([&] {
        QThread::msleep(20);
        release = true;
    });
    fw::TComponent::Free(t);
    EXPECT_TRUE(release);
    releaser.join();
    EXPECT_EQ(calls, 1);
}

}  // namespace

namespace {

class TTickForm : public fw::TForm {
  public:
    explicit TTickForm(std::string_view text) : fw::TForm(nullptr) {
        RegisterHandler<void(fw::TPropertyObject*)>(
            "Tick", [this](fw::TPropertyObject* s) { senders.push_back(s); });
        InitInheritedComponent(text);
    }
    TThreadedTimer* Timer(const char* name) {
        return dynamic_cast<TThreadedTimer*>(FindComponent(name));
    }
    std::vector<fw::TPropertyObject*> senders;
};

TEST(ThreadedTimerLoading, EachEngineRunsFromItsDescriptionOnceLoadingIsOver) {
    giftest::EnsureApp();
    TTickForm form(
        "object TickForm: TTickForm\n"
        "  object Timer1: TThreadedTimer\n"
        "    Interval = 3\n"
        "    OnTimer = Tick\n"
        "  end\n"
        "  object Timer2: TThreadedTimer\n"
        "    Interval = 4\n"
        "    Threaded = False\n"
        "    ThreadPriority = tpLower\n"
        "    OnTimer = Tick\n"
        "  end\n"
        "end\n");
    TThreadedTimer* threaded = form.Timer("Timer1");
    TThreadedTimer* windowed = form.Timer("Timer2");
    ASSERT_NE(threaded, nullptr);
    ASSERT_NE(windowed, nullptr);
    EXPECT_FALSE(threaded->WorkerSuspended());
    EXPECT_EQ(threaded->WorkerInterval(), 3u);
    EXPECT_FALSE(threaded->WindowHandleAllocated());
    EXPECT_TRUE(windowed->WorkerSuspended());
    EXPECT_TRUE(windowed->WindowTimerRunning());
    EXPECT_EQ(windowed->ThreadPriority(), gif::tpLower);
    auto seen = [&](fw::TPropertyObject* t) {
        return std::count(form.senders.begin(), form.senders.end(), t) >= 2;
    };
    ASSERT_TRUE(giftest::WaitUntil([&] { return seen(threaded) && seen(windowed); }));
    threaded->SetEnabled(false);
    windowed->SetEnabled(false);
}

}  // namespace
