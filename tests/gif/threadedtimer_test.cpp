// The threaded timer's two engines, re-planning on every change, exceptions from the
// handler, and destruction while the worker sleeps or waits for its tick.
#include "gif/threadedtimer.h"

#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/gif/gifsupport.h"

using namespace std::chrono_literals;
using gif::TThreadedTimer;

namespace {

constexpr unsigned kHour = 3600u * 1000u;

class ThreadedTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        giftest::EnsureApp();
        timer.reset(new TThreadedTimer(nullptr));
    }

    fw::ComponentPtr<TThreadedTimer> timer;
    int ticks = 0;
    void Count() {
        timer->SetOnTimer([this](fw::TObject*) { ++ticks; });
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
    timer->SetOnTimer([&](fw::TObject* sender) {
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
        [&](fw::TObject*) { (std::this_thread::get_id() == gui ? onGui : onWorker)++; });
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
    timer->SetOnTimer([&](fw::TObject*) { ++a; });
    ASSERT_TRUE(giftest::WaitUntil([&] { return a >= 1; }));
    timer->SetOnTimer([&](fw::TObject*) { ++b; });
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
    timer->SetOnTimer([&](fw::TObject*) {
        if (++ticks == 3) timer->SetEnabled(false);
    });
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(timer->WorkerSuspended());
    giftest::Pump(150ms);
    EXPECT_EQ(ticks, 3);
    timer->SetEnabled(true);
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 5; }));
}

TEST_F(ThreadedTimerTest, ANewIntervalTakesEffectWithTheNextSleep) {
    // A worker asleep for an hour picks up the short interval at once.
    timer->SetInterval(kHour);
    Count();
    EXPECT_FALSE(timer->WorkerSuspended());
    timer->SetInterval(2);
    EXPECT_EQ(timer->WorkerInterval(), 2u);
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 2; }));

    // Changed inside the tick, while the worker waits for that very tick.
    timer->SetOnTimer([&](fw::TObject*) {
        ++ticks;
        timer->SetInterval(kHour);
    });
    ticks = 0;
    ASSERT_TRUE(giftest::WaitUntil([&] { return ticks >= 1; }));
    EXPECT_EQ(timer->WorkerInterval(), kHour);
    EXPECT_FALSE(timer->WorkerSuspended());
    giftest::Pump(100ms);
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
    timer->SetOnTimer([](fw::TObject*) { throw std::runtime_error("tick failed"); });
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

TEST(ThreadedTimerLifetime, DestroyingWhileTheWorkerSleepsReturnsAndTheWorkerEnds) {
    giftest::EnsureApp();
    ASSERT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
    {
        fw::ComponentPtr<TThreadedTimer> t(new TThreadedTimer(nullptr));
        t->SetInterval(kHour);
        t->SetOnTimer([](fw::TObject*) {});
        EXPECT_EQ(gif::TTimerThread::LiveCount(), 1);
    }
    EXPECT_TRUE(giftest::WaitUntil([] { return gif::TTimerThread::LiveCount() == 0; }));
}

TEST(ThreadedTimerLifetime, ATickWaitingForTheGuiThreadNeverReachesADestroyedTimer) {
    giftest::EnsureApp();
    int calls = 0;
    {
        fw::ComponentPtr<TThreadedTimer> t(new TThreadedTimer(nullptr));
        t->SetInterval(1);
        t->SetOnTimer([&](fw::TObject*) { ++calls; });
        // No events are processed: the worker's tick waits in the queue.
        QThread::msleep(50);
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
    t->SetOnTimer([&](fw::TObject* sender) {
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
    t->SetOnTimer([&](fw::TObject*) {
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
