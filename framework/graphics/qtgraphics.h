#pragma once
// The toolkit side of colours, pens, brushes and fonts, for framework sources (and tests)
// only: the public graphics headers stay free of Qt.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPen>
#include <utility>

#include "framework/core/inplaceimpl.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/font.h"
#include "framework/graphics/graphicsicon.h"
#include "framework/graphics/graphicsobjects.h"
#include "framework/graphics/imagelist.h"

namespace fw {

// What bitmaps, icons and image lists hold: a QImage under a name the public headers can
// forward-declare. Copies share the pixels, as QImage copies do.
struct TToolkitImage : QImage {
    TToolkitImage() = default;
    TToolkitImage(const QImage& image) : QImage(image) {}        // NOLINT: converts by design
    TToolkitImage(QImage&& image) : QImage(std::move(image)) {}  // NOLINT: converts by design
    using QImage::operator=;
};

// The icon's image as a QIcon.
QIcon ToQIcon(const TIcon& icon);
// The images of an ICO file, largest first; throws EInvalidGraphic when it is not one.
QImage ReadIcoFile(const Bytes& data);

struct TToolkitFont : QFont {
    explicit TToolkitFont(const QFont& font) : QFont(font) {}
};

// The font's toolkit font, made once per change of the font.
inline QFont ToQFont(const TFont& font) { return font.Toolkit(); }

// The colour as a QColor: system colours resolved, clNone transparent.
QColor ToQColor(TColor c);
// The RGB value of a QColor (its alpha dropped).
TColor FromQColor(const QColor& c);
TColor FromQRgb(QRgb rgb);
// A cosmetic pen for QPainter; psClear gives Qt::NoPen.
QPen ToQPen(const TPen& pen);
// bsClear gives Qt::NoBrush.
QBrush ToQBrush(const TBrush& brush);

}  // namespace fw
