#include "framework/graphics/bitmap.h"

#include <QPainter>
#include <cstring>

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/bitmapfile.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/canvasimpl.h"
#include "framework/graphics/picture.h"
#include "framework/graphics/pixelimage.h"
#include "platform/bytes.h"

namespace fw {

namespace {
// The sixteen classic VGA colours, the palette of a fresh 4-bit bitmap.
QList<QRgb> Vga16() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A fresh 8-bit bitmap: the VGA colours, a 6x6x6 cube, then greys.
QList<QRgb> Default256() {
    QList<QRgb> t = Vga16();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) t.push_back(qRgb(r * 51, g * 51, b * 51));
    while (t.size() < 256) {
        int v = static_cast<int>((t.size() - 232) * 10 + 8);
        t.push_back(qRgb(v, v, v));
    }
    return t;
}

QList<QRgb> BlackWhite() { return {qRgb(0, 0, 0), qRgb(255, 255, 255)}; }

int BitCountOf(TPixelFormat pf) {
    switch (pf) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf32bit:
            return 32;
        default:
            return 24;
    }
}

// An image of the format that stands for the pixel format, all white.
QImage BlankImage(int w, int h, TPixelFormat pf) {
    QImage img;
    switch (pf) {
        case pf1bit:
            img = QImage(w, h, QImage::Format_Mono);
            img.setColorTable(BlackWhite());
            img.fill(1);
            break;
        case pf4bit:
            img = QImage(w, h, QImage::Format_Indexed8);
            img.setColorTable(Vga16());
            img.fill(15);
            break;
        case pf8bit:
            img = QImage(w, h, QImage::Format_Indexed8);
            img.setColorTable(Default256());
            img.fill(15);
            break;
        case pf32bit:
            img = QImage(w, h, QImage::Format_ARGB32);
            img.fill(0xFFFFFFFFu);
            break;
        default:
            img = QImage(w, h, QImage::Format_RGB32);
            img.fill(0xFFFFFFFFu);
            break;
    }
    return img;
}

QImage ConvertTo(const QImage& src, TPixelFormat pf) {
    switch (pf) {
        case pf1bit: {
            // Colour to monochrome: white stays white, every other colour turns black.
            QImage rgb = src.convertToFormat(QImage::Format_RGB32);
            QImage m(src.size(), QImage::Format_Mono);
            m.setColorTable(BlackWhite());
            for (int y = 0; y < rgb.height(); ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                for (int x = 0; x < rgb.width(); ++x)
                    m.setPixel(x, y, (line[x] & 0xFFFFFF) == 0xFFFFFF ? 1 : 0);
            }
            return m;
        }
        case pf4bit:
            return ReduceToPalette(src, 16);
        case pf8bit:
            return ReduceToPalette(src, 256);
        case pf32bit:
            return src.convertToFormat(QImage::Format_ARGB32);
        default:
            return src.convertToFormat(QImage::Format_RGB32);
    }
}
}  // namespace

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TBitmap>("TBitmap", &TGraphic::StaticClassInfo())
            // A bitmap that is a property of a component is written as its form data.
            .Binary("Data", &TBitmap::FormData, &TBitmap::ReadData)
            .StoredWhen(&TBitmap::HasImage)
            .Build();
    return info;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
    OnChange = nullptr;
    if (canvas_) canvas_->OnChange = nullptr;
}

template class TInPlace<TToolkitImage>;

namespace {
TPixelFormat FormatOf(const QImage& image, int bitCount) {
    switch (image.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            return pf1bit;
        case QImage::Format_Indexed8:
            return bitCount == 4 ? pf4bit : pf8bit;
        default:
            break;
    }
    if (bitCount == 24) return pf24bit;
    if (bitCount == 32 || image.hasAlphaChannel()) return pf32bit;
    return pfDevice;
}
}  // namespace

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }
bool TBitmap::Empty() const { return image_->isNull(); }

void TBitmap::SetSize(int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (w == Width() && h == Height()) return;
    if (w == 0 || h == 0) {
        *image_ = QImage();
        Changed();
        return;
    }
    QImage img = BlankImage(w, h, pixelFormat_);
    if (!image_->isNull()) {
        if (image_->format() == img.format() && img.colorCount() == image_->colorCount())
            img.setColorTable(image_->colorTable());
        int cw = std::min(w, image_->width()), ch = std::min(h, image_->height());
        if (image_->format() == img.format()) {
            // Byte-exact copy of the part that stays.
            int bytes = image_->depth() >= 8 ? cw * image_->depth() / 8 : 0;
            for (int y = 0; y < ch; ++y) {
                if (bytes > 0) {
                    std::memcpy(img.scanLine(y), image_->constScanLine(y),
                                static_cast<size_t>(bytes));
                } else {
                    for (int x = 0; x < cw; ++x) img.setPixel(x, y, image_->pixelIndex(x, y));
                }
            }
        }
    }
    *image_ = std::move(img);
    Changed();
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        canvas_.reset(new TCanvas(this));
        canvas_->OnChange = [this] { Changed(); };
    }
    return *canvas_;
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
    if (!SetIfChanged(pixelFormat_, pf)) return;
    if (!image_->isNull()) *image_ = ConvertTo(*image_, pf);
    Changed();
}

