#include "framework/menus/menuengine.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "framework/controls/controls.h"
#include "framework/controls/cursors.h"
#include "framework/controls/screen.h"
#include "framework/core/qtconvert.h"
#include "framework/core/savemoments.h"
#include "framework/menus/menuaccessible.h"
#include "framework/menus/menuplacement.h"
#include "framework/menus/menus.h"
#include "framework/menus/menutext.h"
#include "framework/menus/popuplist.h"

namespace fw {
namespace {
TMenuTracker* current = nullptr;
}  // namespace

TMenuTracker* TMenuTracker::Current() { return current; }

TMenuTracker::TMenuTracker(TPopupMenu& menu)
    : menu_(menu),
      hoverTimer_(std::make_unique<QTimer>()),
      watch_(std::make_unique<TMenuWatch>(this)),
      relayoutTimer_(std::make_unique<QTimer>()) {
    hoverTimer_->setSingleShot(true);
    hoverTimer_->setInterval(kSubmenuDelayMs);
    QObject::connect(hoverTimer_.get(), &QTimer::timeout, [this] {
        if (active_) OpenSelectedSubmenu(hoverLevel_);
    });
    relayoutTimer_->setSingleShot(true);
    relayoutTimer_->setInterval(0);
    QObject::connect(relayoutTimer_.get(), &QTimer::timeout, [this] { FollowChanges(); });
}

TMenuTracker::~TMenuTracker() {
    if (active_) Cancel();
    CloseLevelsFrom(0);
    if (current == this) current = nullptr;
}

TMenuLevelWindow* TMenuTracker::LevelOf(TMenuHandle* menu) const {
    for (TMenuLevelWindow* l : levels_)
        if (l->handle_ == menu) return l;
    return nullptr;
}

void TMenuTracker::Open(int x, int y) {
    if (active_ || current) return;
    current = this;
    active_ = true;
    chosen_ = nullptr;
    moved_ = false;
    pressedInside_ = false;
    // Where the opening press was. With a button down the press reached one of our windows,
    // which noted its place: asking the window system would cost a round trip.
    openPointer_ =
        ToQPoint(QGuiApplication::mouseButtons() != Qt::NoButton ? LastMousePos() : CursorPos());
    Watch(&menu_);
    PopupList().SetMenu(&menu_);
    TMenuHandle* root = menu_.Handle();
    SendPopupList(WM_ENTERMENULOOP);
    SendPopupList(WM_INITMENU, TMenuOpening{root, 0});
    OpenLevel(menu_.Handle(), -1, -1, QPoint(x, y));
}

TMenuLevelWindow* TMenuTracker::OpenLevel(TMenuHandle* menu, int parentLevel, int parentEntry,
                                          QPoint at) {
    TMenuItem* item = menu->item;
    Watch(item);
    const int parents = LevelCount();
    SendPopupList(WM_INITMENUPOPUP, TMenuOpening{menu, std::max(parentEntry, 0)});
    // The opening may have ended tracking (a handler that closed the program), or its
    // handlers (the item's OnClick) may have freed, hidden or emptied what was to open.
    if (!active_ || LevelCount() != parents) return nullptr;
    if (parentLevel >= 0) {
        FollowChanges();
        const TMenuEntry* e = EntryOf(parentLevel, parentEntry);
        if (LevelCount() != parents || !e || e->submenu != menu || !item || item->Count() == 0)
            return nullptr;
    }
    auto* level = new TMenuLevelWindow(this, menu);
    level->parentEntry_ = parentEntry;
    levels_.push_back(level);
    level->Measure();
    const int w = level->widget_->width(), h = level->widget_->height();
    int x = at.x(), y = at.y();
    // The level stays on the monitor that shows the point or entry it opens from.
    TRect screen;
    if (parentLevel < 0) {
        screen = ScreenAt(FromQPoint(at));
        // The top level opens to the left of and above the point when it does not fit.
        if (x + w > screen.Right) x -= w;
        if (y + h > screen.Bottom) y -= h;
    } else {
        TMenuLevelWindow* parent = levels_[static_cast<size_t>(parentLevel)];
        TRect pe = parent->EntryRect(parentEntry)
                       .Offset(parent->ScreenClientRect().Left, parent->ScreenClientRect().Top);
        std::vector<TRect> open;
        for (int i = 0; i <= parentLevel; ++i)
            open.push_back(levels_[static_cast<size_t>(i)]->ScreenWindowRect());
        screen = ScreenAt(pe.TopLeft());
        TSubmenuPlace p = PlaceSubmenu(open, pe, w, h, parent->leftward_, screen, kMenuFrame);
        x = p.x;
        y = p.y;
        level->leftward_ = p.leftward;
    }
    x = std::max(screen.Left, std::min(x, std::max(screen.Left, screen.Right - w)));
    y = std::max(screen.Top, std::min(y, std::max(screen.Top, screen.Bottom - h)));
    level->widget_->move(x, y);
    level->widget_->show();
    AccessibleMenuOpened(level);
    return level;
}

void TMenuTracker::CloseLevelsFrom(int level, bool announce) {
    if (level < 0) level = 0;
    while (static_cast<int>(levels_.size()) > level) {
        TMenuLevelWindow* l = levels_.back();
        if (announce) AccessibleMenuClosing(l);
        levels_.pop_back();
        delete l;
    }
    if (hoverLevel_ >= level) hoverTimer_->stop();
}

void TMenuTracker::Cancel() { End(); }

void TMenuTracker::End() {
    if (!active_) return;
    active_ = false;
    hoverTimer_->stop();
    relayoutTimer_->stop();
    dirty_ = false;
    CloseLevelsFrom(0);
    SendPopupList(WM_MENUSELECT, TMenuSelection{});
    SendPopupList(WM_EXITMENULOOP);
    PopupList().SetMenu(nullptr);
    if (current == this) current = nullptr;
    if (OnEnded) OnEnded();
}

bool TMenuTracker::Selectable(const TMenuEntry& e, bool keyboard) const {
    if (e.flags & MF_SEPARATOR) return false;
    return !keyboard || !(e.flags & MF_GRAYED);
}

void TMenuTracker::Select(int level, int entry, bool byMouse) {
    if (level < 0 || level >= LevelCount()) return;
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    if (l->selected_ == entry) return;
    l->givenByOpening_ = false;
    int old = l->selected_;
    const TMenuEntry* selected = EntryOf(level, entry);
    l->selected_ = selected ? entry : -1;
    l->selectedCommand_ = selected ? selected->command : 0;
    l->UpdateEntry(old);
    l->UpdateEntry(entry);
    if (selected) {
        const TMenuEntry e = *selected;
        unsigned flags =
            (e.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_OWNERDRAW)) |
            MF_HILITE | (byMouse ? MF_MOUSESELECT : 0);
        SendPopupList(WM_MENUSELECT, TMenuSelection{e.command, flags, l->handle_});
    }
    // The message's handlers may have closed the menu or changed its items.
    if (entry >= 0 && IndexOf(l) >= 0 && !dirty_) AccessibleMenuFocus(l);
}

