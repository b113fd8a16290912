// What a screen reader finds in an open menu and hears as it is used: levels as popup
// menus, entries as menu items with their states, and the focus following the selection.
#include "framework/menus/menuaccessible.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <memory>
#include <vector>

#include "../graphics_testsupport.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menus.h"
#include "framework/menus/menutext.h"
#include "framework/menus/popuplist.h"
#include "menu_testsupport.h"

namespace {

using namespace fw;

// Open, -, Gray (disabled), More > (Inner1, Inner2), Save && Quit<tab>Ctrl+Q, Check (checked).
struct Menu : MenuBuilder {
    TMenuItem *open, *gray, *more, *inner1, *save, *check;
    Menu() {
        open = Add(menu->Items(), "&Open");
        Add(menu->Items(), "-");
        gray = Add(menu->Items(), "&Gray");
        gray->SetEnabled(false);
        more = Add(menu->Items(), "&More");
        inner1 = Add(more, "Inner &1");
        Add(more, "Inner &2");
        save = Add(menu->Items(), "&Save && Quit\tCtrl+Q");
        check = Add(menu->Items(), "C&heck");
        check->SetChecked(true);
    }
};

// What a reader was told: the event, and the role and name of what it is about.
struct Heard {
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
};
std::vector<Heard>* heard = nullptr;

void Listen(QAccessibleEvent* e) {
    if (!heard) return;
    switch (e->type()) {
        case QAccessible::Focus:
        case QAccessible::Selection:
        case QAccessible::PopupMenuStart:
        case QAccessible::PopupMenuEnd: {
            QAccessibleInterface* i = e->accessibleInterface();
            heard->push_back({e->type(), i ? i->role() : QAccessible::NoRole,
                              i ? i->text(QAccessible::Name) : QString()});
            break;
        }
        default:
            break;
    }
}

void Key(TMenuTracker& t, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(t.Level(t.LevelCount() - 1)->Widget(), &e);
}

class MenuAccessible : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        heard = &heard_;
        SetMenuAnnouncementListener(&Listen);
    }
    void TearDown() override {
        SetMenuAnnouncementListener(nullptr);
        heard = nullptr;
    }
    QAccessibleInterface* LevelOf(TMenuTracker& t, int i) {
        return QAccessible::queryAccessibleInterface(t.Level(i)->Widget());
    }
    // The focus and selection events heard since the last call, as "Focus:Name".
    std::vector<std::string> Moves() {
        std::vector<std::string> out;
        for (const Heard& h : heard_) {
            const char* kind = h.type == QAccessible::Focus            ? "Focus"
                               : h.type == QAccessible::Selection      ? "Selection"
                               : h.type == QAccessible::PopupMenuStart ? "Start"
                                                                       : "End";
            out.push_back(std::string(kind) + ":" + h.name.toStdString());
        }
        heard_.clear();
        return out;
    }

    std::vector<Heard> heard_;
};

using Names = std::vector<std::string>;

TEST_F(MenuAccessible, AnOpenLevelListsItsEntriesWithTheirStates) {
    Menu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    QAccessibleInterface* level = LevelOf(t, 0);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->role(), QAccessible::PopupMenu);
    ASSERT_EQ(level->childCount(), 6);
    Names names;
    for (int i = 0; i < level->childCount(); ++i) {
        QAccessibleInterface* c = level->child(i);
        names.push_back(c->text(QAccessible::Name).toStdString());
        // One interface per entry, found back by the reader, inside its level.
        EXPECT_EQ(level->child(i), c);
        EXPECT_EQ(level->indexOfChild(c), i);
        EXPECT_EQ(c->parent(), level);
        const TRect r = t.Level(0)->EntryRect(i);
        const TRect client = t.Level(0)->ScreenClientRect();
        EXPECT_EQ(c->rect(),
                  QRect(client.Left + r.Left, client.Top + r.Top, r.Width(), r.Height()));
        if (r.Height() > 0) {
            EXPECT_EQ(level->childAt(c->rect().center().x(), c->rect().center().y()), c);
        }
    }
    // Access-key marks go, "&&" reads as "&", the shortcut is not part of the name.
    EXPECT_EQ(names, (Names{"Open", "", "Gray", "More", "Save & Quit", "Check"}));
    EXPECT_EQ(level->child(4)->text(QAccessible::Accelerator), "Ctrl+Q");

    EXPECT_EQ(level->child(0)->role(), QAccessible::MenuItem);
    EXPECT_EQ(level->child(1)->role(), QAccessible::Separator);
    EXPECT_FALSE(level->child(0)->state().disabled);
    EXPECT_FALSE(level->child(0)->state().checked);
    EXPECT_TRUE(level->child(2)->state().disabled);
    EXPECT_TRUE(level->child(3)->state().hasPopup);
    EXPECT_FALSE(level->child(4)->state().hasPopup);
    EXPECT_TRUE(level->child(5)->state().checked);
    // Nothing selected yet: no focus.
    EXPECT_EQ(level->focusChild(), nullptr);
    EXPECT_FALSE(level->child(0)->state().focused);
    // The top level has no entry above it to be named after; a submenu does.
    EXPECT_EQ(level->text(QAccessible::Name), "");
    t.OpenSelectedSubmenu(0);  // nothing selected: nothing opens
    ASSERT_EQ(t.LevelCount(), 1);
    Key(t, Qt::Key_End);
    Key(t, Qt::Key_Up);
    Key(t, Qt::Key_Up);
    Key(t, Qt::Key_Right);
    ASSERT_EQ(t.LevelCount(), 2);
    EXPECT_EQ(LevelOf(t, 1)->text(QAccessible::Name), "More");
    EXPECT_EQ(LevelOf(t, 1)->childCount(), 2);
}

