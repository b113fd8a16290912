// Component text -> components: creates and fills a window, or applies a piece of text to
// an existing component.
#include "framework/core/classes.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/graphics/colors.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "framework/text/propvalue.h"

namespace fw {

namespace {

class Reader {
  public:
    // deferred: true while a window loads (references and handlers wait until every
    // component exists); false when applying to an existing component.
    Reader(TComponent* root, bool deferred) : root_(root) {
        ctx_.root = root;
        if (deferred)
            ctx_.defer = [this](TPropertyObject& obj, const PropInfo& p, const TextValue& v) {
                (p.kind == PropKind::Event ? events_ : refs_)
                    .push_back({&obj, &p, v.text, v.line, current_});
            };
    }

    TComponent* Create(const ObjectText& node, TComponent* parent) {
        const TClassInfo* cls = FindClass(node.className);
        if (!cls || !cls->create)
            throw EClassNotFound(
                "Error reading " + node.name + ": " + Fmt(strings::kClassNotFound, node.className),
                node.line);
        TComponent* c = cls->create(root_);
        c->SetLoadingState(true);
        created_.push_back(c);
        try {
            c->SetName(node.name);
        } catch (const Exception& e) {
            throw EReadError("Error reading " + node.name + ": " + e.what(), node.line);
        }
        c->SetParentComponent(parent);
        Fill(*c, node);
        return c;
    }

    void Fill(TComponent& c, const ObjectText& node) {
        for (const PropertyLine& line : node.props) Apply(c, line);
        for (const ObjectText& child : node.children) Create(child, &c);
    }

    // Binds handlers, then resolves references, in the order they were read.
    void Finish() {
        TValueContext now;
        now.root = root_;
        for (auto& e : events_) Run(e, [&] { e.prop->Event().bind(*e.obj, e.value, root_); });
        for (auto& r : refs_)
            Run(r, [&] {
                TextValue v = TextValue::Ident(r.value);
                ConvertValue(*r.obj, *r.prop, v, TValueMode::Apply, now);
            });
    }

    const std::vector<TComponent*>& Created() const { return created_; }

    void Apply(TComponent& owner, const PropertyLine& line) {
        current_ = owner.Name() + "." + line.path;
        ConvertPropertyLine(owner, line, TValueMode::Apply, ctx_, current_);
    }

  private:
    struct Pending {
        TPropertyObject* obj;
        const PropInfo* prop;
        std::string value;
        int line;
        std::string what;
    };

    template <class F>
    static void Run(const Pending& p, F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            const auto* text = dynamic_cast<const ETextError*>(&e);
            throw EReadError("Error reading " + p.what + ": " + (text ? text->Bare() : e.what()),
                             p.line);
        }
    }

    TComponent* root_;
    TValueContext ctx_;
    std::string current_;
    std::vector<TComponent*> created_;
    std::vector<Pending> refs_;
    std::vector<Pending> events_;
};

}  // namespace

namespace {
int loadingWindows = 0;
}  // namespace

TWindowLoading::TWindowLoading() { ++loadingWindows; }
TWindowLoading::~TWindowLoading() { --loadingWindows; }

int WindowsLoading() { return loadingWindows; }

void ReadRootComponent(TComponent& root, std::string_view description) {
    TWindowLoading loading;
    ObjectText node = ReadDescriptionTree(description);
    Reader reader(&root, true);
    root.SetLoadingState(true);
    try {
        if (!node.name.empty()) root.SetName(node.name);
    } catch (const Exception& e) {
        throw EReadError(e.what(), node.line);
    }
    reader.Fill(root, node);
    reader.Finish();
    root.BindFields();
    root.Loaded();
    for (TComponent* c : reader.Created()) c->Loaded();
}

void ApplyComponentText(TComponent& target, std::string_view text, TComponent* root) {
    ObjectText node = ParseComponentText(text);
    Reader reader(root, false);
    for (const PropertyLine& line : node.props) reader.Apply(target, line);
    if (!node.children.empty())
        throw EReadError("nested components cannot be applied to an existing component",
                         node.children.front().line);
}

}  // namespace fw