// Left or Escape on a submenu: it closes and the reader's focus goes back to the entry
// that opened it.
void TMenuTracker::CloseByKey(int level) {
    CloseLevelsFrom(level);
    if (!levels_.empty()) AccessibleMenuFocus(levels_.back());
}

int TMenuTracker::IndexOf(const TMenuLevelWindow* level) const {
    for (size_t i = 0; i < levels_.size(); ++i)
        if (levels_[i] == level) return static_cast<int>(i);
    return -1;
}

void TMenuTracker::Activate(int level, int entry) {
    FollowChanges();
    if (active_ && level >= 0 && level < LevelCount()) Execute(level, entry);
}

int TMenuTracker::Step(int level, int from, int dir) const {
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int n = static_cast<int>(l->handle_->entries.size());
    if (n == 0) return -1;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (dir > 0 ? 0 : n - 1) : (i + dir + n) % n;
        if (Selectable(l->handle_->entries[static_cast<size_t>(i)], true)) return i;
    }
    return -1;
}

int TMenuTracker::LevelAt(QPoint global) const {
    for (int i = LevelCount() - 1; i >= 0; --i)
        if (levels_[static_cast<size_t>(i)]->ScreenWindowRect().Contains({global.x(), global.y()}))
            return i;
    return -1;
}

void TMenuTracker::OpenSelectedSubmenu(int level) {
    FollowChanges();
    if (!active_ || level < 0 || level >= LevelCount()) return;
    int sel = levels_[static_cast<size_t>(level)]->selected_;
    const TMenuEntry* e = EntryOf(level, sel);
    if (!e || !e->submenu || (e->flags & MF_GRAYED)) return;
    if (level + 1 < LevelCount() && levels_[static_cast<size_t>(level + 1)]->parentEntry_ == sel)
        return;  // already open
    TMenuHandle* submenu = e->submenu;
    CloseLevelsFrom(level + 1);
    OpenLevel(submenu, level, sel, QPoint());
}

