#pragma once
// Colours: below 0x80000000 an RGB value 0x00BBGGRR; 0x80000000 + n the system colour n.
#include <cstdint>
#include <optional>
#include <string>

namespace fw {

using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clScrollBar = 0x80000000;
inline constexpr TColor clBackground = 0x80000001;
inline constexpr TColor clActiveCaption = 0x80000002;
inline constexpr TColor clInactiveCaption = 0x80000003;
inline constexpr TColor clMenu = 0x80000004;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clMenuText = 0x80000007;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clCaptionText = 0x80000009;
inline constexpr TColor clActiveBorder = 0x8000000A;
inline constexpr TColor clInactiveBorder = 0x8000000B;
inline constexpr TColor clAppWorkSpace = 0x8000000C;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clGrayText = 0x80000011;
inline constexpr TColor clBtnText = 0x80000012;
inline constexpr TColor clInactiveCaptionText = 0x80000013;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor cl3DDkShadow = 0x80000015;
inline constexpr TColor cl3DLight = 0x80000016;
inline constexpr TColor clInfoText = 0x80000017;
inline constexpr TColor clInfoBk = 0x80000018;
inline constexpr TColor clNone = 0x1FFFFFFF;

std::optional<std::string> ColorToIdent(TColor c);
std::optional<TColor> IdentToColor(const std::string& ident);  // case-insensitive

// The colour as RGB: system colours resolved through the system colour table.
TColor ColorToRGB(TColor c);

inline constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace fw
