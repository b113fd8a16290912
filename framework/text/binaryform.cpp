// The binary form: the tree's fields in order, numbers as base-128 varints (integers
// zigzagged), strings and byte runs counted, every list of things counted first.
#include "framework/text/binaryform.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include "framework/core/exceptions.h"
#include "framework/text/componenttext.h"
#include "framework/text/lexer.h"

namespace fw {

namespace {

// A NUL starts no component text; the last byte is the form's version.
constexpr std::string_view kMagic{"\0RZB\2", 5};
// Byte runs start this far apart, counted from the form's first byte, after zero bytes that
// fill the gap: a picture's rows then lie aligned where the form itself is, and can be shown
// in place (core/lifelong.h).
constexpr size_t kRunAlignment = 4;
// As deep as the text parser lets a text nest.
constexpr int kMaxNesting = 64;

using Type = TextValue::Type;

class Writer {
  public:
    std::string Take() { return std::move(out_); }

    void Object(const ObjectText& o) {
        Number(Unsigned(o.line));
        Text(o.name);
        Text(o.className);
        Lines(o.props);
        Number(o.children.size());
        for (const ObjectText& child : o.children) Object(child);
    }

    void Text(std::string_view s) {
        Number(s.size());
        out_.append(s);
    }

  private:
    static uint64_t Unsigned(int v) { return static_cast<uint64_t>(std::max(v, 0)); }

    void Number(uint64_t v) {
        for (; v >= 0x80; v >>= 7) out_ += static_cast<char>(0x80 | (v & 0x7F));
        out_ += static_cast<char>(v);
    }

    void Lines(const std::vector<PropertyLine>& lines) {
        Number(lines.size());
        for (const PropertyLine& line : lines) {
            Number(Unsigned(line.line));
            Text(line.path);
            Value(line.Value());
        }
    }

    void Value(const TextValue& v) {
        out_ += static_cast<char>(v.type);
        Number(Unsigned(v.line));
        switch (v.type) {
            case Type::Integer:
                Number((static_cast<uint64_t>(v.integer) << 1) ^
                       static_cast<uint64_t>(v.integer >> 63));
                return;
            case Type::Float:
                Number(std::bit_cast<uint64_t>(v.number));
                return;
            case Type::String:
            case Type::Identifier:
                Text(v.text);
                return;
            case Type::Set:
                Number(v.members.size());
                for (const std::string& m : v.members) Text(m);
                return;
            case Type::List:
                Number(v.elements.size());
                for (const TextValue& e : v.elements) Value(e);
                return;
            case Type::Binary:
                Number(v.Data().size());
                while ((kMagic.size() + out_.size()) % kRunAlignment) out_ += '\0';
                out_.append(reinterpret_cast<const char*>(v.Data().data()), v.Data().size());
                return;
            case Type::Collection:
                Number(v.items.size());
                for (const CollectionItemText& item : v.items) {
                    Number(Unsigned(item.line));
                    Lines(item.props);
                }
                return;
        }
    }

    std::string out_;
};

class Reader {
  public:
    explicit Reader(std::string_view data) : data_(data), pos_(kMagic.size()) {
        if (!IsBinaryForm(data)) Fail();
    }

    ObjectText Root() {
        ObjectText o = Object();
        if (pos_ != data_.size()) Fail();
        return o;
    }

  private:
    [[noreturn]] void Fail() const {
        throw EParserError("Damaged binary window description at byte " + std::to_string(pos_));
    }

    // Counts one level of nesting for as long as it lives.
    class Level {
      public:
        explicit Level(Reader& r) : r_(r) {
            if (++r_.depth_ > kMaxNesting) r_.Fail();
        }
        ~Level() { --r_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

      private:
        Reader& r_;
    };

