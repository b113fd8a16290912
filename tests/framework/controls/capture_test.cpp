// The mouse of windowless controls, driven through the window's widget as Qt delivers it:
// the implicit capture from press to release and every way it ends without a release,
// clicks, context menus and hover hints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>
#include <string>
#include <vector>

#include "framework/app/dialogs.h"
#include "framework/controls/cursors.h"
#include "framework/controls/forms.h"
#include "framework/controls/hint.h"
#include "framework/controls/imagepanel.h"
#include "framework/core/classregistry.h"
#include "framework/core/qtconvert.h"
#include "framework/menus/menus.h"
#include "tests/support/qtapp.h"

namespace {

using namespace fw;

void EnsureApp() { testsupport::EnsureQtApp(); }

// Processes events until the condition holds or a generous limit passes.
template <class F>
bool WaitFor(F condition) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class Mouse : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        form_.reset(new TForm(nullptr));
        form_->SetBounds(0, 0, 200, 100);
        a_ = AddImage("a", 10, 10, 20, 20);
        b_ = AddImage("b", 100, 10, 20, 20);
        form_->Show();
    }
    void TearDown() override {
        TPopupMenu::SetPopupEngine(nullptr);
        TFontDialog::SetRunner(nullptr);
        SetMessageBoxRunner(nullptr);
        form_.reset();
    }
    TImage* AddImage(const std::string& name, int l, int t, int w, int h) {
        auto* img = new TImage(form_.get());
        img->SetParent(form_.get());
        img->SetBounds(l, t, w, h);
        img->OnMouseDown.Set(
            [this, name](TPropertyObject*, TMouseButton b, TModifierState, int x, int y) {
                log_.push_back(name + " down " + std::to_string(b) + " " + std::to_string(x) + "," +
                               std::to_string(y));
                if (onDown_) {
                    auto f = onDown_;
                    onDown_ = nullptr;
                    f();
                }
            });
        img->OnMouseUp.Set(
            [this, name](TPropertyObject*, TMouseButton b, TModifierState, int x, int y) {
                log_.push_back(name + " up " + std::to_string(b) + " " + std::to_string(x) + "," +
                               std::to_string(y));
            });
        img->OnMouseMove.Set([this, name](TPropertyObject*, TModifierState, int x, int y) {
            log_.push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
        });
        img->OnClick.Set([this, name](TPropertyObject*) { log_.push_back(name + " click"); });
        img->OnDblClick.Set([this, name](TPropertyObject*) { log_.push_back(name + " dblclick"); });
        return img;
    }
    QWidget* W() { return form_->Handle(); }
    void Send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        QPointF local(x, y);
        QMouseEvent e(type, local, W()->mapToGlobal(local), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(W(), &e);
    }
    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        Send(QEvent::MouseButtonPress, x, y, b, b);
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        Send(QEvent::MouseButtonRelease, x, y, b, Qt::NoButton);
    }
    void Move(int x, int y, Qt::MouseButtons held = Qt::NoButton) {
        Send(QEvent::MouseMove, x, y, Qt::NoButton, held);
    }
    void DoubleClick(int x, int y) {
        Press(x, y);
        Release(x, y);
        Send(QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton);
        Release(x, y);
    }
    std::vector<std::string> Take() { return std::exchange(log_, {}); }

    ComponentPtr<TForm> form_;
    TImage* a_ = nullptr;
    TImage* b_ = nullptr;
    std::vector<std::string> log_;
    std::function<void()> onDown_;
    using Log = std::vector<std::string>;
};

TEST_F(Mouse, PressedControlGetsEveryMessageUntilReleaseEvenOutsideIt) {
    Press(15, 15);
    Move(60, 50, Qt::LeftButton);
    Move(105, 15, Qt::LeftButton);  // over b: still a's, in a's coordinates
    EXPECT_EQ(form_->MouseCapture(), a_);
    Release(105, 15);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a move 50,40", "a move 95,5", "a up 0 95,5"}));
    EXPECT_EQ(form_->MouseCapture(), nullptr);  // released outside: no click either
    Move(105, 15);
    EXPECT_EQ(Take(), Log{"b move 5,5"});
}

