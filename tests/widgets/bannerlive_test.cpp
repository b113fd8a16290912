// Decorated menus as they are shown: the embossed picture of a disabled item, checked by
// pixels, a decorated menu whose items change while it is open, and what changes between
// two openings (the windows and the strip's picture are kept from one to the next).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "framework/controls/forms.h"
#include "framework/graphics/imagelist.h"
#include "framework/menus/menuengine.h"
#include "menuform.h"
#include "widgets/bannermenus.h"

namespace {

using namespace fw;
using ctl::TPopupDecorator;

constexpr QRgb kShadow = 0x808080, kLight = 0xFFFFFF, kFace = 0xC0C0C0, kNavy = 0x000080;

struct Decorated : ctltest::MenuForm {
    TPopupDecorator* d = nullptr;
    std::unique_ptr<TMenuTracker> tracker;
    void Decorate() {
        d = NewDecorator();
        d->SetHiliteBar(RGB(0, 0, 128));
        d->SetPopupMenu(menu);
    }
    QImage Open() {
        tracker = std::make_unique<TMenuTracker>(*menu);
        tracker->Open(20, 20);
        return Grab();
    }
    QImage Grab() const { return tracker->Level(0)->Widget()->grab().toImage(); }
    QRgb At(const QImage& img, int x, int y) const {
        return img.pixel(x + kMenuFrame, y + kMenuFrame) & 0xFFFFFF;
    }
    TRect Entry(int i) const { return tracker->Level(0)->EntryRect(i); }
    QPoint Screen(int entry, int dx, int dy) const {
        TRect c = tracker->Level(0)->ScreenClientRect();
        return {c.Left + Entry(entry).Left + dx, c.Top + Entry(entry).Top + dy};
    }
};

// A 16 x 16 picture: a red 6 x 6 block at (4, 5) and one white pixel at (12, 3) on a
// fuchsia ground that the list masks out.
void AddPicture(TImageList& list) {
    list.SetSize(16, 16);
    TBitmap picture(16, 16);
    TCanvas& c = picture.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 16, 16));
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(4, 5, 10, 11));
    c.SetPixel(12, 3, clWhite);
    list.AddMasked(picture, clFuchsia);
}

// The relief: the picture's shape in button shadow at (x, y) over a copy in button
// highlight one pixel right and down; the picture's own colours never show, and the
// masked-out ground keeps what was under it.
void ExpectRelief(const Decorated& m, const QImage& img, int x, int y, QRgb ground) {
    for (int row = 5; row < 11; ++row)
        for (int col = 4; col < 10; ++col)
            EXPECT_EQ(m.At(img, x + col, y + row), kShadow) << col << "," << row;
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(m.At(img, x + 10, y + 6 + k), kLight) << "right edge " << k;
        EXPECT_EQ(m.At(img, x + 5 + k, y + 11), kLight) << "bottom edge " << k;
    }
    EXPECT_EQ(m.At(img, x + 12, y + 3), kShadow);  // white is part of the shape
    EXPECT_EQ(m.At(img, x + 13, y + 4), kLight);
    EXPECT_EQ(m.At(img, x + 4, y + 11), ground);  // the corner the copy does not reach
    EXPECT_EQ(m.At(img, x + 10, y + 5), ground);
    EXPECT_EQ(m.At(img, x + 3, y + 7), ground);
    for (int row = 0; row < 18; ++row)
        for (int col = 0; col < 18; ++col)
            EXPECT_NE(m.At(img, x + col, y + row), 0xFF0000u) << col << "," << row;
}

