#pragma once
// Composes frame n of an animation on its logical screen the way the animator shows it:
// from the last full-screen frame at the screen's origin that restores the background, each
// earlier frame drawn, cleared or skipped by its disposal method (the reserved methods 4 to
// 7 draw, as 0 and 1 do), then frame n on top. Only pixels holding a frame's transparent
// index let what lies under them through.
#include <cstdint>
#include <vector>

#include "gif/codec/colortable.h"

namespace gifcodec {

class GifPicture;

struct TComposedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;   // top-down rows of red, green, blue
    std::vector<std::uint8_t> mask;  // 1 where the key fill lets the background through
    TColor key = clNone;
};

// windowColor stands for the window background (clWindow) used when nothing else applies.
// A logical screen beyond the limits raises "GIF image is too large".
TComposedFrame ComposeFrame(GifPicture& image, int n, TColor windowColor = 0xFFFFFF);

// Frames 0, 1, 2 ... in turn, each composed from the one before: the same pictures as
// ComposeFrame gives, without going back to the start frame for every one. The picture must
// not change while a composer is in use.
class TFrameComposer {
  public:
    explicit TFrameComposer(GifPicture& image, TColor windowColor = 0xFFFFFF);
    bool AtEnd() const;
    // The next frame; valid until the next call.
    const TComposedFrame& Next();
    // Frame n (kept within the frames): from the frame composed last when n lies ahead of
    // it, else from the start frame ComposeFrame would use; valid until the next call. A
    // player asks for the frames in turn and so only ever draws one frame per step.
    const TComposedFrame& Frame(int n);

  private:
    friend TComposedFrame ComposeFrame(GifPicture& image, int n, TColor windowColor);
    // Keeps the pixels under the last frame's rectangle, or puts them back.
    void CopyUnder(bool restore);
    // The screen filled as at the beginning, frame `first` next.
    void StartAt(int first);

    GifPicture& image_;
    TComposedFrame out_;  // drawn on in place: a small frame costs its own pixels only
    TColor fill_ = 0;
    int next_ = 0;
    // The last frame's rectangle on the screen and, when it restores what was there, those
    // pixels and their mask row by row.
    std::uint8_t lastDisposal_ = 0;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    std::vector<std::uint8_t> underRgb_, underMask_;
};

}  // namespace gifcodec
