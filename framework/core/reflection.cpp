#include "framework/core/reflection.h"

#include "framework/core/classes.h"

namespace fw {

PropInfo::PropInfo() = default;
PropInfo::PropInfo(const PropInfo&) = default;
PropInfo::PropInfo(PropInfo&&) noexcept = default;
PropInfo& PropInfo::operator=(const PropInfo&) = default;
PropInfo& PropInfo::operator=(PropInfo&&) noexcept = default;
PropInfo::~PropInfo() = default;

void TClassInfo::AddProp(PropInfo&& prop) { props.push_back(std::move(prop)); }

void TClassInfo::FitProps() { props.shrink_to_fit(); }

int EnumInfo::Ordinal(const std::string& ident) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], ident)) return static_cast<int>(i);
    return -1;
}

const EnumInfo& BooleanInfo() {
    static const EnumInfo info{"Boolean", {"False", "True"}};
    return info;
}

std::vector<const PropInfo*> TClassInfo::AllProps() const {
    std::vector<const PropInfo*> out;
    if (parent) out = parent->AllProps();
    for (const PropInfo& p : props) {
        // A descendant may redeclare a property (a new default); it keeps its place.
        bool replaced = false;
        for (auto& q : out)
            if (SameText(q->name, p.name)) {
                q = &p;
                replaced = true;
            }
        if (!replaced) out.push_back(&p);
    }
    return out;
}

const PropInfo* TClassInfo::FindProp(const std::string& name) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        for (const PropInfo& p : c->props)
            if (SameText(p.name, name)) return &p;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
    for (const TClassInfo* c = this; c; c = c->parent)
        if (c == other) return true;
    return false;
}

}  // namespace fw