    uint8_t Byte() {
        if (pos_ >= data_.size()) Fail();
        return static_cast<uint8_t>(data_[pos_++]);
    }
    uint64_t Number() {
        uint64_t v = 0;
        for (int shift = 0;; shift += 7) {
            const uint8_t b = Byte();
            if (shift == 63 && b > 1) Fail();  // more than 64 bits
            v |= uint64_t{b & 0x7Fu} << shift;
            if (!(b & 0x80)) return v;
        }
    }
    // A count of things that take a byte each at least: more than are left is damage.
    size_t Count() {
        const uint64_t n = Number();
        if (n > data_.size() - pos_) Fail();
        return static_cast<size_t>(n);
    }
    int Line() {
        const uint64_t n = Number();
        if (n > INT_MAX) Fail();
        return static_cast<int>(n);
    }
    std::string_view Run() {
        const size_t n = Count();
        std::string_view s = data_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    std::string Text() { return std::string(Run()); }
    // A name the text form would read back as one identifier (empty only where allowed):
    // anything else would be written out as text that no longer parses.
    std::string Identifier(bool mayBeEmpty = false) {
        std::string s = Text();
        if (!(mayBeEmpty && s.empty()) && !IsIdentifier(s)) Fail();
        return s;
    }

    ObjectText Object() {
        Level level(*this);
        ObjectText o;
        o.line = Line();
        o.name = Identifier(true);
        o.className = Identifier();
        o.props = Lines();
        o.children.resize(Count());
        for (ObjectText& child : o.children) child = Object();
        return o;
    }

    std::vector<PropertyLine> Lines() {
        std::vector<PropertyLine> lines(Count());
        for (PropertyLine& line : lines) {
            line.line = Line();
            line.path = Identifier();
            line.value.push_back(Value());
        }
        return lines;
    }

    TextValue Value() {
        TextValue v;
        const uint8_t type = Byte();
        if (type > static_cast<uint8_t>(Type::Collection)) Fail();
        v.type = static_cast<Type>(type);
        v.line = Line();
        switch (v.type) {
            case Type::Integer: {
                const uint64_t z = Number();
                v.integer = static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1);
                break;
            }
            case Type::Float:
                v.number = std::bit_cast<double>(Number());
                if (!std::isfinite(v.number)) Fail();  // no text spells these
                break;
            case Type::String:
                v.text = Text();
                break;
            case Type::Identifier:
                v.text = Identifier();
                break;
            case Type::Set:
                v.members.resize(Count());
                for (std::string& m : v.members) m = Identifier();
                break;
            case Type::List: {
                Level level(*this);  // lists and collections count, as in the text
                v.elements.resize(Count());
                for (TextValue& e : v.elements) e = Value();
                break;
            }
            case Type::Binary: {
                // Left where it lies: a window's pictures are most of its description.
                const size_t n = Count();
                while (pos_ % kRunAlignment)
                    if (Byte() != 0) Fail();
                if (n > data_.size() - pos_) Fail();
                v.view = {reinterpret_cast<const uint8_t*>(data_.data() + pos_), n};
                pos_ += n;
                break;
            }
            case Type::Collection: {
                Level level(*this);
                v.items.resize(Count());
                for (CollectionItemText& item : v.items) {
                    item.line = Line();
                    item.props = Lines();
                }
                break;
            }
        }
        return v;
    }

    std::string_view data_;
    size_t pos_;
    int depth_ = 0;
};

}  // namespace

std::string WriteBinaryForm(const ObjectText& tree) {
    Writer w;
    std::string out(kMagic);
    w.Object(tree);
    return out + w.Take();
}

bool IsBinaryForm(std::string_view data) { return data.substr(0, kMagic.size()) == kMagic; }

ObjectText ReadBinaryForm(std::string_view data) { return Reader(data).Root(); }

ObjectText ReadDescriptionTree(std::string_view description) {
    return IsBinaryForm(description) ? ReadBinaryForm(description)
                                     : ParseComponentText(description);
}

}  // namespace fw
