#include "framework/core/appservices.h"

#include <cstdio>

namespace fw {

TAppServices& AppServices() {
    static TAppServices services;
    return services;
}

void Guarded(TPropertyObject* sender, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        if (const auto& show = AppServices().showException)
            show(sender, e);
        else
            std::fprintf(stderr, "%s\n", e.what());
    }
}

}  // namespace fw