bool TBitmap::Monochrome() const {
    if (pixelFormat_ != pf1bit && image_->format() != QImage::Format_Mono) return false;
    QList<QRgb> t = image_->colorTable();
    return t.size() == 2 && (t[0] & 0xFFFFFF) == 0 && (t[1] & 0xFFFFFF) == 0xFFFFFF;
}

void TBitmap::SetMonochrome(bool mono) {
    if (mono == Monochrome()) return;
    if (mono) {
        pixelFormat_ = pf1bit;
        if (!image_->isNull()) *image_ = ConvertTo(*image_, pf1bit);
    } else {
        pixelFormat_ = pfDevice;
        if (!image_->isNull()) *image_ = image_->convertToFormat(QImage::Format_RGB32);
    }
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (image_->isNull()) return clNone;
    return FromQRgb(image_->pixel(0, image_->height() - 1));
}

void TBitmap::SetTransparentColor(TColor c) {
    if (c == clNone) {
        SetTransparentMode(tmAuto);
        return;
    }
    if (transparentMode_ == tmFixed && c == transparentColor_) return;
    transparentColor_ = c;
    transparentMode_ = tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
    if (!SetIfChanged(transparentMode_, m)) return;
    if (m == tmAuto) transparentColor_ = clNone;
    Changed();
}

void TBitmap::SetImage(const TToolkitImage& image) {
    QImage img = image;
    if (img.format() == QImage::Format_MonoLSB) img = img.convertToFormat(QImage::Format_Mono);
    if (img.format() != QImage::Format_Mono && img.format() != QImage::Format_Indexed8 &&
        img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32)
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                        : QImage::Format_RGB32);
    *image_ = std::move(img);
    pixelFormat_ = image_->isNull() ? pfDevice : FormatOf(*image_, 0);
    Changed();
}

TToolkitImage TBitmap::ToRGBImage() const {
    if (image_->isNull()) return {};
    return image_->convertToFormat(image_->hasAlphaChannel() &&
                                           image_->format() == QImage::Format_ARGB32
                                       ? QImage::Format_ARGB32
                                       : QImage::Format_RGB32);
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height())
        throw EInvalidGraphic(Fmt(strings::kListIndexError, std::to_string(row)));
    return image_->scanLine(row);
}

const uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= Height())
        throw EInvalidGraphic(Fmt(strings::kListIndexError, std::to_string(row)));
    return image_->constScanLine(row);
}

std::vector<TColor> TBitmap::Palette() const {
    std::vector<TColor> out;
    for (QRgb c : image_->colorTable()) out.push_back(FromQRgb(c));
    return out;
}

void TBitmap::SetPalette(const std::vector<TColor>& colors) {
    if (image_->colorCount() == 0) return;
    QList<QRgb> t = image_->colorTable();
    for (size_t i = 0; i < colors.size() && i < static_cast<size_t>(t.size()); ++i)
        t[static_cast<qsizetype>(i)] = ToQColor(colors[i]).rgb();
    image_->setColorTable(t);
    Changed();
}

void TBitmap::Mask(TColor transparentColor) {
    QImage m = *CreateMask(transparentColor)->image_;
    *image_ = std::move(m);
    pixelFormat_ = pf1bit;
    Changed();
}

std::unique_ptr<TBitmap> TBitmap::CreateMask(TColor transparentColor) const {
    auto mask = std::make_unique<TBitmap>();
    mask->pixelFormat_ = pf1bit;
    if (image_->isNull()) return mask;
    QImage rgb = image_->convertToFormat(QImage::Format_RGB32);
    QRgb key = ToQColor(transparentColor).rgb() & 0xFFFFFF;
    QImage m(image_->size(), QImage::Format_Mono);
    m.setColorTable(BlackWhite());
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            m.setPixel(x, y, transparentColor != clNone && (line[x] & 0xFFFFFF) == key ? 1 : 0);
    }
    *mask->image_ = std::move(m);
    return mask;
}

