#pragma once
#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Linear mix: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);

// A picture in memory with an alpha channel (opaque unless set).
class Image {
  public:
    Image(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    std::uint8_t AlphaAt(int x, int y) const { return alpha_[Index(x, y)]; }
    // Drawing outside the picture is clipped.
    void Set(int x, int y, Rgb c);
    void SetAlpha(int x, int y, std::uint8_t a);

    void Fill(int x, int y, int w, int h, Rgb c);
    void HLine(int x, int y, int w, Rgb c) { Fill(x, y, w, 1, c); }
    void VLine(int x, int y, int h, Rgb c) { Fill(x, y, 1, h, c); }
    // Top and left edges in `topLeft`, bottom and right edges in `bottomRight`.
    void Frame(int x, int y, int w, int h, Rgb topLeft, Rgb bottomRight);
    // Rows shade from `top` to `bottom`.
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    void Blit(const Image& src, int x, int y);

  private:
    int Index(int x, int y) const { return y * width_ + x; }
    int width_, height_;
    std::vector<Rgb> pixels_;
    std::vector<std::uint8_t> alpha_;
};

}  // namespace artgen
