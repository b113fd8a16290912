#include "program/aboutwindow.h"

#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/controls/memo.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/lifelong.h"
#include "program/about.h"
#include "resources/descriptions.h"
#include "widgets/shadowlabel.h"
#include "widgets/urllabel.h"

using namespace fw;

TForm3* Form3 = nullptr;

const TClassInfo& TForm3::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TForm3>("TForm3", &TForm::StaticClassInfo()).Creatable().Build();
    return info;
}

TForm3::TForm3(TComponent* owner) : TForm(owner) {
    RegisterHandler<void(TPropertyObject*)>("FormCreate", Handler(this, &TForm3::FormCreate));
    RegisterHandler<void(TPropertyObject*)>("ShadowLabel1Click",
                                            Handler(this, &TForm3::ShadowLabel1Click));
    RegisterHandler<void(TPropertyObject*, TMouseButton, TModifierState, int, int)>(
        "Panel1MouseDown", Handler(this, &TForm3::Panel1MouseDown));
    RegisterHandler<void(TPropertyObject*, TModifierState, int, int)>(
        "Panel1MouseMove", Handler(this, &TForm3::Panel1MouseMove));
    RegisterHandler<void(TPropertyObject*, TMouseButton, TModifierState, int, int)>(
        "Panel1MouseUp", Handler(this, &TForm3::Panel1MouseUp));
    RegisterField("URLLabel1", URLLabel1);
    RegisterField("URLLabel2", URLLabel2);
    RegisterField("Label4", Label4);
    RegisterField("Memo1", Memo1);
    RegisterField("Panel1", Panel1);
    RegisterField("ShadowLabel1", ShadowLabel1);
    RegisterField("ShadowLabel2", ShadowLabel2);
    RegisterField("SnapToEdge1", SnapToEdge1);
    InitInheritedComponent(fw::Lifelong(resources::AboutwindowDescription()));
}

TForm3::~TForm3() {
    if (Form3 == this) Form3 = nullptr;
}

void TForm3::FormCreate(TPropertyObject*) {
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

void TForm3::ShadowLabel1Click(TPropertyObject*) { Close(); }

bool TForm3::WindowKey(TWindowKey key) {
    if (key != TWindowKey::Escape) return false;
    Close();
    return true;
}

void TForm3::Panel1MouseDown(TPropertyObject*, TMouseButton, TModifierState Shift, int X, int Y) {
    drag_.Press(Shift, X, Y);
}

void TForm3::Panel1MouseMove(TPropertyObject*, TModifierState, int X, int Y) {
    drag_.Move(*this, X, Y, SnapToEdge1->Checked());
}

void TForm3::Panel1MouseUp(TPropertyObject*, TMouseButton, TModifierState, int, int) {
    drag_.Release();
}
