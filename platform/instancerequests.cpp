#include "platform/instancerequests.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {
using Clock = InstanceRequests::Clock;
using Client = InstanceRequests::Client;
constexpr std::size_t kRequestSize = InstanceRequests::kRequestSize;

constexpr auto kGrace = std::chrono::milliseconds(250);
// How long a client has to say its request, from its acceptance.
constexpr auto kClientTime = std::chrono::milliseconds(1000);
// How long accepting pauses after it failed for want of resources.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);
// Accepted in one call of Take; more wait for the next turn of the window's loop.
constexpr int kAcceptsPerTurn = 64;

enum class Reading { Waiting, Request, Other };

// Reads what the client has sent so far, never more than a request.
Reading ReadClient(Client& c) {
    for (;;) {
        ssize_t n = ::recv(c.fd, c.bytes + c.got, kRequestSize - c.got, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Reading::Waiting;
        if (n <= 0) return Reading::Other;  // closed before the whole request, or failed
        c.got += static_cast<std::size_t>(n);
        if (std::memcmp(c.bytes, kFrontRequest, c.got) != 0) return Reading::Other;
        if (c.got == kRequestSize) return Reading::Request;
    }
}

// When the place may be taken by a new client.
Clock::time_point FreeAt(const Client& c) {
    return c.fd < 0 ? Clock::time_point::min() : c.deadline - kClientTime + kGrace;
}
}  // namespace

InstanceRequests::InstanceRequests(int listenFd) : listenFd_(listenFd) {
    if (listenFd < 0) return;
    ready_ = ::epoll_create1(EPOLL_CLOEXEC);
    // The steady clock is the monotonic one.
    timer_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    epoll_event timerEvent{EPOLLIN, {.fd = timer_}};
    if (ready_ < 0 || timer_ < 0 || ::epoll_ctl(ready_, EPOLL_CTL_ADD, timer_, &timerEvent) != 0) {
        if (ready_ >= 0) ::close(ready_);
        if (timer_ >= 0) ::close(timer_);
        ready_ = timer_ = -1;
        return;
    }
    Watch(listenFd_, true);
    listening_ = true;
}

InstanceRequests::~InstanceRequests() {
    for (Client& c : clients_)
        if (c.fd >= 0) ::close(c.fd);
    if (ready_ >= 0) ::close(ready_);
    if (timer_ >= 0) ::close(timer_);
}

void InstanceRequests::Watch(int fd, bool on) {
    epoll_event e{EPOLLIN, {.fd = fd}};
    ::epoll_ctl(ready_, on ? EPOLL_CTL_ADD : EPOLL_CTL_DEL, fd, &e);
}

// A free place, else the place of the client accepted first.
Client& InstanceRequests::Place() {
    return *std::min_element(clients_.begin(), clients_.end(), [](auto& a, auto& b) {
        const bool aUsed = a.fd >= 0, bUsed = b.fd >= 0;
        return aUsed != bUsed ? !aUsed : a.deadline < b.deadline;
    });
}

void InstanceRequests::Drop(Client& c) {
    Watch(c.fd, false);
    ::close(c.fd);
    c = Client();
}

int InstanceRequests::Take() {
    if (ready_ < 0) return 0;
    uint64_t expirations;
    while (::read(timer_, &expirations, sizeof expirations) < 0 && errno == EINTR) {
    }

    int requests = 0;
    for (Client& c : clients_) {
        if (c.fd < 0) continue;
        const Reading r = ReadClient(c);
        requests += r == Reading::Request;
        if (r != Reading::Waiting || Clock::now() >= c.deadline) Drop(c);
    }
    for (int i = 0; i < kAcceptsPerTurn; ++i) {
        Client& slot = Place();
        const Clock::time_point at = Clock::now();
        if (at < std::max(FreeAt(slot), acceptAgain_)) break;
        Client c;
        c.fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c.fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            // Out of descriptors or memory: the socket stays readable, so it is left alone for
            // a moment rather than asked again and again.
            if (errno != EAGAIN && errno != EWOULDBLOCK) acceptAgain_ = at + kAcceptPause;
            break;
        }
        c.deadline = at + kClientTime;
        const Reading r = ReadClient(c);
        requests += r == Reading::Request;
        if (r != Reading::Waiting) {
            ::close(c.fd);  // never watched
            continue;
        }
        if (slot.fd >= 0) Drop(slot);
        slot = c;
        Watch(slot.fd, true);
    }
    Rearm(Clock::now());
    return requests;
}

// The socket is watched while a new client has a place; the timer is set for the first
// deadline, or for the time a place is freed.
void InstanceRequests::Rearm(Clock::time_point now) {
    const Clock::time_point room = std::max(FreeAt(Place()), acceptAgain_);
    const bool listen = now >= room;
    if (listen != listening_) Watch(listenFd_, listen);
    listening_ = listen;
    Clock::time_point wake = listen ? Clock::time_point::max() : room;
    for (const Client& c : clients_)
        if (c.fd >= 0) wake = std::min(wake, c.deadline);
    itimerspec due{};
    if (wake != Clock::time_point::max()) {
        // A deadline already past fires at once (a zero time would disarm the timer).
        const auto ns = std::max<std::chrono::nanoseconds::rep>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count(), 1);
        due.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        due.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    }
    ::timerfd_settime(timer_, 0, &due, nullptr);
}

}  // namespace platform
