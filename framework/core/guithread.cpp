#include "framework/core/guithread.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace fw {

namespace {

constexpr char kWorkByte = 1;
constexpr char kSignalByte = 2;
constexpr size_t kRoom = 16;

// The pipe's write end, for the signal handler: set once before any handler is installed.
std::atomic<int> signalFd{-1};

// The wake-up is a byte through a pipe watched by the GUI thread's event loop: nothing
// allocated on one thread is touched on the other, and the queue itself is guarded.
class Receiver {
  public:
    Receiver() {
        if (pipe2(fds_, O_NONBLOCK | O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
        signalFd.store(fds_[1]);
        // Room for the posts between two drains, made here rather than by a worker's post.
        queue_.reserve(kRoom);
        spare_.reserve(kRoom);
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    // The watcher needs the GUI thread's event loop, which may not exist yet.
    void Watch() {
        if (notifier_ || fds_[0] < 0 || !QCoreApplication::instance()) return;
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
    }

    void Post(std::function<void()> work) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            wake = queue_.empty();
            queue_.push_back(std::move(work));
        }
        // One wake-up serves everything queued until the GUI thread takes it.
        if (wake && fds_[1] >= 0) (void)!write(fds_[1], &kWorkByte, 1);
    }

    void SetSignalAction(std::function<void()> action) {
        std::lock_guard lock(mutex_);
        signalAction_ = std::move(action);
    }

  private:
    void Drain() {
        char bytes[64];
        bool signalled = false;
        for (ssize_t n; (n = read(fds_[0], bytes, sizeof bytes)) > 0;)
            signalled = signalled || std::memchr(bytes, kSignalByte, static_cast<size_t>(n));
        std::vector<std::function<void()>> work;
        std::function<void()> action;
        {
            std::lock_guard lock(mutex_);
            work.swap(queue_);
            queue_.swap(spare_);
            if (signalled) action = signalAction_;
        }
        for (auto& w : work) w();
        // The emptied queue's room is kept for the next posts, which then allocate nothing
        // (work that fits a std::function's own room, as a timer's tick does).
        work.clear();
        {
            std::lock_guard lock(mutex_);
            if (work.capacity() > spare_.capacity()) spare_.swap(work);
        }
        if (action) action();
    }

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::mutex mutex_;
    std::vector<std::function<void()>> queue_;
    std::vector<std::function<void()>> spare_;  // empty, with room
    std::function<void()> signalAction_;
};

// Never destroyed: a worker still ending while the process exits must not reach a queue
// that is gone.
Receiver& TheReceiver() {
    static Receiver* receiver = new Receiver;
    return *receiver;
}

}  // namespace

void PrepareGuiThread() { TheReceiver().Watch(); }

void PostToGuiThread(std::function<void()> work) { TheReceiver().Post(std::move(work)); }

void PostToGuiThreadAfter(std::chrono::milliseconds delay, std::function<void()> work) {
    if (delay <= std::chrono::milliseconds(0)) return PostToGuiThread(std::move(work));
    PostToGuiThread([delay, work = std::move(work)] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QTimer::singleShot(delay, app, work);
    });
}

void SetSignalAction(std::function<void()> action) {
    TheReceiver().SetSignalAction(std::move(action));
}

void WakeGuiThreadFromSignal() noexcept {
    int fd = signalFd.load();
    if (fd >= 0) (void)!write(fd, &kSignalByte, 1);
}

}  // namespace fw