TEST(DisabledImage, IsEmbossedAtTheItemsCornerOnTheBrushOrTheBar) {
    Decorated m;
    TImageList list(nullptr);
    AddPicture(list);
    m.Add("&First");
    TMenuItem* gray = m.Add("&Gray");
    gray->SetEnabled(false);
    gray->SetTag(0);
    m.Decorate();
    m.d->SetImages(&list);
    ASSERT_EQ(m.d->GlyphWidth(), 17);  // the marks are wider than the pictures

    // Not selected: no cell frame, the relief on the Brush's fill.
    QImage img = m.Open();
    TRect r = m.Entry(1);
    ExpectRelief(m, img, r.Left, r.Top, kFace);

    // Selected, with the selection shown: the bar, a raised cell under the relief.
    m.tracker->MouseMove(m.Screen(1, 40, 5));
    ASSERT_EQ(m.tracker->Level(0)->Selected(), 1);
    img = m.Grab();
    ExpectRelief(m, img, r.Left, r.Top, kFace);
    EXPECT_EQ(m.At(img, r.Left, r.Top), kLight);               // raised: light top-left
    EXPECT_EQ(m.At(img, r.Left + 20, r.Bottom - 1), kShadow);  // dark bottom-right
    EXPECT_EQ(m.At(img, r.Left + 30, r.Top + 1), kNavy);       // the bar beside the cell

    // Without the selection look a disabled item gets the relief and its text only.
    m.tracker.reset();
    m.d->SetAlwaysShowSelection(false);
    img = m.Open();
    m.tracker->MouseMove(m.Screen(1, 40, 5));
    img = m.Grab();
    ExpectRelief(m, img, r.Left, r.Top, kFace);
    EXPECT_EQ(m.At(img, r.Left + 30, r.Top + 1), kFace);

    // An enabled item shows the picture itself at (Left + 2, Top + 2).
    m.tracker.reset();
    gray->SetEnabled(true);
    img = m.Open();
    EXPECT_EQ(m.At(img, r.Left + 2 + 4, r.Top + 2 + 5), 0xFF0000u);
}

TEST(DecoratedChange, AnItemHiddenWhileOpenLeavesOwnerDrawnEntriesLaidOutAgain) {
    Decorated m;
    TMenuItem* first = m.Add("&First");
    TMenuItem* more = m.Add("&More");
    m.Add(more, "&Inner");
    TMenuItem* last = m.Add("&Last");
    m.Decorate();
    m.d->SetBanner(true);
    m.Open();
    ASSERT_EQ(m.tracker->Level(0)->EntryCount(), 3);
    const int row = m.Entry(0).Height();
    m.tracker->KeyPress(Qt::Key_Down, {});
    m.tracker->KeyPress(Qt::Key_Down, {});
    m.tracker->KeyPress(Qt::Key_Right, {});
    ASSERT_EQ(m.tracker->LevelCount(), 2);

    // From a timer: the first item goes, then the submenu's item.
    first->SetVisible(false);
    QApplication::processEvents();
    ASSERT_TRUE(m.tracker->Active());
    ASSERT_EQ(m.tracker->Level(0)->EntryCount(), 2);
    EXPECT_EQ(m.tracker->LevelCount(), 2);
    EXPECT_EQ(m.tracker->Level(0)->Selected(), 0);  // still "More"
    unsigned type = 0;
    ASSERT_TRUE(GetMenuItemType(m.menu->Handle(), last->Command(), false, type));
    EXPECT_TRUE(type & MFT_OWNERDRAW);
    EXPECT_EQ(m.Entry(1).Top, row);  // measured by the decorator again
    EXPECT_EQ(m.Entry(1).Height(), row);
    more->SetVisible(false);
    EXPECT_EQ(m.tracker->LevelCount(), 1);
    QApplication::processEvents();
    ASSERT_EQ(m.tracker->Level(0)->EntryCount(), 1);
    QImage img = m.Grab();
    EXPECT_EQ(img.height(), row + 2 * kMenuFrame);
    m.tracker->KeyPress(Qt::Key_Down, {});
    m.tracker->KeyPress(Qt::Key_Return, {});
    EXPECT_EQ(m.tracker->Chosen(), last);
}

