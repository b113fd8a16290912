// Component text -> components: creates and fills a window, or applies a piece of text to
// an existing component.
#include "framework/classes.h"
#include "framework/classregistry.h"
#include "framework/colors.h"
#include "framework/componenttext.h"
#include "framework/exceptions.h"

namespace fw {

namespace {

using Type = TextValue::Type;

class Reader {
public:
    // deferred: true while a window loads (references and handlers wait until every
    // component exists); false when applying to an existing component.
    Reader(TComponent* root, bool deferred) : root_(root), deferred_(deferred) {}

    TComponent* Create(const ObjectText& node, TComponent* parent) {
        const TClassInfo* cls = FindClass(node.className);
        if (!cls || !cls->create)
            Fail(node.line, node.name, Fmt(strings::kClassNotFound, node.className), EKind::Class);
        TComponent* c = cls->create(root_);
        c->SetLoadingState(true);
        created_.push_back(c);
        try {
            c->SetName(node.name);
        } catch (const Exception& e) {
            Fail(node.line, node.name, e.what(), EKind::Read);
        }
        c->SetParentComponent(parent);
        Fill(*c, node);
        return c;
    }

    void Fill(TComponent& c, const ObjectText& node) {
        for (const PropertyLine& line : node.props) Apply(c, c, line, "");
        for (const ObjectText& child : node.children) Create(child, &c);
    }

    // Binds handlers, then resolves references, in the order they were read.
    void Finish() {
        for (auto& e : events_) Run(e.line, e.what, [&] { e.prop->bindEvent(*e.obj, e.value, root_); });
        for (auto& r : refs_)
            Run(r.line, r.what, [&] {
                TComponent* c = Lookup(r.value);
                if (!c) throw EReadError(Fmt(strings::kUnknownComponent, r.value));
                r.prop->setComponent(*r.obj, c);
            });
    }

    const std::vector<TComponent*>& Created() const { return created_; }

    void Apply(TComponent& owner, TPersistent& obj, const PropertyLine& line,
               const std::string& prefix) {
        const std::string what = owner.Name() + "." + prefix + line.path;
        Run(line.line, what, [&] { ApplyPath(obj, line, what); });
    }

private:
    enum class EKind { Read, Class };

    struct Pending {
        TPersistent* obj;
        const PropInfo* prop;
        std::string value;
        int line;
        std::string what;
    };

    [[noreturn]] static void Fail(int line, const std::string& what, const std::string& msg,
                                  EKind kind) {
        std::string text = "Line " + std::to_string(line) + ": Error reading " + what + ": " + msg;
        if (kind == EKind::Class) throw EClassNotFound(text);
        throw EReadError(text);
    }

    template <class F>
    static void Run(int line, const std::string& what, F&& f) {
        try {
            f();
        } catch (const EParserError&) {
            throw;
        } catch (const EClassNotFound&) {
            throw;
        } catch (const EReadError& e) {
            std::string m = e.what();
            if (m.rfind("Line ", 0) == 0) throw;
            Fail(line, what, m, EKind::Read);
        } catch (const std::exception& e) {
            Fail(line, what, e.what(), EKind::Read);
        }
    }

    TComponent* Lookup(const std::string& name) const {
        if (!root_) return nullptr;
        if (TComponent* c = root_->FindComponent(name)) return c;
        if (SameText(root_->Name(), name)) return root_;
        return nullptr;
    }

    void ApplyPath(TPersistent& start, const PropertyLine& line, const std::string& what) {
        TPersistent* obj = &start;
        std::string path = line.path;
        size_t dot;
        while ((dot = path.find('.')) != std::string::npos) {
            std::string head = path.substr(0, dot);
            const PropInfo* p = obj->ClassInfo().FindProp(head);
            if (!p || p->kind != PropKind::Class || !p->getObject(*obj))
                throw EReadError(Fmt(strings::kPropertyNotFound, head));
            obj = p->getObject(*obj);
            path = path.substr(dot + 1);
        }
        const PropInfo* p = obj->ClassInfo().FindProp(path);
        if (!p) throw EReadError(Fmt(strings::kPropertyNotFound, path));
        SetValue(*obj, *p, line.Value(), what);
    }

    [[noreturn]] static void Invalid() { throw EReadError(strings::kInvalidPropertyValue); }

