#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// An IPv4 address as its four bytes in network order (10.0.0.7 is {10, 0, 0, 7}).
using Ipv4 = std::array<std::uint8_t, 4>;

// The operating-system queries behind the probe. Tests install a fake to feed addresses
// that the real machine does not have.
class HostBackend {
  public:
    virtual ~HostBackend() = default;
    // gethostname: fills buf (len bytes) with a NUL-terminated name; false when it fails.
    virtual bool QueryHostName(char* buf, std::size_t len) = 0;
    // The IPv4 addresses the resolver gives for name, in its order; nullopt when the name
    // does not resolve.
    virtual std::optional<std::vector<Ipv4>> Resolve(const std::string& name) = 0;
    // IPv4 addresses of the interfaces that are up and not loopback, in interface order.
    virtual std::vector<Ipv4> InterfaceAddresses() = 0;
};

// The backend that asks the system.
HostBackend& SystemHostBackend();
// The backend in use by the probe (the system one unless a test installed another).
HostBackend& CurrentHostBackend();

// Installs a backend process-wide for its lifetime and puts the previous one back.
class ScopedHostBackend {
  public:
    explicit ScopedHostBackend(HostBackend& backend);
    ~ScopedHostBackend();
    ScopedHostBackend(const ScopedHostBackend&) = delete;
    ScopedHostBackend& operator=(const ScopedHostBackend&) = delete;

  private:
    HostBackend* previous_;
};

// The host name as the system reports it; empty when the query fails. Names up to the
// system's longest (64 characters on Linux) come whole.
void GetLocalHostName(std::string& Name);
// Dotted text of the last IPv4 address of the own name's address list. When the name does
// not resolve or its list is empty, the address the interfaces hold (InterfaceAddressText);
// empty when there is none either. Blocks for as long as the resolver takes.
void GetLocalIP(std::string& Address);

// The steps of the two queries above, on a given backend.
bool ReadLocalHostName(HostBackend& backend, std::string& name);
// Dotted text of the last entry of the name's effective address list; nullopt when the name
// does not resolve or its list is empty.
std::optional<std::string> ResolvedAddressText(HostBackend& backend, const std::string& name);
// The interfaces' address chosen as for a name that resolves to loopback: the last one;
// empty when the machine has none.
std::string InterfaceAddressText(HostBackend& backend);

// The address list GetLocalIP walks: the resolver's answer with each loopback entry replaced
// by the interface addresses (when there are any) and duplicates dropped.
std::vector<Ipv4> EffectiveAddressList(const std::vector<Ipv4>& resolved,
                                       const std::vector<Ipv4>& interfaces);

std::string Ipv4Text(const Ipv4& address);

}  // namespace platform
