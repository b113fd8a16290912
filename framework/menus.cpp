#include "framework/menus.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "framework/classbuilder.h"
#include "framework/controls.h"

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
    static TPopupMenu::PopupEngine engine = QtPopupEngine;
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
            .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
            .Event("OnClick", &TMenuItem::OnClick)
            .Creatable()
            .Build();
    return info;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    for (TMenuItem* child : items_) child->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item->parent_ == this) return;
    if (item->parent_) item->parent_->Remove(item);
    items_.push_back(item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
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

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() = default;

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

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y) {
    // The menu runs modally and takes the mouse: a press that opened it never sees its
    // release.
    EndMouseCapture();
    OnPopup(this);
    Engine()(*this, X, Y);
}

void TPopupMenu::SetPopupEngine(PopupEngine engine) {
    Engine() = engine ? std::move(engine) : PopupEngine(QtPopupEngine);
}
const TPopupMenu::PopupEngine& TPopupMenu::CurrentPopupEngine() { return Engine(); }

namespace {
// Builds a Qt menu for the item's children; chosen items run their Click after the menu
// has closed, so a command may free the menu's window.
void Fill(QMenu& menu, TMenuItem& parent, TMenuItem** chosen) {
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            menu.addSeparator();
            continue;
        }
        QString text = QString::fromStdString(item->Caption());
        if (item->Count() > 0) {
            QMenu* sub = menu.addMenu(text);
            sub->setEnabled(item->Enabled());
            QObject::connect(sub, &QMenu::aboutToShow, [item] { Guarded(item, [item] { item->Click(); }); });
            Fill(*sub, *item, chosen);
            continue;
        }
        QAction* a = menu.addAction(text);
        a->setEnabled(item->Enabled());
        a->setCheckable(item->Checked());
        a->setChecked(item->Checked());
        QFont f = a->font();
        f.setBold(item->Default());
        a->setFont(f);
        QObject::connect(a, &QAction::triggered, [item, chosen] { *chosen = item; });
    }
}
}  // namespace

void QtPopupEngine(TPopupMenu& menu, int x, int y) {
    QMenu qmenu;
    TMenuItem* chosen = nullptr;
    Fill(qmenu, *menu.Items(), &chosen);
    qmenu.exec(QPoint(x, y));
    if (chosen) Guarded(chosen, [chosen] { chosen->Click(); });
}

}  // namespace fw
