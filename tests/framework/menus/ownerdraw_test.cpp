// Lending an owner-draw request's surface to a canvas.
#include "framework/menus/ownerdraw.h"

#include <gtest/gtest.h>

#include "framework/graphics/canvasimpl.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class OwnerDraw : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }
};

TEST_F(OwnerDraw, ARequestWithoutASurfaceLendsNothing) {
    TCanvas c;
    {
        TOwnerDrawScope none(c, nullptr);
        EXPECT_FALSE(none.Attached());
        EXPECT_FALSE(c.HandleAllocated());
    }
    TDeviceContext empty;  // no painter
    TOwnerDrawScope scope(c, &empty);
    EXPECT_FALSE(scope.Attached());
    EXPECT_FALSE(c.HandleAllocated());
}

TEST_F(OwnerDraw, TheCanvasDrawsOnTheLentSurfaceAndTheSurfaceGetsItsStateBack) {
    QImage surface(20, 10, QImage::Format_RGB32);
    surface.fill(Qt::white);
    QPainter painter(&surface);
    painter.translate(10, 0);  // the level's item area starts at 10, 0
    painter.setPen(Qt::green);
    TDeviceContext dc{&painter, Rect(0, 0, 10, 10)};
    TCanvas c;
    {
        TOwnerDrawScope scope(c, &dc);
        ASSERT_TRUE(scope.Attached());
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 10, 10));
        c.Brush().SetColor(clRed);
        c.FillRect(Rect(0, 0, 2, 2));
        // A handler that changes the lent painter's state does not leak it to the level.
        painter.translate(5, 5);
        painter.setPen(Qt::blue);
    }
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_EQ(painter.transform().dx(), 10.0);
    EXPECT_EQ(painter.transform().dy(), 0.0);
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    painter.end();
    EXPECT_EQ(surface.pixel(11, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(surface.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
