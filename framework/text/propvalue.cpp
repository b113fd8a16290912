#include "framework/text/propvalue.h"

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "framework/graphics/colors.h"

namespace fw {

namespace {

using Type = TextValue::Type;

[[noreturn]] void Invalid() { throw EReadError(strings::kInvalidPropertyValue); }

void Need(bool ok) {
    if (!ok) Invalid();
}

TComponent* Lookup(TComponent* root, const std::string& name) {
    return root ? root->FindComponentOrSelf(name) : nullptr;
}

int64_t SetMask(const PropInfo& p, const TextValue& v) {
    Need(v.type == Type::Set);
    int64_t mask = 0;
    for (const auto& m : v.members) {
        int ord = p.enumInfo->Ordinal(m);
        Need(ord >= 0 && ord <= 62);
        mask |= int64_t{1} << ord;
    }
    return mask;
}

TColor ColorOf(const TextValue& v) {
    if (v.type == Type::Integer) {
        // Written as a signed 32-bit number; an unsigned one is read as well.
        Need(v.integer >= INT32_MIN && v.integer <= int64_t{UINT32_MAX});
        return static_cast<TColor>(static_cast<uint32_t>(v.integer));
    }
    Need(v.type == Type::Identifier);
    auto c = IdentToColor(v.text);
    Need(c.has_value());
    return *c;
}

void Reference(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
               const TValueContext& ctx) {
    Need(v.type == Type::Identifier);
    if (SameText(v.text, "nil")) {
        if (mode == TValueMode::Apply) p.Component().set(obj, nullptr);
        return;
    }
    if (mode == TValueMode::Apply && ctx.defer) {
        ctx.defer(obj, p, v);
        return;
    }
    TComponent* c = Lookup(ctx.root, v.text);
    if (!c) throw EReadError(Fmt(strings::kUnknownComponent, v.text));
    if (mode == TValueMode::Check) {
        Need(p.Component().accepts(c));
        return;
    }
    p.Component().set(obj, c);
}

void Event(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
           const TValueContext& ctx) {
    Need(v.type == Type::Identifier);
    if (mode == TValueMode::Apply) {
        if (ctx.defer)
            ctx.defer(obj, p, v);
        else
            p.Event().bind(obj, v.text, ctx.root);
        return;
    }
    if (!SameText(v.text, "nil") && !(ctx.root && ctx.root->FindHandler(v.text)))
        throw EReadError(Fmt(strings::kUnknownHandler, v.text));
}

void Items(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
           const TValueContext& ctx, const std::string& what) {
    auto* coll = dynamic_cast<TCollection*>(p.Object().get(obj));
    Need(coll && v.type == Type::Collection);
    if (mode == TValueMode::Check) {
        // Each item's lines are checked against a fresh item of the collection's kind.
        for (const auto& item : v.items) {
            std::unique_ptr<TCollectionItem> probe = coll->MakeItem();
            for (const auto& line : item.props)
                ConvertPropertyLine(*probe, line, mode, ctx, what + "." + line.path);
        }
        return;
    }
    coll->Clear();
    for (const auto& item : v.items) {
        TCollectionItem* it = coll->Add();
        for (const auto& line : item.props)
            ConvertPropertyLine(*it, line, mode, ctx, what + "." + line.path);
    }
}

void Convert(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
             const TValueContext& ctx, const std::string& what) {
    const bool apply = mode == TValueMode::Apply;
    switch (p.kind) {
        case PropKind::Integer:
            Need(v.type == Type::Integer && v.integer >= p.minValue && v.integer <= p.maxValue);
            if (apply) p.Ordinal().set(obj, v.integer);
            return;
        case PropKind::Float: {
            Need(v.type == Type::Integer || v.type == Type::Float);
            double d = v.type == Type::Integer ? static_cast<double>(v.integer) : v.number;
            if (apply) p.Float().set(obj, d);
            return;
        }
        case PropKind::String:
            Need(v.type == Type::String);
            if (apply) p.String().set(obj, v.text);
            return;
        case PropKind::Enum: {
            Need(v.type == Type::Identifier);
            int ord = p.enumInfo->Ordinal(v.text);
            Need(ord >= 0);
            if (apply) p.Ordinal().set(obj, ord);
            return;
        }
        case PropKind::Set: {
            int64_t mask = SetMask(p, v);
            if (apply) p.Ordinal().set(obj, mask);
            return;
        }
        case PropKind::Color: {
            TColor c = ColorOf(v);
            if (apply) p.Ordinal().set(obj, c);
            return;
        }
        case PropKind::Component:
            Reference(obj, p, v, mode, ctx);
            return;
        case PropKind::Event:
            Event(obj, p, v, mode, ctx);
            return;
        case PropKind::Strings: {
            Need(v.type == Type::List);
            std::vector<std::string> lines;
            for (const auto& e : v.elements) {
                Need(e.type == Type::String);
                lines.push_back(e.text);
            }
            if (apply) p.Strings().set(obj, lines);
            return;
        }
        case PropKind::Binary:
            Need(v.type == Type::Binary);
            if (apply) p.Bytes().set(obj, v.Data());
            return;
        case PropKind::Collection:
            Items(obj, p, v, mode, ctx, what);
            return;
        case PropKind::Class:
            Invalid();
    }
    Invalid();
}

}  // namespace

std::pair<TPropertyObject*, const PropInfo*> ResolvePropertyPath(TPropertyObject& start,
                                                                 const std::string& fullPath) {
    TPropertyObject* obj = &start;
    std::string path = fullPath;
    size_t dot;
    while ((dot = path.find('.')) != std::string::npos) {
        std::string head = path.substr(0, dot);
        const PropInfo* p = obj->ClassInfo().FindProp(head);
        if (!p || p->kind != PropKind::Class || !p->Object().get(*obj))
            throw EReadError(Fmt(strings::kPropertyNotFound, head));
        obj = p->Object().get(*obj);
        path = path.substr(dot + 1);
    }
    const PropInfo* p = obj->ClassInfo().FindProp(path);
    if (!p) throw EReadError(Fmt(strings::kPropertyNotFound, path));
    return {obj, p};
}

void ConvertValue(TPropertyObject& obj, const PropInfo& p, const TextValue& v, TValueMode mode,
                  const TValueContext& ctx) {
    Convert(obj, p, v, mode, ctx, p.name);
}

void ConvertPropertyLine(TPropertyObject& obj, const PropertyLine& line, TValueMode mode,
                         const TValueContext& ctx, const std::string& what) {
    try {
        auto [target, p] = ResolvePropertyPath(obj, line.path);
        Convert(*target, *p, line.Value(), mode, ctx, what);
    } catch (const ETextError& e) {
        if (e.Line() > 0) throw;  // an item's line, named already
        const std::string msg = "Error reading " + what + ": " + e.Bare();
        if (dynamic_cast<const EClassNotFound*>(&e)) throw EClassNotFound(msg, line.line);
        throw EReadError(msg, line.line);
    } catch (const std::exception& e) {
        throw EReadError("Error reading " + what + ": " + e.what(), line.line);
    }
}

}  // namespace fw
