#include "bench/gifbench/images.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace gifbench {

using gifcodec::TDib;

namespace {

void GreyRamp(TDib& dib) {
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        dib.SetPaletteEntry(
            i, {static_cast<std::uint8_t>(255 - v), v, static_cast<std::uint8_t>(v / 2), 0});
    }
}

// Smooth light and shade with sensor noise: long runs are rare, as in a photograph.
TDib Photo(int size) {
    TDib dib(size, size, 8);
    GreyRamp(dib);
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < size; ++y) {
        std::uint8_t* row = dib.ScanLine(y);
        for (int x = 0; x < size; ++x) {
            const double v = 128 + 60 * std::sin(x / 37.0) * std::cos(y / 53.0) +
                             40 * std::sin((x + 2 * y) / 140.0);
            row[x] =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + noise(rng), 0, 255));
        }
    }
    return dib;
}

// Rectangles and discs of a few flat colours.
TDib Flat(int size, int shapes, std::uint32_t seed) {
    TDib dib(size, size, 8);
    GreyRamp(dib);
    std::mt19937 rng(seed);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) dib.ScanLine(y)[x] = 200;
    for (int s = 0; s < shapes; ++s) {
        const int cx = static_cast<int>(rng() % size), cy = static_cast<int>(rng() % size);
        const int r = static_cast<int>(rng() % (size / 6)) + 4;
        const auto colour = static_cast<std::uint8_t>(rng() % 16 * 16);
        const bool disc = rng() & 1;
        for (int y = std::max(0, cy - r); y < std::min(size, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(size, cx + r); ++x)
                if (!disc || (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
                    dib.ScanLine(y)[x] = colour;
    }
    return dib;
}

// A disc moving over a striped ground.
TDib AnimationFrame(int size, int n) {
    TDib dib(size, size, 8);
    GreyRamp(dib);
    const int cx = size / 2 + static_cast<int>(size / 3 * std::cos(n / 10.0));
    const int cy = size / 2 + static_cast<int>(size / 3 * std::sin(n / 10.0));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint8_t v = static_cast<std::uint8_t>(((x + n) / 8 % 2) ? 40 : 90 + y / 16);
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 900)
                v = static_cast<std::uint8_t>(180 + (x - cx + y - cy + 60) / 8);
            dib.ScanLine(y)[x] = v;
        }
    }
    return dib;
}

}  // namespace

std::size_t Case::Pixels() const {
    std::size_t n = 0;
    for (const TDib& f : frames) n += static_cast<std::size_t>(f.Width()) * f.Height();
    return n;
}

std::vector<Case> MakeCases() {
    std::vector<Case> cases;
    cases.push_back({"photo-1024", {Photo(1024)}});
    cases.push_back({"flat-1024", {Flat(1024, 60, 7)}});
    Case anim{"anim-64x256", {}};
    for (int n = 0; n < 64; ++n) anim.frames.push_back(AnimationFrame(256, n));
    cases.push_back(std::move(anim));
    return cases;
}

}  // namespace gifbench
