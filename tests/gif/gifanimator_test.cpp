// The animator: frame intervals, the tick, Animate and FrameIndex, the picture-changed
// step, painting (plain, centred, with and without the transparent colour) and loading
// the main window's indicator from a window description.
#include "gif/gifanimator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "framework/controls/forms.h"
#include "framework/graphics/colors.h"
#include "framework/text/componenttext.h"
#include "gif/codec/compose.h"
#include "gif/codec/dib.h"
#include "testpaths.h"
#include "tests/gif/codec/gifbuilder.h"
#include "tests/gif/gifsupport.h"

using gif::TGIFAnimator;

namespace {

constexpr fw::TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF,
                     kBlack = 0x000000;

std::function<fw::TColor(int, int)> Solid(fw::TColor c) {
    return [c](int, int) { return c; };
}

class TTestForm : public fw::TForm {
  public:
    explicit TTestForm(std::string_view text) : fw::TForm(nullptr) {
        RegisterHandler<void(fw::TPropertyObject*)>("Noop", [](fw::TPropertyObject*) {});
        InitInheritedComponent(text);
    }
    explicit TTestForm() : fw::TForm(nullptr) {
        SetBounds(0, 0, 40, 30);
        SetColor(kRed);
    }
};

// A windowless control that only fills itself, to lie under the animator.
class TSwatch : public fw::TGraphicControl {
  public:
    explicit TSwatch(fw::TComponent* owner) : fw::TGraphicControl(owner) {}

