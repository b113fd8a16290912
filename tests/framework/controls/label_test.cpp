// Labels keep their measured lines between paints; whatever changes the text's size or place
// must still show at the next paint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "framework/controls/forms.h"
#include "framework/controls/labels.h"
#include "tests/support/qtapp.h"

using namespace fw;

namespace {

void EnsureApp() { testsupport::EnsureQtApp(); }

// Columns [first, last] holding ink (not the white background) in the form's image.
std::pair<int, int> InkColumns(TForm& form) {
    const QImage img = form.Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST(LabelPaint, ANewCaptionFontOrWidthIsLaidOutAtTheNextPaint) {
    EnsureApp();
    ComponentPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(0, 0, 200, 30);
    form->SetColor(clWhite);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetAlignment(taRightJustify);
    label->SetBounds(0, 0, 150, 30);
    label->Font()->SetColor(clBlack);
    label->Font()->SetHeight(-12);
    label->SetCaption("ab");
    const auto [shortFirst, shortLast] = InkColumns(*form);
    ASSERT_GE(shortFirst, 0);
    EXPECT_LT(shortLast, 150);
    EXPECT_GT(shortLast, 140);  // right-justified

    label->SetCaption("abab");  // longer text starts further left, same right edge
    const auto [longFirst, longLast] = InkColumns(*form);
    EXPECT_LT(longFirst, shortFirst);
    EXPECT_NEAR(longLast, shortLast, 1);

    label->Font()->SetHeight(-24);  // a larger font is wider still
    const auto [bigFirst, bigLast] = InkColumns(*form);
    EXPECT_LT(bigFirst, longFirst);

    label->SetWidth(100);  // the right edge follows the width
    const auto [narrowFirst, narrowLast] = InkColumns(*form);
    EXPECT_LT(narrowLast, 100);
    EXPECT_EQ(narrowFirst, bigFirst - 50);
}

}  // namespace

namespace {

// An auto-sized, word-wrapped label as wide as `width` showing `caption`; its height.
int WrappedHeight(TForm& form, const std::string& caption, int width) {
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->Font()->SetHeight(-12);
    label->SetAutoSize(true);
    label->SetWordWrap(true);
    label->SetBounds(0, 0, width, 10);
    label->SetCaption(caption);
    return label->Height();
}

}  // namespace

TEST(LabelWrap, BreaksBetweenWordsAndKeepsALongWordWhole) {
    EnsureApp();
    ComponentPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(0, 0, 300, 200);
    const int one = WrappedHeight(*form, "Mmmm", 200);
    ASSERT_GT(one, 0);
    // Each word fits the width alone, no two together: three lines.
    auto* probe = new TLabel(form.get());
    probe->Font()->SetHeight(-12);
    probe->SetCaption("Mmmm Mmmm");
    const int pair = probe->Width();
    EXPECT_EQ(WrappedHeight(*form, "Mmmm Mmmm Mmmm", pair - 1), 3 * one);
    // Two words fit together, the third goes below.
    EXPECT_EQ(WrappedHeight(*form, "Mmmm Mmmm Mmmm", pair), 2 * one);
    // A word wider than the label is not broken, and no empty line comes before it.
    EXPECT_EQ(WrappedHeight(*form, "Mmmmmmmmmmmmmmmm", 10), one);
    EXPECT_EQ(WrappedHeight(*form, "Mm Mmmmmmmmmmmmmmmm", 10), 2 * one);
}
