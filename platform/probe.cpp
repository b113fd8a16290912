#include "platform/probe.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// Room for the longest name the system allows and its terminating NUL.
constexpr std::size_t kNameBufferSize = HOST_NAME_MAX + 1;

Ipv4 FromInAddr(const in_addr& a) {
    Ipv4 out;
    std::memcpy(out.data(), &a.s_addr, 4);
    return out;
}

bool IsLoopback(const Ipv4& a) { return a[0] == 127; }

struct AddrInfoDeleter {
    void operator()(addrinfo* p) const { freeaddrinfo(p); }
};
struct IfAddrsDeleter {
    void operator()(ifaddrs* p) const { freeifaddrs(p); }
};

class SystemBackend final : public HostBackend {
  public:
    bool QueryHostName(char* buf, std::size_t len) override {
        if (gethostname(buf, len) != 0) return false;
        buf[len - 1] = '\0';  // POSIX leaves termination unspecified on truncation
        return true;
    }

    std::optional<std::vector<Ipv4>> Resolve(const std::string& name) override {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;  // one entry per address rather than per socket type
        addrinfo* raw = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &raw) != 0) return std::nullopt;
        std::unique_ptr<addrinfo, AddrInfoDeleter> list(raw);
        std::vector<Ipv4> out;
        for (const addrinfo* p = list.get(); p; p = p->ai_next) {
            if (p->ai_family != AF_INET || !p->ai_addr) continue;
            out.push_back(FromInAddr(reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr));
        }
        return out;
    }

    std::vector<Ipv4> InterfaceAddresses() override {
        ifaddrs* raw = nullptr;
        if (getifaddrs(&raw) != 0) return {};
        std::unique_ptr<ifaddrs, IfAddrsDeleter> list(raw);
        std::vector<Ipv4> out;
        for (const ifaddrs* p = list.get(); p; p = p->ifa_next) {
            if (!p->ifa_addr || p->ifa_addr->sa_family != AF_INET) continue;
            if (!(p->ifa_flags & IFF_UP) || (p->ifa_flags & IFF_LOOPBACK)) continue;
            Ipv4 a = FromInAddr(reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr);
            if (!IsLoopback(a)) out.push_back(a);
        }
        return out;
    }
};

std::atomic<HostBackend*> g_backend{nullptr};

// Fills the name buffer; false when the query failed.
bool ReadHostName(HostBackend& backend, char (&buf)[kNameBufferSize]) {
    buf[0] = '\0';
    if (!backend.QueryHostName(buf, sizeof buf)) return false;
    buf[sizeof buf - 1] = '\0';
    return true;
}

}  // namespace

HostBackend& SystemHostBackend() {
    static SystemBackend backend;
    return backend;
}

HostBackend& CurrentHostBackend() {
    HostBackend* b = g_backend.load();
    return b ? *b : SystemHostBackend();
}

ScopedHostBackend::ScopedHostBackend(HostBackend& backend)
    : previous_(g_backend.exchange(&backend)) {}

ScopedHostBackend::~ScopedHostBackend() { g_backend.store(previous_); }

std::string Ipv4Text(const Ipv4& address) {
    char text[INET_ADDRSTRLEN];
    in_addr a;
    std::memcpy(&a.s_addr, address.data(), 4);
    return inet_ntop(AF_INET, &a, text, sizeof text) ? std::string(text) : std::string();
}

std::vector<Ipv4> EffectiveAddressList(const std::vector<Ipv4>& resolved,
                                       const std::vector<Ipv4>& interfaces) {
    std::vector<Ipv4> out;
    auto add = [&out](const Ipv4& a) {
        if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    };
    for (const Ipv4& a : resolved) {
        // Many distributions map the own name to 127.0.1.1; the machine's real address is
        // what the user wants to see.
        if (IsLoopback(a) && !interfaces.empty()) {
            std::for_each(interfaces.begin(), interfaces.end(), add);
        } else {
            add(a);
        }
    }
    return out;
}

bool ReadLocalHostName(HostBackend& backend, std::string& name) {
    name.clear();
    char buf[kNameBufferSize];
    if (!ReadHostName(backend, buf)) return false;
    name = buf;
    return true;
}

std::optional<std::string> ResolvedAddressText(HostBackend& backend, const std::string& name) {
    std::optional<std::vector<Ipv4>> resolved = backend.Resolve(name);
    if (!resolved || resolved->empty()) return std::nullopt;
    bool anyLoopback = std::any_of(resolved->begin(), resolved->end(), IsLoopback);
    std::vector<Ipv4> list = EffectiveAddressList(
        *resolved, anyLoopback ? backend.InterfaceAddresses() : std::vector<Ipv4>{});
    return Ipv4Text(list.back());
}

std::string InterfaceAddressText(HostBackend& backend) {
    std::vector<Ipv4> interfaces = backend.InterfaceAddresses();
    return interfaces.empty() ? std::string() : Ipv4Text(interfaces.back());
}

void GetLocalHostName(std::string& Name) { ReadLocalHostName(CurrentHostBackend(), Name); }

void GetLocalIP(std::string& Address) {
    HostBackend& backend = CurrentHostBackend();
    std::string name;
    std::optional<std::string> resolved;
    if (ReadLocalHostName(backend, name)) resolved = ResolvedAddressText(backend, name);
    Address = resolved ? *resolved : InterfaceAddressText(backend);
}

}  // namespace platform
