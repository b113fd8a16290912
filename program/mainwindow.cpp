#include "program/mainwindow.h"

#include "framework/app/application.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/guithread.h"
#include "framework/core/lifelong.h"
#include "framework/graphics/clipboard.h"
#include "framework/x11/windowmanager.h"
#include "platform/probe.h"
#include "program/aboutwindow.h"
#include "program/logwindow.h"
#include "program/textlayout.h"
#include "resources/descriptions.h"
#include "widgets/scrolllabel.h"
#include "widgets/trayicon.h"

using namespace fw;

const TClassInfo& TForm1::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TForm1>("TForm1", &TForm::StaticClassInfo()).Creatable().Build();
    return info;
}

TForm1::TForm1(TComponent* owner)
    : TForm(owner), probe_(fw::PostToGuiThreadAfter, [this](const platform::ProbeAnswer& a) {
          ProbeAnswered(a);
      }) {
    fw::PrepareGuiThread();
    RegisterHandlers();
    RegisterFields();
    InitInheritedComponent(fw::Lifelong(resources::MainwindowDescription()));
}

void TForm1::RegisterHandlers() {
    auto notify = [this](const char* name, void (TForm1::*m)(TPropertyObject*)) {
        RegisterHandler<void(TPropertyObject*)>(name, Handler(this, m));
    };
    auto mouse = [this](const char* name, void (TForm1::*m)(TPropertyObject*, TMouseButton,
                                                            TModifierState, int, int)) {
        RegisterHandler<void(TPropertyObject*, TMouseButton, TModifierState, int, int)>(
            name, Handler(this, m));
    };
    auto move = [this](const char* name,
                       void (TForm1::*m)(TPropertyObject*, TModifierState, int, int)) {
        RegisterHandler<void(TPropertyObject*, TModifierState, int, int)>(name, Handler(this, m));
    };
    notify("FormCreate", &TForm1::FormCreate);
    notify("Timer1Timer", &TForm1::Timer1Timer);
    notify("Refresh1Click", &TForm1::Refresh1Click);
    notify("RefreshNow1Click", &TForm1::RefreshNow1Click);
    notify("N1sec1Click", &TForm1::N1sec1Click);
    notify("Onceaminute1Click", &TForm1::Onceaminute1Click);
    notify("off1Click", &TForm1::off1Click);
    notify("Defaultfonts1Click", &TForm1::Defaultfonts1Click);
    notify("Fonts", &TForm1::Fonts);
    notify("Changefont2Click", &TForm1::Fonts);
    notify("Hostname1Click", &TForm1::Hostname1Click);
    notify("Changefont1Click", &TForm1::Hostname1Click);
    notify("Compact1Click", &TForm1::Compact1Click);
    notify("AlwaysOnTop1Click", &TForm1::AlwaysOnTop1Click);
    notify("Snaptoedge1Click", &TForm1::Snaptoedge1Click);
    notify("CopyHostnametoclipboard1Click", &TForm1::CopyHostnametoclipboard1Click);
    notify("Copytoclipboard2Click", &TForm1::CopyHostnametoclipboard1Click);
    notify("CopyIPtoclipboard1Click", &TForm1::CopyIPtoclipboard1Click);
    notify("Copytoclipboard1Click", &TForm1::CopyIPtoclipboard1Click);
    notify("Exit1Click", &TForm1::Exit1Click);
    notify("About1Click", &TForm1::About1Click);
    notify("LefttoRight1Click", &TForm1::LefttoRight1Click);
    notify("Righttoleft1Click", &TForm1::Righttoleft1Click);
    notify("Increasespeed1Click", &TForm1::Increasespeed1Click);
    notify("Decreasespeed1Click", &TForm1::Decreasespeed1Click);
    notify("Defaultset1Click", &TForm1::Defaultset1Click);
    notify("Defaultsettings1Click", &TForm1::Defaultsettings1Click);
    notify("Image1DblClick", &TForm1::Image1DblClick);
    notify("Image2DblClick", &TForm1::Image1DblClick);
    mouse("Image1MouseDown", &TForm1::Image1MouseDown);
    mouse("Image2MouseDown", &TForm1::Image1MouseDown);
    move("Image1MouseMove", &TForm1::Image1MouseMove);
    move("Image2MouseMove", &TForm1::Image1MouseMove);
    mouse("Image1MouseUp", &TForm1::Image1MouseUp);
    mouse("Image2MouseUp", &TForm1::Image1MouseUp);
    mouse("Image3MouseDown", &TForm1::Image3MouseDown);
    mouse("Image3MouseUp", &TForm1::Image3MouseUp);
    notify("Image3Click", &TForm1::Image3Click);
    notify("Changelog1Click", &TForm1::Changelog1Click);
    notify("TrayIcon1Click", &TForm1::TrayIcon1Click);
    notify("TrayIcon1DblClick", &TForm1::TrayIcon1DblClick);
    notify("Image4Click", &TForm1::Image4Click);
    mouse("Image4MouseDown", &TForm1::Image4MouseDown);
    mouse("Image4MouseUp", &TForm1::Image4MouseUp);
    mouse("Image5MouseDown", &TForm1::Image5MouseDown);
    mouse("Image5MouseUp", &TForm1::Image5MouseUp);
}

