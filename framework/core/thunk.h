#pragma once
// A callable no larger than a function pointer and 16 bytes of captures, copied as plain
// bytes. The property tables hold hundreds of accessors, each a lambda that captures one
// member pointer; std::function would give each a manager function and a larger record.
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace fw {

template <class Sig>
class Thunk;

template <class R, class... Args>
class Thunk<R(Args...)> {
  public:
    Thunk() = default;
    Thunk(std::nullptr_t) {}

    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, Thunk> &&
                                                std::is_invocable_r_v<R, const F&, Args...>>>
    Thunk(F f) {
        static_assert(sizeof(F) <= sizeof(data_) && alignof(F) <= alignof(void*),
                      "a thunk holds at most two pointers' worth of captures");
        static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                      "a thunk's captures are copied as bytes");
        ::new (static_cast<void*>(data_)) F(f);
        call_ = [](const void* data, Args... args) -> R {
            return (*std::launder(static_cast<const F*>(data)))(std::forward<Args>(args)...);
        };
    }

    explicit operator bool() const { return call_ != nullptr; }
    R operator()(Args... args) const { return call_(data_, std::forward<Args>(args)...); }

  private:
    R (*call_)(const void*, Args...) = nullptr;
    alignas(void*) unsigned char data_[2 * sizeof(void*)] = {};
};

}  // namespace fw
