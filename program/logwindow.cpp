#include "program/logwindow.h"

#include "framework/app/application.h"
#include "framework/app/dialogs.h"
#include "framework/core/classbuilder.h"
#include "framework/core/exceptions.h"
#include "framework/core/lifelong.h"
#include "framework/graphics/imagelist.h"
#include "platform/localetext.h"
#include "program/iplog.h"
#include "program/logsource.h"
#include "resources/descriptions.h"
#include "widgets/scrolllabel.h"

using namespace fw;

const TClassInfo& TForm2::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TForm2>("TForm2", &TForm::StaticClassInfo()).Build();
    return info;
}

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* owner, const TLogSource* source) : TForm(owner), source_(source) {
    RegisterHandlers();
    RegisterField("Image1", Image1);
    RegisterField("Image2", Image2);
    RegisterField("Label1", Label1);
    RegisterField("Label2", Label2);
    RegisterField("Memo1", Memo1);
    RegisterField("SnapToedge1", SnapToedge1);
    InitInheritedComponent(fw::Lifelong(resources::LogwindowDescription()));
}

TForm2::~TForm2() {
    if (Form2 == this) Form2 = nullptr;
}

void TForm2::RegisterHandlers() {
    auto notify = [this](const char* name, void (TForm2::*m)(TPropertyObject*)) {
        RegisterHandler<void(TPropertyObject*)>(name, Handler(this, m));
    };
    auto mouse = [this](const char* name, void (TForm2::*m)(TPropertyObject*, TMouseButton,
                                                            TModifierState, int, int)) {
        RegisterHandler<void(TPropertyObject*, TMouseButton, TModifierState, int, int)>(
            name, Handler(this, m));
    };
    notify("FormCreate", &TForm2::FormCreate);
    notify("SpeedButton1Click", &TForm2::SpeedButton1Click);
    notify("SpeedButton2Click", &TForm2::SpeedButton2Click);
    notify("Image2Click", &TForm2::Image2Click);
    mouse("Image2MouseDown", &TForm2::Image2MouseDown);
    mouse("Image2MouseUp", &TForm2::Image2MouseUp);
    mouse("Label1MouseDown", &TForm2::Label1MouseDown);
    mouse("Label1MouseUp", &TForm2::Label1MouseUp);
    mouse("Label2MouseDown", &TForm2::Label2MouseDown);
    mouse("Label2MouseUp", &TForm2::Label2MouseUp);
    mouse("Panel1MouseDown", &TForm2::Panel1MouseDown);
    mouse("Panel1MouseUp", &TForm2::Panel1MouseUp);
    RegisterHandler<void(TPropertyObject*, TModifierState, int, int)>(
        "Panel1MouseMove", Handler(this, &TForm2::Panel1MouseMove));
}

const TLogSource* TForm2::Source() const {
    if (source_) return source_;
    return Application ? dynamic_cast<const TLogSource*>(Application->MainForm()) : nullptr;
}

void TForm2::FormCreate(TPropertyObject*) {
    // Like the main window, the log window has no taskbar entry of its own.
    SetSkipTaskbar(true);

    fileName_ = app::LogFileName();
    app::LogContents c = app::ReadLog(fileName_);
    switch (c.status) {
        case app::LogContents::Loaded:
            Memo1->SetText(app::ShownLog(c.bytes, c.earlier));
            break;
        case app::LogContents::Missing:
            Memo1->SetText({});
            app::CreateLogIfMissing(fileName_);
            break;
        case app::LogContents::Unreadable:
            // Never replace a log we could not read: say why where the log would show.
            usable_ = false;
            unreadableReason_ = c.reason;
            Memo1->SetText("The IP log cannot be read: " + c.reason + ".\r\n" + fileName_ +
                           "\r\nIt is left as it is; Add and Clear are off until the next start.");
            Label1->SetEnabled(false);
            Label2->SetEnabled(false);
            break;
    }
}

void TForm2::Save() {
    if (clearOwed_) {
        app::ClearLog(fileName_);
        clearOwed_ = false;
    }
    if (!unwritten_.empty()) {
        app::AppendLog(fileName_, unwritten_);
        unwritten_.clear();
    }
}

void TForm2::RefuseUnreadable() const {
    throw Exception("The IP log " + fileName_ + " cannot be read (" + unreadableReason_ +
                    "), so it is left unchanged");
}

void TForm2::SpeedButton1Click(TPropertyObject*) {
    if (!usable_) RefuseUnreadable();
    const TLogSource* source = Source();
    if (!source) return;
    // The clock is read once for each line, as the two lines are written one after the other.
    std::string time = platform::LongTimeText(platform::LocalNow());
    std::string date = platform::ShortDateText(platform::LocalNow());
    const std::string record =
        app::LogRecord(time, date, source->AddressText(), source->HostNameText());
    // Only the new record is laid out: a long log is not shown afresh for every Add.
    Memo1->AppendText(app::LogDisplayText(app::AppendedRecord(Memo1->Text(), record)));
    unwritten_ += record;
    Save();  // a failure is reported; the memo keeps the record and the next save writes it
}

void TForm2::SpeedButton2Click(TPropertyObject*) {
    if (!usable_) RefuseUnreadable();
    if (MessageDlg("Are you sure you want to clear the IP Log?", mtInformation,
                   (1u << mbYes) | (1u << mbNo)) != mrYes)
        return;
    Memo1->SetText({});
    unwritten_.clear();
    clearOwed_ = true;
    Save();
}

void TForm2::Image2Click(TPropertyObject*) { Close(); }

bool TForm2::WindowKey(TWindowKey key) {
    if (key != TWindowKey::Escape) return false;
    Close();
    return true;
}

void TForm2::Image2MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    if (const TLogSource* source = Source())
        source->GetCloseGlyph(true, Image2->Picture()->Bitmap());
    Image2->Repaint();
}

void TForm2::Image2MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    if (const TLogSource* source = Source())
        source->GetCloseGlyph(false, Image2->Picture()->Bitmap());
    Image2->Repaint();
}

void TForm2::Label1MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    Label1->Font()->SetColor(clWhite);
}
void TForm2::Label1MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    Label1->Font()->SetColor(clSilver);
}
void TForm2::Label2MouseDown(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    Label2->Font()->SetColor(clWhite);
}
void TForm2::Label2MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    Label2->Font()->SetColor(clSilver);
}

void TForm2::Panel1MouseDown(TPropertyObject*, TMouseButton, TModifierState Shift, int X, int Y) {
    drag_.Press(Shift, X, Y);
}
void TForm2::Panel1MouseMove(TPropertyObject*, TModifierState, int X, int Y) {
    drag_.Move(*this, X, Y, SnapToedge1->Checked());
}
void TForm2::Panel1MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    drag_.Release();
}
