#pragma once
// A property value as the component text spells it, before it meets a property.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fw {

struct TextValue;

// One property line of a block: its dotted path and its value.
struct PropertyLine {
    std::string path;
    std::vector<TextValue> value;  // exactly one element; a vector breaks the type cycle
    int line = 0;

    const TextValue& Value() const { return value.front(); }
};

// One item of a collection: its property lines.
struct CollectionItemText {
    std::vector<PropertyLine> props;
    int line = 0;
};

struct TextValue {
    enum class Type { Integer, Float, String, Identifier, Set, List, Binary, Collection };
    Type type = Type::Integer;
    int64_t integer = 0;
    double number = 0;
    std::string text;                  // string contents or identifier
    std::vector<std::string> members;  // set members
    std::vector<TextValue> elements;   // list elements
    std::vector<uint8_t> bytes;        // binary data, held
    std::span<const uint8_t> view;     // or binary data where it lies (binaryform.h)
    std::vector<CollectionItemText> items;
    int line = 0;

    std::span<const uint8_t> Data() const { return view.data() ? view : bytes; }

    static TextValue Int(int64_t v) {
        TextValue t;
        t.type = Type::Integer;
        t.integer = v;
        return t;
    }
    static TextValue Str(std::string s) {
        TextValue t;
        t.type = Type::String;
        t.text = std::move(s);
        return t;
    }
    static TextValue Ident(std::string s) {
        TextValue t;
        t.type = Type::Identifier;
        t.text = std::move(s);
        return t;
    }
};

// A component block: "object Name: Class", its property lines and its nested blocks.
struct ObjectText {
    std::string name;
    std::string className;
    std::vector<PropertyLine> props;
    std::vector<ObjectText> children;
    int line = 0;
};

}  // namespace fw
