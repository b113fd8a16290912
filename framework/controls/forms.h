#pragma once
// Top-level windows. A form is a component container whose handlers are its methods; it
// is loaded from its description when it is created.
#include <string_view>

#include "framework/controls/controls.h"
#include "framework/x11/windowstate.h"

class QDialog;

namespace fw {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// The keys a window answers as a whole rather than a control in it.
enum class TWindowKey { Escape, ContextMenu, SystemMenu };

using TCloseQueryEvent = TEvent<void(TPropertyObject* Sender, bool& CanClose)>;
using TCloseEvent = TEvent<void(TPropertyObject* Sender, TCloseAction& Action)>;

class TFormBase : public TWinControl {
    FW_CLASS(TFormBase)
  public:
    explicit TFormBase(TComponent* owner);
    ~TFormBase() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle v);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }
    int ClientWidth() const override { return TControl::Width(); }
    int ClientHeight() const override { return TControl::Height(); }
    int PixelsPerInch() const { return 96; }
    void SetPixelsPerInch(int) {}
    bool Active() const;
    // Keeps the window out of the taskbar and the pager (the program is reached through
    // its own window and its tray icon).
    bool SkipTaskbar() const { return skipTaskbar_; }
    void SetSkipTaskbar(bool v);
    // Puts the window states (skip taskbar and pager; above when the form stays on top;
    // for a form other than the main one, belonging to the main one; mapped normally unless
    // iconified) on the current native window. The framework runs it whenever it makes a
    // native window and before every other show; a caller that hides and shows the window
    // needs nothing more.
    void ApplyWindowStates();
    // Once the window is on the screen: asks the window manager for the states again (one
    // still withdrawing the window from a quick hide may have dropped them) and puts the
    // belonging to the main form again, which the toolkit's show cleared.
    void ReassertWindowStates();

    // The form's own widget is a top-level window; showing raises it.
    void SetVisible(bool v) override;
    // Asks OnCloseQuery, then OnClose; hides (or frees) the form. A main form's close
    // ends the program.
    void Close();
    bool CloseQuery();
    void BringToFront();
    void SetFocus();
    // An access key pressed with Alt: offered to the controls as CM_DIALOGCHAR; true when
    // one took it.
    bool DialogChar(char key);
    // Escape, Shift+F10 or the Menu key (ContextMenu), Alt+Space (SystemMenu) pressed in the
    // window; true when the form answered it.
    virtual bool WindowKey(TWindowKey) { return false; }
    // Iconifies the window through the window manager (which keeps a way back to it);
    // Deiconify shows it normally again.
    void Iconify();
    void Deiconify();
    bool Iconic() const;
    // The window manager iconified or restored the window.
    virtual void WindowStateChanged() {}
    // Brings a window that is off every screen (saved on a monitor that is gone) fully
    // onto the nearest one; a window with any part on a screen stays where it is.
    void KeepOnScreen();
    // After the screens changed under the shown window: wholly onto a screen unless each of
    // its corners still is on one (PlaceWhollyOnScreens).
    void KeepWhollyOnScreen();

    TSenderEvent OnCreate;
    TSenderEvent OnDestroy;
    TSenderEvent OnShow;
    TSenderEvent OnHide;
    TSenderEvent OnActivate;
    TSenderEvent OnDeactivate;
    TSenderEvent OnPaint;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    void BeforeDestruction() override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  protected:
    // Reads the form's description (text or its binary form) and then runs the creation
    // handler. Pictures in a binary description declared lifelong (core/lifelong.h) show
    // its pixels in place.
    void InitInheritedComponent(std::string_view description);
    QWidget* CreateWidget() override;
    void PaintBackground(TCanvas& canvas, const TRect& dirty) override;
    void Paint(TCanvas& canvas) override;
    void ApplyWindowFlags();

  private:
    TWindowStates WindowStates() const;  // skip taskbar and pager alike; above when on top
    void PutBelonging();
    void WatchScreens(QWidget* window);

    TFormBorderStyle borderStyle_ = bsSizeable;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    bool skipTaskbar_ = false;
    bool destroyFired_ = false;
};

class TForm : public TFormBase {
    FW_CLASS(TForm)
  public:
    explicit TForm(TComponent* owner) : TFormBase(owner) {}
};

// Keeps a dialog or message box above the main form, which may stay on top of everything
// else: the window manager stacks it as the main form's transient. (The program's other
// forms are kept so by their window states.) Nothing happens for the main form itself or
// before it has a window.
void KeepAboveMainForm(QWidget* window);

// Runs a modal dialog kept above the main form and returns its result. Once it closes, the
// window that had the keyboard before it gets it back: a window manager may not hand it
// back, and with none nobody does.
int RunModal(QDialog& dialog);

// A non-visual container of components (no window).
class TComponentContainer : public TComponent {
    FW_CLASS(TComponentContainer)
  public:
    explicit TComponentContainer(TComponent* owner) : TComponent(owner) {}
    TSenderEvent OnCreate;
    TSenderEvent OnDestroy;
    void BeforeDestruction() override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
};

}  // namespace fw
