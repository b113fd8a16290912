#pragma once
// Brings every frame of a picture up to date for writing: frames that hold only a bitmap
// are reduced to 8 bits or fewer if needed and LZW-encoded; graphic control extensions
// are rebuilt from the frames' delay, transparency and disposal.
namespace gifcodec {

class GifPicture;
class TGIFFrame;

void EncodeAllFrames(GifPicture& image);
void EncodeFrameBitmap(GifPicture& image, TGIFFrame& frame);

}  // namespace gifcodec
