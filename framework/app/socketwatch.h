#pragma once
// Runs a handler on the GUI thread whenever a file descriptor becomes readable (the later
// starts' connections to the first instance); the handler runs behind the application's guard
// and must not wait.
#include <functional>
#include <memory>

class QSocketNotifier;

namespace fw {

class TSocketWatch {
  public:
    TSocketWatch(int fd, std::function<void()> onReadable);
    ~TSocketWatch();
    TSocketWatch(const TSocketWatch&) = delete;
    TSocketWatch& operator=(const TSocketWatch&) = delete;

  private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace fw
