#include "framework/graphics/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/core/qtconvert.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvasimpl.h"
#include "framework/graphics/shapedtext.h"

namespace fw {

namespace {
QImage& Scratch() {
    // Drawing on a canvas with no surface goes nowhere.
    static QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

bool IsPaletted(const QImage& img) {
    return img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB ||
           img.format() == QImage::Format_Indexed8;
}

// One pixel wide lines leave out their end point and follow Bresenham's steps.
QPolygon LinePixels(TPoint a, TPoint b) {
    QPolygon pts;
    int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy, x = a.X, y = a.Y;
    while (!(x == b.X && y == b.Y)) {
        pts << QPoint(x, y);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return pts;
}

// Single line, tabs expanded, "&" marking the access key.
constexpr int kLabelFlags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;

QImage WithKeyTransparent(const QImage& src, TColor key) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    QRgb k = ToQColor(key).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == k) line[x] = 0;
    }
    return img;
}
}  // namespace

TCanvas::TCanvas()
    : impl_(std::make_unique<Impl>()),
      font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(TBitmap* owner) : TCanvas() { bitmap_ = owner; }

TCanvas::~TCanvas() {
    if (impl_) impl_->lock.reset();  // a canvas freed while locked ends its painter first
}

void TCanvas::Attach(const TLentPainter& painter, const TRect& bounds) {
    if (lentBitmap_) Detach();
    impl_->painter = painter.Get();
    bounds_ = bounds;
}

void TCanvas::Attach(TBitmap& bitmap) {
    if (bitmap_ && !lentBitmap_) return;  // a bitmap's own canvas keeps its bitmap
    impl_->painter = nullptr;
    bitmap_ = &bitmap;
    lentBitmap_ = true;
}

void TCanvas::Detach() {
    impl_->painter = nullptr;
    bounds_ = {};
    if (lentBitmap_) {
        bitmap_ = nullptr;
        lentBitmap_ = false;
    }
}

bool TCanvas::HandleAllocated() const { return impl_->painter != nullptr || bitmap_ != nullptr; }

const QFontMetrics& TCanvas::Impl::Metrics(const TFont& font) {
    // operator== ignores the case of the name; the face resolved may not.
    if (!metrics || !(*metricsFont == font) || metricsFont->Name() != font.Name()) {
        metricsFont = font;
        metrics = std::make_unique<QFontMetrics>(ToQFont(font));
    }
    return *metrics;
}

// Painter scopes