void TMenuTracker::Execute(int level, int entry) {
    const TMenuEntry* found = EntryOf(level, entry);
    if (!found) return;
    const TMenuEntry e = *found;
    if (e.flags & (MF_GRAYED | MF_SEPARATOR)) return;
    Select(level, entry, false);
    // Handlers of the selection may have changed the items: this input is spent.
    if (!active_ || dirty_ || level >= LevelCount()) return;
    if (e.submenu) {
        OpenSelectedSubmenu(level);
        if (active_ && level + 1 < LevelCount()) {
            Select(level + 1, Step(level + 1, -1, 1), false);
            if (level + 1 < LevelCount())
                levels_[static_cast<size_t>(level + 1)]->givenByOpening_ = true;
        }
        return;
    }
    Choose(e.command);
}

void TMenuTracker::Choose(unsigned command) {
    chosen_ = menu_.Items()->FindByCommand(command);
    // Only what the user could see and choose runs.
    for (TMenuItem* i = chosen_; i && i != menu_.Items(); i = i->Parent())
        if (!i->Visible() || !i->Enabled()) chosen_ = nullptr;
    if (chosen_) Watch(chosen_);
    End();
}

void TMenuTracker::KeyPress(int key, const QString& text) {
    FollowChanges();
    if (!active_ || levels_.empty()) return;
    int level = LevelCount() - 1;
    TMenuLevelWindow* l = levels_.back();
    switch (key) {
        case Qt::Key_Down:
            Select(level, Step(level, l->selected_, 1), false);
            return;
        case Qt::Key_Up:
            Select(level, Step(level, l->selected_, -1), false);
            return;
        case Qt::Key_Home:
            Select(level, Step(level, -1, 1), false);
            return;
        case Qt::Key_End:
            Select(level, Step(level, -1, -1), false);
            return;
        case Qt::Key_Right: {
            const TMenuEntry* e = EntryOf(level, l->selected_);
            if (e && e->submenu) Execute(level, l->selected_);
            return;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (l->selected_ >= 0) Execute(level, l->selected_);
            return;
        case Qt::Key_Left:
            if (level > 0) CloseByKey(level);
            return;
        case Qt::Key_Escape:
            if (level > 0)
                CloseByKey(level);
            else
                End();
            return;
        default:
            break;
    }
    if (!text.isEmpty() && text[0].isPrint()) TypeCharacter(level, text[0]);
}

QChar TMenuTracker::AccessKeyOf(const TMenuEntry& e) const {
    if (e.flags & MF_SEPARATOR) return QChar();
    QString caption, shortcut;
    if (!(e.flags & MF_OWNERDRAW)) {
        SplitMenuText(e.text, caption, shortcut);
        return MenuAccessKey(caption);
    }
    // Owner-drawn entries carry no text: the item behind the entry has the caption.
    TMenuItem* item = menu_.Items()->FindByCommand(e.command);
    return item ? MenuAccessKey(QString::fromStdString(item->Caption())) : QChar();
}

// Typed characters: the components answer first, then the plain entries' access keys. A
// letter that several entries of the level share moves the highlight to the next of them
// instead of choosing the first; a letter that one entry has chooses it.
void TMenuTracker::TypeCharacter(int level, QChar ch) {
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    const TMessage r = SendPopupList(WM_MENUCHAR, TMenuChar{ch.unicode(), l->handle_});
    if (!active_ || dirty_ || IndexOf(l) != level) return;
    const TMenuChar* typed = r.Get<TMenuChar>();  // a hook may have replaced the payload
    const int answer = typed ? typed->Answer : 0, pos = typed ? typed->Position : 0;
    if (answer == MNC_SELECT) {
        Select(level, pos, false);
        return;
    }
    if (answer == MNC_CLOSE) {
        End();
        return;
    }
    const bool answered = answer == MNC_EXECUTE;
    std::vector<int> sharing;
    const auto& entries = l->handle_->entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TMenuEntry& e = entries[i];
        // Without an answer, owner-drawn entries are their component's to match.
        if ((!answered && (e.flags & MF_OWNERDRAW)) || !Selectable(e, true)) continue;
        if (AccessKeyOf(e) == ch.toUpper()) sharing.push_back(static_cast<int>(i));
    }
    const bool shared =
        sharing.size() > 1 &&
        (!answered || std::find(sharing.begin(), sharing.end(), pos) != sharing.end());
    if (shared) {
        // The highlight a level opens with is not the user's: the first of them comes first.
        auto next = std::upper_bound(sharing.begin(), sharing.end(),
                                     l->givenByOpening_ ? -1 : l->selected_);
        l->givenByOpening_ = false;  // also when the first is where the opening put it
        Select(level, next == sharing.end() ? sharing.front() : *next, false);
    } else if (answered) {
        Execute(level, pos);
    } else if (!sharing.empty()) {
        Execute(level, sharing.front());
    }
}

