#include "framework/core/savemoments.h"

#include <algorithm>
#include <vector>

namespace fw {

namespace {
std::vector<TSaveMomentListener*>& Listeners() {
    static std::vector<TSaveMomentListener*> listeners;
    return listeners;
}
}  // namespace

TSaveMomentListener::TSaveMomentListener(std::function<void(TSaveMoment)> heard)
    : heard_(std::move(heard)) {
    Listeners().push_back(this);
}

TSaveMomentListener::~TSaveMomentListener() { std::erase(Listeners(), this); }

void AnnounceSaveMoment(TSaveMoment moment) {
    // A listener may end another (or itself) while it hears: only those still there are told.
    const std::vector<TSaveMomentListener*> now = Listeners();
    for (TSaveMomentListener* l : now)
        if (std::find(Listeners().begin(), Listeners().end(), l) != Listeners().end())
            l->heard_(moment);
}

}  // namespace fw
