// The marquee: step, wrap and entry arithmetic, the setters' rules, loading from a
// description, independence of two labels, and the painted pixels.
#include "widgets/scrolllabel.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QPaintEvent>
#include <QWidget>

#include "controls_testsupport.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/graphics/bitmap.h"
#include "framework/text/componenttext.h"

using namespace ctl;
using fw::ComponentPtr;
using fw::TForm;

namespace {

// --- arithmetic, no window --------------------------------------------------------------

struct WrapCase {
    TScrollDirection dir;
    int before;   // the moving coordinate one step before the edge
    int wrapped;  // where the text re-enters
    int startAt;  // entry position after a change to dir
};

TEST(ScrollMotion, EachDirectionStepsToItsEdgeThenWrapsAndStartsOutsideTheFarEdge) {
    // Client 60 x 13, text 25 x 11.
    const WrapCase cases[] = {
        {LeftToRight, 58, -25, -25},
        {RightToLeft, -23, 60, 60},
        {TopToBottom, 11, -11, -11},
        {BottomToTop, -9, 13, 13},
    };
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(ScrollDirectionInfo().names[c.dir]);
        const bool horizontal = c.dir == LeftToRight || c.dir == RightToLeft;
        const int sign = (c.dir == LeftToRight || c.dir == TopToBottom) ? 1 : -1;
        ScrollMotion m;
        (horizontal ? m.x : m.y) = c.before;
        (horizontal ? m.y : m.x) = 7;  // the cross coordinate is pinned to 1
        m.Advance(c.dir, 1, 60, 13, 25, 11);
        EXPECT_EQ(horizontal ? m.x : m.y, c.before + sign) << "one step short of the edge";
        EXPECT_EQ(horizontal ? m.y : m.x, 1);
        m.Advance(c.dir, 1, 60, 13, 25, 11);
        EXPECT_EQ(horizontal ? m.x : m.y, c.wrapped) << "reaching the edge wraps";
        m.Start(c.dir, 60, 13);
        EXPECT_EQ(horizontal ? m.x : m.y, c.startAt);
        EXPECT_EQ(horizontal ? m.y : m.x, 1);
    }
}

TEST(ScrollMotion, StepsOfZeroAndOfTwoHundredFiftyFive) {
    ScrollMotion still;
    still.x = 17;
    for (int i = 0; i < 5; ++i) still.Advance(RightToLeft, 0, 60, 13, 40, 11);
    EXPECT_EQ(still.x, 17);

    // One step below 0 in the speed command: every step wraps, the text never shows.
    ScrollMotion fast;
    fast.Start(RightToLeft, 60, 13);
    for (int i = 0; i < 5; ++i) {
        fast.Advance(RightToLeft, 255, 60, 13, 40, 11);
        EXPECT_EQ(fast.x, 60);
    }
}

TEST(ScrollMotion, WideTextLeavesCompletelyBeforeItWraps) {
    ScrollMotion m;
    m.Start(RightToLeft, 60, 13);
    int steps = 0;
    do {
        m.Advance(RightToLeft, 1, 60, 13, 150, 11);
        ++steps;
    } while (m.x != 60 && steps < 1000);
    EXPECT_EQ(steps, 60 + 150);  // from the right edge until its last column is gone
}

TEST(ScrollMotion, NewTextWidthRulesTheWrapFromTheNextStepAndTheNextStart) {
    ScrollMotion m;
    m.x = -50;
    m.Advance(RightToLeft, 1, 60, 13, 100, 11);
    EXPECT_EQ(m.x, -51);  // the long text is still partly inside
    m.Advance(RightToLeft, 1, 60, 13, 40, 11);
    EXPECT_EQ(m.x, 60);  // the short text has long left
    m.Start(LeftToRight, 60, 13);
    EXPECT_EQ(m.x, -40);

    ScrollMotion fresh;  // nothing measured yet
    fresh.Start(TopToBottom, 60, 13);
    EXPECT_EQ(fresh.y, 0);
}

// --- the component -----------------------------------------------------------------------

class ScrollLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctltest::EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 120, 40);
        form_->SetColor(fw::clWhite);
    }
    TScrollLabel* AddLabel(int left, int top, int width, int height) {
        auto* l = new TScrollLabel(form_.get());
        l->SetParent(form_.get());
        l->SetBounds(left, top, width, height);
        l->Font()->SetColor(fw::clBlack);
        l->Font()->SetHeight(-12);
        return l;
    }
    QImage Grab() {
        return form_->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    ComponentPtr<TForm> form_;
};

TEST_F(ScrollLabelTest, StartsWithItsDeclaredValuesAndATimerUnderTheForm) {
    TScrollLabel* l = AddLabel(0, 0, 60, 13);
    EXPECT_EQ(l->Caption(), "ScrollLabel");
    EXPECT_EQ(l->TControl::Caption(), "");  // the base label's text is not the marquee's
    EXPECT_EQ(l->Interval(), 100);
    EXPECT_EQ(l->ScrollBy(), 1);
    EXPECT_EQ(l->ScrollDirection(), LeftToRight);
    EXPECT_TRUE(l->Transparent());
    ASSERT_NE(l->Timer(), nullptr);
    EXPECT_EQ(l->Timer()->Owner(), form_.get());
    EXPECT_EQ(l->Timer()->Interval(), 100u);
    EXPECT_TRUE(l->Active());
    EXPECT_TRUE(l->Timer()->Running());
}

TEST_F(ScrollLabelTest, RegistersItsTimersClassSoAStoredFormCanBeRead) {
    // Whoever else registered the timer class, the label does so itself.
    fw::UnregisterClass("TTimer");
    ASSERT_EQ(fw::FindClass("TTimer"), nullptr);
    AddLabel(0, 0, 60, 13);
    const fw::TClassInfo* timer = fw::FindClass("TTimer");
    EXPECT_EQ(timer, &fw::TTimer::StaticClassInfo());
    if (!timer) fw::RegisterClass(fw::TTimer::StaticClassInfo());  // for the tests after this
}

TEST_F(ScrollLabelTest, SettersKeepTheirRules) {
    TScrollLabel* l = AddLabel(0, 0, 60, 13);
    for (int bad : {0, 1001, -5}) {
        l->SetInterval(bad);
        EXPECT_EQ(l->Interval(), 100) << bad;
        EXPECT_EQ(l->Timer()->Interval(), 100u) << bad;
    }
    for (int good : {1, 1000, 50}) {
        l->SetInterval(good);
        EXPECT_EQ(l->Timer()->Interval(), static_cast<unsigned>(good));
    }
    l->SetScrollBy(0);
    EXPECT_EQ(l->ScrollBy(), 0);
    l->SetScrollBy(255);
    EXPECT_EQ(l->ScrollBy(), 255);

    l->SetActive(false);
    EXPECT_FALSE(l->Active());
    EXPECT_FALSE(l->Timer()->Running());
    l->SetActive(true);
    EXPECT_TRUE(l->Timer()->Running());
}

TEST_F(ScrollLabelTest, DirectionChangeRestartsButTheSameDirectionAndACaptionChangeDoNot) {
    TScrollLabel* l = AddLabel(0, 0, 60, 13);
    l->SetScrollDirection(RightToLeft);
    EXPECT_EQ(l->Motion().x, 60);
    for (int i = 0; i < 3; ++i) Grab();
    EXPECT_EQ(l->Motion().x, 57);
    l->SetScrollDirection(RightToLeft);
    EXPECT_EQ(l->Motion().x, 57);
    l->SetCaption("another text");
    EXPECT_EQ(l->Motion().x, 57);
    Grab();
    EXPECT_EQ(l->Motion().x, 56);  // the new text goes on from where the old one stood
    const int width = l->Motion().textWidth;
    l->SetScrollDirection(LeftToRight);
    EXPECT_EQ(l->Motion().x, -width);
    EXPECT_EQ(l->Motion().y, 1);
}

