#pragma once
// Reflection of published properties: each class declares its properties once, in
// declaration order, with kind, declared default and stored flag; inheritance chains the
// tables. The component text reader and writer work only through these tables.
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "framework/core/thunk.h"

namespace fw {

// Bytes read where they lie: a binary property's value, which the setter copies what it keeps of.
using ByteView = std::span<const uint8_t>;

class TPropertyObject;
class TComponent;
class TCollection;

enum class PropKind {
    Integer,
    Float,
    String,
    Enum,  // Boolean counts as an enumeration
    Set,
    Color,
    Class,       // an owned object with published properties of its own (Font)
    Component,   // a reference to another component, resolved by name
    Event,       // a handler bound by name
    Strings,     // a list of strings ("Lines.Strings = (")
    Binary,      // raw bytes ("Picture.Data = {")
    Collection,  // items with published properties ("Items = <")
};

struct EnumInfo {
    std::string typeName;
    std::vector<std::string> names;  // identifier of each ordinal

    int Ordinal(const std::string& ident) const;  // -1 when unknown (case-insensitive)
};

const EnumInfo& BooleanInfo();

// Accessors by kind of value. A property record holds only its own kind's group, so a table
// of a few hundred properties stays small.
struct OrdinalAccess {  // Integer, Enum, Set, Color
    Thunk<int64_t(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, int64_t)> set;
};
struct FloatAccess {
    Thunk<double(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, double)> set;
};
struct StringAccess {
    Thunk<std::string(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, const std::string&)> set;
};
struct ObjectAccess {  // Class, Collection
    Thunk<TPropertyObject*(TPropertyObject&)> get;
};
struct ComponentAccess {
    Thunk<TComponent*(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, TComponent*)> set;
    // Whether the property can refer to that component (its class fits).
    Thunk<bool(const TComponent*)> accepts;
};
struct EventAccess {
    Thunk<std::string(const TPropertyObject&)> handlerName;
    // Binds the named handler of the root component (throws when it has none); an empty
    // name unbinds.
    Thunk<void(TPropertyObject&, const std::string&, TComponent* root)> bind;
};
struct StringsAccess {  // a list of strings
    Thunk<std::vector<std::string>(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, const std::vector<std::string>&)> set;
};
struct BytesAccess {
    Thunk<std::vector<uint8_t>(const TPropertyObject&)> get;
    Thunk<void(TPropertyObject&, ByteView)> set;
};
using PropAccess =
    std::variant<std::monostate, OrdinalAccess, FloatAccess, StringAccess, ObjectAccess,
                 ComponentAccess, EventAccess, StringsAccess, BytesAccess>;

struct PropInfo {
    std::string name;
    PropKind kind = PropKind::Integer;
    const EnumInfo* enumInfo = nullptr;     // enumerations and sets
    std::optional<int64_t> defaultOrdinal;  // Integer, Enum, Set (bit mask), Color
    std::optional<std::string> defaultString;
    // Integer: the range of the setter's type; a value outside it is refused, not wrapped.
    int64_t minValue = INT64_MIN;
    int64_t maxValue = INT64_MAX;
    bool stored = true;                            // false: never written (Font.Size)
    Thunk<bool(const TPropertyObject&)> isStored;  // extra condition, may be empty
    // How the value is read and written: the one group of accessors of the property's kind.
    PropAccess access;

    // The accessors of the property's kind; asking for those of another kind throws
    // std::bad_variant_access.
    const OrdinalAccess& Ordinal() const { return std::get<OrdinalAccess>(access); }
    const FloatAccess& Float() const { return std::get<FloatAccess>(access); }
    const StringAccess& String() const { return std::get<StringAccess>(access); }
    const ObjectAccess& Object() const { return std::get<ObjectAccess>(access); }
    const ComponentAccess& Component() const { return std::get<ComponentAccess>(access); }
    const EventAccess& Event() const { return std::get<EventAccess>(access); }
    const StringsAccess& Strings() const { return std::get<StringsAccess>(access); }
    const BytesAccess& Bytes() const { return std::get<BytesAccess>(access); }

    bool IsEnumeration() const { return kind == PropKind::Enum; }
    bool HasDefault() const { return defaultOrdinal || defaultString; }

    // Out of line: every published property of every class makes one, and inlined copies of
    // these members were a large share of the program's code.
    PropInfo();
    PropInfo(const PropInfo&);
    PropInfo(PropInfo&&) noexcept;
    PropInfo& operator=(const PropInfo&);
    PropInfo& operator=(PropInfo&&) noexcept;
    ~PropInfo();
};

struct TClassInfo {
    std::string name;
    const TClassInfo* parent = nullptr;
    std::vector<PropInfo> props;  // this class's own, in declaration order
    // Creates an instance for the component text reader (components only).
    Thunk<TComponent*(TComponent* owner)> create;

    // All properties, the ancestors' first.
    std::vector<const PropInfo*> AllProps() const;
    const PropInfo* FindProp(const std::string& name) const;  // case-insensitive
    bool InheritsFrom(const TClassInfo* other) const;
    // Appends a property (out of line for the same reason as PropInfo's members).
    void AddProp(PropInfo&& prop);
    // Gives back the table's spare room: class records live as long as the program.
    void FitProps();
};

}  // namespace fw
