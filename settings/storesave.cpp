#include "settings/storesave.h"

#include "framework/core/classes.h"
#include "platform/strings.h"

namespace settings {

namespace {

using Lines = std::vector<std::string>;

size_t Indent(const std::string& s) {
    size_t n = s.find_first_not_of(' ');
    return n == std::string::npos ? s.size() : n;
}

// Component text indents with spaces only.
std::string Trim(const std::string& s) { return std::string(platform::Trim(s, " ")); }

bool EndsWith(const std::string& s, char c) { return !s.empty() && s.back() == c; }

// The lines of a component text; its final line break ends the last line.
Lines SplitLines(const std::string& text) {
    Lines out = platform::SplitLines(text);
    if (out.back().empty()) out.pop_back();
    return out;
}

// Only a line that starts with the keyword is a block header: a value that merely contains
// the word "object" must not end a block.
bool IsHeader(const std::string& line) {
    std::string t = Trim(line);
    return t.rfind("object ", 0) == 0 || t.rfind("inherited ", 0) == 0 ||
           t.rfind("inline ", 0) == 0;
}

// "object Name: TClass" -> "Name"; a block without a name gives "".
std::string HeaderName(const std::string& line) {
    std::string t = Trim(line);
    std::string rest = t.substr(t.find(' ') + 1);
    size_t colon = rest.find(':');
    return colon == std::string::npos ? std::string() : Trim(rest.substr(0, colon));
}

// "Font.Name = 'Arial'" -> "Font"; "Checked = True" -> "Checked".
std::string RootName(const std::string& trimmed) {
    size_t eq = trimmed.find('=');
    size_t dot = trimmed.find('.');
    if (dot != std::string::npos && (eq == std::string::npos || dot < eq))
        return trimmed.substr(0, dot);
    return trimmed.substr(0, trimmed.find_first_of(" ="));
}

class Collector {
  public:
    Collector(const Lines& lines, const SaveSource& source, StoreEntries& out)
        : lines_(lines), source_(source), out_(out) {}

    void Run() {
        size_t i = 0;
        while (i < lines_.size()) {
            size_t h = i;
            while (h < lines_.size() && !IsHeader(lines_[h])) ++h;
            if (h == lines_.size()) return;
            std::string name = HeaderName(lines_[h]);
            fw::TComponent* c = name.empty() ? nullptr : source_.storedComponent(name);
            i = c ? Block(h, name, c) : h + 1;
        }
    }

  private:
    // One component's property lines; returns where its block's property lines end.
    size_t Block(size_t header, const std::string& name, fw::TComponent* c) {
        const size_t indent = Indent(lines_[header]) + 2;
        const std::vector<std::string> stored = source_.storedProps(c);
        auto isStored = [&](const std::string& n) {
            for (const auto& s : stored)
                if (fw::SameText(s, n)) return true;
            return false;
        };
        std::vector<std::string> seen;
        component_ = c;
        prefix_ = name + ".";
        size_t j = header + 1;
        while (j < lines_.size()) {
            const std::string& line = lines_[j];
            if (Indent(line) < indent || IsHeader(line)) break;
            if (Indent(line) > indent) {  // a continuation nobody claimed
                ++j;
                continue;
            }
            std::string root = RootName(Trim(line));
            if (!isStored(root)) {
                j = ContinuationEnd(j, indent);
                continue;
            }
            seen.push_back(root);
            j = Property(j, indent, "");
        }
        // Enumerations equal to their default are not in the text; take them from the
        // component so that a False check mark is written too.
        for (const std::string& s : stored) {
            bool wasSeen = false;
            for (const auto& n : seen) wasSeen = wasSeen || fw::SameText(n, s);
            if (wasSeen) continue;
            const fw::PropInfo* p = c->ClassInfo().FindProp(s);
            if (!p || !p->IsEnumeration()) continue;
            int64_t v = p->Ordinal().get(*c);
            const auto& names = p->enumInfo->names;
            Add(s, v >= 0 && v < static_cast<int64_t>(names.size()) ? names[static_cast<size_t>(v)]
                                                                    : std::to_string(v));
        }
        return j;
    }

    size_t ContinuationEnd(size_t i, size_t indent) const {
        size_t j = i + 1;
        while (j < lines_.size() && Indent(lines_[j]) > indent && !lines_[j].empty()) ++j;
        return j;
    }

    void Add(const std::string& key, const std::string& value) {
        out_.emplace_back(prefix_ + key, value);
    }

    // Flattens the property whose line is at i; q is the collection prefix. Returns the
    // index after the property's last continuation line.
    size_t Property(size_t i, size_t indent, const std::string& q) {
        const std::string t = Trim(lines_[i]);
        const size_t end = ContinuationEnd(i, indent);
        const size_t eq = t.find('=');
        const std::string path = Trim(t.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : Trim(t.substr(eq + 1));
        if (EndsWith(t, '(')) {
            int k = 0;
            for (size_t j = i + 1; j < end; ++j) {
                std::string e = Trim(lines_[j]);
                bool last = EndsWith(e, ')');
                if (last) e.pop_back();
                Add(q + path + "(" + std::to_string(k++) + ")", e);
                if (last) break;
            }
        } else if (EndsWith(t, '<')) {
            Collection(i + 1, end, q + path);
        } else if (EndsWith(t, '{')) {
            std::vector<std::string> hex;
            for (size_t j = i + 1; j < end; ++j) {
                std::string h = Trim(lines_[j]);
                bool last = EndsWith(h, '}');
                if (last) h.pop_back();
                hex.push_back(h);
                if (last) break;
            }
            Add(q + path + "{}", source_.writeBinary(component_, q + path, hex));
        } else {
            Add(q + path, value.substr(0, 255));
        }
        return end;
    }

    void Collection(size_t begin, size_t end, const std::string& path) {
        if (begin >= end) return;
        const std::string keyword = Trim(lines_[begin]);
        int k = 0;
        size_t j = begin;
        while (j < end) {
            std::string t = Trim(lines_[j]);
            if (t == "end>") return;
            if (t != keyword) {
                ++j;
                continue;
            }
            ++j;
            const std::string q = path + "<" + keyword + "(" + std::to_string(k) + ")>.";
            const size_t itemIndent = j < end ? Indent(lines_[j]) : 0;
            while (j < end) {
                std::string u = Trim(lines_[j]);
                if (u == "end" || u == "end>") break;
                j = Indent(lines_[j]) == itemIndent ? Property(j, itemIndent, q) : j + 1;
            }
            if (j < end && Trim(lines_[j]) == "end") ++j;
            ++k;
        }
    }

    const Lines& lines_;
    const SaveSource& source_;
    StoreEntries& out_;
    fw::TComponent* component_ = nullptr;
    std::string prefix_;
};

}  // namespace

StoreEntries CollectStoreEntries(const std::string& componentText, const SaveSource& source) {
    StoreEntries out;
    Lines lines = SplitLines(componentText);
    Collector(lines, source, out).Run();
    return out;
}

}  // namespace settings
