#pragma once
// Runs a handler on the GUI thread whenever a file descriptor (a listening socket) becomes
// readable; the handler runs behind the application's guard.
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
