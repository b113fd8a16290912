#include "platform/instancerequests.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

namespace platform {

namespace {
using Clock = std::chrono::steady_clock;

constexpr size_t kRequestSize = sizeof kFrontRequest - 1;
// Connections read at once. When more come, the one accepted first gives way once it has
// had kGrace to speak (a real request is sent right after connecting); until then the
// others wait in the socket's queue.
constexpr int kMaxClients = 16;
constexpr auto kGrace = std::chrono::milliseconds(250);
// How long a client has to say its request, from its acceptance.
constexpr auto kClientTime = std::chrono::milliseconds(1000);
// Accepted in one turn of the loop before the stop request and the clients are looked at.
constexpr int kAcceptsPerTurn = 64;

struct Client {
    int fd = -1;
    Clock::time_point deadline;
    size_t got = 0;
    char bytes[kRequestSize];
};

enum class Reading { Waiting, Request, Other };

// Reads what the client has sent so far, never more than a request.
Reading ReadClient(Client& c) {
    for (;;) {
        ssize_t n = ::recv(c.fd, c.bytes + c.got, kRequestSize - c.got, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Reading::Waiting;
        if (n <= 0) return Reading::Other;  // closed before the whole request, or failed
        c.got += static_cast<size_t>(n);
        if (std::memcmp(c.bytes, kFrontRequest, c.got) != 0) return Reading::Other;
        if (c.got == kRequestSize) return Reading::Request;
    }
}

void Drop(Client& c) {
    ::close(c.fd);
    c = Client();
}
}  // namespace

InstanceRequests::InstanceRequests(int listenFd) {
    ready_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    stop_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (ready_ >= 0 && stop_ >= 0 && listenFd >= 0) {
        // Signals are the main thread's to take: the thread starts with all of them blocked.
        sigset_t all, old;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &old);
        try {
            thread_ = std::thread([this, listenFd] { Run(listenFd); });
        } catch (const std::system_error&) {
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
    }
    if (!thread_.joinable()) {
        if (ready_ >= 0) ::close(ready_);
        if (stop_ >= 0) ::close(stop_);
        ready_ = stop_ = -1;
    }
}

InstanceRequests::~InstanceRequests() {
    if (!thread_.joinable()) return;
    ::eventfd_write(stop_, 1);
    thread_.join();
    ::close(ready_);
    ::close(stop_);
}

int InstanceRequests::Take() {
    eventfd_t n = 0;
    if (ready_ < 0 || ::eventfd_read(ready_, &n) != 0) return 0;
    return static_cast<int>(n);
}

void InstanceRequests::Run(int listenFd) {
    std::array<Client, kMaxClients> clients;
    std::array<pollfd, kMaxClients + 2> fds;
    // A free place, else the place of the client accepted first.
    const auto place = [&clients]() -> Client& {
        return *std::min_element(clients.begin(), clients.end(), [](auto& a, auto& b) {
            const bool aUsed = a.fd >= 0, bUsed = b.fd >= 0;
            return aUsed != bUsed ? !aUsed : a.deadline < b.deadline;
        });
    };
    // When the place may be taken by a new client.
    const auto freeAt = [](const Client& c) {
        return c.fd < 0 ? Clock::time_point::min() : c.deadline - kClientTime + kGrace;
    };
    for (;;) {
        const Clock::time_point now = Clock::now();
        const Clock::time_point room = freeAt(place());
        int n = 0;
        fds[n++] = {stop_, POLLIN, 0};
        fds[n++] = {now >= room ? listenFd : -1, POLLIN, 0};  // poll passes over -1
        Clock::time_point wake = now >= room ? Clock::time_point::max() : room;
        for (const Client& c : clients) {
            if (c.fd < 0) continue;
            fds[n++] = {c.fd, POLLIN, 0};
            wake = std::min(wake, c.deadline);
        }
        int timeout = -1;
        if (wake != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        if (::poll(fds.data(), static_cast<nfds_t>(n), timeout) < 0 && errno != EINTR) break;
        if (fds[0].revents) break;

        int requests = 0;
        const auto finish = [&](Client& c, Reading r) {
            if (r == Reading::Waiting) return;
            requests += r == Reading::Request;
            Drop(c);
        };
        for (Client& c : clients) {
            if (c.fd < 0) continue;
            finish(c, ReadClient(c));
            if (c.fd >= 0 && Clock::now() >= c.deadline) Drop(c);
        }
        for (int i = 0; i < kAcceptsPerTurn && (fds[1].revents & POLLIN); ++i) {
            Client& slot = place();
            const Clock::time_point at = Clock::now();
            if (at < freeAt(slot)) break;
            Client c;
            c.fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (c.fd < 0) break;
            c.deadline = at + kClientTime;
            const Reading r = ReadClient(c);
            if (r != Reading::Waiting) {
                finish(c, r);
                continue;
            }
            if (slot.fd >= 0) Drop(slot);
            slot = c;
        }
        if (requests > 0) ::eventfd_write(ready_, static_cast<eventfd_t>(requests));
    }
    for (Client& c : clients)
        if (c.fd >= 0) Drop(c);
}

}  // namespace platform
