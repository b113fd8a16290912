#include "framework/graphics/imagelist.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <optional>

#include "framework/core/classbuilder.h"
#include "framework/core/lifelong.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/bitmapfile.h"
#include "framework/graphics/canvasimpl.h"
#include "framework/graphics/pixelimage.h"

namespace fw {

namespace {
// The image at column x of an ARGB32 strip that lies in lifelong data (core/lifelong.h),
// shown where it lies, when that strip holds all of it and it is as Cut would make it: clear
// pixels clear black, kept without alpha when none is clear.
std::optional<QImage> InPlace(const QImage& strip, int x, int w, int h) {
    if (strip.format() != QImage::Format_ARGB32 || x < 0 || x + w > strip.width() ||
        h > strip.height() ||
        !IsLifelong({strip.constBits(), static_cast<size_t>(strip.sizeInBytes())}))
        return std::nullopt;
    bool opaque = true;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(strip.constScanLine(y)) + x;
        for (int i = 0; i < w; ++i) {
            if (qAlpha(line[i]) == 0 && line[i] != 0) return std::nullopt;
            opaque = opaque && qAlpha(line[i]) == 255;
        }
    }
    return QImage(strip.constScanLine(0) + 4 * static_cast<size_t>(x), w, h, strip.bytesPerLine(),
                  opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
}

// An image of the list's size cut from column x of an ARGB32 strip; what lies outside is
// clear.
QImage Cut(const QImage& strip, int x, int w, int h) {
    if (std::optional<QImage> shown = InPlace(strip, x, w, h)) return *shown;
    QImage out(w, h, QImage::Format_ARGB32);
    out.fill(0);
    const int from = std::clamp(x, 0, strip.width()), to = std::clamp(x + w, 0, strip.width());
    for (int y = 0; y < std::min(h, strip.height()) && to > from; ++y)
        std::memcpy(out.scanLine(y) + 4 * (from - x), strip.constScanLine(y) + 4 * from,
                    4 * static_cast<size_t>(to - from));
    // A clear pixel is clear black, whatever colour it hid. An image with no clear pixel
    // is kept without alpha: it draws the same, and a bitmap asked for it can share its
    // pixels rather than hold a copy.
    bool opaque = true;
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int i = 0; i < w; ++i) {
            if (qAlpha(line[i]) == 0) line[i] = 0;
            opaque = opaque && qAlpha(line[i]) == 255;
        }
    }
    if (opaque) out.reinterpretAsFormat(QImage::Format_RGB32);
    return out;
}

// A flat-coloured copy of the image's visible pixels (for embossed drawing).
QImage Silhouette(const QImage& img, TColor color) {
    QImage out(img.size(), QImage::Format_ARGB32);
    QRgb c = ToQColor(color).rgb();
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            // Light pixels stay out of the relief, as in the classic disabled look.
            bool light = qGray(in[x]) >= 192;
            o[x] = qAlpha(in[x]) >= 128 && !light ? c : 0;
        }
    }
    return out;
}
}  // namespace

const TClassInfo& TImageList::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TImageList>("TImageList", &TComponent::StaticClassInfo())
            .Creatable()
            .Integer("Width", &TImageList::Width, &TImageList::SetWidth, 16)
            .Integer("Height", &TImageList::Height, &TImageList::SetHeight, 16)
            .Boolean("Masked", &TImageList::Masked, &TImageList::SetMasked, true)
            .Color("BkColor", &TImageList::BkColor, &TImageList::SetBkColor, clNone)
            .Binary("Bitmap", &TImageList::BitmapData, &TImageList::SetBitmapData)
            .StoredWhen(&TImageList::HasImages)
            .Build();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}
TImageList::~TImageList() = default;

void TImageList::SetWidth(int w) { SetSize(w, height_); }
void TImageList::SetHeight(int h) { SetSize(width_, h); }

void TImageList::SetSize(int w, int h) {
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    if (w == width_ && h == height_) return;
    width_ = w;
    height_ = h;
    images_.clear();
    ForgetUnread();
    Changed();
}

void TImageList::SetMasked(bool m) {
    if (SetIfChanged(masked_, m)) Changed();
}

void TImageList::SetBkColor(TColor c) {
    if (SetIfChanged(bkColor_, c)) Changed();
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
    int first = Count();
    if (image.Empty()) return -1;
    QImage src = image.ToRGBImage().convertToFormat(QImage::Format_ARGB32);
    if (mask && !mask->Empty()) {
        QImage m = mask->ToRGBImage();
        for (int y = 0; y < src.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                bool visible = x < m.width() && y < m.height() && (m.pixel(x, y) & 0xFFFFFF) == 0;
                if (!visible) line[x] = 0;
            }
        }
    }
    int n = std::max(1, src.width() / width_);
    for (int i = 0; i < n; ++i) images_.push_back(Cut(src, i * width_, width_, height_));
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    if (maskColor == clNone) return Add(image, nullptr);
    std::unique_ptr<TBitmap> mask = image.CreateMask(maskColor);  // the colour white
    return Add(image, mask.get());
}

