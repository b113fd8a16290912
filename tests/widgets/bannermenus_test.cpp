// Banner popup decorators: measuring, access keys, owner drawing of the menu's entries,
// the hooks' chains, and a decorated menu rendered by the engine and checked by pixels.
#include "widgets/bannermenus.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "framework/app/application.h"
#include "framework/controls/forms.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/popuplist.h"
#include "menuform.h"

namespace {

using namespace fw;
using ctl::TPopupDecorator;

struct Fixture : ctltest::MenuForm {
    TPopupDecorator* Decorate() {
        TPopupDecorator* d = NewDecorator();
        d->SetPopupMenu(menu);
        return d;
    }
};

// Sends a measure request the way the engine does, through the owner form's procedure.
TSize Measure(TForm& form, TMenuItem* item) {
    TMenuEntry* e = FindMenuEntry(item->Menu()->Handle(), item->Command(), MF_BYCOMMAND);
    EXPECT_NE(e, nullptr);
    TMessage m{WM_MEASUREITEM,
               TMeasureRequest{.Command = item->Command(), .Owner = e ? e->owner : nullptr}};
    form.WindowProc(m);
    EXPECT_EQ(m.Result, 1);
    return {m.Get<TMeasureRequest>()->Width, m.Get<TMeasureRequest>()->Height};
}

TEST(PopupDecorator, NewComponentsHaveTheDeclaredValues) {
    Fixture fx;
    auto* d = new TPopupDecorator(fx.form.get());
    EXPECT_FALSE(d->Banner());
    EXPECT_EQ(d->BannerWidth(), 20);
    EXPECT_EQ(d->BannerNumColors(), 6);
    EXPECT_EQ(d->BannerEndColor(), clActiveCaption);
    EXPECT_EQ(d->BannerSeparator(), '|');
    EXPECT_EQ(d->BannerFont()->Name(), "Arial");
    EXPECT_EQ(d->BannerFont()->Size(), 12);
    EXPECT_EQ(d->BannerFont()->Color(), clWhite);
    EXPECT_EQ(d->Font()->Name(), "MS Sans Serif");  // the system menu font
    EXPECT_EQ(d->HiliteFont()->Color(), clHighlightText);
    EXPECT_EQ(d->Brush()->Color(), clBtnFace);
    EXPECT_EQ(d->HiliteBar(), clHighlight);
    EXPECT_TRUE(d->DefaultFont());
    EXPECT_TRUE(d->AlwaysShowSelection());
    // The built-in marks are 17 x 17; the classic check metric (13) is smaller, so the
    // check column is the mark's width + 4.
    EXPECT_EQ(d->GlyphWidth(), 17);
    EXPECT_EQ(d->GlyphHeight(), 17);
    EXPECT_EQ(d->CheckWidth(), 21);
    EXPECT_EQ(d->CheckHeight(), 21);
    EXPECT_FALSE(d->BannerInvalid());
}

TEST(PopupDecorator, MarkBitmapsArePixelForPixel) {
    Fixture fx;
    auto* d = new TPopupDecorator(fx.form.get());
    auto check = [](const TBitmap& bmp, std::vector<std::array<int, 2>> black,
                    std::vector<std::array<int, 2>> white) {
        ASSERT_EQ(bmp.Width(), 17);
        ASSERT_EQ(bmp.Height(), 17);
        EXPECT_EQ(bmp.PixelFormat(), pf4bit);
        QImage img = bmp.ToRGBImage();
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 17; ++x) {
                std::array<int, 2> p{x, y};
                QRgb want = (x + y) % 2 == 0 ? qRgb(192, 192, 192) : qRgb(255, 255, 255);
                if (std::find(black.begin(), black.end(), p) != black.end()) want = qRgb(0, 0, 0);
                if (std::find(white.begin(), white.end(), p) != white.end())
                    want = qRgb(255, 255, 255);
                EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, want & 0xFFFFFF) << x << "," << y;
            }
    };
    check(d->CheckMarkBitmap(),
          {{11, 6},
           {10, 7},
           {11, 7},
           {5, 8},
           {9, 8},
           {10, 8},
           {5, 9},
           {6, 9},
           {8, 9},
           {9, 9},
           {6, 10},
           {7, 10},
           {8, 10},
           {7, 11}},
          {{12, 6}, {4, 8}});
    check(d->RadioMarkBitmap(), {{7, 6},  {8, 6}, {9, 6}, {6, 7},  {7, 7},  {8, 7},  {9, 7},
                                 {10, 7}, {6, 8}, {7, 8}, {8, 8},  {9, 8},  {10, 8}, {6, 9},
                                 {7, 9},  {8, 9}, {9, 9}, {10, 9}, {7, 10}, {8, 10}, {9, 10}},
          {{11, 9}, {10, 10}, {7, 11}, {9, 11}});
}

