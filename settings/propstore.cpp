#include "settings/propstore.h"

#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/keystore.h"
#include "framework/text/componenttext.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "settings/storeerrors.h"
#include "settings/storerestore.h"

namespace settings {

namespace {

// "rezazo" -> "rezazo.INI", "a.out" -> "a.INI".
std::string ChangeFileExt(const std::string& name, const std::string& ext) {
    size_t slash = name.rfind('/');
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ext;
    return name.substr(0, dot) + ext;
}

// Values that begin with an apostrophe get one more pair around them, so that the quote
// removal of the reading side gives the component-text form back.
std::string IniValue(const std::string& value) {
    std::string v = value.substr(0, 255);
    return !v.empty() && v.front() == '\'' ? "'" + v + "'" : v;
}

}  // namespace

// TStoredObject

const fw::TClassInfo& TStoredObject::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TStoredObject>("TStoredObject", &fw::TCollectionItem::StaticClassInfo())
            .Component("Component", &TStoredObject::Component, &TStoredObject::SetComponent)
            .Boolean("IsForm", &TStoredObject::IsForm, &TStoredObject::SetIsForm, false)
            .Object("StoredProp", &TStoredObject::StoredProp)
            .Build();
    return info;
}

TStoredObject::TStoredObject(fw::TCollection* collection, TPropertyStore* store)
    : fw::TCollectionItem(collection),
      store_(store),
      storedProp_(std::make_unique<fw::TLineList>()) {}

void TStoredObject::SetComponent(fw::TComponent* c) {
    fw::TComponent* owner = store_ ? store_->Owner() : nullptr;
    if (c != component_) {
        const bool loading = store_ && store_->Loading();
        component_ = c;
        if (!loading || !c) storedProp_->Clear();
        // Components of the owner announce their removal anyway; anything else is asked to.
        if (c && store_ && c != owner && c->Owner() != owner) store_->FreeNotification(c);
    }
    if (c && c == owner) isForm_ = true;
}

void TStoredObject::SetIsForm(bool v) {
    if (!store_ || !store_->Loading()) return;
    isForm_ = v;
    if (v) SetComponent(store_->Owner());
}

void TStoredObject::SetStoredProp(const fw::TLineList& lines) { storedProp_->Assign(lines); }

// TStoredObjects

const fw::TClassInfo& TStoredObjects::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TStoredObjects>("TStoredObjects", &fw::TCollection::StaticClassInfo())
            .Build();
    return info;
}

TStoredObjects::TStoredObjects(TPropertyStore* store)
    : fw::TCollection([store](fw::TCollection& c) -> std::unique_ptr<fw::TCollectionItem> {
          return std::make_unique<TStoredObject>(&c, store);
      }),
      store_(store) {}

TStoredObject* TStoredObjects::Add(fw::TComponent* component) {
    auto* item = static_cast<TStoredObject*>(fw::TCollection::Add());
    item->SetComponent(component);
    return item;
}

int TStoredObjects::IndexOf(const fw::TComponent* component) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i)->Component() == component) return i;
    return -1;
}

void TStoredObjects::Delete(const fw::TComponent* component) {
    int i = IndexOf(component);
    if (i >= 0) fw::TCollection::Delete(i);
}

TStoredObject* TStoredObjects::Item(int index) const {
    return static_cast<TStoredObject*>(Items(index));
}

// TPropertyStore

const fw::TClassInfo& TPropertyStore::StaticClassInfo() {
    using S = TPropertyStore;
    static const fw::TClassInfo info =
        fw::ClassBuilder<S>("TPropertyStore", &fw::TComponent::StaticClassInfo())
            .Boolean("Active", &S::Active, &S::SetActive, std::nullopt)
            .String("BinaryFileName", &S::BinaryFileName, &S::SetBinaryFileName, std::string())
            .String("IniFileName", &S::IniFileName, &S::SetIniFileName, std::string())
            .String("IniSection", &S::IniSection, &S::SetIniSection, std::string())
            .Collection("Items", &S::Items)
            .Boolean("UseRegistry", &S::UseRegistry, &S::SetUseRegistry, false)
            .Event("OnAfterRestore", &S::OnAfterRestore)
            .Event("OnAfterSave", &S::OnAfterSave)
            .Event("OnBeforeRestore", &S::OnBeforeRestore)
            .Event("OnBeforeSave", &S::OnBeforeSave)
            .Creatable()
            .Build();
    return info;
}

