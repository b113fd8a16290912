#pragma once
// An object of a type that only the framework's own sources see, kept inside its owner
// without a heap allocation of its own: a public header names the type by a forward
// declaration and reserves room for it. The members are defined in inplaceimpl.h, which
// checks that the type fits; the source that completes the type instantiates them
// (template class TInPlace<T>;) so that owners' out-of-line members can use them anywhere.
#include <cstddef>

namespace fw {

// Room for a toolkit value type of up to three pointers (an image, an optional font).
inline constexpr std::size_t kInPlaceSize = 3 * sizeof(void*);

template <class T, std::size_t Size = kInPlaceSize, std::size_t Align = alignof(void*)>
class TInPlace {
  public:
    TInPlace();
    TInPlace(const TInPlace& other);
    TInPlace& operator=(const TInPlace& other);
    ~TInPlace();

    T& operator*();
    const T& operator*() const;
    T* operator->() { return &**this; }
    const T* operator->() const { return &**this; }

  private:
    alignas(Align) std::byte bytes_[Size];
};

}  // namespace fw
