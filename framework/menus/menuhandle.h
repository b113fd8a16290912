#pragma once
// Menu handles: one per menu level, holding the entries the engine shows. The framework
// builds them from the menu items as plain text entries; components may then modify
// entries (owner drawing) through the classic operations below. Flags and messages keep
// their classic values.
#include <cstdint>
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

// Entry flags (ModifyMenu) and item types (GetMenuItemType).
inline constexpr unsigned MF_BYCOMMAND = 0x0000;
inline constexpr unsigned MF_STRING = 0x0000;
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

// WM_MENUCHAR answers (high word of the result).
inline constexpr int MNC_IGNORE = 0;
inline constexpr int MNC_CLOSE = 1;
inline constexpr int MNC_EXECUTE = 2;
inline constexpr int MNC_SELECT = 3;
inline constexpr intptr_t MakeLong(int lo, int hi) { return MakeLParam(lo, hi); }

// Owner drawing.
inline constexpr unsigned ODT_MENU = 1;
inline constexpr unsigned ODA_DRAWENTIRE = 1;
inline constexpr unsigned ODA_SELECT = 2;
inline constexpr unsigned ODS_SELECTED = 0x0001;
inline constexpr unsigned ODS_GRAYED = 0x0002;
inline constexpr unsigned ODS_DISABLED = 0x0004;
inline constexpr unsigned ODS_CHECKED = 0x0008;
inline constexpr unsigned ODS_FOCUS = 0x0010;

struct TMenuHandle;
using HMENU = TMenuHandle*;

struct TMenuEntry {
    unsigned command = 0;
    unsigned flags = 0;
    uintptr_t itemData = 0;  // owner-drawn entries: what the component put there
    std::string text;        // plain entries
    HMENU submenu = nullptr;
};

struct TMenuHandle {
    std::vector<TMenuEntry> entries;
    TMenuItem* item = nullptr;  // the item whose children these are
};

// What a WM_MEASUREITEM's LParam points to.
struct TMeasureItemStruct {
    unsigned CtlType = ODT_MENU;
    unsigned CtlID = 0;
    unsigned itemID = 0;
    unsigned itemWidth = 0;
    unsigned itemHeight = 0;
    uintptr_t itemData = 0;
};

// A drawing surface lent for one request: the painter and the area it may paint.
struct TDeviceContext {
    QPainter* painter = nullptr;
    TRect bounds;
};

// What a WM_DRAWITEM's LParam points to; rcItem is in the level's client coordinates.
struct TDrawItemStruct {
    unsigned CtlType = ODT_MENU;
    unsigned CtlID = 0;
    unsigned itemID = 0;
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;
    HMENU hwndItem = nullptr;
    TDeviceContext* hDC = nullptr;
    TRect rcItem;
    uintptr_t itemData = 0;
};

// The entry with the command in the menu or (by command) any of its submenus; by position
// only in the menu itself. Null when there is none.
TMenuEntry* FindMenuEntry(HMENU menu, unsigned position, unsigned flags);

// Replaces an entry (MF_BYCOMMAND searches the submenus too). With MF_OWNERDRAW the entry
// keeps itemData and drops its text; otherwise it takes the text. An entry that opens a
// submenu keeps it. False when there is no such entry.
bool ModifyMenu(HMENU menu, unsigned position, unsigned flags, unsigned newId,
                const std::string& text);
bool ModifyMenu(HMENU menu, unsigned position, unsigned flags, unsigned newId, uintptr_t itemData);
// The entry's type bits (MFT_OWNERDRAW, MFT_SEPARATOR); false when there is no such entry.
bool GetMenuItemType(HMENU menu, unsigned position, bool byPosition, unsigned& type);
int GetMenuItemCount(HMENU menu);
// The screen rectangle of the entry at position while its level is open; false otherwise.
bool GetMenuItemRect(TControl* window, HMENU menu, unsigned position, TRect& rect);

}  // namespace fw
