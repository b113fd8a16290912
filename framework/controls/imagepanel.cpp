#include "framework/controls/imagepanel.h"

#include <QTimer>

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"

namespace fw {

// TImage

const TClassInfo& TImage::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
            .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
            .Boolean("Center", &TImage::Center, &TImage::SetCenter, false)
            .Object("Picture", &TImage::Picture)
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
            .Boolean("Transparent", &TControl::Transparent, &TImage::SetTransparent, false)
            .Creatable()
            .Build();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    picture_->OnChange = [this] { PictureChanged(); };
    TControl::SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetCenter(bool v) {
    if (SetIfChanged(center_, v)) Invalidate();
}
void TImage::SetStretch(bool v) {
    if (SetIfChanged(stretch_, v)) Invalidate();
}
void TImage::SetAutoSize(bool v) {
    autoSize_ = v;
    PictureChanged();
}
void TImage::SetTransparent(bool v) {
    TControl::SetTransparent(v);
    if (picture_->Graphic()) picture_->Graphic()->SetTransparent(v);
    opaque_ = !v && picture_->Graphic() && picture_->Graphic()->Opaque();
}

void TImage::PictureChanged() {
    opaque_ = false;
    if (TGraphic* g = picture_->Graphic()) {
        g->SetTransparent(Transparent());
        opaque_ = !Transparent() && g->Opaque();
        if (autoSize_ && g->Width() > 0 && g->Height() > 0)
            SetBounds(Left(), Top(), g->Width(), g->Height());
    }
    Invalidate();
}

TPoint TImage::PictureOrigin() const {
    if (!center_) return {0, 0};
    // Integer division truncates toward zero, as the skins' placement needs.
    return {(Width() - picture_->Width()) / 2, (Height() - picture_->Height()) / 2};
}

TRect TImage::OpaqueRect() {
    TGraphic* g = picture_->Graphic();
    if (!opaque_ || !g) return {};
    if (stretch_) return ClientRect();
    const TPoint o = PictureOrigin();
    return Bounds(o.X, o.Y, g->Width(), g->Height()).Intersect(ClientRect());
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    TCanvas& c = *Canvas();
    if (stretch_) {
        c.StretchDraw(ClientRect(), *g);
    } else {
        TPoint o = PictureOrigin();
        c.Draw(o.X, o.Y, *g);
    }
}

// TTimer

const TClassInfo& TTimer::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TTimer>("TTimer", &TComponent::StaticClassInfo())
            .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
            .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
            .Event("OnTimer", &TTimer::OnTimer)
            .Creatable()
            .Build();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout,
                     [this] { Guarded(this, [this] { Timer(); }); });
    UpdateTimer();
}

TTimer::~TTimer() { timer_->stop(); }

void TTimer::SetEnabled(bool v) {
    if (SetIfChanged(enabled_, v)) UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (SetIfChanged(interval_, v)) UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

bool TTimer::Running() const { return timer_->isActive(); }

void TTimer::UpdateTimer() {
    timer_->stop();
    if (enabled_ && interval_ > 0 && !Loading()) timer_->start(static_cast<int>(interval_));
}

void TTimer::Timer() {
    if (!Destroying()) OnTimer(this);
}

// TPanel

namespace {
const EnumInfo& BevelCutInfo() {
    static const EnumInfo info{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
    return info;
}
}  // namespace

const TClassInfo& TPanel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TPanel>("TPanel", &TPaintedWinControl::StaticClassInfo())
            .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, BevelCutInfo(), bvNone)
            .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, BevelCutInfo(),
                  bvRaised)
            .Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, AlignmentInfo(), taCenter)
            .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
            .Creatable()
            .Build();
    return info;
}

TPanel::TPanel(TComponent* owner) : TPaintedWinControl(owner) {
    TControl::SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelInner(TBevelCut v) {
    bevelInner_ = v;
    Invalidate();
}
void TPanel::SetBevelOuter(TBevelCut v) {
    bevelOuter_ = v;
    Invalidate();
}
void TPanel::SetAlignment(TAlignment v) {
    if (SetIfChanged(alignment_, v)) Invalidate();
}
void TPanel::SetBevelWidth(int v) {
    bevelWidth_ = v < 1 ? 1 : v;
    Invalidate();
}

void TPanel::Paint(TCanvas& canvas) {
    TRect r = ClientRect();
    auto frame = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        TColor topLeft = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottomRight = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace) topLeft = bottomRight = Color();
        for (int i = 0; i < bevelWidth_; ++i) {
            canvas.Pen().SetColor(topLeft);
            canvas.MoveTo(r.Left, r.Bottom - 1);
            canvas.LineTo(r.Left, r.Top);
            canvas.LineTo(r.Right - 1, r.Top);
            canvas.Pen().SetColor(bottomRight);
            canvas.LineTo(r.Right - 1, r.Bottom - 1);
            canvas.LineTo(r.Left, r.Bottom - 1);
            r = r.Inflate(-1, -1);
        }
    };
    frame(bevelOuter_);
    frame(bevelInner_);
    if (!Caption().empty()) {
        canvas.Brush().SetStyle(bsClear);
        canvas.SetFont(*Font());
        TSize s = canvas.TextExtent(Caption());
        // The caption keeps clear of the bevels.
        const int inset = ((bevelOuter_ != bvNone) + (bevelInner_ != bvNone)) * bevelWidth_;
        int x = (Width() - s.cx) / 2;
        if (alignment_ == taLeftJustify) x = inset;
        if (alignment_ == taRightJustify) x = Width() - inset - s.cx;
        canvas.TextOut(x, (Height() - s.cy) / 2, Caption());
    }
}

}  // namespace fw
