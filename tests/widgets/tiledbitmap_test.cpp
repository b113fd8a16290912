// The tiled bitmap on grabbed pixels: tiles from the top-left corner clipped at the edges,
// white without a picture, the 32-pixel rule and a width kept through a description.
#include "widgets/tiledbitmap.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "controls_testsupport.h"
#include "framework/controls/forms.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/text/componenttext.h"

using namespace ctl;
using fw::ComponentPtr;
using fw::TForm;

namespace {

// Every pixel of the 64 x 64 picture tells where it lies.
QRgb Marker(int x, int y) { return qRgb(x * 4, y * 4, 90); }

void Mark(fw::TBitmap& bmp) {
    QImage img(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) img.setPixel(x, y, Marker(x, y));
    bmp.SetImage(img);
}

class TiledBitmapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctltest::EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 330, 170);
        form_->SetColor(fw::clBlack);
        tiles_ = new TTiledBitmap(form_.get());
        tiles_->SetParent(form_.get());
    }
    QImage Grab() {
        return form_->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    ComponentPtr<TForm> form_;
    TTiledBitmap* tiles_ = nullptr;
};

TEST_F(TiledBitmapTest, FiveByThreeTilesWithTheLastColumnAndRowCut) {
    fw::TBitmap bmp;
    Mark(bmp);
    tiles_->SetBitMap(&bmp);
    tiles_->SetBounds(0, 0, 314, 152);
    QImage shot = Grab();
    for (int y : {0, 63, 64, 127, 128, 151})
        for (int x : {0, 1, 63, 64, 200, 255, 256, 313}) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(shot.pixel(x, y) & 0xFFFFFF, Marker(x % 64, y % 64) & 0xFFFFFF);
        }
    // The last column shows 58 pixels of its tile, the last row 24: beyond, the form.
    EXPECT_EQ(shot.pixel(313, 151) & 0xFFFFFF, Marker(57, 23) & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(314, 100) & 0xFFFFFF, 0u);
    EXPECT_EQ(shot.pixel(100, 152) & 0xFFFFFF, 0u);
}

TEST_F(TiledBitmapTest, WithoutAPictureItIsWhite) {
    tiles_->SetBounds(10, 10, 40, 30);
    QImage shot = Grab();
    for (int y = 10; y < 40; y += 7)
        for (int x = 10; x < 50; x += 9) EXPECT_EQ(shot.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(50, 20) & 0xFFFFFF, 0u);
}

TEST_F(TiledBitmapTest, AssigningAPictureMakesAZeroSide32) {
    EXPECT_EQ(tiles_->Width(), 32);
    EXPECT_EQ(tiles_->Height(), 32);
    tiles_->SetBounds(0, 0, 0, 10);
    fw::TBitmap bmp;
    Mark(bmp);
    tiles_->SetBitMap(&bmp);
    EXPECT_EQ(tiles_->Width(), 32);
    EXPECT_EQ(tiles_->Height(), 10);
    tiles_->SetBounds(0, 0, 50, 0);
    tiles_->SetBitMap(&bmp);
    EXPECT_EQ(tiles_->Width(), 50);
    EXPECT_EQ(tiles_->Height(), 32);
    EXPECT_EQ(tiles_->BitMap()->Width(), 64) << "the picture is a copy";
}

TEST_F(TiledBitmapTest, AWidthOf30SurvivesADescriptionWithItsPicture) {
    tiles_->SetName("TiledBitmap1");
    fw::TBitmap bmp;
    Mark(bmp);
    tiles_->SetBitMap(&bmp);
    tiles_->SetBounds(3, 4, 30, 32);
    form_->SetName("Form1");
    const std::string text = fw::WriteComponentText(*form_);
    EXPECT_EQ(text.find("Height = 32"), std::string::npos) << "32 is the declared default";
    ComponentPtr<TForm> again(new TForm(nullptr));
    fw::ReadRootComponent(*again, text);
    auto* t = dynamic_cast<TTiledBitmap*>(again->FindComponent("TiledBitmap1"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Width(), 30);
    EXPECT_EQ(t->Height(), 32);
    ASSERT_EQ(t->BitMap()->Width(), 64);
    EXPECT_EQ(t->BitMap()->Image().pixel(5, 9) & 0xFFFFFF, Marker(5, 9) & 0xFFFFFF);
}

}  // namespace
