#pragma once
// A marquee: a transparent label whose caption moves through its own rectangle by a few
// pixels on every tick of its timer and, once it has left completely, comes back in from
// the opposite edge. The motion happens in painting; a tick only asks for a repaint.
#include <cstdint>
#include <string>

#include "framework/controls/labels.h"

namespace fw {
class TTimer;
}

namespace ctl {

enum TScrollDirection { LeftToRight, RightToLeft, TopToBottom, BottomToTop };
const fw::EnumInfo& ScrollDirectionInfo();

// Where one label's text stands (its top-left corner in client coordinates) and the text
// size measured at its last paint. Every label keeps its own, so two labels never step
// into each other's motion.
struct ScrollMotion {
    int x = 0;
    int y = 0;
    int textWidth = 0;
    int textHeight = 0;

    // One paint's move: records the text size just measured, steps by `by` pixels and
    // brings the text back in from the far edge once it has left the client area.
    void Advance(TScrollDirection dir, int by, int clientWidth, int clientHeight, int textW,
                 int textH);
    // The entry position after a change to dir, just outside the edge the text comes in
    // from; uses the text size of the last paint.
    void Start(TScrollDirection dir, int clientWidth, int clientHeight);
};

class TScrollLabel : public fw::TCustomLabel {
    FW_CLASS(TScrollLabel)
  public:
    explicit TScrollLabel(fw::TComponent* owner);
    ~TScrollLabel() override;

    // The moving text, held apart from the base label's text (which stays empty).
    const std::string& Caption() const { return caption_; }
    // Takes effect at the next paint, from the current position.
    void SetCaption(const std::string& s);
    const std::string& AccessibleText() const override { return caption_; }
    // Milliseconds between steps, 1 to 1000; other values are ignored.
    int Interval() const { return interval_; }
    void SetInterval(int v);
    // Pixels per step; 0 stops the text.
    uint8_t ScrollBy() const { return scrollBy_; }
    void SetScrollBy(uint8_t v);
    TScrollDirection ScrollDirection() const { return direction_; }
    void SetScrollDirection(TScrollDirection d);
    // The timer's enabled flag: false freezes the text where it is.
    bool Active() const;
    void SetActive(bool v);

    const ScrollMotion& Motion() const { return motion_; }
    // Owned by the label but registered under the label's owner; null once freed.
    fw::TTimer* Timer() const { return timer_; }

    void Notification(fw::TComponent* component, fw::TOperation Operation) override;
    // The text moves over the whole box, and every paint of it is a step.
    fw::TRect PaintedRect() override { return ClientRect(); }

  protected:
    void Paint() override;

  private:
    void TimerTick(fw::TPropertyObject* Sender);

    // The caption's size in the font it was measured with: every step paints, but the text
    // and the font seldom change, and measuring shapes the whole text.
    struct Measured {
        std::string text, fontName;
        int fontHeight = 0;
        unsigned fontStyle = 0;
        int pitch = 0;
        int width = -1, height = -1;
    };
    Measured measured_;

    std::string caption_ = "ScrollLabel";
    int interval_ = 100;
    uint8_t scrollBy_ = 1;
    TScrollDirection direction_ = LeftToRight;
    ScrollMotion motion_;
    fw::TTimer* timer_ = nullptr;
};

}  // namespace ctl