TEST(PopupDecorator, ItemHeightsAndWidths) {
    Fixture fx;
    TMenuItem* open = fx.Add("&Open");
    TMenuItem* save = fx.Add("Save");
    TMenuItem* sub = fx.Add("More");
    TMenuItem* only = fx.Add(sub, "Only");
    auto* d = fx.Decorate();
    // "Small Fonts" at 9 pixels: the 17-pixel marks + 4 win over the text line + 6.
    EXPECT_EQ(Measure(*fx.form, open).cy, 21);
    EXPECT_EQ(Measure(*fx.form, only).cy, 21);

    // Every item of a level gets the same width, apart from the "&" correction, and the
    // banner level is wider by BannerWidth.
    TSize wOpen = Measure(*fx.form, open), wSave = Measure(*fx.form, save);
    QFontMetrics fm(ToQFont(*d->Font()));
    EXPECT_EQ(wSave.cx - wOpen.cx, fm.horizontalAdvance(QStringLiteral("&")));
    EXPECT_EQ(Measure(*fx.form, sub).cx, wSave.cx);
    d->SetBannerWidth(33);
    EXPECT_EQ(Measure(*fx.form, save).cx - wSave.cx, 13);
    // A single item in a level: half a check column more than its text alone would get.
    int onlyWidth = Measure(*fx.form, only).cx;
    EXPECT_EQ(onlyWidth,
              ctl::LevelItemWidth({{d->TextSize("Only").cx, 0, false}}, 21, false) + 21 / 2);
    // Fixed sizes are used as they are; the event changes what is answered.
    d->SetItemHeight(30);
    d->SetItemWidth(77);
    EXPECT_EQ(Measure(*fx.form, save).cx, 77);
    EXPECT_EQ(Measure(*fx.form, save).cy, 30);
    d->OnMeasureItem.Set([](TMenu*, TMenuItem*, int& h, int& w) {
        h += 1;
        w += 2;
    });
    EXPECT_EQ(Measure(*fx.form, save).cy, 31);
    EXPECT_EQ(Measure(*fx.form, save).cx, 79);
}

TEST(LevelItemWidth, SiblingRules) {
    const int cw = 21;
    // A single item: its text, half a check column, and the check column.
    EXPECT_EQ(ctl::LevelItemWidth({{50, 0, false}}, cw, true), 50 + 10 + 21);
    // An item with children gets a whole check column for its arrow.
    EXPECT_EQ(ctl::LevelItemWidth({{50, 0, true}, {60, 0, false}}, cw, false), 50 + 21 + 21);
    // Shortcuts: two columns, the widest text with a shortcut beside the widest shortcut.
    EXPECT_EQ(ctl::LevelItemWidth({{40, 30, false}, {70, 0, false}}, cw, false), 40 + 30 + 42);
    // Unless the widest text without one is wider still.
    EXPECT_EQ(ctl::LevelItemWidth({{10, 5, false}, {100, 0, false}}, cw, false), 100 + 21);
    // An item without a parent starts from its own widths.
    EXPECT_EQ(ctl::LevelItemWidth({{10, 0, false}, {20, 0, false}}, cw, false, 90, 0), 90 + 21);
}

TEST(PopupDecorator, AccessKeysCountOnlyVisibleItemsAndSkipDisabledOnes) {
    Fixture fx;
    TMenuItem* hidden = fx.Add("&Alpha");
    hidden->SetVisible(false);
    TMenuItem* gray = fx.Add("&Beta");
    gray->SetEnabled(false);
    fx.Add("&bravo");
    fx.Add("De&lta && co");
    fx.Add("Echo && &&F");
    auto* d = fx.Decorate();
    TMenuHandle* top = fx.menu->Handle();
    EXPECT_EQ(d->FindAccelerator('b', top), 1);  // "&Beta" is passed over
    EXPECT_EQ(d->FindAccelerator('B', top), 1);
    EXPECT_EQ(d->FindAccelerator('a', top), -1);  // hidden
    EXPECT_EQ(d->FindAccelerator('L', top), 2);
    EXPECT_EQ(d->FindAccelerator('f', top), -1);  // "&&" is no access key
    EXPECT_EQ(d->FindAccelerator('b', nullptr), -1);

    // Answered through the form's procedure as an execute request.
    TMessage m{WM_MENUCHAR, TMenuChar{u'l', top}};
    fx.form->WindowProc(m);
    EXPECT_EQ(m.Get<TMenuChar>()->Answer, MNC_EXECUTE);
    EXPECT_EQ(m.Get<TMenuChar>()->Position, 2);
}