// A menu opened by a press takes the press's place from here; a press that reached a window
// not ours (the tray icon's) must not find the place of an older one.
TEST_F(Mouse, TheHeldMousePlaceIsOnlyKeptWhileAButtonIsHeld) {
    const TPoint origin = FromQPoint(W()->mapToGlobal(QPoint(0, 0)));
    // The window system's idea of the mouse, which the events below do not move.
    const TPoint system = CursorPos();
    ASSERT_NE(system, (TPoint{origin.X + 15, origin.Y + 15}));
    ASSERT_NE(system, (TPoint{origin.X + 40, origin.Y + 20}));
    Press(15, 15);
    EXPECT_EQ(LastMousePos(), (TPoint{origin.X + 15, origin.Y + 15}));
    Move(40, 20, Qt::LeftButton);
    EXPECT_EQ(LastMousePos(), (TPoint{origin.X + 40, origin.Y + 20}));
    Release(40, 20);
    EXPECT_EQ(LastMousePos(), system);
    Press(15, 15);
    Move(30, 30);  // buttons up, the release went elsewhere
    EXPECT_EQ(LastMousePos(), system);
}

TEST_F(Mouse, ClickAndDoubleClickNeedPressAndReleaseOnTheControl) {
    Press(15, 15);
    Release(16, 16);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 6,6", "a click"}));
    DoubleClick(15, 15);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 5,5", "a click", "a dblclick", "a down 0 5,5",
                           "a up 0 5,5"}));
    EXPECT_EQ(form_->MouseCapture(), nullptr);
}

// Each kind of modal loop, started from the press handler, takes the release: the press
// ends there (a release with no click), and the next press goes where it lands.
TEST_F(Mouse, EveryModalLoopStartedByAPressEndsTheCapture) {
    int menus = 0;
    TPopupMenu::SetPopupEngine([&](TPopupMenu&, int, int) { ++menus; });
    TFontDialog::SetRunner([](TFontDialog&) { return false; });
    SetMessageBoxRunner([](const std::string&, TMessageBoxKind, unsigned) { return int(mrOk); });
    TPopupMenu menu(nullptr);
    TFontDialog dialog(nullptr);
    const std::vector<std::pair<const char*, std::function<void()>>> loops = {
        {"menu", [&] { menu.Popup(0, 0); }},
        {"font dialog", [&] { dialog.Execute(); }},
        {"message box", [] { MessageDlg("x", mtError, 1u << mbOK); }},
    };
    for (const auto& [what, loop] : loops) {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            SCOPED_TRACE(std::string(what) + (button == Qt::LeftButton ? " left" : " right"));
            onDown_ = loop;
            Press(15, 15, button);
            const std::string b = button == Qt::LeftButton ? "0" : "1";
            EXPECT_EQ(Take(), (Log{"a down " + b + " 5,5", "a up " + b + " 5,5"}));
            EXPECT_EQ(form_->MouseCapture(), nullptr);
            // The loop had the release; the widget sees only what comes after.
            Move(105, 15);
            Press(105, 15);
            Release(105, 15);
            EXPECT_EQ(Take(), (Log{"b move 5,5", "b down 0 5,5", "b up 0 5,5", "b click"}));
        }
    }
    EXPECT_EQ(menus, 2);
}

// A capture whose release went elsewhere by a path no hook saw ends at the next sign of it.
TEST_F(Mouse, StaleCaptureEndsAtAMoveWithoutButtonsOrAPressOfAnotherButtonState) {
    Press(15, 15);
    Take();
    Move(105, 15);  // the button is up: the release was lost; a's press ends where the mouse is
    EXPECT_EQ(Take(), (Log{"a up 0 95,5", "b move 5,5"}));
    EXPECT_EQ(form_->MouseCapture(), nullptr);

    Press(15, 15, Qt::RightButton);
    Take();
    Press(105, 15);  // a left press while the right button is up
    EXPECT_EQ(Take(), (Log{"a up 1 95,5", "b down 0 5,5"}));
    EXPECT_EQ(form_->MouseCapture(), b_);
    Release(105, 15);
}

