#include "gif/gifanimator.h"

#include <algorithm>
#include <cstring>

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/colors.h"
#include "gif/codec/compose.h"
#include "gif/codec/giferrors.h"

namespace gif {

namespace {

// The composed frame as a 32-bit bitmap with alpha of the logical screen; with keyed true the
// pixels where the key fill shows are see-through (not every pixel of the key colour: an opaque one
// may hold it). Drawn into the last frame's bitmap when it has the size, as it has while the
// picture plays.
std::unique_ptr<fw::TBitmap> ToBitmap(const gifcodec::TComposedFrame& frame, bool keyed,
                                      std::unique_ptr<fw::TBitmap> last) {
    auto bitmap = last && last->Width() == frame.width && last->Height() == frame.height
                      ? std::move(last)
                      : std::make_unique<fw::TBitmap>(frame.width, frame.height);
    bitmap->SetPixelFormat(fw::pf32bit);
    for (int y = 0; y < frame.height; ++y) {
        std::uint8_t* line = bitmap->ScanLine(y);
        const std::size_t at = static_cast<std::size_t>(y) * frame.width;
        const std::uint8_t* rgb = frame.rgb.data() + at * 3;
        for (int x = 0; x < frame.width; ++x) {
            const std::uint32_t argb =
                keyed && frame.mask[at + x]
                    ? 0
                    : 0xFF000000u | (rgb[x * 3] << 16) | (rgb[x * 3 + 1] << 8) | rgb[x * 3 + 2];
            std::memcpy(line + 4 * x, &argb, 4);
        }
    }
    bitmap->Modified();
    return bitmap;
}

}  // namespace

const fw::TClassInfo& TGIFAnimator::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TGIFAnimator>("TGIFAnimator", &TPictureControl::StaticClassInfo())
            .Boolean("Animate", &TGIFAnimator::Animate, &TGIFAnimator::SetAnimate, false)
            .Boolean("AutoSize", &TGIFAnimator::AutoSize, &TGIFAnimator::SetAutoSize, true)
            .Boolean("Center", &TGIFAnimator::Center, &TGIFAnimator::SetCenter, false)
            .Integer("FrameIndex", &TGIFAnimator::FrameIndex, &TGIFAnimator::SetFrameIndex, 0)
            .Object("Image", &TGIFAnimator::Image)
            .Boolean("Loop", &TGIFAnimator::Loop, &TGIFAnimator::SetLoop, true)
            .Boolean("Stretch", &TGIFAnimator::Stretch, &TGIFAnimator::SetStretch, false)
            .Boolean("Transparent", &TGIFAnimator::Transparent, &TGIFAnimator::SetTransparent, true)
            .Event("OnChange", &TGIFAnimator::OnChange)
            .Event("OnFrameChanged", &TGIFAnimator::OnFrameChanged)
            .Event("OnStart", &TGIFAnimator::OnStart)
            .Event("OnStop", &TGIFAnimator::OnStop)
            .Creatable()
            .Build();
    return info;
}

TGIFAnimator::TGIFAnimator(fw::TComponent* owner)
    : TPictureControl(owner),
      image_(std::make_unique<TGIFImage>()),
      timer_(new TThreadedTimer(this)) {
    image_->OnChange = [this] { ImageChanged(); };
    SetGraphic(image_.get());
}

TGIFAnimator::~TGIFAnimator() { image_->OnChange = nullptr; }

void TGIFAnimator::BeforeDestruction() {
    OnChange.Set(nullptr);
    OnFrameChanged.Set(nullptr);
    OnStart.Set(nullptr);
    OnStop.Set(nullptr);
    SetAnimate(false);
    image_->OnChange = nullptr;
    TPictureControl::BeforeDestruction();
}

unsigned TGIFAnimator::FrameInterval() const {
    const int count = image_->FrameCount();
    if (count < 2 || frameIndex_ < 0 || frameIndex_ >= count) return 0;
    return std::max<unsigned>(image_->Frames(frameIndex_).Delay(), 1u);
}

void TGIFAnimator::SetAnimate(bool v) {
    if (v == animate_) return;
    if (v) {
        timer_->SetOnTimer([this](fw::TPropertyObject*) { Tick(); });
        timer_->SetEnabled(true);
        animate_ = timer_->Enabled();
        OnStart(this);
    } else {
        timer_->SetEnabled(false);
        timer_->SetOnTimer(nullptr);
        animate_ = false;
        OnStop(this);
        PictureChanged();
    }
}

void TGIFAnimator::SetFrameIndex(int v) {
    if (v < 0 || v >= image_->FrameCount() || !fw::SetIfChanged(frameIndex_, v)) return;
    timer_->SetInterval(FrameInterval());
    OnFrameChanged(this);
    PictureChanged();
}

void TGIFAnimator::SetImage(TGIFImage* v) {
    if (v)
        image_->Assign(*v);
    else
        image_->Clear();
}