// As Draw treats the pixels: an alpha channel counts only in ARGB32 images (ToRGBImage).
bool TBitmap::Opaque() const {
    if (image_->isNull()) return false;
    if (Transparent() && TransparentColor() != clNone) return false;
    return !(image_->hasAlphaChannel() && image_->format() == QImage::Format_ARGB32);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    if (image_->isNull()) return;
    QImage src = ToRGBImage();
    if (Transparent() && TransparentColor() != clNone) {
        QRgb key = ToQColor(TransparentColor()).rgb() & 0xFFFFFF;
        src = src.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < src.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
    }
    DrawImage(canvas, rect, src, src.rect());
}

void TBitmap::LoadFromStream(const Bytes& data) {
    DibImage dib = ReadDibFile(data);
    *image_ = std::move(dib.image);
    pixelFormat_ = FormatOf(*image_, dib.bitCount);
    Changed();
}

void TBitmap::SaveToStream(Bytes& data) const {
    if (image_->isNull()) {
        data.clear();
        return;
    }
    data = WriteDibFile(*image_, BitCountOf(pixelFormat_));
}

Bytes TBitmap::FileImage(int bitCount) const { return WriteDibFile(*image_, bitCount); }

void TBitmap::LoadFromPixels(const PixelLayout& layout, const std::uint8_t* pixels,
                             const std::vector<TColor>& palette) {
    QList<QRgb> table;
    for (TColor c : palette) table.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    DibImage dib = ImageFromRows(layout, pixels, std::move(table));
    *image_ = std::move(dib.image);
    pixelFormat_ = FormatOf(*image_, dib.bitCount);
    Changed();
}

std::vector<TColor> TBitmap::CopyPixels(const PixelLayout& layout, std::uint8_t* pixels) const {
    std::vector<TColor> palette;
    for (QRgb c : ImageToRows(*image_, layout, pixels))
        palette.push_back(RGB(qRed(c), qGreen(c), qBlue(c)));
    return palette;
}

ByteView UnwrapCounted(ByteView data) {
    if (data.size() < 4) throw EInvalidGraphic(strings::kInvalidGraphic);
    uint64_t count = platform::GetLE32(data.data());
    if (count > data.size() - 4) throw EInvalidGraphic(strings::kInvalidGraphic);
    return data.subspan(4, static_cast<size_t>(count));
}

Bytes WrapCounted(const Bytes& data) {
    Bytes out;
    out.reserve(data.size() + 4);
    uint32_t n = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

void TBitmap::ReadData(ByteView data) {
    const ByteView file = UnwrapCounted(data);
    if (file.empty()) {
        Clear();
        return;
    }
    if (!IsPixelImage(file)) {
        LoadFromStream(Bytes(file.begin(), file.end()));
        return;
    }
    DibImage dib = ReadPixelImage(file);
    *image_ = std::move(dib.image);
    pixelFormat_ = FormatOf(*image_, dib.bitCount);
    Changed();
}

Bytes TBitmap::FormData() const {
    Bytes data;
    if (!Empty()) WriteData(data);
    return data;
}

void TBitmap::WriteData(Bytes& data) const {
    Bytes file;
    SaveToStream(file);
    data = WrapCounted(file);
}

void TBitmap::LoadFromClipboardFormat(TClipboardFormat format, const ClipboardData& data) {
    const Bytes* b = data.Find(format);
    if (!b) b = data.Find(CF_BITMAP);
    if (!b) b = data.Find(CF_DIB);
    if (!b) throw EInvalidGraphic(strings::kUnsupportedClipboardFormat);
    LoadFromStream(*b);
}

void TBitmap::SaveToClipboardFormat(ClipboardData& data) const {
    if (image_->isNull()) return;
    Bytes b;
    SaveToStream(b);
    data.formats[CF_BITMAP] = std::move(b);
}

void TBitmap::Clear() {
    if (image_->isNull()) return;
    *image_ = QImage();
    Changed();
}

void TBitmap::Assign(const TPropertyObject& source) {
    if (&source == this) return;
    if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
        *image_ = *b->image_;
        pixelFormat_ = b->pixelFormat_;
        transparentMode_ = b->transparentMode_;
        transparentColor_ = b->transparentColor_;
        TGraphic::SetTransparent(b->Transparent());
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<const TPicture*>(&source)) {
        if (!p->Graphic()) {
            Clear();
            return;
        }
        Assign(*p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(&source)) {
        if (g->Empty()) {
            Clear();
            return;
        }
        pixelFormat_ = pfDevice;
        *image_ = BlankImage(g->Width(), g->Height(), pfDevice);
        // Drawing may fill caches inside the source (a GIF decodes its frame); the
        // picture itself does not change.
        const_cast<TGraphic*>(g)->Draw(Canvas(), Bounds(0, 0, g->Width(), g->Height()));
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

}  // namespace fw
