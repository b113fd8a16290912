#include "tools/artgen/imagefiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/bytes.h"

namespace artgen {

namespace {

std::string EncodeBmp(const Image& image, int bits) {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width());
    const std::uint32_t h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = ((w * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
    const std::uint32_t dataSize = stride * h;

    std::string out(platform::kBmpHeadersSize, '\0');
    platform::WriteBmpHeaders(reinterpret_cast<std::uint8_t*>(out.data()),
                              {w, h, static_cast<unsigned>(bits), 0, dataSize});
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

// The colour table, then the rows of `bits`-wide indices (top-down in `index`), bottom row
// first, each padded to four bytes.
std::string WriteIndexedBmp(const Image& image, int bits, const std::vector<Rgb>& table,
                            const std::vector<std::uint8_t>& index, bool countColours) {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width());
    const std::uint32_t h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = ((w * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
    const std::uint32_t colours = static_cast<std::uint32_t>(table.size());
    std::string out(platform::kBmpHeadersSize, '\0');
    auto* headers = reinterpret_cast<std::uint8_t*>(out.data());
    platform::WriteBmpHeaders(headers, {w, h, static_cast<unsigned>(bits), colours, stride * h});
    if (countColours) {
        platform::SetLE32(headers + platform::kBmpFileHeaderSize + 32, colours);
        platform::SetLE32(headers + platform::kBmpFileHeaderSize + 36, colours);
    }
    for (const Rgb& c : table) {
        out += static_cast<char>(c.b);
        out += static_cast<char>(c.g);
        out += static_cast<char>(c.r);
        out += '\0';
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t v =
                index[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)];
            const std::uint32_t bit =
                static_cast<std::uint32_t>(x) * static_cast<std::uint32_t>(bits);
            const int shift = 8 - bits - static_cast<int>(bit % 8);
            row[bit / 8] =
                static_cast<char>(static_cast<std::uint8_t>(row[bit / 8]) | (v << shift));
        }
        out += row;
    }
    return out;
}

}  // namespace

std::string EncodeBmpIndexed(const Image& image, int bits) {
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> index;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            Rgb c = image.At(x, y);
            std::size_t i = 0;
            while (i < palette.size() && !(palette[i] == c)) ++i;
            if (i == palette.size()) palette.push_back(c);
            index.push_back(static_cast<std::uint8_t>(i));
        }
    if (palette.size() > (1u << bits))
        throw std::runtime_error("too many colours for the bit count");
    // Only the colours used are in the table, and the header says how many.
    return WriteIndexedBmp(image, bits, palette, index, true);
}

std::string EncodeBmp24(const Image& image) { return EncodeBmp(image, 24); }

const std::array<Rgb, 16>& ClassicPalette() {
    static const std::array<Rgb, 16> p = {{{0, 0, 0},
                                           {128, 0, 0},
                                           {0, 128, 0},
                                           {128, 128, 0},
                                           {0, 0, 128},
                                           {128, 0, 128},
                                           {0, 128, 128},
                                           {128, 128, 128},
                                           {192, 192, 192},
                                           {255, 0, 0},
                                           {0, 255, 0},
                                           {255, 255, 0},
                                           {0, 0, 255},
                                           {255, 0, 255},
                                           {0, 255, 255},
                                           {255, 255, 255}}};
    return p;
}

std::string EncodeBmp4(const Image& image) {
    const auto& pal = ClassicPalette();
    std::vector<std::uint8_t> index;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto at = std::find(pal.begin(), pal.end(), image.At(x, y));
            if (at == pal.end()) throw std::runtime_error("colour outside the 16-colour palette");
            index.push_back(static_cast<std::uint8_t>(at - pal.begin()));
        }
    // The whole table, with the header's colour counts left at 0 ("all of them").
    return WriteIndexedBmp(image, 4, {pal.begin(), pal.end()}, index, false);
}
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

namespace {

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
    platform::AppendBE32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type) + std::string(data);
    out += body;
    platform::AppendBE32(out, Crc32(body));
}

// A zlib stream of stored blocks (at most 65535 bytes each).
std::string StoredZlib(std::string_view raw) {
    std::string z = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        platform::AppendLE16(z, static_cast<std::uint32_t>(n));
        platform::AppendLE16(z, static_cast<std::uint32_t>(~n & 0xFFFF));
        z.append(raw.substr(at, n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    platform::AppendBE32(z, (b << 16) | a);
    return z;
}

}  // namespace

std::string EncodePng(const Image& image) {
    std::string header;
    platform::AppendBE32(header, static_cast<std::uint32_t>(image.width()));
    platform::AppendBE32(header, static_cast<std::uint32_t>(image.height()));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter/interlace
    std::string raw;
    for (int y = 0; y < image.height(); ++y) {
        raw += '\0';  // filter type: none
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.At(x, y);
            raw += static_cast<char>(c.r);
            raw += static_cast<char>(c.g);
            raw += static_cast<char>(c.b);
            raw += static_cast<char>(image.AlphaAt(x, y));
        }
    }
    std::string out = "\x89PNG\r\n\x1a\n";
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", "");
    return out;
}

void SaveFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace artgen
