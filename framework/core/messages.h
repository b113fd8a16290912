#pragma once
// Window messages that components hook, with their classic numeric ids. Qt events become
// these at one boundary (the window's widget); nothing above the framework sees Qt events.
#include <cstdint>

namespace fw {

struct TMessage {
    unsigned Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_MOVE = 0x0003;
inline constexpr unsigned WM_SIZE = 0x0005;
inline constexpr unsigned WM_ACTIVATE = 0x0006;
inline constexpr unsigned WM_PAINT = 0x000F;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_QUIT = 0x0012;
inline constexpr unsigned WM_SHOWWINDOW = 0x0018;
// The implicit mouse capture ended without a release (a modal loop, a lost activation, a
// hidden control): WParam is the button that was down (TMouseButton + 1), LParam the last
// position seen, in the control's coordinates.
inline constexpr unsigned WM_CANCELMODE = 0x001F;
inline constexpr unsigned WM_SETTINGCHANGE = 0x001A;
inline constexpr unsigned WM_ACTIVATEAPP = 0x001C;
inline constexpr unsigned WM_DRAWITEM = 0x002B;
inline constexpr unsigned WM_MEASUREITEM = 0x002C;
inline constexpr unsigned WM_QUERYNEWPALETTE = 0x030F;
inline constexpr unsigned WM_PALETTECHANGED = 0x0311;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_TIMER = 0x0113;
inline constexpr unsigned WM_INITMENUPOPUP = 0x0117;
inline constexpr unsigned WM_MENUSELECT = 0x011F;
inline constexpr unsigned WM_MENUCHAR = 0x0120;
inline constexpr unsigned WM_ENTERIDLE = 0x0121;
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
inline constexpr unsigned CM_DIALOGCHAR = CM_BASE + 6;    // WParam: the key, lower case
inline constexpr unsigned CM_FOCUSCHANGED = CM_BASE + 7;  // LParam: the focused control
inline constexpr unsigned CM_MOUSEENTER = CM_BASE + 19;
inline constexpr unsigned CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr unsigned CM_FONTCHANGED = CM_BASE + 9;
inline constexpr unsigned CM_COLORCHANGED = CM_BASE + 10;
inline constexpr unsigned CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr unsigned CM_VISIBLECHANGED = CM_BASE + 12;

// Key state bits of mouse messages' WParam.
inline constexpr uintptr_t MK_LBUTTON = 0x0001;
inline constexpr uintptr_t MK_RBUTTON = 0x0002;
inline constexpr uintptr_t MK_SHIFT = 0x0004;
inline constexpr uintptr_t MK_CONTROL = 0x0008;
inline constexpr uintptr_t MK_MBUTTON = 0x0010;
inline constexpr uintptr_t MK_ALT = 0x0020;  // not classic: Alt has no MK_ bit there

inline constexpr intptr_t MakeLParam(int lo, int hi) {
    return static_cast<intptr_t>(static_cast<uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
inline constexpr int LoWordSigned(intptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
inline constexpr int HiWordSigned(intptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }

}  // namespace fw
