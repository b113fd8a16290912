#include "tools/giftool/ppm.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace giftool {

namespace {

// Next header number, skipping white space and comments.
long HeaderNumber(std::istream& in, const std::string& path) {
    int c = in.get();
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while (c != EOF && c != '\n') c = in.get();
        c = in.get();
    }
    long value = 0;
    if (c == EOF || !std::isdigit(c)) throw std::runtime_error(path + ": not a binary PPM picture");
    while (c != EOF && std::isdigit(c)) {
        value = value * 10 + (c - '0');
        if (value > 1 << 20) throw std::runtime_error(path + ": picture too large");
        c = in.get();
    }
    return value;  // the one white-space character after the number is consumed
}

}  // namespace

gifcodec::TDib ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + path);
    char magic[2] = {};
    in.read(magic, 2);
    if (magic[0] != 'P' || magic[1] != '6')
        throw std::runtime_error(path + ": not a binary PPM picture");
    const long width = HeaderNumber(in, path);
    const long height = HeaderNumber(in, path);
    const long maxval = HeaderNumber(in, path);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || width * height > (1 << 26))
        throw std::runtime_error(path + ": unsupported picture size");
    if (maxval <= 0 || maxval > 65535)
        throw std::runtime_error(path + ": maxval must be 1 to 65535");
    // Samples above 255 take two bytes, most significant first; all scale to 0..255.
    const int sampleBytes = maxval > 255 ? 2 : 1;
    gifcodec::TDib dib(static_cast<int>(width), static_cast<int>(height), 24);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3 * sampleBytes);
    for (int y = 0; y < height; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size())))
            throw std::runtime_error(path + ": picture data ends early");
        std::uint8_t* out = dib.ScanLine(y);
        for (long x = 0; x < width; ++x) {
            for (int k = 0; k < 3; ++k) {
                const std::size_t at = (static_cast<std::size_t>(x) * 3 + k) * sampleBytes;
                // A sample above maxval (a lenient writer's) counts as maxval.
                const long v = std::min<long>(
                    maxval, sampleBytes == 2 ? (row[at] << 8) | row[at + 1] : row[at]);
                out[x * 3 + 2 - k] = static_cast<std::uint8_t>((v * 255 + maxval / 2) / maxval);
            }
        }
    }
    return dib;
}

void WritePpm(const std::string& path, const gifcodec::TComposedFrame& frame) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "P6\n" << frame.width << ' ' << frame.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(frame.rgb.data()),
              static_cast<std::streamsize>(frame.rgb.size()));
    if (!out) throw std::runtime_error("Cannot create file " + path);
}

}  // namespace giftool
