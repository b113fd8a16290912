#pragma once
#include <cstdint>

namespace platform {

// Colours are 0x00BBGGRR below 0x80000000; 0x80000000 + n names system colour n.
constexpr std::uint32_t kSystemColorBase = 0x80000000u;
constexpr std::uint32_t kColorNone = 0x1FFFFFFFu;  // clNone: no colour at all
constexpr int kSystemColorCount = 25;

enum SystemColor : int {
    scScrollBar = 0,
    scBackground,
    scActiveCaption,
    scInactiveCaption,
    scMenu,
    scWindow,
    scWindowFrame,
    scMenuText,
    scWindowText,
    scCaptionText,
    scActiveBorder,
    scInactiveBorder,
    scAppWorkSpace,
    scHighlight,
    scHighlightText,
    scBtnFace,
    scBtnShadow,
    scGrayText,
    scBtnText,
    scInactiveCaptionText,
    scBtnHighlight,
    sc3DDkShadow,
    sc3DLight,
    scInfoText,
    scInfoBk,
};

// The classic palette's value of system colour index (0..24) as 0x00BBGGRR; 0 for an index
// outside the table.
std::uint32_t SysColor(int index);

// The RGB value to draw with: system colours through the table (0 for an unknown one), clNone
// unchanged, everything else as it is.
std::uint32_t ColorToRGB(std::uint32_t color);

}  // namespace platform
