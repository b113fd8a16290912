#pragma once
// A windowless control that plays a GIF picture: frames advance on a threaded timer, each
// frame composed with the ones before it by their disposal methods and drawn plain,
// centred or stretched, with or without the picture's transparent colour.
#include <cstdint>
#include <memory>

#include "gif/gifimage.h"
#include "gif/picturecontrol.h"
#include "gif/threadedtimer.h"

namespace gifcodec {
class TFrameComposer;
}

namespace gif {

class TGIFAnimator : public TPictureControl {
    FW_CLASS(TGIFAnimator)
  public:
    explicit TGIFAnimator(fw::TComponent* owner);
    ~TGIFAnimator() override;

    bool Animate() const { return animate_; }
    void SetAnimate(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v);
    int FrameIndex() const { return frameIndex_; }
    void SetFrameIndex(int v);
    TGIFImage* Image() const { return image_.get(); }
    void SetImage(TGIFImage* v);
    bool Loop() const { return loop_; }
    void SetLoop(bool v) { loop_ = v; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) override;

    fw::TSenderEvent OnChange;
    fw::TSenderEvent OnFrameChanged;
    fw::TSenderEvent OnStart;
    fw::TSenderEvent OnStop;

    // The timer that advances the frames (owned as a component).
    TThreadedTimer& Timer() const { return *timer_; }
    // How long the current frame is shown: its delay, at least 1 ms; 0 (no advancing)
    // for a picture of fewer than two frames or an index outside the frames.
    unsigned FrameInterval() const;
    // The rectangle the composed frame of w x h goes to.
    fw::TRect DestRect(int w, int h) const;

    void BeforeDestruction() override;

  protected:
    void Paint() override;
    void BoundsChanged() override;

  private:
    void ImageChanged();
    void Tick();
    void AdjustSize();
    void RepaintIfAnimating();

    // The last frame composed and converted for painting: the control repaints whenever
    // anything above it does (the marquee beside it 20 times a second), and a frame only
    // changes with the index, the picture, the window colour or the transparency.
    struct PaintedFrame {
        int index = -1;
        std::uint32_t windowColor = 0;
        bool transparent = false;
        int width = 0, height = 0;
        std::unique_ptr<fw::TBitmap> bitmap;
    };
    const PaintedFrame& FrameToPaint();

    std::unique_ptr<TGIFImage> image_;
    PaintedFrame painted_;
    // Composes the frames as they come, each from the one before; made again when what it
    // was made from changes: the picture, the window colour, or the picture's current frame
    // (whose transparent colour keys the fill).
    struct Composing {
        std::unique_ptr<gifcodec::TFrameComposer> composer;
        std::uint32_t windowColor = 0;
        int currentFrame = 0;
    };
    Composing composing_;
    TThreadedTimer* timer_;
    bool animate_ = false;
    bool autoSize_ = true;
    bool center_ = false;
    int frameIndex_ = 0;
    bool loop_ = true;
    bool stretch_ = false;
    bool transparent_ = true;
};

}  // namespace gif
