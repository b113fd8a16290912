#include "widgets/trayicon.h"

#include "framework/app/application.h"
#include "framework/controls/cursors.h"
#include "framework/controls/forms.h"
#include "framework/controls/screen.h"
#include "framework/core/classbuilder.h"
#include "framework/core/guithread.h"
#include "framework/core/setifchanged.h"
#include "framework/menus/menus.h"
#include "framework/x11/firstpaint.h"

namespace ctl {

using namespace fw;

const TClassInfo& TTrayIcon::StaticClassInfo() {
    // No property declares a default: every one is written.
    static const TClassInfo info =
        ClassBuilder<TTrayIcon>("TTrayIcon", &TComponent::StaticClassInfo())
            .Boolean("AutoRestore", &TTrayIcon::AutoRestore, &TTrayIcon::SetAutoRestore,
                     std::nullopt)
            .Boolean("Enabled", &TTrayIcon::Enabled, &TTrayIcon::SetEnabled, std::nullopt)
            .Boolean("ShowDesigning", &TTrayIcon::ShowDesigning, &TTrayIcon::SetShowDesigning,
                     std::nullopt)
            .Object("Icon", &TTrayIcon::Icon)
            .String("ToolTip", &TTrayIcon::ToolTip, &TTrayIcon::SetToolTip, std::nullopt)
            .Event("OnClick", &TTrayIcon::OnClick)
            .Event("OnDblClick", &TTrayIcon::OnDblClick)
            .Event("OnRightClick", &TTrayIcon::OnRightClick)
            .Component("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu)
            .Creatable()
            .Build();
    return info;
}

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner), icon_(std::make_unique<TIcon>()) {
    // An icon read from a description changes in place: show the new picture.
    icon_->OnChange = [this] { UpdateIcon(); };
    // Looking for a tray host and adding the icon wait until the window is on the screen;
    // an icon wanted meanwhile is added then.
    std::weak_ptr<bool> alive = alive_;
    AfterFirstPaint([this, alive] {
        if (auto a = alive.lock(); !a || !*a) return;
        Guarded(this, [this] {
            area_ = platform::NewNotificationArea();
            area_->OnMouse = [this](platform::TrayMouse m) { Guarded(this, [&] { Mouse(m); }); };
            area_->OnAvailabilityChanged = [this](bool a) {
                Guarded(this, [&] { HostChanged(a); });
            };
            if (IconWanted()) AddIcon();
        });
    });
}

TTrayIcon::~TTrayIcon() {
    *alive_ = false;
    RemoveIcon();
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    icon_->OnChange = nullptr;
}

platform::TrayIconData TTrayIcon::Data() const {
    platform::TrayIconData d;
    if (!icon_->Empty()) {
        d.width = icon_->Width();
        d.height = icon_->Height();
        d.argb = icon_->ArgbPixels();
    }
    d.tip = toolTip_;
    return d;
}

bool TTrayIcon::AddIcon() {
    if (shown_ || !area_) return false;
    if (!area_->Add(Data())) return false;
    // Read from a description, the icon is added before its picture and tip are read:
    // apply them again once the message loop runs.
    if (toolTip_.empty()) {
        std::weak_ptr<bool> alive = alive_;
        PrepareGuiThread();
        PostToGuiThread([this, alive] {
            if (auto a = alive.lock(); a && *a) Guarded(nullptr, [this] { SetToolTip(toolTip_); });
        });
    }
    shown_ = true;
    return true;
}

bool TTrayIcon::UpdateIcon() {
    if (!shown_) return true;
    return area_->Modify(Data());
}

void TTrayIcon::RemoveIcon() {
    if (!shown_) return;
    if (area_->Delete()) shown_ = false;
}

bool TTrayIcon::IconWanted() const {
    if (minimized_ && !enabled_) return true;
    return enabled_ && (!Designing() || showDesigning_);
}

void TTrayIcon::SetEnabled(bool v) {
    if (!fw::SetIfChanged(enabled_, v)) return;
    if (v) {
        if (!Designing() || showDesigning_) AddIcon();
    } else {
        RemoveIcon();
    }
}

void TTrayIcon::SetShowDesigning(bool v) {
    if (!fw::SetIfChanged(showDesigning_, v)) return;
    if (!Designing()) return;
    if (v && enabled_)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetIcon(TIcon* icon) {
    if (icon && icon != icon_.get()) icon_->Assign(*icon);  // the change updates the icon
}

void TTrayIcon::SetToolTip(const std::string& tip) {
    toolTip_ = tip.substr(0, std::min(tip.size(), kMaxToolTip));
    UpdateIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (popupMenu_) FreeNotification(popupMenu_);
}

void TTrayIcon::Notification(TComponent* component, TOperation Operation) {
    TComponent::Notification(component, Operation);
    if (Operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TTrayIcon::SetMinimized(bool v) {
    if (v == minimized_) return;
    if (v)
        MinimizeToTray();
    else
        RestoreFromTray();
}

void TTrayIcon::HideApplicationButton() {
    // There is no application window apart from the forms: the owner form's taskbar entry
    // stands for it.
    if (auto* form = dynamic_cast<TFormBase*>(Owner())) form->SetSkipTaskbar(true);
}

void TTrayIcon::MinimizeToTray() {
    if (minimized_) return;
    HideApplicationButton();
    if (auto* form = dynamic_cast<TFormBase*>(Owner())) form->Hide();
    minimized_ = true;
    // A hidden window always has an icon to come back by.
    if (!enabled_) AddIcon();
}

void TTrayIcon::RestoreFromTray() {
    if (!minimized_) return;
    if (!enabled_) RemoveIcon();
    if (auto* form = dynamic_cast<TFormBase*>(Owner())) {
        form->Show();
        HideApplicationButton();
    }
    minimized_ = false;
}

void TTrayIcon::Mouse(platform::TrayMouse m) {
    switch (m) {
        case platform::TrayMouse::LeftClick:
            if (autoRestore_ && minimized_) RestoreFromTray();
            OnClick(this);
            break;
        case platform::TrayMouse::LeftDoubleClick:
            OnDblClick(this);
            break;
        case platform::TrayMouse::RightClick: {
            TPoint p = CursorPos();
            if (!popupMenu_) return;
            if (Application) {
                Application->BringToFront();
                Application->ProcessMessages();
            }
            std::weak_ptr<bool> alive = alive_;
            popupMenu_->Popup(p.X, p.Y);  // returns when the menu has closed
            // A command of the menu may have freed this component.
            if (auto a = alive.lock(); !a || !*a) return;
            OnRightClick(this, mbRight, 0, p.X, p.Y);
            break;
        }
        case platform::TrayMouse::Other:
            break;
    }
}

void TTrayIcon::HostChanged(bool available) {
    if (available) {
        if (IconWanted()) AddIcon();
    } else if (shown_) {
        // The host took the icon with it; it must be added anew to the next one.
        RemoveIcon();
        shown_ = false;
    }
    OnHostChange(this, available);
}

}  // namespace ctl
