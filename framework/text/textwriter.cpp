// Component -> component text.
#include <algorithm>
#include <charconv>
#include <optional>

#include "framework/core/classes.h"
#include "framework/graphics/colors.h"
#include "framework/text/componenttext.h"

namespace fw {

std::string QuoteString(const std::string& s) {
    if (s.empty()) return "''";
    std::string out;
    bool inRun = false;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c != '\'') {
            if (!inRun) out += '\'';
            inRun = true;
            out += ch;
        } else {
            if (inRun) out += '\'';
            inRun = false;
            out += "#" + std::to_string(c);
        }
    }
    if (inRun) out += '\'';
    return out;
}

namespace {

class Writer {
  public:
    explicit Writer(const PropertySelection* select = nullptr) : select_(select) {}
    std::string Take() { return std::move(out_); }

    void Component(TComponent& c, TComponent& root, int level) {
        Line(level, c.Name().empty() ? "object " + c.ClassName()
                                     : "object " + c.Name() + ": " + c.ClassName());
        if (select_) {
            const std::vector<std::string> names = (*select_)(c);
            if (!names.empty()) Properties(c, "", level + 1, nullptr, &names);
        } else {
            Properties(c, "", level + 1);
        }
        c.GetChildren([&](TComponent* child) { Component(*child, root, level + 1); }, &root);
        Line(level, "end");
    }

  private:
    void Line(int level, const std::string& text) {
        out_.append(static_cast<size_t>(level) * 2, ' ');
        out_ += text;
        out_ += '\n';
    }

    static std::string SetText(const PropInfo& p, int64_t mask) {
        std::string s = "[";
        bool first = true;
        for (size_t i = 0; p.enumInfo && i < p.enumInfo->names.size(); ++i) {
            if (!(mask & (int64_t{1} << i))) continue;
            if (!first) s += ", ";
            s += p.enumInfo->names[i];
            first = false;
        }
        return s + "]";
    }

    // to_chars writes "." whatever the user's locale says.
    static std::string FloatText(double v) {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
        std::string s(buf, r.ptr);
        if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
        return s;
    }

    // The text of an ordinal property's value, or nothing when it holds its default.
    static std::optional<std::string> OrdinalText(const PropInfo& p, TPropertyObject& obj) {
        const int64_t v = p.Ordinal().get(obj);
        const bool isDefault = p.defaultOrdinal && *p.defaultOrdinal == v;
        switch (p.kind) {
            case PropKind::Enum: {
                if (isDefault) return std::nullopt;
                const auto& names = p.enumInfo->names;
                return v >= 0 && v < static_cast<int64_t>(names.size())
                           ? names[static_cast<size_t>(v)]
                           : std::to_string(v);
            }
            case PropKind::Set:
                return isDefault ? std::nullopt : std::optional(SetText(p, v));
            case PropKind::Color: {
                auto c = static_cast<TColor>(v);
                if (p.defaultOrdinal && static_cast<TColor>(*p.defaultOrdinal) == c)
                    return std::nullopt;
                auto ident = ColorToIdent(c);
                return ident ? *ident : std::to_string(static_cast<int32_t>(c));
            }
            default:
                return isDefault ? std::nullopt : std::optional(std::to_string(v));
        }
    }

    void Strings(const std::string& path, const std::vector<std::string>& lines, int level) {
        if (lines.empty()) return;
        Line(level, path + " = (");
        for (size_t i = 0; i < lines.size(); ++i)
            Line(level + 1, QuoteString(lines[i]) + (i + 1 == lines.size() ? ")" : ""));
    }

    void Collection(const std::string& path, TCollection* coll, int level) {
        if (!coll) return;
        if (coll->Count() == 0) {
            Line(level, path + " = <>");
            return;
        }
        Line(level, path + " = <");
        for (int i = 0; i < coll->Count(); ++i) {
            Line(level + 1, "item");
            Properties(*coll->Items(i), "", level + 2);
            Line(level + 1, i + 1 == coll->Count() ? "end>" : "end");
        }
    }

    // only: at the top level, that one property, whether it is stored or not. among: at the
    // top level, only the stored properties of these names.
    void Properties(TPropertyObject& obj, const std::string& prefix, int level,
                    const std::string* only = nullptr,
                    const std::vector<std::string>* among = nullptr) {
        for (const PropInfo* p : obj.ClassInfo().AllProps()) {
            if (only ? !SameText(p->name, *only) : !p->stored || (p->isStored && !p->isStored(obj)))
                continue;
            if (among && std::none_of(among->begin(), among->end(),
                                      [&](const std::string& n) { return SameText(n, p->name); }))
                continue;
            const std::string path = prefix + p->name;
            switch (p->kind) {
                case PropKind::Integer:
                case PropKind::Enum:
                case PropKind::Set:
                case PropKind::Color:
                    if (auto text = OrdinalText(*p, obj)) Line(level, path + " = " + *text);
                    break;
                case PropKind::Float:
                    Line(level, path + " = " + FloatText(p->Float().get(obj)));
                    break;
                case PropKind::String: {
                    std::string v = p->String().get(obj);
                    if (!p->defaultString || *p->defaultString != v)
                        Line(level, path + " = " + QuoteString(v));
                    break;
                }
                case PropKind::Event: {
                    std::string v = p->Event().handlerName(obj);
                    if (!v.empty()) Line(level, path + " = " + v);
                    break;
                }
                case PropKind::Component: {
                    TComponent* c = p->Component().get(obj);
                    if (c && !c->Name().empty()) Line(level, path + " = " + c->Name());
                    break;
                }
                case PropKind::Class:
                    if (TPropertyObject* sub = p->Object().get(obj))
                        Properties(*sub, path + ".", level);
                    break;
                case PropKind::Strings:
                    Strings(path, p->Strings().get(obj), level);
                    break;
                case PropKind::Binary:
                    Binary(path, p->Bytes().get(obj), level);
                    break;
                case PropKind::Collection:
                    Collection(path, dynamic_cast<TCollection*>(p->Object().get(obj)), level);
                    break;
            }
        }
    }

    void Binary(const std::string& path, const std::vector<uint8_t>& data, int level) {
        static const char* hex = "0123456789ABCDEF";
        auto hexOf = [](const uint8_t* p, size_t n) {
            std::string s;
            s.reserve(n * 2);
            for (size_t i = 0; i < n; ++i) {
                s += hex[p[i] >> 4];
                s += hex[p[i] & 15];
            }
            return s;
        };
        if (data.size() < 32) {
            Line(level, path + " = {" + hexOf(data.data(), data.size()) + "}");
            return;
        }
        Line(level, path + " = {");
        for (size_t i = 0; i < data.size(); i += 32) {
            size_t n = std::min<size_t>(32, data.size() - i);
            Line(level + 1, hexOf(data.data() + i, n) + (i + n == data.size() ? "}" : ""));
        }
    }

    const PropertySelection* select_;
    std::string out_;

  public:
    void Property(TPropertyObject& obj, const std::string& name) { Properties(obj, "", 0, &name); }
};

}  // namespace

std::string WriteComponentText(TComponent& component) {
    Writer w;
    w.Component(component, component, 0);
    return w.Take();
}

std::string WriteComponentText(TComponent& component, const PropertySelection& select) {
    Writer w(&select);
    w.Component(component, component, 0);
    return w.Take();
}

std::string WritePropertyText(TPropertyObject& object, const std::string& name) {
    Writer w;
    w.Property(object, name);
    return w.Take();
}

}  // namespace fw
