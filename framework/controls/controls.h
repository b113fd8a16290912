#pragma once
// Controls: windowless controls paint on their parent's surface; windowed controls own a
// widget. Every control has a replaceable message procedure (WindowProc) through which
// the framework delivers mouse, paint and notification messages.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/contextmenu.h"
#include "framework/core/appservices.h"
#include "framework/core/classes.h"
#include "framework/core/messages.h"
#include "framework/core/types.h"
#include "framework/graphics/colors.h"
#include "framework/graphics/graphics.h"

class QWidget;

namespace fw {

class TWinControl;
class FwWidget;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TModifierFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TModifierState = unsigned;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
const EnumInfo& AlignInfo();

enum TCursor { crDefault = 0, crArrow = -2, crHandPoint = -21, crIBeam = -4, crCross = -3 };

using TMouseEvent =
    TEvent<void(TPropertyObject* Sender, TMouseButton Button, TModifierState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TPropertyObject* Sender, TModifierState Shift, int X, int Y)>;
using TWindowProcedure = std::function<void(TMessage&)>;

enum ControlStyleFlag : unsigned {
    csAcceptsControls = 1,
    csCaptureMouse = 2,
    csClickEvents = 4,
    csDoubleClicks = 8,
    csOpaque = 16,
};

class TControl : public TComponent {
    FW_CLASS(TControl)
  public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // The message procedure: replace it to hook the control, keep the old one and pass on
    // what you do not consume.
    TWindowProcedure WindowProc;
    virtual void WndProc(TMessage& Message);
    void Perform(unsigned msg, TMessageData data = {});

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* p);
    void SetParentComponent(TComponent* parent) override;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Offset of the client area's origin inside the nearest windowed ancestor.
    TPoint OriginInWindow() const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible itself and every parent up to the window.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& s);
    const std::string& Text() const { return caption_; }
    void SetText(const std::string& s) { SetCaption(s); }
    // The text a screen reader reads: the caption, unless the control shows another.
    virtual const std::string& AccessibleText() const { return caption_; }

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* f) { font_->Assign(*f); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& s) { hint_ = s; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    TContextMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TContextMenu* m);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    int Cursor() const { return cursor_; }
    void SetCursor(int c);
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);

    bool ColorStored() const { return !parentColor_; }
    bool FontStored() const { return !parentFont_; }
    bool ShowHintStored() const { return !parentShowHint_; }
    void Notification(TComponent* component, TOperation Operation) override;

    unsigned ControlStyle() const { return controlStyle_; }
    void SetControlStyle(unsigned s) { controlStyle_ = s; }

    virtual void Invalidate();
    void Repaint();
    void Update();
    void BringToFront();

    TSenderEvent OnClick;
    TSenderEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The widget that shows this control: its own for windowed controls, the nearest
    // windowed ancestor's otherwise (null while there is none).
    virtual QWidget* NearestWidget() const;

  protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TModifierState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TModifierState Shift, int X, int Y);
    virtual void MouseMove(TModifierState Shift, int X, int Y);
    virtual void FontChanged();
    virtual void TextChanged() {}
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    // The parent's font or colour changed: follow it when ParentFont / ParentColor.
    void ParentFontChanged();
    void ParentColorChanged();
    void Loaded() override;

    bool clicking_ = false;
    bool rightPressed_ = false;  // a right press whose release opens the context menu

  private:
    void HandleMouse(TMessage& m);
    void LoseMouse();
    void ShowPopupMenu(int x, int y);

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TContextMenu* popupMenu_ = nullptr;
    // The menu as a component, kept from when it was set: a removal notice comes while the
    // menu is being destroyed, when it can no longer be asked.
    TComponent* popupMenuComponent_ = nullptr;
    TAlign align_ = alNone;
    int cursor_ = crDefault;
    bool transparent_ = false;
    unsigned controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks;
    bool fontChanging_ = false;

    friend class TWinControl;
};

