#pragma once
// What the decorator's sources share about the hooks: the decorators alive and the form
// hook's procedure.
#include <cstdint>

#include "controls/bannermenus.h"

namespace ctl {

// Item data naming a decorator that was freed is never followed: every decorator is
// registered while it lives.
void RegisterDecorator(const TCustomMenuDecorator* d);
void UnregisterDecorator(const TCustomMenuDecorator* d);
// The decorator the item data names, or null when none alive has that address.
TCustomMenuDecorator* Named(uintptr_t itemData);

struct FormHook {
    TCustomMenuDecorator* d;
    void operator()(fw::TMessage& m) const { d->FormWndProc(m); }
};

}  // namespace ctl
