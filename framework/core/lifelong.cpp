#include "framework/core/lifelong.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

namespace fw {

namespace {
struct Ranges {
    std::mutex lock;
    std::vector<std::string_view> all;
};
Ranges& Declared() {
    static Ranges ranges;
    return ranges;
}
}  // namespace

std::string_view Lifelong(std::string_view data) {
    if (data.empty()) return data;
    Ranges& r = Declared();
    std::lock_guard hold(r.lock);
    // The same place, not the same bytes (string_view's == compares the bytes).
    const bool known = std::any_of(r.all.begin(), r.all.end(), [&](std::string_view d) {
        return d.data() == data.data() && d.size() == data.size();
    });
    if (!known) r.all.push_back(data);
    return data;
}

bool IsLifelong(std::span<const uint8_t> data) {
    if (data.empty()) return false;
    const auto* first = reinterpret_cast<const char*>(data.data());
    const auto* last = first + data.size();
    Ranges& r = Declared();
    std::lock_guard hold(r.lock);
    // Pointers into different arrays compare through std::less, which orders them all.
    const std::less<const char*> before;
    return std::any_of(r.all.begin(), r.all.end(), [&](std::string_view d) {
        return !before(first, d.data()) && !before(d.data() + d.size(), last);
    });
}

}  // namespace fw