  protected:
    void Paint() override {
        Canvas()->Brush().SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

fw::TColor Pixel(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return static_cast<fw::TColor>(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}

QImage Grab(fw::TFormBase& form) { return form.Handle()->grab().toImage(); }

class AnimatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        giftest::EnsureApp();
        anim.reset(new TGIFAnimator(nullptr));
        anim->OnFrameChanged.Set(
            [this](fw::TPropertyObject*) { frames.push_back(anim->FrameIndex()); });
        anim->OnStart.Set([this](fw::TPropertyObject*) { ++starts; });
        anim->OnStop.Set([this](fw::TPropertyObject*) { ++stops; });
    }
    // Runs one tick the way the timer does.
    void Tick() { anim->Timer().OnTimer(&anim->Timer()); }
    void Load(int count, std::vector<uint16_t> delays = {}) {
        std::vector<std::function<fw::TColor(int, int)>> f(static_cast<size_t>(count),
                                                           Solid(kWhite));
        auto g = giftest::MakeGif(2, 2, f);
        for (size_t i = 0; i < delays.size(); ++i)
            g->Frames(static_cast<int>(i)).SetDelay(delays[i]);
        anim->SetImage(g.get());
    }

    fw::ComponentPtr<TGIFAnimator> anim;
    std::vector<int> frames;
    int starts = 0, stops = 0;
};

TEST_F(AnimatorTest, DefaultsBeforeAnyPicture) {
    EXPECT_FALSE(anim->Animate());
    EXPECT_TRUE(anim->AutoSize());
    EXPECT_TRUE(anim->Loop());
    EXPECT_TRUE(anim->Transparent());
    EXPECT_EQ(anim->FrameIndex(), 0);
    EXPECT_EQ(anim->Width(), 105);
    EXPECT_EQ(anim->Height(), 105);
    EXPECT_TRUE(anim->ParentColor());
    EXPECT_EQ(anim->Timer().Interval(), 1000u);
    EXPECT_TRUE(anim->Timer().Threaded());
    EXPECT_TRUE(anim->Timer().SyncEvent());
}

TEST_F(AnimatorTest, OneFrameNeverAdvances) {
    Load(1, {500});
    anim->SetAnimate(true);
    EXPECT_EQ(anim->FrameInterval(), 0u);
    EXPECT_EQ(anim->Timer().Interval(), 0u);
    EXPECT_TRUE(anim->Timer().WorkerSuspended());
    Tick();
    EXPECT_EQ(anim->FrameIndex(), 0);
    EXPECT_TRUE(frames.empty());
}

TEST_F(AnimatorTest, ThreeFramesWithoutLoopEndOnFrameZero) {
    Load(3, {100, 200, 300});
    anim->SetLoop(false);
    anim->SetAnimate(true);
    EXPECT_EQ(anim->Timer().Interval(), 100u);
    Tick();
    EXPECT_EQ(anim->Timer().Interval(), 200u);
    Tick();
    EXPECT_EQ(anim->Timer().Interval(), 300u);
    EXPECT_TRUE(anim->Animate());
    Tick();
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(anim->Animate());
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(anim->Timer().WorkerSuspended());
    EXPECT_EQ(anim->Timer().Interval(), 100u);  // frame 0's, ready for a restart
}

TEST_F(AnimatorTest, LoopingWrapsAndAHiddenControlHoldsItsFrame) {
    Load(2, {10, 10});
    anim->SetAnimate(true);
    Tick();
    Tick();
    EXPECT_EQ(frames, (std::vector<int>{1, 0}));
    EXPECT_TRUE(anim->Animate());
    anim->SetVisible(false);
    Tick();
    EXPECT_EQ(anim->FrameIndex(), 0);
    anim->SetVisible(true);
    Tick();
    EXPECT_EQ(anim->FrameIndex(), 1);
}

TEST_F(AnimatorTest, FrameIndexOutOfRangeChangesNothing) {
    Load(3, {100, 200, 300});
    for (int bad : {3, -1, 0}) {
        anim->SetFrameIndex(bad);
        EXPECT_EQ(anim->FrameIndex(), 0) << bad;
    }
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(anim->Timer().Interval(), 100u);
    anim->SetFrameIndex(2);
    EXPECT_EQ(frames, (std::vector<int>{2}));
    EXPECT_EQ(anim->Timer().Interval(), 300u);
}

TEST_F(AnimatorTest, ADelayOfZeroIsShownForOneMillisecond) {
    Load(2, {0, 40});
    EXPECT_EQ(anim->FrameInterval(), 1u);
    EXPECT_EQ(anim->Timer().Interval(), 1u);
}

TEST_F(AnimatorTest, AnimateTwiceStartsOnceAndStoppingLeavesTheInterval) {
    Load(2, {70, 80});
    anim->SetAnimate(true);
    anim->SetAnimate(true);
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(anim->Timer().WorkerSuspended());
    anim->SetAnimate(false);
    anim->SetAnimate(false);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(static_cast<bool>(anim->Timer().OnTimer));
    EXPECT_EQ(anim->Timer().Interval(), 70u);
}

TEST_F(AnimatorTest, ThePictureChangedStep) {
    int changes = 0;
    anim->OnChange.Set([&](fw::TPropertyObject*) { ++changes; });
    anim->SetBounds(7, 9, 50, 50);
    auto g = giftest::MakeGif(5, 3, {Solid(kWhite), Solid(kBlack)});
    g->Frames(0).SetDelay(120);
    anim->SetImage(g.get());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(anim->FrameIndex(), 0);           // the picture's current frame
    EXPECT_EQ(anim->Timer().Interval(), 120u);  // frame 0's delay
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(7, 9, 5, 3));
    EXPECT_NE(anim->Image(), g.get());
    EXPECT_TRUE(anim->Image()->Equals(*g));  // a copy sharing the data

    // An empty picture leaves the size; FrameIndex follows its CurrentFrame of -1.
    anim->SetImage(nullptr);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(anim->FrameIndex(), -1);
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(7, 9, 5, 3));

    // Without AutoSize a new picture keeps the bounds; turning it back on adjusts.
    anim->SetAutoSize(false);
    anim->SetImage(g.get());
    EXPECT_EQ(anim->Width(), 5);
    anim->SetBounds(7, 9, 20, 20);
    EXPECT_EQ(anim->Width(), 20);
    anim->SetAutoSize(true);
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(7, 9, 5, 3));
}