TEST(PopupDecorator, OwnerDrawingLeavesSeparatorsAndKeepsSubmenus) {
    Fixture fx;
    TMenuItem* a = fx.Add("A");
    TMenuItem* line = fx.Add("-");
    TMenuItem* titled = fx.Add("-Tools");
    TMenuItem* sub = fx.Add("Sub");
    TMenuItem* inner = fx.Add(sub, "Inner");
    auto* d = fx.Decorate();
    TMenuHandle* h = fx.menu->Handle();
    auto type = [&](TMenuItem* i) {
        unsigned t = 0;
        EXPECT_TRUE(GetMenuItemType(h, i->Command(), false, t));
        return t;
    };
    EXPECT_TRUE(type(a) & MFT_OWNERDRAW);
    EXPECT_FALSE(type(line) & MFT_OWNERDRAW);
    EXPECT_TRUE(type(line) & MFT_SEPARATOR);
    EXPECT_TRUE(type(titled) & MFT_OWNERDRAW);
    EXPECT_TRUE(type(sub) & MFT_OWNERDRAW);
    EXPECT_TRUE(type(inner) & MFT_OWNERDRAW);
    TMenuEntry* e = FindMenuEntry(h, sub->Command(), MF_BYCOMMAND);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->submenu, sub->Handle());
    EXPECT_EQ(e->owner, static_cast<const void*>(static_cast<ctl::TCustomMenuDecorator*>(d)));

    // A change to an item rebuilds the entries as text; the hooks convert them again.
    a->SetCaption("A2");
    EXPECT_TRUE(type(a) & MFT_OWNERDRAW);

    // Taking the menu away gives the plain text back.
    d->SetPopupMenu(nullptr);
    EXPECT_FALSE(type(a) & MFT_OWNERDRAW);
    EXPECT_EQ(FindMenuEntry(h, a->Command(), MF_BYCOMMAND)->text, "A2");
    EXPECT_TRUE(type(line) & MFT_SEPARATOR);
}

// Counts what reaches the popup-list hook of each decorator.
class CountingDecorator : public TPopupDecorator {
  public:
    using TPopupDecorator::TPopupDecorator;
    int seen = 0;

  protected:
    void PopupListWndProc(TMessage& m) override {
        if (m.Msg == WM_USER) ++seen;
        TPopupDecorator::PopupListWndProc(m);
    }
};

struct FirstProcedure {
    int* calls;
    void operator()(TMessage& m) const {
        if (m.Msg == WM_USER) ++*calls;
    }
};

TEST(PopupDecorator, PopupListHooksReleaseInAnyOrderLeavingTheFirstProcedure) {
    ctltest::EnsureApp();
    TWindowProcedure saved = PopupList().WindowProc;
    int firstCalls = 0;
    PopupList().WindowProc = FirstProcedure{&firstCalls};
    std::array<int, 3> order{0, 1, 2};
    do {
        Fixture fx;
        std::array<CountingDecorator*, 3> d{};
        for (auto*& p : d) {
            p = new CountingDecorator(fx.form.get());
            p->SetPopupMenu(fx.menu);
        }
        EXPECT_EQ(ctl::TCustomPopupDecorator::HookedCount(), 3);
        std::vector<CountingDecorator*> alive(d.begin(), d.end());
        for (int k : order) {
            auto* gone = d[static_cast<size_t>(k)];
            alive.erase(std::find(alive.begin(), alive.end(), gone));
            TComponent::Free(gone);
            for (auto* p : alive) p->seen = 0;
            firstCalls = 0;
            SendPopupList(WM_USER);
            // The chain stays whole: every remaining hook and the first procedure once.
            for (auto* p : alive) EXPECT_EQ(p->seen, 1);
            EXPECT_EQ(firstCalls, 1);
        }
        EXPECT_EQ(ctl::TCustomPopupDecorator::HookedCount(), 0);
        EXPECT_NE(PopupList().WindowProc.target<FirstProcedure>(), nullptr);
    } while (std::next_permutation(order.begin(), order.end()));
    PopupList().WindowProc = saved;
}

