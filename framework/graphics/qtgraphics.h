#pragma once
// The toolkit side of colours, pens, brushes and fonts, for framework sources (and tests)
// only: the public graphics headers stay free of Qt.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>

#include "framework/graphics/font.h"
#include "framework/graphics/graphicsobjects.h"

namespace fw {

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
