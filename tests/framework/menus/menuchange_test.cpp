// Items that change while their menu is open: freed, hidden, emptied or renamed from a
// handler (a timer, an item's OnClick, a selection message). The open levels follow them:
// nothing is read from a freed item, no index runs past the entries, and what is left on
// the screen is laid out again or closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>

#include "../graphics_testsupport.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menus.h"
#include "framework/menus/popuplist.h"
#include "menu_testsupport.h"

namespace {

using namespace fw;

// Open, Long, More > (Inner1, Inner2), Last.
struct ChangingMenu : MenuBuilder {
    TMenuItem *open, *lng, *more, *inner1, *inner2, *last;
    ChangingMenu() {
        open = Add(menu->Items(), "&Open");
        lng = Add(menu->Items(), "&Wide");
        more = Add(menu->Items(), "&More");
        inner1 = Add(more, "Inner &1");
        inner2 = Add(more, "Inner &2");
        last = Add(menu->Items(), "&Last");
    }
    void Free(TMenuItem* item) {
        auto it = std::find_if(items.begin(), items.end(),
                               [item](const auto& p) { return p.get() == item; });
        ASSERT_NE(it, items.end());
        items.erase(it);
    }
};

QPoint EntryCenter(TMenuLevelWindow* level, int entry) {
    TRect c = level->ScreenClientRect();
    TRect r = level->EntryRect(entry);
    return {c.Left + (r.Left + r.Right) / 2, c.Top + (r.Top + r.Bottom) / 2};
}

void Key(TMenuTracker& t, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(t.Level(t.LevelCount() - 1)->Widget(), &e);
}

void Move(TMenuTracker& t, QPoint global) {
    QWidget* top = t.Level(t.LevelCount() - 1)->Widget();
    QMouseEvent e(QEvent::MouseMove, top->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(top, &e);
}

// Every key and a walk of the pointer over every place an entry was: whatever the levels
// hold must still be in step with the items.
void Exercise(TMenuTracker& t, const std::vector<QPoint>& places) {
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home, Qt::Key_Right,
                    Qt::Key_Left, Qt::Key_Down, Qt::Key_Right}) {
        if (!t.Active()) return;
        Key(t, key);
    }
    for (QPoint p : places) {
        if (!t.Active()) return;
        Move(t, p);
        // A press outside every level would end the menu: presses only where one is.
        for (int i = 0; i < t.LevelCount(); ++i)
            if (t.Level(i)->ScreenWindowRect().Contains({p.x(), p.y()})) {
                t.MousePress(p);
                break;
            }
    }
    for (int i = 0; i < t.LevelCount(); ++i) t.Level(i)->Widget()->grab();
}

std::vector<QPoint> Places(TMenuTracker& t) {
    std::vector<QPoint> out;
    for (int l = 0; l < t.LevelCount(); ++l)
        for (int e = 0; e < t.Level(l)->EntryCount(); ++e)
            out.push_back(EntryCenter(t.Level(l), e));
    return out;
}

class MenuChange : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        QCursor::setPos(700, 500);  // away from the levels: no release chooses by accident
    }
    // What a zero timer would run before the next input.
    static void Settle() { QApplication::processEvents(); }
};

TEST_F(MenuChange, FreeingTheItemOfAnOpenSubmenuClosesThatLevel) {
    ChangingMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    t.Activate(0, 2);  // "More" opens
    ASSERT_EQ(t.LevelCount(), 2);
    std::vector<QPoint> places = Places(t);
    const int tall = t.Level(0)->ScreenWindowRect().Height();

    m.Free(m.more);
    EXPECT_TRUE(t.Active());
    EXPECT_EQ(t.LevelCount(), 1);
    Settle();
    ASSERT_TRUE(t.Active());
    EXPECT_EQ(t.Level(0)->EntryCount(), 3);
    EXPECT_LT(t.Level(0)->ScreenWindowRect().Height(), tall);
    // The entry where "More" was is "Last" now, and choosing it gives that item.
    Move(t, places[2]);
    EXPECT_EQ(t.Level(0)->Selected(), 2);
    Exercise(t, places);
    ASSERT_TRUE(t.Active());
    t.Activate(0, 2);
    EXPECT_EQ(t.Chosen(), m.last);
}

TEST_F(MenuChange, FreeingTheSelectedItemsSubmenuFromTheSelectionMessage) {
    ChangingMenu m;
    // A handler that drops the submenu item as soon as it is selected: the press that
    // selected it must not go on to open the freed level.
    const unsigned more = m.more->Command();
    TWindowProcedure previous = PopupList().WindowProc;
    PopupList().WindowProc = [&](TMessage& msg) {
        previous(msg);
        const TMenuSelection* s = msg.Get<TMenuSelection>();
        if (msg.Msg == WM_MENUSELECT && s && s->Command == more && m.more) {
            m.Free(m.more);
            m.more = nullptr;
        }
    };
    {
        TMenuTracker t(*m.menu);
        t.Open(100, 100);
        std::vector<QPoint> places = Places(t);
        t.MousePress(places[2]);
        EXPECT_EQ(t.LevelCount(), 1);
        Settle();
        Exercise(t, places);
        EXPECT_EQ(t.Chosen(), nullptr);
    }
    PopupList().WindowProc = previous;
}