TEST_F(Mouse, SecondButtonWhileTheFirstIsHeldStaysWithTheCapture) {
    Press(15, 15);
    Send(QEvent::MouseButtonPress, 105, 15, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    Send(QEvent::MouseButtonRelease, 105, 15, Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(form_->MouseCapture(), a_);
    Release(105, 15);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a down 1 95,5", "a up 1 95,5", "a up 0 95,5"}));
}

TEST_F(Mouse, HidingDisablingOrFreeingThePressedControlEndsTheCapture) {
    Press(15, 15);
    a_->Hide();
    EXPECT_EQ(form_->MouseCapture(), nullptr);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 5,5"}));
    a_->Show();

    Press(15, 15);
    a_->SetEnabled(false);
    EXPECT_EQ(form_->MouseCapture(), nullptr);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 5,5"}));
    a_->SetEnabled(true);

    Press(15, 15);
    TComponent::Free(a_);
    EXPECT_EQ(form_->MouseCapture(), nullptr);
    Take();
    Move(105, 15, Qt::LeftButton);
    Release(105, 15);
    Press(105, 15);
    EXPECT_EQ(Take(), (Log{"b move 5,5", "b up 0 5,5", "b down 0 5,5"}));
    Release(105, 15);
}

// A click handler that hides the window (the minimise glyph) ends no press twice.
TEST_F(Mouse, ClickThatHidesTheWindowGetsOneRelease) {
    a_->OnClick.Set([this](TPropertyObject*) {
        log_.push_back("a click");
        form_->Hide();
    });
    Press(15, 15);
    Release(15, 15);
    EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 5,5", "a click"}));
}

TEST_F(Mouse, LosingActivationOrBeingBlockedEndsTheCapture) {
    for (QEvent::Type type : {QEvent::WindowDeactivate, QEvent::WindowBlocked}) {
        Press(15, 15);
        QEvent e(type);
        QCoreApplication::sendEvent(W(), &e);
        EXPECT_EQ(form_->MouseCapture(), nullptr);
        EXPECT_EQ(Take(), (Log{"a down 0 5,5", "a up 0 5,5"}));
    }
}

TEST_F(Mouse, ContextMenuOpensOnlyOnTheReleaseOfTheControlsOwnRightPress) {
    std::vector<TComponent*> shown;
    TPopupMenu::SetPopupEngine(
        [&](TPopupMenu& m, int, int) { shown.push_back(m.PopupComponent()); });
    TPopupMenu menu(nullptr);
    a_->SetPopupMenu(&menu);
    Press(15, 15, Qt::RightButton);
    Release(15, 15, Qt::RightButton);
    EXPECT_EQ(shown, std::vector<TComponent*>{a_});
    // A right release whose press a menu took (opened by the press itself) opens nothing.
    onDown_ = [&] { menu.Popup(0, 0); };
    Press(15, 15, Qt::RightButton);
    Release(15, 15, Qt::RightButton);
    EXPECT_EQ(shown.size(), 2u);  // the press's own menu, no second one at the release
}

TEST_F(Mouse, HintShowsAfterThePauseOnlyWhereShowHintIsOnAndGoesWhenTheMouseLeaves) {
    a_->SetHint("Close");
    a_->SetShowHint(true);
    b_->SetHint("Current Local IP");  // ShowHint off
    Move(105, 15);
    EXPECT_EQ(hint::Pending(), nullptr);
    Move(15, 15);
    EXPECT_EQ(hint::Pending(), a_);
    ASSERT_TRUE(WaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), QString("Close"));
    Move(60, 60);  // over the window, off the control
    EXPECT_EQ(hint::Pending(), nullptr);
    EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));

    Move(15, 15);  // a press hides it and a hidden control shows none
    Press(15, 15);
    EXPECT_EQ(hint::Pending(), nullptr);
    Release(15, 15);
    Move(60, 60);
    Move(15, 15);
    a_->Hide();
    EXPECT_EQ(hint::Pending(), nullptr);
}

}  // namespace
