// The bevel's and the panel's frames and the panel caption's place, on grabbed pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "../graphics_testsupport.h"
#include "framework/controls/bevel.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/core/classregistry.h"

using namespace fw;

namespace {

QRgb Rgb(TColor c) {
    TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v)) & 0xFFFFFF;
}

class FramesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 120, 60);
        form_->SetColor(clBlack);
    }
    QRgb At(QWidget* w, int x, int y) {
        return w->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(x, y) & 0xFFFFFF;
    }
    ComponentPtr<TForm> form_;
};

TEST_F(FramesTest, ARaisedBoxIsLightTopLeftAndDarkBottomRight) {
    auto* b = new TBevel(form_.get());
    b->SetParent(form_.get());
    b->SetBounds(10, 10, 40, 30);
    b->SetStyle(bsRaised);
    QWidget* w = form_->Handle();
    EXPECT_EQ(At(w, 10, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(At(w, 30, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(At(w, 49, 20), Rgb(clBtnShadow));
    EXPECT_EQ(At(w, 30, 39), Rgb(clBtnShadow));
    EXPECT_EQ(At(w, 30, 25), 0u) << "a box frames; it does not fill";
    b->SetStyle(bsLowered);
    EXPECT_EQ(At(w, 10, 20), Rgb(clBtnShadow));
    EXPECT_EQ(At(w, 49, 20), Rgb(clBtnHighlight));
}

TEST_F(FramesTest, AGroovePanelIsAShadowLineOverAHighlightLine) {
    auto* p = new TPanel(form_.get());
    p->SetParent(form_.get());
    p->SetBounds(5, 5, 60, 2);
    p->SetBevelOuter(bvNone);
    p->SetBevelInner(bvLowered);
    QWidget* w = form_->Handle();
    EXPECT_EQ(At(w, 30, 5), Rgb(clBtnShadow));
    EXPECT_EQ(At(w, 30, 6), Rgb(clBtnHighlight));
}

TEST_F(FramesTest, PanelCaptionFollowsItsAlignment) {
    auto* p = new TPanel(form_.get());
    p->SetParent(form_.get());
    p->SetBounds(0, 0, 120, 20);
    p->SetColor(clWhite);
    p->SetBevelOuter(bvNone);
    p->Font()->SetColor(clBlack);
    p->SetCaption("ii");
    auto inkColumns = [&] {
        QImage img = p->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return std::pair{first, last};
    };
    EXPECT_EQ(p->Alignment(), taCenter);
    auto centred = inkColumns();
    EXPECT_GT(centred.first, 40);
    EXPECT_LT(centred.second, 80);
    p->SetAlignment(taLeftJustify);
    EXPECT_LT(inkColumns().first, 5);
    p->SetAlignment(taRightJustify);
    EXPECT_GT(inkColumns().second, 112);
}

}  // namespace