TEST_F(MenuChange, ASubmenuThatEmptiesOrIsFreedAsItOpensDoesNotOpen) {
    ChangingMenu m;
    // The submenu item's OnClick runs as its level opens: first it empties the submenu.
    m.more->OnClick.Set([&](TPropertyObject*) {
        m.Free(m.inner1);
        m.Free(m.inner2);
    });
    {
        TMenuTracker t(*m.menu);
        t.Open(100, 100);
        t.Activate(0, 2);
        EXPECT_EQ(t.LevelCount(), 1);
        Settle();
        Exercise(t, Places(t));
        EXPECT_TRUE(t.Active());
    }
    // Then a hook frees the submenu item itself while its level is about to open.
    ChangingMenu n;
    const TMenuHandle* root = n.menu->Handle();
    TWindowProcedure previous = PopupList().WindowProc;
    PopupList().WindowProc = [&](TMessage& msg) {
        previous(msg);
        const TMenuOpening* o = msg.Get<TMenuOpening>();
        if (msg.Msg == WM_INITMENUPOPUP && n.more && o && o->Menu != root) {
            n.Free(n.more);
            n.more = nullptr;
        }
    };
    {
        TMenuTracker t(*n.menu);
        t.Open(100, 100);
        std::vector<QPoint> places = Places(t);
        t.Activate(0, 2);
        EXPECT_EQ(t.LevelCount(), 1);
        Settle();
        Exercise(t, places);
        EXPECT_TRUE(t.Active());
    }
    PopupList().WindowProc = previous;
}

TEST_F(MenuChange, EmptyingAnOpenSubmenuClosesItAndItsEntryLosesTheArrow) {
    ChangingMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    t.Activate(0, 2);
    ASSERT_EQ(t.LevelCount(), 2);
    m.Free(m.inner1);
    EXPECT_EQ(t.LevelCount(), 2);  // one item is left
    Settle();
    EXPECT_EQ(t.Level(1)->EntryCount(), 1);
    m.Free(m.inner2);
    EXPECT_EQ(t.LevelCount(), 1);
    Settle();
    // "More" is a plain item now: Return chooses it.
    ASSERT_TRUE(t.Active());
    t.Activate(0, 2);
    EXPECT_EQ(t.Chosen(), m.more);
}

TEST_F(MenuChange, HidingOrDisablingItemsLaysTheLevelOutAgainAndKeepsTheSelection) {
    ChangingMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    Key(t, Qt::Key_End);  // "Last"
    ASSERT_EQ(t.Level(0)->Selected(), 3);
    std::vector<QPoint> places = Places(t);

    m.open->SetVisible(false);
    Settle();
    ASSERT_EQ(t.Level(0)->EntryCount(), 3);
    EXPECT_EQ(t.Level(0)->Selected(), 2);  // still "Last", one place up
    // The selected item itself going away leaves nothing selected.
    m.last->SetVisible(false);
    Settle();
    ASSERT_EQ(t.Level(0)->EntryCount(), 2);
    EXPECT_EQ(t.Level(0)->Selected(), -1);
    Key(t, Qt::Key_Return);
    EXPECT_TRUE(t.Active());
    // Where "Last" was there is nothing to choose.
    Move(t, places[3]);
    t.MouseRelease(places[3]);
    EXPECT_TRUE(t.Active());
    EXPECT_EQ(t.Chosen(), nullptr);

    // A disabled submenu item closes its open level.
    t.Activate(0, 1);
    ASSERT_EQ(t.LevelCount(), 2);
    m.more->SetEnabled(false);
    EXPECT_EQ(t.LevelCount(), 1);
    Exercise(t, places);
    EXPECT_EQ(t.Chosen(), nullptr);
}

TEST_F(MenuChange, ARenamedItemWidensItsLevel) {
    ChangingMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    const int narrow = t.Level(0)->EntryRect(1).Width();
    m.lng->SetCaption("&Wide, and now a good deal wider than it was");
    Settle();
    EXPECT_GT(t.Level(0)->EntryRect(1).Width(), narrow);
    EXPECT_EQ(t.Level(0)->ScreenWindowRect().Width(),
              t.Level(0)->EntryRect(1).Width() + 2 * kMenuFrame);
    // Hiding every item closes the menu.
    for (TMenuItem* i : {m.open, m.lng, m.more, m.last}) i->SetVisible(false);
    Settle();
    EXPECT_FALSE(t.Active());
}

TEST_F(MenuChange, FreeingTheMenuEndsTracking) {
    ChangingMenu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    t.Activate(0, 2);
    ASSERT_EQ(t.LevelCount(), 2);
    // The menu goes first; its items stay (their owner frees them later).
    m.menu.reset();
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.LevelCount(), 0);
    EXPECT_EQ(PopupList().Menu(), nullptr);
    Settle();
}

TEST_F(MenuChange, AChosenItemFreedAsTheMenuClosesIsNotClicked) {
    ChangingMenu m;
    TWindowProcedure previous = PopupList().WindowProc;
    PopupList().WindowProc = [&](TMessage& msg) {
        previous(msg);
        if (msg.Msg == WM_EXITMENULOOP) m.Free(m.last);
    };
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    t.Activate(0, 3);
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.Chosen(), nullptr);
    PopupList().WindowProc = previous;
}

}  // namespace
