// The popup-menu engine on the offscreen platform: input as the level windows receive it,
// the messages components see, and placement on the screen.
#include "framework/menus/menuengine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "../graphics_testsupport.h"
#include "framework/controls/screen.h"
#include "framework/menus/menus.h"
#include "framework/menus/popuplist.h"
#include "menu_testsupport.h"

namespace {

using namespace fw;

// A menu: Open, -, Gray (disabled), More > (Inner1, Inner2), Last.
struct TestMenu : MenuBuilder {
    TMenuItem *open, *sep, *gray, *more, *inner1, *inner2, *last;
    TestMenu() {
        open = Add(menu->Items(), "&Open");
        sep = Add(menu->Items(), "-");
        gray = Add(menu->Items(), "&Gray");
        gray->SetEnabled(false);
        more = Add(menu->Items(), "&More");
        inner1 = Add(more, "Inner &1");
        inner2 = Add(more, "Inner &2");
        last = Add(menu->Items(), "&Last");
    }
};

// Records what reaches the popup list and answers as a component would.
struct Recorder {
    TWindowProcedure previous;
    std::vector<unsigned> messages;
    std::vector<unsigned> drawStates;
    int menuCharAnswer = 0;  // with the position 0
    Recorder() {
        previous = PopupList().WindowProc;
        PopupList().WindowProc = [this](TMessage& m) {
            messages.push_back(m.Msg);
            if (m.Msg == WM_MEASUREITEM) {
                m.Get<TMeasureRequest>()->Width = 80;
                m.Get<TMeasureRequest>()->Height = 20;
                return;
            }
            if (m.Msg == WM_DRAWITEM) {
                drawStates.push_back(m.Get<TDrawRequest>()->State);
                return;
            }
            if (m.Msg == WM_MENUCHAR && menuCharAnswer) {
                m.Get<TMenuChar>()->Answer = menuCharAnswer;
                return;
            }
            previous(m);
        };
    }
    ~Recorder() { PopupList().WindowProc = previous; }
    int Count(unsigned msg) const {
        int n = 0;
        for (unsigned m : messages) n += m == msg;
        return n;
    }
};

QPoint EntryCenter(TMenuLevelWindow* level, int entry) {
    TRect c = level->ScreenClientRect();
    TRect r = level->EntryRect(entry);
    return {c.Left + (r.Left + r.Right) / 2, c.Top + (r.Top + r.Bottom) / 2};
}

void Key(TMenuTracker& t, int key, const QString& text = {}) {
    // Keys go to the topmost level's window, as the keyboard grab delivers them.
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(t.Level(t.LevelCount() - 1)->Widget(), &e);
}

void Mouse(TMenuTracker& t, QEvent::Type type, QPoint global) {
    // Mouse input also arrives at the topmost level, whatever lies under the pointer.
    QWidget* top = t.Level(t.LevelCount() - 1)->Widget();
    QMouseEvent e(type, top->mapFromGlobal(global), global,
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(top, &e);
}

class MenuEngine : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }
};

TEST_F(MenuEngine, HandlesFollowTheItemsAndTellTheMenusOwner) {
    TestMenu m;
    TMenuHandle* h = m.menu->Handle();
    ASSERT_EQ(GetMenuItemCount(h), 5);
    EXPECT_TRUE(h->entries[1].flags & MF_SEPARATOR);
    EXPECT_EQ(h->entries[2].flags & (MF_GRAYED | MF_DISABLED), MF_GRAYED | MF_DISABLED);
    ASSERT_NE(h->entries[3].submenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(h->entries[3].submenu), 2);

    // Owner drawing by command reaches into submenus and keeps the submenu.
    ASSERT_TRUE(ReplaceMenuEntry(h, m.more->Command(), MF_BYCOMMAND | MF_OWNERDRAW,
                                 m.more->Command(), static_cast<const void*>(m.more)));
    ASSERT_TRUE(ReplaceMenuEntry(h, m.inner2->Command(), MF_BYCOMMAND | MF_OWNERDRAW,
                                 m.inner2->Command(), static_cast<const void*>(m.inner2)));
    unsigned type = 0;
    ASSERT_TRUE(GetMenuItemType(h, m.more->Command(), false, type));
    EXPECT_TRUE(type & MFT_OWNERDRAW);
    EXPECT_NE(h->entries[3].submenu, nullptr);
    EXPECT_EQ(h->entries[3].submenu->entries[1].owner, m.inner2);
    EXPECT_FALSE(ReplaceMenuEntry(h, 99999, MF_BYCOMMAND, 99999, std::string("x")));

    // A change to an item brings the plain entries back and tells the popup list.
    Recorder rec;
    m.last->SetVisible(false);
    EXPECT_EQ(rec.Count(CM_MENUCHANGED), 1);
    h = m.menu->Handle();
    EXPECT_EQ(GetMenuItemCount(h), 4);
    ASSERT_TRUE(GetMenuItemType(h, m.more->Command(), false, type));
    EXPECT_FALSE(type & MFT_OWNERDRAW);
    // Unchanged values tell nobody.
    m.last->SetVisible(false);
    EXPECT_EQ(rec.Count(CM_MENUCHANGED), 1);
}