void TGIFAnimator::RepaintIfAnimating() {
    if (animate_) Repaint();
}

void TGIFAnimator::SetCenter(bool v) {
    if (!fw::SetIfChanged(center_, v)) return;
    PictureChanged();
    RepaintIfAnimating();
}

void TGIFAnimator::SetStretch(bool v) {
    if (!fw::SetIfChanged(stretch_, v)) return;
    PictureChanged();
    RepaintIfAnimating();
}

void TGIFAnimator::SetTransparent(bool v) {
    // The control always paints its whole area, so the framework's opacity stays as it is.
    if (!fw::SetIfChanged(transparent_, v)) return;
    PictureChanged();
    RepaintIfAnimating();
}

void TGIFAnimator::SetAutoSize(bool v) {
    if (!fw::SetIfChanged(autoSize_, v)) return;
    AdjustSize();
    PictureChanged();
}

void TGIFAnimator::BoundsChanged() {
    TPictureControl::BoundsChanged();
    AdjustSize();
}

void TGIFAnimator::AdjustSize() {
    if (Loading() || !autoSize_ || image_->Empty()) return;
    SetBounds(Left(), Top(), image_->ScreenWidth(), image_->ScreenHeight());
}

void TGIFAnimator::ImageChanged() {
    painted_ = {};
    composing_.composer.reset();
    AdjustSize();
    frameIndex_ = image_->CurrentFrame();
    if (frameIndex_ >= 0 && image_->FrameCount() > 0) timer_->SetInterval(FrameInterval());
    OnChange(this);
    PictureChanged();
}

void TGIFAnimator::Tick() {
    if (!Visible()) return;
    const int count = image_->FrameCount();
    if (count < 2) return;
    frameIndex_ = frameIndex_ >= count - 1 ? 0 : frameIndex_ + 1;
    {
        // The next frame's interval holds whatever the handler or the painting raise.
        struct IntervalUpdate {
            TGIFAnimator& a;
            ~IntervalUpdate() { a.timer_->SetInterval(a.FrameInterval()); }
        } update{*this};
        OnFrameChanged(this);
        Repaint();
    }
    if (!loop_ && frameIndex_ == 0) SetAnimate(false);
}

fw::TRect TGIFAnimator::DestRect(int w, int h) const {
    if (stretch_) return ClientRect();
    if (center_) return fw::Bounds((ClientWidth() - w) / 2, (ClientHeight() - h) / 2, w, h);
    return fw::Bounds(0, 0, w, h);
}

void TGIFAnimator::Paint() {
    DrawingScope drawing(*this);
    fw::TCanvas& canvas = *Canvas();
    const bool empty = image_->Empty();
    // With transparency the background stays as the parent painted it.
    if (!image_->HasTransparency() && !empty) {
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(fw::bsSolid);
        canvas.FillRect(ClientRect());
    }
    if (empty || image_->ScreenWidth() <= 0 || image_->ScreenHeight() <= 0) return;
    const PaintedFrame& frame = FrameToPaint();
    if (!frame.bitmap) return;
    canvas.StretchDraw(DestRect(frame.width, frame.height), *frame.bitmap);
}

const TGIFAnimator::PaintedFrame& TGIFAnimator::FrameToPaint() {
    const std::uint32_t windowColor = fw::ColorToRGB(fw::clWindow);
    if (painted_.index == frameIndex_ && painted_.windowColor == windowColor &&
        painted_.transparent == transparent_)
        return painted_;
    std::unique_ptr<fw::TBitmap> last = std::move(painted_.bitmap);
    painted_ = {};
    const gifcodec::TComposedFrame* composed = nullptr;
    try {
        Composing& c = composing_;
        if (!c.composer || c.windowColor != windowColor ||
            c.currentFrame != image_->CurrentFrame()) {
            c.composer.reset();  // the old screen goes before the new one is made
            c.composer = std::make_unique<gifcodec::TFrameComposer>(image_->Core(), windowColor);
            c.windowColor = windowColor;
            c.currentFrame = image_->CurrentFrame();
        }
        composed = &c.composer->Frame(frameIndex_);
    } catch (const gifcodec::EGifCodecError& e) {
        composing_.composer.reset();  // half way through a frame: start over at the next paint
        throw EInvalidGraphicOperation(e.Id(), e.what());
    }
    const gifcodec::TComposedFrame& frame = *composed;
    if (frame.width > 0 && frame.height > 0)
        painted_.bitmap =
            ToBitmap(frame, frame.key != gifcodec::clNone && transparent_, std::move(last));
    painted_.index = frameIndex_;
    painted_.windowColor = windowColor;
    painted_.transparent = transparent_;
    painted_.width = frame.width;
    painted_.height = frame.height;
    return painted_;
}

}  // namespace gif
