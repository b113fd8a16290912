#include "gif/codec/compose.h"

#include <algorithm>
#include <array>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/giflimits.h"

namespace gifcodec {

namespace {

class Screen {
  public:
    explicit Screen(TComposedFrame& out) : out_(out) {}

    // Clipped to the screen; a key fill is marked as letting the background through.
    void Fill(int left, int top, int w, int h, TColor c) {
        const int x0 = std::max(0, left), y0 = std::max(0, top);
        const int x1 = static_cast<int>(std::min<std::int64_t>(out_.width, std::int64_t{left} + w));
        const int y1 = static_cast<int>(std::min<std::int64_t>(out_.height, std::int64_t{top} + h));
        const std::uint8_t see = out_.key != clNone && (c & 0xFFFFFF) == out_.key;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) Put(x, y, c);
            if (x1 > x0) std::fill_n(out_.mask.data() + Index(x0, y), x1 - x0, see);
        }
    }

    // Pixels that hold the frame's transparent index leave the screen as it was (a bitmap
    // without a palette keys by colour); drawing is clipped to the screen.
    void Draw(TGIFFrame& frame) {
        const TDib& bitmap = frame.Bitmap();
        const bool paletted = bitmap.BitCount() <= 8;
        const int keyIndex = paletted ? frame.TransparentIndex() : -1;
        const TColor keyColor = paletted ? clNone : frame.TransparentColor();
        std::array<TColor, 256> palette{};
        for (int i = 0; i < bitmap.PaletteSize(); ++i) palette[i] = bitmap.PaletteColor(i);
        const TPoint at = frame.Origin();
        const int x0 = std::max(0, -at.x), y0 = std::max(0, -at.y);
        const int x1 = static_cast<int>(
            std::min<std::int64_t>(bitmap.Width(), std::int64_t{out_.width} - at.x));
        const int y1 = static_cast<int>(
            std::min<std::int64_t>(bitmap.Height(), std::int64_t{out_.height} - at.y));
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = x0; x < x1; ++x) {
                TColor c;
                if (paletted) {
                    const unsigned index =
                        bitmap.BitCount() == 8 ? row[x] : bitmap.PixelIndex(x, y);
                    if (static_cast<int>(index) == keyIndex) continue;
                    c = palette[index];
                } else {
                    c = bitmap.PixelColor(x, y);
                    if (keyColor != clNone && c == (keyColor & 0xFFFFFF)) continue;
                }
                Put(at.x + x, at.y + y, c);
                out_.mask[Index(at.x + x, at.y + y)] = 0;
            }
        }
    }

  private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * out_.width + x; }
    void Put(int x, int y, TColor c) {
        std::uint8_t* p = out_.rgb.data() + Index(x, y) * 3;
        p[0] = static_cast<std::uint8_t>(RedOf(c));
        p[1] = static_cast<std::uint8_t>(GreenOf(c));
        p[2] = static_cast<std::uint8_t>(BlueOf(c));
    }

    TComposedFrame& out_;
};

// The screen filled, its key chosen; returns the fill colour.
TColor Begin(TGIFImageCore& image, TColor windowColor, TComposedFrame& out) {
    out.width = image.ScreenWidth();
    out.height = image.ScreenHeight();
    if (static_cast<std::int64_t>(out.width) * out.height > kMaxPixels) RaiseTooLarge();
    out.rgb.assign(static_cast<std::size_t>(out.width) * out.height * 3, 0);
    out.mask.assign(static_cast<std::size_t>(out.width) * out.height, 0);
    auto resolve = [&](TColor c) { return c == clWindow ? windowColor : (c & 0xFFFFFF); };
    TColor fill = resolve(clWindow);
    const int current = image.CurrentFrame();
    if (current >= 0 && current < image.FrameCount() &&
        image.Frame(current).TransparentColor() != clNone) {
        out.key = image.Frame(current).TransparentColor() & 0xFFFFFF;
        fill = out.key;
    } else if (image.BackgroundColor() != clNone && image.HasTransparency()) {
        fill = resolve(image.BackgroundColor());
    }
    Screen(out).Fill(0, 0, out.width, out.height, fill);
    return fill;
}

void Dispose(TGIFFrame& frame, TComposedFrame& screen, TColor fill) {
    if (frame.Disposal() == 2)
        Screen(screen).Fill(frame.Origin().x, frame.Origin().y, frame.Width(), frame.Height(),
                            fill);
}

}  // namespace

TComposedFrame ComposeFrame(TGIFImageCore& image, int n, TColor windowColor) {
    TComposedFrame out;
    if (image.FrameCount() == 0) return out;
    const TColor fill = Begin(image, windowColor, out);
    Screen screen(out);
    const int m = std::clamp(n, 0, image.FrameCount() - 1);
    int start = 0;
    for (int k = m - 1; k >= 1; --k) {
        TGIFFrame& f = image.Frame(k);
        // Only a frame that covers the whole screen makes the earlier ones irrelevant.
        if (f.Disposal() == 2 && f.Origin() == TPoint{0, 0} &&
            f.Width() == image.RawScreenWidth() && f.Height() == image.RawScreenHeight()) {
            start = k;
            break;
        }
    }
    for (int k = start; k < m; ++k) {
        TGIFFrame& f = image.Frame(k);
        if (f.Disposal() <= 1)
            screen.Draw(f);
        else if (k > start)
            Dispose(f, out, fill);
    }
    screen.Draw(image.Frame(m));
    return out;
}

TFrameComposer::TFrameComposer(TGIFImageCore& image, TColor windowColor) : image_(image) {
    if (image.FrameCount() > 0) fill_ = Begin(image, windowColor, base_);
}

bool TFrameComposer::AtEnd() const { return next_ >= image_.FrameCount(); }

const TComposedFrame& TFrameComposer::Next() {
    TGIFFrame& frame = image_.Frame(next_++);
    out_ = base_;
    Screen(out_).Draw(frame);
    // A start frame's own clearing covers the whole screen, which is starting over.
    if (frame.Disposal() <= 1)
        base_ = out_;
    else
        Dispose(frame, base_, fill_);
    return out_;
}

}  // namespace gifcodec
