#pragma once
// The first step of nearly every property setter: a value equal to the one held changes
// nothing and triggers nothing (no repaint, no change notice).
#include <utility>

namespace fw {

// Stores value in field unless they are already equal; true when the field changed, so
// that the caller runs its follow-up (Invalidate, Changed, ...) only then.
template <class Field, class Value>
bool SetIfChanged(Field& field, Value&& value) {
    if (field == value) return false;
    field = std::forward<Value>(value);
    return true;
}

}  // namespace fw
