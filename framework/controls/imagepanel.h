#pragma once
#include <memory>

#include "framework/controls/controls.h"
#include "framework/controls/labels.h"

class QTimer;

namespace fw {

// A picture in a windowless control, drawn unscaled (top-left or centred) or stretched.
class TImage : public TGraphicControl {
    FW_CLASS(TImage)
  public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* p) { picture_->Assign(*p); }
    bool Center() const { return center_; }
    void SetCenter(bool v);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    void SetTransparent(bool v) override;

    // Where the picture's top-left corner goes inside the control.
    TPoint PictureOrigin() const;
    TRect OpaqueRect() override;

  protected:
    void Paint() override;

  private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool center_ = false;
    bool stretch_ = false;
    bool autoSize_ = false;
    bool opaque_ = false;  // the picture draws every pixel of its rectangle
};

// A message timer on the GUI thread.
class TTimer : public TComponent {
    FW_CLASS(TTimer)
  public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);
    TSenderEvent OnTimer;
    // True while the platform timer is running (enabled, interval > 0, handler assigned,
    // not loading).
    bool Running() const;

    void Loaded() override;

  protected:
    virtual void Timer();

  private:
    void UpdateTimer();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    std::unique_ptr<QTimer> timer_;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A windowed container with bevels and a caption.
class TPanel : public TPaintedWinControl {
    FW_CLASS(TPanel)
  public:
    explicit TPanel(TComponent* owner);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    // Where the caption stands across the panel (always centred vertically).
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

  protected:
    void Paint(TCanvas& canvas) override;

  private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    TAlignment alignment_ = taCenter;
};

}  // namespace fw