    void SetValue(TPersistent& obj, const PropInfo& p, const TextValue& v, const std::string& what) {
        switch (p.kind) {
            case PropKind::Integer:
                if (v.type != Type::Integer) Invalid();
                p.setOrdinal(obj, v.integer);
                return;
            case PropKind::Float:
                if (v.type == Type::Integer)
                    p.setFloat(obj, static_cast<double>(v.integer));
                else if (v.type == Type::Float)
                    p.setFloat(obj, v.number);
                else
                    Invalid();
                return;
            case PropKind::String:
                if (v.type != Type::String) Invalid();
                p.setString(obj, v.text);
                return;
            case PropKind::Enum: {
                if (v.type != Type::Identifier) Invalid();
                int ord = p.enumInfo->Ordinal(v.text);
                if (ord < 0) Invalid();
                p.setOrdinal(obj, ord);
                return;
            }
            case PropKind::Set: {
                if (v.type != Type::Set) Invalid();
                int64_t mask = 0;
                for (const auto& m : v.members) {
                    int ord = p.enumInfo->Ordinal(m);
                    if (ord < 0 || ord > 62) Invalid();
                    mask |= int64_t{1} << ord;
                }
                p.setOrdinal(obj, mask);
                return;
            }
            case PropKind::Color:
                if (v.type == Type::Integer) {
                    p.setOrdinal(obj, static_cast<TColor>(static_cast<uint32_t>(v.integer)));
                } else if (v.type == Type::Identifier) {
                    auto c = IdentToColor(v.text);
                    if (!c) Invalid();
                    p.setOrdinal(obj, *c);
                } else {
                    Invalid();
                }
                return;
            case PropKind::Component:
                if (v.type != Type::Identifier) Invalid();
                if (SameText(v.text, "nil")) {
                    p.setComponent(obj, nullptr);
                } else if (deferred_) {
                    refs_.push_back({&obj, &p, v.text, v.line, what});
                } else {
                    TComponent* c = Lookup(v.text);
                    if (!c) throw EReadError(Fmt(strings::kUnknownComponent, v.text));
                    p.setComponent(obj, c);
                }
                return;
            case PropKind::Event:
                if (v.type != Type::Identifier) Invalid();
                if (deferred_)
                    events_.push_back({&obj, &p, v.text, v.line, what});
                else
                    p.bindEvent(obj, v.text, root_);
                return;
            case PropKind::Strings: {
                if (v.type != Type::List) Invalid();
                std::vector<std::string> lines;
                for (const auto& e : v.elements) {
                    if (e.type != Type::String) Invalid();
                    lines.push_back(e.text);
                }
                p.setStrings(obj, lines);
                return;
            }
            case PropKind::Binary:
                if (v.type != Type::Binary) Invalid();
                p.setBytes(obj, v.bytes);
                return;
            case PropKind::Collection: {
                auto* coll = dynamic_cast<TCollection*>(p.getObject(obj));
                if (!coll || v.type != Type::Collection) Invalid();
                coll->Clear();
                for (const auto& item : v.items) {
                    TCollectionItem* it = coll->Add();
                    for (const auto& line : item.props)
                        Run(line.line, what + "." + line.path,
                            [&] { ApplyPath(*it, line, what + "." + line.path); });
                }
                return;
            }
            case PropKind::Class:
                Invalid();
        }
    }

    TComponent* root_;
    bool deferred_;
    std::vector<TComponent*> created_;
    std::vector<Pending> refs_;
    std::vector<Pending> events_;
};

}  // namespace

void ReadRootComponent(TComponent& root, std::string_view text) {
    ObjectText node = ParseComponentText(text);
    Reader reader(&root, true);
    root.SetLoadingState(true);
    try {
        if (!node.name.empty()) root.SetName(node.name);
    } catch (const Exception& e) {
        throw EReadError("Line " + std::to_string(node.line) + ": " + e.what());
    }
    reader.Fill(root, node);
    reader.Finish();
    root.Loaded();
    for (TComponent* c : reader.Created()) c->Loaded();
}

void ApplyComponentText(TComponent& target, std::string_view text, TComponent* root) {
    ObjectText node = ParseComponentText(text);
    Reader reader(root, false);
    for (const PropertyLine& line : node.props) reader.Apply(target, target, line, "");
    if (!node.children.empty())
        throw EReadError("Line " + std::to_string(node.children.front().line) +
                         ": nested components cannot be applied to an existing component");
}

}  // namespace fw