void TForm1::RegisterFields() {
    RegisterField("Image1", Image1);
    RegisterField("Image2", Image2);
    RegisterField("Image3", Image3);
    RegisterField("Image4", Image4);
    RegisterField("Image5", Image5);
    RegisterField("Label1", Label1);
    RegisterField("Label3", Label3);
    RegisterField("label2", label2);
    RegisterField("GIFAnimator1", GIFAnimator1);
    RegisterField("Timer1", Timer1);
    RegisterField("FontDialog1", FontDialog1);
    RegisterField("ImageList1", ImageList1);
    RegisterField("ImageList2", ImageList2);
    RegisterField("ImageList3", ImageList3);
    RegisterField("PopupMenu1", PopupMenu1);
    RegisterField("PopupMenu2", PopupMenu2);
    RegisterField("PopupMenu3", PopupMenu3);
    RegisterField("RefreshNow1", RefreshNow1);
    RegisterField("N1sec1", N1sec1);
    RegisterField("Onceaminute1", Onceaminute1);
    RegisterField("off1", off1);
    RegisterField("Compact1", Compact1);
    RegisterField("AlwaysOnTop1", AlwaysOnTop1);
    RegisterField("Snaptoedge1", Snaptoedge1);
    RegisterField("TrayIcon1", TrayIcon1);
}

void TForm1::FormCreate(TPropertyObject*) {
    auto timer = app::RefreshTimerFor(N1sec1->Checked(), Onceaminute1->Checked());
    Timer1->SetEnabled(timer.enabled);
    Timer1->SetInterval(timer.interval);
    Application->OnActivate.Set(Handler(this, &TForm1::AppActivate), "AppActivate");
    Application->OnDeactivate.Set(Handler(this, &TForm1::Appdeactivate), "Appdeactivate");
    // No taskbar entry: the program is reached through its window and its tray icon.
    TrayIcon1->HideApplicationButton();
    TrayIcon1->OnHostChange.Set(Handler(this, &TForm1::TrayHostChanged));
    // The name is the kernel's answer and never waits, so the first paint shows it; the
    // address label says it is loading until the probe has an address.
    std::string name;
    platform::GetLocalHostName(name);
    label2->SetCaption(name);
    RefreshDisplay();
    ApplyStayOnTop();
    ApplyCompactLayout(Compact1->Checked());
}

void TForm1::RefreshDisplay() { probe_.Request(); }

void TForm1::ProbeAnswered(const platform::ProbeAnswer& a) {
    const bool name = a.stage == platform::ProbeAnswer::kName;
    if (name) {
        label2->SetCaption(a.hostName);
    } else {
        ShowAddress(a.address);
    }
    // Copies whose lookup has answered what they want; the rest keep waiting.
    std::erase_if(copies_, [&](const PendingCopy& c) {
        if (a.lookup < c.fromLookup || c.hostName != name) return false;
        CopyToClipboard(name ? a.hostName : a.address);
        return true;
    });
}

