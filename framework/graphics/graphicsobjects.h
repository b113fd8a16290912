#pragma once
// Drawing tools that tell their owner when they change: the base of fonts, pens and
// brushes, and the pens and brushes themselves.
#include <functional>

#include "framework/core/classes.h"
#include "framework/graphics/colors.h"

namespace fw {

class TGraphicsObject : public TPropertyObject {
    FW_CLASS(TGraphicsObject)
  public:
    // Called after every change of a property; the owner repaints or re-measures.
    std::function<void()> OnChange;

  protected:
    void Changed() {
        if (OnChange) OnChange();
    }
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
const EnumInfo& PenStyleInfo();

class TPen : public TGraphicsObject {
    FW_CLASS(TPen)
  public:
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    int Width() const { return width_; }
    void SetWidth(int w);  // below 1 counts as 1
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle s);

    void Assign(const TPropertyObject& source) override;

  private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
const EnumInfo& BrushStyleInfo();

class TBrush : public TGraphicsObject {
    FW_CLASS(TBrush)
  public:
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle s);

    void Assign(const TPropertyObject& source) override;

  private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

}  // namespace fw
