// The shadow label on grabbed pixels: the shadow's place and colour, auto-size with the
// shadow in the extent, disabled lettering, vertical layout, and the mouse leaving only
// at the release after a drag.
#include "widgets/shadowlabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <set>

#include "controls_testsupport.h"
#include "framework/controls/cursors.h"
#include "framework/controls/forms.h"
#include "framework/controls/memo.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/qtgraphics.h"

using namespace ctl;
using fw::ComponentPtr;
using fw::TForm;

namespace {

QRgb Rgb(fw::TColor c) {
    fw::TColor v = fw::ColorToRGB(c);
    return qRgb(fw::GetRValue(v), fw::GetGValue(v), fw::GetBValue(v)) & 0xFFFFFF;
}

struct Ink {
    std::set<std::pair<int, int>> text, shadow;
    int TopRow(const std::set<std::pair<int, int>>& s) const {
        int top = 1 << 20;
        for (auto [x, y] : s) top = std::min(top, y);
        return top;
    }
};

class ShadowLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctltest::EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 120, 60);
        form_->SetColor(12503724);
    }
    TShadowLabel* Add(const std::string& caption) {
        auto* l = new TShadowLabel(form_.get());
        l->SetParent(form_.get());
        l->SetLeft(10);
        l->SetTop(10);
        l->Font()->SetName("Arial");
        l->Font()->SetHeight(-9);
        l->Font()->SetColor(fw::clBlack);
        l->SetCaption(caption);
        return l;
    }
    // Pixels of the text colour and of the shadow colour inside the label.
    Ink InkOf(TShadowLabel* l, QRgb text, QRgb shadow) {
        QImage shot = form_->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        Ink ink;
        for (int y = 0; y < l->Height(); ++y)
            for (int x = 0; x < l->Width(); ++x) {
                QRgb p = shot.pixel(l->Left() + x, l->Top() + y) & 0xFFFFFF;
                if (p == text) ink.text.insert({x, y});
                if (p == shadow) ink.shadow.insert({x, y});
            }
        return ink;
    }
    static fw::TSize TextSize(const std::string& s) {
        fw::TFont f;
        f.SetName("Arial");
        f.SetHeight(-9);
        QFontMetrics m(ToQFont(f));
        return {m.horizontalAdvance(QString::fromStdString(s)), m.ascent() + m.descent()};
    }

    ComponentPtr<TForm> form_;
};

TEST_F(ShadowLabelTest, AnXFitsItsTextPlusTwoWithTheHighlightOnePixelUpAndLeft) {
    TShadowLabel* x = Add("X");
    const fw::TSize t = TextSize("X");
    EXPECT_EQ(x->Width(), t.cx + 2);
    EXPECT_EQ(x->Height(), t.cy);
    EXPECT_EQ(x->Color(), 12503724u) << "opaque on its parent's colour";
    Ink ink = InkOf(x, Rgb(fw::clBlack), Rgb(fw::clBtnHighlight));
    ASSERT_FALSE(ink.text.empty());
    ASSERT_FALSE(ink.shadow.empty());
    // Every highlight pixel is a text pixel moved one up and one left.
    for (auto [sx, sy] : ink.shadow)
        EXPECT_TRUE(ink.text.count({sx + 1, sy + 1})) << sx << "," << sy;
    // And the text's top-left ink has its shadow (or more text) there.
    auto first = *ink.text.begin();
    EXPECT_TRUE(ink.shadow.count({first.first - 1, first.second - 1}) ||
                ink.text.count({first.first - 1, first.second - 1}));
}

TEST_F(ShadowLabelTest, ARightBottomShadowOfThreeWidensOnlyAtTheNextRefit) {
    TShadowLabel* l = Add("Shadow");
    const int w = l->Width(), h = l->Height();
    l->SetShadowSize(3);
    EXPECT_EQ(l->Width(), w) << "up and left: the extent grows outside the label";
    EXPECT_EQ(l->Height(), h);
    l->SetShadowPos(spRightBottom);
    EXPECT_EQ(l->Width(), w) << "a new position alone does not re-fit";
    l->SetCaption("Shadow ");
    l->SetCaption("Shadow");
    EXPECT_EQ(l->Width(), w + 3);
    EXPECT_EQ(l->Height(), h + 3);
}

TEST_F(ShadowLabelTest, RightJustifiedKeepsItsRightEdge) {
    TShadowLabel* l = Add("Wide caption");
    l->SetAlignment(fw::taRightJustify);
    const int right = l->Left() + l->Width();
    l->SetCaption("W");
    EXPECT_EQ(l->Left() + l->Width(), right);
    EXPECT_EQ(l->Width(), TextSize("W").cx + 2);
}

