#include "tools/artgen/imagefiles.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "platform/bytes.h"

namespace artgen {

namespace {

std::string EncodeBmp(const Image& image, int bits) {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width());
    const std::uint32_t h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = ((w * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
    const std::uint32_t dataSize = stride * h;

    std::string out(platform::kBmpHeadersSize, '\0');
    platform::WriteBmpHeaders(reinterpret_cast<std::uint8_t*>(out.data()), {w, h, static_cast<unsigned>(bits), 0, dataSize});
    for (int y = image.height() - 1; y >= 0; --y) {
        std::size_t rowStart = out.size();
        for (int x = 0; x < image.width(); ++x) {
            Rgb c = image.At(x, y);
            out += static_cast<char>(c.b);
            out += static_cast<char>(c.g);
            out += static_cast<char>(c.r);
            if (bits == 32) out += static_cast<char>(image.AlphaAt(x, y));
        }
        while (out.size() - rowStart < stride) out += '\0';
    }
    return out;
}

}  // namespace

std::string EncodeBmp24(const Image& image) { return EncodeBmp(image, 24); }
std::string EncodeBmp32(const Image& image) { return EncodeBmp(image, 32); }

std::string EncodePpm(const Image& image) {
    std::string out =
        "P6\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n255\n";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            Rgb c = image.At(x, y);
            out += static_cast<char>(c.r);
            out += static_cast<char>(c.g);
            out += static_cast<char>(c.b);
        }
    }
    return out;
}

void SaveFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace artgen
