#pragma once
// TPropertyStore: a non-visual component that keeps chosen published properties of its
// owner's components in one section of a settings file. It restores them when the owner
// has been loaded and writes them back when the owner closes or is destroyed. Values are
// kept in the syntax of the component text, so the store knows no property types itself.
#include <string>
#include <vector>

#include "framework/controls/forms.h"
#include "settings/storesave.h"

namespace settings {

class TPropertyStore;

class TStoredObject : public fw::TCollectionItem {
    FW_CLASS(TStoredObject)
  public:
    TStoredObject(fw::TCollection* collection, TPropertyStore* store);

    fw::TComponent* Component() const { return component_; }
    // A new component empties StoredProp, except while the store is being loaded (the
    // reference is resolved after the names were read), where only "none" empties it.
    void SetComponent(fw::TComponent* c);
    bool IsForm() const { return isForm_; }
    // Only while the store is being loaded: True makes the store's owner the component.
    void SetIsForm(bool v);
    fw::TLineList* StoredProp() const { return storedProp_.get(); }
    void SetStoredProp(const fw::TLineList& lines);

  private:
    TPropertyStore* store_;
    fw::TComponent* component_ = nullptr;
    std::unique_ptr<fw::TLineList> storedProp_;
    bool isForm_ = false;
};

class TStoredObjects : public fw::TCollection {
    FW_CLASS(TStoredObjects)
  public:
    explicit TStoredObjects(TPropertyStore* store);

    TPropertyStore* Store() const { return store_; }
    using fw::TCollection::Add;
    TStoredObject* Add(fw::TComponent* component);
    int IndexOf(const fw::TComponent* component) const;  // -1 when no item has it
    void Delete(const fw::TComponent* component);        // the first item for it
    using fw::TCollection::Delete;
    TStoredObject* Item(int index) const;

  private:
    TPropertyStore* store_;
};

class TPropertyStore : public fw::TComponent {
    FW_CLASS(TPropertyStore)
  public:
    explicit TPropertyStore(fw::TComponent* owner);
    ~TPropertyStore() override;

    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    // Empty names fall back to defaults made from the executable's name and the owner's
    // class name; while designing the stored text is returned as it is.
    std::string BinaryFileName() const;
    void SetBinaryFileName(const std::string& v) { binaryFileName_ = v; }
    std::string IniFileName() const;
    void SetIniFileName(const std::string& v) { iniFileName_ = v; }
    std::string IniSection() const;
    void SetIniSection(const std::string& v) { iniSection_ = v; }
    TStoredObjects* Items() const { return items_.get(); }
    // Copies the items: the same components with the same property names.
    void SetItems(const TStoredObjects& items);
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool v) { useRegistry_ = v; }

    fw::TSenderEvent OnAfterRestore;
    fw::TSenderEvent OnAfterSave;
    fw::TSenderEvent OnBeforeRestore;
    fw::TSenderEvent OnBeforeSave;

    // Writes the listed properties (the section is replaced whole). Throws on a failed write.
    void Save();
    // Applies every group of the section that names a component of the owner. A key that
    // cannot be applied is skipped and the rest still apply; the skipped keys are reported
    // together, in one message, once the restore has ended.
    void Restore();

    // True once Save has written the entries, until the next Restore.
    bool Saved() const { return saved_; }

    void Loaded() override;
    void Notification(fw::TComponent* component, fw::TOperation Operation) override;

  private:
    void HookOwner();
    void UnhookOwner();
    void OwnerCloseQuery(fw::TPropertyObject* Sender, bool& CanClose);
    void OwnerDestroy(fw::TPropertyObject* Sender);
    void GuardedSave();
    fw::TComponent* FindStored(const std::string& name) const;
    std::string WriteBinary(fw::TComponent* c, const std::string& path,
                            const std::vector<std::string>& hex);
    void WriteEntries(const StoreEntries& entries);
    struct ReadSection {
        StoreEntries entries;
        std::vector<int> lines;  // each entry's line in the file
        size_t notRead = 0;      // keys beyond the key names' budget
        std::string firstNotRead;
    };
    ReadSection ReadEntries() const;
    std::vector<std::string> ReadBinary(const std::string& section) const;

    bool active_ = false;
    std::string binaryFileName_;
    std::string iniFileName_;
    std::string iniSection_;
    std::unique_ptr<TStoredObjects> items_;
    bool useRegistry_ = false;

    bool saved_ = false;
    bool hooked_ = false;
    fw::TSenderEvent prevDestroy_;
    fw::TCloseQueryEvent prevCloseQuery_;
};

// Registers the store's classes with the component text reader.
void RegisterPropStoreClasses();

}  // namespace settings
