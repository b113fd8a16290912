#include "gif/codec/compose.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "gif/codec/giferrors.h"
#include "gif/codec/giflimits.h"
#include "gif/codec/gifpicture.h"

namespace gifcodec {

namespace {

// Rows are handled whole: the largest pictures the limits allow are composed at every paint.
class Screen {
  public:
    explicit Screen(TComposedFrame& out) : out_(out) {}

    // Clipped to the screen; a key fill is marked as letting the background through.
    void Fill(int left, int top, int w, int h, TColor c) {
        const int x0 = std::max(0, left), y0 = std::max(0, top);
        const int x1 = static_cast<int>(std::min<std::int64_t>(out_.width, std::int64_t{left} + w));
        const int y1 = static_cast<int>(std::min<std::int64_t>(out_.height, std::int64_t{top} + h));
        if (x1 <= x0 || y1 <= y0) return;
        const std::uint8_t see = out_.key != clNone && (c & 0xFFFFFF) == out_.key;
        const std::size_t n = static_cast<std::size_t>(x1 - x0);
        std::uint8_t* first = Rgb(x0, y0);
        for (std::size_t x = 0; x < n; ++x) {
            first[3 * x] = static_cast<std::uint8_t>(RedOf(c));
            first[3 * x + 1] = static_cast<std::uint8_t>(GreenOf(c));
            first[3 * x + 2] = static_cast<std::uint8_t>(BlueOf(c));
        }
        for (int y = y0; y < y1; ++y) {
            if (y > y0) std::memcpy(Rgb(x0, y), first, 3 * n);
            std::memset(out_.mask.data() + Index(x0, y), see, n);
        }
    }

    // Pixels that hold the frame's transparent index leave the screen as it was (a bitmap
    // without a palette keys by colour); drawing is clipped to the screen.
    void Draw(TGIFFrame& frame) {
        const TDib& bitmap = frame.Bitmap();
        const bool paletted = bitmap.BitCount() <= 8;
        const int keyIndex = paletted ? frame.TransparentIndex() : -1;
        const TColor keyColor = paletted ? clNone : frame.TransparentColor();
        std::array<std::array<std::uint8_t, 3>, 256> palette{};
        for (int i = 0; i < bitmap.PaletteSize(); ++i) {
            const TColor c = bitmap.PaletteColor(i);
            palette[i] = {static_cast<std::uint8_t>(RedOf(c)),
                          static_cast<std::uint8_t>(GreenOf(c)),
                          static_cast<std::uint8_t>(BlueOf(c))};
        }
        const TPoint at = frame.Origin();
        const int x0 = std::max(0, -at.x), y0 = std::max(0, -at.y);
        const int x1 = static_cast<int>(
            std::min<std::int64_t>(bitmap.Width(), std::int64_t{out_.width} - at.x));
        const int y1 = static_cast<int>(
            std::min<std::int64_t>(bitmap.Height(), std::int64_t{out_.height} - at.y));
        if (x1 <= x0 || y1 <= y0) return;
        std::vector<std::uint8_t> indices(paletted ? static_cast<std::size_t>(x1) : 0);
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* rgb = Rgb(at.x + x0, at.y + y);
            std::uint8_t* mask = out_.mask.data() + Index(at.x + x0, at.y + y);
            if (!paletted) {
                for (int x = x0; x < x1; ++x, rgb += 3, ++mask) {
                    const TColor c = bitmap.PixelColor(x, y);
                    if (keyColor != clNone && c == (keyColor & 0xFFFFFF)) continue;
                    rgb[0] = static_cast<std::uint8_t>(RedOf(c));
                    rgb[1] = static_cast<std::uint8_t>(GreenOf(c));
                    rgb[2] = static_cast<std::uint8_t>(BlueOf(c));
                    *mask = 0;
                }
                continue;
            }
            const std::uint8_t* row = bitmap.ScanLine(y);
            if (bitmap.BitCount() == 8) {
                row += x0;
            } else {
                Unpack(row, bitmap.BitCount(), x0, x1, indices.data());
                row = indices.data();
            }
            const int n = x1 - x0;
            if (keyIndex < 0) {
                // Four at a time: the loop's own test is most of the cost when instrumented.
                auto put = [&](std::uint8_t* p, std::uint8_t index) {
                    const auto& c = palette[index];
                    p[0] = c[0];
                    p[1] = c[1];
                    p[2] = c[2];
                };
                int x = 0;
                for (; x + 4 <= n; x += 4, rgb += 12) {
                    put(rgb, row[x]);
                    put(rgb + 3, row[x + 1]);
                    put(rgb + 6, row[x + 2]);
                    put(rgb + 9, row[x + 3]);
                }
                for (; x < n; ++x, rgb += 3) put(rgb, row[x]);
                std::memset(mask, 0, static_cast<std::size_t>(n));
                continue;
            }
            for (int x = 0; x < n; ++x, rgb += 3) {
                if (row[x] == keyIndex) continue;
                const auto& c = palette[row[x]];
                rgb[0] = c[0];
                rgb[1] = c[1];
                rgb[2] = c[2];
                mask[x] = 0;
            }
        }
    }