TEST_F(MenuEngine, TheReleaseAfterTheOpeningPressChoosesNothing) {
    TestMenu m;
    QCursor::setPos(300, 300);
    QPoint atOpen = QCursor::pos();
    TMenuTracker t(*m.menu);
    // The menu opens with its first item under the pointer.
    t.Open(atOpen.x() - 20, atOpen.y() - kMenuFrame - 5);
    ASSERT_TRUE(t.Active());
    ASSERT_EQ(t.Level(0)->EntryAt(atOpen), 0);
    // The release of the press that opened the menu, pointer unmoved, chooses nothing.
    Mouse(t, QEvent::MouseButtonRelease, atOpen);
    EXPECT_TRUE(t.Active());
    EXPECT_EQ(t.Chosen(), nullptr);
    // After moving onto an item, a release chooses it.
    QPoint onOpen = EntryCenter(t.Level(0), 0);
    Mouse(t, QEvent::MouseMove, onOpen);
    EXPECT_EQ(t.Level(0)->Selected(), 0);
    Mouse(t, QEvent::MouseButtonRelease, onOpen);
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.Chosen(), m.open);
}

TEST_F(MenuEngine, APressInsideALevelLetsTheReleaseChoose) {
    TestMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    // Press and release without a move event in between (a touch pad tap).
    QPoint onLast = EntryCenter(t.Level(0), 4);
    t.MousePress(onLast);
    t.MouseRelease(onLast);
    EXPECT_EQ(t.Chosen(), m.last);
}

TEST_F(MenuEngine, MouseInputIsRoutedToTheLevelUnderThePointer) {
    TestMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    Mouse(t, QEvent::MouseButtonPress, EntryCenter(t.Level(0), 3));  // opens "More"
    ASSERT_EQ(t.LevelCount(), 2);
    // Events arrive at the submenu's window but lie over the top level's "Last".
    Mouse(t, QEvent::MouseMove, EntryCenter(t.Level(0), 4));
    EXPECT_EQ(t.Level(0)->Selected(), 4);
    EXPECT_EQ(t.LevelCount(), 1);
    // A disabled item is selected by the pointer but a click on it chooses nothing.
    Mouse(t, QEvent::MouseMove, EntryCenter(t.Level(0), 2));
    EXPECT_EQ(t.Level(0)->Selected(), 2);
    Mouse(t, QEvent::MouseButtonRelease, EntryCenter(t.Level(0), 2));
    EXPECT_TRUE(t.Active());
    // A press outside every level closes the menu and chooses nothing.
    TRect w = t.Level(0)->ScreenWindowRect();
    Mouse(t, QEvent::MouseButtonPress, QPoint(w.Right + 40, w.Bottom + 40));
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.Chosen(), nullptr);
}

TEST_F(MenuEngine, KeysWalkOverEnabledItemsAndThroughSubmenus) {
    TestMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    Key(t, Qt::Key_Down);
    EXPECT_EQ(t.Level(0)->Selected(), 0);
    Key(t, Qt::Key_Down);  // past the separator and the disabled item
    EXPECT_EQ(t.Level(0)->Selected(), 3);
    Key(t, Qt::Key_End);
    EXPECT_EQ(t.Level(0)->Selected(), 4);
    Key(t, Qt::Key_Down);  // wraps
    EXPECT_EQ(t.Level(0)->Selected(), 0);
    Key(t, Qt::Key_Up);
    EXPECT_EQ(t.Level(0)->Selected(), 4);
    Key(t, Qt::Key_Up);
    Key(t, Qt::Key_Right);
    ASSERT_EQ(t.LevelCount(), 2);
    EXPECT_EQ(t.Level(1)->Selected(), 0);
    Key(t, Qt::Key_Left);
    EXPECT_EQ(t.LevelCount(), 1);
    EXPECT_TRUE(t.Active());
    Key(t, Qt::Key_Return);
    ASSERT_EQ(t.LevelCount(), 2);
    Key(t, Qt::Key_Escape);  // closes the submenu only
    EXPECT_EQ(t.LevelCount(), 1);
    Key(t, Qt::Key_Escape);  // and then the menu
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.Chosen(), nullptr);
}

TEST_F(MenuEngine, TypedCharactersAskThePopupListFirst) {
    TestMenu m;
    {
        TMenuTracker t(*m.menu);
        t.Open(100, 100);
        Key(t, 'L', "l");  // nobody answers: the plain entries' access keys
        EXPECT_EQ(t.Chosen(), m.last);
    }
    {
        Recorder rec;
        rec.menuCharAnswer = MNC_EXECUTE;
        TMenuTracker t(*m.menu);
        t.Open(100, 100);
        Key(t, 'L', "l");  // the answer wins over the access key
        EXPECT_EQ(t.Chosen(), m.open);
        EXPECT_EQ(rec.Count(WM_MENUCHAR), 1);
    }
    {
        TMenuTracker t(*m.menu);
        t.Open(100, 100);
        Key(t, 'G', "g");  // the disabled item's key does nothing
        EXPECT_TRUE(t.Active());
    }
}

