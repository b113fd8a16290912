#include "tools/artgen/image.h"

#include <cmath>

namespace artgen {

Rgb Mix(Rgb a, Rgb b, double t) {
    auto ch = [t](int p, int q) { return static_cast<std::uint8_t>(std::lround(p + (q - p) * t)); };
    return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

Image::Image(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width * height), fill),
      alpha_(static_cast<std::size_t>(width * height), 255) {}

void Image::Set(int x, int y, Rgb c) {
    if (Contains(x, y)) pixels_[Index(x, y)] = c;
}

void Image::SetAlpha(int x, int y, std::uint8_t a) {
    if (Contains(x, y)) alpha_[Index(x, y)] = a;
}

void Image::Fill(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) Set(i, j, c);
    }
}

void Image::Frame(int x, int y, int w, int h, Rgb topLeft, Rgb bottomRight) {
    HLine(x, y, w, topLeft);
    VLine(x, y, h, topLeft);
    HLine(x, y + h - 1, w, bottomRight);
    VLine(x + w - 1, y, h, bottomRight);
}

void Image::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; ++j) HLine(x, y + j, w, Mix(top, bottom, h > 1 ? j / (h - 1.0) : 0));
}

void Image::Blit(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j) {
        for (int i = 0; i < src.width(); ++i) Set(x + i, y + j, src.At(i, j));
    }
}

}  // namespace artgen
