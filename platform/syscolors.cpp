#include "platform/syscolors.h"

namespace platform {

namespace {
// 0x00BBGGRR, in system colour order.
constexpr std::uint32_t kClassic[kSystemColorCount] = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop background: teal
    0x800000,  // active caption: navy
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight: navy
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3D dark shadow
    0xDFDFDF,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background: pale yellow
};
}  // namespace

std::uint32_t SysColor(int index) {
    return (index >= 0 && index < kSystemColorCount) ? kClassic[index] : 0;
}

std::uint32_t ColorToRGB(std::uint32_t color) {
    if (color & kSystemColorBase) {
        std::uint32_t n = color - kSystemColorBase;
        return n < static_cast<std::uint32_t>(kSystemColorCount) ? kClassic[n] : 0;
    }
    return color;
}

}  // namespace platform
