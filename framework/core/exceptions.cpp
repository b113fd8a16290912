#include "framework/core/exceptions.h"

namespace fw {

std::string Fmt(const char* text, std::initializer_list<std::string> args) {
    std::string out;
    auto it = args.begin();
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (it != args.end()) out += *it++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace fw
