// The main window's marquee repaints its own box twenty times a second. The address line's box
// reaches two rows into it, but no glyph of the address does: a step must leave the address
// line out and still give the picture a whole repaint gives.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/qtgraphics.h"
#include "program/mainwindow.h"
#include "tests/program/app_support.h"
#include "tests/support/fixedhostbackend.h"
#include "widgets/scrolllabel.h"

namespace {

class MarqueePaint : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("rezazo-form1paint-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        testapp::App();
        host_.hostName = "a-rather-long-host-name";
        host_.resolved = std::vector<platform::Ipv4>{{192, 168, 100, 200}};
    }
    void TearDown() override {
        if (form_) testapp::SettleProbe(*form_);  // no lookup may outlive the test backend
        form_.reset();
        std::filesystem::remove_all(dir_);
    }
    // The window painted whole, then the marquee's box scribbled over and repainted alone
    // with the text held still: both pictures.
    std::pair<QImage, QImage> WholeAndStep() {
        TForm1& f = *form_;
        f.label2->SetActive(false);
        f.label2->SetScrollBy(0);
        const fw::TRect box = f.label2->BoundsRect();
        fw::TBitmap surface(f.ClientWidth(), f.ClientHeight());
        f.PaintWindow(surface.Canvas(), f.ClientRect());
        const QImage whole = surface.Image().convertToFormat(QImage::Format_RGB32);
        surface.Canvas().Brush().SetColor(fw::clFuchsia);
        surface.Canvas().FillRect(box);
        f.PaintWindow(surface.Canvas(), box);
        return {whole, surface.Image().convertToFormat(QImage::Format_RGB32)};
    }
    bool AddressInStep() {
        TForm1& f = *form_;
        const fw::TRect drawn = f.Label1->PaintedRect().Offset(f.Label1->Left(), f.Label1->Top());
        return !drawn.Intersect(f.label2->BoundsRect()).IsEmpty();
    }

    std::filesystem::path dir_;
    platform::FixedHostBackend host_;
    fw::ComponentPtr<TForm1> form_;
};

TEST_F(MarqueePaint, AStepLeavesTheAddressLineOutAndChangesNoOtherPixel) {
    platform::ScopedHostBackend use(host_);
    form_.reset(new TForm1(nullptr));
    testapp::SettleProbe(*form_);
    TForm1& f = *form_;
    ASSERT_EQ(f.Label1->Caption(), "Local IP : 192.168.100.200");
    // The layout this is about: the boxes overlap.
    ASSERT_FALSE(f.Label1->BoundsRect().Intersect(f.label2->BoundsRect()).IsEmpty());
    EXPECT_FALSE(AddressInStep());
    const auto [whole, step] = WholeAndStep();
    EXPECT_EQ(step, whole);
}

// A large font puts the address's glyphs inside the marquee's box: then each step must
// repaint them, or the skin drawn under the marquee would wipe them out.
TEST_F(MarqueePaint, AnAddressInALargeFontIsRepaintedWithEachStep) {
    platform::ScopedHostBackend use(host_);
    form_.reset(new TForm1(nullptr));
    testapp::SettleProbe(*form_);
    TForm1& f = *form_;
    f.Label1->Font()->SetName("DejaVu Serif");
    f.Label1->Font()->SetHeight(-14);
    f.Label1->Font()->SetStyle(fw::fsBold);
    EXPECT_TRUE(AddressInStep());
    const auto [whole, step] = WholeAndStep();
    EXPECT_EQ(step, whole);
}

}  // namespace