TEST(AnimatorPaint, CentringALargerPictureCropsBothSidesEvenly) {
    giftest::EnsureApp();
    TTestForm form;
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    anim->SetAutoSize(false);
    anim->SetBounds(10, 5, 4, 4);
    auto g =
        giftest::MakeGif(8, 8, {[](int x, int y) { return fw::TColor(x * 30 | ((y * 30) << 8)); }});
    anim->SetImage(g.get());
    EXPECT_EQ(anim->DestRect(8, 8), fw::Bounds(0, 0, 8, 8));

    QImage plain = Grab(form);
    EXPECT_EQ(Pixel(plain, 10, 5), 0u);
    EXPECT_EQ(Pixel(plain, 13, 8), fw::TColor(90 | (90 << 8)));
    anim->SetCenter(true);
    EXPECT_EQ(anim->DestRect(8, 8), fw::Bounds(-2, -2, 8, 8));
    EXPECT_EQ(anim->DestRect(7, 7), fw::Bounds(-1, -1, 7, 7));  // truncated toward zero
    QImage centred = Grab(form);
    EXPECT_EQ(Pixel(centred, 10, 5), fw::TColor(60 | (60 << 8)));
    EXPECT_EQ(Pixel(centred, 13, 8), fw::TColor(150 | (150 << 8)));
    EXPECT_EQ(Pixel(centred, 14, 5), kRed);  // the form beside the control
    anim->SetStretch(true);
    EXPECT_EQ(anim->DestRect(8, 8), fw::Bounds(0, 0, 4, 4));  // the whole control
    EXPECT_EQ(Pixel(Grab(form), 10, 5), 0u);
}

TEST(AnimatorPaint, TheTransparentColourShowsWhatLiesUnderTheControl) {
    giftest::EnsureApp();
    TTestForm form;
    auto* swatch = new TSwatch(&form);
    swatch->SetParent(&form);
    swatch->SetBounds(0, 0, 2, 2);
    swatch->SetColor(kBlue);
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    anim->SetBounds(0, 0, 10, 10);

    // A 2 x 2 frame on a 4 x 2 screen: the right half is covered by no frame.
    auto g = giftest::MakeGif(2, 2, {[](int x, int y) { return x == y ? kGreen : kWhite; }});
    g->Frames(0).SetTransparentColor(kGreen);
    g->Core().SetScreenSize(4, 2);
    anim->SetImage(g.get());
    ASSERT_EQ(anim->BoundsRect(), fw::Bounds(0, 0, 4, 2));

    QImage on = Grab(form);
    EXPECT_EQ(Pixel(on, 0, 0), kBlue);  // key: the control under it
    EXPECT_EQ(Pixel(on, 1, 1), kBlue);
    EXPECT_EQ(Pixel(on, 1, 0), kWhite);  // the frame itself
    EXPECT_EQ(Pixel(on, 2, 0), kRed);    // no frame: the form's background
    EXPECT_EQ(Pixel(on, 3, 1), kRed);

    anim->SetTransparent(false);
    QImage off = Grab(form);
    EXPECT_EQ(Pixel(off, 0, 0), kGreen);  // the key colour itself
    EXPECT_EQ(Pixel(off, 1, 0), kWhite);
    EXPECT_EQ(Pixel(off, 2, 0), kGreen);
}

TEST(AnimatorPaint, AnOpaquePictureFillsTheRestWithTheControlColour) {
    giftest::EnsureApp();
    TTestForm form;
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    anim->SetAutoSize(false);
    anim->SetBounds(0, 0, 6, 6);
    anim->SetImage(giftest::MakeGif(2, 2, {Solid(kWhite)}).get());
    QImage img = Grab(form);
    EXPECT_EQ(Pixel(img, 1, 1), kWhite);
    EXPECT_EQ(Pixel(img, 4, 4), kRed);  // ParentColor: the form's colour
    anim->SetParentColor(false);
    anim->SetColor(kBlue);
    EXPECT_EQ(Pixel(Grab(form), 4, 4), kBlue);
}

// The painted frame is kept between paints; a new picture, a new frame or a new window
// colour must still show at the next paint.
TEST(AnimatorPaint, EveryPaintShowsTheCurrentPictureAndFrame) {
    giftest::EnsureApp();
    TTestForm form;
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    anim->SetAutoSize(false);
    anim->SetBounds(0, 0, 2, 2);
    anim->SetImage(giftest::MakeGif(2, 2, {Solid(kWhite), Solid(kBlack)}).get());
    EXPECT_EQ(Pixel(Grab(form), 0, 0), kWhite);
    EXPECT_EQ(Pixel(Grab(form), 1, 1), kWhite);  // painted again from what was kept
    anim->SetFrameIndex(1);
    EXPECT_EQ(Pixel(Grab(form), 0, 0), kBlack);
    // Another picture at the same frame index.
    anim->SetImage(giftest::MakeGif(2, 2, {Solid(kBlue), Solid(kGreen)}).get());
    anim->SetFrameIndex(1);
    EXPECT_EQ(Pixel(Grab(form), 0, 0), kGreen);
    anim->SetFrameIndex(0);
    EXPECT_EQ(Pixel(Grab(form), 0, 0), kBlue);
}

