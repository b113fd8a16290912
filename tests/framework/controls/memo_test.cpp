// The memo: its text keeps CR LF line breaks, long lines wrap on screen only, and it takes
// its look from a description.
#include "framework/controls/memo.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include "../graphics_testsupport.h"
#include "framework/app/registerclasses.h"
#include "framework/controls/forms.h"
#include "framework/core/classregistry.h"
#include "framework/text/componenttext.h"

namespace {

class MemoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        fw::RegisterFrameworkClasses();
        form_.reset(new fw::TForm(nullptr));
        fw::ReadRootComponent(*form_,
                              "object Form1: TForm\n"
                              "  ClientWidth = 144\n  ClientHeight = 138\n"
                              "  object Memo1: TMemo\n"
                              "    Left = 10\n    Top = 19\n    Width = 129\n    Height = 111\n"
                              "    BorderStyle = bsNone\n"
                              "    Color = 13689284\n"
                              "    ReadOnly = True\n"
                              "    ScrollBars = ssVertical\n"
                              "  end\n"
                              "end\n");
        memo_ = dynamic_cast<fw::TMemo*>(form_->FindComponent("Memo1"));
        ASSERT_NE(memo_, nullptr);
    }
    QPlainTextEdit* Editor() { return dynamic_cast<QPlainTextEdit*>(memo_->Handle()); }

    fw::ComponentPtr<fw::TForm> form_;
    fw::TMemo* memo_ = nullptr;
};

TEST_F(MemoTest, TakesItsLookFromTheDescription) {
    EXPECT_TRUE(memo_->ReadOnly());
    EXPECT_EQ(memo_->BorderStyle(), fw::bsNoBorder);
    EXPECT_EQ(memo_->ScrollBars(), fw::ssVertical);
    QPlainTextEdit* e = Editor();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isReadOnly());
    EXPECT_EQ(e->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(e->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(e->palette().color(QPalette::Base), QColor(196, 225, 208));
    EXPECT_EQ(e->geometry(), QRect(10, 19, 129, 111));
    // A colour set later reaches the editor too.
    memo_->SetColor(fw::clWhite);
    EXPECT_EQ(e->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST_F(MemoTest, TextKeepsCrLfAndLinesSplitOnAnyBreak) {
    ASSERT_NE(Editor(), nullptr);
    memo_->SetText("one\r\ntwo\r\n\r\n");
    EXPECT_EQ(memo_->Lines(), (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(memo_->DisplayedText(), "one\ntwo\n\n");
    memo_->SetLines({"a", "b"});
    EXPECT_EQ(memo_->Text(), "a\r\nb\r\n");
    memo_->Clear();
    EXPECT_EQ(memo_->Text(), "");
    EXPECT_TRUE(memo_->Lines().empty());
    EXPECT_EQ(memo_->DisplayedText(), "");
}

TEST_F(MemoTest, TypingGoesIntoTheTextButSetTextIsKeptByteForByte) {
    QPlainTextEdit* e = Editor();
    ASSERT_NE(e, nullptr);
    memo_->SetReadOnly(false);
    EXPECT_FALSE(e->isReadOnly());
    // Neither a lone CR nor a byte that is not UTF-8 comes back altered from the editor.
    const std::string given = "caf\xe9\rnext\r\n";
    memo_->SetText(given);
    EXPECT_EQ(memo_->Text(), given);
    memo_->SetText("a\r\nb");
    e->moveCursor(QTextCursor::Start);
    e->insertPlainText("typed\n");
    EXPECT_EQ(memo_->Text(), "typed\r\na\r\nb");
    EXPECT_EQ(memo_->Lines(), (std::vector<std::string>{"typed", "a", "b"}));
    // A property change re-applies the look without putting the old text back.
    memo_->SetScrollBars(fw::ssBoth);
    EXPECT_EQ(memo_->DisplayedText(), "typed\na\nb");
    e->undo();
    EXPECT_EQ(memo_->Text(), "a\r\nb");
    // Tab and Shift+Tab move the focus on and are never typed, also where the memo is the
    // window's one control that takes the focus: a keyboard user can leave.
    form_->Show();
    e->setFocus();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Tab ? "\t" : "");
        QApplication::sendEvent(e, &press);
        EXPECT_EQ(memo_->Text(), "a\r\nb") << key;
    }
}

TEST_F(MemoTest, ALongLineWrapsOnScreenButStaysOneLine) {
    const std::string longLine = "Hostname : " + std::string(200, 'h');
    memo_->SetText(longLine + "\r\n");
    form_->Show();
    QPlainTextEdit* e = Editor();
    QApplication::processEvents();
    e->viewport()->repaint();
    QTextBlock block = e->document()->firstBlock();
    ASSERT_TRUE(block.isValid());
    ASSERT_NE(block.layout(), nullptr);
    EXPECT_GT(block.layout()->lineCount(), 1);
    EXPECT_EQ(memo_->Lines(), (std::vector<std::string>{longLine}));
}

}  // namespace
