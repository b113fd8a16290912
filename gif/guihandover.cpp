#include "gif/guihandover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <mutex>
#include <vector>

namespace gif {

namespace {

class Receiver : public QObject {
  public:
    void Post(std::function<void()> work) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            wake = queue_.empty();
            queue_.push_back(std::move(work));
        }
        // One wake-up serves everything queued until the GUI thread takes it.
        if (wake) QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }

    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(mutex_);
            work.swap(queue_);
        }
        for (auto& w : work) w();
        return true;
    }

  private:
    std::mutex mutex_;
    std::vector<std::function<void()>> queue_;
};

Receiver& TheReceiver() {
    static Receiver receiver;
    return receiver;
}

}  // namespace

void PrepareGuiHandover() { TheReceiver(); }

void PostToGuiThread(std::function<void()> work) { TheReceiver().Post(std::move(work)); }

}  // namespace gif
