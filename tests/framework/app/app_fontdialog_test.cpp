// Our font dialog: what it shows of the loaded font, what it gives back, Cancel and Apply.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "framework/app/fontdialog.h"
#include "tests/framework/graphics_testsupport.h"

namespace {

using namespace fw;

struct Loaded {
    TFontDialog dialog{nullptr};
    Loaded() {
        gfxtest::EnsureApp();
        dialog.SetOptions((1u << fdEffects) | (1u << fdApplyButton));
        dialog.Font()->SetName("Small Fonts");
        dialog.Font()->SetHeight(-8);
        dialog.Font()->SetColor(clBlack);
        dialog.Font()->SetStyle(0);
    }
};

TEST(FontDialog, ShowsTheLoadedFontAndGivesItBackUnchanged) {
    Loaded l;
    TFontDialogWindow w(l.dialog);
    EXPECT_EQ(w.NameEdit()->text(), "Small Fonts");
    ASSERT_NE(w.Names()->currentItem(), nullptr);
    EXPECT_EQ(w.Names()->currentItem()->text(), "Small Fonts");
    EXPECT_TRUE(w.Names()->findItems("Arial", Qt::MatchFixedString).size() == 1);
    EXPECT_TRUE(w.Names()->findItems("MS Sans Serif", Qt::MatchFixedString).size() == 1);
    EXPECT_EQ(w.SizeEdit()->text(), "6");
    EXPECT_EQ(w.Styles()->currentRow(), 0);
    EXPECT_EQ(w.Colors()->currentText(), "Black");
    TFont f = w.ChosenFont();
    EXPECT_TRUE(f == *l.dialog.Font());
    EXPECT_EQ(f.Height(), -8);
}

TEST(FontDialog, ChangesComeBackAsNameHeightStyleAndColour) {
    Loaded l;
    TFontDialogWindow w(l.dialog);
    w.Names()->setCurrentItem(w.Names()->findItems("Arial", Qt::MatchFixedString).first());
    w.Styles()->setCurrentRow(3);  // bold italic
    w.Sizes()->setCurrentItem(w.Sizes()->findItems("7", Qt::MatchFixedString).first());
    w.Underline()->setChecked(true);
    w.StrikeOut()->setChecked(true);
    w.Colors()->setCurrentIndex(w.Colors()->findText("Red"));
    TFont f = w.ChosenFont();
    EXPECT_EQ(f.Name(), "Arial");
    EXPECT_EQ(f.Height(), -9);
    EXPECT_EQ(f.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(f.Color(), clRed);
    // The sample shows it.
    EXPECT_TRUE(w.Sample()->font().bold());
    EXPECT_TRUE(w.Sample()->font().underline());
}

TEST(FontDialog, AColourOutsideTheListIsKept) {
    Loaded l;
    l.dialog.Font()->SetColor(clWindowText);
    TFontDialogWindow w(l.dialog);
    EXPECT_EQ(w.Colors()->currentText(), "Custom");
    EXPECT_EQ(w.ChosenFont().Color(), clWindowText);
}

TEST(FontDialog, OkTakesTheFontCancelLeavesItAndApplyNeedsAHandler) {
    Loaded l;
    TFont before(*l.dialog.Font());
    // Cancel: Execute says no and nothing changes.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<TFontDialogWindow*>(w); d && d->isVisible()) {
                d->SizeEdit()->setText("20");
                d->reject();
            }
    });
    EXPECT_FALSE(RunOwnFontDialog(l.dialog));
    EXPECT_TRUE(*l.dialog.Font() == before);
    // OK: the dialog's font becomes the chosen one.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<TFontDialogWindow*>(w); d && d->isVisible()) {
                d->SizeEdit()->setText("20");
                d->accept();
            }
    });
    EXPECT_TRUE(RunOwnFontDialog(l.dialog));
    EXPECT_EQ(l.dialog.Font()->Size(), 20);
    EXPECT_EQ(l.dialog.Font()->Name(), "Small Fonts");
    // Apply without a handler changes nothing; with one, the handler sees the shown font.
    TFontDialogWindow w(l.dialog);
    ASSERT_NE(w.ApplyButton(), nullptr);
    w.SizeEdit()->setText("9");
    w.ApplyButton()->click();
    EXPECT_EQ(l.dialog.Font()->Size(), 20);
    int applied = 0;
    l.dialog.OnApply.Set([&](TPropertyObject*) { applied = l.dialog.Font()->Size(); });
    w.ApplyButton()->click();
    EXPECT_EQ(applied, 9);
    l.dialog.SetOptions(1u << fdEffects);
    TFontDialogWindow noApply(l.dialog);
    EXPECT_EQ(noApply.ApplyButton(), nullptr);
}

}  // namespace