TEST_F(ShadowLabelTest, DisabledIsGreyWithAHighlightShadowEvenOfSizeZero) {
    TShadowLabel* l = Add("Off");
    l->SetShadowSize(0);
    l->SetEnabled(false);
    const QRgb grey = Rgb(fw::clGrayText), light = Rgb(fw::clBtnHighlight);
    Ink ink = InkOf(l, grey, light);
    ASSERT_FALSE(ink.text.empty());
    ASSERT_FALSE(ink.shadow.empty());
    EXPECT_TRUE(InkOf(l, Rgb(fw::clBlack), 1).text.empty()) << "no black text";
    for (auto [sx, sy] : ink.shadow)
        EXPECT_TRUE(ink.text.count({sx - 1, sy - 1})) << sx << "," << sy;
}

TEST_F(ShadowLabelTest, AnEmptyCaptionIsOneLineHigh) {
    TShadowLabel* l = Add("");
    EXPECT_EQ(l->Height(), TextSize("X").cy);
    EXPECT_EQ(l->Width(), TextSize(" ").cx + 2) << "a blank is measured";
    TShadowLabel* amp = Add("&");
    EXPECT_EQ(amp->Height(), TextSize("X").cy) << "a lone access mark measures one line";
}

TEST_F(ShadowLabelTest, CentredLayoutDrawsTheTextFrom12AndTheShadowFrom11) {
    TShadowLabel* top = Add("Wg");
    top->SetAutoSize(false);
    top->SetBounds(10, 10, 40, 40);
    Ink atTop = InkOf(top, Rgb(fw::clBlack), Rgb(fw::clBtnHighlight));
    top->SetLayout(fw::tlCenter);
    Ink centred = InkOf(top, Rgb(fw::clBlack), Rgb(fw::clBtnHighlight));
    const int line = TextSize("Wg").cy;
    ASSERT_FALSE(centred.text.empty());
    // Measured extent -1 .. line; moved down by (40 - line) div 2.
    const int shift = (40 - line) / 2 - 1;
    EXPECT_EQ(centred.TopRow(centred.text), atTop.TopRow(atTop.text) + shift);
    EXPECT_EQ(centred.TopRow(centred.shadow), centred.TopRow(centred.text) - 1);
    if (line == 13) {
        EXPECT_EQ(shift, 12);
    }
    top->SetLayout(fw::tlBottom);
    Ink bottom = InkOf(top, Rgb(fw::clBlack), Rgb(fw::clBtnHighlight));
    EXPECT_EQ(bottom.TopRow(bottom.text), atTop.TopRow(atTop.text) + (40 - line) - 1);
}

TEST_F(ShadowLabelTest, AfterADragOutTheMouseLeavesAtTheRelease) {
    TShadowLabel* l = Add("Drag me");
    int enters = 0, leaves = 0;
    l->OnMouseEnter.Set([&](fw::TPropertyObject*) { ++enters; });
    l->OnMouseLeave.Set([&](fw::TPropertyObject*) { ++leaves; });
    form_->Show();
    QWidget* w = form_->Handle();
    w->activateWindow();
    QApplication::processEvents();
    if (!fw::ApplicationIsForeground()) GTEST_SKIP() << "the platform gives no active window";
    auto send = [&](unsigned msg, unsigned shift, int x, int y) {
        fw::TMessage m{msg, fw::TMouseData{{x, y}, shift}};
        form_->DispatchMouse(m);
    };
    // The pointer the release re-check reads rests outside the label from the start
    // (moving it sends a motion of its own, without a button).
    fw::SetCursorPos(form_->ClientToScreen({100, 50}));
    QApplication::processEvents();
    send(fw::WM_MOUSEMOVE, 0, 12, 12);
    EXPECT_EQ(enters, 1);
    send(fw::WM_LBUTTONDOWN, fw::ssLeft, 12, 12);
    EXPECT_TRUE(l->Dragging());
    send(fw::WM_MOUSEMOVE, fw::ssLeft, 100, 50);
    EXPECT_EQ(leaves, 0) << "still dragging";
    EXPECT_TRUE(l->MouseInControl());
    send(fw::WM_LBUTTONUP, 0, 100, 50);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(l->MouseInControl());
    EXPECT_FALSE(l->Dragging());
    form_->Hide();
}

TEST_F(ShadowLabelTest, FocusControlIsForgottenWhenFreed) {
    TShadowLabel* l = Add("&Name");
    auto* target = new fw::TMemo(form_.get());
    target->SetParent(form_.get());
    target->SetBounds(40, 30, 60, 20);
    form_->Show();
    l->SetFocusControl(target);
    l->SetShowFocus(true);
    fw::TMessage key{fw::CM_DIALOGCHAR, fw::TDialogChar{'n'}};
    l->WindowProc(key);
    EXPECT_EQ(key.Result, 1) << "the access key focuses the focus control";
    fw::TMessage other{fw::CM_DIALOGCHAR, fw::TDialogChar{'x'}};
    l->WindowProc(other);
    EXPECT_EQ(other.Result, 0) << "not its access key";
    fw::TMessage focus{fw::CM_FOCUSCHANGED, fw::TFocusChange{target}};
    l->WindowProc(focus);
    EXPECT_TRUE(l->FocusedFlag());
    fw::TComponent::Free(target);
    EXPECT_EQ(l->FocusControl(), nullptr);
    form_->Hide();
}

}  // namespace
