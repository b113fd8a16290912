#pragma once
// The framework's geometry records as Qt sees them. Only framework sources that talk to Qt
// include this: the records themselves (types.h) stay free of Qt.
#include <QPoint>
#include <QRect>
#include <QSize>

#include "framework/core/types.h"

namespace fw {

inline QPoint ToQPoint(TPoint p) { return {p.X, p.Y}; }
inline TPoint FromQPoint(const QPoint& p) { return {p.x(), p.y()}; }
inline QSize ToQSize(TSize s) { return {s.cx, s.cy}; }
inline TSize FromQSize(const QSize& s) { return {s.width(), s.height()}; }
// QRect keeps an inclusive right edge; width and height carry over unchanged.
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }

}  // namespace fw
