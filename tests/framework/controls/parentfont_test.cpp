// ParentFont and ParentColor: a control that follows its parent takes the parent's font or
// colour, and passes it on to its own children, down to the grandchildren; a control given
// its own stops following and its children follow it instead.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "tests/framework/framework_testapp.h"

using namespace fw;

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x808080;

TColor PixelAt(TForm& form, int x, int y) {
    QRgb p = form.Handle()->grab().toImage().pixel(x, y);
    return static_cast<TColor>(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}

class ParentFontAndColor : public ::testing::Test {
  protected:
    void SetUp() override {
        fwtest::EnsureQtApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 120, 80);
        panel_ = new TPanel(form_.get());
        panel_->SetParent(form_.get());
        panel_->SetBounds(10, 10, 80, 50);
        panel_->SetBevelOuter(bvNone);
        inner_ = new TLabel(form_.get());  // a grandchild of the form
        inner_->SetParent(panel_);
        inner_->SetBounds(5, 5, 30, 20);
        inner_->SetTransparent(false);
        inner_->SetCaption("");
        beside_ = new TLabel(form_.get());  // a child of the form
        beside_->SetParent(form_.get());
        beside_->SetBounds(95, 10, 20, 20);
    }
    void SetFormFont(const char* name, int height, TColor color) {
        form_->Font()->SetName(name);
        form_->Font()->SetHeight(height);
        form_->Font()->SetColor(color);
    }
    static void ExpectFont(const TControl* c, const char* name, int height, TColor color) {
        EXPECT_EQ(c->Font()->Name(), name) << c->Name();
        EXPECT_EQ(c->Font()->Height(), height) << c->Name();
        EXPECT_EQ(c->Font()->Color(), color) << c->Name();
    }

    ComponentPtr<TForm> form_;
    TPanel* panel_ = nullptr;
    TLabel* inner_ = nullptr;
    TLabel* beside_ = nullptr;
};

TEST_F(ParentFontAndColor, TheFormsFontReachesChildrenAndGrandchildren) {
    SetFormFont("Arial", -13, kBlue);
    for (TControl* c : {static_cast<TControl*>(panel_), static_cast<TControl*>(inner_),
                        static_cast<TControl*>(beside_)}) {
        ExpectFont(c, "Arial", -13, kBlue);
        EXPECT_TRUE(c->ParentFont());
    }
    form_->Font()->SetStyle(fsBold | fsItalic);
    EXPECT_EQ(inner_->Font()->Style(), fsBold | fsItalic);
}

TEST_F(ParentFontAndColor, AChildWithItsOwnFontLeadsItsChildrenAndFollowsAgainWhenAsked) {
    SetFormFont("Arial", -13, kBlue);
    panel_->Font()->SetName("Courier New");
    EXPECT_FALSE(panel_->ParentFont());
    ExpectFont(panel_, "Courier New", -13, kBlue);
    ExpectFont(inner_, "Courier New", -13, kBlue);
    EXPECT_TRUE(inner_->ParentFont());

    // The form's next change stops at the panel.
    SetFormFont("Times New Roman", -20, kRed);
    ExpectFont(panel_, "Courier New", -13, kBlue);
    ExpectFont(inner_, "Courier New", -13, kBlue);
    ExpectFont(beside_, "Times New Roman", -20, kRed);

    panel_->SetParentFont(true);
    ExpectFont(panel_, "Times New Roman", -20, kRed);
    ExpectFont(inner_, "Times New Roman", -20, kRed);

    // Switching it off keeps the font it has until it is given another.
    panel_->SetParentFont(false);
    SetFormFont("Arial", -9, kGreen);
    ExpectFont(inner_, "Times New Roman", -20, kRed);
}

TEST_F(ParentFontAndColor, AControlPutIntoAParentTakesItsFont) {
    panel_->Font()->SetName("Courier New");
    panel_->Font()->SetHeight(-17);
    auto* late = new TLabel(form_.get());
    late->SetParent(panel_);
    ExpectFont(late, "Courier New", -17, panel_->Font()->Color());
    auto* own = new TLabel(form_.get());
    own->SetParentFont(false);
    own->Font()->SetName("Arial");
    own->SetParent(panel_);
    EXPECT_EQ(own->Font()->Name(), "Arial");
}

TEST_F(ParentFontAndColor, ColourPassesDownOnlyWhereAskedAndShowsOnScreen) {
    // Off by default: nothing follows.
    form_->SetColor(kGrey);
    EXPECT_NE(panel_->Color(), kGrey);
    panel_->SetParentColor(true);
    inner_->SetParentColor(true);
    EXPECT_EQ(panel_->Color(), kGrey);
    EXPECT_EQ(inner_->Color(), kGrey);

    form_->SetColor(kGreen);
    EXPECT_EQ(panel_->Color(), kGreen);
    EXPECT_EQ(inner_->Color(), kGreen);
    EXPECT_TRUE(panel_->ParentColor());
    EXPECT_EQ(PixelAt(*form_, 12, 12), kGreen);  // the panel
    EXPECT_EQ(PixelAt(*form_, 20, 20), kGreen);  // the label on it

    // The panel's own colour: it stops following and its label follows the panel.
    panel_->SetColor(kBlue);
    EXPECT_FALSE(panel_->ParentColor());
    EXPECT_EQ(inner_->Color(), kBlue);
    form_->SetColor(kRed);
    EXPECT_EQ(panel_->Color(), kBlue);
    EXPECT_EQ(PixelAt(*form_, 12, 12), kBlue);
    EXPECT_EQ(PixelAt(*form_, 20, 20), kBlue);
    EXPECT_EQ(PixelAt(*form_, 2, 2), kRed);

    panel_->SetParentColor(true);
    EXPECT_EQ(panel_->Color(), kRed);
    EXPECT_EQ(inner_->Color(), kRed);
    EXPECT_EQ(PixelAt(*form_, 20, 20), kRed);
}

TEST(ParentFontLoading, ADescriptionsChildrenFollowTheFontsStoredAboveThem) {
    fwtest::EnsureQtApp();
    class TLoaded : public TForm {
      public:
        TLoaded() : TForm(nullptr) {
            InitInheritedComponent(
                "object Loaded: TForm\n"
                "  Width = 100\n  Height = 60\n"
                "  Font.Name = 'Arial'\n  Font.Height = -13\n"
                "  object Panel1: TPanel\n"
                "    Width = 80\n    Height = 40\n"
                "    Font.Name = 'Courier New'\n"
                "    ParentFont = False\n"
                "    object Label1: TLabel\n      Caption = 'a'\n    end\n"
                "    object Label2: TLabel\n"
                "      Caption = 'b'\n      Font.Name = 'Times New Roman'\n"
                "      ParentFont = False\n"
                "    end\n"
                "  end\n"
                "  object Label3: TLabel\n    Caption = 'c'\n  end\n"
                "end\n");
        }
    };
    TLoaded form;
    auto font = [&](const char* name) {
        return dynamic_cast<TControl*>(form.FindComponent(name))->Font()->Name();
    };
    EXPECT_EQ(font("Panel1"), "Courier New");
    EXPECT_EQ(font("Label1"), "Courier New");
    EXPECT_EQ(font("Label2"), "Times New Roman");
    EXPECT_EQ(font("Label3"), "Arial");
    EXPECT_EQ(dynamic_cast<TControl*>(form.FindComponent("Label1"))->Font()->Height(), -13);
}

}  // namespace
