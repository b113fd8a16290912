#include "settings/storerestore.h"

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "framework/text/componenttext.h"
#include "framework/text/propvalue.h"
#include "framework/text/textvalue.h"
#include "platform/strings.h"

namespace settings {

namespace {

// Component text indents with spaces only.
std::string Trim(const std::string& s) { return std::string(platform::Trim(s, " ")); }

std::string KeyOf(const std::string& line) { return line.substr(0, line.find('=')); }
std::string ValueOf(const std::string& line) {
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

bool StartsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }

// Collections nested deeper than this in a key are refused (the parser refuses the same
// depth): a hand-made key must not be able to exhaust the stack.
constexpr int kMaxNesting = 64;

class Rebuilder {
  public:
    explicit Rebuilder(const BinaryLoader& loadBinary) : loadBinary_(loadBinary) {}

    std::string Take() { return std::move(out_); }

    // One property starting at lines[i]; returns where the next one starts. Every kind
    // takes at least line i, so a caller always moves on.
    size_t Property(const std::vector<std::string>& lines, size_t i, size_t end, int indent,
                    std::string* collection) {
        const std::string key = KeyOf(lines[i]);
        if (key.find('<') != std::string::npos)
            return Collection(lines, i, end, indent, collection);
        if (key.find('(') != std::string::npos) return List(lines, i, end, indent);
        if (key.find('{') != std::string::npos) return Binary(lines, i, indent);
        Emit(indent, lines[i]);
        return i + 1;
    }

    // The end of the property that starts at lines[i], without building it.
    static size_t PropertyEnd(const std::vector<std::string>& lines, size_t i, size_t end) {
        const std::string key = KeyOf(lines[i]);
        size_t j = i + 1;
        if (key.find('<') != std::string::npos) {
            const std::string run = key.substr(0, key.find('<')) + "<";
            while (j < end && StartsWith(KeyOf(lines[j]), run)) ++j;
        } else if (key.find('(') != std::string::npos) {
            while (j < end && InList(KeyOf(lines[j]), ListName(key))) ++j;
        }
        return j;
    }

  private:
    static std::string ListName(const std::string& key) { return key.substr(0, key.find('(')); }
    // A following line continues a list when its key before "(" is the list's name.
    static bool InList(const std::string& key, const std::string& name) {
        return key.find('(') == name.size() && key.compare(0, name.size(), name) == 0 &&
               key.find_first_of("<{") == std::string::npos;
    }

    void Emit(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent), ' ');
        out_ += text;
        out_ += '\n';
    }
    // Appends to the line emitted last.
    void Close(char c) { out_.insert(out_.size() - 1, 1, c); }

    size_t Collection(const std::vector<std::string>& lines, size_t i, size_t end, int indent,
                      std::string* collection) {
        if (++depth_ > kMaxNesting)
            Fail("Nesting deeper than " + std::to_string(kMaxNesting) + " levels");
        const std::string key = KeyOf(lines[i]);
        const size_t lt = key.find('<');
        const std::string name = key.substr(0, lt);
        const size_t paren = key.find('(', lt);
        if (paren == std::string::npos) Fail("Invalid stored entry " + lines[i]);
        const std::string keyword = key.substr(lt + 1, paren - lt - 1);
        const size_t j = PropertyEnd(lines, i, end);
        Emit(indent, name + " = <");
        if (collection) *collection = name;
        size_t k = i;
        while (k < j) {
            const size_t gt = KeyOf(lines[k]).find('>');
            if (gt == std::string::npos) Fail("Invalid stored entry " + lines[k]);
            const std::string tag = lines[k].substr(0, gt + 1);
            std::vector<std::string> inner;
            size_t m = k;
            for (; m < j && StartsWith(lines[m], tag); ++m) {
                std::string rest = lines[m].substr(tag.size());
                if (!rest.empty() && rest.front() == '.') rest.erase(0, 1);
                inner.push_back(rest);
            }
            Emit(indent + 2, keyword);
            for (size_t n = 0; n < inner.size();)
                n = Property(inner, n, inner.size(), indent + 4, nullptr);
            Emit(indent + 2, m < j ? "end" : "end>");
            k = m;
        }
        --depth_;
        return j;
    }

    size_t List(const std::vector<std::string>& lines, size_t i, size_t end, int indent) {
        Emit(indent, ListName(KeyOf(lines[i])) + " = (");
        // The first line always belongs to its list, whatever else its key holds.
        const size_t j = PropertyEnd(lines, i, end);
        for (size_t k = i; k < j; ++k) Emit(indent + 2, ValueOf(lines[k]));
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

    [[noreturn]] static void Fail(const std::string& why) { throw fw::EParserError(why); }

    const BinaryLoader& loadBinary_;
    std::string out_;
    int depth_ = 0;
};

}  // namespace