struct FormProcedure {
    int* calls;
    void operator()(TMessage& m) const {
        if (m.Msg == WM_LBUTTONDOWN) ++*calls;
    }
};

TEST(PopupDecorator, FormHooksReleasedNewestFirstGiveTheFormItsProcedure) {
    Fixture fx;
    int formCalls = 0;
    fx.form->WindowProc = FormProcedure{&formCalls};
    std::array<TPopupDecorator*, 3> d{};
    for (auto*& p : d) p = fx.Decorate();
    // The form's own handling of messages no hook consumes runs as before.
    fx.form->Perform(WM_LBUTTONDOWN);
    EXPECT_EQ(formCalls, 1);
    for (int i = 2; i >= 0; --i) TComponent::Free(d[static_cast<size_t>(i)]);
    EXPECT_NE(fx.form->WindowProc.target<FormProcedure>(), nullptr);
    fx.form->Perform(WM_LBUTTONDOWN);
    EXPECT_EQ(formCalls, 2);
}

TEST(PopupDecorator, DefaultFontFollowsTheSystemMenuFont) {
    Fixture fx;
    auto* d = new TPopupDecorator(fx.form.get());
    d->SetPopupMenu(fx.menu);
    d->Font()->SetName("Arial");
    EXPECT_FALSE(d->DefaultFont());
    d->SetDefaultFont(true);
    EXPECT_EQ(d->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(d->HiliteFont()->Name(), "MS Sans Serif");
    EXPECT_TRUE(d->DefaultFont());
    d->HiliteFont()->SetName("Arial");
    EXPECT_FALSE(d->DefaultFont());
    // A settings change reloads the font only while DefaultFont is set.
    d->SetDefaultFont(true);
    d->Font()->SetHeight(-20);  // clears DefaultFont
    fx.form->Perform(WM_SETTINGCHANGE);
    EXPECT_EQ(d->Font()->Height(), -20);
}

struct InkExtent {
    int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
};

// Rendering: the engine opens the decorated menu offscreen and the level's window is
// grabbed.
class DecoratedMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        checked = fx.Add("&Checked");
        checked->SetChecked(true);
        titled = fx.Add("-Tools");
        disabled = fx.Add("&Disabled");
        disabled->SetEnabled(false);
        last = fx.Add("&Last|Files");
        d = fx.Decorate();
        d->SetBanner(true);
        d->SetBannerWidth(13);
        d->SetBannerNumColors(40);
        d->SetBannerColor(clBlack);
        d->SetBannerEndColor(RGB(181, 208, 192));
        d->BannerFont()->SetHeight(-11);
        d->BannerFont()->SetStyle(fsBold);
        d->SetBannerText("Banner");
        d->SetHiliteBar(RGB(0, 0, 128));
        d->HiliteFont()->SetColor(clWhite);
    }
    QImage Open(int selectKeys) {
        tracker = std::make_unique<TMenuTracker>(*fx.menu);
        tracker->Open(20, 20);
        for (int i = 0; i < selectKeys; ++i) tracker->KeyPress(Qt::Key_Down, {});
        return tracker->Level(0)->Widget()->grab().toImage();
    }
    // Client coordinates of the level to image coordinates.
    QRgb At(const QImage& img, int x, int y) const {
        return img.pixel(x + kMenuFrame, y + kMenuFrame) & 0xFFFFFF;
    }
    TRect Entry(int i) const { return tracker->Level(0)->EntryRect(i); }
    // Colours seen inside a client rectangle.
    std::vector<QRgb> Colours(const QImage& img, TRect r) const {
        std::vector<QRgb> out;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                QRgb c = At(img, x, y);
                if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
            }
        return out;
    }
    // Where the strip's white text ink lies.
    InkExtent Ink(const QImage& img, int h) const {
        InkExtent e;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 13; ++x)
                if (At(img, x, y) == 0xFFFFFF) {
                    e.top = std::min(e.top, y);
                    e.bottom = std::max(e.bottom, y);
                    e.left = std::min(e.left, x);
                    e.right = std::max(e.right, x);
                }
        return e;
    }
    static bool Has(const std::vector<QRgb>& v, QRgb c) {
        return std::find(v.begin(), v.end(), c) != v.end();
    }

    Fixture fx;
    TMenuItem *checked, *titled, *disabled, *last;
    TPopupDecorator* d = nullptr;
    std::unique_ptr<TMenuTracker> tracker;
};

