#include "settings/storerestore.h"

#include "framework/classes.h"
#include "framework/colors.h"
#include "framework/exceptions.h"
#include "framework/textvalue.h"

namespace settings {

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string KeyOf(const std::string& line) { return line.substr(0, line.find('=')); }
std::string ValueOf(const std::string& line) {
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

bool StartsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }

class Rebuilder {
  public:
    Rebuilder(const BinaryLoader& loadBinary, std::vector<std::string>& collections)
        : loadBinary_(loadBinary), collections_(collections) {}

    std::string Take() { return std::move(out_); }

    void Lines(const std::vector<std::string>& lines, size_t begin, size_t end, int indent,
               bool top) {
        size_t i = begin;
        while (i < end) {
            const std::string key = KeyOf(lines[i]);
            if (key.find('<') != std::string::npos)
                i = Collection(lines, i, end, indent, top);
            else if (key.find('(') != std::string::npos)
                i = List(lines, i, end, indent);
            else if (key.find('{') != std::string::npos)
                i = Binary(lines, i, indent);
            else
                Emit(indent, lines[i++]);
        }
    }

  private:
    void Emit(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent), ' ');
        out_ += text;
        out_ += '\n';
    }
    // Appends to the line emitted last.
    void Close(char c) { out_.insert(out_.size() - 1, 1, c); }

    size_t Collection(const std::vector<std::string>& lines, size_t i, size_t end, int indent,
                      bool top) {
        const std::string key = KeyOf(lines[i]);
        const size_t lt = key.find('<');
        const std::string name = key.substr(0, lt);
        const size_t paren = key.find('(', lt);
        if (paren == std::string::npos) Fail(lines[i]);
        const std::string keyword = key.substr(lt + 1, paren - lt - 1);
        size_t j = i;
        while (j < end && StartsWith(KeyOf(lines[j]), name + "<")) ++j;
        Emit(indent, name + " = <");
        if (top) collections_.push_back(name);
        size_t k = i;
        while (k < j) {
            const size_t gt = KeyOf(lines[k]).find('>');
            if (gt == std::string::npos) Fail(lines[k]);
            const std::string tag = lines[k].substr(0, gt + 1);
            std::vector<std::string> inner;
            size_t m = k;
            for (; m < j && StartsWith(lines[m], tag); ++m) {
                std::string rest = lines[m].substr(tag.size());
                if (!rest.empty() && rest.front() == '.') rest.erase(0, 1);
                inner.push_back(rest);
            }
            Emit(indent + 2, keyword);
            Lines(inner, 0, inner.size(), indent + 4, false);
            Emit(indent + 2, m < j ? "end" : "end>");
            k = m;
        }
        return j;
    }

    size_t List(const std::vector<std::string>& lines, size_t i, size_t end, int indent) {
        const std::string name = KeyOf(lines[i]).substr(0, KeyOf(lines[i]).find('('));
        Emit(indent, name + " = (");
        size_t j = i;
        for (; j < end; ++j) {
            const std::string key = KeyOf(lines[j]);
            size_t paren = key.find('(');
            if (paren == std::string::npos || key.substr(0, paren) != name ||
                key.find_first_of("<{") != std::string::npos)
                break;
            Emit(indent + 2, ValueOf(lines[j]));
        }
        Close(')');
        return j;
    }

    size_t Binary(const std::vector<std::string>& lines, size_t i, int indent) {
        const std::string key = KeyOf(lines[i]);
        Emit(indent, key.substr(0, key.find('{')) + " = {");
        for (const std::string& hex : loadBinary_(ValueOf(lines[i]))) Emit(indent + 2, hex);
        Close('}');
        return i + 1;
    }

    [[noreturn]] static void Fail(const std::string& line) {
        throw fw::EParserError("Invalid stored entry " + line);
    }

    const BinaryLoader& loadBinary_;
    std::vector<std::string>& collections_;
    std::string out_;
};

// Value checks that mirror what the reader accepts.
class Checker {
  public:
    Checker(const std::string& name, fw::TComponent* root) : name_(name), root_(root) {}

    void Props(fw::TPersistent& obj, const std::vector<fw::PropertyLine>& props,
               const std::string& prefix) {
        for (const fw::PropertyLine& line : props) Prop(obj, line, prefix);
    }

  private:
    using Type = fw::TextValue::Type;

    [[noreturn]] void Fail(const fw::PropertyLine& line, const std::string& prefix,
                           const std::string& msg) const {
        throw fw::EReadError("Line " + std::to_string(line.line) + ": Error reading " + name_ +
                             "." + prefix + line.path + ": " + msg);
    }