std::vector<EntryGroup> GroupStoreEntries(const StoreEntries& entries) {
    std::vector<EntryGroup> groups;
    for (size_t e = 0; e < entries.size(); ++e) {
        const auto& [key, value] = entries[e];
        size_t dot = key.find('.');
        if (dot == std::string::npos) continue;
        std::string name = Trim(key.substr(0, dot));
        if (name.empty()) continue;
        std::string rest = key.substr(dot + 1) + "=" + value;
        if (groups.empty() || groups.back().component != name) groups.push_back({name, {}, {}});
        groups.back().lines.push_back(std::move(rest));
        groups.back().entries.push_back(e);
    }
    return groups;
}

std::vector<RebuiltProperty> RebuildProperties(const std::vector<std::string>& lines,
                                               const BinaryLoader& loadBinary) {
    // Blank lines take part in nothing; the others keep their place in the group.
    std::vector<std::string> kept;
    std::vector<size_t> where;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!Trim(lines[i]).empty()) {
            kept.push_back(lines[i]);
            where.push_back(i);
        }
    std::vector<RebuiltProperty> out;
    for (size_t i = 0; i < kept.size();) {
        RebuiltProperty p;
        const size_t next = Rebuilder::PropertyEnd(kept, i, kept.size());
        Rebuilder r(loadBinary);
        try {
            r.Property(kept, i, next, 2, &p.collection);
            p.text = r.Take();
        } catch (const fw::ETextError& e) {
            p.collection.clear();
            p.error = e.Bare();
        }
        p.first = where[i];
        p.count = where[next - 1] - where[i] + 1;
        out.push_back(std::move(p));
        i = next;
    }
    return out;
}

RebuiltText RebuildComponentText(const std::string& name, const std::string& className,
                                 const std::vector<std::string>& lines,
                                 const BinaryLoader& loadBinary) {
    RebuiltText result;
    result.text = "object " + name + ": " + className + "\n";
    for (RebuiltProperty& p : RebuildProperties(lines, loadBinary)) {
        if (!p.error.empty()) throw fw::EParserError(p.error);
        result.text += p.text;
        if (!p.collection.empty()) result.collections.push_back(p.collection);
    }
    result.text += "end\n";
    return result;
}

void RestoreGroupOnto(fw::TComponent& c, fw::TComponent* root, const EntryGroup& group,
                      const StoreEntries& entries, const std::vector<int>& fileLines,
                      const BinaryLoader& loadBinary, std::vector<SkippedKey>& skipped) {
    auto skip = [&](const RebuiltProperty& p, const std::string& why) {
        for (size_t i = p.first; i < p.first + p.count; ++i) {
            if (Trim(group.lines[i]).empty()) continue;
            const size_t e = group.entries[i];
            skipped.push_back({entries[e].first, e < fileLines.size() ? fileLines[e] : 0, why});
        }
    };
    const std::string header = "object " + group.component + ": " + c.ClassName() + "\n";
    fw::TValueContext ctx;
    ctx.root = root;
    for (const RebuiltProperty& p : RebuildProperties(group.lines, loadBinary)) {
        if (!p.error.empty()) {
            skip(p, p.error);
            continue;
        }
        try {
            fw::ObjectText parsed = fw::ParseComponentText(header + p.text + "end\n");
            // One key is one value: a value that reads as further property lines is not.
            if (parsed.props.size() != 1 || !parsed.children.empty())
                throw fw::EReadError(fw::strings::kInvalidPropertyValue);
            const fw::PropertyLine& line = parsed.props.front();
            auto [obj, prop] = fw::ResolvePropertyPath(c, line.path);
            // Nothing of a property is applied unless all of it fits.
            fw::ConvertValue(*obj, *prop, line.Value(), fw::TValueMode::Check, ctx);
            if (!p.collection.empty()) ClearCollectionAt(c, p.collection);
            fw::ConvertValue(*obj, *prop, line.Value(), fw::TValueMode::Apply, ctx);
        } catch (const fw::ETextError& e) {
            skip(p, e.Bare());
        } catch (const std::exception& e) {  // a setter that refused the value
            skip(p, e.what());
        }
    }
}

void ClearCollectionAt(fw::TComponent& component, const std::string& path) {
    fw::TPropertyObject* obj = &component;
    std::string rest = path;
    for (;;) {
        size_t dot = rest.find('.');
        const fw::PropInfo* p = obj->ClassInfo().FindProp(rest.substr(0, dot));
        const auto* access = p ? std::get_if<fw::ObjectAccess>(&p->access) : nullptr;
        if (!access) return;
        fw::TPropertyObject* next = access->get(*obj);
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
