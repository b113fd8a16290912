#pragma once
// The banner strip's arithmetic, apart from any window: the strip rectangle from the
// level's entry rectangles, the colour ramp, where the turned text goes, and how much the
// top-level items give up to the strip.
#include <vector>

#include "framework/core/types.h"
#include "framework/graphics/colors.h"

namespace ctl {

enum TBannerJustification { bjCenter, bjTop, bjBottom };
enum TBannerAlignment { baLeft, baRight };
enum TBannerDirection { bdUpwards, bdDownwards };

// a * b / c without overflow, rounded to the nearest integer with halves away from zero;
// -1 when c is 0.
int MulDiv(int a, int b, int c);

// The strip in the level's client coordinates: entry 0's rectangle with its bottom at the
// lowest entry's bottom gives the height (H) and the width (W) of the level.
fw::TRect BannerRectFor(TBannerAlignment alignment, int bannerWidth,
                        const std::vector<fw::TRect>& entryRects);

struct ColorBand {
    int top = 0;           // first row
    int bottom = 0;        // row after the last; equal to top for a band with no rows
    fw::TColor color = 0;  // RGB
};
// The bands of a ramp over rows [top, top + height) from rgb0 (first band) to rgb1 (last
// band); none when n <= 0.
std::vector<ColorBand> ColorBands(int n, int top, int height, fw::TColor rgb0, fw::TColor rgb1);

// The area the text may use: with an image slot (bannerImage >= 0) the foot of the strip,
// width + 4 pixels, stays free.
fw::TRect BannerTextArea(const fw::TRect& strip, int bannerImage);

// The reference point of the turned text (the corner that is the text cell's top-left
// before turning) for a cell cx long and cy high inside area.
fw::TPoint BannerTextOrigin(TBannerJustification justification, TBannerDirection direction,
                            const fw::TRect& area, int cx, int cy);

// A top-level item's rectangle narrowed so that its content starts 2 pixels clear of the
// strip; unchanged when it does not touch the strip's edge.
fw::TRect NarrowForBanner(TBannerAlignment alignment, const fw::TRect& item,
                          const fw::TRect& banner, int bannerWidth);

}  // namespace ctl
