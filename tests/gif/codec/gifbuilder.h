#pragma once
// Hand-made GIF bytes for the codec tests: blocks are appended one by one, so each test can
// place, damage or leave out exactly the part it is about.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

// LZW codes packed the way a decoder reads them: the width follows the decoder's table.
inline Bytes PackCodes(int minimum, const std::vector<int>& codes) {
    const int clear = 1 << minimum;
    int width = minimum + 1;
    int next = clear + 2;
    bool first = true;
    Bytes data;
    std::uint32_t acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            data.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
        if (code == clear) {
            width = minimum + 1;
            next = clear + 2;
            first = true;
        } else if (first) {
            first = false;
        } else if (next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
    }
    if (bits > 0) data.push_back(static_cast<std::uint8_t>(acc));
    Bytes out{static_cast<std::uint8_t>(minimum)};
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + i, data.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

// Literal pixels with a clear code in front and the end code behind.
inline Bytes LiteralImage(int minimum, std::initializer_list<int> pixels) {
    std::vector<int> codes{1 << minimum};
    codes.insert(codes.end(), pixels.begin(), pixels.end());
    codes.push_back((1 << minimum) + 1);
    return PackCodes(minimum, codes);
}

class GifBuilder {
  public:
    GifBuilder& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) out_.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
    GifBuilder& Raw(const Bytes& bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBuilder& Text(const std::string& s) {
        for (char c : s) out_.push_back(static_cast<std::uint8_t>(c));
        return *this;
    }
    GifBuilder& Word(unsigned w) {
        return Raw({static_cast<int>(w & 0xFF), static_cast<int>(w >> 8)});
    }
    // Header and screen descriptor; a global table of 2^bits greys (entry i = i*16) if bits>0.
    GifBuilder& Header(const std::string& signature, int width, int height, int bits,
                       int background = 0) {
        Text(signature).Word(width).Word(height);
        Raw({bits > 0 ? 0x80 | (bits - 1) | ((bits - 1) << 4) : 0, background, 0});
        for (int i = 0; bits > 0 && i < (1 << bits); ++i)
            Raw({i * 16 & 0xFF, i * 16 & 0xFF, i * 16 & 0xFF});
        return *this;
    }
    GifBuilder& Control(int disposal, int delay, int transparent = -1) {
        return Raw({'!', 0xF9, 4, (disposal << 2) | (transparent >= 0 ? 1 : 0), delay & 0xFF,
                    delay >> 8, transparent >= 0 ? transparent : 0, 0});
    }
    GifBuilder& Comment(std::initializer_list<std::string> lines) {
        Raw({'!', 0xFE});
        for (const std::string& l : lines) {
            out_.push_back(static_cast<std::uint8_t>(l.size()));
            Text(l);
        }
        return Raw({0});
    }
    GifBuilder& Loop(int lo, int hi) {
        Raw({'!', 0xFF, 11}).Text("NETSCAPE2.0");
        return Raw({3, 1, lo, hi, 0});
    }
    // Descriptor; localBits > 0 adds a local table of 2^bits colours (entry i = (i, 0, 255-i)).
    GifBuilder& Image(int left, int top, int width, int height, int packedExtra = 0,
                      int localBits = 0) {
        Raw({','}).Word(left).Word(top).Word(width).Word(height);
        Raw({packedExtra | (localBits > 0 ? 0x80 | (localBits - 1) : 0)});
        for (int i = 0; localBits > 0 && i < (1 << localBits); ++i) Raw({i, 0, 255 - i});
        return *this;
    }
    GifBuilder& Trailer() { return Raw({';'}); }
    const Bytes& bytes() const { return out_; }

  private:
    Bytes out_;
};

}  // namespace giftest
