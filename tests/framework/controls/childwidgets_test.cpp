// Windowed children show inside their parent's widget however early that was made (a screen
// reader's question can make it before the description is read), and so does a child that
// had a widget of its own first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "../graphics_testsupport.h"
#include "framework/app/registerclasses.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/text/componenttext.h"

namespace {

TEST(ChildWidgets, ShowInsideTheirParentsWidgetWheneverThatWasMade) {
    gfxtest::EnsureApp();
    fw::RegisterFrameworkClasses();
    for (bool early : {false, true}) {
        SCOPED_TRACE(early ? "window widget made first" : "window widget made on show");
        fw::ComponentPtr<fw::TForm> form(new fw::TForm(nullptr));
        if (early) form->Handle();
        fw::ReadRootComponent(*form,
                              "object Form1: TForm\n"
                              "  object Memo1: TMemo\n  end\n"
                              "  object Panel1: TPanel\n    object Panel2: TPanel\n    end\n  end\n"
                              "end\n");
        auto* panel = new fw::TPanel(form.get());  // one with a widget before it had a parent
        panel->SetBounds(5, 6, 30, 20);
        panel->Handle();
        panel->SetParent(form.get());
        form->Show();
        QApplication::processEvents();
        for (const char* name : {"Memo1", "Panel1", "Panel2"}) {
            auto* c = dynamic_cast<fw::TWinControl*>(form->FindComponent(name));
            ASSERT_TRUE(c && c->HandleAllocated()) << name;
            EXPECT_EQ(c->Handle()->parentWidget(), c->Parent()->Handle()) << name;
            EXPECT_TRUE(c->Handle()->isVisible()) << name;
        }
        EXPECT_TRUE(panel->Handle()->isVisible());
        EXPECT_EQ(panel->Handle()->geometry(), QRect(5, 6, 30, 20));
    }
}

}  // namespace