TPropertyStore::TPropertyStore(fw::TComponent* owner)
    : fw::TComponent(owner), items_(std::make_unique<TStoredObjects>(this)) {}

TPropertyStore::~TPropertyStore() {
    if (!Designing()) UnhookOwner();
}

std::string TPropertyStore::BinaryFileName() const {
    if (Designing() || !binaryFileName_.empty()) return binaryFileName_;
    return ChangeFileExt(platform::ExecutableName(), ".BIN");
}

std::string TPropertyStore::IniFileName() const {
    if (Designing() || !iniFileName_.empty()) return iniFileName_;
    if (useRegistry_) return "Software\\" + ChangeFileExt(platform::ExecutableName(), "");
    return ChangeFileExt(platform::ExecutableName(), ".INI");
}

std::string TPropertyStore::IniSection() const {
    if (Designing() || !iniSection_.empty()) return iniSection_;
    return Owner() ? Owner()->ClassName() : Name();
}

void TPropertyStore::SetItems(const TStoredObjects& items) {
    if (&items == items_.get()) return;
    items_->Clear();
    for (int i = 0; i < items.Count(); ++i)
        items_->Add(items.Item(i)->Component())->SetStoredProp(*items.Item(i)->StoredProp());
}

void TPropertyStore::Loaded() {
    const bool wasLoading = Loading();
    fw::TComponent::Loaded();
    if (Designing()) return;
    if (wasLoading) HookOwner();
    if (!active_) return;
    // Settings must never keep the owner from loading.
    try {
        Restore();
    } catch (const std::exception& e) {
        ReportStoreError(this, e);
    }
    if (!hooked_) return;
    written_ = StoredValues();
    listener_ = std::make_unique<fw::TSaveMomentListener>(
        [this](fw::TSaveMoment moment) { MomentHeard(moment); });
}

void TPropertyStore::MomentHeard(fw::TSaveMoment moment) {
    if (!active_) return;
    if (moment == fw::TSaveMoment::SessionSave) {
        if (writeLater_) writeLater_->SetEnabled(false);
        // What did not get to disk is still to be written by the next change or the end;
        // and as for the writes after a change, the end still saves what came since.
        const bool saved = saved_;
        if (GuardedSave()) written_ = StoredValues();
        saved_ = saved;
        return;
    }
    UserActed();
}

void TPropertyStore::UserActed() {
    // A write that waits looks at the values when it runs.
    if (!writeLater_ || !writeLater_->Enabled()) WriteIfChanged();
}

std::string TPropertyStore::StoredValues() const {
    std::string text;
    for (int i = 0; i < items_->Count(); ++i) {
        TStoredObject* item = items_->Item(i);
        if (!item->Component()) continue;
        text += item->Component()->Name() + "\n";
        for (const std::string& prop : item->StoredProp()->Lines())
            text += fw::WritePropertyText(*item->Component(), prop);
    }
    return text;
}

void TPropertyStore::WriteIfChanged() {
    using namespace std::chrono;
    std::string now = StoredValues();
    if (now == written_) return;
    constexpr auto kGap = seconds(1);
    const auto since = steady_clock::now() - lastWrite_;
    if (since < kGap) {
        if (!writeLater_) {
            writeLater_ = std::make_unique<fw::TTimer>(nullptr);
            writeLater_->OnTimer.Set([this](fw::TPropertyObject*) {
                writeLater_->SetEnabled(false);
                WriteIfChanged();
            });
        }
        writeLater_->SetInterval(static_cast<unsigned>(ceil<milliseconds>(kGap - since).count()) +
                                 1);
        writeLater_->SetEnabled(true);
        return;
    }
    lastWrite_ = steady_clock::now();
    const bool saved = saved_;
    try {
        Save();
        written_ = std::move(now);
    } catch (const std::exception& e) {
        // Said once: a disk that stays full must not bring a box with every change. The next
        // failure after a write that worked is news again. No box while ours is open: its
        // loop runs our timer and the user's actions, which fail the same way meanwhile.
        if (!writeFailed_ && !reporting_) {
            writeFailed_ = true;
            reporting_ = true;
            ReportStoreError(this, e);
            reporting_ = false;
        }
    }
    saved_ = saved;
}

