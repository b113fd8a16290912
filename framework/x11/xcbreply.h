#pragma once
// What xcb hands over for the caller to free (a reply, an error, an event), owned: freed when
// it goes out of scope. Plain xcb and the standard library only, so that the X clients in
// tools/ use it too.
#include <cstdlib>
#include <memory>

namespace fw {

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
// Null when the server sent no answer.
template <class T>
using XcbReply = std::unique_ptr<T, XcbFree>;

}  // namespace fw
