#pragma once
// An icon in the desktop's notification area that turns the user's clicks into events: a
// left click, a double click, and a right click that opens a popup menu. Also hides the
// owner window into the tray with the icon as the way back.
#include <memory>
#include <string>

#include "framework/controls/controls.h"
#include "framework/core/classes.h"
#include "framework/graphics/graphicsicon.h"
#include "platform/notificationarea.h"

namespace fw {
class TPopupMenu;
}

namespace ctl {

using THostChangeEvent = fw::TEvent<void(fw::TPropertyObject* Sender, bool Available)>;

class TTrayIcon : public fw::TComponent {
    FW_CLASS(TTrayIcon)
  public:
    static constexpr std::size_t kMaxToolTip = 62;

    explicit TTrayIcon(fw::TComponent* owner);
    ~TTrayIcon() override;

    bool AutoRestore() const { return autoRestore_; }
    void SetAutoRestore(bool v) { autoRestore_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool ShowDesigning() const { return showDesigning_; }
    void SetShowDesigning(bool v);
    fw::TIcon* Icon() const { return icon_.get(); }
    void SetIcon(fw::TIcon* icon);
    const std::string& ToolTip() const { return toolTip_; }
    void SetToolTip(const std::string& tip);
    fw::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(fw::TPopupMenu* menu);
    bool Minimized() const { return minimized_; }
    void SetMinimized(bool v);
    // The icon is in the notification area now.
    bool Shown() const { return shown_; }

    // Takes the application's entry off the taskbar.
    void HideApplicationButton();
    // Hides the owner window with the icon as the way back; restores it.
    void MinimizeToTray();
    void RestoreFromTray();

    fw::TSenderEvent OnClick;
    fw::TSenderEvent OnDblClick;
    fw::TMouseEvent OnRightClick;
    // Not part of the stored events: a tray host went away (false) or appeared (true);
    // raised after the icon has left or re-entered the notification area.
    THostChangeEvent OnHostChange;

    void Notification(fw::TComponent* component, fw::TOperation Operation) override;

  private:
    bool AddIcon();
    bool UpdateIcon();
    void RemoveIcon();
    bool IconWanted() const;
    platform::TrayIconData Data() const;
    void Mouse(platform::TrayMouse m);
    void HostChanged(bool available);

    std::unique_ptr<platform::NotificationArea> area_;
    std::unique_ptr<fw::TIcon> icon_;
    std::string toolTip_;
    bool shown_ = false;
    bool enabled_ = false;
    bool showDesigning_ = false;
    bool autoRestore_ = false;
    bool minimized_ = false;
    fw::TPopupMenu* popupMenu_ = nullptr;
    // Posted work checks this to know the component still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace ctl
