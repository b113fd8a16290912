#pragma once
// The base classes of the component framework: persistent objects with published
// properties, components with owners and names, collections and string lists.
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/core/reflection.h"

// Declares the class's reflection table; the table itself is defined in the .cpp.
#define FW_CLASS(T)                                   \
  public:                                             \
    static const ::fw::TClassInfo& StaticClassInfo(); \
    const ::fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

namespace fw {

// Case-insensitive ordering for names of components, properties and handlers.
struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
bool SameText(const std::string& a, const std::string& b);

class TPropertyObject {
  public:
    virtual ~TPropertyObject() = default;
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    std::string ClassName() const { return ClassInfo().name; }
    bool InheritsFrom(const TClassInfo& info) const { return ClassInfo().InheritsFrom(&info); }

    // Copies the content of another object; throws "Cannot assign a X to a Y" when the
    // two kinds do not go together.
    virtual void Assign(const TPropertyObject& source);

  protected:
    // Asks the source to copy itself into this object (the second chance of Assign).
    virtual bool AssignTo(TPropertyObject& dest) const;
};

// An event property: a callable and the name of the handler it was bound from.
template <class Signature>
struct TEvent {
    std::function<Signature> fn;
    std::string name;

    explicit operator bool() const { return static_cast<bool>(fn); }
    template <class... Args>
    void operator()(Args&&... args) const {
        if (fn) fn(std::forward<Args>(args)...);
    }
    void Set(std::function<Signature> f, std::string n = {}) {
        fn = std::move(f);
        name = std::move(n);
    }
};

using TSenderEvent = TEvent<void(TPropertyObject* Sender)>;

enum class TOperation { opInsert, opRemove };

enum ComponentStateFlag : unsigned {
    csLoading = 1,
    csReading = 2,
    csDesigning = 4,
    csDestroying = 8,
};

class TComponent : public TPropertyObject {
    FW_CLASS(TComponent)
  public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int i) const { return components_[static_cast<size_t>(i)]; }
    TComponent* FindComponent(const std::string& name) const;  // case-insensitive
    // A component of this one by name, or else this one itself when the name is its own:
    // how a description or a stored key names the form and what it owns. The owned
    // components are found without case; the own name as `self` says (the settings store
    // wants it exact).
    enum class NameCase { Ignored, Exact };
    TComponent* FindComponentOrSelf(const std::string& name, NameCase self = NameCase::Ignored);

    unsigned ComponentState() const { return state_; }
    bool Loading() const { return state_ & csLoading; }
    bool Designing() const { return state_ & csDesigning; }
    bool Destroying() const { return state_ & csDestroying; }
    void SetLoadingState(bool loading);
    void SetDesigning(bool designing);

    // Called once after the component's description has been read and all references
    // resolved; clears the loading state.
    virtual void Loaded();
    // Told when a component of the same owner, or one asked for by FreeNotification, is
    // inserted or removed.
    virtual void Notification(TComponent* component, TOperation Operation);
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Handlers a description can bind by name (the methods of a form).
    template <class F>
    void RegisterHandler(const std::string& name, std::function<F> fn) {
        handlers_[name] = std::move(fn);
    }
    const std::any* FindHandler(const std::string& name) const;

    // Fields of a form that the reader points at the components of those names as part of
    // loading, before any end-of-loading step: nothing that runs before the creation
    // handler (a timer, a message) finds them unset.
    template <class T>
    void RegisterField(const std::string& name, T*& field) {
        fields_[name] = [&field](TComponent* c) {
            field = dynamic_cast<T*>(c);
            return field != nullptr;
        };
    }
    // Throws EReadError naming a field whose component is missing or of another class (and
    // that class).
    void BindFields();

    // The components written nested inside this one's block, in order.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
    // Told by the reader which block encloses this component's block.
    virtual void SetParentComponent(TComponent* parent);
    // Whether the component is written inside another component's block (a menu item in
    // its menu's) rather than in its owner's list.
    virtual bool WrittenInsideParent() const { return false; }

    // Runs before the destructor chain, while every derived part still exists.
    virtual void BeforeDestruction();

    // Frees a component: BeforeDestruction, then its owned components (newest first)
    // while it is still whole, then the destructor chain. The one way components go.
    static void Free(TComponent* c);
    void DestroyComponents();
    // How many components exist in the process: a soak run checks that it does not grow.
    static long LiveCount();

  private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    unsigned state_ = 0;
    std::vector<TComponent*> components_;  // owned, freed in reverse order
    std::set<TComponent*> freeNotifies_;
    std::map<std::string, std::any, NameLess> handlers_;
    std::map<std::string, std::function<bool(TComponent*)>, NameLess> fields_;
};

// Owning pointer for components made outside an owner (top-level windows, tests).
struct ComponentDeleter {
    void operator()(TComponent* c) const { TComponent::Free(c); }
};
template <class T>
using ComponentPtr = std::unique_ptr<T, ComponentDeleter>;

class TCollection;

class TCollectionItem : public TPropertyObject {
    FW_CLASS(TCollectionItem)
  public:
    explicit TCollectionItem(TCollection* collection) : collection_(collection) {}
    TCollection* Collection() const { return collection_; }
    int Index() const;

  private:
    TCollection* collection_;
};

class TCollection : public TPropertyObject {
    FW_CLASS(TCollection)
  public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection&)>;
    explicit TCollection(ItemFactory factory);
    ~TCollection() override;

    TCollectionItem* Add();
    // An item of this collection's kind that is not in it (to check values against).
    std::unique_ptr<TCollectionItem> MakeItem() { return factory_(*this); }
    void Clear();
    void Delete(int index);
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int i) const { return items_[static_cast<size_t>(i)].get(); }
    int IndexOf(const TCollectionItem* item) const;

  protected:
    virtual void Update() {}

  private:
    ItemFactory factory_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

class TLineList : public TPropertyObject {
    FW_CLASS(TLineList)
  public:
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Add(const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear();
    int IndexOf(const std::string& s) const;  // case-insensitive, -1 when absent
    void SetLines(const std::vector<std::string>& lines);
    // The lines joined with "\r\n" after each line; setting splits at CR, LF or CR LF.
    std::string Text() const;
    void SetText(const std::string& text);
    void Assign(const TPropertyObject& source) override;

    std::function<void()> OnChange;

  private:
    void Changed();
    std::vector<std::string> lines_;
};

}  // namespace fw