TCanvas::PaintScope::PaintScope(TCanvas& canvas) : canvas_(canvas) {
    // A lent painter, or the painter of a scope already open on this bitmap (a QImage
    // takes one painter at a time), is shared and saved/restored around this scope.
    Impl& impl = *canvas.impl_;
    QPainter* shared = impl.painter ? impl.painter : impl.active;
    if (shared) {
        painter_ = shared;
        painter_->save();
    } else {
        QImage* target = canvas.bitmap_ && !canvas.bitmap_->image_->isNull()
                             ? &*canvas.bitmap_->image_
                             : &Scratch();
        if (IsPaletted(*target)) {
            // QPainter cannot draw on paletted images: draw in colour, map back after.
            converted_ = true;
            work_ = target->convertToFormat(QImage::Format_RGB32);
            own_ = std::make_unique<QPainter>(&work_);
        } else {
            own_ = std::make_unique<QPainter>(target);
        }
        painter_ = own_.get();
        impl.active = painter_;
    }
    Impl::ApplyClip(canvas, *painter_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

TCanvas::PaintScope::~PaintScope() {
    if (own_) {
        canvas_.impl_->active = nullptr;
        own_->end();
        own_.reset();
        if (converted_ && canvas_.bitmap_) {
            QImage& img = *canvas_.bitmap_->image_;
            QImage::Format f = img.format() == QImage::Format_Indexed8 ? QImage::Format_Indexed8
                                                                       : QImage::Format_Mono;
            img = work_.convertToFormat(f, img.colorTable(), Qt::ThresholdDither | Qt::AvoidDither);
        }
    } else if (painter_) {
        painter_->restore();
    }
    canvas_.Changed();
}

void TCanvas::Impl::ApplyClip(const TCanvas& canvas, QPainter& p) {
    if (canvas.clip_) p.setClipRect(ToQRect(*canvas.clip_), Qt::IntersectClip);
}

void TCanvas::Changed() {
    if (OnChange) OnChange();
}

QImage* TCanvas::Impl::TargetImage(const TCanvas& canvas) {
    if (QPainter* painter = canvas.impl_->painter) {
        QPaintDevice* dev = painter->device();
        return dev && dev->devType() == QInternal::Image ? static_cast<QImage*>(dev) : nullptr;
    }
    if (canvas.bitmap_ && !canvas.bitmap_->image_->isNull()) return &*canvas.bitmap_->image_;
    return nullptr;
}

TRect TCanvas::SurfaceRect() const {
    if (impl_->painter) return bounds_;
    if (bitmap_) return Bounds(0, 0, bitmap_->Width(), bitmap_->Height());
    return {};
}

// Text

int TCanvas::TextWidth(const std::string& text) const {
    return ShapedTextWidth(ToQFont(*font_), QString::fromStdString(text));
}

int TCanvas::TextHeight(const std::string&) const {
    const FontCell m = ShapedFontCell(ToQFont(*font_));
    return m.ascent + m.descent;
}

TSize TCanvas::TextExtent(const std::string& text) const {
    return {TextWidth(text), TextHeight(text)};
}

std::optional<TRect> TCanvas::TextInkRect(int x, int y, const std::string& text) const {
    const QFont f = ToQFont(*font_);
    const QString s = QString::fromStdString(text);
    if (s.isEmpty()) return TRect{};
    const QRect ink = ShapedTextInk(f, s);
    if (ink.isNull()) return std::nullopt;
    const FontCell cell = ShapedFontCell(f);
    // A column to spare either side for emboldened or smoothed glyph edges.
    TRect r = FromQRect(ink).Offset(x, y + cell.ascent).Inflate(1, 0);
    // Underlines and strike-outs are drawn by the painter, not the glyphs: the whole cell.
    if (f.underline() || f.strikeOut()) {
        const int width = ShapedTextWidth(f, s);
        r = {std::min(r.Left, x), y, std::max(r.Right, x + width),
             std::max(r.Bottom, y + cell.ascent + cell.descent + 1)};
    }
    return r;
}

void TCanvas::Impl::DrawText(TCanvas& canvas, QPainter& p, int x, int y, const std::string& text,
                             const std::optional<TRect>& opaque) {
    QFont f = ToQFont(*canvas.font_);
    const FontCell m = ShapedFontCell(f);
    QString s = QString::fromStdString(text);
    if (canvas.brush_->Style() != bsClear) {
        QRect cell =
            opaque ? ToQRect(*opaque) : QRect(x, y, ShapedTextWidth(f, s), m.ascent + m.descent);
        p.fillRect(cell, ToQColor(canvas.brush_->Color()));
    }
    p.setFont(f);
    p.setPen(ToQColor(canvas.font_->Color()));
    DrawShapedText(p, x, y + m.ascent, s);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    {
        PaintScope scope(*this);
        Impl::DrawText(*this, scope.Painter(), x, y, text, std::nullopt);
    }
    penPos_ = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    PaintScope scope(*this);
    scope->setClipRect(ToQRect(rect), Qt::IntersectClip);
    Impl::DrawText(*this, scope.Painter(), x, y, text, rect);
}

void TCanvas::TextOutAngle(int x, int y, const std::string& text, int tenthsOfDegree) {
    PaintScope scope(*this);
    scope->translate(x, y);
    // Qt turns clockwise on the screen; the angle here turns counter-clockwise.
    scope->rotate(-tenthsOfDegree / 10.0);
    Impl::DrawText(*this, scope.Painter(), 0, 0, text, std::nullopt);
}

// Labels

TSize TCanvas::LabelExtent(const std::string& text) const {
    const QFontMetrics& m = impl_->Metrics(*font_);
    return {m.size(kLabelFlags, QString::fromStdString(text)).width(), m.height()};
}

void TCanvas::LabelRect(const TRect& rect, const std::string& text, TLabelAlign align) {
    PaintScope scope(*this);
    scope->setFont(ToQFont(*font_));
    scope->setPen(ToQColor(font_->Color()));
    const int h = align == laRight ? Qt::AlignRight : Qt::AlignLeft;
    DrawShapedLabel(scope.Painter(), ToQRect(rect), kLabelFlags | h | Qt::AlignVCenter,
                    QString::fromStdString(text));
}

void TCanvas::LabelTurned(int x, int y, TSize cell, const std::string& text, bool upwards) {
    PaintScope scope(*this);
    // Turning about the reference point and drawing the unturned cell top-left aligned
    // puts the cell's first pixel there on every platform (no baseline rounding).
    if (upwards) {
        scope->translate(x, y + 1);
        scope->rotate(-90);
    } else {
        scope->translate(x + 1, y);
        scope->rotate(90);
    }
    scope->setFont(ToQFont(*font_));
    scope->setPen(ToQColor(font_->Color()));
    scope->drawText(QRect(0, 0, cell.cx, cell.cy), kLabelFlags | Qt::AlignLeft | Qt::AlignTop,
                    QString::fromStdString(text));
}

// Shapes

void TCanvas::FillRect(const TRect& r) {
    if (r.IsEmpty() || brush_->Style() == bsClear) return;
    PaintScope scope(*this);
    scope->fillRect(ToQRect(r), ToQBrush(*brush_));
}

void TCanvas::FrameRect(const TRect& r) {
    if (r.IsEmpty()) return;
    PaintScope scope(*this);
    QColor c = ToQColor(brush_->Color());
    scope->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    scope->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    scope->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    scope->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Rectangle(const TRect& r) {
    if (r.IsEmpty()) return;
    PaintScope scope(*this);
    if (pen_->Style() == psClear) {
        if (brush_->Style() != bsClear) scope->fillRect(ToQRect(r), ToQBrush(*brush_));
        return;
    }
    scope->setPen(ToQPen(*pen_));
    scope->setBrush(ToQBrush(*brush_));
    // A cosmetic outline of a w-1 by h-1 rectangle covers exactly the w by h pixels.
    scope->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void TCanvas::LineTo(int x, int y) {
    TPoint from = penPos_, to{x, y};
    penPos_ = to;
    if (pen_->Style() == psClear || from == to) return;
    PaintScope scope(*this);
    if (pen_->Width() <= 1 && pen_->Style() == psSolid) {
        scope->setPen(QPen(ToQColor(pen_->Color()), 0));
        scope->drawPoints(LinePixels(from, to));
    } else {
        scope->setPen(ToQPen(*pen_));
        scope->drawLine(ToQPoint(from), ToQPoint(to));
    }
}

// Pictures

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, rect);
}

void DrawImage(TCanvas& canvas, const TRect& dest, const QImage& image, const QRect& src) {
    if (image.isNull() || dest.IsEmpty()) return;
    TCanvas::PaintScope scope(canvas);
    scope->drawImage(ToQRect(dest), image, src);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect) {
    QImage* img = Impl::TargetImage(source);
    if (!img || dest.IsEmpty() || srcRect.IsEmpty()) return;
    // A copy first: the source may be this very surface.
    QImage copy = img->copy(ToQRect(srcRect));
    if (IsPaletted(copy)) copy = copy.convertToFormat(QImage::Format_RGB32);
    PaintScope scope(*this);
    scope->setCompositionMode(QPainter::CompositionMode_Source);
    scope->drawImage(ToQRect(dest), copy, copy.rect());
}

void TCanvas::BrushCopy(const TRect& dest, const TBitmap& source, const TRect& srcRect,
                        TColor transparentColor) {
    if (source.Empty() || dest.IsEmpty() || srcRect.IsEmpty()) return;
    QImage part = source.ToRGBImage().copy(ToQRect(srcRect));
    if (transparentColor == clNone) {
        PaintScope scope(*this);
        scope->setCompositionMode(QPainter::CompositionMode_Source);
        scope->drawImage(ToQRect(dest), part, part.rect());
        return;
    }
    QImage keyed = WithKeyTransparent(part, transparentColor);
    PaintScope scope(*this);
    if (brush_->Style() != bsClear) {
        // The keyed pixels show the brush: brush underneath, picture over it.
        QImage filled(keyed.size(), QImage::Format_ARGB32);
        filled.fill(ToQColor(brush_->Color()));
        QPainter p(&filled);
        p.drawImage(0, 0, keyed);
        p.end();
        scope->drawImage(ToQRect(dest), filled, filled.rect());
    } else {
        scope->drawImage(ToQRect(dest), keyed, keyed.rect());
    }
}

void TCanvas::BrushMask(int x, int y, const TBitmap& mask) {
    if (mask.Empty()) return;
    QImage src = mask.ToRGBImage();
    QImage paint(src.size(), QImage::Format_ARGB32);
    QRgb c = ToQColor(brush_->Color()).rgb();
    for (int row = 0; row < src.height(); ++row) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(row));
        QRgb* out = reinterpret_cast<QRgb*>(paint.scanLine(row));
        for (int col = 0; col < src.width(); ++col) out[col] = (in[col] & 0xFFFFFF) == 0 ? c : 0;
    }
    PaintScope scope(*this);
    scope->drawImage(QPoint(x, y), paint);
}

