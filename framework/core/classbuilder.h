#pragma once
// One line per published property:
//   ClassBuilder<TLabel>("TLabel", &TCustomLabel::StaticClassInfo())
//       .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
//       .Build();
#include <limits>
#include <type_traits>

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"

namespace fw {

template <class T>
class ClassBuilder {
  public:
    ClassBuilder(std::string name, const TClassInfo* parent) {
        info_.name = std::move(name);
        info_.parent = parent;
    }

    // Registers a constructor so the reader can create the class by name.
    ClassBuilder& Creatable() {
        if constexpr (std::is_constructible_v<T, TComponent*>)
            info_.create = [](TComponent* owner) -> TComponent* { return new T(owner); };
        return *this;
    }

    template <class G, class S, class R, class A>
    ClassBuilder& Integer(std::string name, R (G::*get)() const, void (S::*set)(A),
                          std::optional<int64_t> def) {
        PropInfo p = Base(std::move(name), PropKind::Integer);
        p.defaultOrdinal = def;
        using V = std::decay_t<A>;
        static_assert(sizeof(V) <= sizeof(int64_t) && std::is_integral_v<V>);
        p.minValue = static_cast<int64_t>(std::numeric_limits<V>::min());
        p.maxValue = sizeof(V) == sizeof(int64_t) && std::is_unsigned_v<V>
                         ? INT64_MAX
                         : static_cast<int64_t>(std::numeric_limits<V>::max());
        Ordinal(p, get, set);
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Boolean(std::string name, R (G::*get)() const, void (S::*set)(A),
                          std::optional<bool> def) {
        PropInfo p = Base(std::move(name), PropKind::Enum);
        p.enumInfo = &BooleanInfo();
        if (def) p.defaultOrdinal = *def ? 1 : 0;
        Ordinal(p, get, set);
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Enum(std::string name, R (G::*get)() const, void (S::*set)(A),
                       const EnumInfo& info, std::optional<int64_t> def) {
        PropInfo p = Base(std::move(name), PropKind::Enum);
        p.enumInfo = &info;
        p.defaultOrdinal = def;
        Ordinal(p, get, set);
        return Add(std::move(p));
    }
    // A set is kept as a bit mask: bit n is member n of the enumeration.
    template <class G, class S, class R, class A>
    ClassBuilder& Set(std::string name, R (G::*get)() const, void (S::*set)(A),
                      const EnumInfo& info, std::optional<int64_t> def) {
        PropInfo p = Base(std::move(name), PropKind::Set);
        p.enumInfo = &info;
        p.defaultOrdinal = def;
        Ordinal(p, get, set);
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Color(std::string name, R (G::*get)() const, void (S::*set)(A),
                        std::optional<int64_t> def) {
        PropInfo p = Base(std::move(name), PropKind::Color);
        p.defaultOrdinal = def;
        Ordinal(p, get, set);
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Float(std::string name, R (G::*get)() const, void (S::*set)(A)) {
        PropInfo p = Base(std::move(name), PropKind::Float);
        p.access = FloatAccess{[get](const TPropertyObject& o) {
                                   return static_cast<double>((static_cast<const T&>(o).*get)());
                               },
                               [set](TPropertyObject& o, double v) {
                                   (static_cast<T&>(o).*set)(static_cast<std::decay_t<A>>(v));
                               }};
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& String(std::string name, R (G::*get)() const, void (S::*set)(A),
                         std::optional<std::string> def) {
        PropInfo p = Base(std::move(name), PropKind::String);
        p.defaultString = std::move(def);
        p.access = StringAccess{
            [get](const TPropertyObject& o) {
                return std::string((static_cast<const T&>(o).*get)());
            },
            [set](TPropertyObject& o, const std::string& v) { (static_cast<T&>(o).*set)(v); }};
        return Add(std::move(p));
    }
    // An owned object whose published properties are written as dotted sub-properties.
    template <class C, class R>
    ClassBuilder& Object(std::string name, R* (C::*get)() const) {
        PropInfo p = Base(std::move(name), PropKind::Class);
        p.access = ObjectAccess{
            [get](TPropertyObject& o) -> TPropertyObject* { return (static_cast<T&>(o).*get)(); }};
        return Add(std::move(p));
    }
    template <class C, class R>
    ClassBuilder& Collection(std::string name, R* (C::*get)() const) {
        PropInfo p = Base(std::move(name), PropKind::Collection);
        p.access = ObjectAccess{
            [get](TPropertyObject& o) -> TPropertyObject* { return (static_cast<T&>(o).*get)(); }};
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Component(std::string name, R* (G::*get)() const, void (S::*set)(A*)) {
        PropInfo p = Base(std::move(name), PropKind::Component);
        p.access = ComponentAccess{
            [get](const TPropertyObject& o) -> TComponent* {
                R* r = (static_cast<const T&>(o).*get)();
                // A reference may be held through an interface that tells its component.
                if constexpr (std::is_base_of_v<TComponent, R>)
                    return r;
                else
                    return r ? r->AsComponent() : nullptr;
            },
            [set](TPropertyObject& o, TComponent* c) {
                A* typed = c ? dynamic_cast<A*>(c) : nullptr;
                if (c && !typed) throw EReadError(strings::kInvalidPropertyValue);
                (static_cast<T&>(o).*set)(typed);
            },
            [](const TComponent* c) { return !c || dynamic_cast<const A*>(c) != nullptr; }};
        return Add(std::move(p));
    }
    template <class C, class F>
    ClassBuilder& Event(std::string name, TEvent<F> C::*member) {
        PropInfo p = Base(std::move(name), PropKind::Event);
        p.access =
            EventAccess{[member](const TPropertyObject& o) {
                            const TEvent<F>& e = static_cast<const T&>(o).*member;
                            return e.fn ? e.name : std::string();
                        },
                        [member](TPropertyObject& o, const std::string& handler, TComponent* root) {
                            TEvent<F>& e = static_cast<T&>(o).*member;
                            if (handler.empty() || handler == "nil") {
                                e.Set(nullptr);
                                return;
                            }
                            const std::any* h = root ? root->FindHandler(handler) : nullptr;
                            const auto* fn = h ? std::any_cast<std::function<F>>(h) : nullptr;
                            if (!fn) throw EReadError(Fmt(strings::kUnknownHandler, handler));
                            e.Set(*fn, handler);
                        }};
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& StringList(std::string name, R (G::*get)() const, void (S::*set)(A)) {
        PropInfo p = Base(std::move(name), PropKind::Strings);
        p.access =
            StringsAccess{[get](const TPropertyObject& o) {
                              return std::vector<std::string>((static_cast<const T&>(o).*get)());
                          },
                          [set](TPropertyObject& o, const std::vector<std::string>& v) {
                              (static_cast<T&>(o).*set)(v);
                          }};
        return Add(std::move(p));
    }
    template <class G, class S, class R, class A>
    ClassBuilder& Binary(std::string name, R (G::*get)() const, void (S::*set)(A)) {
        PropInfo p = Base(std::move(name), PropKind::Binary);
        p.access =
            BytesAccess{[get](const TPropertyObject& o) {
                            return std::vector<uint8_t>((static_cast<const T&>(o).*get)());
                        },
                        [set](TPropertyObject& o, ByteView v) { (static_cast<T&>(o).*set)(v); }};
        return Add(std::move(p));
    }

    // Modifiers for the property added last.
    ClassBuilder& NotStored() {
        info_.props.back().stored = false;
        return *this;
    }
    template <class C>
    ClassBuilder& StoredWhen(bool (C::*pred)() const) {
        info_.props.back().isStored = [pred](const TPropertyObject& o) {
            return (static_cast<const T&>(o).*pred)();
        };
        return *this;
    }

    TClassInfo Build() {
        info_.FitProps();
        return std::move(info_);
    }

  private:
    static PropInfo Base(std::string name, PropKind kind) {
        PropInfo p;
        p.name = std::move(name);
        p.kind = kind;
        return p;
    }
    template <class G, class S, class R, class A>
    static void Ordinal(PropInfo& p, R (G::*get)() const, void (S::*set)(A)) {
        p.access = OrdinalAccess{[get](const TPropertyObject& o) {
                                     return static_cast<int64_t>((static_cast<const T&>(o).*get)());
                                 },
                                 [set](TPropertyObject& o, int64_t v) {
                                     (static_cast<T&>(o).*set)(static_cast<std::decay_t<A>>(v));
                                 }};
    }
    ClassBuilder& Add(PropInfo&& p) {
        info_.AddProp(std::move(p));
        return *this;
    }

    TClassInfo info_;
};

// Wraps a method of a form as a handler a description can bind by name.
template <class T, class C, class... Args>
std::function<void(Args...)> Handler(T* self, void (C::*method)(Args...)) {
    return [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); };
}

}  // namespace fw
