#include "platform/fixedhostbackend.h"

#include <cstring>

namespace platform {

bool FixedHostBackend::QueryHostName(char* buf, std::size_t len) {
    ++nameQueries;
    if (!hostName || hostName->size() + 1 > len) return false;
    std::memcpy(buf, hostName->c_str(), hostName->size() + 1);
    return true;
}

std::optional<std::vector<Ipv4>> FixedHostBackend::Resolve(const std::string& name) {
    resolvedNames.push_back(name);
    return resolved;
}

std::vector<Ipv4> FixedHostBackend::InterfaceAddresses() { return interfaces; }

}  // namespace platform
