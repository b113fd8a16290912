#include "gif/codec/compose.h"

#include <algorithm>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/giflimits.h"

namespace gifcodec {

namespace {

class Screen {
  public:
    Screen(TComposedFrame& out) : out_(out) {}

    void Fill(int left, int top, int w, int h, TColor c) {
        const int x0 = std::max(0, left), y0 = std::max(0, top);
        const int x1 = std::min(out_.width, left + w), y1 = std::min(out_.height, top + h);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Put(x, y, c);
    }

    // Pixels of the frame's transparent colour leave the screen as it was.
    void Draw(TGIFFrame& frame) {
        const TDib& bitmap = frame.Bitmap();
        const TColor key = frame.TransparentColor();
        std::vector<TColor> palette(bitmap.PaletteSize());
        for (int i = 0; i < bitmap.PaletteSize(); ++i) palette[i] = bitmap.PaletteColor(i);
        const TPoint at = frame.Origin();
        const int x1 = std::min(bitmap.Width(), out_.width - at.x);
        const int y1 = std::min(bitmap.Height(), out_.height - at.y);
        for (int y = 0; y < y1; ++y) {
            for (int x = 0; x < x1; ++x) {
                const TColor c = bitmap.BitCount() <= 8 ? palette[bitmap.PixelIndex(x, y)]
                                                        : bitmap.PixelColor(x, y);
                if (key == clNone || c != key) Put(at.x + x, at.y + y, c);
            }
        }
    }

  private:
    void Put(int x, int y, TColor c) {
        std::uint8_t* p = out_.rgb.data() + (static_cast<std::size_t>(y) * out_.width + x) * 3;
        p[0] = static_cast<std::uint8_t>(RedOf(c));
        p[1] = static_cast<std::uint8_t>(GreenOf(c));
        p[2] = static_cast<std::uint8_t>(BlueOf(c));
    }

    TComposedFrame& out_;
};

}  // namespace

TComposedFrame ComposeFrame(TGIFImageCore& image, int n, TColor windowColor) {
    TComposedFrame out;
    if (image.FrameCount() == 0) return out;
    out.width = image.ScreenWidth();
    out.height = image.ScreenHeight();
    if (static_cast<std::int64_t>(out.width) * out.height > kMaxPixels)
        RaiseGif(strings::kCorruptDataId, strings::kCorruptData);
    out.rgb.assign(static_cast<std::size_t>(out.width) * out.height * 3, 0);
    out.mask.assign(static_cast<std::size_t>(out.width) * out.height, 0);

    auto resolve = [&](TColor c) { return c == clWindow ? windowColor : (c & 0xFFFFFF); };
    TColor fill = resolve(clWindow);
    const int current = image.CurrentFrame();
    if (current >= 0 && current < image.FrameCount() &&
        image.Frame(current).TransparentColor() != clNone) {
        out.key = image.Frame(current).TransparentColor();
        fill = out.key;
    } else if (image.BackgroundColor() != clNone && image.HasTransparency()) {
        fill = resolve(image.BackgroundColor());
    }
    Screen screen(out);
    screen.Fill(0, 0, out.width, out.height, fill);

    const int m = std::clamp(n, 0, image.FrameCount() - 1);
    int start = 0;
    for (int k = m - 1; k >= 1; --k) {
        TGIFFrame& f = image.Frame(k);
        if (f.Disposal() == 2 && f.Width() == image.RawScreenWidth() &&
            f.Height() == image.RawScreenHeight()) {
            start = k;
            break;
        }
    }
    for (int k = start; k < m; ++k) {
        TGIFFrame& f = image.Frame(k);
        if (f.Disposal() <= 1)
            screen.Draw(f);
        else if (f.Disposal() == 2 && k > start)
            screen.Fill(f.Origin().x, f.Origin().y, f.Width(), f.Height(), fill);
    }
    screen.Draw(image.Frame(m));

    if (out.key != clNone) {
        for (std::size_t i = 0; i < out.mask.size(); ++i) {
            const std::uint8_t* p = out.rgb.data() + i * 3;
            out.mask[i] = Rgb(p[0], p[1], p[2]) == out.key;
        }
    }
    return out;
}

}  // namespace gifcodec
