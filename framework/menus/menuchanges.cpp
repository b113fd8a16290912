// Items that change while their menu is open. A handler (a timer, an item's OnClick, a
// hook answering a selection) may free, hide, disable, empty or rename items under the open
// levels. A level whose item goes away closes at once, before its handle can be freed; the
// levels left are laid out again from their items before the next input is handled, so no
// index or rectangle of the old layout is used against the new entries.
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "framework/controls/screen.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menus.h"
#include "framework/menus/popuplist.h"

namespace fw {

void TMenuWatch::Notification(TComponent* c, TOperation operation) {
    TComponent::Notification(c, operation);
    if (operation == TOperation::opRemove) tracker_->Freed(c);
}

void TMenuTracker::Watch(TComponent* c) {
    if (c) watch_->FreeNotification(c);
}

const TMenuEntry* TMenuTracker::EntryOf(int level, int entry) const {
    if (level < 0 || level >= LevelCount() || entry < 0) return nullptr;
    const TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    if (entry >= l->EntryCount() || entry >= static_cast<int>(l->handle_->entries.size()))
        return nullptr;
    return &l->handle_->entries[static_cast<size_t>(entry)];
}

// Told after the component's own parts are gone: a freed item's handle no longer exists, so
// its level (and those below) close without asking anything of it.
void TMenuTracker::Freed(TComponent* c) {
    if (c == chosen_) chosen_ = nullptr;
    if (!active_) return;
    // The menu itself, or its root item as the menu goes (the menu is half gone then: only
    // pointers are compared).
    if (c == &menu_ || (!levels_.empty() && levels_.front()->item_ == c)) {
        // Nothing of the menu may be reached any more, not even by the owner's hooks.
        if (PopupList().Menu() == &menu_) PopupList().SetMenu(nullptr);
        CloseLevelsFrom(0, false);
        End();
        return;
    }
    for (int i = 0; i < LevelCount(); ++i)
        if (levels_[static_cast<size_t>(i)]->item_ == c) {
            CloseLevelsFrom(i, false);
            break;
        }
    if (levels_.empty()) End();
}

// A level stays open while its item is still a visible, enabled item with children of the
// level above it.
void TMenuTracker::CloseUnreachable() {
    for (int i = 1; i < LevelCount(); ++i) {
        TMenuItem* item = levels_[static_cast<size_t>(i)]->item_;
        TMenuItem* parent = levels_[static_cast<size_t>(i - 1)]->item_;
        if (!item || item->Parent() != parent || !item->Visible() || !item->Enabled() ||
            item->Count() == 0 || item->IsLine()) {
            CloseLevelsFrom(i);
            return;
        }
    }
}

void TMenuTracker::MenuChanged() {
    if (!active_) return;
    CloseUnreachable();
    dirty_ = true;
    relayoutTimer_->start();
}

void TMenuTracker::Relayout() {
    dirty_ = false;
    relayoutTimer_->stop();
    if (!active_) return;
    CloseUnreachable();
    for (int i = 0; i < LevelCount() && active_ && !dirty_; ++i) RelayoutLevel(i);
    if (active_ && !dirty_ && (levels_.empty() || levels_.front()->EntryCount() == 0)) End();
}

void TMenuTracker::RelayoutLevel(int level) {
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    if (level == 0) menu_.Handle();  // rebuilds the levels below as well
    const std::vector<TMenuEntry>& entries = l->handle_->entries;
    if (level > 0) {
        // The entry that opened this level may have moved.
        const std::vector<TMenuEntry>& above =
            levels_[static_cast<size_t>(level - 1)]->handle_->entries;
        auto at = std::find_if(above.begin(), above.end(),
                               [l](const TMenuEntry& e) { return e.submenu == l->handle_; });
        if (at == above.end() || (at->flags & MF_GRAYED)) {
            CloseLevelsFrom(level);
            return;
        }
        l->parentEntry_ = static_cast<int>(at - above.begin());
        levels_[static_cast<size_t>(level - 1)]->selected_ = l->parentEntry_;
    }
    // The selection stays on its item wherever that is now.
    int selected = -1;
    for (size_t i = 0; i < entries.size() && l->selectedCommand_; ++i)
        if (entries[i].command == l->selectedCommand_ && !(entries[i].flags & MF_SEPARATOR))
            selected = static_cast<int>(i);
    l->selected_ = selected;
    if (selected < 0) l->selectedCommand_ = 0;
    const QPoint at = l->widget_->pos();
    l->Measure();
    // Measuring asks the components, which may have changed the items again.
    if (IndexOf(l) != level) return;
    const TRect screen = ScreenAt({at.x(), at.y()});
    const int w = l->widget_->width(), h = l->widget_->height();
    l->widget_->move(std::max(screen.Left, std::min(at.x(), screen.Right - w)),
                     std::max(screen.Top, std::min(at.y(), screen.Bottom - h)));
    l->widget_->update();
}

}  // namespace fw
