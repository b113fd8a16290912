// Windowed children get their widgets inside their parent's widget and show with it, however
// early the parent's widget was made: before its description was read (a screen reader's
// question can make it), or for a child that had a widget of its own first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "../graphics_testsupport.h"
#include "framework/app/registerclasses.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/text/componenttext.h"

namespace {

// A panel inside a panel.
const char* const kWindow =
    "object Form1: TForm\n"
    "  ClientWidth = 144\n  ClientHeight = 138\n"
    "  object Memo1: TMemo\n    Left = 10\n    Top = 19\n    Width = 129\n    Height = 111\n"
    "  end\n"
    "  object Panel1: TPanel\n    Width = 100\n    Height = 16\n"
    "    object Panel5: TPanel\n      Left = 12\n      Top = 4\n      Width = 77\n"
    "      Height = 2\n    end\n"
    "  end\n"
    "end\n";

// Every windowed control below `control` has a widget that is a visible child of its
// parent's; the first one that has not, or an empty text.
std::string Misplaced(fw::TWinControl& control) {
    for (int i = 0; i < control.ControlCount(); ++i) {
        auto* child = dynamic_cast<fw::TWinControl*>(control.Controls(i));
        if (!child) continue;
        if (!child->HandleAllocated() || child->Handle()->parentWidget() != control.Handle() ||
            !child->Handle()->isVisible())
            return child->Name();
        if (std::string deeper = Misplaced(*child); !deeper.empty()) return deeper;
    }
    return {};
}

TEST(ChildWidgets, ShowInsideTheirParentsWidgetWheneverThatWasMade) {
    gfxtest::EnsureApp();
    fw::RegisterFrameworkClasses();
    for (bool early : {false, true}) {
        SCOPED_TRACE(early ? "window widget made first" : "window widget made on show");
        fw::ComponentPtr<fw::TForm> form(new fw::TForm(nullptr));
        if (early) form->Handle();
        fw::ReadRootComponent(*form, kWindow);
        form->Show();
        QApplication::processEvents();
        EXPECT_EQ(Misplaced(*form), "");
    }
}

TEST(ChildWidgets, AWidgetMadeAloneJoinsItsParentAtItsPlaceShownOrHidden) {
    gfxtest::EnsureApp();
    fw::ComponentPtr<fw::TForm> form(new fw::TForm(nullptr));
    form->Show();
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible ? "shown" : "hidden");
        auto* panel = new fw::TPanel(form.get());
        panel->SetBounds(5, 6, 30, 20);
        panel->SetVisible(visible);
        panel->Handle();
        panel->SetParent(form.get());
        QApplication::processEvents();
        EXPECT_EQ(panel->Handle()->parentWidget(), form->Handle());
        EXPECT_EQ(panel->Handle()->isVisible(), visible);
        EXPECT_EQ(panel->Handle()->geometry(), QRect(5, 6, 30, 20));
    }
}

}  // namespace