TEST(DecoratedReopen, WhatChangesBetweenOpeningsShowsAtTheNextAndChangingBackRestoresIt) {
    Decorated m;
    TMenuItem* first = m.Add("&First");
    m.Add("&Second");
    m.Decorate();
    m.d->SetBanner(true);
    m.d->SetBannerWidth(13);
    m.d->SetBannerText("Banner");
    m.d->SetBannerEndColor(RGB(181, 208, 192));
    TPopupDecorator& d = *m.d;
    struct Change {
        const char* what;
        std::function<void()> apply, undo;
    };
    const Change changes[] = {
        {"banner colour", [&] { d.SetBannerColor(clMaroon); }, [&] { d.SetBannerColor(clBlack); }},
        {"banner end colour", [&] { d.SetBannerEndColor(clBlue); },
         [&] { d.SetBannerEndColor(RGB(181, 208, 192)); }},
        {"bands", [&] { d.SetBannerNumColors(2); }, [&] { d.SetBannerNumColors(6); }},
        {"banner text", [&] { d.SetBannerText("Other"); }, [&] { d.SetBannerText("Banner"); }},
        {"banner text of the caption", [&] { first->SetCaption("&First|Caption"); },
         [&] { first->SetCaption("&First"); }},
        {"banner font colour", [&] { d.BannerFont()->SetColor(clYellow); },
         [&] { d.BannerFont()->SetColor(clWhite); }},
        {"banner font style", [&] { d.BannerFont()->SetStyle(fsBold); },
         [&] { d.BannerFont()->SetStyle(0); }},
        {"direction", [&] { d.SetBannerDirection(ctl::bdDownwards); },
         [&] { d.SetBannerDirection(ctl::bdUpwards); }},
        {"justification", [&] { d.SetBannerJustification(ctl::bjTop); },
         [&] { d.SetBannerJustification(ctl::bjCenter); }},
        {"checked item", [&] { first->SetChecked(true); }, [&] { first->SetChecked(false); }},
        {"item font", [&] { d.Font()->SetColor(clRed); }, [&] { d.Font()->SetColor(clBlack); }},
    };
    const QImage original = m.Open();
    for (const Change& c : changes) {
        m.tracker.reset();
        c.apply();
        EXPECT_NE(m.Open(), original) << c.what;
        m.tracker.reset();
        c.undo();
        EXPECT_EQ(m.Open(), original) << c.what;
    }
}

// A letter that several items share moves the highlight round them; one that a single
// enabled item has chooses it. The same with the decorator answering.
TEST(DecoratedKeys, ASharedAccessLetterMovesTheHighlightAndASingleOneChooses) {
    const struct {
        const char* keys;  // typed characters; 'D' is Down, 'R' is Return
        int selected;      // then, when nothing was chosen
        int chosen;        // the item chosen, or -1 (the menu stays open)
    } cases[] = {{"f", 0, -1},   {"ff", 2, -1}, {"fff", 0, -1}, {"DDDf", 0, -1},
                 {"ffR", -1, 2}, {"l", -1, 3},  {"g", -1, 5},   {"DDg", -1, 5}};
    for (bool decorated : {false, true}) {
        for (const auto& c : cases) {
            Decorated m;
            TMenuItem* items[] = {m.Add("Re&fresh rate"), m.Add("&Faded"), m.Add("Change &fonts"),
                                  m.Add("&Last"),         m.Add("&Gray"),  m.Add("&Go")};
            items[1]->SetEnabled(false);
            items[4]->SetEnabled(false);
            if (decorated) m.Decorate();
            m.Open();
            for (const char* k = c.keys; *k; ++k)
                m.tracker->KeyPress(*k == 'D'   ? Qt::Key_Down
                                    : *k == 'R' ? Qt::Key_Return
                                                : 0,
                                    *k < 'a' ? QString() : QString(QChar(*k)));
            const std::string what = std::string(c.keys) + (decorated ? " decorated" : " plain");
            EXPECT_EQ(m.tracker->Chosen(), c.chosen < 0 ? nullptr : items[c.chosen]) << what;
            EXPECT_EQ(m.tracker->Active() ? m.tracker->Level(0)->Selected() : -1, c.selected)
                << what;
        }
    }
}

}  // namespace
