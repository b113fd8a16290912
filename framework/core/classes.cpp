#include "framework/core/classes.h"

#include <algorithm>
#include <atomic>
#include <cctype>

#include "framework/core/classbuilder.h"
#include "framework/core/exceptions.h"

namespace fw {

namespace {
// Names are ASCII identifiers: their letters fold without asking the locale, which reading a
// description does for every property line. Other bytes fold as the locale says.
int FoldCase(unsigned char c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return std::tolower(c);
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = FoldCase(static_cast<unsigned char>(a[i]));
        int cb = FoldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsValidIdent(const std::string& s) {
    if (s.empty()) return false;
    if (!(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}
}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
    return CompareText(a, b) < 0;
}
bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

// TPropertyObject

const TClassInfo& TPropertyObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i;
        i.name = "TPropertyObject";
        return i;
    }();
    return info;
}

void TPropertyObject::Assign(const TPropertyObject& source) {
    if (source.AssignTo(*this)) return;
    throw Exception("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

bool TPropertyObject::AssignTo(TPropertyObject&) const { return false; }

// TComponent

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TComponent>("TComponent", &TPropertyObject::StaticClassInfo())
            .String("Name", &TComponent::Name, &TComponent::SetName, std::nullopt)
            .NotStored()
            .Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
            .Build();
    return info;
}

namespace {
// Components are made and freed on the GUI thread only; atomic all the same, so that a
// count taken anywhere is exact.
std::atomic<long> liveComponents{0};
}  // namespace

long TComponent::LiveCount() { return liveComponents.load(std::memory_order_relaxed); }

TComponent::TComponent(TComponent* owner) {
    liveComponents.fetch_add(1, std::memory_order_relaxed);
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    liveComponents.fetch_sub(1, std::memory_order_relaxed);
    state_ |= csDestroying;
    // Tell whoever asked about us, then free what we own, newest first.
    for (TComponent* c : std::vector<TComponent*>(freeNotifies_.begin(), freeNotifies_.end())) {
        c->freeNotifies_.erase(this);
        c->Notification(this, TOperation::opRemove);
    }
    freeNotifies_.clear();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() { state_ |= csDestroying; }

void TComponent::Free(TComponent* c) {
    if (!c) return;
    c->BeforeDestruction();
    c->DestroyComponents();
    delete c;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) Free(components_.back());
}

void TComponent::InsertComponent(TComponent* c) {
    components_.push_back(c);
    c->owner_ = this;
    Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it == components_.end()) return;
    components_.erase(it);
    c->owner_ = nullptr;
    if (!Destroying()) {
        Notification(c, TOperation::opRemove);
        for (TComponent* sibling : std::vector<TComponent*>(components_))
            sibling->Notification(c, TOperation::opRemove);
    }
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name)) throw Exception(Fmt(strings::kInvalidName, name));
    if (owner_ && !name.empty()) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this) throw Exception(Fmt(strings::kDuplicateName, name));
    }
    name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

TComponent* TComponent::FindComponentOrSelf(const std::string& name, NameCase self) {
    if (TComponent* c = FindComponent(name)) return c;
    const bool own = self == NameCase::Exact ? name == name_ : SameText(name, name_);
    return own ? this : nullptr;
}

void TComponent::SetLoadingState(bool loading) {
    if (loading)
        state_ |= csLoading | csReading;
    else
        state_ &= ~(csLoading | csReading);
}

void TComponent::SetDesigning(bool designing) {
    if (designing)
        state_ |= csDesigning;
    else
        state_ &= ~csDesigning;
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Notification(TComponent* component, TOperation Operation) {
    if (Operation == TOperation::opRemove) freeNotifies_.erase(component);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    freeNotifies_.insert(component);
    component->freeNotifies_.insert(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    freeNotifies_.erase(component);
    if (component) component->freeNotifies_.erase(this);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}
void TComponent::SetParentComponent(TComponent*) {}

const std::any* TComponent::FindHandler(const std::string& name) const {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
}

void TComponent::BindFields() {
    for (auto& [name, bind] : fields_) {
        TComponent* c = FindComponent(name);
        if (!c) throw EReadError(Fmt(strings::kUnknownComponent, name));
        if (!bind(c))
            throw EReadError(Fmt(strings::kComponentOfOtherClass, {name, c->ClassName()}));
    }
}

// Collections

const TClassInfo& TCollectionItem::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCollectionItem>("TCollectionItem", &TPropertyObject::StaticClassInfo())
            .Build();
    return info;
}

int TCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

const TClassInfo& TCollection::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCollection>("TCollection", &TPropertyObject::StaticClassInfo()).Build();
    return info;
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}
TCollection::~TCollection() = default;

TCollectionItem* TCollection::Add() {
    items_.push_back(factory_(*this));
    Update();
    return items_.back().get();
}

void TCollection::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Update();
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    Update();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
}

// String lists

const TClassInfo& TLineList::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TLineList>("TLineList", &TPropertyObject::StaticClassInfo())
            .StringList("Strings", &TLineList::Lines, &TLineList::SetLines)
            .Build();
    return info;
}

void TLineList::Changed() {
    if (OnChange) OnChange();
}
void TLineList::Add(const std::string& s) {
    lines_.push_back(s);
    Changed();
}
void TLineList::Insert(int index, const std::string& s) {
    index = std::clamp(index, 0, Count());
    lines_.insert(lines_.begin() + index, s);
    Changed();
}
void TLineList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    lines_.erase(lines_.begin() + index);
    Changed();
}
void TLineList::Clear() {
    if (lines_.empty()) return;
    lines_.clear();
    Changed();
}
int TLineList::IndexOf(const std::string& s) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SameText(lines_[i], s)) return static_cast<int>(i);
    return -1;
}
void TLineList::SetLines(const std::vector<std::string>& lines) {
    lines_ = lines;
    Changed();
}
std::string TLineList::Text() const {
    std::string out;
    for (const auto& l : lines_) out += l + "\r\n";
    return out;
}
void TLineList::SetText(const std::string& text) {
    lines_.clear();
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines_.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines_.push_back(cur);
    Changed();
}
void TLineList::Assign(const TPropertyObject& source) {
    if (auto* s = dynamic_cast<const TLineList*>(&source)) {
        SetLines(s->lines_);
        return;
    }
    TPropertyObject::Assign(source);
}

}  // namespace fw