void TForm1::ShowAddress(const std::string& address) {
    address_ = address;
    const std::string line = app::kIpPrefix + address;
    // Placing the texts measures them: only a new address can change where they go.
    if (line == Label1->Caption()) return;
    Label1->SetCaption(line);
    ArrangeTexts();
}

void TForm1::Timer1Timer(TPropertyObject*) { RefreshDisplay(); }

void TForm1::AppActivate(TPropertyObject*) {
    ImageList2->GetBitmap(0, Image2->Picture()->Bitmap());
    Image1->Repaint();
}

void TForm1::Appdeactivate(TPropertyObject*) {
    ImageList2->GetBitmap(1, Image2->Picture()->Bitmap());
    Image1->Repaint();
}

void TForm1::ApplyCompactLayout(bool compact) {
    app::CompactLayout l = app::CompactLayoutFor(compact);
    ImageList3->GetBitmap(l.skinIndex, Image1->Picture()->Bitmap());
    SetClientHeight(l.height);
    Image2->SetVisible(l.titleVisible);
    Label1->SetLeft(l.ipLeft);
    Label1->SetTop(l.ipTop);
    if (GIFAnimator1) GIFAnimator1->SetVisible(l.indicatorVisible);
    ArrangeTexts();
    Invalidate();
}

void TForm1::ArrangeTexts() {
    if (!Label1 || !Label3 || !label2) return;
    // The labels size themselves to their text; what they measure is their own size.
    Label1->AdjustBounds();
    Label3->AdjustBounds();
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(*label2->Font());
    const app::TextSizes sizes{Label1->Width(), Label1->Height(), Label3->Width(), Label3->Height(),
                               measure.Canvas().TextHeight(label2->Caption())};
    const app::TextPlaces p =
        app::PlaceTexts(Compact1 && Compact1->Checked(), sizes, label2->Left() + label2->Width());
    for (auto [control, box] : {std::pair<TControl*, app::TextBox>{Label1, p.ip},
                                {Label3, p.caption},
                                {label2, p.marquee}})
        control->SetBounds(box.left, box.top, box.width, box.height);
}

void TForm1::SetCompactMode() {
    bool compact = !Compact1->Checked();
    Compact1->SetChecked(compact);
    ApplyCompactLayout(compact);
}

void TForm1::ApplyStayOnTop() { SetFormStyle(AlwaysOnTop1->Checked() ? fsStayOnTop : fsNormal); }

// Commands

void TForm1::Refresh1Click(TPropertyObject*) { RefreshDisplay(); }
void TForm1::RefreshNow1Click(TPropertyObject*) { RefreshDisplay(); }

void TForm1::SetRefreshRate(TMenuItem* checked, bool enabled, unsigned interval) {
    for (TMenuItem* item : {RefreshNow1, N1sec1, Onceaminute1, off1})
        item->SetChecked(item == checked);
    Timer1->SetEnabled(enabled);
    if (enabled) Timer1->SetInterval(interval);
}

void TForm1::N1sec1Click(TPropertyObject*) { SetRefreshRate(N1sec1, true, 1000); }
void TForm1::Onceaminute1Click(TPropertyObject*) { SetRefreshRate(Onceaminute1, true, 60000); }
void TForm1::off1Click(TPropertyObject*) { SetRefreshRate(off1, false, 0); }

namespace {
void ResetFont(TFont& f, const char* name, int size) {
    f.SetStyle(0);
    f.SetName(name);
    f.SetColor(clBlack);
    f.SetSize(size);
}
}  // namespace