void TImageList::Delete(int index) {
    CheckIndex(index);
    images_.erase(images_.begin() + index);
    Changed();
}

void TImageList::Clear() {
    if (images_.empty() && unread_.empty()) return;
    images_.clear();
    ForgetUnread();
    Changed();
}

void TImageList::ForgetUnread() const {
    unread_ = {};
    ownUnread_.clear();
}

void TImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Exception(Fmt(strings::kListIndexError, std::to_string(index)));
}

int TImageList::Count() const { return static_cast<int>(Images().size()); }
bool TImageList::HasImages() const { return !unread_.empty() || !images_.empty(); }

const std::vector<TToolkitImage>& TImageList::Images() const {
    if (unread_.empty()) return images_;
    const Bytes owned = std::move(ownUnread_);  // holds what file refers to, if anything
    const ByteView file = unread_;
    ForgetUnread();
    QImage strip = ReadAnyImage(file).image.convertToFormat(QImage::Format_ARGB32);
    int n = std::max(1, strip.width() / width_);
    for (int i = 0; i < n; ++i) images_.push_back(Cut(strip, i * width_, width_, height_));
    return images_;
}

TToolkitImage TImageList::ImageAt(int index) const {
    CheckIndex(index);
    return images_[static_cast<size_t>(index)];
}

void TImageList::GetBitmap(int index, TBitmap& dest) const {
    CheckIndex(index);
    // Drawn onto a fresh RGB bitmap, an opaque image gives its own pixels: the bitmap shares
    // them (copied when either side is drawn on). Paletted and alpha formats need a copy.
    const QImage& img = images_[static_cast<size_t>(index)];
    TPixelFormat pf = dest.PixelFormat();
    if (img.format() == QImage::Format_RGB32 && pf != pf1bit && pf != pf4bit && pf != pf8bit &&
        pf != pf32bit) {
        dest.MutableImage() = img;
        dest.Modified();
        return;
    }
    dest.SetSize(width_, height_);
    TCanvas& c = dest.Canvas();
    c.Save();
    c.ResetClip();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(bkColor_ == clNone ? clWhite : bkColor_);
    c.FillRect(Bounds(0, 0, width_, height_));
    c.Restore();
    Draw(c, 0, 0, index, true);
}

void TImageList::GetMask(int index, TBitmap& mask) const {
    CheckIndex(index);
    const QImage& img = images_[static_cast<size_t>(index)];
    QImage m(img.size(), QImage::Format_RGB32);
    for (int row = 0; row < img.height(); ++row)
        for (int col = 0; col < img.width(); ++col)
            m.setPixel(col, row, qAlpha(img.pixel(col, row)) != 0 ? 0xFF000000 : 0xFFFFFFFF);
    mask.SetImage(m);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const QImage& img = images_[static_cast<size_t>(index)];
    TRect dest = Bounds(x, y, width_, height_);
    if (!enabled) {
        DrawImage(canvas, dest.Offset(1, 1), Silhouette(img, clBtnHighlight), img.rect());
        DrawImage(canvas, dest, Silhouette(img, clBtnShadow), img.rect());
        return;
    }
    if (!masked_) {
        // Unmasked lists show every pixel, the clear ones in the background colour.
        QImage opaque(img.size(), QImage::Format_RGB32);
        opaque.fill(ToQColor(bkColor_ == clNone ? clBlack : bkColor_));
        QPainter p(&opaque);
        p.drawImage(0, 0, img);
        p.end();
        DrawImage(canvas, dest, opaque, opaque.rect());
        return;
    }
    if (bkColor_ != clNone) {
        QImage filled(img.size(), QImage::Format_RGB32);
        filled.fill(ToQColor(bkColor_));
        QPainter p(&filled);
        p.drawImage(0, 0, img);
        p.end();
        DrawImage(canvas, dest, filled, filled.rect());
        return;
    }
    DrawImage(canvas, dest, img, img.rect());
}

Bytes TImageList::BitmapData() const {
    if (Images().empty()) return {};
    QImage strip(width_ * Count(), height_, QImage::Format_ARGB32);
    strip.fill(0);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < Count(); ++i)
        p.drawImage(QPoint(i * width_, 0), images_[static_cast<size_t>(i)]);
    p.end();
    return WrapCounted(WriteDibFile(strip, 32));
}

void TImageList::SetBitmapData(ByteView data) {
    // Kept as read until first used: of a window's lists, only those its first frame draws
    // are unpacked while it is made (the pressed glyphs wait for a press).
    // Lifelong data is left where it lies, and its images are shown there.
    const ByteView file = UnwrapCounted(data);
    ForgetUnread();
    if (IsLifelong(file)) {
        unread_ = file;
    } else {
        ownUnread_.assign(file.begin(), file.end());
        unread_ = ownUnread_;
    }
    images_.clear();
    Changed();
}

}  // namespace fw
