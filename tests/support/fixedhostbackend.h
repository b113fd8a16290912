#pragma once
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/probe.h"

namespace platform {

// A host backend that answers from fixed values, for tests:
//   FixedHostBackend fake;
//   fake.hostName = "box"; fake.resolved = {{{10, 0, 0, 7}}};
//   ScopedHostBackend use(fake);
class FixedHostBackend : public HostBackend {
  public:
    std::optional<std::string> hostName;        // nullopt: the name query fails
    std::optional<std::vector<Ipv4>> resolved;  // nullopt: the name does not resolve
    std::vector<Ipv4> interfaces;               // up, non-loopback interface addresses
    int nameQueries = 0;
    std::vector<std::string> resolvedNames;  // every name Resolve was asked for

    // Like gethostname, fails when the name and its NUL do not fit.
    bool QueryHostName(char* buf, std::size_t len) override {
        ++nameQueries;
        if (!hostName || hostName->size() + 1 > len) return false;
        std::memcpy(buf, hostName->c_str(), hostName->size() + 1);
        return true;
    }
    std::optional<std::vector<Ipv4>> Resolve(const std::string& name) override {
        resolvedNames.push_back(name);
        return resolved;
    }
    std::vector<Ipv4> InterfaceAddresses() override { return interfaces; }
};

}  // namespace platform
