#include "framework/controls/forms.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "framework/controls/fwwidget.h"
#include "framework/controls/screen.h"
#include "framework/core/appservices.h"
#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/text/componenttext.h"
#include "framework/x11/windowstate.h"

namespace fw {

namespace {
TFormBase* MainFormOfApplication() {
    const auto& mainForm = AppServices().mainForm;
    return mainForm ? dynamic_cast<TFormBase*>(mainForm()) : nullptr;
}

bool Showing(const QWidget* window) {
    return window && window->isVisible() && !window->isMinimized();
}

// To the window, or the main form once that window is gone.
void HandKeyboardTo(QWidget* window) {
    if (!Showing(window)) {
        TFormBase* main = MainFormOfApplication();
        window = main && main->HandleAllocated() ? main->Handle() : nullptr;
    }
    if (Showing(window)) window->activateWindow();
}
}  // namespace

namespace {
const EnumInfo& BorderStyleInfo() {
    static const EnumInfo info{
        "TFormBorderStyle",
        {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
    return info;
}
const EnumInfo& FormStyleInfo() {
    static const EnumInfo info{"TFormStyle",
                               {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};
    return info;
}
const EnumInfo& PositionInfo() {
    static const EnumInfo info{
        "TPosition",
        {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
         "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
    return info;
}
}  // namespace

const TClassInfo& TFormBase::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TFormBase>("TFormBase", &TWinControl::StaticClassInfo())
            // A form keeps its client size; the outer size follows from it.
            .Integer("Width", &TControl::Width, &TControl::SetWidth, std::nullopt)
            .NotStored()
            .Integer("Height", &TControl::Height, &TControl::SetHeight, std::nullopt)
            .NotStored()
            .Boolean("Visible", &TControl::Visible, &TFormBase::SetVisible, false)
            .Enum("BorderStyle", &TFormBase::BorderStyle, &TFormBase::SetBorderStyle,
                  BorderStyleInfo(), bsSizeable)
            .Integer("ClientHeight", &TFormBase::ClientHeight, &TControl::SetClientHeight,
                     std::nullopt)
            .Integer("ClientWidth", &TFormBase::ClientWidth, &TControl::SetClientWidth,
                     std::nullopt)
            .Enum("FormStyle", &TFormBase::FormStyle, &TFormBase::SetFormStyle, FormStyleInfo(),
                  fsNormal)
            .Enum("Position", &TFormBase::Position, &TFormBase::SetPosition, PositionInfo(),
                  poDesigned)
            .Integer("PixelsPerInch", &TFormBase::PixelsPerInch, &TFormBase::SetPixelsPerInch,
                     std::nullopt)
            .Event("OnActivate", &TFormBase::OnActivate)
            .Event("OnClose", &TFormBase::OnClose)
            .Event("OnCloseQuery", &TFormBase::OnCloseQuery)
            .Event("OnCreate", &TFormBase::OnCreate)
            .Event("OnDeactivate", &TFormBase::OnDeactivate)
            .Event("OnDestroy", &TFormBase::OnDestroy)
            .Event("OnHide", &TFormBase::OnHide)
            .Event("OnPaint", &TFormBase::OnPaint)
            .Event("OnShow", &TFormBase::OnShow)
            .Build();
    return info;
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TForm>("TForm", &TFormBase::StaticClassInfo()).Creatable().Build();
    return info;
}

TFormBase::TFormBase(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    TControl::SetBounds(0, 0, 320, 240);
}

// The components go while the window and its procedure still exist: those that hooked
// the window's procedure put back what they replaced.
TFormBase::~TFormBase() { DestroyComponents(); }

void TFormBase::BeforeDestruction() {
    TWinControl::BeforeDestruction();
    if (!destroyFired_) {
        destroyFired_ = true;
        Guarded(this, [&] { OnDestroy(this); });
    }
}

void TFormBase::InitInheritedComponent(std::string_view description) {
    // Errors of the creation handler wait for the message loop too.
    TWindowLoading loading;
    ReadRootComponent(*this, description);
    Guarded(this, [&] { OnCreate(this); });
}

QWidget* TFormBase::CreateWidget() {
    auto* w = new FwWidget(this, nullptr);
    w->setWindowTitle(QString::fromStdString(Caption()));
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    widget_.reset(w);  // ApplyWindowFlags works on widget_
    ApplyWindowFlags();
    // Focus changes inside this window reach every control as CM_FOCUSCHANGED.
    QObject::connect(qApp, &QApplication::focusChanged, w, [this, w](QWidget*, QWidget* now) {
        if (!now || now->window() != w) return;
        TWinControl* focused = nullptr;
        for (QWidget* q = now; q && !focused; q = q->parentWidget())
            focused = static_cast<TWinControl*>(q->property("fw.control").value<void*>());
        TMessage m{CM_FOCUSCHANGED, TFocusChange{focused}};
        Guarded(this, [&] { Broadcast(m); });
    });
    WatchScreens(w);
    return widget_.release();
}

// A monitor unplugged or made smaller can leave a shown window on no screen at all.
void TFormBase::WatchScreens(QWidget* window) {
    // Qt reports a removal before the screen has left its list: look once it has, and again
    // once a window manager has had its say (it may move windows of its own accord, only as
    // far as to leave a corner showing).
    auto recheck = [this, window] {
        for (int delay : {0, 500})
            QTimer::singleShot(delay, window, [this] {
                if (Visible()) Guarded(this, [&] { KeepWhollyOnScreen(); });
            });
    };
    auto watch = [window, recheck](QScreen* s) {
        QObject::connect(s, &QScreen::geometryChanged, window, recheck);
    };
    for (QScreen* s : QGuiApplication::screens()) watch(s);
    QObject::connect(qApp, &QGuiApplication::screenAdded, window, [watch, recheck](QScreen* s) {
        watch(s);
        recheck();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, window, recheck);
}

void TFormBase::KeepOnScreen() {
    TPoint at = PlaceOnScreens(Bounds(Left(), Top(), Width(), Height()), ScreenRects());
    if (at.X != Left() || at.Y != Top()) SetBounds(at.X, at.Y, Width(), Height());
}

void TFormBase::KeepWhollyOnScreen() {
    TPoint at = PlaceWhollyOnScreens(Bounds(Left(), Top(), Width(), Height()), ScreenRects());
    if (at.X != Left() || at.Y != Top()) SetBounds(at.X, at.Y, Width(), Height());
}

void TFormBase::ApplyWindowFlags() {
    if (!widget_) return;
    Qt::WindowFlags f = Qt::Window;
    switch (borderStyle_) {
        case bsNone:
            f |= Qt::FramelessWindowHint;
            break;
        case bsDialog:
            f |= Qt::Dialog;
            break;
        case bsToolWindow:
        case bsSizeToolWin:
            f |= Qt::Tool;
            break;
        default:
            break;
    }
    // On X11 staying on top is a window state (ApplyWindowStates): as a toolkit style it
    // would make a new native window, which loses the other states.
    if (formStyle_ == fsStayOnTop && !WindowStatesSupported()) f |= Qt::WindowStaysOnTopHint;
    if (widget_->windowFlags() != f) {
        bool shown = widget_->isVisible();
        widget_->setWindowFlags(f);
        UpdateWidgetGeometry();
        if (shown) widget_->show();
    }
    ApplyWindowStates();
}

void TFormBase::SetSkipTaskbar(bool v) {
    if (SetIfChanged(skipTaskbar_, v)) ApplyWindowStates();
}

void TFormBase::ApplyWindowStates() {
    // Without a native window yet there is nothing to put them on: the show makes one
    // and puts them there before the window is mapped.
    if (!widget_ || !widget_->internalWinId()) return;
    PutWindowStates(widget_.get(), WindowStates());
    if (!Iconic()) PutNormalInitialState(widget_.get());
    PutBelonging();
}

void TFormBase::ReassertWindowStates() {
    if (!widget_ || !widget_->internalWinId()) return;
    AskWindowManagerForStates(widget_.get(), WindowStates());
    PutBelonging();
}

TWindowStates TFormBase::WindowStates() const {
    return {skipTaskbar_, skipTaskbar_, formStyle_ == fsStayOnTop};
}

void TFormBase::PutBelonging() {
    // Another form of the program stays above the main one, which may be on top of all.
    if (TFormBase* main = MainFormOfApplication(); main && main != this && main->HandleAllocated())
        PutTransientFor(widget_.get(), main->widget_.get());
}

void TFormBase::SetBorderStyle(TFormBorderStyle v) {
    if (SetIfChanged(borderStyle_, v)) ApplyWindowFlags();
}

void TFormBase::SetFormStyle(TFormStyle v) {
    if (SetIfChanged(formStyle_, v)) ApplyWindowFlags();
}

bool TFormBase::Active() const { return widget_ && widget_->isActiveWindow(); }

void TFormBase::SetVisible(bool v) {
    bool was = Visible();
    TControl::SetVisible(v);
    if (Loading()) return;
    if (v) {
        KeepOnScreen();
        QWidget* w = Handle();
        w->setWindowTitle(QString::fromStdString(Caption()));
        UpdateWidgetGeometry();
        w->show();
        w->raise();
        // Another form opens on the user's command and takes the keyboard (through the
        // window manager, or directly where none runs); the toolkit gives it to modal
        // dialogs only.
        if (MainFormOfApplication() != this) w->activateWindow();
        if (!was) OnShow(this);
    } else if (widget_) {
        // With no window manager nobody else hands the keyboard back to the main form.
        const bool hadKeyboard = widget_->isActiveWindow();
        widget_->hide();
        if (hadKeyboard && MainFormOfApplication() != this) HandKeyboardTo(nullptr);
        if (was) OnHide(this);
    }
}

bool TFormBase::CloseQuery() {
    bool can = true;
    OnCloseQuery(this, can);
    return can;
}

void TFormBase::Close() {
    if (!CloseQuery()) return;
    const TAppServices& app = AppServices();
    const bool main = app.mainForm && app.mainForm() == this;
    TCloseAction action = main ? caFree : caHide;
    OnClose(this, action);
    if (action == caNone) return;
    if (main) {
        if (app.terminate) app.terminate();
        return;
    }
    if (action == caMinimize) {
        if (widget_) widget_->showMinimized();
        return;
    }
    SetVisible(false);
    if (action == caFree) {
        // Freed once the current message is handled, as the caller may still be inside the
        // window; the window's own widget carries the request, so a window freed sooner
        // takes it along.
        QTimer::singleShot(0, Handle(), [this] { TComponent::Free(this); });
    }
}

void TFormBase::BringToFront() {
    if (!widget_) return;
    widget_->raise();
    widget_->activateWindow();
}

void TFormBase::SetFocus() { BringToFront(); }

bool TFormBase::DialogChar(char key) {
    TMessage m{CM_DIALOGCHAR, TDialogChar{key}};
    Broadcast(m);
    return m.Result != 0;
}

void TFormBase::Iconify() {
    if (widget_) widget_->showMinimized();
}

void TFormBase::Deiconify() {
    if (!widget_ || !Iconic()) return;
    widget_->showNormal();
}

bool TFormBase::Iconic() const { return widget_ && (widget_->windowState() & Qt::WindowMinimized); }

void TFormBase::PaintBackground(TCanvas& canvas, const TRect& dirty) {
    TWinControl::PaintBackground(canvas, dirty);
}

void TFormBase::Paint(TCanvas&) { OnPaint(this); }

void TFormBase::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    TWinControl::GetChildren(proc, root);
    if (root != this) return;
    // Then the non-visual components, in the order they were made; menu items are written
    // by their menus. Unnamed ones are parts that another component makes for itself (a
    // marquee's timer): writing them would make a second one when the text is read back.
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (dynamic_cast<TControl*>(c) || c->WrittenInsideParent() || c->Name().empty()) continue;
        proc(c);
    }
}

void KeepAboveMainForm(QWidget* window) {
    TFormBase* main = window ? MainFormOfApplication() : nullptr;
    if (!main || !main->HandleAllocated()) return;
    QWidget* mainWidget = main->Handle();
    if (mainWidget == window) return;
    window->winId();  // the native window that carries the hint
    QWindow* mainWindow = mainWidget->windowHandle();
    if (window->windowHandle() && mainWindow && window->windowHandle() != mainWindow)
        window->windowHandle()->setTransientParent(mainWindow);
}

int RunModal(QDialog& dialog) {
    KeepAboveMainForm(&dialog);
    QPointer<QWidget> hadKeyboard = QApplication::activeWindow();
    const int result = dialog.exec();
    if (hadKeyboard) HandKeyboardTo(hadKeyboard);
    return result;
}

// TComponentContainer

const TClassInfo& TComponentContainer::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TComponentContainer>("TComponentContainer", &TComponent::StaticClassInfo())
            .Event("OnCreate", &TComponentContainer::OnCreate)
            .Event("OnDestroy", &TComponentContainer::OnDestroy)
            .Creatable()
            .Build();
    return info;
}

void TComponentContainer::BeforeDestruction() {
    bool first = !Destroying();
    TComponent::BeforeDestruction();
    if (first) Guarded(this, [&] { OnDestroy(this); });
}

void TComponentContainer::GetChildren(const std::function<void(TComponent*)>& proc,
                                      TComponent* root) {
    if (root != this) return;
    for (int i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->WrittenInsideParent()) proc(Components(i));
}

}  // namespace fw
