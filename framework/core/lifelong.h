#pragma once
// Read-only data that stays where it is until the program ends: the window descriptions
// compiled into the program. Pictures read from such data may show its pixels in place
// instead of holding a copy of their own; anything else is copied as it is read.
#include <cstdint>
#include <span>
#include <string_view>

namespace fw {

// Declares data as lifelong and returns it. Only for data that is never written or freed.
std::string_view Lifelong(std::string_view data);
// True when the whole of data lies inside data declared lifelong.
bool IsLifelong(std::span<const uint8_t> data);

}  // namespace fw
