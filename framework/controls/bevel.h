#pragma once
// A windowless frame or line with a raised or lowered look.
#include "framework/controls/controls.h"

namespace fw {

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    FW_CLASS(TBevel)
  public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle v);

  protected:
    void Paint() override;

  private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

}  // namespace fw