void TPropertyStore::Notification(fw::TComponent* component, fw::TOperation Operation) {
    fw::TComponent::Notification(component, Operation);
    if (Operation == fw::TOperation::opRemove && items_) items_->Delete(component);
}

void TPropertyStore::HookOwner() {
    if (hooked_) return;
    if (auto* form = dynamic_cast<fw::TFormBase*>(Owner())) {
        prevCloseQuery_ = form->OnCloseQuery;
        prevDestroy_ = form->OnDestroy;
        // The owner's text keeps naming its own handlers.
        form->OnCloseQuery.Set(
            [this](fw::TPropertyObject* s, bool& can) { OwnerCloseQuery(s, can); },
            prevCloseQuery_.name);
        form->OnDestroy.Set([this](fw::TPropertyObject* s) { OwnerDestroy(s); }, prevDestroy_.name);
        hooked_ = true;
    } else if (auto* module = dynamic_cast<fw::TComponentContainer*>(Owner())) {
        prevDestroy_ = module->OnDestroy;
        module->OnDestroy.Set([this](fw::TPropertyObject* s) { OwnerDestroy(s); },
                              prevDestroy_.name);
        hooked_ = true;
    }
}

void TPropertyStore::UnhookOwner() {
    if (!hooked_) return;
    hooked_ = false;
    if (auto* form = dynamic_cast<fw::TFormBase*>(Owner())) {
        form->OnCloseQuery = prevCloseQuery_;
        form->OnDestroy = prevDestroy_;
    } else if (auto* module = dynamic_cast<fw::TComponentContainer*>(Owner())) {
        module->OnDestroy = prevDestroy_;
    }
}

void TPropertyStore::OwnerCloseQuery(fw::TPropertyObject* Sender, bool& CanClose) {
    prevCloseQuery_(Sender, CanClose);
    if (!CanClose || !active_) return;
    auto* form = dynamic_cast<fw::TFormBase*>(Owner());
    if (!form) return;
    form->HandleNeeded();
    if (form->HandleAllocated()) GuardedSave();
}

void TPropertyStore::OwnerDestroy(fw::TPropertyObject* Sender) {
    // The components go next: nothing may look at them from a timer or a listener.
    listener_.reset();
    writeLater_.reset();
    if (active_ && !saved_) GuardedSave();
    prevDestroy_(Sender);
}

bool TPropertyStore::GuardedSave() {
    try {
        Save();
        return true;
    } catch (const std::exception& e) {
        ReportStoreError(this, e);
        return false;
    }
}

fw::TComponent* TPropertyStore::FindStored(const std::string& name) const {
    fw::TComponent* c = Owner()->FindComponentOrSelf(name, fw::TComponent::NameCase::Exact);
    return c && items_->IndexOf(c) >= 0 ? c : nullptr;
}

void TPropertyStore::Save() {
    if (!Owner() || items_->Count() == 0) return;
    OnBeforeSave(this);
    SaveSource source;
    source.storedComponent = [this](const std::string& name) { return FindStored(name); };
    source.storedProps = [this](fw::TComponent* c) {
        return items_->Item(items_->IndexOf(c))->StoredProp()->Lines();
    };
    source.writeBinary = [this](fw::TComponent* c, const std::string& path,
                                const std::vector<std::string>& hex) {
        return WriteBinary(c, path, hex);
    };
    // Only the stored properties are rendered: the rest of the window (its pictures above all)
    // would be written out only to be passed over.
    const fw::PropertySelection storedOnly = [this](fw::TComponent& c) {
        fw::TComponent* stored = c.Name().empty() ? nullptr : FindStored(c.Name());
        return stored ? items_->Item(items_->IndexOf(stored))->StoredProp()->Lines()
                      : std::vector<std::string>();
    };
    WriteEntries(CollectStoreEntries(fw::WriteComponentText(*Owner(), storedOnly), source));
    saved_ = true;
    writeFailed_ = false;
    OnAfterSave(this);
}

