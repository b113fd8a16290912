#pragma once
// What the decorator's sources share about the hooks: the decorators alive and the form
// hook's procedure.
#include "widgets/bannermenus.h"

namespace ctl {

// An entry's owner naming a decorator that was freed is never followed: every decorator is
// registered while it lives.
void RegisterDecorator(TCustomMenuDecorator* d);
void UnregisterDecorator(TCustomMenuDecorator* d);
// The decorator alive at the entry owner's address, or null.
TCustomMenuDecorator* Named(const void* owner);

struct FormHook {
    TCustomMenuDecorator* d;
    void operator()(fw::TMessage& m) const { d->FormWndProc(m); }
};

}  // namespace ctl