TEST_F(MenuAccessible, OwnerDrawnEntriesReadAsTheirItems) {
    Menu m;
    TMenuHandle* h = m.menu->Handle();
    // A component draws "More" and "Check" itself: the entries lose their text and flags.
    ASSERT_TRUE(ReplaceMenuEntry(h, m.more->Command(), MF_BYCOMMAND | MF_OWNERDRAW,
                                 m.more->Command(), static_cast<const void*>(m.more)));
    ASSERT_TRUE(ReplaceMenuEntry(h, m.check->Command(), MF_BYCOMMAND | MF_OWNERDRAW,
                                 m.check->Command(), static_cast<const void*>(m.check)));
    ASSERT_TRUE(h->entries[5].text.empty());
    ASSERT_FALSE(h->entries[5].flags & MF_CHECKED);
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    ASSERT_EQ(t.Level(0)->Handle(), h);
    QAccessibleInterface* level = LevelOf(t, 0);
    EXPECT_EQ(level->child(3)->text(QAccessible::Name), "More");
    EXPECT_TRUE(level->child(3)->state().hasPopup);
    EXPECT_EQ(level->child(5)->text(QAccessible::Name), "Check");
    EXPECT_TRUE(level->child(5)->state().checked);
}

TEST_F(MenuAccessible, TheFocusFollowsTheSelectionAndLevelsAnnounceThemselves) {
    Menu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    EXPECT_EQ(Moves(), (Names{"Start:"}));
    // Down skips the separator and the disabled entry, as the highlight does.
    Key(t, Qt::Key_Down);
    EXPECT_EQ(Moves(), (Names{"Focus:Open", "Selection:Open"}));
    QAccessibleInterface* level = LevelOf(t, 0);
    EXPECT_EQ(level->focusChild(), level->child(0));
    EXPECT_TRUE(level->child(0)->state().focused);
    Key(t, Qt::Key_Down);
    EXPECT_EQ(Moves(), (Names{"Focus:More", "Selection:More"}));
    EXPECT_FALSE(level->child(0)->state().focused);
    // Into the submenu: it opens, its first entry takes the focus.
    Key(t, Qt::Key_Right);
    EXPECT_EQ(Moves(), (Names{"Start:More", "Focus:Inner 1", "Selection:Inner 1"}));
    QAccessibleInterface* inner = LevelOf(t, 1)->child(0);
    // Out again: the submenu ends and the focus is back on the entry that opened it.
    Key(t, Qt::Key_Left);
    EXPECT_EQ(Moves(), (Names{"End:More", "Focus:More", "Selection:More"}));
    // What a reader still holds of the closed level no longer answers.
    EXPECT_FALSE(inner->isValid());
    EXPECT_TRUE(inner->state().invalid);
    EXPECT_EQ(inner->text(QAccessible::Name), "");
    // The pointer moves the focus too; the disabled entry is highlighted and read.
    t.MouseMove(LevelOf(t, 0)->child(2)->rect().center());
    EXPECT_EQ(Moves(), (Names{"Focus:Gray", "Selection:Gray"}));
    Key(t, Qt::Key_Escape);
    EXPECT_EQ(Moves(), (Names{"End:"}));
    EXPECT_FALSE(t.Active());
    // The windows go, and the interfaces with them; the menu opens again as new.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TMenuTracker again(*m.menu);
    again.Open(100, 100);
    Key(again, Qt::Key_End);
    EXPECT_EQ(Moves(), (Names{"Start:", "Focus:Check", "Selection:Check"}));
    EXPECT_TRUE(LevelOf(again, 0)->focusChild()->isValid());
}

TEST_F(MenuAccessible, APressChoosesOrOpensLikeReturn) {
    Menu m;
    TMenuTracker t(*m.menu);
    t.Open(100, 100);
    QAccessibleInterface* level = LevelOf(t, 0);
    auto* gray = level->child(2)->actionInterface();
    ASSERT_NE(gray, nullptr);
    // A disabled entry offers nothing and a press there does nothing.
    EXPECT_TRUE(gray->actionNames().isEmpty());
    gray->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(t.Active());
    EXPECT_TRUE(level->child(1)->actionInterface()->actionNames().isEmpty());  // separator
    // An entry with a submenu opens it.
    auto* more = level->child(3)->actionInterface();
    ASSERT_EQ(more->actionNames(), QStringList{QAccessibleActionInterface::showMenuAction()});
    more->doAction(QAccessibleActionInterface::pressAction());  // not its action
    EXPECT_EQ(t.LevelCount(), 1);
    more->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_EQ(t.LevelCount(), 2);
    EXPECT_EQ(t.Level(1)->Selected(), 0);
    // A plain entry is chosen and the menu ends.
    auto* inner = LevelOf(t, 1)->child(0)->actionInterface();
    ASSERT_EQ(inner->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    inner->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.Chosen(), m.inner1);
}

TEST(MenuSpokenName, DropsMarksAndShortcut) {
    EXPECT_EQ(MenuSpokenName("&Open"), "Open");
    EXPECT_EQ(MenuSpokenName("Fish && &Chips"), "Fish & Chips");
    EXPECT_EQ(MenuSpokenName("&&&x"), "&x");
    EXPECT_EQ(MenuSpokenName("End&"), "End");
    EXPECT_EQ(MenuSpokenName("&Copy\tCtrl+C"), "Copy");
    EXPECT_EQ(MenuSpokenName("\tCtrl+C"), "");
    EXPECT_EQ(MenuSpokenName(""), "");
}

}  // namespace