void TForm1::Defaultfonts1Click(TPropertyObject*) {
    Label1->Font()->SetName("Small Fonts");
    Label1->Font()->SetColor(clBlack);
    Label1->Font()->SetSize(6);
    Label1->Font()->SetHeight(-8);
    Label1->Font()->SetStyle(0);
    for (TControl* c : {static_cast<TControl*>(label2), static_cast<TControl*>(Label3)}) {
        ResetFont(*c->Font(), "Arial", 7);
        c->Font()->SetHeight(-9);
    }
    ArrangeTexts();
}

void TForm1::Fonts(TPropertyObject*) {
    FontDialog1->Font()->Assign(*Label1->Font());
    if (FontDialog1->Execute()) Label1->Font()->Assign(*FontDialog1->Font());
    ArrangeTexts();
}

void TForm1::Hostname1Click(TPropertyObject*) {
    FontDialog1->Font()->Assign(*label2->Font());
    if (FontDialog1->Execute()) Label3->Font()->Assign(*FontDialog1->Font());
    // Whether confirmed or not, the marquee takes the dialog's font and its width.
    label2->Font()->Assign(*FontDialog1->Font());
    label2->SetWidth(60);
    ArrangeTexts();
}

void TForm1::Compact1Click(TPropertyObject*) { SetCompactMode(); }

void TForm1::AlwaysOnTop1Click(TPropertyObject*) {
    AlwaysOnTop1->SetChecked(!AlwaysOnTop1->Checked());
    ApplyStayOnTop();
}

void TForm1::Snaptoedge1Click(TPropertyObject*) {
    Snaptoedge1->SetChecked(!Snaptoedge1->Checked());
}

void TForm1::CopyToClipboard(const std::string& text) {
    Clipboard().SetAsText(app::ClipboardText(text));
}

// A copy takes a fresh answer: the next lookup's first word on what it copies, which comes
// at once, or within the probe's short wait for the resolver. While a lookup is already
// running the resolver is slow or stuck, and what is shown is the freshest there is.
void TForm1::CopyFreshAnswer(bool hostName) {
    if (!probe_.Idle()) {
        CopyToClipboard(hostName ? label2->Caption() : address_);
        RefreshDisplay();
        return;
    }
    copies_.push_back({probe_.Started() + 1, hostName});
    RefreshDisplay();
}

void TForm1::CopyHostnametoclipboard1Click(TPropertyObject*) { CopyFreshAnswer(true); }
void TForm1::CopyIPtoclipboard1Click(TPropertyObject*) { CopyFreshAnswer(false); }

void TForm1::Exit1Click(TPropertyObject*) { Application->Terminate(); }

// Made on first use, then shown again and again where it was left; it hides itself.
void TForm1::About1Click(TPropertyObject*) {
    if (!Form3) Form3 = new TForm3(Application);
    Form3->Show();
}

void TForm1::LefttoRight1Click(TPropertyObject*) { label2->SetScrollDirection(ctl::LeftToRight); }
void TForm1::Righttoleft1Click(TPropertyObject*) { label2->SetScrollDirection(ctl::RightToLeft); }
// The step stays within 0 to 255: it never wraps round (a wrapped step of 255 would throw
// the host name out of its label).
void TForm1::Increasespeed1Click(TPropertyObject*) {
    if (label2->ScrollBy() < 255) label2->SetScrollBy(static_cast<uint8_t>(label2->ScrollBy() + 1));
}
void TForm1::Decreasespeed1Click(TPropertyObject*) {
    if (label2->ScrollBy() > 0) label2->SetScrollBy(static_cast<uint8_t>(label2->ScrollBy() - 1));
}

void TForm1::Defaultset1Click(TPropertyObject*) {
    TFont& l3 = *Label3->Font();
    l3.SetName("Arial");
    l3.SetSize(7);
    l3.SetColor(clBlack);
    l3.SetStyle(0);
    TFont& l2 = *label2->Font();
    l2.SetStyle(0);
    label2->SetScrollDirection(ctl::RightToLeft);
    label2->SetScrollBy(1);
    l2.SetColor(clBlack);
    l2.SetName("Arial");
    l2.SetSize(7);
    l2.SetStyle(0);
    label2->SetWidth(60);
    ArrangeTexts();
}

