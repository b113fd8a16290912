#pragma once
// The members of TInPlace, for the sources that see the complete type.
#include <new>

#include "framework/core/inplace.h"

namespace fw {

template <class T, std::size_t Size, std::size_t Align>
TInPlace<T, Size, Align>::TInPlace() {
    static_assert(sizeof(T) <= Size, "TInPlace: the type does not fit the room reserved");
    static_assert(Align % alignof(T) == 0, "TInPlace: the type needs a stricter alignment");
    new (bytes_) T();
}

template <class T, std::size_t Size, std::size_t Align>
TInPlace<T, Size, Align>::TInPlace(const TInPlace& other) {
    new (bytes_) T(*other);
}

template <class T, std::size_t Size, std::size_t Align>
TInPlace<T, Size, Align>& TInPlace<T, Size, Align>::operator=(const TInPlace& other) {
    **this = *other;
    return *this;
}

template <class T, std::size_t Size, std::size_t Align>
TInPlace<T, Size, Align>::~TInPlace() {
    (**this).~T();
}

template <class T, std::size_t Size, std::size_t Align>
T& TInPlace<T, Size, Align>::operator*() {
    return *std::launder(reinterpret_cast<T*>(bytes_));
}

template <class T, std::size_t Size, std::size_t Align>
const T& TInPlace<T, Size, Align>::operator*() const {
    return *std::launder(reinterpret_cast<const T*>(bytes_));
}

}  // namespace fw