// The main window's indicator block, with the data expanded as the build does.
std::string IndicatorForm(int width = 11, int height = 15) {
    const auto gif = giftest::ReadFileBytes(REZAZO_SOURCE_DIR "/resources/art/indicator.gif");
    return "object Form1: TTestForm\n"
           "  Left = 0\n  Top = 0\n  Width = 164\n  Height = 51\n"
           "  object GIFAnimator1: TGIFAnimator\n"
           "    Left = 142\n    Top = 23\n"
           "    Width = " +
           std::to_string(width) + "\n    Height = " + std::to_string(height) +
           "\n"
           "    Animate = True\n    FrameIndex = 5\n"
           "    Image.Data = {" +
           giftest::Hex(giftest::Counted(gif)) +
           "}\n"
           "  end\n"
           "end\n";
}

// Pixel (x, y) of a binary PPM file as a colour.
fw::TColor PpmPixel(const std::string& path, int x, int y) {
    const auto bytes = giftest::ReadFileBytes(path);
    int lines = 0;
    size_t at = 0;
    while (lines < 3 && at < bytes.size())
        if (bytes[at++] == '\n') ++lines;
    const size_t p = at + static_cast<size_t>(y * 11 + x) * 3;
    return bytes[p] | (bytes[p + 1] << 8) | (bytes[p + 2] << 16);
}

TEST(AnimatorLoading, TheIndicatorPlaysFromFrameZeroEveryHalfSecond) {
    giftest::EnsureApp();
    TTestForm form(IndicatorForm());
    auto* anim = dynamic_cast<TGIFAnimator*>(form.FindComponent("GIFAnimator1"));
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(142, 23, 11, 15));
    EXPECT_EQ(anim->Image()->FrameCount(), 6);
    EXPECT_EQ(anim->FrameIndex(), 0);  // the stored 5 came before the picture
    EXPECT_TRUE(anim->Animate());
    EXPECT_EQ(anim->Timer().Interval(), 500u);
    EXPECT_FALSE(anim->Timer().WorkerSuspended());

    const std::string art = REZAZO_SOURCE_DIR "/resources/art/indicator-";
    QImage first = Grab(form);
    for (auto [x, y] : {std::pair{10, 1}, {2, 1}, {0, 0}, {10, 13}})
        EXPECT_EQ(Pixel(first, 142 + x, 23 + y), PpmPixel(art + "0.ppm", x, y)) << x << "," << y;
    EXPECT_NE(PpmPixel(art + "0.ppm", 10, 1), PpmPixel(art + "1.ppm", 10, 1));

    // Real ticks from the worker, handed to this thread.
    ASSERT_TRUE(giftest::WaitUntil([&] { return anim->FrameIndex() == 1; }));
    QImage second = Grab(form);
    EXPECT_EQ(Pixel(second, 152, 24), PpmPixel(art + "1.ppm", 10, 1));

    // Written back, the animator keeps its picture data.
    const std::string text = fw::WriteComponentText(form);
    EXPECT_NE(text.find("Image.Data = {"), std::string::npos);
    EXPECT_EQ(text.find("FrameIndex = 5"), std::string::npos);
}

TEST(AnimatorLoading, AutoSizeWaitsWhileTheDescriptionIsRead) {
    giftest::EnsureApp();
    TTestForm form(IndicatorForm(20, 30));
    auto* anim = dynamic_cast<TGIFAnimator*>(form.FindComponent("GIFAnimator1"));
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(142, 23, 20, 30));
    // At run time a size change brings the picture's size back.
    anim->SetBounds(142, 23, 21, 30);
    EXPECT_EQ(anim->BoundsRect(), fw::Bounds(142, 23, 11, 15));
}

}  // namespace

