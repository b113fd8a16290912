#pragma once
// A label that draws its caption twice, first shifted in a shadow colour and then itself
// on top, for raised or engraved lettering. It reports the mouse entering and leaving,
// places its text at the top, middle or bottom, and can show a focus rectangle while its
// focus control has the keyboard focus.
#include <cstdint>
#include <string>

#include "framework/controls/controls.h"
#include "framework/controls/labels.h"

namespace ctl {

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
const fw::EnumInfo& ShadowPositionInfo();

// The shadow-text step: draws text into a copy of r shifted by size pixels towards pos in
// the shadow colour, then into r in the canvas font's colour. r becomes the union of the
// two rectangles. Returns the first height plus size when that height is positive.
int DrawShadowText(fw::TCanvas& canvas, const std::string& text, TShadowPosition pos,
                   fw::TColor shadowColor, int size, unsigned flags, fw::TRect& r);

class TCustomShadowLabel : public fw::TGraphicControl {
    FW_CLASS(TCustomShadowLabel)
  public:
    explicit TCustomShadowLabel(fw::TComponent* owner);
    ~TCustomShadowLabel() override;

    fw::TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(fw::TWinControl* c);
    fw::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(fw::TAlignment v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    fw::TTextLayout Layout() const { return layout_; }
    void SetLayout(fw::TTextLayout v);
    fw::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(fw::TColor v);
    uint8_t ShadowSize() const { return shadowSize_; }
    void SetShadowSize(uint8_t v);
    TShadowPosition ShadowPos() const { return shadowPos_; }
    void SetShadowPos(TShadowPosition v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool v);
    void SetEnabled(bool v) override;

    bool MouseInControl() const { return mouseIn_; }
    bool Dragging() const { return dragging_; }
    bool FocusedFlag() const { return focused_; }
    int LeftMargin() const { return leftMargin_; }
    int RightMargin() const { return rightMargin_; }

    fw::TSenderEvent OnMouseEnter;
    fw::TSenderEvent OnMouseLeave;

    void WndProc(fw::TMessage& Message) override;
    void Notification(fw::TComponent* component, fw::TOperation Operation) override;
    // Fits the size to the text when AutoSize is on.
    void AdjustBounds();

  protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void VisibleChanged() override;
    void Loaded() override;
    void MouseDown(fw::TMouseButton Button, fw::TModifierState Shift, int X, int Y) override;
    void MouseUp(fw::TMouseButton Button, fw::TModifierState Shift, int X, int Y) override;
    virtual void MouseEnter() { OnMouseEnter(this); }
    virtual void MouseLeave() { OnMouseLeave(this); }
    // Draws (or with DT_CALCRECT measures) the caption with its shadow.
    void DoDrawText(fw::TCanvas& canvas, fw::TRect& rect, unsigned flags);

  private:
    void CheckMouse();
    unsigned AlignmentFlags() const;
    unsigned WordWrapFlags() const;

    fw::TWinControl* focusControl_ = nullptr;
    fw::TAlignment alignment_ = fw::taLeftJustify;
    bool autoSize_ = true;
    fw::TTextLayout layout_ = fw::tlTop;
    fw::TColor shadowColor_ = fw::clBtnHighlight;
    uint8_t shadowSize_ = 1;
    TShadowPosition shadowPos_ = spLeftTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    bool showFocus_ = false;
    bool focused_ = false;
    bool mouseIn_ = false;
    bool dragging_ = false;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
};

class TShadowLabel : public TCustomShadowLabel {
    FW_CLASS(TShadowLabel)
  public:
    explicit TShadowLabel(fw::TComponent* owner) : TCustomShadowLabel(owner) {}
};

}  // namespace ctl
