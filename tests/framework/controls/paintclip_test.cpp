// A window repaints part of itself (a marquee steps twenty times a second): the picture after
// such a repaint must be the one a whole repaint gives, while controls that the part does not
// touch stay out of it and opaque pictures spare the background fill beneath them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/qtgraphics.h"
#include "tests/support/qtapp.h"

using namespace fw;

namespace {

void EnsureApp() { testsupport::EnsureQtApp(); }

class CountingLabel : public TLabel {
  public:
    using TLabel::TLabel;
    int paints = 0;

  protected:
    void Paint() override {
        ++paints;
        TLabel::Paint();
    }
};

// Claims its picture's pixels but draws none: whatever lies under it shows through.
class SilentImage : public TImage {
  public:
    using TImage::TImage;

  protected:
    void Paint() override {}
};

// A skin of many colours, so that a pixel painted from the wrong place shows.
QImage Skin(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 2 % 256, 80 + y * 3 % 170, 150));
    return img;
}

QImage Pixels(const TBitmap& b) { return b.Image().convertToFormat(QImage::Format_RGB32); }

// The form painted whole, then dirty scribbled over and repainted alone.
QImage PaintedAfter(TForm& form, TBitmap& surface, const TRect& dirty) {
    surface.Canvas().Brush().SetColor(clFuchsia);
    surface.Canvas().Brush().SetStyle(bsSolid);
    surface.Canvas().FillRect(dirty);
    form.PaintWindow(surface.Canvas(), dirty);
    return Pixels(surface);
}

struct TextCase {
    const char* caption;
    const char* font;
    int height;
    TFontStyles style;
    TAlignment alignment;
    TTextLayout layout;
};

TEST(PartialRepaint, EveryRowRepaintedAloneMatchesTheWholePaintAndEmptyRowsSkipTheLabel) {
    EnsureApp();
    const TextCase cases[] = {
        {"Local IP : 192.0.2.2", "Small Fonts", -8, 0, taLeftJustify, tlTop},
        {"Loading IP... gjpqy", "DejaVu Serif", -14, fsBold, taLeftJustify, tlTop},
        {"Wj|Q_\xc3\x85g", "Arial", -11, fsItalic, taRightJustify, tlBottom},
        {"two\nlines gy", "DejaVu Sans", -10, 0, taCenter, tlCenter},
        {"link ace", "DejaVu Sans", -11, fsUnderline | fsStrikeOut, taLeftJustify, tlTop},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.caption);
        ComponentPtr<TForm> form(new TForm(nullptr));
        form->SetBounds(0, 0, 120, 50);
        auto* skin = new TImage(form.get());
        skin->SetParent(form.get());
        skin->SetAlign(alClient);
        skin->Picture()->Bitmap().SetImage(Skin(120, 50));
        auto* label = new CountingLabel(form.get());
        label->SetParent(form.get());
        label->SetAutoSize(false);
        label->SetTransparent(true);
        label->SetBounds(6, 4, 108, 42);
        label->Font()->SetName(c.font);
        label->Font()->SetHeight(c.height);
        label->Font()->SetStyle(c.style);
        label->SetAlignment(c.alignment);
        label->SetLayout(c.layout);
        label->SetCaption(c.caption);

        TBitmap surface(120, 50);
        form->PaintWindow(surface.Canvas(), Rect(0, 0, 120, 50));
        const QImage whole = Pixels(surface);
        ASSERT_GT(label->paints, 0);
        int skipped = 0;
        for (int y = 0; y < 50; ++y) {
            const int before = label->paints;
            // One row at a time: a label left out of a row its glyphs reach loses them there.
            EXPECT_EQ(PaintedAfter(*form, surface, Rect(0, y, 120, y + 1)), whole) << "row " << y;
            if (y >= 4 && y < 46 && label->paints == before) ++skipped;
        }
        // The text fills only part of its box; those rows do not repaint the label.
        EXPECT_GT(skipped, 10);
        EXPECT_LT(skipped, 42);
    }
}

TEST(PartialRepaint, AnOpaqueLabelRepaintsWhereverItsBoxIsTouched) {
    EnsureApp();
    ComponentPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(0, 0, 60, 30);
    auto* label = new CountingLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetTransparent(false);
    label->SetColor(clYellow);
    label->SetBounds(0, 0, 60, 30);
    label->SetCaption("ab");
    TBitmap surface(60, 30);
    form->PaintWindow(surface.Canvas(), Rect(0, 0, 60, 30));
    const QImage whole = Pixels(surface);
    EXPECT_EQ(PaintedAfter(*form, surface, Rect(0, 28, 60, 29)), whole);
    EXPECT_EQ(label->paints, 2);
}

// The form's colour must show wherever no opaque picture covers it; under one it need not be
// filled at all.
TEST(PartialRepaint, TheBackgroundIsFilledExactlyWhereNoOpaquePictureCoversIt) {
    EnsureApp();
    enum Kind { kCovering, kCentredSmaller, kTransparent, kHidden, kAlpha };
    for (Kind kind : {kCovering, kCentredSmaller, kTransparent, kHidden, kAlpha}) {
        SCOPED_TRACE(kind);
        ComponentPtr<TForm> form(new TForm(nullptr));
        form->SetBounds(0, 0, 40, 20);
        form->SetColor(clRed);
        auto* skin = new SilentImage(form.get());
        skin->SetParent(form.get());
        skin->SetAlign(alClient);
        skin->SetCenter(true);
        if (kind == kAlpha) {
            QImage img = Skin(40, 20, QImage::Format_ARGB32);
            img.setPixel(5, 5, qRgba(0, 0, 0, 0));
            skin->Picture()->Bitmap().SetImage(img);
        } else {
            skin->Picture()->Bitmap().SetImage(Skin(kind == kCentredSmaller ? 30 : 40, 20));
        }
        skin->SetTransparent(kind == kTransparent);
        skin->SetVisible(kind != kHidden);

        TBitmap surface(40, 20);
        const QImage after = PaintedAfter(*form, surface, Rect(0, 0, 40, 20));
        const QRgb red = qRgb(255, 0, 0), fuchsia = qRgb(255, 0, 255);
        auto at = [&](int x, int y) { return after.pixel(x, y) & 0xFFFFFF; };
        switch (kind) {
            case kCovering:  // nothing filled: the silent picture leaves the scribble
                EXPECT_EQ(at(0, 0), fuchsia & 0xFFFFFF);
                EXPECT_EQ(at(39, 19), fuchsia & 0xFFFFFF);
                break;
            case kCentredSmaller:  // five columns either side show the form
                EXPECT_EQ(at(4, 10), red & 0xFFFFFF);
                EXPECT_EQ(at(35, 10), red & 0xFFFFFF);
                EXPECT_EQ(at(5, 10), fuchsia & 0xFFFFFF);
                break;
            case kTransparent:
            case kHidden:
            case kAlpha:
                EXPECT_EQ(at(5, 5), red & 0xFFFFFF);
                EXPECT_EQ(at(20, 10), red & 0xFFFFFF);
                break;
        }
    }
}

}  // namespace