void TForm1::Defaultsettings1Click(TPropertyObject*) {
    TFont& f = *Label1->Font();
    f.SetColor(clBlack);
    f.SetName("Small Fonts");
    f.SetSize(6);
    f.SetStyle(0);
    ArrangeTexts();
}

// Moving, snapping and the compact form

void TForm1::Image1DblClick(TPropertyObject*) { SetCompactMode(); }

void TForm1::Image1MouseDown(TPropertyObject*, TMouseButton, TModifierState Shift, int X, int Y) {
    drag_.Press(Shift, X, Y);
}

void TForm1::Image1MouseMove(TPropertyObject*, TModifierState, int X, int Y) {
    drag_.Move(*this, X, Y, Snaptoedge1->Checked());
}

void TForm1::Image1MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    drag_.Release();
}

void TForm1::Image3MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    ImageList1->GetBitmap(0, Image3->Picture()->Bitmap());
    Invalidate();
}
void TForm1::Image3MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    ImageList1->GetBitmap(2, Image3->Picture()->Bitmap());
    Invalidate();
}

// Into the tray, so that only the icon remains. With no tray to take the icon, the window
// is iconified with a taskbar entry instead, or, with no window manager to give it back,
// stays where it is: a running program is never left without a way back.
void TForm1::Image3Click(TPropertyObject*) {
    if (TrayIcon1->Shown()) {
        Application->Minimize();
        TrayIcon1->HideApplicationButton();
    } else if (WindowManagerRunning()) {
        SetSkipTaskbar(false);
        Iconify();
    }
}

void TForm1::RestoreAndBringForward() {
    if (Application->Minimized()) Application->Restore();
    Deiconify();
    // Shown anew, the window takes its states again (the window manager dropped them).
    TrayIcon1->HideApplicationButton();
    Application->BringToFront();
}

void TForm1::WindowStateChanged() {
    // Back from the taskbar: the entry that was its way back goes again.
    if (!Iconic() && Visible()) TrayIcon1->HideApplicationButton();
}

void TForm1::TrayIcon1Click(TPropertyObject*) { RestoreAndBringForward(); }
void TForm1::TrayIcon1DblClick(TPropertyObject*) { RestoreAndBringForward(); }

void TForm1::TrayHostChanged(TPropertyObject*, bool available) {
    // The tray host went away with the icon that was the only way back.
    if (!available && Application->Minimized()) RestoreAndBringForward();
}

std::string TForm1::AddressText() const { return Label1->Caption(); }
std::string TForm1::HostNameText() const { return label2->Caption(); }
// The image list holds the close glyph pressed at 0 and released at 2.
void TForm1::GetCloseGlyph(bool pressed, fw::TBitmap& into) const {
    ImageList1->GetBitmap(pressed ? 0 : 2, into);
}

// Made on first use (it reads IP.LOG then), hidden rather than freed when closed.
void TForm1::Changelog1Click(TPropertyObject*) {
    if (!Form2) Form2 = new TForm2(Application, this);
    Form2->Show();
}

void TForm1::Image4Click(TPropertyObject*) { Application->Terminate(); }
void TForm1::Image4MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    ImageList1->GetBitmap(1, Image4->Picture()->Bitmap());
    Image4->Repaint();
}
void TForm1::Image4MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    ImageList1->GetBitmap(3, Image4->Picture()->Bitmap());
    Image4->Repaint();
}

void TForm1::Image5MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    PopupMenu1->Popup(Left() + 2, Top() + 2);
}

bool TForm1::WindowKey(TWindowKey key) {
    if (key == TWindowKey::Escape) return false;
    PopupMenu1->Popup(Left() + 2, Top() + 2);
    return true;
}
// The list holds a fifth image: the released system glyph.
void TForm1::Image5MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    if (ImageList1->Count() > 4) ImageList1->GetBitmap(4, Image5->Picture()->Bitmap());
    Image5->Repaint();
}
