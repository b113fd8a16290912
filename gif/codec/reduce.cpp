#include "gif/codec/reduce.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <vector>

#include "gif/codec/giferrors.h"

namespace gifcodec {

namespace {

void CheckSource(const TDib& source) {
    if (source.Empty()) throw EInvalidGraphic(strings::kInvalidBitmapId, strings::kInvalidBitmap);
    if (source.BitCount() != 24 && source.BitCount() != 32)
        throw EAbortWithMessage(strings::kNotImplementedId, strings::kNotImplemented);
}

// Visits every pixel in the order of the bottom-up rows as (blue, green, red) pointers.
template <class F>
void ForEachPixel(const TDib& source, F&& f) {
    const int step = source.BitCount() / 8;
    for (int r = 0; r < source.Height(); ++r) {
        const std::uint8_t* p = source.Pixels() + r * source.Stride();
        for (int x = 0; x < source.Width(); ++x, p += step) f(r, x, p);
    }
}

constexpr int kSlots = 5191;
constexpr std::size_t kMaxColors = 2049;

struct Counted {
    std::uint8_t r, g, b;
    std::uint32_t count;
};

class Histogram {
  public:
    // Counts masked colours; false when a colour beyond the table's capacity turns up.
    bool Count(const TDib& source, unsigned mr, unsigned mg, unsigned mb) {
        mr_ = mr;
        mg_ = mg;
        mb_ = mb;
        colors_.clear();
        std::fill(std::begin(slots_), std::end(slots_), -1);
        bool fits = true;
        ForEachPixel(source, [&](int, int, const std::uint8_t* p) {
            if (!fits) return;
            const int slot = Find(p);
            if (slots_[slot] >= 0) {
                ++colors_[slots_[slot]].count;
            } else if (colors_.size() == kMaxColors) {
                fits = false;
            } else {
                slots_[slot] = static_cast<int>(colors_.size());
                colors_.push_back({static_cast<std::uint8_t>(p[2] & mr_),
                                   static_cast<std::uint8_t>(p[1] & mg_),
                                   static_cast<std::uint8_t>(p[0] & mb_), 1});
            }
        });
        return fits;
    }
    // Slot of the pixel's masked colour: where it is, or the free slot where it would go.
    int Find(const std::uint8_t* p) const {
        const unsigned r = p[2] & mr_, g = p[1] & mg_, b = p[0] & mb_;
        int slot = static_cast<int>(((r + g) * (b + g) * (r + b)) % kSlots);
        while (slots_[slot] >= 0) {
            const Counted& c = colors_[slots_[slot]];
            if (c.r == r && c.g == g && c.b == b) break;
            slot = slot == kSlots - 1 ? 0 : slot + 1;
        }
        return slot;
    }
    int ColorAt(int slot) const { return slots_[slot]; }
    const std::vector<Counted>& Colors() const { return colors_; }

  private:
    unsigned mr_ = 255, mg_ = 255, mb_ = 255;
    int slots_[kSlots];
    std::vector<Counted> colors_;
};

unsigned DropLowBit(unsigned mask) { return mask & (mask << 1) & 0xFF; }

}  // namespace

TDib ReduceToGrayscale(const TDib& source) {
    CheckSource(source);
    TDib out(source.Width(), source.Height(), 8);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        out.SetPaletteEntry(i, {v, v, v, 0});
    }
    ForEachPixel(source, [&](int r, int x, const std::uint8_t* p) {
        out.Pixels()[r * out.Stride() + x] =
            static_cast<std::uint8_t>((p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8);
    });
    return out;
}

TDib ReduceByHistogram(const TDib& source) {
    CheckSource(source);
    auto histogram = std::make_unique<Histogram>();
    unsigned mr = 255, mg = 255, mb = 255;
    while (!histogram->Count(source, mr, mg, mb)) {
        if (mr < mg)
            mg = DropLowBit(mg);
        else if (mr > mb)
            mr = DropLowBit(mr);
        else
            mb = DropLowBit(mb);
    }
    const std::vector<Counted>& colors = histogram->Colors();
    std::vector<int> order(colors.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return colors[a].count > colors[b].count; });
    const int used = static_cast<int>(std::min<std::size_t>(256, order.size()));

    TDib out(source.Width(), source.Height(), 8);
    std::vector<std::uint8_t> indexOf(colors.size(), 0);
    std::vector<bool> inPalette(colors.size(), false);
    for (int i = 0; i < 256; ++i) {
        if (i < used) {
            const Counted& c = colors[order[i]];
            out.SetPaletteEntry(i, {c.b, c.g, c.r, 0});
            indexOf[order[i]] = static_cast<std::uint8_t>(i);
            inPalette[order[i]] = true;
        } else {
            out.SetPaletteEntry(i, {128, 128, 128, 0});
        }
    }
    for (std::size_t k = 0; k < colors.size(); ++k) {
        if (inPalette[k]) continue;
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < used; ++i) {
            const Counted& p = colors[order[i]];
            const long dr = long{p.r} - colors[k].r, dg = long{p.g} - colors[k].g,
                       db = long{p.b} - colors[k].b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        indexOf[k] = static_cast<std::uint8_t>(best);
    }
    ForEachPixel(source, [&](int r, int x, const std::uint8_t* p) {
        out.Pixels()[r * out.Stride() + x] = indexOf[histogram->ColorAt(histogram->Find(p))];
    });
    return out;
}

}  // namespace gifcodec