TEST_F(DecoratedMenu, BannerBandsAndTurnedText) {
    QImage img = Open(0);
    const TRect strip = d->BannerRect();
    const int h = Entry(3).Bottom;
    EXPECT_EQ(strip, Rect(0, 0, 13, h));
    for (const ctl::ColorBand& band : ctl::ColorBands(40, 0, h, clBlack, RGB(181, 208, 192))) {
        if (band.bottom == band.top) continue;
        // The band's colour at the strip's right edge, clear of the text.
        QRgb want = qRgb(GetRValue(band.color), GetGValue(band.color), GetBValue(band.color));
        EXPECT_EQ(At(img, 12, band.top), want & 0xFFFFFF) << "row " << band.top;
    }
    EXPECT_EQ(At(img, 12, 0), 0u);
    EXPECT_EQ(At(img, 12, h - 1), qRgb(181, 208, 192) & 0xFFFFFF);
    // The first item painted after the opening has no banner text of its own: the strip
    // shows BannerText. White ink lies only inside the strip, vertically centred.
    InkExtent ink = Ink(img, h);
    ASSERT_GE(ink.bottom, 0) << "no turned text";
    EXPECT_GE(ink.left, 0);
    EXPECT_LT(ink.right, 13);
    QFontMetrics fm(ToQFont(*d->BannerFont()));
    const int banner = fm.horizontalAdvance(QStringLiteral("Banner"));
    EXPECT_LE(ink.bottom - ink.top + 1, banner);
    EXPECT_GT(ink.bottom - ink.top + 1, banner * 2 / 3);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, h / 2, 3);
}

TEST_F(DecoratedMenu, AnItemsBannerTextWinsWhenItIsPaintedFirst) {
    checked->SetCaption("&Checked|Files");
    QImage img = Open(0);
    InkExtent ink = Ink(img, Entry(3).Bottom);
    QFontMetrics fm(ToQFont(*d->BannerFont()));
    const int files = fm.horizontalAdvance(QStringLiteral("Files"));
    ASSERT_GE(ink.bottom, 0);
    EXPECT_LE(ink.bottom - ink.top + 1, files);
    EXPECT_GT(ink.bottom - ink.top + 1, files * 2 / 3);
    // The item itself shows only the text before the separator.
    EXPECT_EQ(ctl::CaptionText(checked->Caption(), '|'), "&Checked");
}

TEST_F(DecoratedMenu, CheckCellsHighlightTitledSeparatorAndDisabledText) {
    // Not selected: the checked item's mark sits in a sunken cell.
    QImage img = Open(0);
    TRect c = Entry(0);
    const int left = c.Left + 13 + 2;  // narrowed beside the strip
    const QRgb shadow = 0x808080, light = 0xFFFFFF, face = 0xC0C0C0, navy = 0x000080;
    EXPECT_EQ(At(img, left, c.Top), shadow);
    EXPECT_EQ(At(img, left + 20, c.Top + 20), light);
    EXPECT_EQ(At(img, left + 1 + 11, c.Top + 1 + 6), 0u);    // a black pixel of the mark
    EXPECT_EQ(At(img, left + 1 + 12, c.Top + 1 + 6), face);  // white mark pixel in Brush colour

    // Disabled, not selected: the text in button highlight, then in button shadow.
    std::vector<QRgb> text =
        Colours(img, Rect(left + 24, Entry(2).Top, Entry(2).Right - 14, Entry(2).Bottom));
    EXPECT_TRUE(Has(text, light));
    EXPECT_TRUE(Has(text, shadow));

    // Selected: the cell is raised and the bar has the HiliteBar colour.
    img = Open(1);
    EXPECT_EQ(tracker->Level(0)->Selected(), 0);
    EXPECT_EQ(At(img, left, c.Top), light);
    EXPECT_EQ(At(img, left + 20, c.Top + 20), shadow);
    EXPECT_EQ(At(img, c.Right - 14, c.Top + 2), navy);

    // A selected disabled item (AlwaysShowSelection): on the bar, its text in highlight only.
    tracker->MouseMove(QPoint(tracker->Level(0)->ScreenClientRect().Left + Entry(2).Left + 40,
                              tracker->Level(0)->ScreenClientRect().Top + Entry(2).Top + 5));
    ASSERT_EQ(tracker->Level(0)->Selected(), 2);
    img = tracker->Level(0)->Widget()->grab().toImage();
    text = Colours(img, Rect(left + 24, Entry(2).Top, Entry(2).Right - 14, Entry(2).Bottom));
    EXPECT_TRUE(Has(text, navy));
    EXPECT_TRUE(Has(text, light));
    EXPECT_FALSE(Has(text, shadow));
    EXPECT_FALSE(titled->Enabled());  // a titled separator disables its item
}