std::string TPropertyStore::WriteBinary(fw::TComponent* c, const std::string& path,
                                        const std::vector<std::string>& hex) {
    // Named by the chain of owned components down to c: "Form1.Image1.Picture.Data".
    std::string section;
    for (fw::TComponent* x = c; x && x->Owner(); x = x->Owner())
        section = x->Name() + "." + section;
    section += path;
    platform::IniEntries entries;
    for (size_t i = 0; i < hex.size(); ++i) entries.emplace_back("I" + std::to_string(i), hex[i]);
    platform::ReplaceIniSection(BinaryFileName(), section, entries);
    return section;
}

void TPropertyStore::WriteEntries(const StoreEntries& entries) {
    if (useRegistry_) {
        const std::string key = IniFileName() + "\\" + IniSection();
        fw::TKeyStore reg;
        reg.DeleteKey(key);
        for (const auto& [name, value] : entries) reg.WriteString(key, name, value.substr(0, 255));
        if (!reg.Flush()) throw platform::IniWriteError(IniFileName());
        return;
    }
    platform::IniEntries out;
    for (const auto& [key, value] : entries) out.emplace_back(key, IniValue(value));
    // One replacement of the file: a failed write leaves the old section whole.
    platform::ReplaceIniSection(IniFileName(), IniSection(), out);
}

TPropertyStore::ReadSection TPropertyStore::ReadEntries() const {
    ReadSection out;
    if (useRegistry_) {
        for (auto& [name, value] : fw::TKeyStore().ReadValues(IniFileName() + "\\" + IniSection()))
            if (!value.empty()) out.entries.emplace_back(name, value);
        return out;
    }
    // What the platform's reading calls can hold: the section's key names together in
    // 8192 bytes (each with its terminating zero, and one more zero at the end), and each
    // value in 255 characters, as they are written.
    constexpr size_t kKeyNamesBudget = 8192;
    constexpr size_t kValueLimit = 255;
    size_t used = 1;
    platform::RemoveStaleIniTemporaries(IniFileName());
    for (platform::IniLine& line :
         platform::ReadIniSection(IniFileName(), IniSection(), &out.problem)) {
        if (out.notRead > 0 || used + line.key.size() + 1 > kKeyNamesBudget) {
            if (out.notRead++ == 0) out.firstNotRead = line.key;
            continue;
        }
        used += line.key.size() + 1;
        if (line.value.empty()) continue;
        if (line.value.size() > kValueLimit) line.value.resize(kValueLimit);
        out.entries.emplace_back(std::move(line.key), std::move(line.value));
        out.lines.push_back(line.line);
    }
    return out;
}

std::vector<std::string> TPropertyStore::ReadBinary(const std::string& section) const {
    std::vector<std::string> out;
    for (platform::IniLine& l : platform::ReadIniSection(BinaryFileName(), section))
        out.push_back(std::move(l.value));
    return out;
}

void TPropertyStore::Restore() {
    saved_ = false;
    ReadSection section = ReadEntries();
    OnBeforeRestore(this);
    std::vector<SkippedKey> skipped;
    if (fw::TComponent* owner = Owner()) {
        auto binary = [this](const std::string& s) { return ReadBinary(s); };
        for (const EntryGroup& group : GroupStoreEntries(section.entries)) {
            if (fw::TComponent* c =
                    owner->FindComponentOrSelf(group.component, fw::TComponent::NameCase::Exact))
                RestoreGroupOnto(*c, owner, group, section.entries, section.lines, binary, skipped);
        }
    }
    OnAfterRestore(this);
    if (!section.problem.empty()) {
        ReportStoreError(
            this, fw::EReadError("The settings file " + platform::SettingsFilePath(IniFileName()) +
                                 " " + section.problem + ". The default settings are used"));
        return;
    }
    // One message for the whole section, naming the file and every key that was skipped.
    if (!skipped.empty() || section.notRead > 0) {
        const std::string where = useRegistry_ ? IniFileName() + "\\" + IniSection()
                                               : platform::SettingsFilePath(IniFileName());
        ReportStoreError(this, ESkippedSettings(where, std::move(skipped), section.notRead,
                                                section.firstNotRead));
    }
}

void RegisterPropStoreClasses() {
    fw::RegisterClasses({{"TPropertyStore", &TPropertyStore::StaticClassInfo}});
}

}  // namespace settings
