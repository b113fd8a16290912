#include "platform/addressprobe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/fixedhostbackend.h"

namespace platform {
namespace {

using std::chrono::milliseconds;

// A resolver that blocks until the test lets a lookup through.
class GatedBackend : public FixedHostBackend {
  public:
    std::optional<std::vector<Ipv4>> Resolve(const std::string& name) override {
        std::unique_lock lock(mutex_);
        ++entered_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return permits_ > 0; });
        --permits_;
        return FixedHostBackend::Resolve(name);
    }
    void Release(int n = 1) {
        std::lock_guard lock(mutex_);
        permits_ += n;
        changed_.notify_all();
    }
    bool WaitEntered(int n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return entered_ >= n; });
    }
    int Entered() {
        std::lock_guard lock(mutex_);
        return entered_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    int permits_ = 0;
};

// The owner's thread: posted work waits here until the test pumps it, and its delay has
// passed.
class Owner {
  public:
    using Clock = std::chrono::steady_clock;
    AddressProbe::Post Poster() {
        return [this](milliseconds delay, std::function<void()> work) {
            std::lock_guard lock(mutex_);
            queue_.push_back({Clock::now() + delay, std::move(work)});
        };
    }
    void Pump() {
        std::deque<Posted> work;
        {
            std::lock_guard lock(mutex_);
            const Clock::time_point now = Clock::now();
            const auto due = std::stable_partition(queue_.begin(), queue_.end(),
                                                   [&](const Posted& p) { return p.at <= now; });
            work.assign(std::make_move_iterator(queue_.begin()), std::make_move_iterator(due));
            queue_.erase(queue_.begin(), due);
        }
        for (auto& w : work) w.work();
    }
    // Pumps until the condition holds; false after a generous bound.
    bool PumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 20000; ++i) {
            Pump();
            if (done()) return true;
            std::this_thread::sleep_for(milliseconds(1));
        }
        return false;
    }
    std::vector<ProbeAnswer> answers;

  private:
    struct Posted {
        Clock::time_point at;
        std::function<void()> work;
    };
    std::mutex mutex_;
    std::deque<Posted> queue_;
};

class AddressProbeTest : public ::testing::Test {
  protected:
    AddressProbeTest() : use_(host_) {
        host_.hostName = "box";
        host_.interfaces = {{172, 16, 5, 9}, {192, 0, 2, 2}};
    }
    ~AddressProbeTest() override {
        host_.Release(100);  // no worker may stay blocked on the fake once it is gone
        if (probe_) owner_.PumpUntil([&] { return probe_->Idle(); });
    }
    AddressProbe& Make(milliseconds fallbackAfter) {
        probe_.emplace(
            owner_.Poster(), [this](const ProbeAnswer& a) { owner_.answers.push_back(a); },
            fallbackAfter);
        return *probe_;
    }
    std::vector<ProbeAnswer::Stage> Stages() const {
        std::vector<ProbeAnswer::Stage> out;
        for (const ProbeAnswer& a : owner_.answers) out.push_back(a.stage);
        return out;
    }

    GatedBackend host_;
    ScopedHostBackend use_;
    Owner owner_;
    std::optional<AddressProbe> probe_;
};

TEST_F(AddressProbeTest, OneLookupAtATimeAndOneMoreForRequestsMeanwhile) {
    host_.resolved = {{{10, 0, 0, 7}}};
    AddressProbe& p = Make(std::chrono::hours(1));
    for (int i = 0; i < 5; ++i) p.Request();
    ASSERT_TRUE(host_.WaitEntered(1));
    EXPECT_EQ(p.Started(), 1u);
    EXPECT_FALSE(p.Idle());
    // The name is handed over before the resolver answers.
    ASSERT_TRUE(owner_.PumpUntil([&] { return !owner_.answers.empty(); }));
    EXPECT_EQ(owner_.answers[0].stage, ProbeAnswer::kName);
    EXPECT_EQ(owner_.answers[0].hostName, "box");

    host_.Release();
    ASSERT_TRUE(host_.WaitEntered(2));  // the four waiting requests made one lookup
    EXPECT_EQ(p.Started(), 2u);
    host_.Release();
    ASSERT_TRUE(owner_.PumpUntil([&] { return p.Idle(); }));
    EXPECT_EQ(host_.Entered(), 2);
    using S = ProbeAnswer::Stage;
    EXPECT_EQ(Stages(), (std::vector<S>{S::kName, S::kFinal, S::kName, S::kFinal}));
    EXPECT_EQ(owner_.answers[1].address, "10.0.0.7");
    EXPECT_EQ(owner_.answers[3].lookup, 2u);
}

TEST_F(AddressProbeTest, AHangingResolverGivesTheInterfacesAddressMeanwhile) {
    struct Case {
        std::optional<std::vector<Ipv4>> resolved;
        const char* final;
    };
    for (const Case& c : {Case{{{{10, 0, 0, 7}}}, "10.0.0.7"}, Case{std::nullopt, "192.0.2.2"}}) {
        owner_.answers.clear();
        host_.resolved = c.resolved;
        AddressProbe& p = Make(milliseconds(0));
        p.Request();
        ASSERT_TRUE(owner_.PumpUntil([&] { return owner_.answers.size() == 2; }));
        EXPECT_EQ(owner_.answers[1].stage, ProbeAnswer::kFallback);
        EXPECT_EQ(owner_.answers[1].address, "192.0.2.2");
        host_.Release();
        ASSERT_TRUE(owner_.PumpUntil([&] { return p.Idle(); }));
        ASSERT_EQ(owner_.answers.size(), 3u);
        EXPECT_EQ(owner_.answers[2].stage, ProbeAnswer::kFinal);
        EXPECT_EQ(owner_.answers[2].address, c.final);
    }
}

TEST_F(AddressProbeTest, NothingArrivesOnceTheProbeIsGone) {
    // The abandoned worker outlives the test's objects: its resolver lives on too.
    static GatedBackend* abandoned = [] {
        auto* b = new GatedBackend;
        b->hostName = "box";
        return b;
    }();
    const int before = abandoned->Entered();
    ScopedHostBackend use(*abandoned);
    AddressProbe& p = Make(milliseconds(0));
    p.Request();
    ASSERT_TRUE(abandoned->WaitEntered(before + 1));
    probe_.reset();  // does not wait for the resolver
    abandoned->Release();
    owner_.Pump();  // runs the name's hand-over, queued before the probe went
    EXPECT_TRUE(owner_.answers.empty());
}

}  // namespace
}  // namespace platform