void TMenuTracker::MouseMove(QPoint global) {
    FollowChanges();
    if (!active_) return;
    if (global != openPointer_) moved_ = true;
    int level = LevelAt(global);
    if (level < 0) {
        // Off every level: the deepest level loses its selection unless it opened a submenu.
        int last = LevelCount() - 1;
        if (last >= 0) {
            const TMenuEntry* e = EntryOf(last, levels_.back()->selected_);
            if (e && !e->submenu) Select(last, -1, true);
        }
        return;
    }
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int entry = l->EntryAt(global);
    const TMenuEntry* e = EntryOf(level, entry);
    if (!e || !Selectable(*e, false)) return;
    const bool submenu = e->submenu != nullptr;
    if (l->selected_ == entry) {
        // Back on the parent entry of an open submenu: the submenu's own selection goes.
        if (level + 1 < LevelCount()) Select(level + 1, -1, true);
        return;
    }
    Select(level, entry, true);
    hoverTimer_->stop();
    if (!active_ || dirty_ || IndexOf(l) != level) return;
    if (level + 1 < LevelCount()) CloseLevelsFrom(level + 1);
    if (submenu) {
        hoverLevel_ = level;
        hoverTimer_->start();
    }
}

void TMenuTracker::MousePress(QPoint global) {
    FollowChanges();
    if (!active_) return;
    int level = LevelAt(global);
    if (level < 0) {
        End();
        return;
    }
    pressedInside_ = true;
    int entry = levels_[static_cast<size_t>(level)]->EntryAt(global);
    const TMenuEntry* e = EntryOf(level, entry);
    if (!e || !Selectable(*e, false)) return;
    const bool submenu = e->submenu != nullptr;
    Select(level, entry, true);
    if (!active_ || dirty_ || level >= LevelCount()) return;
    if (submenu) {
        hoverTimer_->stop();
        OpenSelectedSubmenu(level);
    }
}

void TMenuTracker::MouseRelease(QPoint global) {
    FollowChanges();
    if (!active_) return;
    if (global != openPointer_) moved_ = true;
    // The release of the press that opened the menu chooses nothing.
    if (!moved_ && !pressedInside_) return;
    int level = LevelAt(global);
    if (level < 0) return;
    const TMenuEntry* e = EntryOf(level, levels_[static_cast<size_t>(level)]->EntryAt(global));
    if (!e || e->submenu || (e->flags & (MF_GRAYED | MF_SEPARATOR))) return;
    Choose(e->command);
}

// The engine behind TPopupMenu::Popup.

void OwnPopupEngine(TPopupMenu& menu, int x, int y) {
    if (TMenuTracker::Current()) return;  // one menu at a time
    // The press that opened the menu gave up its control's capture in Popup (the framework
    // ends it as every modal loop starts).
    QPointer<QWidget> hadKeyboard = QApplication::activeWindow();
    TMenuItem* chosen = nullptr;
    {
        TMenuTracker tracker(menu);
        QEventLoop loop;
        tracker.OnEnded = [&loop] { loop.quit(); };
        tracker.Open(x, y);
        if (tracker.Active()) loop.exec();
        tracker.Cancel();
        chosen = tracker.Chosen();
    }
    // The keyboard goes back to the window that had it, unless a command is about to run
    // (it may open a window of its own, which should get the keyboard instead).
    if (!chosen && hadKeyboard && hadKeyboard->isVisible()) hadKeyboard->activateWindow();
    if (chosen) {
        Guarded(chosen, [chosen] { chosen->Click(); });
        AnnounceSaveMoment(TSaveMoment::AfterUserAction);
    }
}

}  // namespace fw