  private:
    // Indices x0..x1-1 of a 1- or 4-bit row, from out[0]; whole bytes at a time.
    static void Unpack(const std::uint8_t* row, int bits, int x0, int x1, std::uint8_t* out) {
        static const auto kBits = [] {
            std::array<std::array<std::uint8_t, 8>, 256> t{};
            for (int b = 0; b < 256; ++b)
                for (int k = 0; k < 8; ++k) t[b][k] = static_cast<std::uint8_t>((b >> (7 - k)) & 1);
            return t;
        }();
        const int perByte = bits == 4 ? 2 : 8;
        const int first = x0 / perByte, last = (x1 + perByte - 1) / perByte;
        for (int i = first; i < last; ++i) {
            std::uint8_t eight[8];
            if (bits == 4) {
                eight[0] = row[i] >> 4;
                eight[1] = row[i] & 0x0F;
            } else {
                std::memcpy(eight, kBits[row[i]].data(), 8);
            }
            // Only the pixels from x0 to x1 are kept.
            const int from = i == first ? x0 - first * perByte : 0;
            const int to = std::min(perByte, x1 - i * perByte);
            if (from == 0 && to == perByte) {
                std::memcpy(out, eight, bits == 4 ? 2 : 8);
                out += perByte;
            } else {
                for (int k = from; k < to; ++k) *out++ = eight[k];
            }
        }
    }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * out_.width + x; }
    std::uint8_t* Rgb(int x, int y) { return out_.rgb.data() + Index(x, y) * 3; }

    TComposedFrame& out_;
};

// The screen filled, its key chosen; returns the fill colour.
TColor Begin(GifPicture& image, TColor windowColor, TComposedFrame& out) {
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

// Only 2 and 3 take a frame away; the reserved methods 4 to 7 leave it in place, as other
// readers do.
constexpr std::uint8_t kRestoreBackground = 2, kRestorePrevious = 3;

// The last frame before n that covers the whole screen and restores the background: what
// lies under it is of no account for frame n. 0 when there is none.
int StartFrame(GifPicture& image, int n) {
    for (int k = n - 1; k >= 1; --k) {
        TGIFFrame& f = image.Frame(k);
        if (f.Disposal() == kRestoreBackground && f.Origin() == TPoint{0, 0} &&
            f.Width() == image.RawScreenWidth() && f.Height() == image.RawScreenHeight())
            return k;
    }
    return 0;
}

}  // namespace

TComposedFrame ComposeFrame(GifPicture& image, int n, TColor windowColor) {
    TFrameComposer composer(image, windowColor);
    composer.Frame(n);
    return std::move(composer.out_);
}

TFrameComposer::TFrameComposer(GifPicture& image, TColor windowColor) : image_(image) {
    if (image.FrameCount() > 0) fill_ = Begin(image, windowColor, out_);
}

bool TFrameComposer::AtEnd() const { return next_ >= image_.FrameCount(); }

void TFrameComposer::CopyUnder(bool restore) {
    const std::size_t n = static_cast<std::size_t>(x1_ - x0_);
    // A frame wholly off the screen covers nothing, and an empty buffer has no address to
    // copy from.
    if (n == 0 || y1_ == y0_) return;
    if (!restore) {
        underRgb_.resize(3 * n * static_cast<std::size_t>(y1_ - y0_));
        underMask_.resize(n * static_cast<std::size_t>(y1_ - y0_));
    }
    for (int y = y0_; y < y1_; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * out_.width + x0_;
        const std::size_t row = static_cast<std::size_t>(y - y0_) * n;
        std::uint8_t* screenRgb = out_.rgb.data() + 3 * at;
        std::uint8_t* keptRgb = underRgb_.data() + 3 * row;
        std::memcpy(restore ? screenRgb : keptRgb, restore ? keptRgb : screenRgb, 3 * n);
        std::uint8_t* screenMask = out_.mask.data() + at;
        std::uint8_t* keptMask = underMask_.data() + row;
        std::memcpy(restore ? screenMask : keptMask, restore ? keptMask : screenMask, n);
    }
}

void TFrameComposer::StartAt(int first) {
    Screen(out_).Fill(0, 0, out_.width, out_.height, fill_);
    lastDisposal_ = 0;
    next_ = first;
}

const TComposedFrame& TFrameComposer::Frame(int n) {
    if (image_.FrameCount() == 0) return out_;
    n = std::clamp(n, 0, image_.FrameCount() - 1);
    if (n == next_ - 1) return out_;
    const int start = StartFrame(image_, n);
    if (n < next_ || start > next_) StartAt(start);
    while (next_ <= n) Next();
    return out_;
}

const TComposedFrame& TFrameComposer::Next() {
    if (lastDisposal_ == kRestoreBackground)
        Screen(out_).Fill(x0_, y0_, x1_ - x0_, y1_ - y0_, fill_);
    else if (lastDisposal_ == kRestorePrevious)
        CopyUnder(true);
    TGIFFrame& frame = image_.Frame(next_++);
    const TPoint at = frame.Origin();
    const std::int64_t right = std::int64_t{at.x} + frame.Width();
    const std::int64_t bottom = std::int64_t{at.y} + frame.Height();
    lastDisposal_ = frame.Disposal();
    x0_ = std::clamp(at.x, 0, out_.width);
    y0_ = std::clamp(at.y, 0, out_.height);
    x1_ = static_cast<int>(std::clamp<std::int64_t>(right, x0_, out_.width));
    y1_ = static_cast<int>(std::clamp<std::int64_t>(bottom, y0_, out_.height));
    if (lastDisposal_ == kRestorePrevious) CopyUnder(false);
    Screen(out_).Draw(frame);
    return out_;
}

}  // namespace gifcodec
