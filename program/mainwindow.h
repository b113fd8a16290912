#pragma once
// The main window: the address and host name on a skinned, borderless panel.
#include <string>
#include <vector>

#include "framework/app/dialogs.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/graphics/imagelist.h"
#include "framework/menus/menus.h"
#include "platform/addressprobe.h"
#include "program/logsource.h"
#include "program/mainlogic.h"
#include "program/windowdrag.h"

namespace ctl {
class TScrollLabel;
class TTrayIcon;
}  // namespace ctl

class TForm1 : public fw::TForm, public TLogSource {
    FW_CLASS(TForm1)
  public:
    explicit TForm1(fw::TComponent* owner);

    // The refresh step: asks the probe afresh; the IP label and the host-name label change
    // when its answers arrive, and nothing waits for them.
    void RefreshDisplay();
    // The probe, for those who wait for its answers (tests).
    const platform::AddressProbe& Probe() const { return probe_; }
    // Toggles between the full and the compact form.
    void SetCompactMode();
    // The layout of a compact or full form, without toggling the check mark.
    void ApplyCompactLayout(bool compact);
    // Places the address and host-name texts for their current fonts and captions.
    void ArrangeTexts();
    // Back from the tray or the taskbar if minimised, then to the front (the tray icon's
    // click, and a second start of the program).
    void RestoreAndBringForward();
    void WindowStateChanged() override;
    // Shift+F10, the Menu key and Alt+Space open the system menu where its glyph does.
    bool WindowKey(fw::TWindowKey key) override;

    std::string AddressText() const override;
    std::string HostNameText() const override;
    void GetCloseGlyph(bool pressed, fw::TBitmap& into) const override;

    fw::TImage* Image1 = nullptr;
    fw::TImage* Image2 = nullptr;
    fw::TImage* Image3 = nullptr;
    fw::TImage* Image4 = nullptr;
    fw::TImage* Image5 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label3 = nullptr;
    ctl::TScrollLabel* label2 = nullptr;
    fw::TControl* GIFAnimator1 = nullptr;
    fw::TTimer* Timer1 = nullptr;
    fw::TFontDialog* FontDialog1 = nullptr;
    fw::TImageList* ImageList1 = nullptr;
    fw::TImageList* ImageList2 = nullptr;
    fw::TImageList* ImageList3 = nullptr;
    fw::TPopupMenu* PopupMenu1 = nullptr;
    fw::TPopupMenu* PopupMenu2 = nullptr;
    fw::TPopupMenu* PopupMenu3 = nullptr;
    fw::TMenuItem* RefreshNow1 = nullptr;
    fw::TMenuItem* N1sec1 = nullptr;
    fw::TMenuItem* Onceaminute1 = nullptr;
    fw::TMenuItem* off1 = nullptr;
    fw::TMenuItem* Compact1 = nullptr;
    fw::TMenuItem* AlwaysOnTop1 = nullptr;
    fw::TMenuItem* Snaptoedge1 = nullptr;
    ctl::TTrayIcon* TrayIcon1 = nullptr;

    // Handlers, bound by name from the description.
    void FormCreate(fw::TPropertyObject* Sender);
    void Timer1Timer(fw::TPropertyObject* Sender);
    void AppActivate(fw::TPropertyObject* Sender);
    void Appdeactivate(fw::TPropertyObject* Sender);
    void Refresh1Click(fw::TPropertyObject* Sender);
    void RefreshNow1Click(fw::TPropertyObject* Sender);
    void N1sec1Click(fw::TPropertyObject* Sender);
    void Onceaminute1Click(fw::TPropertyObject* Sender);
    void off1Click(fw::TPropertyObject* Sender);
    void Defaultfonts1Click(fw::TPropertyObject* Sender);
    void Fonts(fw::TPropertyObject* Sender);
    void Hostname1Click(fw::TPropertyObject* Sender);
    void Compact1Click(fw::TPropertyObject* Sender);
    void AlwaysOnTop1Click(fw::TPropertyObject* Sender);
    void Snaptoedge1Click(fw::TPropertyObject* Sender);
    void CopyHostnametoclipboard1Click(fw::TPropertyObject* Sender);
    void CopyIPtoclipboard1Click(fw::TPropertyObject* Sender);
    void Exit1Click(fw::TPropertyObject* Sender);
    void About1Click(fw::TPropertyObject* Sender);
    void LefttoRight1Click(fw::TPropertyObject* Sender);
    void Righttoleft1Click(fw::TPropertyObject* Sender);
    void Increasespeed1Click(fw::TPropertyObject* Sender);
    void Decreasespeed1Click(fw::TPropertyObject* Sender);
    void Defaultset1Click(fw::TPropertyObject* Sender);
    void Defaultsettings1Click(fw::TPropertyObject* Sender);
    void Image1DblClick(fw::TPropertyObject* Sender);
    void Image1MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Image1MouseMove(fw::TPropertyObject* Sender, fw::TModifierState Shift, int X, int Y);
    void Image1MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Image3MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Image3MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Image3Click(fw::TPropertyObject* Sender);
    void Changelog1Click(fw::TPropertyObject* Sender);
    void TrayIcon1Click(fw::TPropertyObject* Sender);
    void TrayIcon1DblClick(fw::TPropertyObject* Sender);
    void Image4Click(fw::TPropertyObject* Sender);
    void Image4MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Image4MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);
    void Image5MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Image5MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);

  private:
    void RegisterHandlers();
    void RegisterFields();
    void CopyToClipboard(const std::string& text);
    void CopyFreshAnswer(bool hostName);
    void SetRefreshRate(fw::TMenuItem* checked, bool enabled, unsigned interval);
    void ApplyStayOnTop();
    void TrayHostChanged(fw::TPropertyObject* Sender, bool available);
    void ProbeAnswered(const platform::ProbeAnswer& answer);
    void ShowAddress(const std::string& address);

    app::TWindowDrag drag_;
    // What a copy command waits for: the first answer of a lookup from this one on.
    struct PendingCopy {
        unsigned long fromLookup = 0;  // the first lookup started after the command
        bool hostName = false;
    };
    std::vector<PendingCopy> copies_;
    std::string address_;  // the address shown, without the label's prefix
    platform::AddressProbe probe_;
};
