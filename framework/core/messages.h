#pragma once
// Window messages that components hook, with their classic numeric ids, and what each one
// carries. Qt events become these at one boundary (the window's widget); nothing above the
// framework sees Qt events.
#include <cstdint>
#include <variant>

#include "framework/core/types.h"

namespace fw {

class TMenu;
class TWinControl;
struct TMenuHandle;
struct TDeviceContext;

// Mouse messages: the position in the receiver's client coordinates and the buttons held
// and modifier keys down, as TModifierState bits (ssShift, ssLeft, ...). For WM_CANCELMODE,
// the last position seen and the button whose press ended (ssLeft, ssRight or ssMiddle).
struct TMouseData {
    TPoint Pos;
    unsigned Shift = 0;
};

// CM_DIALOGCHAR: the access key pressed with Alt, lower case.
struct TDialogChar {
    char Key = 0;
};

// CM_FOCUSCHANGED: the control of the window that has the keyboard now, or null.
struct TFocusChange {
    TWinControl* Focused = nullptr;
};

// WM_INITMENU and WM_INITMENUPOPUP: the level opening and its entry's place in its parent.
struct TMenuOpening {
    TMenuHandle* Menu = nullptr;
    int Position = 0;
};

// WM_MENUSELECT: the entry highlighted, its flags and its level; no level when the menu
// closes.
struct TMenuSelection {
    unsigned Command = 0;
    unsigned Flags = 0;
    TMenuHandle* Menu = nullptr;
};

// WM_MENUCHAR: a character typed in an open level. A handler that knows it sets the answer
// (MNC_EXECUTE, MNC_SELECT or MNC_CLOSE) and the entry's position.
struct TMenuChar {
    char16_t Key = 0;
    TMenuHandle* Menu = nullptr;
    int Answer = 0;
    int Position = 0;
};

// CM_MENUCHANGED: the menu whose items changed.
struct TMenuChange {
    TMenu* Menu = nullptr;
};

// Owner drawing: the kind of thing drawn (menu entries only) and the state bits of an
// entry being painted.
inline constexpr unsigned ODT_MENU = 1;
inline constexpr unsigned ODS_SELECTED = 0x0001;
inline constexpr unsigned ODS_GRAYED = 0x0002;
inline constexpr unsigned ODS_DISABLED = 0x0004;
inline constexpr unsigned ODS_CHECKED = 0x0008;
inline constexpr unsigned ODS_FOCUS = 0x0010;

// WM_MEASUREITEM: an owner-drawn entry asks its size; the handler fills Width and Height.
// Owner is what the component put on the entry.
struct TMeasureRequest {
    unsigned Kind = ODT_MENU;
    unsigned Command = 0;
    int Width = 0;
    int Height = 0;
    const void* Owner = nullptr;
};

// WM_DRAWITEM: an owner-drawn entry to paint on the surface, in Rect (the level's client
// coordinates).
struct TDrawRequest {
    unsigned Kind = ODT_MENU;
    unsigned Command = 0;
    unsigned State = 0;
    TMenuHandle* Menu = nullptr;
    TDeviceContext* Surface = nullptr;
    TRect Rect;
    const void* Owner = nullptr;
};

using TMessageData =
    std::variant<std::monostate, TMouseData, TDialogChar, TFocusChange, TMenuOpening,
                 TMenuSelection, TMenuChar, TMenuChange, TMeasureRequest, TDrawRequest>;

struct TMessage {
    unsigned Msg = 0;
    TMessageData Data;
    intptr_t Result = 0;

    // The payload when it is of that type, else null.
    template <class T>
    T* Get() {
        return std::get_if<T>(&Data);
    }
    template <class T>
    const T* Get() const {
        return std::get_if<T>(&Data);
    }
};

inline constexpr unsigned WM_CANCELMODE = 0x001F;  // the implicit mouse capture ended
inline constexpr unsigned WM_SETTINGCHANGE = 0x001A;
inline constexpr unsigned WM_DRAWITEM = 0x002B;
inline constexpr unsigned WM_MEASUREITEM = 0x002C;
inline constexpr unsigned WM_INITMENUPOPUP = 0x0117;
inline constexpr unsigned WM_MENUSELECT = 0x011F;
inline constexpr unsigned WM_MENUCHAR = 0x0120;
inline constexpr unsigned WM_MOUSEMOVE = 0x0200;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x0204;
inline constexpr unsigned WM_RBUTTONUP = 0x0205;
inline constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
inline constexpr unsigned WM_MBUTTONDOWN = 0x0207;
inline constexpr unsigned WM_MBUTTONUP = 0x0208;
inline constexpr unsigned WM_MBUTTONDBLCLK = 0x0209;
inline constexpr unsigned WM_ENTERMENULOOP = 0x0211;
inline constexpr unsigned WM_EXITMENULOOP = 0x0212;
inline constexpr unsigned WM_USER = 0x0400;
// Framework notifications (the classic CM_ range).
inline constexpr unsigned CM_BASE = 0xB000;
inline constexpr unsigned CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr unsigned CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr unsigned CM_MOUSEENTER = CM_BASE + 19;
inline constexpr unsigned CM_MOUSELEAVE = CM_BASE + 20;

}  // namespace fw
