#include "framework/menus/menus.h"

#include <algorithm>

#include "framework/controls/controls.h"
#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/menus/popuplist.h"

namespace fw {

namespace {
const EnumInfo& MenuBreakInfo() {
    static const EnumInfo info{"TMenuBreak", {"mbNone", "mbBreak", "mbBarBreak"}};
    return info;
}
const EnumInfo& PopupAlignmentInfo() {
    static const EnumInfo info{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};
    return info;
}
TPopupMenu::PopupEngine& Engine() {
    static TPopupMenu::PopupEngine engine = OwnPopupEngine;
    return engine;
}
}  // namespace

// TMenuItem

const TClassInfo& TMenuItem::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
            .Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak, MenuBreakInfo(), mbNone)
            .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, std::string())
            .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
            .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
            .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
            .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
            .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint, std::string())
            .Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
            .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
            .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
            .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
            .Event("OnClick", &TMenuItem::OnClick)
            .Creatable()
            .Build();
    return info;
}

namespace {
unsigned NextCommand() {
    static unsigned next = 0;
    return ++next;
}
}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    for (TMenuItem* child : items_) child->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item->parent_ == this) return;
    if (item->parent_) item->parent_->Remove(item);
    items_.push_back(item);
    item->parent_ = this;
    InvalidateHandle();
    Changed();  // gaining children turns this entry into a submenu entry
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    InvalidateHandle();
    Changed();
}

void TMenuItem::Changed() {
    if (parent_) parent_->InvalidateHandle();
    if (TMenu* m = Menu()) m->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& s) {
    if (SetIfChanged(caption_, s)) Changed();
}
void TMenuItem::SetChecked(bool v) {
    if (SetIfChanged(checked_, v)) Changed();
}
void TMenuItem::SetEnabled(bool v) {
    if (SetIfChanged(enabled_, v)) Changed();
}
void TMenuItem::SetVisible(bool v) {
    if (SetIfChanged(visible_, v)) Changed();
}
void TMenuItem::SetDefault(bool v) {
    if (SetIfChanged(default_, v)) Changed();
}
void TMenuItem::SetBreak(TMenuBreak v) {
    if (SetIfChanged(break_, v)) Changed();
}
void TMenuItem::SetShortCut(int v) {
    if (SetIfChanged(shortCut_, v)) Changed();
}

TMenuHandle* TMenuItem::Handle() {
    if (!handle_) {
        handle_ = std::make_unique<TMenuHandle>();
        handle_->item = this;
    }
    if (!handleValid_) {
        // Rebuilt as plain text entries: whatever components had modified comes back.
        handleValid_ = true;
        handle_->entries.clear();
        for (TMenuItem* c : items_) {
            if (!c->visible_) continue;
            TMenuEntry e;
            e.command = c->command_;
            if (c->IsLine()) {
                e.flags = MF_SEPARATOR;
            } else {
                if (!c->enabled_) e.flags |= MF_GRAYED | MF_DISABLED;
                if (c->checked_) e.flags |= MF_CHECKED;
                e.text = c->caption_;
                if (c->shortCut_) e.text += "\t" + ShortCutToText(c->shortCut_);
            }
            if (c->break_ == mbBreak) e.flags |= MF_MENUBREAK;
            if (c->break_ == mbBarBreak) e.flags |= MF_MENUBARBREAK;
            if (!c->items_.empty()) {
                e.flags |= MF_POPUP;
                e.submenu = c->Handle();
            }
            handle_->entries.push_back(std::move(e));
        }
    } else {
        // Levels below may have changed on their own.
        for (TMenuItem* c : items_)
            if (c->visible_ && !c->items_.empty()) c->Handle();
    }
    return handle_.get();
}

TMenuItem* TMenuItem::FindByCommand(unsigned command) {
    if (command_ == command) return this;
    for (TMenuItem* c : items_)
        if (TMenuItem* f = c->FindByCommand(command)) return f;
    return nullptr;
}

TMenuItem* TMenuItem::FindByHandle(TMenuHandle* handle) {
    if (handle_ && handle_.get() == handle) return this;
    for (TMenuItem* c : items_)
        if (TMenuItem* f = c->FindByHandle(handle)) return f;
    return nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* i = this;
    while (i->parent_) i = i->parent_;
    return i->menu_;
}

void TMenuItem::Click() { OnClick(this); }

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TMenuItem* i : items_)
        if (i->Owner() == root) proc(i);
}

// TMenu

const TClassInfo& TMenu::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TMenu>("TMenu", &TComponent::StaticClassInfo())
            .Boolean("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false)
            .Build();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() = default;

void TMenu::MenuChanged() {
    if (Destroying()) return;
    // While a description is read, items come and go in bulk; the hooks convert the
    // finished menu once it is assigned to them.
    if (Owner() && (Owner()->ComponentState() & (csLoading | csDestroying))) return;
    TMessage m{CM_MENUCHANGED, TMenuChange{this}};
    if (auto* c = dynamic_cast<TControl*>(Owner())) c->WindowProc(m);
    TMessage p{CM_MENUCHANGED, TMenuChange{this}};
    PopupList().WindowProc(p);
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    items_->GetChildren(proc, root);
}

TMenuItem* TMenu::FindItem(const std::string& name) const {
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        for (int i = 0; i < item->Count(); ++i) {
            if (SameText(item->Items(i)->Name(), name)) return item->Items(i);
            if (TMenuItem* f = find(item->Items(i))) return f;
        }
        return nullptr;
    };
    return find(items_.get());
}

// TPopupMenu

const TClassInfo& TPopupMenu::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TPopupMenu>("TPopupMenu", &TMenu::StaticClassInfo())
            .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                  PopupAlignmentInfo(), paLeft)
            .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
            .Event("OnPopup", &TPopupMenu::OnPopup)
            .Creatable()
            .Build();
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y) {
    // The menu runs modally and takes the mouse: a press that opened it never sees its
    // release.
    EndMouseCapture();
    OnPopup(this);
    Engine()(*this, X, Y);
}

void TPopupMenu::SetPopupEngine(PopupEngine engine) {
    Engine() = engine ? std::move(engine) : PopupEngine(OwnPopupEngine);
}
const TPopupMenu::PopupEngine& TPopupMenu::CurrentPopupEngine() { return Engine(); }

std::string ShortCutToText(int shortCut) {
    int key = shortCut & 0xFF;
    std::string name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        name = std::string(1, static_cast<char>(key));
    else if (key >= 0x70 && key <= 0x7B)
        name = "F" + std::to_string(key - 0x6F);
    else
        switch (key) {
            case 0x08:
                name = "BkSp";
                break;
            case 0x09:
                name = "Tab";
                break;
            case 0x0D:
                name = "Enter";
                break;
            case 0x1B:
                name = "Esc";
                break;
            case 0x20:
                name = "Space";
                break;
            case 0x21:
                name = "PgUp";
                break;
            case 0x22:
                name = "PgDn";
                break;
            case 0x23:
                name = "End";
                break;
            case 0x24:
                name = "Home";
                break;
            case 0x25:
                name = "Left";
                break;
            case 0x26:
                name = "Up";
                break;
            case 0x27:
                name = "Right";
                break;
            case 0x28:
                name = "Down";
                break;
            case 0x2D:
                name = "Ins";
                break;
            case 0x2E:
                name = "Del";
                break;
            default:
                return {};
        }
    std::string out;
    if (shortCut & scShift) out += "Shift+";
    if (shortCut & scCtrl) out += "Ctrl+";
    if (shortCut & scAlt) out += "Alt+";
    return out + name;
}

}  // namespace fw
