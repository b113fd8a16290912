// Loading a window: components created, properties applied in stored order, handlers
// bound, references resolved, every end-of-loading step, then the creation handler, from text
// and from its binary form alike.
#include <gtest/gtest.h>

#include <QApplication>

#include "framework/app/registerclasses.h"
#include "framework/controls/forms.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/menus/menus.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "tests/support/anyhandlerform.h"
#include "tests/support/qtapp.h"

using namespace fw;

namespace {

std::vector<std::string>* journal = nullptr;

class TProbe : public TComponent {
    FW_CLASS(TProbe)
  public:
    explicit TProbe(TComponent* owner) : TComponent(owner) {}
    int Value() const { return value_; }
    void SetValue(int v) {
        value_ = v;
        journal->push_back(Name() + ".Value=" + std::to_string(v));
    }
    TProbe* Peer() const { return peer_; }
    void SetPeer(TProbe* p) {
        peer_ = p;
        journal->push_back(Name() + ".Peer=" + (p ? p->Name() : "nil"));
    }
    void Loaded() override {
        TComponent::Loaded();
        journal->push_back(Name() + ".Loaded peer=" + (peer_ ? peer_->Name() : "nil") +
                           " ping=" + (OnPing ? "bound" : "unbound"));
    }
    TSenderEvent OnPing;

  private:
    int value_ = 0;
    TProbe* peer_ = nullptr;
};

const TClassInfo& TProbe::StaticClassInfo() {
    static const TClassInfo info = ClassBuilder<TProbe>("TProbe", &TComponent::StaticClassInfo())
                                       .Integer("Value", &TProbe::Value, &TProbe::SetValue, 0)
                                       .Component("Peer", &TProbe::Peer, &TProbe::SetPeer)
                                       .Event("OnPing", &TProbe::OnPing)
                                       .Creatable()
                                       .Build();
    return info;
}

class TProbeForm : public TForm {
  public:
    explicit TProbeForm(TComponent* owner, std::string_view text) : TForm(owner) {
        RegisterHandler<void(TPropertyObject*)>(
            "FormCreate", [](TPropertyObject*) { journal->push_back("FormCreate"); });
        RegisterHandler<void(TPropertyObject*)>("Ping", [](TPropertyObject*) {});
        InitInheritedComponent(text);
    }
};

void EnsureApp() { testsupport::EnsureQtApp(); }

// The same steps in the same order from the text and from its binary form.
TEST(TextLoading, EndOfLoadingStepsRunBeforeTheCreationHandler) {
    EnsureApp();
    RegisterFrameworkClasses();
    RegisterClass(TProbe::StaticClassInfo());
    const std::string text =
        "object Probe: TProbeForm\n"
        "  OnCreate = FormCreate\n"
        "  object P1: TProbe\n"
        "    Value = 2\n"
        "    Peer = P2\n"
        "    OnPing = Ping\n"
        "  end\n"
        "  object P2: TProbe\n"
        "    Value = 3\n"
        "  end\n"
        "end\n";
    for (const std::string& description : {text, WriteBinaryForm(ParseComponentText(text))}) {
        SCOPED_TRACE(IsBinaryForm(description) ? "binary form" : "text");
        std::vector<std::string> log;
        journal = &log;
        TProbeForm form(nullptr, description);
        ASSERT_EQ(log.size(), 6u);
        // Values in stored order while reading; the reference to P2, which did not exist
        // yet, is resolved after every component is made.
        EXPECT_EQ(log[0], "P1.Value=2");
        EXPECT_EQ(log[1], "P2.Value=3");
        EXPECT_EQ(log[2], "P1.Peer=P2");
        EXPECT_EQ(log[3], "P1.Loaded peer=P2 ping=bound");
        EXPECT_EQ(log[4], "P2.Loaded peer=nil ping=unbound");
        EXPECT_EQ(log[5], "FormCreate");
        EXPECT_FALSE(form.FindComponent("p1")->Loading());
        EXPECT_EQ(form.Name(), "Probe");
        journal = nullptr;
    }
}

TEST(TextLoading, FreeingAReferencedComponentClearsTheReference) {
    EnsureApp();
    std::vector<std::string> log;
    journal = &log;
    TForm form(nullptr);
    auto* menuOwner = new TPopupMenu(&form);
    menuOwner->SetName("Menu1");
    auto* ctl = new TControl(&form);
    ctl->SetPopupMenu(menuOwner);
    TComponent::Free(menuOwner);
    EXPECT_EQ(ctl->PopupMenu(), nullptr);
    journal = nullptr;
}

// A hint setting a control takes from its parent is not written as its own, and one it holds
// against its parent comes back as it was: written text reads back as itself.
TEST(TextLoading, ShowHintTakenFromTheParentIsNotWrittenAsTheControlsOwn) {
    EnsureApp();
    RegisterFrameworkClasses();
    struct Case {
        const char* label;  // Label1's lines under a panel that shows hints
        bool parentShowHint, showHint;
    };
    for (const Case& c : {Case{"", true, true}, Case{"ParentShowHint = False\n", false, true},
                          Case{"ShowHint = False\n", false, false}}) {
        SCOPED_TRACE(c.label);
        const std::string text = std::string("object Form: TForm\n  object Panel1: TPanel\n") +
                                 "    ShowHint = True\n    object Label1: TLabel\n" + c.label +
                                 "    end\n  end\nend\n";
        std::string written;
        for (int pass = 0; pass < 2; ++pass) {
            const std::string& source = pass == 0 ? text : written;
            testsupport::TAnyHandlerForm form(ParseComponentText(source));
            form.Read(source);
            auto* label = dynamic_cast<TControl*>(form.FindComponent("Label1"));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->ParentShowHint(), c.parentShowHint) << "pass " << pass;
            EXPECT_EQ(label->ShowHint(), c.showHint) << "pass " << pass;
            const std::string again = WriteComponentText(form);
            if (pass == 1) {
                EXPECT_EQ(again, written);
            }
            written = again;
        }
    }
}

}  // namespace