TEST_F(DecoratedMenu, TitledSeparatorIsEtchedUnlessTheFillCoversIt) {
    d->SetAlwaysShowSelection(false);
    QImage img = Open(0);
    TRect t = Entry(1);
    const int mid = t.Top + t.Height() / 2, x = t.Left + 13 + 2 + 3;
    EXPECT_EQ(At(img, x, mid), 0x808080u);
    EXPECT_EQ(At(img, x, mid + 1), 0xFFFFFFu);
    tracker.reset();
    d->SetAlwaysShowSelection(true);
    img = Open(0);
    EXPECT_EQ(At(img, x, mid), 0xC0C0C0u);
}

TEST_F(DecoratedMenu, FlatLookDrawsNoCellFrame) {
    d->SetMenuLook(ctl::mlFlatLook);
    QImage img = Open(0);
    TRect c = Entry(0);
    const int left = c.Left + 13 + 2;
    EXPECT_EQ(At(img, left, c.Top), 0xC0C0C0u);
    EXPECT_EQ(At(img, left + 1 + 11, c.Top + 1 + 6), 0u);
}

TEST_F(DecoratedMenu, HintsOwnerDrawingEventAndEmptyCaptions) {
    // The application hint lives in the application; other tests of this program may have
    // left theirs in place.
    std::unique_ptr<TAppController> own;
    if (!Application) own = std::make_unique<TAppController>(nullptr);
    ASSERT_NE(Application, nullptr);
    TAppController& app = *Application;
    checked->SetHint("check it");
    d->OnHint.Set([](TMenu*, TMenuItem*, const std::string& hint) { return hint + "!"; });
    Open(1);  // the checked item painted selected
    EXPECT_EQ(checked->Hint(), "check it!");
    EXPECT_EQ(app.Hint(), "check it!");

    // An item whose handler paints it gets nothing from the decorator, banner included.
    tracker.reset();
    std::vector<TMenuItem*> drawnByHandler;
    d->OnDrawItem.Set([&](TMenu*, TMenuItem* item, const TRect&, unsigned) {
        drawnByHandler.push_back(item);
        return item == last;
    });
    QImage img = Open(0);
    EXPECT_NE(std::find(drawnByHandler.begin(), drawnByHandler.end(), last), drawnByHandler.end());
    TRect r = Entry(3);
    EXPECT_EQ(At(img, r.Right - 14, r.Top + 2), 0xC0C0C0u);  // the level's own face only

    // An empty caption becomes one space the first time it is painted.
    tracker.reset();
    d->OnDrawItem.Set(nullptr);
    TMenuItem* blank = fx.Add("");
    Open(0);
    EXPECT_EQ(blank->Caption(), " ");
}

TEST_F(DecoratedMenu, ImagesWidenTheGlyphColumnAndConvertTheItemsAgain) {
    TImageList list(nullptr);
    list.SetSize(24, 22);
    TBitmap picture(24, 22);
    picture.Canvas().Brush().SetColor(clRed);
    picture.Canvas().FillRect(Rect(4, 4, 20, 18));
    list.Add(picture, nullptr);
    d->SetImages(&list);
    EXPECT_EQ(d->GlyphWidth(), 24);
    EXPECT_EQ(d->GlyphHeight(), 22);
    EXPECT_EQ(d->CheckWidth(), 28);
    EXPECT_EQ(d->CheckHeight(), 26);
    unsigned type = 0;
    ASSERT_TRUE(GetMenuItemType(fx.menu->Handle(), last->Command(), false, type));
    EXPECT_TRUE(type & MFT_OWNERDRAW);
    // Tag 0 selects image 0: drawn at (Left + 2, Top + 2) of the item.
    last->SetTag(0);
    QImage img = Open(0);
    TRect r = Entry(3);
    EXPECT_EQ(At(img, r.Left + 15 + 2 + 10, r.Top + 2 + 10), 0xFF0000u);
    tracker.reset();
    d->SetImages(nullptr);
    EXPECT_EQ(d->GlyphWidth(), 17);
}

}  // namespace
