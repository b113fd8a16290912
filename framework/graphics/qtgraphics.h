#pragma once
// The toolkit side of colours, pens and brushes, for framework sources (and tests) only:
// the public graphics headers stay free of Qt.
#include <QBrush>
#include <QColor>
#include <QPen>

#include "framework/graphics/graphicsobjects.h"

namespace fw {

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
