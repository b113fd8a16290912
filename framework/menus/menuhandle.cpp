#include "framework/menus/menuhandle.h"

#include "framework/menus/menuengine.h"

namespace fw {

namespace {
TMenuEntry* FindByCommand(TMenuHandle* menu, unsigned command) {
    for (TMenuEntry& e : menu->entries) {
        if (e.command == command) return &e;
        if (e.submenu)
            if (TMenuEntry* f = FindByCommand(e.submenu, command)) return f;
    }
    return nullptr;
}
}  // namespace

TMenuEntry* FindMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags) {
    if (!menu) return nullptr;
    if (flags & MF_BYPOSITION)
        return position < menu->entries.size() ? &menu->entries[position] : nullptr;
    return FindByCommand(menu, position);
}

namespace {
TMenuEntry* Modify(TMenuHandle* menu, unsigned position, unsigned flags, unsigned newId) {
    TMenuEntry* e = FindMenuEntry(menu, position, flags);
    if (!e) return nullptr;
    e->command = newId;
    // An entry that opens a submenu keeps it.
    e->flags = (flags & ~(MF_BYPOSITION | MF_POPUP)) | (e->submenu ? MF_POPUP : 0);
    return e;
}
}  // namespace

bool ReplaceMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags, unsigned newId,
                      const std::string& text) {
    TMenuEntry* e = Modify(menu, position, flags & ~MF_OWNERDRAW, newId);
    if (!e) return false;
    e->text = text;
    e->owner = nullptr;
    return true;
}

bool ReplaceMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags, unsigned newId,
                      const void* owner) {
    TMenuEntry* e = Modify(menu, position, flags, newId);
    if (!e) return false;
    if (flags & MF_OWNERDRAW) {
        e->owner = owner;
        e->text.clear();
    }
    return true;
}

bool GetMenuItemType(TMenuHandle* menu, unsigned position, bool byPosition, unsigned& type) {
    TMenuEntry* e = FindMenuEntry(menu, position, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!e) return false;
    type = e->flags & (MFT_OWNERDRAW | MFT_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK);
    return true;
}

int GetMenuItemCount(TMenuHandle* menu) {
    return menu ? static_cast<int>(menu->entries.size()) : -1;
}

bool GetMenuItemRect(TControl*, TMenuHandle* menu, unsigned position, TRect& rect) {
    TMenuTracker* t = TMenuTracker::Current();
    TMenuLevelWindow* level = t ? t->LevelOf(menu) : nullptr;
    if (!level || static_cast<int>(position) >= level->EntryCount()) return false;
    TRect c = level->ScreenClientRect();
    rect = level->EntryRect(static_cast<int>(position)).Offset(c.Left, c.Top);
    return true;
}

}  // namespace fw
