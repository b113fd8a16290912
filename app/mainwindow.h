#pragma once
// The main window: the address and host name on a skinned, borderless panel.
#include "app/mainlogic.h"
#include "app/windowdrag.h"
#include "framework/app/dialogs.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/graphics/imagelist.h"
#include "framework/menus/menus.h"

namespace ctl {
class TScrollLabel;
class TTrayIcon;
}  // namespace ctl

class TForm1 : public fw::TForm {
    FW_CLASS(TForm1)
  public:
    explicit TForm1(fw::TComponent* owner);

    // The refresh step: the IP label and the host-name label read the probe afresh.
    void RefreshDisplay();
    // Toggles between the full and the compact form.
    void SetCompactMode();
    // The layout of a compact or full form, without toggling the check mark.
    void ApplyCompactLayout(bool compact);
    // Back from the tray or the taskbar if minimised, then to the front (the tray icon's
    // click, and a second start of the program).
    void RestoreAndBringForward();
    void WindowStateChanged() override;

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
    void SetRefreshRate(fw::TMenuItem* checked, bool enabled, unsigned interval);
    void ApplyStayOnTop();
    void TrayHostChanged(fw::TPropertyObject* Sender, bool available);

    app::TWindowDrag drag_;
};

// Registers the program's window classes with the reader.
void RegisterAppClasses();
