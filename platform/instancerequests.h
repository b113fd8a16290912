#pragma once
// The first instance's side of its socket. The window's thread accepts the later starts'
// connections and reads their requests, never waiting on any of them: each is bounded in time
// and in size, so that no client (idle, slow or one of many) can hold up the window. All the
// descriptors involved, and a timer for the clients' deadlines, lie behind one descriptor
// that the window's loop watches.
#include <array>
#include <chrono>

namespace platform {

// What a later start sends to ask the first to come to the front.
inline constexpr char kFrontRequest[] = "front\n";

class InstanceRequests {
  public:
    // listenFd: a listening socket that does not block; it stays the caller's and must
    // outlive this object.
    explicit InstanceRequests(int listenFd);
    // Closes the connections it was reading.
    ~InstanceRequests();
    InstanceRequests(const InstanceRequests&) = delete;
    InstanceRequests& operator=(const InstanceRequests&) = delete;

    // Readable while there is work for Take (a connection, a request, a deadline); -1 when
    // requests cannot be read.
    int ReadyFd() const { return ready_; }
    // Does that work without waiting and says how many requests were completed by it.
    int Take();

    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kRequestSize = sizeof kFrontRequest - 1;
    // Connections read at once. When more come, the one accepted first gives way once it has
    // had kGrace to speak (a real request is sent right after connecting); until then the
    // others wait in the socket's queue.
    static constexpr int kMaxClients = 16;

    // A connection being read.
    struct Client {
        int fd = -1;
        Clock::time_point deadline;
        std::size_t got = 0;
        char bytes[kRequestSize];
    };

  private:
    Client& Place();
    void Drop(Client& c);
    void Watch(int fd, bool on);
    void Rearm(Clock::time_point now);

    int listenFd_ = -1;
    int ready_ = -1;  // the descriptors' poll set
    int timer_ = -1;  // due at the next deadline
    bool listening_ = false;
    Clock::time_point acceptAgain_;  // not before this after running out of descriptors
    std::array<Client, kMaxClients> clients_;
};

}  // namespace platform
