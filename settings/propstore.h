#pragma once
// TPropertyStore: a non-visual component that keeps chosen published properties of its
// owner's components in one section of a settings file. It restores them when the owner
// has been loaded and writes them back when the owner closes or is destroyed. Values are
// kept in the syntax of the component text, so the store knows no property types itself.
#include <chrono>
#include <string>
#include <vector>

#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/core/savemoments.h"
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

    // Once loaded, the store also writes soon after the user changed a stored property: at
    // once when its last such write is a second old, else when that second is over; nothing
    // while nothing changed since the restore or the last write. A session's request to save
    // writes at once. These writes keep Saved() as it was, so the owner's end saves as ever.
    // A failed one is reported once, and again only after a write has succeeded in between.
    void UserActed();

    void Loaded() override;
    void Notification(fw::TComponent* component, fw::TOperation Operation) override;

  private:
    void HookOwner();
    void UnhookOwner();
    void OwnerCloseQuery(fw::TPropertyObject* Sender, bool& CanClose);
    void OwnerDestroy(fw::TPropertyObject* Sender);
    // Saves, showing what fails; true when it wrote.
    bool GuardedSave();
    void MomentHeard(fw::TSaveMoment moment);
    // The stored properties' current text: a change of any of them changes it.
    std::string StoredValues() const;
    void WriteIfChanged();
    fw::TComponent* FindStored(const std::string& name) const;
    std::string WriteBinary(fw::TComponent* c, const std::string& path,
                            const std::vector<std::string>& hex);
    void WriteEntries(const StoreEntries& entries);
    struct ReadSection {
        StoreEntries entries;
        std::vector<int> lines;  // each entry's line in the file
        size_t notRead = 0;      // keys beyond the key names' budget
        std::string firstNotRead;
        std::string problem;  // why the file was not read at all
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

    std::string written_;  // StoredValues() at the restore or the last write
    std::chrono::steady_clock::time_point lastWrite_;
    std::unique_ptr<fw::TTimer> writeLater_;  // armed only while a write waits
    bool writeFailed_ = false;                // a write after a change failed and was reported
    bool reporting_ = false;                  // that report's message is open
    std::unique_ptr<fw::TSaveMomentListener> listener_;
};

// Registers the store's classes with the component text reader.
void RegisterPropStoreClasses();

}  // namespace settings