TEST_F(MenuEngine, OwnerDrawnEntriesAreMeasuredAndPaintedWithoutTheFocusState) {
    TestMenu m;
    Recorder rec;
    TMenuHandle* h = m.menu->Handle();
    for (TMenuItem* i : {m.open, m.last})
        ReplaceMenuEntry(h, i->Command(), MF_BYCOMMAND | MF_OWNERDRAW, i->Command(),
                         static_cast<const void*>(i));
    // Nothing converts them back while the menu opens.
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    EXPECT_EQ(rec.Count(WM_INITMENU), 1);
    EXPECT_EQ(rec.Count(WM_INITMENUPOPUP), 1);
    EXPECT_EQ(rec.Count(WM_MEASUREITEM), 2);
    EXPECT_EQ(t.Level(0)->EntryRect(0).Height(), 20);
    Key(t, Qt::Key_Down);
    t.Level(0)->Widget()->grab();
    ASSERT_FALSE(rec.drawStates.empty());
    bool sawSelected = false;
    for (unsigned s : rec.drawStates) {
        EXPECT_FALSE(s & ODS_FOCUS);
        sawSelected |= (s & ODS_SELECTED) != 0;
    }
    EXPECT_TRUE(sawSelected);
    EXPECT_GE(rec.Count(WM_MENUSELECT), 1);
    // Opening a submenu measures once per opening, and runs its item's OnClick.
    int clicks = 0;
    m.more->OnClick.Set([&](TPropertyObject*) { ++clicks; });
    Key(t, Qt::Key_Down);
    Key(t, Qt::Key_Right);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(rec.Count(WM_INITMENUPOPUP), 2);
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(nullptr, m.more->Handle(), 1, r));
    EXPECT_FALSE(GetMenuItemRect(nullptr, m.more->Handle(), 2, r));
}

TEST_F(MenuEngine, LevelsFlipToStayOnTheScreen) {
    TestMenu m;
    TScreenSize screen = PrimaryScreenSize();
    TMenuTracker t(*m.menu);
    t.Open(screen.Width - 5, screen.Height - 5);
    TRect w = t.Level(0)->ScreenWindowRect();
    EXPECT_EQ(w.Right, screen.Width - 5);
    EXPECT_EQ(w.Bottom, screen.Height - 5);
    Key(t, Qt::Key_Up);
    Key(t, Qt::Key_Up);
    Key(t, Qt::Key_Right);  // "More" opens to the left of its level
    ASSERT_EQ(t.LevelCount(), 2);
    TRect s = t.Level(1)->ScreenWindowRect();
    EXPECT_LE(s.Right, w.Left + kMenuFrame);
    EXPECT_LE(s.Bottom, screen.Height);
    t.Cancel();
    TMenuTracker u(*m.menu);
    u.Open(10, 20);
    EXPECT_EQ(u.Level(0)->ScreenWindowRect().TopLeft(), (TPoint{10, 20}));
}

TEST_F(MenuEngine, PopupReturnsAfterTheChosenItemsClickRan) {
    TestMenu m;
    bool ranOutsideTheLoop = false;
    int clicks = 0;
    m.last->OnClick.Set([&](TPropertyObject*) {
        ++clicks;
        ranOutsideTheLoop = TMenuTracker::Current() == nullptr;
    });
    QTimer::singleShot(0, [] {
        TMenuTracker* t = TMenuTracker::Current();
        ASSERT_NE(t, nullptr);
        t->KeyPress(Qt::Key_End, {});
        t->KeyPress(Qt::Key_Return, {});
    });
    m.menu->Popup(50, 60);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(ranOutsideTheLoop);
    EXPECT_EQ(TMenuTracker::Current(), nullptr);
}

// Closed levels' windows serve the next openings: a close from outside that arrives for a
// level that has gone by then leaves the menu now shown in its window open.
TEST_F(MenuEngine, AWindowClosedFromOutsideSparesTheNextMenuShownInIt) {
    TestMenu m;
    std::optional<TMenuTracker> t;  // the next tracker lives where the last one did
    t.emplace(*m.menu);
    t->Open(40, 40);
    QWidget* window = t->Level(0)->Widget();
    window->close();  // the toolkit ending its popups; the menu hears of it later
    t.reset();
    t.emplace(*m.menu);
    t->Open(40, 40);
    ASSERT_EQ(t->Level(0)->Widget(), window);
    QApplication::processEvents();
    EXPECT_TRUE(t->Active());
    // A close of the level that is open does end its menu.
    window->close();
    QApplication::processEvents();
    EXPECT_FALSE(t->Active());
}

}  // namespace
