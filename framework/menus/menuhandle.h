#pragma once
// Menu handles: one per menu level, holding the entries the engine shows. The framework
// builds them from the menu items as plain text entries; components may then modify
// entries (owner drawing) through the classic operations below. Flags and messages keep
// their classic values.
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "framework/core/types.h"

class QPainter;

namespace fw {

class TMenuItem;
class TControl;

inline constexpr unsigned WM_INITMENU = 0x0116;
inline constexpr unsigned CM_MENUCHANGED = CM_BASE + 14;

// Entry flags (ReplaceMenuEntry) and item types (GetMenuItemType).
inline constexpr unsigned MF_BYCOMMAND = 0x0000;
inline constexpr unsigned MF_GRAYED = 0x0001;
inline constexpr unsigned MF_DISABLED = 0x0002;
inline constexpr unsigned MF_CHECKED = 0x0008;
inline constexpr unsigned MF_POPUP = 0x0010;
inline constexpr unsigned MF_MENUBARBREAK = 0x0020;
inline constexpr unsigned MF_MENUBREAK = 0x0040;
inline constexpr unsigned MF_OWNERDRAW = 0x0100;
inline constexpr unsigned MF_BYPOSITION = 0x0400;
inline constexpr unsigned MF_SEPARATOR = 0x0800;
inline constexpr unsigned MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr unsigned MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr unsigned MF_HILITE = 0x0080;
inline constexpr unsigned MF_MOUSESELECT = 0x8000;

// WM_MENUCHAR answers.
inline constexpr int MNC_CLOSE = 1;
inline constexpr int MNC_EXECUTE = 2;
inline constexpr int MNC_SELECT = 3;

struct TMenuEntry {
    unsigned command = 0;
    unsigned flags = 0;
    const void* owner = nullptr;  // owner-drawn entries: what the component put there
    std::string text;             // plain entries
    TMenuHandle* submenu = nullptr;
};

struct TMenuHandle {
    std::vector<TMenuEntry> entries;
    TMenuItem* item = nullptr;  // the item whose children these are
};

// A drawing surface lent for one request: the painter and the area it may paint.
struct TDeviceContext {
    QPainter* painter = nullptr;
    TRect bounds;
};

// The entry with the command in the menu or (by command) any of its submenus; by position
// only in the menu itself. Null when there is none.
TMenuEntry* FindMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags);

// Replaces an entry (MF_BYCOMMAND searches the submenus too). With MF_OWNERDRAW the entry
// keeps the owner and drops its text; otherwise it takes the text. An entry that opens a
// submenu keeps it. False when there is no such entry.
bool ReplaceMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags, unsigned newId,
                      const std::string& text);
bool ReplaceMenuEntry(TMenuHandle* menu, unsigned position, unsigned flags, unsigned newId,
                      const void* owner);
// A caption is a string: a bare literal would otherwise be taken for the owner.
bool ReplaceMenuEntry(TMenuHandle*, unsigned, unsigned, unsigned, const char*) = delete;
// The entry's type bits (MFT_OWNERDRAW, MFT_SEPARATOR); false when there is no such entry.
bool GetMenuItemType(TMenuHandle* menu, unsigned position, bool byPosition, unsigned& type);
int GetMenuItemCount(TMenuHandle* menu);
// The screen rectangle of the entry at position while its level is open; false otherwise.
bool GetMenuItemRect(TControl* window, TMenuHandle* menu, unsigned position, TRect& rect);

}  // namespace fw
