#include "program/textlayout.h"

#include <algorithm>

namespace app {

namespace {
// The designed places (full form; the address line moves up in the compact one).
constexpr int kIpLeft = 27, kIpTop = 23, kCompactIpLeft = 22, kCompactIpTop = 7;
constexpr int kCaptionLeft = 27, kCaptionTop = 32, kMarqueeLeft = 78, kMarqueeTop = 31;
constexpr int kMarqueeHeight = 13, kCaptionGap = 2;
// The indicator ends the address line in the full form, the minimise glyph in the compact
// one; the title above it and the host-name line below it bound it upwards and downwards
// (the designed bottom, which the host-name caption's leading keeps clear of its glyphs).
constexpr int kIndicatorLeft = 142, kGlyphLeft = 147, kTitleBottom = 17, kIpBottom = 33;
constexpr int kFullHeight = 51, kCompactHeight = 24;
// The marquee keeps room for a few letters however wide its caption grows.
constexpr int kMarqueeMinWidth = 24;

// A line that would run past `bottom` first moves up, as far as `ceiling`, then is cut.
TextBox Fit(int left, int top, int width, int height, int right, int ceiling, int bottom) {
    if (top + height > bottom) top = std::max(ceiling, bottom - height);
    return {left, top, std::clamp(right - left, 0, width), std::clamp(bottom - top, 0, height)};
}
}  // namespace

TextPlaces PlaceTexts(bool compact, const TextSizes& s, int marqueeRight) {
    TextPlaces p{};
    p.ip = compact ? Fit(kCompactIpLeft, kCompactIpTop, s.ipWidth, s.ipHeight, kGlyphLeft, 0,
                         kCompactHeight)
                   : Fit(kIpLeft, kIpTop, s.ipWidth, s.ipHeight, kIndicatorLeft, kTitleBottom,
                         kIpBottom);
    const int captionRight = std::max(kCaptionLeft, marqueeRight - kMarqueeMinWidth - kCaptionGap);
    p.caption = Fit(kCaptionLeft, kCaptionTop, s.captionWidth, s.captionHeight, captionRight,
                    kCaptionTop, kFullHeight);
    const int marqueeLeft = std::max(kMarqueeLeft, p.caption.left + p.caption.width + kCaptionGap);
    p.marquee =
        Fit(marqueeLeft, kMarqueeTop, marqueeRight - marqueeLeft,
            std::max(kMarqueeHeight, s.marqueeHeight), marqueeRight, kMarqueeTop, kFullHeight);
    return p;
}

}  // namespace app
