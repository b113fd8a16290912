#pragma once
// The Qt side of TCanvas, for framework sources only: the painter a paint event lends, the
// painter scope of one drawing operation, and drawing a QImage.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "framework/graphics/canvas.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

// What a paint event lends a control canvas (TCanvas::Attach).
class TLentPainter {
  public:
    TLentPainter(QPainter* painter) : painter_(painter) {}  // NOLINT: converts by design
    QPainter* Get() const { return painter_; }

  private:
    QPainter* painter_;
};

// The painter of the current operation; valid only for the lifetime of the scope.
class TCanvas::PaintScope {
  public:
    explicit PaintScope(TCanvas& canvas);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    QPainter& Painter() { return *painter_; }
    QPainter* operator->() { return painter_; }

  private:
    TCanvas& canvas_;
    QImage work_;  // colour copy of a paletted bitmap while it is drawn on
    std::unique_ptr<QPainter> own_;
    QPainter* painter_ = nullptr;
    bool converted_ = false;
};

struct TCanvas::Impl {
    QPainter* painter = nullptr;  // lent by Attach
    QPainter* active = nullptr;   // the painter of an open scope on the bitmap
    // Measuring asks for many texts in one font: resolve the font once.
    std::optional<TFont> metricsFont;
    std::unique_ptr<QFontMetrics> metrics;
    std::unique_ptr<PaintScope> lock;  // open from the first Lock to the last Unlock
    int locks = 0;

    const QFontMetrics& Metrics(const TFont& font);

    static QImage* TargetImage(const TCanvas& canvas);
    static void ApplyClip(const TCanvas& canvas, QPainter& p);
    // opaque: the area the brush fills instead of the text cell.
    static void DrawText(TCanvas& canvas, QPainter& p, int x, int y, const std::string& text,
                         const std::optional<TRect>& opaque);
};

// Draws src of the image into dest, stretched when the sizes differ.
void DrawImage(TCanvas& canvas, const TRect& dest, const QImage& image, const QRect& src);

}  // namespace fw