TEST(AnimatorPaint, OnlyTheTransparentIndexShowsWhatLiesUnder) {
    giftest::EnsureApp();
    TTestForm form;
    auto* swatch = new TSwatch(&form);
    swatch->SetParent(&form);
    swatch->SetBounds(0, 0, 3, 1);
    swatch->SetColor(kBlue);
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    anim->SetBounds(0, 0, 10, 10);
    // Black at index 0 and, transparent, at index 3: pixels 0, 3, 1.
    giftest::GifBuilder b;
    b.Text("GIF89a").Word(3).Word(1).Raw({0x91, 2, 0});
    b.Raw({0, 0, 0, 128, 128, 128, 255, 0, 0, 0, 0, 0});
    b.Control(0, 0, 3).Image(0, 0, 3, 1).Raw(giftest::LiteralImage(2, {0, 3, 1})).Trailer();
    gif::TGIFImage g;
    g.LoadFromStream(b.bytes());
    anim->SetImage(&g);
    QImage on = Grab(form);
    EXPECT_EQ(Pixel(on, 0, 0), 0u);  // opaque black stays
    EXPECT_EQ(Pixel(on, 1, 0), kBlue);
    EXPECT_EQ(Pixel(on, 2, 0), fw::TColor(0x808080));
    anim->SetTransparent(false);
    EXPECT_EQ(Pixel(Grab(form), 1, 0), 0u);  // the key colour itself
}

// Shown in turn, wrapping, and jumped about (back, and ahead past a start frame), the
// animator paints each frame as composing it from the start gives: every disposal, frames
// in part of the screen, transparent colours with and without the key shown through.
TEST(AnimatorPaint, EveryFrameAsComposedFromTheStart) {
    giftest::EnsureApp();
    TTestForm form;
    auto* anim = new TGIFAnimator(&form);
    anim->SetParent(&form);
    struct Part {
        int x, y, w, h;
        std::uint8_t disposal;
        bool keyed;
    };
    const Part parts[] = {{0, 0, 8, 6, 1, false}, {2, 1, 4, 3, 3, true},  {1, 2, 5, 3, 2, false},
                          {3, 0, 4, 4, 0, true},  {0, 3, 6, 3, 4, false}, {0, 0, 8, 6, 2, true},
                          {2, 2, 3, 3, 3, false}, {1, 1, 4, 4, 1, true}};
    gif::TGIFImage g;
    for (int k = 0; k < static_cast<int>(std::size(parts)); ++k) {
        const Part& p = parts[k];
        gifcodec::TDib dib(p.w, p.h, 8);
        for (int i = 0; i < 4; ++i)
            dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(30 * k + 50 * i),
                                    static_cast<std::uint8_t>(200 - 40 * i),
                                    static_cast<std::uint8_t>(20 * k + 1), 0});
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                dib.ScanLine(y)[x] = static_cast<std::uint8_t>((x + y + k) % 4);
        gifcodec::TGIFFrame& f = g.Core().AddFrame(dib);
        f.SetOrigin({p.x, p.y});
        f.SetDisposal(p.disposal);
        if (p.keyed) f.SetTransparentColor(f.Bitmap().PaletteColor(0));
    }
    g.Core().SetScreenSize(8, 6);
    g.SetCurrentFrame(1);  // keyed: the fill is the key, shown through where transparent
    anim->SetImage(&g);
    const auto windowColor = fw::ColorToRGB(fw::clWindow);
    for (bool transparent : {false, true}) {
        anim->SetTransparent(transparent);
        for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 6, 3, 2, 7}) {
            anim->SetFrameIndex(n);
            const gifcodec::TComposedFrame want = gifcodec::ComposeFrame(g.Core(), n, windowColor);
            ASSERT_EQ(want.width * want.height, 48);
            const QImage got = Grab(form);
            for (int i = 0; i < 48; ++i) {
                const std::uint8_t* rgb = &want.rgb[3 * static_cast<size_t>(i)];
                const fw::TColor colour = transparent && want.mask[i]
                                              ? kRed
                                              : fw::TColor(rgb[0] | rgb[1] << 8 | rgb[2] << 16);
                ASSERT_EQ(Pixel(got, i % 8, i / 8), colour)
                    << "frame " << n << " at " << i % 8 << "," << i / 8 << " transparent "
                    << transparent;
            }
        }
    }
}
