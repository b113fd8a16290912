#include "widgets/bannerstrip.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace ctl {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    bool negative = (num < 0) != (den < 0);
    int64_t n = std::llabs(num), d = std::llabs(den);
    int64_t q = (2 * n + d) / (2 * d);  // halves away from zero
    return static_cast<int>(negative ? -q : q);
}

fw::TRect BannerRectFor(TBannerAlignment alignment, int bannerWidth,
                        const std::vector<fw::TRect>& entryRects) {
    if (entryRects.empty()) return {};
    fw::TRect r = entryRects.front();
    for (const fw::TRect& e : entryRects) r.Bottom = std::max(r.Bottom, e.Bottom);
    int h = r.Bottom - r.Top, w = r.Right - r.Left;
    if (alignment == baLeft) return fw::Rect(0, 0, bannerWidth, h);
    return fw::Rect(w - bannerWidth, 0, w, h);
}

std::vector<ColorBand> ColorBands(int n, int top, int height, fw::TColor rgb0, fw::TColor rgb1) {
    std::vector<ColorBand> out;
    if (n <= 0) return out;
    int r0 = fw::GetRValue(rgb0), g0 = fw::GetGValue(rgb0), b0 = fw::GetBValue(rgb0);
    int r1 = fw::GetRValue(rgb1), g1 = fw::GetGValue(rgb1), b1 = fw::GetBValue(rgb1);
    for (int i = 0; i < n; ++i) {
        ColorBand b;
        b.top = top + MulDiv(i, height, n);
        b.bottom = top + MulDiv(i + 1, height, n);
        if (n == 1)
            b.color = rgb0;
        else
            b.color = fw::RGB(r0 + MulDiv(i, r1 - r0, n - 1), g0 + MulDiv(i, g1 - g0, n - 1),
                              b0 + MulDiv(i, b1 - b0, n - 1));
        out.push_back(b);
    }
    return out;
}

fw::TRect BannerTextArea(const fw::TRect& strip, int bannerImage) {
    fw::TRect b = fw::Rect(0, 0, strip.Width(), strip.Height());
    if (bannerImage >= 0) b.Bottom -= b.Width() + 4;
    return b;
}

fw::TPoint BannerTextOrigin(TBannerJustification justification, TBannerDirection direction,
                            const fw::TRect& b, int cx, int cy) {
    const int w = b.Right - b.Left, h = b.Bottom - b.Top;
    // Integer division in C++ already rounds toward zero.
    const int across = direction == bdUpwards ? b.Left + (w - cy) / 2 : b.Right - 1 - (w - cy) / 2;
    int y = 0;
    switch (justification) {
        case bjCenter:
            y = direction == bdUpwards ? b.Bottom - 1 - (h - cx) / 2 : b.Top + 1 + (h - cx) / 2;
            break;
        case bjTop:
            y = direction == bdUpwards ? b.Top + cx + 1 : b.Top + 1;
            break;
        case bjBottom:
            y = direction == bdUpwards ? b.Bottom - 1 : b.Bottom - cx - 1;
            break;
    }
    return {across, y};
}

fw::TRect NarrowForBanner(TBannerAlignment alignment, const fw::TRect& item,
                          const fw::TRect& banner, int bannerWidth) {
    fw::TRect r = item;
    if (alignment == baLeft) {
        if (r.Left == banner.Left) r.Left += bannerWidth + 2;
    } else if (r.Right == banner.Right) {
        r.Right -= bannerWidth + 2;
    }
    return r;
}

}  // namespace ctl