TEST_F(ScrollLabelTest, LoadsFromADescriptionAndEntersAtTheRightEdge) {
    fw::ReadRootComponent(*form_,
                          "object Form1: TForm\n"
                          "  object label2: TScrollLabel\n"
                          "    Left = 78\n    Top = 31\n    Width = 67\n    Height = 13\n"
                          "    Caption = 'Loading Hostname...'\n"
                          "    Interval = 50\n"
                          "    ScrollDirection = RightToLeft\n"
                          "  end\n"
                          "end\n");
    auto* l = dynamic_cast<TScrollLabel*>(form_->FindComponent("label2"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Width(), 67);  // the empty base text does not size it
    EXPECT_EQ(l->Motion().x, 67);
    EXPECT_EQ(l->Motion().y, 1);
    EXPECT_EQ(l->Timer()->Interval(), 50u);
    EXPECT_TRUE(l->Timer()->Running());
    Grab();
    EXPECT_EQ(l->Motion().x, 66);

    const std::string text = fw::WriteComponentText(*l);
    EXPECT_NE(text.find("Caption = 'Loading Hostname...'"), std::string::npos) << text;
    EXPECT_NE(text.find("ScrollDirection = RightToLeft"), std::string::npos) << text;
    for (const char* absent : {"AutoSize", "Transparent", "ScrollBy", "Active"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent << " in\n" << text;
}

TEST_F(ScrollLabelTest, TwoLabelsScrollIndependently) {
    TScrollLabel* a = AddLabel(0, 0, 67, 13);
    TScrollLabel* b = AddLabel(0, 20, 40, 13);
    a->SetScrollDirection(RightToLeft);
    b->SetScrollDirection(TopToBottom);
    b->SetScrollBy(2);
    for (int i = 0; i < 3; ++i) Grab();
    EXPECT_EQ(a->Motion().x, 64);
    EXPECT_EQ(a->Motion().y, 1);
    EXPECT_EQ(b->Motion().x, 1);
    EXPECT_EQ(b->Motion().y, 6);

    fw::TBitmap surface(120, 40);
    a->PaintControl(surface.Canvas());
    EXPECT_EQ(a->Motion().x, 63);
    EXPECT_EQ(b->Motion().y, 6);  // painting one leaves the other where it was
}

// A neighbour repainting over part of the label must not step the text (it would tear it
// and speed the marquee up); a paint of all the label that the window shows steps it.
TEST_F(ScrollLabelTest, OnlyAPaintOfAllOfTheShownLabelStepsTheText) {
    TScrollLabel* l = AddLabel(10, 10, 67, 13);
    l->SetScrollDirection(RightToLeft);
    fw::TBitmap surface(120, 40);
    l->PaintControl(surface.Canvas(), fw::Rect(74, 10, 85, 25));  // its last three columns
    EXPECT_EQ(l->Motion().x, 67);
    l->PaintControl(surface.Canvas(), fw::Rect(0, 0, 120, 40));
    EXPECT_EQ(l->Motion().x, 66);
    // Partly outside the window: the shown part is all there is to paint.
    TScrollLabel* cut = AddLabel(100, 20, 67, 13);
    cut->SetScrollDirection(LeftToRight);
    const int start = cut->Motion().x;
    cut->PaintControl(surface.Canvas(), fw::Rect(100, 20, 120, 33));
    EXPECT_EQ(cut->Motion().x, start + 1);
}

TEST_F(ScrollLabelTest, FreedWithTheFormOrAloneWithoutLeavingItsTimerBehind) {
    const int before = form_->ComponentCount();
    TScrollLabel* l = AddLabel(0, 0, 60, 13);
    EXPECT_EQ(form_->ComponentCount(), before + 2);
    fw::TComponent::Free(l);
    EXPECT_EQ(form_->ComponentCount(), before);

    // The owner may free the timer first; the label then has none to free or drive.
    l = AddLabel(0, 0, 60, 13);
    fw::TComponent::Free(l->Timer());
    EXPECT_EQ(l->Timer(), nullptr);
    EXPECT_FALSE(l->Active());
    l->SetInterval(200);
    l->SetActive(true);
    AddLabel(0, 20, 60, 13);
    form_.reset();  // frees the remaining labels and timer in the owner's order
}

// Records the regions the form's widget is asked to repaint.
class PaintSpy : public QObject {
  public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(ScrollLabelTest, ATickRepaintsOnlyTheLabelAndAdvancesIt) {
    TScrollLabel* l = AddLabel(30, 12, 60, 13);
    l->SetScrollDirection(RightToLeft);
    QWidget* w = form_->Handle();
    w->show();
    QCoreApplication::processEvents();
    l->SetActive(false);  // only the tick we raise by hand
    PaintSpy spy;
    w->installEventFilter(&spy);
    const int x = l->Motion().x;
    l->Timer()->OnTimer(l->Timer());
    QCoreApplication::processEvents();
    w->removeEventFilter(&spy);
    EXPECT_EQ(spy.painted, QRegion(30, 12, 60, 13));
    EXPECT_EQ(l->Motion().x, x - 1);
}

TEST_F(ScrollLabelTest, ItsOwnTimerDrivesTheText) {
    TScrollLabel* l = AddLabel(30, 12, 60, 13);
    l->SetInterval(1);
    form_->Handle()->show();
    QCoreApplication::processEvents();
    const int x = l->Motion().x;
    QElapsedTimer guard;  // only keeps a broken timer from hanging the run
    guard.start();
    while (l->Motion().x < x + 3 && guard.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(l->Motion().x, x + 3);
}

// --- pixels ------------------------------------------------------------------------------

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

int DarkCount(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += Dark(img, x, y);
    return n;
}

TEST_F(ScrollLabelTest, PaintedTextMovesByTheStepAndStaysInsideTheLabel) {
    TScrollLabel* l = AddLabel(10, 10, 60, 16);
    l->SetCaption("MWMWMWMWMWMWMWMW");  // wider than the label
    l->SetScrollDirection(RightToLeft);
    l->SetScrollBy(3);
    while (l->Motion().x > 24) Grab();
    const QImage a = Grab();
    const QImage b = Grab();
    const QRect label(10, 10, 60, 16);
    ASSERT_GT(DarkCount(a, label), 20);
    // Every pixel of the second picture is the first one's, three columns to the right.
    int mismatches = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x + 3 <= label.right(); ++x)
            mismatches += Dark(b, x, y) != Dark(a, x + 3, y);
    EXPECT_EQ(mismatches, 0);
    // Clipped to the label: the rest of the form stays white.
    const QRect whole(0, 0, 120, 40);
    EXPECT_EQ(DarkCount(b, whole), DarkCount(b, label));
}

TEST_F(ScrollLabelTest, StepZeroRepaintsInPlaceAndStep255ShowsNothing) {
    TScrollLabel* l = AddLabel(10, 10, 60, 16);
    l->SetCaption("Host");
    l->SetScrollDirection(RightToLeft);
    while (l->Motion().x > 20) Grab();
    l->SetScrollBy(0);
    const QImage a = Grab();
    const QImage b = Grab();
    EXPECT_GT(DarkCount(a, QRect(10, 10, 60, 16)), 0);
    EXPECT_EQ(a, b);

    l->SetScrollBy(255);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(DarkCount(Grab(), QRect(0, 0, 120, 40)), 0);
        EXPECT_EQ(l->Motion().x, 60);
    }
}

}  // namespace

// The caption's size is kept between steps; a new caption or font must still rule the wrap.
TEST_F(ScrollLabelTest, ANewCaptionOrFontChangesTheCycleLength) {
    TScrollLabel* l = AddLabel(30, 12, 60, 13);
    l->SetScrollDirection(RightToLeft);
    l->SetCaption("Wi");
    QWidget* w = form_->Handle();
    w->show();
    l->SetActive(false);
    auto cycle = [&] {  // steps from one wrap to the next
        int n = 0, prev = l->Motion().x;
        while (n < 2000) {
            l->Timer()->OnTimer(l->Timer());
            QCoreApplication::processEvents();
            ++n;
            if (l->Motion().x > prev) return n;
            prev = l->Motion().x;
        }
        return -1;
    };
    cycle();
    const int small = cycle();
    ASSERT_GT(small, 60);
    l->Font()->SetHeight(-30);
    cycle();
    const int large = cycle();
    EXPECT_GT(large, small);
    l->SetCaption("Wi Wi Wi");
    cycle();
    EXPECT_GT(cycle(), large);
}