// A windowless control: paints with a canvas on its parent's surface.
class TGraphicControl : public TControl {
    FW_CLASS(TGraphicControl)
  public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }
    void WndProc(TMessage& Message) override;

    // Paints the control; the canvas is set up with the control's origin at (0, 0), and
    // its ClipRect is the part of the control inside dirty (the parent's coordinates).
    // Called by the parent while it paints.
    void PaintControl(TCanvas& target, const TRect& dirty);
    void PaintControl(TCanvas& target) { PaintControl(target, BoundsRect()); }

    // In the control's own coordinates: the part its paint can change (a paint of the
    // parent that misses it leaves the control out), and the part it covers with opaque
    // pixels (the parent need not fill its background there).
    virtual TRect PaintedRect() { return ClientRect(); }
    virtual TRect OpaqueRect() { return {}; }

  protected:
    virtual void Paint() {}

  private:
    std::unique_ptr<TCanvas> canvas_;
};

class TWinControl : public TControl {
    FW_CLASS(TWinControl)
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int i) const { return controls_[static_cast<size_t>(i)]; }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    void BringControlToFront(TControl* c);

    // The widget, created on first use.
    QWidget* Handle();
    bool HandleAllocated() const { return widget_ != nullptr; }
    void HandleNeeded() { Handle(); }
    QWidget* NearestWidget() const override;

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    void Invalidate() override;
    void InvalidateRect(const TRect& r);
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    // Keyboard focus: whether this control's widget has it, can take it, and taking it.
    bool Focused() const;
    bool CanFocus() const;
    void SetFocus();
    // Sends the message to every control inside this one, depth first, until one sets
    // its Result.
    void Broadcast(TMessage& m);

    // The windowless child under a client point (topmost visible first), or null.
    TControl* ControlAtPos(TPoint p) const;
    void AlignControls();

    // Entry points from the widget: a Qt event already turned into a message.
    void DispatchMouse(TMessage& m);
    // The windowless control that holds the implicit capture (it took the press and gets
    // every mouse message until the buttons are up), or null.
    TControl* MouseCapture() const { return captured_; }
    // Ends the capture without a release: the control hears WM_CANCELMODE (its press
    // ends as if released where the mouse was last seen, with no click).
    void EndMouseCapture();
    void PaintWindow(TCanvas& canvas, const TRect& dirty);
    void WidgetResized(int w, int h);
    void WidgetMoved(int x, int y);

  protected:
    virtual QWidget* CreateWidget();  // default: a child FwWidget of the parent's widget
    virtual void PaintBackground(TCanvas& canvas, const TRect& dirty);
    virtual void Paint(TCanvas&) {}
    void UpdateWidgetGeometry();
    void FontChanged() override;

    std::unique_ptr<QWidget> widget_;

  private:
    std::vector<TControl*> controls_;
    void SetHovered(TControl* c);
    // This window no longer holds the one implicit capture, if it did.
    void ReleaseCaptureHolder();

    TControl* captured_ = nullptr;  // receives every mouse message until the button is up
    unsigned captureButton_ = 0;    // ssLeft, ssRight or ssMiddle: the press that took it
    TPoint lastMouse_{};            // last mouse position seen, in this window's coordinates
    TControl* hovered_ = nullptr;
    bool inSync_ = false;

    friend class TControl;
    friend class FwWidget;
};

// Windowed control that also paints itself with a canvas (panels, bevels).
class TPaintedWinControl : public TWinControl {
    FW_CLASS(TPaintedWinControl)
  public:
    explicit TPaintedWinControl(TComponent* owner) : TWinControl(owner) {}
};

// Ends the implicit mouse capture of windowless controls, wherever it is held. Every
// modal loop calls this as it starts (popup menus, dialogs, message boxes): a loop started
// from a press handler takes the release, so the press would otherwise never end.
void EndMouseCapture();
// The same when a top-level window loses activation or is blocked by a modal window:
// ends a capture held inside that window.
void EndMouseCaptureIn(QWidget* window);

}  // namespace fw
