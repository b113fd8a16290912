#include "framework/core/classregistry.h"

#include <map>
#include <stdexcept>

#include "framework/core/classes.h"

namespace fw {

namespace {
// A class described already, or the function that describes it.
struct Entry {
    const TClassInfo* info = nullptr;
    TClassDescriber describe = nullptr;
};

std::map<std::string, Entry, NameLess>& Registry() {
    static std::map<std::string, Entry, NameLess> r;
    return r;
}
}  // namespace

void RegisterClass(const TClassInfo& info) { Registry()[info.name] = {&info, nullptr}; }

void RegisterClasses(std::initializer_list<TNamedClass> classes) {
    for (const TNamedClass& c : classes) Registry()[c.name] = {nullptr, c.describe};
}

void UnregisterClass(const std::string& name) { Registry().erase(name); }

const TClassInfo* FindClass(const std::string& name) {
    auto it = Registry().find(name);
    if (it == Registry().end()) return nullptr;
    Entry& e = it->second;
    if (!e.info) {
        e.info = &e.describe();
        // Registered under a name that is not the class's own: a fault of the program.
        if (!SameText(e.info->name, it->first))
            throw std::logic_error("class " + e.info->name + " registered as " + it->first);
    }
    return e.info;
}

}  // namespace fw
