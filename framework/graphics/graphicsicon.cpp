#include "framework/graphics/graphicsicon.h"

#include <QPixmap>
#include <algorithm>

#include "framework/core/classbuilder.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/bitmapfile.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/canvasimpl.h"
#include "framework/graphics/pixelimage.h"
#include "platform/bytes.h"

namespace fw {

namespace {
using platform::GetLE16;
using platform::GetLE32;
void Put32(Bytes& out, size_t at, uint32_t v) { platform::SetLE32(out.data() + at, v); }
[[noreturn]] void Bad() { throw EInvalidGraphic(strings::kInvalidGraphic); }

bool AnyTranslucent(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) != 255) return true;
    return false;
}

// One icon image: a header without file header, colour rows, then the one-bit AND mask
// (set bits transparent), the header's height counting both.
QImage ReadIconImage(const uint8_t* p, size_t size) {
    if (size >= 8 && p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G') {
        QImage png;
        if (!png.loadFromData(p, static_cast<int>(size), "PNG")) Bad();
        return png.convertToFormat(QImage::Format_ARGB32);
    }
    if (size < 40) Bad();
    uint32_t headerSize = GetLE32(p);
    if (headerSize < 40 || headerSize > size) Bad();
    int32_t width = static_cast<int32_t>(GetLE32(p + 4));
    int32_t height = static_cast<int32_t>(GetLE32(p + 8)) / 2;
    int bits = GetLE16(p + 14);
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) Bad();
    // Rebuild a file image of the colour part and read it like any bitmap.
    Bytes file(14 + size);
    file[0] = 'B';
    file[1] = 'M';
    std::copy(p, p + size, file.begin() + 14);
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 10, 0);  // the pixels follow the palette
    Put32(file, 14 + 8, static_cast<uint32_t>(height));
    DibImage dib = ReadDibFile(file);
    QImage img = dib.image.convertToFormat(QImage::Format_ARGB32);
    if (dib.bitCount == 32 && AnyTranslucent(img)) return img;

    uint32_t colors = bits <= 8 ? (GetLE32(p + 32) ? GetLE32(p + 32) : 1u << bits) : 0;
    uint64_t colorStride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    uint64_t maskAt = headerSize + colors * 4ull + colorStride * static_cast<uint64_t>(height);
    uint64_t maskStride = ((static_cast<uint64_t>(width) + 31) / 32) * 4;
    if (maskAt + maskStride * static_cast<uint64_t>(height) > size) return img;  // no mask
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = p + maskAt + maskStride * static_cast<uint64_t>(height - 1 - y);
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            if (row[x / 8] & (0x80 >> (x % 8))) line[x] = 0;
    }
    return img;
}
}  // namespace

QImage ReadIcoFile(const Bytes& data) {
    if (data.size() < 6 || GetLE16(data.data()) != 0 || GetLE16(data.data() + 2) != 1) Bad();
    int count = GetLE16(data.data() + 4);
    if (count == 0 || data.size() < 6 + 16u * static_cast<size_t>(count)) Bad();
    int best = -1;
    int64_t bestScore = -1;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = data.data() + 6 + 16 * i;
        int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256, bits = GetLE16(e + 6);
        int64_t score = static_cast<int64_t>(w) * h * 64 + bits;
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    const uint8_t* e = data.data() + 6 + 16 * best;
    uint64_t len = GetLE32(e + 8), at = GetLE32(e + 12);
    if (at + len > data.size() || len == 0) Bad();
    return ReadIconImage(data.data() + at, static_cast<size_t>(len));
}

TIcon::TIcon() = default;
TIcon::~TIcon() = default;
int TIcon::Width() const { return image_->width(); }
int TIcon::Height() const { return image_->height(); }
bool TIcon::Empty() const { return image_->isNull(); }

const TClassInfo& TIcon::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TIcon>("TIcon", &TGraphic::StaticClassInfo())
            // Form data of an icon held as a property of a component ("Icon.Data").
            .Binary("Data", &TIcon::Data, &TIcon::SetData)
            .StoredWhen(&TIcon::HasData)
            .Build();
    return info;
}

void TIcon::SetWidth(int w) {
    if (w == Width()) return;
    SetImage(w > 0 && Height() > 0 ? image_->copy(0, 0, w, Height()) : QImage());
}

void TIcon::SetHeight(int h) {
    if (h == Height()) return;
    SetImage(h > 0 && Width() > 0 ? image_->copy(0, 0, Width(), h) : QImage());
}

void TIcon::SetImage(const TToolkitImage& image) {
    *image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    Changed();
}

std::vector<uint32_t> TIcon::ArgbPixels() const {
    std::vector<uint32_t> argb;
    argb.reserve(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) argb.push_back(image_->pixel(x, y));
    return argb;
}

QIcon ToQIcon(const TIcon& icon) {
    if (icon.Empty()) return {};
    return QIcon(QPixmap::fromImage(icon.Image()));
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
    if (image_->isNull()) return;
    DrawImage(canvas, rect, *image_, image_->rect());
}

void TIcon::LoadFromStream(const Bytes& data) {
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
        SetImage(ReadDibFile(data).image);
        return;
    }
    SetImage(ReadIcoFile(data));
}

void TIcon::SaveToStream(Bytes& data) const {
    if (image_->isNull()) {
        data.clear();
        return;
    }
    data = WriteDibFile(*image_, 32);
}

Bytes TIcon::Data() const {
    Bytes data;
    WriteData(data);
    return data;
}

void TIcon::ReadData(ByteView data) {
    const ByteView file = UnwrapCounted(data);
    if (file.empty()) {
        SetImage(QImage());
        return;
    }
    if (IsPixelImage(file))
        SetImage(ReadPixelImage(file).image);
    else
        LoadFromStream(Bytes(file.begin(), file.end()));
}

void TIcon::WriteData(Bytes& data) const {
    Bytes file;
    SaveToStream(file);
    data = WrapCounted(file);
}

void TIcon::Assign(const TPropertyObject& source) {
    if (&source == this) return;
    if (auto* i = dynamic_cast<const TIcon*>(&source)) {
        SetImage(*i->image_);
        return;
    }
    if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
        QImage img = b->ToRGBImage().convertToFormat(QImage::Format_ARGB32);
        if (b->Transparent() && b->TransparentColor() != clNone && !img.isNull()) {
            QRgb key = ToQColor(b->TransparentColor()).rgb() & 0xFFFFFF;
            for (int y = 0; y < img.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
            }
        }
        SetImage(img);
        return;
    }
    TGraphic::Assign(source);
}

}  // namespace fw
