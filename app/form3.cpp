#include "app/form3.h"

#include "app/about.h"
#include "controls/shadowlbl.h"
#include "controls/urllabel.h"
#include "framework/controls/extctrls.h"
#include "framework/controls/memo.h"
#include "framework/controls/stdctrls.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "resources/descriptions.h"

using namespace fw;

TForm3* Form3 = nullptr;

const TClassInfo& TForm3::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TForm3>("TForm3", &TForm::StaticClassInfo()).Creatable().Build();
    return info;
}

void RegisterForm3Class() { RegisterClass(TForm3::StaticClassInfo()); }

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
    RegisterHandler<void(TObject*)>("FormCreate", Handler(this, &TForm3::FormCreate));
    RegisterHandler<void(TObject*)>("ShadowLabel1Click", Handler(this, &TForm3::ShadowLabel1Click));
    RegisterHandler<void(TObject*, TMouseButton, TShiftState, int, int)>(
        "Panel1MouseDown", Handler(this, &TForm3::Panel1MouseDown));
    RegisterHandler<void(TObject*, TShiftState, int, int)>("Panel1MouseMove",
                                                           Handler(this, &TForm3::Panel1MouseMove));
    RegisterHandler<void(TObject*, TMouseButton, TShiftState, int, int)>(
        "Panel1MouseUp", Handler(this, &TForm3::Panel1MouseUp));
    InitInheritedComponent(resources::Form3Description());
}

TForm3::~TForm3() {
    if (Form3 == this) Form3 = nullptr;
}

void TForm3::FormCreate(TObject*) {
    auto find = [this](auto*& field, const char* name) {
        field = dynamic_cast<std::remove_reference_t<decltype(*field)>*>(FindComponent(name));
    };
    find(URLLabel1, "URLLabel1");
    find(URLLabel2, "URLLabel2");
    find(Label4, "Label4");
    find(Memo1, "Memo1");
    find(Panel1, "Panel1");
    find(ShadowLabel1, "ShadowLabel1");
    find(ShadowLabel2, "ShadowLabel2");
    find(SnapToEdge1, "SnapToEdge1");
    // The addresses, the notice and the history live in one place in the program.
    URLLabel1->SetCaption(app::kHomePage);
    URLLabel1->SetURL(app::kHomePage);
    URLLabel2->SetCaption(app::kFeedbackAddress);
    URLLabel2->SetURL(app::kFeedbackAddress);
    Label4->SetCaption(app::kCopyrightNotice);
    Memo1->SetLines(app::VersionHistory());
    // Like the main window, no taskbar entry of its own.
    SetSkipTaskbar(true);
}

void TForm3::ShadowLabel1Click(TObject*) { Close(); }

bool TForm3::WindowKey(TWindowKey key) {
    if (key != TWindowKey::Escape) return false;
    Close();
    return true;
}

void TForm3::Panel1MouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
    drag_.Press(Shift, X, Y);
}

void TForm3::Panel1MouseMove(TObject*, TShiftState, int X, int Y) {
    drag_.Move(*this, X, Y, SnapToEdge1 && SnapToEdge1->Checked());
}

void TForm3::Panel1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { drag_.Release(); }
