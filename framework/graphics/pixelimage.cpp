#include "framework/graphics/pixelimage.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "framework/core/lifelong.h"
#include "framework/graphics/graphicsbase.h"
#include "platform/bytes.h"

namespace fw {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::string_view kMagic = "PXIM";
constexpr size_t kHeaderSize = 16;
// The same bounds the BMP reader keeps.
constexpr int64_t kMaxSide = 32768;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

// The layouts a decoded picture comes in, by the code stored for each.
constexpr QImage::Format kLayouts[] = {QImage::Format_Mono, QImage::Format_Indexed8,
                                       QImage::Format_RGB32, QImage::Format_ARGB32};

[[noreturn]] void Bad() { throw EInvalidGraphic(strings::kInvalidGraphic); }

int LayoutCode(QImage::Format format) {
    for (int i = 0; i < 4; ++i)
        if (kLayouts[i] == format) return i;
    return -1;
}

size_t RowBytes(int64_t width, int depth) {
    return static_cast<size_t>((width * depth + 31) / 32 * 4);
}

// Every index of an 8-bit picture within its table; a one-bit picture cannot leave it.
void CheckIndices(const QImage& img) {
    if (img.format() != QImage::Format_Indexed8) return;
    const int colors = img.colorCount();
    for (int y = 0; y < img.height(); ++y) {
        const uint8_t* row = img.constScanLine(y);
        if (std::any_of(row, row + img.width(), [&](uint8_t i) { return i >= colors; })) Bad();
    }
}

}  // namespace

Bytes WritePixelImage(const DibImage& dib) {
    QImage img = dib.image;
    if (LayoutCode(img.format()) < 0)
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                        : QImage::Format_RGB32);
    const QList<QRgb> table = img.colorTable();
    const size_t rowBytes = RowBytes(img.width(), img.depth());
    Bytes out(kMagic.begin(), kMagic.end());
    platform::AppendLE32(out, static_cast<uint32_t>(img.width()));
    platform::AppendLE32(out, static_cast<uint32_t>(img.height()));
    out.push_back(static_cast<uint8_t>(LayoutCode(img.format())));
    out.push_back(static_cast<uint8_t>(dib.bitCount));
    platform::AppendLE16(out, static_cast<uint32_t>(table.size()));
    for (QRgb c : table) platform::AppendLE32(out, c);
    for (int y = 0; y < img.height(); ++y)
        out.insert(out.end(), img.constScanLine(y), img.constScanLine(y) + rowBytes);
    return out;
}

bool IsPixelImage(ByteView data) {
    return data.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), data.begin());
}

DibImage ReadPixelImage(ByteView data) {
    if (data.size() < kHeaderSize || !IsPixelImage(data)) Bad();
    const uint8_t* p = data.data();
    const int64_t width = platform::GetLE32(p + 4), height = platform::GetLE32(p + 8);
    const int layout = p[12], bitCount = p[13];
    const size_t colors = platform::GetLE16(p + 14);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels || layout > 3 || colors > 256)
        Bad();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) Bad();
    const QImage::Format format = kLayouts[layout];
    const bool paletted = format == QImage::Format_Mono || format == QImage::Format_Indexed8;
    if (paletted != (colors > 0) || (format == QImage::Format_Mono && colors != 2)) Bad();
    const int depth = format == QImage::Format_Mono       ? 1
                      : format == QImage::Format_Indexed8 ? 8
                                                          : 32;
    const size_t rowBytes = RowBytes(width, depth);
    const size_t rowsAt = kHeaderSize + 4 * colors;
    if (data.size() != rowsAt + rowBytes * static_cast<size_t>(height)) Bad();

    DibImage dib;
    dib.bitCount = bitCount;
    // Rows of 32-bit pixels compiled into the program are shown where they lie: the image
    // makes its own copy the first time anything draws on it.
    const uint8_t* rows = p + rowsAt;
    if (depth == 32 && IsLifelong(data) && reinterpret_cast<uintptr_t>(rows) % 4 == 0) {
        dib.image = QImage(rows, static_cast<int>(width), static_cast<int>(height),
                           static_cast<qsizetype>(rowBytes), format);
        return dib;
    }
    dib.image = QImage(static_cast<int>(width), static_cast<int>(height), format);
    if (dib.image.isNull()) Bad();
    QList<QRgb> table;
    for (size_t i = 0; i < colors; ++i) table.push_back(platform::GetLE32(p + kHeaderSize + 4 * i));
    if (paletted) dib.image.setColorTable(table);
    const size_t copy = std::min(rowBytes, static_cast<size_t>(dib.image.bytesPerLine()));
    for (int y = 0; y < dib.image.height(); ++y)
        std::memcpy(dib.image.scanLine(y), p + rowsAt + rowBytes * static_cast<size_t>(y), copy);
    CheckIndices(dib.image);
    return dib;
}

DibImage ReadAnyImage(ByteView data) {
    return IsPixelImage(data) ? ReadPixelImage(data) : ReadDibFile(Bytes(data.begin(), data.end()));
}

Bytes PixelFormData(const Bytes& formData) {
    // A counted BMP file image.
    auto counted = [](const Bytes& d, size_t at) -> std::optional<Bytes> {
        if (d.size() < at + 6 || platform::GetLE32(d.data() + at) != d.size() - at - 4 ||
            d[at + 4] != 'B' || d[at + 5] != 'M')
            return std::nullopt;
        try {
            Bytes raw = WritePixelImage(ReadDibFile(Bytes(d.begin() + at + 4, d.end())));
            Bytes out(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(at));
            platform::AppendLE32(out, static_cast<uint32_t>(raw.size()));
            out.insert(out.end(), raw.begin(), raw.end());
            return out;
        } catch (const EInvalidGraphic&) {
            return std::nullopt;
        }
    };
    if (auto out = counted(formData, 0)) return *out;
    // A picture's: the class name's length and the name in front.
    if (!formData.empty())
        if (auto out = counted(formData, 1 + size_t{formData[0]})) return *out;
    return formData;
}

}  // namespace fw
