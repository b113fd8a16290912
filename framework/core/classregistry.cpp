#include "framework/core/classregistry.h"

#include <map>

#include "framework/core/classes.h"

namespace fw {

namespace {
std::map<std::string, const TClassInfo*, NameLess>& Registry() {
    static std::map<std::string, const TClassInfo*, NameLess> r;
    return r;
}
}  // namespace

void RegisterClass(const TClassInfo& info) { Registry()[info.name] = &info; }

void UnregisterClass(const std::string& name) { Registry().erase(name); }

const TClassInfo* FindClass(const std::string& name) {
    auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second;
}

}  // namespace fw