    void Prop(fw::TPersistent& start, const fw::PropertyLine& line, const std::string& prefix) {
        fw::TPersistent* obj = &start;
        std::string path = line.path;
        size_t dot;
        while ((dot = path.find('.')) != std::string::npos) {
            std::string head = path.substr(0, dot);
            const fw::PropInfo* p = obj->ClassInfo().FindProp(head);
            if (!p || p->kind != fw::PropKind::Class || !p->getObject(*obj))
                Fail(line, prefix, fw::Fmt(fw::strings::kPropertyNotFound, head));
            obj = p->getObject(*obj);
            path = path.substr(dot + 1);
        }
        const fw::PropInfo* p = obj->ClassInfo().FindProp(path);
        if (!p) Fail(line, prefix, fw::Fmt(fw::strings::kPropertyNotFound, path));
        if (!Fits(*obj, *p, line.Value(), prefix + line.path))
            Fail(line, prefix, fw::strings::kInvalidPropertyValue);
    }

    bool Fits(fw::TPersistent& obj, const fw::PropInfo& p, const fw::TextValue& v,
              const std::string& path) {
        switch (p.kind) {
            case fw::PropKind::Integer:
                return v.type == Type::Integer;
            case fw::PropKind::Float:
                return v.type == Type::Integer || v.type == Type::Float;
            case fw::PropKind::String:
                return v.type == Type::String;
            case fw::PropKind::Enum:
                return v.type == Type::Identifier && p.enumInfo->Ordinal(v.text) >= 0;
            case fw::PropKind::Set:
                if (v.type != Type::Set) return false;
                for (const auto& m : v.members) {
                    int ord = p.enumInfo->Ordinal(m);
                    if (ord < 0 || ord > 62) return false;
                }
                return true;
            case fw::PropKind::Color:
                return v.type == Type::Integer ||
                       (v.type == Type::Identifier && fw::IdentToColor(v.text).has_value());
            case fw::PropKind::Component:
                return v.type == Type::Identifier &&
                       (fw::SameText(v.text, "nil") || Lookup(v.text));
            case fw::PropKind::Event:
                // An unknown handler would fail only when applied, after the group's
                // earlier lines: refuse it here with the rest of the group.
                return v.type == Type::Identifier &&
                       (fw::SameText(v.text, "nil") || (root_ && root_->FindHandler(v.text)));
            case fw::PropKind::Strings:
                if (v.type != Type::List) return false;
                for (const auto& e : v.elements)
                    if (e.type != Type::String) return false;
                return true;
            case fw::PropKind::Binary:
                return v.type == Type::Binary;
            case fw::PropKind::Collection: {
                auto* coll = dynamic_cast<fw::TCollection*>(p.getObject(obj));
                if (!coll || v.type != Type::Collection) return false;
                // The items' properties can only be checked against an existing item.
                if (coll->Count() > 0)
                    for (const auto& item : v.items) Props(*coll->Items(0), item.props, path + ".");
                return true;
            }
            case fw::PropKind::Class:
                return false;
        }
        return false;
    }

    bool Lookup(const std::string& name) const {
        return root_ && (root_->FindComponent(name) || fw::SameText(root_->Name(), name));
    }

    std::string name_;
    fw::TComponent* root_;
};

}  // namespace

std::vector<EntryGroup> GroupStoreEntries(const StoreEntries& entries) {
    std::vector<EntryGroup> groups;
    for (const auto& [key, value] : entries) {
        size_t dot = key.find('.');
        if (dot == std::string::npos) continue;
        std::string name = Trim(key.substr(0, dot));
        if (name.empty()) continue;
        std::string rest = key.substr(dot + 1) + "=" + value;
        if (groups.empty() || groups.back().component != name) groups.push_back({name, {}});
        groups.back().lines.push_back(std::move(rest));
    }
    return groups;
}

RebuiltText RebuildComponentText(const std::string& name, const std::string& className,
                                 const std::vector<std::string>& lines,
                                 const BinaryLoader& loadBinary) {
    RebuiltText result;
    std::vector<std::string> nonBlank;
    for (const auto& l : lines)
        if (!Trim(l).empty()) nonBlank.push_back(l);
    Rebuilder r(loadBinary, result.collections);
    r.Lines(nonBlank, 0, nonBlank.size(), 2, true);
    result.text = "object " + name + ": " + className + "\n" + r.Take() + "end\n";
    return result;
}

void CheckApplicable(fw::TComponent& component, const fw::ObjectText& text, fw::TComponent* root) {
    Checker(component.Name().empty() ? text.name : component.Name(), root)
        .Props(component, text.props, "");
}

void ClearCollectionAt(fw::TComponent& component, const std::string& path) {
    fw::TPersistent* obj = &component;
    std::string rest = path;
    for (;;) {
        size_t dot = rest.find('.');
        const fw::PropInfo* p = obj->ClassInfo().FindProp(rest.substr(0, dot));
        if (!p || !p->getObject) return;
        fw::TPersistent* next = p->getObject(*obj);
        if (!next) return;
        if (dot == std::string::npos) {
            if (p->kind == fw::PropKind::Collection)
                if (auto* coll = dynamic_cast<fw::TCollection*>(next)) coll->Clear();
            return;
        }
        if (p->kind != fw::PropKind::Class) return;
        obj = next;
        rest = rest.substr(dot + 1);
    }
}

}  // namespace settings
