#include "framework/graphics/graphicsobjects.h"

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

QColor ToQColor(TColor c) {
    if (c == clNone) return QColor(0, 0, 0, 0);
    TColor rgb = ColorToRGB(c) & 0xFFFFFF;
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }
TColor FromQRgb(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

const TClassInfo& TGraphicsObject::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TGraphicsObject>("TGraphicsObject", &TPropertyObject::StaticClassInfo())
            .Build();
    return info;
}

// Pens

const EnumInfo& PenStyleInfo() {
    static const EnumInfo info{
        "TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear"}};
    return info;
}

const TClassInfo& TPen::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TPen>("TPen", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TPen::Color, &TPen::SetColor, clBlack)
            .Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleInfo(), psSolid)
            .Integer("Width", &TPen::Width, &TPen::SetWidth, 1)
            .Build();
    return info;
}

void TPen::SetColor(TColor c) {
    if (SetIfChanged(color_, c)) Changed();
}

void TPen::SetWidth(int w) {
    if (w < 1) w = 1;
    if (SetIfChanged(width_, w)) Changed();
}

void TPen::SetStyle(TPenStyle s) {
    if (SetIfChanged(style_, s)) Changed();
}

void TPen::Assign(const TPropertyObject& source) {
    if (auto* p = dynamic_cast<const TPen*>(&source)) {
        if (p == this) return;
        bool differs = p->color_ != color_ || p->width_ != width_ || p->style_ != style_;
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        if (differs) Changed();
        return;
    }
    TPropertyObject::Assign(source);
}

QPen ToQPen(const TPen& p) {
    if (p.Style() == psClear) return QPen(Qt::NoPen);
    QPen pen(ToQColor(p.Color()));
    pen.setWidth(p.Width() > 1 ? p.Width() : 0);  // width 0: cosmetic one-pixel lines
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (p.Style()) {
        case psDash:
            pen.setStyle(Qt::DashLine);
            break;
        case psDot:
            pen.setStyle(Qt::DotLine);
            break;
        case psDashDot:
            pen.setStyle(Qt::DashDotLine);
            break;
        case psDashDotDot:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            pen.setStyle(Qt::SolidLine);
            break;
    }
    return pen;
}

// Brushes

const EnumInfo& BrushStyleInfo() {
    static const EnumInfo info{"TBrushStyle",
                               {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                "bsBDiagonal", "bsCross", "bsDiagCross"}};
    return info;
}

const TClassInfo& TBrush::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TBrush>("TBrush", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
            .Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleInfo(), bsSolid)
            .Build();
    return info;
}

void TBrush::SetColor(TColor c) {
    if (SetIfChanged(color_, c)) Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
    if (SetIfChanged(style_, s)) Changed();
}

void TBrush::Assign(const TPropertyObject& source) {
    if (auto* b = dynamic_cast<const TBrush*>(&source)) {
        if (b == this) return;
        bool differs = b->color_ != color_ || b->style_ != style_;
        color_ = b->color_;
        style_ = b->style_;
        if (differs) Changed();
        return;
    }
    TPropertyObject::Assign(source);
}

QBrush ToQBrush(const TBrush& b) {
    QColor c = ToQColor(b.Color());
    switch (b.Style()) {
        case bsClear:
            return QBrush(Qt::NoBrush);
        case bsHorizontal:
            return QBrush(c, Qt::HorPattern);
        case bsVertical:
            return QBrush(c, Qt::VerPattern);
        case bsFDiagonal:
            return QBrush(c, Qt::FDiagPattern);
        case bsBDiagonal:
            return QBrush(c, Qt::BDiagPattern);
        case bsCross:
            return QBrush(c, Qt::CrossPattern);
        case bsDiagCross:
            return QBrush(c, Qt::DiagCrossPattern);
        default:
            return QBrush(c);
    }
}

}  // namespace fw
