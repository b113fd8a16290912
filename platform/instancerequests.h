#pragma once
// The first instance's side of its socket. A thread of its own accepts the later starts'
// connections and reads their requests, each bounded in time and in size, so that no
// client (idle, slow or one of many) can hold up the window; the window's thread only
// watches a descriptor that becomes readable when requests have come.
#include <thread>

namespace platform {

// What a later start sends to ask the first to come to the front.
inline constexpr char kFrontRequest[] = "front\n";

class InstanceRequests {
  public:
    // listenFd: a listening socket; it stays the caller's and must outlive this object.
    explicit InstanceRequests(int listenFd);
    // Stops the thread at once and closes the connections it was reading.
    ~InstanceRequests();
    InstanceRequests(const InstanceRequests&) = delete;
    InstanceRequests& operator=(const InstanceRequests&) = delete;

    // Readable while requests are waiting to be taken; -1 when no thread could be started.
    int ReadyFd() const { return ready_; }
    // How many requests came since the last call; never waits.
    int Take();

  private:
    void Run(int listenFd);

    int ready_ = -1;
    int stop_ = -1;
    std::thread thread_;
};

}  // namespace platform