void TCanvas::CopyTransparent(const TRect& dest, const TBitmap& source, const TRect& srcRect,
                              TColor key) {
    if (source.Empty() || dest.IsEmpty() || srcRect.IsEmpty()) return;
    QImage part = source.ToRGBImage().copy(ToQRect(srcRect));
    PaintScope scope(*this);
    if (key == clNone) {
        scope->setCompositionMode(QPainter::CompositionMode_Source);
        scope->drawImage(ToQRect(dest), part, part.rect());
        return;
    }
    QImage keyed = WithKeyTransparent(part, key);
    scope->drawImage(ToQRect(dest), keyed, keyed.rect());
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (r.IsEmpty()) return;
    QPolygon dots;
    auto add = [&](int x, int y) {
        if ((x + y) % 2 == 0) dots << QPoint(x, y);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        add(x, r.Top);
        if (r.Bottom - 1 > r.Top) add(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        add(r.Left, y);
        if (r.Right - 1 > r.Left) add(r.Right - 1, y);
    }
    PaintScope scope(*this);
    scope->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    scope->setPen(QPen(Qt::white, 0));
    scope->drawPoints(dots);
}

// Pixels

TColor TCanvas::Pixels(int x, int y) const {
    QImage* img = Impl::TargetImage(*this);
    if (!img) return clNone;
    QPoint p(x, y);
    if (impl_->painter) p = impl_->painter->deviceTransform().map(p);
    if (!img->rect().contains(p)) return clNone;
    return FromQRgb(img->pixel(p));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (clip_ && !clip_->Contains({x, y})) return;
    if (!impl_->painter && !impl_->active && bitmap_) {
        QImage& img = *bitmap_->image_;
        if (!img.rect().contains(x, y)) return;
        QRgb rgb = ToQColor(color).rgb();
        if (IsPaletted(img)) {
            // The nearest palette entry.
            int best = 0;
            long bestDist = -1;
            for (int i = 0; i < img.colorCount(); ++i) {
                QRgb e = img.color(i);
                long dr = qRed(e) - qRed(rgb), dg = qGreen(e) - qGreen(rgb),
                     db = qBlue(e) - qBlue(rgb);
                long d = dr * dr + dg * dg + db * db;
                if (bestDist < 0 || d < bestDist) {
                    bestDist = d;
                    best = i;
                }
            }
            img.setPixel(x, y, static_cast<uint>(best));
        } else {
            img.setPixel(x, y, rgb);
        }
        Changed();
        return;
    }
    PaintScope scope(*this);
    scope->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

// Clipping and state

TRect TCanvas::ClipRect() const { return clip_ ? *clip_ : SurfaceRect(); }
void TCanvas::SetClipRect(const TRect& r) { clip_ = r.IsEmpty() ? TRect{} : r; }
void TCanvas::IntersectClipRect(const TRect& r) { clip_ = ClipRect().Intersect(r); }
void TCanvas::ResetClip() { clip_.reset(); }

void TCanvas::Lock() {
    if (impl_->locks++ == 0) impl_->lock = std::make_unique<PaintScope>(*this);
}

void TCanvas::Unlock() {
    if (impl_->locks == 0) return;
    if (--impl_->locks == 0) impl_->lock.reset();
}

void TCanvas::Save() { saved_.push_back(State{*font_, *pen_, *brush_, penPos_, clip_}); }

void TCanvas::Restore() {
    if (saved_.empty()) return;
    State s = std::move(saved_.back());
    saved_.pop_back();
    font_->Assign(s.font);
    pen_->Assign(s.pen);
    brush_->Assign(s.brush);
    penPos_ = s.penPos;
    clip_ = s.clip;
}

}  // namespace fw
